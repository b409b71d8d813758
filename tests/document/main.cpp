#include "tests.h"

#include <QGuiApplication>
#include <QTest>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    int status = 0;
    SavePathTest a;
    status |= QTest::qExec(&a, argc, argv);
    WorkPathsTest b;
    status |= QTest::qExec(&b, argc, argv);
    DocumentFilesTest c;
    status |= QTest::qExec(&c, argc, argv);
    WorkFileChainTest d;
    status |= QTest::qExec(&d, argc, argv);
    return status;
}
