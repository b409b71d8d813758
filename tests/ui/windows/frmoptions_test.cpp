// The options dialog against its own settings file: what it shows, what Apply and OK save (all
// keys or none), the Text Length it accepts, when Apply is enabled, and the keyboard.

#include "settings/settingsstore.h"
#include "support/files.h"
#include "ui/scripteddialogs.h"
#include "ui/windows/frmoptions.h"
#include "ui/windows/windowopen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <memory>

using namespace quorvik;
using namespace quorvik::testing;

constexpr int kRefused = INT_MIN;

class TestOptions : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<SettingsStore> store_;
    SettingValues values_;
    ScriptedDialogs dialogs_;
    QPointer<frmOptions> dialog_;

    QString ini() const { return dir_.filePath(QStringLiteral("zelbrin.ini")); }
    frmOptions* open()
    {
        return ShowModeless(dialog_, [this] { return new frmOptions(*store_, values_, dialogs_); });
    }
    void reopen(const QByteArray& file)
    {
        delete dialog_.data();
        QVERIFY(WriteBytes(ini(), file));
        open();
    }
    template <typename T = QWidget>
    T* child(const QString& name) { return dialog_->findChild<T*>(name); }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(QLatin1String(name)); }
    QPushButton* button(const char* name) { return child<QPushButton>(QLatin1String(name)); }
    QCheckBox* check(int n) { return child<QCheckBox>(QStringLiteral("Check%1").arg(n)); }
    QCheckBox* readable() { return child<QCheckBox>(QStringLiteral("ReadableCheck")); }
    QComboBox* combo() { return child<QComboBox>(QStringLiteral("Combo1")); }
    QByteArray file() const { return ReadBytes(ini()); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    // A click on the box itself (the widget may be wider than its caption).
    void tick(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2)); }
    void focusInto(QWidget* w)
    {
        w->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        QFile::remove(ini());
        store_ = std::make_unique<SettingsStore>(ini());
        values_ = SettingValues{};
        dialogs_.reset();
        open();
        QVERIFY(QTest::qWaitForWindowActive(dialog_));
    }
    void cleanup()
    {
        delete dialog_.data();
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join(u'\n')));
        QVERIFY2(dialogs_.leftover().isEmpty(), qPrintable(dialogs_.leftover().join(u'\n')));
    }

    // The fields show the stored options as the start-up load reads them (the settings tests
    // check that reading); the clean-up sets show the values in use.
    void load()
    {
        values_.sCleanChar = {"a", "", "", "d"};
        reopen("[Startup]\nTableCellSep=none\nTextLen=40\nmailLINKS=1\nreadable=1");
        QCOMPARE(combo()->currentText(), QString("none"));
        QCOMPARE(edit("TextLenText")->text(), QString("40"));
        QVERIFY(check(2)->isChecked() && !check(1)->isChecked() && readable()->isChecked());
        QCOMPARE(edit("CharSet1Text")->text(), QString("a"));
        QCOMPARE(edit("CharSet4Text")->text(), QString("d"));
        QVERIFY(button("cmdApply")->isEnabled());
        QCOMPARE(dialog_->currentTab(), 0);
    }

    void apply_savesEveryFieldAndTheValuesInUse()
    {
        combo()->setEditText("none");
        edit("TextLenText")->setText(" 72.5 ");
        edit("BulletText")->setText("o");
        check(1)->setChecked(true);
        readable()->setChecked(true);
        edit("CharSet2Text")->setText("~~");
        click("cmdApply");
        QVERIFY(!button("cmdApply")->isEnabled());
        const SettingValues stored = LoadSettingValues(*store_);
        QCOMPARE(stored.TableCellSep, QString("none"));
        QCOMPARE(stored.TextLen, 72);
        QCOMPARE(stored.LinkSettings, (std::array<int, 3>{1, 0, 0}));
        QCOMPARE(stored.sCleanChar[1], QString("~~"));
        QVERIFY(stored.Readable && values_.Readable);
        QCOMPARE(values_.TextLen, 72);
        QCOMPARE(values_.BulletChar, QString("o"));
        QCOMPARE(TableCellSepValue(values_.TableCellSep), QString(" "));
        QCOMPARE(values_.sCleanChar[1], QString("~~"));
        // OK saves too, also while Apply is disabled, and closes.
        dialog_->selectTab(2);
        edit("CharSet1Text")->setText("&nbsp;");
        QVERIFY(!button("cmdApply")->isEnabled());
        click("cmdOK");
        QCOMPARE(LoadSettingValues(*store_).sCleanChar[0], QString("&nbsp;"));
        QTRY_VERIFY(!dialog_);
    }

    // Only a plain number in range is accepted; anything else is refused with the range,
    // nothing is saved and the values in use stay.
    void textLength_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("textLen");  // kRefused: refused
        QTest::newRow("plain") << "60" << 60;
        QTest::newRow("trimmed, signed") << "\t-5 " << -5;
        QTest::newRow("half to even") << "73.5" << 74;
        QTest::newRow("largest") << "32767" << 32767;
        QTest::newRow("smallest") << "-32768" << -32768;
        QTest::newRow("empty") << "" << kRefused;
        QTest::newRow("letter O for zero") << "4O" << kRefused;
        QTest::newRow("trailing letters") << "12abc" << kRefused;
        QTest::newRow("blank inside") << "6 0" << kRefused;
        QTest::newRow("hexadecimal") << "&H1F" << kRefused;
        QTest::newRow("exponent") << "1e2" << kRefused;
        QTest::newRow("point without fraction") << "72." << kRefused;
        QTest::newRow("too large") << "99999" << kRefused;
        QTest::newRow("rounds out of range") << "32767.5" << kRefused;
    }
    void textLength()
    {
        QFETCH(QString, typed);
        QFETCH(int, textLen);
        values_.TextLen = 55;
        combo()->setEditText("*");
        edit("TextLenText")->setText(typed);
        dialog_->selectTab(2);
        if (textLen == kRefused)
            dialogs_.answerMessage(Answer::Ok);
        click("cmdOK");
        if (textLen != kRefused) {
            QVERIFY(dialogs_.shown().empty());
            QCOMPARE(values_.TextLen, textLen);
            QCOMPARE(LoadSettingValues(*store_).TextLen, textLen);
            return;
        }
        QCOMPARE(dialogs_.shownTexts().size(), 1);
        QVERIFY2(dialogs_.shownTexts()[0].contains("-32768 to 32767"), qPrintable(dialogs_.shownTexts()[0]));
        QVERIFY(file().isEmpty());
        QCOMPARE(values_.TextLen, 55);
        QCOMPARE(values_.TableCellSep, QString(","));
        QVERIFY(dialog_ && dialog_->isVisible());
        QCOMPARE(dialog_->currentTab(), 0);  // the refused field is shown
    }

    // A store that cannot be written: the message names the file and the reason, and neither
    // the file nor the values in use change.
    void unwritableStore_isReported()
    {
        QVERIFY(QDir().mkpath(dir_.filePath("blocked/zelbrin.ini")));
        store_ = std::make_unique<SettingsStore>(dir_.filePath("blocked/zelbrin.ini"));
        reopen({});
        edit("TextLenText")->setText("50");
        dialogs_.answerMessage(Answer::Ok);
        click("cmdApply");
        QCOMPARE(dialogs_.shownTexts().size(), 1);
        QVERIFY(dialogs_.shownTexts()[0].contains(QDir::toNativeSeparators(store_->path())));
        QCOMPARE(values_.TextLen, 80);
        QVERIFY(button("cmdApply")->isEnabled());
    }

    void defaultValuesThenCancel_changesNothing()
    {
        reopen("[Startup]\nTextLen=40\nTableCellSep=;\nReadable=1\n");
        click("cmdApply");
        const QByteArray before = file();
        click("CmdDefault");
        QCOMPARE(edit("TextLenText")->text(), QString("80"));
        QCOMPARE(combo()->currentText(), QString(","));
        QCOMPARE(edit("BulletText")->text(), QString("*"));
        QVERIFY(!readable()->isChecked());
        QVERIFY(button("cmdApply")->isEnabled());
        click("cmdCancel");
        QTRY_VERIFY(!dialog_);
        QCOMPARE(file(), before);
        QCOMPARE(values_.TextLen, 40);
    }

    void applyEnabling_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("bullet text") << "bullet" << true;
        QTest::newRow("link box") << "check" << true;
        QTest::newRow("readable box") << "readable" << true;
        QTest::newRow("focus enters delimiter") << "comboFocus" << true;
        QTest::newRow("typing in delimiter") << "comboType" << false;
        QTest::newRow("character set") << "charset" << false;
    }
    void applyEnabling()
    {
        QFETCH(QString, change);
        focusInto(edit("BulletText"));
        click("cmdApply");
        QVERIFY(!button("cmdApply")->isEnabled());
        if (change == "bullet") {
            QTest::keyClicks(edit("BulletText"), "+");
        } else if (change == "check") {
            dialog_->selectTab(1);
            tick(check(2));
        } else if (change == "readable") {
            tick(readable());
        } else if (change == "comboFocus") {
            focusInto(combo());
        } else if (change == "comboType") {
            QTest::keyClicks(combo()->lineEdit(), ";");
        } else {
            dialog_->selectTab(2);
            QTest::keyClicks(edit("CharSet3Text"), "#");
        }
        QTEST(button("cmdApply")->isEnabled(), "enabled");
    }

    // Ctrl+Tab from any field steps through the tabs and round again; only the shown page
    // takes input; Ctrl with another modifier does nothing; Escape closes without saving.
    void keyboard_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("delimiter") << "Combo1";
        QTest::newRow("OK button") << "cmdOK";
    }
    void keyboard()
    {
        QFETCH(QString, field);
        QWidget* start = field == "Combo1" ? combo()->lineEdit() : child(field);
        focusInto(start);
        for (int step : {1, 2, 0}) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus && focus->window() == dialog_ ? focus : dialog_.data(), Qt::Key_Tab,
                            Qt::ControlModifier);
            QCOMPARE(dialog_->currentTab(), step);
            for (int page = 0; page < 3; ++page)
                QCOMPARE(child(QStringLiteral("picOptions%1").arg(page))->isEnabled(), page == step);
        }
        QTest::keyClick(start, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(start, Qt::Key_Tab, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(dialog_->currentTab(), 0);
        edit("BulletText")->setText("#");
        focusInto(start);
        QTest::keyClick(start, Qt::Key_Escape);
        QTRY_VERIFY(!dialog_);
        QVERIFY(file().isEmpty());
        QCOMPARE(values_.BulletChar, QString("*"));
    }
};

QTEST_MAIN(TestOptions)
#include "frmoptions_test.moc"
