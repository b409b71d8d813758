#pragma once
// The multiple file selection window: a drive list (the mounted volumes), a folder list and
// a file list that follow each other; Command1 composes the full path of the chosen file;
// Convert runs Remove Both Code + Lines on every chosen file into <name>.txt in an output folder.

#include "core/linkswitches.h"
#include "settings/settingvalues.h"

#include <QList>
#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace quorvik {

class Dialogs;

// A drive as the drive list shows it: a mounted volume's root folder and its name.
struct Drive {
    QString root;
    QString label;
};

// The mounted volumes that can be read, the root volume first.
QList<Drive> MountedDrives();

// The converted text's name for a document: its name without the last extension, then ".txt".
QString ConvertedName(const QString& documentPath);

// The outcome of converting one file of a batch.
struct BatchResult {
    QString document;
    QString output;
    bool converted = false;
    QString line;  // the result line shown to the user
};

class MultFile : public QWidget {
    Q_OBJECT
public:
    // `values` and `links` are the main window's: a batch uses the options in force when it starts.
    // `drives` replaces the mounted volumes (tests); `startFolder` is the folder shown first.
    MultFile(const SettingValues& values, const LinkSwitches& links, Dialogs& dialogs,
             QWidget* parent = nullptr, QList<Drive> drives = MountedDrives(), QString startFolder = QString());

    // Drive1's change: the folder list moves to the drive, or the drive list goes back to the
    // drive of the folder still shown when the drive cannot be read (no message).
    void Drive1_Change();
    // Dir1's change: the file list follows the folder list.
    void Dir1_Change();
    // Command1: the full path of the entry chosen in the folder list and of the file chosen in
    // the file list; empty when no file is chosen. Also shown in the window's path line.
    QString Command1_Click();
    // Converts the chosen files; returns one result per file, in list order.
    QList<BatchResult> Convert();

    // The folder whose files the file list shows.
    QString folderPath() const { return dirPath_; }
    void setFolderPath(const QString& path);
    QString outputFolder() const;
    void setOutputFolder(const QString& folder);
    // Chooses the files of the file list with these names (tests and callers).
    void selectFiles(const QStringList& names);

signals:
    void pathComposed(const QString& path);

private:
    bool SetDirPath(const QString& path);
    void FillFolderList();
    void ChooseOutputFolder();
    int DriveOf(const QString& path) const;

    const SettingValues& values_;
    const LinkSwitches& links_;
    Dialogs& dialogs_;
    QList<Drive> drives_;
    QString dirPath_;

    QComboBox* Drive1_ = nullptr;
    QListWidget* Dir1_ = nullptr;
    QListWidget* File1_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QLabel* PathLabel_ = nullptr;
    QLineEdit* OutputFolderText_ = nullptr;
    QPushButton* cmdOutputFolder_ = nullptr;
    QPushButton* cmdConvert_ = nullptr;
    QProgressBar* ConvertProgress_ = nullptr;
    QListWidget* ResultList_ = nullptr;
};

}  // namespace quorvik
