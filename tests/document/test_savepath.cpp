#include "document/savepath.h"
#include "tests.h"

#include <QTest>

using namespace quorvik;

void SavePathTest::lastDotPos_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("given");
    QTest::addColumn<int>("expected");
    QTest::newRow("one dot") << "/d/page.html" << 0 << 8;
    QTest::newRow("dot in folder counts") << "/d.x/page" << 0 << 3;
    QTest::newRow("last of several") << "a.b.c" << 0 << 4;
    QTest::newRow("none keeps the given place") << "/d/page" << 7 << 7;
    QTest::newRow("short path not searched") << "." << 0 << 0;
    QTest::newRow("empty") << "" << 3 << 3;
}

void SavePathTest::lastDotPos()
{
    QFETCH(QString, path);
    QFETCH(int, given);
    QTEST(LastDotPos(path, given), "expected");
}

void SavePathTest::savePathForType_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("written");
    QTest::newRow("html as text") << "/d/page.html" << kTypeText << "/d/page.txt";
    QTest::newRow("htm as rtf") << "/d/notes.htm" << kTypeRtf << "/d/notes.rtf";
    QTest::newRow("html as html") << "/d/page.html" << kTypeHtml << "/d/page.htm";
    QTest::newRow("all files gives htm") << "/d/page.txt" << kTypeAll << "/d/page.htm";
    QTest::newRow("no dot appends") << "/d/notes" << kTypeText << "/d/notes.txt";
    QTest::newRow("dot only in folder appends") << "/d.v2/notes" << kTypeRtf << "/d.v2/notes.rtf";
    QTest::newRow("trailing dot") << "/d/notes." << kTypeText << "/d/notes.txt";
    QTest::newRow("leading dot names the file") << "/d/.profile" << kTypeText << "/d/.profile.txt";
    QTest::newRow("blanks at ends removed") << "  /d/a b.htm  " << kTypeText << "/d/a b.txt";
    QTest::newRow("blanks after name without dot") << "/d/notes  " << kTypeText << "/d/notes.txt";
}

void SavePathTest::savePathForType()
{
    QFETCH(QString, chosen);
    QFETCH(int, type);
    QTEST(SavePathForType(chosen, type), "written");
}

void SavePathTest::fileTypes_matchTheDialogFilter()
{
    QCOMPARE(FileDialogFilter(), QStringLiteral("HTML (*.htm;*.html)|*.htm;*.html|Text (*.txt)|*.txt|"
                                                "Rich Text Format (*.rtf)|*.rtf| All Files (*.*)|*.*|"));
    const QStringList filters = FileDialogNameFilters();
    QCOMPARE(filters.size(), 4);
    QCOMPARE(filters[3], QStringLiteral(" All Files (*.*) (*.*)"));
    QCOMPARE(SaveTypeFor(kTypeRtf).format, SaveFormat::RichText);
    QCOMPARE(SaveTypeFor(kTypeHtml).format, SaveFormat::PlainText);
}
