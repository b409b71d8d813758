// TEMPORARY stand-in for passes/ until the real library is merged; delete this file then.
#include "passes/filepasses.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace quorvik {
namespace {
PassOutcome Transform(const QString& in, const QString& out, const std::function<QString(QString)>& fn)
{
    QFile src(in);
    if (!src.open(QIODevice::ReadOnly))
        return PassOutcome::failure(in, src.errorString());
    QString text = DecodeDocument(src.readAll());
    if (QFileInfo(out).isSymLink())
        return PassOutcome::failure(out, QStringLiteral("Too many levels of symbolic links"));
    QFile dst(out);
    if (!dst.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return PassOutcome::failure(out, dst.errorString());
    text = fn(text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\n', QStringLiteral("\r\n"));
    dst.write(text.toUtf8());
    return {};
}
}  // namespace

PassOutcome RunReflowPassOnFiles(const QString& d, const QString& o, const ProgressFn&, OutputMode)
{
    return Transform(d, o, [](QString t) { return t.replace(QStringLiteral("><"), QStringLiteral(">\n<")); });
}
PassOutcome RunConversionOnFiles(const QString& i, const QString& o, const SettingValues&, const LinkSwitches&,
                                 const ProgressFn&, OutputMode)
{
    return Transform(i, o, [](QString t) {
        return t.remove(QRegularExpression(QStringLiteral("<[^>]*>"))) + QStringLiteral("\n\n\n");
    });
}
PassOutcome RemoveExtraLinesOnFiles(const QString& i, const QString& o, const SettingValues&, const ProgressFn&,
                                    OutputMode)
{
    return Transform(i, o, [](QString t) {
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return t.replace(QRegularExpression(QStringLiteral("\n{3,}")), QStringLiteral("\n\n"));
    });
}
QString DecodeDocument(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8(bytes);
    if (!utf8.hasError())
        return s;
    return QString::fromLatin1(bytes);
}
bool ReadFileForView(const QString& path, QString& text, QString& reason)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        reason = f.errorString();
        return false;
    }
    text = DecodeDocument(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    return true;
}
}  // namespace quorvik
