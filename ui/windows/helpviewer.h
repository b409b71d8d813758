#pragma once
// The help window: shows the help document shipped with the program (a "help" folder beside
// the program, or share/quorvik/help of the installed program), its contents page or one of its numbered topics. F1 on a highlighted
// menu entry opens the entry's topic.

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QAction;
class QMenu;
class QMenuBar;
class QTextBrowser;
class QUrl;

namespace quorvik {

class Dialogs;

// The numbered help topics and their pages.
QList<int> HelpTopicNumbers();
QString HelpTopicFile(int topic);  // "topic1.html" ...; empty for an unknown number
QString HelpContentsFile();        // "index.html"

// Where the help document is looked for, in this order: <program folder>/help (the build tree
// and a program run from an unpacked folder), then <program folder>/../share/quorvik/help (the
// installed program, /usr/bin/quorvik -> /usr/share/quorvik/help).
QStringList HelpFolderCandidates(const QString& programFolder);
// The first candidate that holds the contents page; the first candidate when none does.
QString FindHelpFolder(const QString& programFolder);
// FindHelpFolder() for the running program.
QString DefaultHelpFolder();

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow(const QString& helpFolder, QWidget* parent = nullptr);
    void ShowPage(const QString& file);
    QUrl source() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void FollowPalette();

    QString helpFolder_;
    QTextBrowser* browser_ = nullptr;
};

// Owns the help window for the main window: created on first use, reused afterwards.
class HelpViewer {
public:
    // `owner` is the main window; `dialogs` tells the user when the help document is missing.
    HelpViewer(QWidget* owner, Dialogs& dialogs, QString helpFolder = DefaultHelpFolder());
    ~HelpViewer();
    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;

    // The Help command: the contents page. False (after telling the user) when the document is missing.
    bool ShowContents();
    // Topic `topic`; an unknown number shows the contents page.
    bool ShowTopic(int topic);
    // Closes the help window if it is open (the main window calls this while it closes).
    void Close();

    HelpWindow* window() const { return window_.data(); }
    const QString& helpFolder() const { return helpFolder_; }

private:
    bool Show(const QString& file);

    QWidget* owner_;
    Dialogs& dialogs_;
    QString helpFolder_;
    QPointer<HelpWindow> window_;
};

// The property holding an action's help topic number.
constexpr const char* kHelpTopicProperty = "helpTopic";

void SetHelpTopic(QAction* action, int topic);

// Gives the main window's menu entries their topic numbers, found by object name:
// OpenMenu 1, Multmen 2, SaveMenu 3, Exitmenu 4, Undomen 5, RemoveHTMLMen 10,
// RemoveBlankMen 11, RevCodeLinesMen 40. Returns how many entries were found.
int AssignMenuHelpTopics(QObject* root);

// Makes F1 on a highlighted entry of `menu` open the entry's topic in `viewer`.
// The filter belongs to the menu and is removed with it.
void InstallMenuHelp(QMenu* menu, HelpViewer& viewer);
// The same for every menu of a menu bar.
void InstallMenuHelp(QMenuBar* bar, HelpViewer& viewer);

}  // namespace quorvik
