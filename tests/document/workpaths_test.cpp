#include "document/workpaths.h"
#include "tests.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorvik;

namespace {
std::unique_ptr<QTemporaryDir> g_dir;
QByteArray g_oldRuntime, g_oldTmp;
}  // namespace

void WorkPathsTest::init()
{
    g_dir = std::make_unique<QTemporaryDir>();
    g_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    g_oldTmp = qgetenv("TMPDIR");
    qputenv("XDG_RUNTIME_DIR", g_dir->path().toUtf8());
}

void WorkPathsTest::cleanup()
{
    qputenv("XDG_RUNTIME_DIR", g_oldRuntime);
    qputenv("TMPDIR", g_oldTmp);
    g_dir.reset();
}

void WorkPathsTest::privateFolder_isCreatedWithMode0700()
{
    WorkPaths paths;
    WorkFolderLock lock;
    QString reason;
    QVERIFY2(InitWorkPaths(paths, lock, reason), qPrintable(reason));
    QCOMPARE(paths.Folder, g_dir->path() + QStringLiteral("/quorvik"));
    QCOMPARE(paths.FormattedHtmlPath, paths.Folder + QStringLiteral("/quorvik.tmp"));
    QCOMPARE(paths.TextFilePath, paths.Folder + QStringLiteral("/htmtemp.tmp"));
    QCOMPARE(paths.FormattedTextPath, paths.Folder + QStringLiteral("/zelbrin.tmp"));
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(paths.Folder).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, 0700u);
}

void WorkPathsTest::fallsBackToTmpdirWithUid()
{
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", g_dir->path().toUtf8() + "/");
    QCOMPARE(WorkFolderBase(), g_dir->path() + QStringLiteral("/quorvik-") + QString::number(::getuid()));
    qunsetenv("TMPDIR");
    QCOMPARE(WorkFolderBase(), QStringLiteral("/tmp/quorvik-") + QString::number(::getuid()));
}

void WorkPathsTest::secondWindow_takesAFolderOfItsOwn()
{
    WorkPaths first, second, third;
    QString reason;
    auto lock1 = std::make_unique<WorkFolderLock>();
    WorkFolderLock lock2;
    QVERIFY(InitWorkPaths(first, *lock1, reason));
    QVERIFY(InitWorkPaths(second, lock2, reason));
    QCOMPARE(second.Folder, first.Folder + QStringLiteral("-2"));
    // When the first window is gone, its folder is free again.
    lock1.reset();
    WorkFolderLock lock3;
    QVERIFY(InitWorkPaths(third, lock3, reason));
    QCOMPARE(third.Folder, first.Folder);
}

void WorkPathsTest::symbolicLinkFolder_isRefused()
{
    const QString target = g_dir->filePath(QStringLiteral("elsewhere"));
    QVERIFY(QDir().mkdir(target));
    QVERIFY(QFile::link(target, g_dir->filePath(QStringLiteral("quorvik"))));
    WorkPaths paths;
    WorkFolderLock lock;
    QString reason;
    QVERIFY(!InitWorkPaths(paths, lock, reason));
    QVERIFY(reason.contains(QStringLiteral("symbolic link")));
    QVERIFY(QDir(target).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}
