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
    QString text, reason;
    QVERIFY(ReadPlainDocument(path, text, reason));
    QTEST(text, "text");
}

void DocumentFilesTest::missingFile_givesReason()
{
    QTextDocument doc;
    QString text, reason;
    QVERIFY(!ReadPlainDocument(QStringLiteral("/nonexistent/x.html"), text, reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(!LoadRichDocument(QStringLiteral("/nonexistent/x.rtf"), doc, reason));
}

void DocumentFilesTest::savePlain_isUtf8WithLf()
{
    // Exactly the characters given (no-break space, separators), a line feed after the last line.
    QTemporaryDir dir;
    QString reason;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(SavePlainText(QStringLiteral("one\ncaf\u00e9\u00a0\u2028x\n"), path, reason));
    QCOMPARE(ReadBytes(path), QByteArray("one\ncaf\xc3\xa9\xc2\xa0\xe2\x80\xa8x\n\n"));
}

void DocumentFilesTest::saveOverLongerFile_leavesNoTail()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(WriteBytes(path, QByteArray(1000, 'x')));
    QString reason;
    QVERIFY(SavePlainText(QStringLiteral("short"), path, reason));
    QCOMPARE(ReadBytes(path), QByteArray("short\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // no temporary left behind
}

void DocumentFilesTest::failedSave_givesReasonAndLeavesNoFile()
{
    QTemporaryDir dir;
    QString reason;
    const QString path = dir.filePath(QStringLiteral("missing-folder/out.txt"));
    QVERIFY(!SavePlainText(QStringLiteral("text"), path, reason));
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
    QVERIFY(SaveRichDocument(doc, path, reason));
    const QByteArray bytes = ReadBytes(path);
    QVERIFY(bytes.startsWith("{\\rtf"));
    QVERIFY(bytes.contains("rich"));
}
