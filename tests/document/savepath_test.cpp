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

void SavePathTest::savePathWithExtension_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("written");
    QTest::newRow("html as text") << "/d/page.html" << "txt" << "/d/page.txt";
    QTest::newRow("htm as rtf") << "/d/notes.htm" << "rtf" << "/d/notes.rtf";
    QTest::newRow("html as html") << "/d/page.html" << "htm" << "/d/page.htm";
        QTest::newRow("no dot appends") << "/d/notes" << "txt" << "/d/notes.txt";
    QTest::newRow("dot only in folder appends") << "/d.v2/notes" << "rtf" << "/d.v2/notes.rtf";
    QTest::newRow("trailing dot") << "/d/notes." << "txt" << "/d/notes.txt";
    QTest::newRow("leading dot names the file") << "/d/.profile" << "txt" << "/d/.profile.txt";
    QTest::newRow("blanks at ends removed") << "  /d/a b.htm  " << "txt" << "/d/a b.txt";
    QTest::newRow("blanks after name without dot") << "/d/notes  " << "txt" << "/d/notes.txt";
}

void SavePathTest::savePathWithExtension()
{
    QFETCH(QString, chosen);
    QFETCH(QString, extension);
    QTEST(SavePathWithExtension(chosen, extension), "written");
}
