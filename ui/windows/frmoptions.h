#pragma once
// The options dialog: edits the eleven stored options on three tabs ("Text Options" with
// Readable output, "Hyper Links", "Clean Up"). Apply and OK write every field to the settings store and
// update the setting values in use at once; OK then closes, Cancel closes without saving.
// Modeless; the main window keeps it in a QPointer and opens it with ShowModeless.

#include "settings/settingsstore.h"
#include "settings/settingvalues.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace quorvik {

class Dialogs;

class frmOptions : public QDialog {
    Q_OBJECT
public:
    // `store` and `values` belong to the main window and outlive the dialog.
    frmOptions(SettingsStore& store, SettingValues& values, Dialogs& dialogs, QWidget* parent = nullptr);

    // Saves every field in one write of the store and then updates the setting values (the
    // Apply and OK sequence); `fromApply` also disables Apply. Returns false, with nothing saved
    // or changed, when the Text Length is not a number in range or the store cannot be written
    // (the user is told why).
    bool ApplySettings(bool fromApply);

    // The tab shown: 0 "Text Options", 1 "Hyper Links", 2 "Clean Up".
    int currentTab() const;
    void selectTab(int index);

signals:
    // The store and the setting values have just been updated by Apply or OK.
    void settingsApplied();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void cmdApply_Click();
    void cmdOK_Click();
    void CmdDefault_Click();
    void tbsOptions_Click(int index);
    void EnableApply();

    SettingsStore& store_;
    SettingValues& values_;
    Dialogs& dialogs_;

    QTabBar* tbsOptions_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    std::array<QFrame*, 3> picOptions_{};
    QComboBox* Combo1_ = nullptr;
    QLineEdit* TextLenText_ = nullptr;
    QLineEdit* BulletText_ = nullptr;
    QCheckBox* ReadableCheck_ = nullptr;
    QPushButton* CmdDefault_ = nullptr;
    std::array<QCheckBox*, 3> Check_{};
    std::array<QLineEdit*, 4> CharSetText_{};
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdApply_ = nullptr;

    // The delimiter text has changed at least once since the load (the load itself counts).
    bool comboChanged_ = false;
};

}  // namespace quorvik
