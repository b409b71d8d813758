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
                        "<ul><li>a<li>b</ul>\r\n<a href=\"http://x.org/\">site</a>\r\n<p>caf&eacute;</p>\r\n"
                        "</body></html>\r\n";

struct ToolCase {
    const char* name;
    QStringList args;      // DOC stands for the document's path
    const char* settings;  // the saved options, or nullptr for no settings file
    QByteArrayList out;    // pieces of standard output (a usage error: of standard error, and no output)
    const char* absent;    // a piece standard output must not hold, or nullptr
    int status = 0;
};

void PrintTo(const ToolCase& r, std::ostream* os) { *os << r.name; }

const char* const kSaved = "[Startup]\nBulletChar=+\ntablecellsep=none\nWWWLinks=1\nreadable=1\n";

class Runs : public testing::TestWithParam<ToolCase> {};

TEST_P(Runs, ExitAndWriteAsAsked)
{
    const ToolCase& run = GetParam();
    QTemporaryDir config, dir;
    if (run.settings) {
        QDir().mkpath(config.filePath("zelbrin"));
        Write(config, "zelbrin/zelbrin.ini", run.settings);
    }
    const QString doc = Write(dir, "doc.html", kDoc);
    QStringList args = run.args;
    args.replaceInStrings(QStringLiteral("DOC"), doc);
    const Result r = RunTool(args, args.contains("-") ? kDoc : QByteArray(), config.path());
    EXPECT_EQ(r.status, run.status) << r.err.toStdString();
    const QByteArray& shown = run.status == 2 ? r.err : r.out;
    for (const QByteArray& piece : run.out)
        EXPECT_TRUE(shown.contains(piece)) << piece.toStdString() << " not in:\n" << shown.toStdString();
    if (run.absent) {
        EXPECT_FALSE(r.out.contains(run.absent)) << r.out.toStdString();
    }
    if (run.status == 2) {
        EXPECT_TRUE(r.out.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, Runs, testing::Values(
    ToolCase{"Formatted", {"DOC"}, nullptr, {"+++ Hi +++\n\nOne & two\n\n*    a\n*    b\nsite caf&eacute;\n"}, "http"},
    ToolCase{"Reflow", {"--stage", "reflow", "DOC"}, nullptr, {"<html>\n<head>\n<title>Hi\n</title>\n"}, nullptr},
    ToolCase{"TextStageKeepsBlankLines", {"--stage=text", "--web-links", "--bullet", "-", "--crlf", "DOC"}, nullptr,
        {"-    a\r\n", "\"http://x.org/\" site caf&eacute;\r\n", "\r\n\r\n\r\n"}, nullptr},
    ToolCase{"StandardInput", {"--text-length", "0", "-"}, nullptr, {"+++ Hi +++\n"}, nullptr},
    ToolCase{"SavedOptions", {"DOC"}, kSaved, {"+    a\n", "\"http://x.org/\" site", "caf\xC3\xA9\n"}, nullptr},
    ToolCase{"OptionsOverSaved", {"--bullet", "#", "--no-web-links", "--no-readable", "DOC"}, kSaved,
        {"#    a\n", "caf&eacute;\n"}, "http"},
    ToolCase{"DefaultsIgnoreSaved", {"--defaults", "DOC"}, kSaved, {"*    a\n", "caf&eacute;\n"}, "http"},
    ToolCase{"OptionAfterDefaults", {"--defaults", "--readable", "DOC"}, kSaved, {"*    a\n", "caf\xC3\xA9\n"}, "http"},
    ToolCase{"BrokenSettingsGiveDefaults", {"DOC"}, "[Startup]\nTextLen=lots\nWWWLinks=yes\n\xfe garbage",
        {"*    a\n", "One & two\n"}, "http"},
    ToolCase{"Help", {"--help"}, nullptr, {"Usage: quorvik-convert"}, nullptr},
    ToolCase{"Version", {"--version"}, nullptr, {"quorvik-convert 1.0.0\n"}, nullptr},
    // Usage errors name the option.
    ToolCase{"UnknownStage", {"--stage", "all", "x"}, nullptr, {"--stage"}, nullptr, 2},
    ToolCase{"TextLengthNotANumber", {"--text-length", "abc", "x"}, nullptr, {"--text-length"}, nullptr, 2},
    ToolCase{"TextLengthTooLarge", {"--text-length", "40000", "x"}, nullptr, {"32767"}, nullptr, 2},
    ToolCase{"UnknownOption", {"--frobnicate", "x"}, nullptr, {"--frobnicate"}, nullptr, 2},
    ToolCase{"NoInput", {}, nullptr, {"no input"}, nullptr, 2},
    ToolCase{"TwoInputsWithoutFolder", {"a", "b"}, nullptr, {"--output-dir"}, nullptr, 2},
    ToolCase{"FiveCleanUpSets", {"--clean", "1", "--clean", "2", "--clean", "3", "--clean", "4", "--clean", "5", "x"},
        nullptr, {"four"}, nullptr, 2},
    ToolCase{"ValueMissing", {"--bullet"}, nullptr, {"needs a value"}, nullptr, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// A file that cannot be read, or whose output name was already written, does not stop the others.
TEST(Cli, OneBadFileDoesNotStopTheOthers)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("b"));
    const QString good = Write(dir, "good.html", kDoc);
    const QString again = Write(dir, "b/good.html", "<p>other");
    const QString locked = Write(dir, "locked.html", kDoc);
    ::chmod(QFile::encodeName(locked).constData(), 0);
    const QString out = dir.filePath("out");
    const Result r = RunTool({"--output-dir", out, locked, dir.filePath("missing.html"), good, again});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("missing.html: No such file or directory")) << r.err.toStdString();
    if (::geteuid() != 0) {  // root reads any file
        EXPECT_TRUE(r.err.contains("locked.html: Permission denied")) << r.err.toStdString();
    }
    EXPECT_TRUE(r.err.contains("already written")) << r.err.toStdString();
    EXPECT_TRUE(ReadBytes(out + "/good.txt").startsWith("+++ Hi +++\n"));
    EXPECT_FALSE(QFile::exists(out + "/missing.txt"));
}

// A document is read as UTF-8 without a look at the whole file first where the output can be
// taken back; wherever a byte shows it is not UTF-8, the result is the one of a document read
// with that look first (standard output into a pipe, where nothing is taken back).
TEST(Cli, DocumentsThatAreNotUtf8ComeOutAsIfCheckedFirst)
{
    QTemporaryDir dir;
    const QByteArray para = "<p>caf\xC3\xA9 \xE2\x82\xAC</p>\r\n", many = para.repeated(20000);  // past a read's chunk
    const struct {
        const char* name;
        QByteArray bytes;
    } docs[] = {
        {"utf-8", many},
        {"first-byte", "\xE9" + many},
        {"middle", many + "<p>caf\xE9</p>\r\n" + many},
        {"last-byte", many + "\x96"},
        {"cut-off-at-the-end", many + "\xE2\x82"},
        {"declared", "<meta charset=iso-8859-2>\r\n" + many + "<p>\xB1\xE6</p>"},
        {"utf-16-mark", QByteArray("\xFF\xFE<\0p\0>\0\xE9\0", 10)},
    };
    const QString tool = QStringLiteral(QUORVIK_CONVERT), out = dir.filePath("out.txt");
    for (const auto& doc : docs) {
        const QString path = Write(dir, "doc.html", doc.bytes);
        for (const char* readable : {"--no-readable", "--readable"}) {
            const QStringList args = {"--defaults", readable, path};
            const QByteArray piped = RunTool(args).out;
            ASSERT_FALSE(piped.isEmpty()) << doc.name;
            EXPECT_EQ(RunTool(QStringList(args) << "-o" << out).status, 0);
            EXPECT_EQ(ReadBytes(out), piped) << doc.name << " -o " << readable;
            // Standard output into a file after what the shell wrote there, or appended to; the
            // document also as standard input read from the file.
            for (const char* shell : {"{ printf head; \"$0\" \"$@\"; } >\"$OUT\"",
                                      "printf head >\"$OUT\"; \"$0\" \"$@\" >>\"$OUT\"",
                                      "{ printf head; \"$0\" --defaults \"$2\" - <\"$DOC\"; } >\"$OUT\""}) {
                QProcess sh;
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                env.insert(QStringLiteral("OUT"), out);
                env.insert(QStringLiteral("DOC"), path);
                env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
                sh.setProcessEnvironment(env);
                sh.start(QStringLiteral("/bin/sh"), QStringList{"-c", shell, tool} + args);
                ASSERT_TRUE(sh.waitForFinished(60000));
                EXPECT_EQ(ReadBytes(out), "head" + piped) << doc.name << " " << shell << " " << readable;
            }
        }
    }
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

}  // namespace
