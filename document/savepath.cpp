#include "document/savepath.h"

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

SaveType SaveTypeFor(int type)
{
    switch (type) {
    case kTypeText: return {QStringLiteral("txt"), SaveFormat::PlainText};
    case kTypeRtf: return {QStringLiteral("rtf"), SaveFormat::RichText};
    default: return {QStringLiteral("htm"), SaveFormat::PlainText};
    }
}

int LastDotPos(const QString& path, int position)
{
    if (path.size() < 2)
        return position;
    const int dot = static_cast<int>(path.lastIndexOf(u'.'));
    return dot >= 0 ? dot + 1 : position;
}

static QString TrimBlanks(const QString& text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    return text.mid(b, e - b);
}

QString SavePathForType(const QString& chosen, int type)
{
    const QString extension = SaveTypeFor(type).extension;
    const int dot = LastDotPos(chosen, 0);
    const int nameStart = static_cast<int>(chosen.lastIndexOf(u'/')) + 1;  // 0-based start of the file name
    QString path;
    if (dot > nameStart + 1)  // a leading "." (".profile") names the file, it is no extension
        path = chosen.left(dot) + extension;
    else
        path = TrimBlanks(chosen) + u'.' + extension;
    return TrimBlanks(path);
}

}  // namespace quorvik
