#include "document/documentfiles.h"
#include "support/files.h"
#include "tests.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace quorvik;

using namespace quorvik::testing;

void DocumentFilesTest::loadPlain_decodesAndSplitsLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb");
    QTest::newRow("LF") << QByteArray("a\nb") << QStringLiteral("a\nb");
    QTest::newRow("lone CR") << QByteArray("a\rb") << QStringLiteral("a\nb");
    QTest::newRow("Windows-1252") << QByteArray("\x80 \x93q\x94") << QStringLiteral("\u20ac \u201cq\u201d");
    QTest::newRow("UTF-16 LE") << QByteArray("\xff\xfeh\0i\0", 6) << QStringLiteral("hi");
}

void DocumentFilesTest::loadPlain_decodesAndSplitsLines()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.html"));
    QVERIFY(WriteBytes(path, bytes));
    QTextDocument doc;
    QString reason;
    QVERIFY(LoadPlainDocument(path, doc, reason));
    QTEST(doc.toPlainText(), "text");
}

void DocumentFilesTest::missingFile_givesReason()
{
    QTextDocument doc;
    QString reason;
    QVERIFY(!LoadPlainDocument(QStringLiteral("/nonexistent/x.html"), doc, reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(!LoadRichDocument(QStringLiteral("/nonexistent/x.rtf"), doc, reason));
}

void DocumentFilesTest::savePlain_isUtf8WithLf()
{
    QTemporaryDir dir;
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("one\ncaf\u00e9\n"));
    QString reason;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(SaveDocumentAs(doc, path, SaveFormat::PlainText, reason));
    QCOMPARE(ReadBytes(path), QByteArray("one\ncaf\xc3\xa9\n"));
}

void DocumentFilesTest::saveOverLongerFile_leavesNoTail()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(WriteBytes(path, QByteArray(1000, 'x')));
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("short"));
    QString reason;
    QVERIFY(SaveDocumentAs(doc, path, SaveFormat::PlainText, reason));
    QCOMPARE(ReadBytes(path), QByteArray("short"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // no temporary left behind
}

void DocumentFilesTest::failedSave_givesReasonAndLeavesNoFile()
{
    QTemporaryDir dir;
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("text"));
    QString reason;
    const QString path = dir.filePath(QStringLiteral("missing-folder/out.txt"));
    QVERIFY(!SaveDocumentAs(doc, path, SaveFormat::PlainText, reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(!QFile::exists(path));
}

void DocumentFilesTest::saveRich_writesRtf()
{
    QTemporaryDir dir;
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("rich"));
    QString reason;
    const QString path = dir.filePath(QStringLiteral("out.rtf"));
    QVERIFY(SaveDocumentAs(doc, path, SaveFormat::RichText, reason));
    const QByteArray bytes = ReadBytes(path);
    QVERIFY(bytes.startsWith("{\\rtf"));
    QVERIFY(bytes.contains("rich"));
}
