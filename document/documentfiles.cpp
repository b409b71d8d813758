#include "document/documentfiles.h"

#include "passes/filepasses.h"
#include "passes/textcodec.h"
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

void ToLineFeeds(QString& text)
{
    const qsizetype first = text.indexOf(u'\r');
    if (first < 0)
        return;
    QChar* data = text.data();
    const qsizetype size = text.size();
    qsizetype out = first;
    for (qsizetype i = first; i < size; ++i) {
        if (data[i] == u'\r') {
            data[out++] = u'\n';
            if (i + 1 < size && data[i + 1] == u'\n')
                ++i;
        } else {
            data[out++] = data[i];
        }
    }
    text.truncate(out);
}

bool ReadPlainDocument(const QString& path, QString& text, QString& reason)
{
    QByteArray bytes;
    if (!ReadAll(path, bytes, reason))
        return false;
    // Valid UTF-8 (most documents) is decoded at once; the rest as the passes decode it.
    std::size_t bom = 0;
    if (DetectEncoding(bytes.constData(), static_cast<std::size_t>(bytes.size()), bom) == Encoding::Utf8) {
        text = QString::fromUtf8(bytes.constData() + bom, bytes.size() - static_cast<qsizetype>(bom));
        ToLineFeeds(text);
        // A line end after the last line starts no further line.
        if (bytes.endsWith('\r') || bytes.endsWith("\r\n"))
            text.chop(1);
    } else {
        text = DecodeDocument(bytes);
    }
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

static bool WriteWhole(const QByteArray& bytes, const QString& path, QString& reason)
{
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

bool SavePlainText(const QString& text, const QString& path, QString& reason)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.isEmpty())
        bytes += '\n';
    return WriteWhole(bytes, path, reason);
}

bool SaveRichDocument(const QTextDocument& document, const QString& path, QString& reason)
{
    return WriteWhole(rtf::WriteRtf(document), path, reason);
}

}  // namespace quorvik
