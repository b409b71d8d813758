// The About box: its keys, and System Info on machines that have the system-information
// program in different places, or nowhere.

#include "ui/scripteddialogs.h"
#include "ui/windows/frmabout.h"
#include "ui/windows/windowopen.h"

#include <QApplication>
#include <QTest>

using namespace quorvik;

namespace {

// A machine whose registry, files and programs are set by the test.
class FakeHost final : public SysInfoHost {
public:
    QString msinfoPath;     // value "PATH" of the MSINFO key; empty: absent
    QString toolsLocation;  // value "MSINFO" of the Shared Tools Location key; empty: absent
    QStringList files;      // files that exist
    QString programOnPath;  // a system-information program on the search path
    bool startWorks = true;
    QStringList started;    // programs the host was asked to start

    bool GetKeyValue(KeyRoot, const QString& key, const QString& value, QString& text) override
    {
        text.clear();
        if (key == QLatin1String("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO") && value == QLatin1String("PATH"))
            text = msinfoPath;
        else if (key == QLatin1String("SOFTWARE\\Microsoft\\Shared Tools Location") && value == QLatin1String("MSINFO"))
            text = toolsLocation;
        return !text.isEmpty();
    }
    bool FileExists(const QString& path) override { return files.contains(path); }
    QString FindSysInfoProgram() override { return programOnPath; }
    bool StartProgram(const QString& path) override
    {
        started.append(path);
        return startWorks;
    }
};

const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT

private:
    FakeHost host_;
    ScriptedDialogs dialogs_;
    QPointer<frmAbout> box_;

private slots:
    void init()
    {
        host_ = FakeHost{};
        dialogs_.reset();
        ShowModeless(box_, [this] { return new frmAbout(host_, dialogs_); });
        QVERIFY(QTest::qWaitForWindowActive(box_));
    }
    void cleanup()
    {
        delete box_.data();
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join(u'\n')));
        QVERIFY2(dialogs_.leftover().isEmpty(), qPrintable(dialogs_.leftover().join(u'\n')));
    }

    // Enter and Escape close the box; Alt+S presses System Info, which leaves it open.
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << true;
        QTest::newRow("Alt+S") << int(Qt::Key_S) << int(Qt::AltModifier) << false;
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, closes);
        if (!closes)
            dialogs_.answerMessage(Answer::Ok);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (closes) {
            QTRY_VERIFY(!box_);
            return;
        }
        QTRY_COMPARE(dialogs_.shownTexts(), QStringList{kUnavailable});  // a mnemonic animates the click first
        QVERIFY(box_ && box_->isVisible());
    }

    void startSysInfo_data()
    {
        QTest::addColumn<QString>("msinfoPath");
        QTest::addColumn<QString>("toolsLocation");
        QTest::addColumn<bool>("toolInFolder");
        QTest::addColumn<QString>("onPath");
        QTest::addColumn<bool>("startWorks");
        QTest::addColumn<QString>("started");  // the program started; empty: the message instead
        QTest::newRow("nothing anywhere") << "" << "" << false << "" << true << "";
        QTest::newRow("on the search path") << "" << "" << false << "/usr/bin/hardinfo" << true << "/usr/bin/hardinfo";
        QTest::newRow("fails to start") << "" << "" << false << "/usr/bin/hardinfo" << false << "";
        QTest::newRow("registry path, not tested") << "C:\\x\\msinfo.exe" << "" << false << "" << true
                                                   << "C:\\x\\msinfo.exe";
        QTest::newRow("folder with the tool") << "" << "C:\\Tools" << true << "" << true << "C:\\Tools\\MSINFO32.EXE";
        QTest::newRow("folder without the tool") << "" << "C:\\Tools" << false << "/usr/bin/hardinfo" << true << "";
    }
    void startSysInfo()
    {
        QFETCH(QString, toolsLocation);
        QFETCH(QString, started);
        QFETCH(bool, toolInFolder);
        QFETCH(QString, msinfoPath);
        QFETCH(QString, onPath);
        QFETCH(bool, startWorks);
        host_.msinfoPath = msinfoPath;
        host_.toolsLocation = toolsLocation;
        if (toolInFolder)
            host_.files.append(toolsLocation + "\\MSINFO32.EXE");
        host_.programOnPath = onPath;
        host_.startWorks = startWorks;
        if (started.isEmpty())
            dialogs_.answerMessage(Answer::Ok);
        QCOMPARE(StartSysInfo(host_, dialogs_, box_), !started.isEmpty());
        QCOMPARE(dialogs_.shownTexts(), started.isEmpty() ? QStringList{kUnavailable} : QStringList());
        if (!started.isEmpty())
            QCOMPARE(host_.started.last(), started);
        else if (!toolsLocation.isEmpty())
            QVERIFY(host_.started.isEmpty());  // a folder without the tool starts nothing
    }
};

QTEST_MAIN(TestAbout)
#include "frmabout_test.moc"
