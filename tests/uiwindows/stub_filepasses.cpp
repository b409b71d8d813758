// TEMPORARY TEST STUB: stands in for ConvertDocument until the library quorvik_passes exists
// on this branch (see CMakeLists.txt). It only drops the tags, which is enough for the batch
// window's tests; delete this file once the real passes have landed.

#include "passes/filepasses.h"

#include <QFile>
#include <QRegularExpression>

namespace quorvik {

PassOutcome ConvertDocument(const QString& documentPath, const QString& outputPath, Stage,
                            const SettingValues&, const LinkSwitches&, bool)
{
    QFile in(documentPath);
    if (!in.open(QIODevice::ReadOnly))
        return PassOutcome::failure(documentPath, in.errorString());
    QString text = QString::fromUtf8(in.readAll());
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    QFile out(outputPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return PassOutcome::failure(outputPath, out.errorString());
    out.write(text.trimmed().toUtf8() + '\n');
    return {};
}

}  // namespace quorvik
