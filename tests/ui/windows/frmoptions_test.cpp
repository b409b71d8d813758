// The options dialog against an isolated settings file: loading, Apply/OK/Cancel, the enabling
// of Apply, the line-length reading and its range, Ctrl+Tab and Escape.

#include "settings/numericreading.h"
#include "settings/settingsstore.h"
#include "ui/windows/frmoptions.h"
#include "ui/windows/windowopen.h"
#include "ui/scripteddialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>

using namespace quorvik;

namespace {

const QStringList kAllKeys{"TableCellSep", "TextLen",     "BulletChar",  "WWWLinks",    "MailLinks",
                           "NewsLinks",    "sCleanChar1", "sCleanChar2", "sCleanChar3", "sCleanChar4"};

}  // namespace

class TestOptions : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<SettingsStore> store_;
    SettingValues values_;
    ScriptedDialogs dialogs_;
    QPointer<frmOptions> dialog_;

    frmOptions* open()
    {
        return ShowModeless(dialog_, [this] { return new frmOptions(*store_, values_, dialogs_); });
    }
    template <typename T>
    T* child(const char* name)
    {
        T* w = dialog_->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    QCheckBox* check(int n) { return child<QCheckBox>(QByteArray("Check" + QByteArray::number(n)).constData()); }
    QComboBox* combo() { return child<QComboBox>("Combo1"); }
    QString stored(const QString& key) { return store_->GetSetting(key, QStringLiteral("<absent>")); }
    bool storeIsEmpty()
    {
        for (const QString& key : kAllKeys) {
            if (stored(key) != QLatin1String("<absent>"))
                return false;
        }
        return true;
    }
    void focusInto(QWidget* w)
    {
        w->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(dir_.isValid());
    }

    void init()
    {
        QFile::remove(dir_.filePath("zelbrin.ini"));
        store_ = std::make_unique<SettingsStore>(dir_.filePath("zelbrin.ini"));
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

    void load_onEmptyStore_showsDefaults()
    {
        values_.sCleanChar = {"a", "", "", "d"};
        store_->SaveSetting("sCleanChar1", "from store");
        delete dialog_.data();
        open();

        QCOMPARE(dialog_->windowTitle(), QString("Options"));
        QCOMPARE(combo()->currentText(), QString(","));
        QCOMPARE(combo()->count(), 4);
        const QStringList items{combo()->itemText(0), combo()->itemText(1), combo()->itemText(2), combo()->itemText(3)};
        QCOMPARE(items, (QStringList{",", "*", "-", "none"}));
        QCOMPARE(edit("TextLenText")->text(), QString("80"));
        QCOMPARE(edit("BulletText")->text(), QString("*"));
        for (int n = 1; n <= 3; ++n)
            QVERIFY(!check(n)->isChecked());
        // The clean-up sets show the values in use, not the store.
        QCOMPARE(edit("CharSet1Text")->text(), QString("a"));
        QCOMPARE(edit("CharSet4Text")->text(), QString("d"));
        QVERIFY(button("cmdApply")->isEnabled());
        QCOMPARE(dialog_->currentTab(), 0);
        QVERIFY(dialog_->isVisible() && !dialog_->isModal());
    }

    void load_showsStoredTexts()
    {
        store_->SaveSetting("TableCellSep", "none");
        store_->SaveSetting("TextLen", "72.5");
        store_->SaveSetting("BulletChar", "->");
        store_->SaveSetting("mailLINKS", "1");
        delete dialog_.data();
        open();
        QCOMPARE(combo()->currentText(), QString("none"));
        QCOMPARE(edit("TextLenText")->text(), QString("72.5"));
        QCOMPARE(edit("BulletText")->text(), QString("->"));
        QVERIFY(!check(1)->isChecked());
        QVERIFY(check(2)->isChecked());
    }

    void apply_savesEveryKeyAndUpdatesValues()
    {
        combo()->setEditText("*");
        edit("TextLenText")->setText("60");
        edit("BulletText")->setText("o");
        check(1)->setChecked(true);
        check(3)->setChecked(true);
        edit("CharSet2Text")->setText("~~");
        QTest::mouseClick(button("cmdApply"), Qt::LeftButton);

        QCOMPARE(stored("TableCellSep"), QString("*"));
        QCOMPARE(stored("TextLen"), QString("60"));
        QCOMPARE(stored("BulletChar"), QString("o"));
        QCOMPARE(stored("WWWLinks"), QString("1"));
        QCOMPARE(stored("MailLinks"), QString("0"));
        QCOMPARE(stored("NewsLinks"), QString("1"));
        QCOMPARE(stored("sCleanChar1"), QString(""));
        QCOMPARE(stored("sCleanChar2"), QString("~~"));
        QCOMPARE(values_.TextLen, 60);
        QCOMPARE(values_.TableCellSep, QString("*"));
        QCOMPARE(values_.BulletChar, QString("o"));
        QCOMPARE(values_.sCleanChar[1], QString("~~"));
        QVERIFY(!button("cmdApply")->isEnabled());
        QVERIFY(dialog_->isVisible());
        // The link values of the main window are its own: the dialog only saves the keys.
        QCOMPARE(values_.LinkSettings, (std::array<int, 3>{0, 0, 0}));
    }

    void linkBoxes_saveTheirKeysBothWays()
    {
        store_->SaveSetting("WWWLinks", "1");
        delete dialog_.data();
        open();
        QVERIFY(check(1)->isChecked());
        check(1)->setChecked(false);
        check(2)->setChecked(true);
        QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        QCOMPARE(stored("WWWLinks"), QString("0"));
        QCOMPARE(stored("MailLinks"), QString("1"));
        QCOMPARE(stored("NewsLinks"), QString("0"));
        QTRY_VERIFY(!dialog_);  // OK closes and deletes the dialog
    }

    void applyEnabling_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("bullet text") << "bullet" << true;
        QTest::newRow("text length") << "length" << true;
        QTest::newRow("link box") << "check" << true;
        QTest::newRow("focus enters delimiter") << "comboFocus" << true;
        QTest::newRow("typing in delimiter") << "comboType" << false;
        QTest::newRow("character set") << "charset" << false;
        QTest::newRow("tab switch") << "tab" << false;
    }

    void applyEnabling()
    {
        QFETCH(QString, change);
        QFETCH(bool, enabled);
        focusInto(edit("BulletText"));
        QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
        QVERIFY(!button("cmdApply")->isEnabled());
        QVERIFY(!combo()->hasFocus());

        if (change == "bullet")
            QTest::keyClicks(edit("BulletText"), "+");
        else if (change == "length")
            edit("TextLenText")->setText("70");
        else if (change == "check") {
            dialog_->selectTab(1);
            QTest::mouseClick(check(2), Qt::LeftButton);
        } else if (change == "comboFocus")
            focusInto(combo());
        else if (change == "comboType")
            QTest::keyClicks(combo()->lineEdit(), ";");
        else if (change == "charset") {
            dialog_->selectTab(2);
            QTest::keyClicks(edit("CharSet3Text"), "#");
        } else if (change == "tab")
            dialog_->selectTab(2);
        QCOMPARE(button("cmdApply")->isEnabled(), enabled);
    }

    void ok_savesWhileApplyIsDisabled()
    {
        QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
        dialog_->selectTab(2);
        edit("CharSet1Text")->setText("&nbsp;");
        QVERIFY(!button("cmdApply")->isEnabled());
        QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        QCOMPARE(stored("sCleanChar1"), QString("&nbsp;"));
        QCOMPARE(values_.sCleanChar[0], QString("&nbsp;"));
        QTRY_VERIFY(!dialog_);
    }

    void cancel_afterDefaultValues_changesNothing()
    {
        store_->SaveSetting("TextLen", "40");
        store_->SaveSetting("TableCellSep", ";");
        values_.TextLen = 40;
        values_.TableCellSep = ";";
        delete dialog_.data();
        open();
        QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
        QTest::mouseClick(button("CmdDefault"), Qt::LeftButton);
        QCOMPARE(edit("TextLenText")->text(), QString("80"));
        QCOMPARE(combo()->currentText(), QString(","));
        QCOMPARE(edit("BulletText")->text(), QString("*"));
        QVERIFY(button("cmdApply")->isEnabled());
        QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
        QTRY_VERIFY(!dialog_);
        QCOMPARE(stored("TextLen"), QString("40"));
        QCOMPARE(stored("TableCellSep"), QString(";"));
        QCOMPARE(values_.TextLen, 40);
        QCOMPARE(values_.TableCellSep, QString(";"));
    }

    void noneDelimiter_isStoredAsTypedAndUsedAsOneSpace()
    {
        combo()->setEditText("none");
        QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        QCOMPARE(stored("TableCellSep"), QString("none"));
        QCOMPARE(values_.TableCellSep, QString(" "));
        QTRY_VERIFY(!dialog_);
        open();
        QCOMPARE(combo()->currentText(), QString("none"));
        // Only the exact word means a space.
        combo()->setEditText("None");
        QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
        QCOMPARE(values_.TableCellSep, QString("None"));
    }

    void textLength_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("storedText");
        QTest::addColumn<int>("textLen");
        QTest::newRow("plain") << "80" << "80" << 80;
        QTest::newRow("no number") << "abc" << "0" << 0;
        QTest::newRow("empty") << "" << "0" << 0;
        QTest::newRow("half down to even") << "72.5" << "72.5" << 72;
        QTest::newRow("half up to even") << "73.5" << "73.5" << 74;
        QTest::newRow("blanks anywhere") << " 8 0" << "80" << 80;
        QTest::newRow("trailing words") << "65 chars" << "65" << 65;
        QTest::newRow("hexadecimal") << "&H1F" << "31" << 31;
        QTest::newRow("octal") << "&O17" << "15" << 15;
        QTest::newRow("exponent") << "1e2" << "100" << 100;
        QTest::newRow("negative") << "-5" << "-5" << -5;
        QTest::newRow("minus zero") << "-0" << "0" << 0;
        QTest::newRow("largest") << "32767" << "32767" << 32767;
        QTest::newRow("smallest") << "-32768" << "-32768" << -32768;
        QTest::newRow("rounds into range") << "32767.4" << "32767.4" << 32767;
    }

    void textLength()
    {
        QFETCH(QString, typed);
        QFETCH(QString, storedText);
        QFETCH(int, textLen);
        edit("TextLenText")->setText(typed);
        QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
        QVERIFY(dialogs_.shown().empty());
        QCOMPARE(stored("TextLen"), storedText);
        QCOMPARE(values_.TextLen, textLen);
        // What was stored reads back to the same length.
        int reread = 0;
        QVERIFY(RoundToShort(NumericReading(stored("TextLen")), reread));
        QCOMPARE(reread, textLen);
    }

    void textLength_outOfRange_isRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("viaOk");
        QTest::newRow("too large, Apply") << "99999" << false;
        QTest::newRow("too large, OK") << "99999" << true;
        QTest::newRow("rounds out of range") << "32767.5" << false;
        QTest::newRow("too small") << "-32769" << true;
        QTest::newRow("huge exponent") << "1e400" << false;
        QTest::newRow("huge hexadecimal") << "&HFFFFFFFF" << true;
    }

    void textLength_outOfRange_isRefused()
    {
        QFETCH(QString, typed);
        QFETCH(bool, viaOk);
        values_.TextLen = 55;
        combo()->setEditText("*");
        edit("TextLenText")->setText(typed);
        dialog_->selectTab(2);
        dialogs_.answerMessage(Answer::Ok);
        QTest::mouseClick(button(viaOk ? "cmdOK" : "cmdApply"), Qt::LeftButton);

        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QCOMPARE(dialogs_.shown()[0].kind, QString("warning"));
        QVERIFY2(dialogs_.shown()[0].text.contains("-32768 to 32767"), qPrintable(dialogs_.shown()[0].text));
        QVERIFY(storeIsEmpty());
        QCOMPARE(values_.TextLen, 55);
        QCOMPARE(values_.TableCellSep, QString(","));
        QVERIFY(dialog_ && dialog_->isVisible());
        QCOMPARE(dialog_->currentTab(), 0);  // the refused field is shown
        QVERIFY(button("cmdApply")->isEnabled());
    }

    void storeThatCannotBeWritten_isReported()
    {
        QFile blocker(dir_.filePath("not-a-folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        store_ = std::make_unique<SettingsStore>(dir_.filePath("not-a-folder/zelbrin.ini"));
        delete dialog_.data();
        open();
        edit("TextLenText")->setText("50");
        dialogs_.answerMessage(Answer::Ok);
        QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QVERIFY(dialogs_.shown()[0].text.contains("not-a-folder"));
        QCOMPARE(values_.TextLen, 80);
        QVERIFY(dialog_ && dialog_->isVisible());
    }

    void ctrlTab_cyclesFromAnyField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("delimiter") << "Combo1";
        QTest::newRow("text length") << "TextLenText";
        QTest::newRow("OK button") << "cmdOK";
    }

    void ctrlTab_cyclesFromAnyField()
    {
        QFETCH(QString, field);
        QWidget* start = dialog_->findChild<QWidget*>(field);
        QVERIFY(start);
        focusInto(field == "Combo1" ? combo()->lineEdit() : start);
        const std::array<int, 3> expected{1, 2, 0};
        for (int step : expected) {
            QWidget* focus = QApplication::focusWidget();
            if (!focus || focus->window() != dialog_)
                focus = dialog_;
            QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(dialog_->currentTab(), step);
            // Only the page of the selected tab takes input.
            for (int page = 0; page < 3; ++page) {
                QWidget* w = dialog_->findChild<QWidget*>(QStringLiteral("picOptions%1").arg(page));
                QCOMPARE(w->isEnabled(), page == step);
            }
        }
    }

    void ctrlTab_withOtherModifiers_doesNothing_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("ctrl+shift") << int(Qt::Key_Backtab) << int(Qt::ControlModifier | Qt::ShiftModifier);
        QTest::newRow("ctrl+alt") << int(Qt::Key_Tab) << int(Qt::ControlModifier | Qt::AltModifier);
    }

    void ctrlTab_withOtherModifiers_doesNothing()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        dialog_->selectTab(1);
        QTest::keyClick(check(1), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(dialog_->currentTab(), 1);
    }

    void escape_closesLikeCancel_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("field");
        QTest::newRow("delimiter") << 0 << "Combo1";
        QTest::newRow("text length") << 0 << "TextLenText";
        QTest::newRow("link box") << 1 << "Check2";
        QTest::newRow("character set") << 2 << "CharSet4Text";
        QTest::newRow("Apply button") << 0 << "cmdApply";
    }

    void escape_closesLikeCancel()
    {
        QFETCH(int, tab);
        QFETCH(QString, field);
        dialog_->selectTab(tab);
        edit("BulletText")->setText("#");
        QWidget* w = dialog_->findChild<QWidget*>(field);
        if (field == "Combo1")
            w = combo()->lineEdit();
        focusInto(w);
        QTest::keyClick(w, Qt::Key_Escape);
        QTRY_VERIFY(!dialog_);
        QVERIFY(storeIsEmpty());
        QCOMPARE(values_.BulletChar, QString("*"));
    }

    void openAgain_bringsToFrontWithoutReloading()
    {
        frmOptions* first = dialog_;
        edit("TextLenText")->setText("66");
        store_->SaveSetting("TextLen", "12");
        QCOMPARE(open(), first);
        QCOMPARE(edit("TextLenText")->text(), QString("66"));
        dialog_->close();
        QTRY_VERIFY(!dialog_);
        open();
        QCOMPARE(edit("TextLenText")->text(), QString("12"));
    }
};

