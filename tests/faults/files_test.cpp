// The passes and quorvik-convert when the world fails: a full disk, a work file that is a link,
// a folder or someone else's file, a document that vanished, a broken settings file. Each case
// checks that the failure is reported with the file and the reason, and that nothing the user
// had is damaged or left half-written.

#include "faultsupport.h"
#include "passes/filepasses.h"
#include "settings/settingsstore.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace quorvik;
using namespace quorvik::faults;

namespace {

const FixedLinkSwitches kNoLinks(false, false, false);

class FaultFiles : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes)
    {
        EXPECT_TRUE(WriteBytes(path(name), bytes));
        return path(name);
    }
};

// ---- a full disk ----

struct FullDiskCase {
    const char* name;
    OutputMode mode;
    bool hadOldFile;
};

void PrintTo(const FullDiskCase& c, std::ostream* os)
{
    *os << c.name;
}

class FullDisk : public FaultFiles, public ::testing::WithParamInterface<FullDiskCase> {};

// Each pass's output file, as the window writes its work files and as documents are written.
TEST_P(FullDisk, EveryPassReportsTheFileAndKeepsTheOldOne)
{
    const FullDiskCase c = GetParam();
    const QString doc = write("doc.html", Paragraphs(4000));
    const QString html = path("quorvik.tmp"), text = path("htmtemp.tmp"), out = path("zelbrin.tmp");
    ASSERT_TRUE(RunReflowPassOnFiles(doc, html));
    ASSERT_TRUE(RunConversionOnFiles(html, text, SettingValues(), kNoLinks));
    const QByteArray old = "the previous result\n";
    const QStringList keep{"doc.html", "quorvik.tmp", "htmtemp.tmp", "zelbrin.tmp", "reason", "out-reflow", "out-text"};

    for (int stage = 0; stage < 3; ++stage) {
        SCOPED_TRACE(stage);
        const QString target = stage == 0 ? path("out-reflow") : stage == 1 ? path("out-text") : out;
        QFile::remove(target);
        if (c.hadOldFile)
            write(QFileInfo(target).fileName(), old);
        const int status = RunWithFileSizeLimit(16 * 1024, [&] {
            PassOutcome r = stage == 0   ? RunReflowPassOnFiles(doc, target, {}, c.mode)
                            : stage == 1 ? RunConversionOnFiles(html, target, SettingValues(), kNoLinks, {}, c.mode)
                                         : RemoveExtraLinesOnFiles(text, target, SettingValues(), {}, c.mode);
            if (r)
                return 0;
            WriteBytes(path("reason"), (r.path + u'\n' + r.reason).toUtf8());
            return 1;
        });
        ASSERT_EQ(status, 1);
        const QList<QByteArray> told = ReadBytes(path("reason")).split('\n');
        ASSERT_EQ(told.size(), 2);
        EXPECT_EQ(QString::fromUtf8(told[0]), target);
        EXPECT_EQ(QString::fromUtf8(told[1]), FileTooLarge());
        if (c.mode == OutputMode::Document) {
            // Written completely or not at all: the old file stands, no temporary file is left.
            EXPECT_EQ(QFileInfo::exists(target), c.hadOldFile);
            if (c.hadOldFile) {
                EXPECT_EQ(ReadBytes(target), old);
            }
            EXPECT_EQ(StrayFiles(dir_.path(), keep), QStringList());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Outputs, FullDisk,
                         ::testing::Values(FullDiskCase{"WorkFile", OutputMode::WorkFile, false},
                                           FullDiskCase{"NewDocument", OutputMode::Document, false},
                                           FullDiskCase{"ReplacedDocument", OutputMode::Document, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- what stands at a work file's path ----

TEST_F(FaultFiles, WorkFilePathHeldBySomethingElseIsRefused)
{
    const QString doc = write("doc.html", "<p>text</p>\r\n");
    const QString victim = write("victim.txt", "precious");
    struct Planted {
        const char* name;
        std::function<bool(const QString&)> plant;
        const char* reason;
    };
    const Planted cases[] = {
        {"symbolic link", [&](const QString& p) { return QFile::link(victim, p); }, "symbolic link"},
        {"link to nowhere", [&](const QString& p) { return QFile::link(path("nothing"), p); }, "symbolic link"},
        {"folder", [&](const QString& p) { return QDir().mkdir(p); }, nullptr},
        {"someone else's file",
         [&](const QString& p) {
             return WriteBytes(p, "theirs") && ::chown(QFile::encodeName(p).constData(), 65534, 65534) == 0;
         },
         "another user"},
    };
    for (const Planted& c : cases) {
        SCOPED_TRACE(c.name);
        const QString work = path(QStringLiteral("work-%1.tmp").arg(QString::fromLatin1(c.name).replace(u' ', u'-')));
        ASSERT_TRUE(c.plant(work));
        const PassOutcome r = RunReflowPassOnFiles(doc, work);
        EXPECT_FALSE(r);
        EXPECT_EQ(r.path, work);
        EXPECT_FALSE(r.reason.isEmpty());
        if (c.reason) {
            EXPECT_TRUE(r.reason.contains(QLatin1String(c.reason))) << r.reason.toStdString();
        }
        EXPECT_EQ(ReadBytes(victim), QByteArray("precious"));
        EXPECT_FALSE(QFileInfo::exists(path("nothing")));
    }
    EXPECT_EQ(ReadBytes(path("work-someone-else's-file.tmp")), QByteArray("theirs"));
}

// ---- the document gone or not a file any more ----

TEST_F(FaultFiles, DocumentGoneOrReplacedByAFolder)
{
    const QString doc = path("doc.html");
    struct Gone {
        const char* name;
        std::function<void()> make;
    };
    const Gone cases[] = {
        {"deleted", [] {}},
        {"a folder", [&] { QDir().mkdir(doc); }},
        {"a link to nowhere", [&] { QFile::link(path("nothing"), doc); }},
    };
    for (const Gone& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(doc).removeRecursively();
        QFile::remove(doc);
        c.make();
        const PassOutcome toWork = RunReflowPassOnFiles(doc, path("quorvik.tmp"));
        EXPECT_FALSE(toWork);
        EXPECT_EQ(toWork.path, doc);
        EXPECT_FALSE(toWork.reason.isEmpty());
        write("out.txt", "old output");
        const PassOutcome toFile = ConvertDocument(doc, path("out.txt"), Stage::Formatted, SettingValues(), kNoLinks);
        EXPECT_FALSE(toFile);
        EXPECT_EQ(toFile.path, doc);
        EXPECT_EQ(ReadBytes(path("out.txt")), QByteArray("old output"));
        QFile::remove(doc);
    }
}

// ---- quorvik-convert on a full disk ----

struct ToolRun {
    int status = -1;
    QByteArray out, err;
};

// Runs quorvik-convert through bash with `ulimit -f` (KiB) and SIGXFSZ ignored.
ToolRun RunToolLimited(int limitKiB, const QString& args, const QString& configHome)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("bash"),
            {QStringLiteral("-c"),
             QStringLiteral("trap '' XFSZ; ulimit -f %1; exec \"%2\" %3").arg(limitKiB).arg(QStringLiteral(QUORVIK_CONVERT), args)});
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

TEST_F(FaultFiles, ConvertOnAFullDiskFailsCleanly)
{
    const QString doc = write("doc.html", Paragraphs(4000));
    const QString small = write("small.html", "<p>short</p>\r\n");
    QDir().mkpath(path("config"));
    QDir().mkpath(path("outdir"));
    const QString outdirBig = path("outdir/doc.txt");
    write("outdir/doc.txt", "old doc\n");
    write("old.txt", "old output\n");

    struct Case {
        const char* name;
        QString args;
        QString mentions;      // the file the message names
        QString keptFile;      // the old output that must stay as it was
        QByteArray keptBytes;
    };
    const Case cases[] = {
        {"-o", QStringLiteral("-o '%1' '%2'").arg(path("old.txt"), doc), path("old.txt"), path("old.txt"),
         "old output\n"},
        {"--output-dir", QStringLiteral("--output-dir '%1' '%2' '%3'").arg(path("outdir"), doc, small), outdirBig,
         outdirBig, "old doc\n"},
        {"standard output", QStringLiteral("'%1' > '%2'").arg(doc, path("stdout.txt")),
         QStringLiteral("standard output"), {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun r = RunToolLimited(16, c.args, path("config"));
        EXPECT_EQ(r.status, 1) << r.err.toStdString();
        const QString err = QString::fromLocal8Bit(r.err);
        EXPECT_TRUE(err.contains(c.mentions)) << r.err.toStdString();
        EXPECT_TRUE(err.contains(FileTooLarge())) << r.err.toStdString();
        if (!c.keptFile.isEmpty()) {
            EXPECT_EQ(ReadBytes(c.keptFile), c.keptBytes);
        }
    }
    // The small document still went through; nothing temporary was left anywhere.
    EXPECT_TRUE(ReadBytes(path("outdir/small.txt")).endsWith("short\n"));
    EXPECT_EQ(StrayFiles(path("outdir"), {"doc.txt", "small.txt"}), QStringList());
    EXPECT_EQ(StrayFiles(dir_.path(), {"doc.html", "small.html", "old.txt", "stdout.txt"}), QStringList());
}

// ---- a settings file that cannot be read ----

// A settings file that cannot be read is neither trusted nor overwritten: saving a value into
// it would otherwise replace every stored option by that one value.
TEST_F(FaultFiles, UnreadableSettingsAreNotOverwritten)
{
    QDir().mkpath(path("config"));
    ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
    ::chmod(QFile::encodeName(path("config")).constData(), 0777);
    const QByteArray stored = "[Startup]\nTextLen=40\nBulletChar=-\n";
    const QString ini = write("config/zelbrin.ini", stored);
    ::chmod(QFile::encodeName(ini).constData(), 0600);
    const int status = RunAsOtherUser([&] {
        if (::access(QFile::encodeName(ini).constData(), R_OK) == 0)
            return 77;  // still readable: nothing to test
        const SettingValues v = LoadSettingValues(SettingsStore(ini));
        if (v.TextLen != 80 || v.BulletChar != QLatin1String("*"))
            return 2;
        QString reason;
        if (SettingsStore(ini).SaveSetting(QStringLiteral("WWWLinks"), QStringLiteral("1"), &reason))
            return 3;
        return reason.isEmpty() ? 4 : 0;
    });
    if (status == 77)
        GTEST_SKIP() << "the file stays readable to another user here";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(ini), stored);
}

}  // namespace
