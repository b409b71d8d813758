// The About box: its texts, its buttons and the System Info lookup.

#include "ui/windows/frmabout.h"
#include "ui/windows/windowopen.h"
#include "ui/scripteddialogs.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace quorvik;

namespace {

// A machine whose registry, files and programs are set by the test.
class FakeHost final : public SysInfoHost {
public:
    QString msinfoPath;      // value "PATH" of the MSINFO key; empty: absent
    QString toolsLocation;   // value "MSINFO" of the Shared Tools Location key; empty: absent
    QStringList files;       // files that exist
    QString programOnPath;   // a system-information program on the search path
    bool startWorks = true;
    QStringList started;     // programs the host was asked to start
    QStringList lookups;     // "key|value" of every registry lookup

    bool GetKeyValue(KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal) override
    {
        lookups.append(KeyName + u'|' + SubKeyRef);
        KeyVal.clear();
        if (KeyName == QLatin1String("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO") && SubKeyRef == QLatin1String("PATH"))
            KeyVal = msinfoPath;
        else if (KeyName == QLatin1String("SOFTWARE\\Microsoft\\Shared Tools Location")
                 && SubKeyRef == QLatin1String("MSINFO"))
            KeyVal = toolsLocation;
        return !KeyVal.isEmpty();
    }
    bool FileExists(const QString& path) override { return files.contains(path); }
    QString FindSysInfoProgram() override { return programOnPath; }
    bool StartProgram(const QString& path) override
    {
        started.append(path);
        return startWorks;
    }
};

const char* const kUnavailable = "System Information Is Unavailable At This Time";

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT

private:
    FakeHost host_;
    ScriptedDialogs dialogs_;
    QPointer<frmAbout> box_;

    frmAbout* open()
    {
        return ShowModeless(box_, [this] { return new frmAbout(host_, dialogs_); });
    }
    QString label(const char* name) { return box_->findChild<QLabel*>(QLatin1String(name))->text(); }
    QPushButton* button(const char* name) { return box_->findChild<QPushButton*>(QLatin1String(name)); }

private slots:
    void init()
    {
        host_ = FakeHost{};
        dialogs_.reset();
        open();
        QVERIFY(QTest::qWaitForWindowActive(box_));
    }
    void cleanup()
    {
        delete box_.data();
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join(u'\n')));
        QVERIFY2(dialogs_.leftover().isEmpty(), qPrintable(dialogs_.leftover().join(u'\n')));
    }

    void load_showsTitleVersionAndTexts()
    {
        QCOMPARE(box_->windowTitle(), QString("About Quorvik"));
        QCOMPARE(label("lblTitle"), QString("Quorvik"));
        QCOMPARE(label("lblVersion"), QString("Version 1.0.0"));
        QCOMPARE(VersionLine(), QString("Version 1.0.0"));
        QVERIFY(label("lblDisclaimer").startsWith("Warning"));
        QCOMPARE(button("cmdOK")->text(), QString("OK"));
        QVERIFY(button("cmdOK")->isDefault());
        QCOMPARE(button("cmdSysInfo")->text(), QString("&System Info..."));
        QVERIFY(!box_->isModal());
    }

    void enterAndEscape_close_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void enterAndEscape_close()
    {
        QFETCH(int, key);
        QTest::keyClick(box_, Qt::Key(key));
        QTRY_VERIFY(!box_);
    }

    void sysInfoButton_withNothingFound_showsMessageAndStaysOpen()
    {
        dialogs_.answerMessage(Answer::Ok);
        QTest::mouseClick(button("cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QCOMPARE(dialogs_.shown()[0].kind, QString("information"));
        QCOMPARE(dialogs_.shown()[0].title, QString("Quorvik"));
        QCOMPARE(dialogs_.shown()[0].text, QString(kUnavailable));
        QVERIFY(host_.started.isEmpty());
        QVERIFY(box_ && box_->isVisible());
    }

    void altS_pressesSystemInfo()
    {
        QCOMPARE(button("cmdSysInfo")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_S));
        dialogs_.answerMessage(Answer::Ok);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(dialogs_.shown().size(), std::size_t(1));  // a mnemonic animates the click first
        QCOMPARE(dialogs_.shown()[0].text, QString(kUnavailable));
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
        QTest::newRow("program on the search path") << "" << "" << false << "/usr/bin/hardinfo" << true
                                                    << "/usr/bin/hardinfo";
        QTest::newRow("program on path fails to start") << "" << "" << false << "/usr/bin/hardinfo" << false << "";
        QTest::newRow("registry path, no existence test") << "C:\\x\\msinfo.exe" << "" << false << "" << true
                                                          << "C:\\x\\msinfo.exe";
        QTest::newRow("registry path fails to start") << "C:\\x\\msinfo.exe" << "" << false << "" << false << "";
        QTest::newRow("folder with the tool") << "" << "C:\\Tools" << true << "" << true << "C:\\Tools\\MSINFO32.EXE";
        QTest::newRow("folder without the tool") << "" << "C:\\Tools" << false << "/usr/bin/hardinfo" << true << "";
    }
    void startSysInfo()
    {
        QFETCH(QString, msinfoPath);
        QFETCH(QString, toolsLocation);
        QFETCH(bool, toolInFolder);
        QFETCH(QString, onPath);
        QFETCH(bool, startWorks);
        QFETCH(QString, started);
        host_.msinfoPath = msinfoPath;
        host_.toolsLocation = toolsLocation;
        if (toolInFolder)
            host_.files.append(toolsLocation + "\\MSINFO32.EXE");
        host_.programOnPath = onPath;
        host_.startWorks = startWorks;

        if (started.isEmpty())
            dialogs_.answerMessage(Answer::Ok);
        const bool ok = StartSysInfo(host_, dialogs_, box_);
        QCOMPARE(ok, !started.isEmpty());
        if (started.isEmpty()) {
            QCOMPARE(dialogs_.shown().size(), std::size_t(1));
            QCOMPARE(dialogs_.shown()[0].text, QString(kUnavailable));
        } else {
            QVERIFY(dialogs_.shown().empty());
            QCOMPARE(host_.started.last(), started);
        }
        if (!toolsLocation.isEmpty() && !toolInFolder)
            QVERIFY(host_.started.isEmpty());  // nothing is started when the folder lacks the tool
        QCOMPARE(host_.lookups.first(), QString("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH"));
    }

    void localHost_registryFindsNothing()
    {
        LocalSysInfoHost local;
        QString value = "left over";
        QVERIFY(!local.GetKeyValue(SysInfoHost::KeyRoot::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                                   "PATH", value));
        QVERIFY(value.isEmpty());
        QVERIFY(!local.FileExists(QDir::rootPath()));  // a folder is not a program file
    }
};

QTEST_MAIN(TestAbout)
#include "frmabout_test.moc"
