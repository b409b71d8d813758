#include "document/documentfiles.h"

#include "passes/filepasses.h"
#include "rtf/rtf.h"

#include <QFile>
#include <QSaveFile>
#include <QTextDocument>

namespace quorvik {

static bool ReadAll(const QString& path, QByteArray& bytes, QString& reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return false;
    }
    return true;
}

bool LoadPlainDocument(const QString& path, QTextDocument& document, QString& reason)
{
    QByteArray bytes;
    if (!ReadAll(path, bytes, reason))
        return false;
    QString text = DecodeDocument(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    document.setPlainText(text);
    return true;
}

bool LoadRichDocument(const QString& path, QTextDocument& document, QString& reason)
{
    QByteArray bytes;
    if (!ReadAll(path, bytes, reason))
        return false;
    document.clear();
    rtf::ReadRtf(bytes, document);
    return true;
}

bool SaveDocumentAs(const QTextDocument& document, const QString& path, SaveFormat format, QString& reason)
{
    const QByteArray bytes =
        format == SaveFormat::RichText ? rtf::WriteRtf(document) : document.toPlainText().toUtf8();
    // Unbuffered, so that a short write (a full disk) shows in write()'s count: a buffered
    // QSaveFile commits whatever part of its buffer the disk took.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        reason = file.errorString();
        return false;
    }
    return true;
}

}  // namespace quorvik
