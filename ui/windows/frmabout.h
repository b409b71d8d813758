#pragma once
// The About box: title, version, description and a warning notice; OK closes it and
// "System Info..." starts the system-information program, or says it is unavailable.

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace quorvik {

class Dialogs;

// The program's version as the About box shows it: "Version 1.0.0".
QString VersionLine();

// What System Info needs of the machine. The registry lookup is the place where a platform
// with a machine-wide configuration registry answers; on this platform it finds nothing.
class SysInfoHost {
public:
    enum class KeyRoot { LocalMachine };
    virtual ~SysInfoHost() = default;
    // Reads the text value `SubKeyRef` of key `KeyName` under `KeyRoot`. True with the text in
    // `KeyVal` when it can be read; false with `KeyVal` empty otherwise.
    virtual bool GetKeyValue(KeyRoot root, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal) = 0;
    virtual bool FileExists(const QString& path) = 0;
    // The full path of a system-information program found on the search path, or empty.
    virtual QString FindSysInfoProgram() = 0;
    // Starts the program as a normal, focused window; false when it cannot be started.
    virtual bool StartProgram(const QString& path) = 0;
};

// This machine: no registry; the first of a few known system-information programs that is on
// the search path is started.
class LocalSysInfoHost final : public SysInfoHost {
public:
    bool GetKeyValue(KeyRoot root, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal) override;
    bool FileExists(const QString& path) override;
    QString FindSysInfoProgram() override;
    bool StartProgram(const QString& path) override;
};

// Finds and starts the system-information program; when there is none, or it does not start,
// shows "System Information Is Unavailable At This Time". Returns true when a program started.
bool StartSysInfo(SysInfoHost& host, Dialogs& dialogs, QWidget* parent);

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // `host` and `dialogs` outlive the box.
    frmAbout(SysInfoHost& host, Dialogs& dialogs, QWidget* parent = nullptr);

private:
    void Form_Load();

    SysInfoHost& host_;
    Dialogs& dialogs_;
    QLabel* lblTitle_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdSysInfo_ = nullptr;
};

}  // namespace quorvik