// The numeric reading of a line length and its rounding, on their own.
class TestNumericReading : public QObject {
    Q_OBJECT
private slots:
    void reading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "80" << 80.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("fraction") << "72.5" << 72.5;
        QTest::newRow("blanks inside") << " 8 0" << 80.0;
        QTest::newRow("tab and line feed") << "\t1\n2" << 12.0;
        QTest::newRow("stops at letter") << "12ab3" << 12.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("hex") << "&H1F" << 31.0;
        QTest::newRow("hex lower case") << "&hff" << 255.0;
        QTest::newRow("hex stops") << "&H1G" << 1.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("octal stops at 8") << "&O78" << 7.0;
        QTest::newRow("exponent") << "1e2" << 100.0;
        QTest::newRow("negative exponent") << "25E-1" << 2.5;
        QTest::newRow("exponent without digits") << "5e" << 5.0;
        QTest::newRow("sign") << "-5" << -5.0;
        QTest::newRow("plus sign") << "+7" << 7.0;
        QTest::newRow("lone sign") << "-" << 0.0;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("large") << "99999" << 99999.0;
    }
    void reading()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(NumericReading(text), value);
    }

    void rounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<int>("result");
        QTest::newRow("72.5 to even") << 72.5 << true << 72;
        QTest::newRow("73.5 to even") << 73.5 << true << 74;
        QTest::newRow("-2.5 to even") << -2.5 << true << -2;
        QTest::newRow("0.4") << 0.4 << true << 0;
        QTest::newRow("0.6") << 0.6 << true << 1;
        QTest::newRow("upper bound") << 32767.0 << true << 32767;
        QTest::newRow("lower bound") << -32768.0 << true << -32768;
        QTest::newRow("lower bound rounds") << -32768.5 << true << -32768;
        QTest::newRow("above") << 32767.5 << false << 0;
        QTest::newRow("below") << -32769.0 << false << 0;
        QTest::newRow("99999") << 99999.0 << false << 0;
        QTest::newRow("infinite") << HUGE_VAL << false << 0;
    }
    void rounding()
    {
        QFETCH(double, value);
        QFETCH(bool, fits);
        QFETCH(int, result);
        int out = 0;
        QCOMPARE(RoundToShort(value, out), fits);
        QCOMPARE(out, result);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestNumericReading reading;
        status |= QTest::qExec(&reading, argc, argv);
    }
    {
        TestOptions options;
        status |= QTest::qExec(&options, argc, argv);
    }
    return status;
}

#include "frmoptions_test.moc"
