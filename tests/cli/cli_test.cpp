// quorvik-convert run as a user runs it: exit status, messages, outputs.

#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quorvik::testing;

namespace {

struct Result {
    int status = -1;
    QByteArray out, err;
};

Result RunTool(const QStringList& args, const QByteArray& input = {}, const QString& configHome = {})
{
    QProcess p;
    // The saved options live under the user's configuration folder: keep the tool away from
    // the real one.
    static QTemporaryDir emptyConfig;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome.isEmpty() ? emptyConfig.path() : configHome);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUORVIK_CONVERT), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    WriteBytes(path, bytes);
    return path;
}

const QByteArray kDoc = "<html><head><title>Hi</title></head><body>\r\n<p>One &amp; two</p>\r\n"
                        "<ul><li>a<li>b</ul>\r\n<a href=\"http://x.org/\">site</a>\r\n</body></html>\r\n";

TEST(Cli, ConvertsToStandardOutputByStage)
{
    QTemporaryDir dir;
    const QString doc = Write(dir, "doc.html", kDoc);
    Result r = RunTool({doc});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QByteArray("+++ Hi +++\n\nOne & two\n\n*    a\n*    b\nsite\n"));
    r = RunTool({"--stage", "reflow", doc});
    EXPECT_TRUE(r.out.startsWith("<html>\n<head>\n<title>Hi\n</title>\n"));
    r = RunTool({"--stage=text", "--web-links", "--bullet", "-", "--crlf", doc});
    EXPECT_TRUE(r.out.contains("-    a\r\n"));
    EXPECT_TRUE(r.out.contains("\"http://x.org/\" site\r\n"));
    EXPECT_TRUE(r.out.contains("\r\n\r\n\r\n"));  // the text stage keeps its blank lines
}

TEST(Cli, ReadsStandardInput)
{
    const Result r = RunTool({"--text-length", "0", "-"}, kDoc);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("+++ Hi +++\n"));
}

TEST(Cli, UsageErrorsNameTheOption)
{
    struct Bad {
        QStringList args;
        const char* mentions;
    };
    for (const Bad& b : {Bad{{"--stage", "all", "x"}, "--stage"}, Bad{{"--text-length", "abc", "x"}, "--text-length"},
                         Bad{{"--text-length", "40000", "x"}, "32767"}, Bad{{"--frobnicate", "x"}, "--frobnicate"},
                         Bad{{}, "no input"}, Bad{{"a", "b"}, "--output-dir"},
                         Bad{{"--clean", "1", "--clean", "2", "--clean", "3", "--clean", "4", "--clean", "5", "x"}, "four"},
                         Bad{{"--bullet"}, "needs a value"}}) {
        const Result r = RunTool(b.args);
        EXPECT_EQ(r.status, 2) << b.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(b.mentions)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(Cli, OneBadFileDoesNotStopTheOthers)
{
    QTemporaryDir dir;
    const QString good = Write(dir, "good.html", kDoc);
    const QString locked = Write(dir, "locked.html", kDoc);
    ::chmod(QFile::encodeName(locked).constData(), 0);
    const QString missing = dir.filePath("missing.html");
    const QString out = dir.filePath("out");
    const Result r = RunTool({"--output-dir", out, locked, missing, good});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("missing.html: No such file or directory")) << r.err.toStdString();
    if (::geteuid() != 0) {  // root reads any file
        EXPECT_TRUE(r.err.contains("locked.html: Permission denied")) << r.err.toStdString();
    }
    EXPECT_TRUE(ReadBytes(out + "/good.txt").startsWith("+++ Hi +++\n"));
    EXPECT_FALSE(QFile::exists(out + "/missing.txt"));
}

TEST(Cli, SameOutputNameTwiceIsRefused)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("a"));
    QDir().mkpath(dir.filePath("b"));
    const QString first = Write(dir, "a/index.html", kDoc);
    const QString second = Write(dir, "b/index.html", "<p>other");
    const Result r = RunTool({"--output-dir", dir.filePath("out"), first, second});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("already written")) << r.err.toStdString();
    EXPECT_TRUE(ReadBytes(dir.filePath("out/index.txt")).startsWith("+++ Hi +++"));
}

TEST(Cli, FailedOutputLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString doc = Write(dir, "doc.html", kDoc);
    const QString target = Write(dir, "keep.txt", "old text");
    // The input cannot be read: the output is not touched and no temporary file remains.
    Result r = RunTool({"-o", target, dir.filePath("nope.html")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadBytes(target), QByteArray("old text"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    // The folder of the output does not exist.
    r = RunTool({"-o", dir.filePath("no/such/dir/x.txt"), doc});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("No such file or directory")) << r.err.toStdString();
    r = RunTool({"-o", target, doc});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(ReadBytes(target).startsWith("+++ Hi +++\n"));
}

TEST(Cli, StartsFromTheSavedOptionsUnlessToldOtherwise)
{
    QTemporaryDir config, dir;
    QDir().mkpath(config.filePath("zelbrin"));
    Write(config, "zelbrin/zelbrin.ini", "[Startup]\nBulletChar=+\ntablecellsep=none\nWWWLinks=1\n");
    const QString doc = Write(dir, "doc.html", kDoc);
    Result r = RunTool({doc}, {}, config.path());
    EXPECT_TRUE(r.out.contains("+    a\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\"http://x.org/\" site")) << r.out.toStdString();
    r = RunTool({"--bullet", "#", "--no-web-links", doc}, {}, config.path());
    EXPECT_TRUE(r.out.contains("#    a\n"));
    EXPECT_FALSE(r.out.contains("http"));
    r = RunTool({"--defaults", doc}, {}, config.path());
    EXPECT_TRUE(r.out.contains("*    a\n"));
    EXPECT_FALSE(r.out.contains("http"));
}

TEST(Cli, ReadableIsSavedOrGiven)
{
    QTemporaryDir config, dir;
    QDir().mkpath(config.filePath("zelbrin"));
    Write(config, "zelbrin/zelbrin.ini", "[Startup]\nreadable=1\n");
    const QString doc = Write(dir, "doc.html", "<p>caf&eacute;");
    EXPECT_EQ(RunTool({doc}, {}, config.path()).out, "\ncaf\xC3\xA9\n");
    EXPECT_EQ(RunTool({"--no-readable", doc}, {}, config.path()).out, "\ncaf&eacute;\n");
    EXPECT_EQ(RunTool({"--defaults", "--readable", doc}, {}, config.path()).out, "\ncaf\xC3\xA9\n");
}

TEST(Cli, HelpAndVersion)
{
    EXPECT_TRUE(RunTool({"--help"}).out.contains("Usage: quorvik-convert"));
    EXPECT_EQ(RunTool({"--version"}).out, QByteArray("quorvik-convert 1.0.0\n"));
}

}  // namespace
