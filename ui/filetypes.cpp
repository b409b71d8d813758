#include "ui/filetypes.h"

namespace quorvik {

QString FileDialogFilter()
{
    return QStringLiteral("HTML (*.htm;*.html)|*.htm;*.html|Text (*.txt)|*.txt|Rich Text Format (*.rtf)|*.rtf|"
                          " All Files (*.*)|*.*|");
}

QStringList FileDialogNameFilters()
{
    // Qt separates patterns by blanks; the descriptions are shown as they are.
    const QStringList parts = FileDialogFilter().split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        filters << parts[i] + QStringLiteral(" (") + patterns + u')';
    }
    return filters;
}

QString ExtensionOfType(int type)
{
    switch (type) {
    case kTypeText: return QStringLiteral("txt");
    case kTypeRtf: return QStringLiteral("rtf");
    default: return QStringLiteral("htm");
    }
}

bool IsRichTextType(int type)
{
    return type == kTypeRtf;
}

}  // namespace quorvik
