#pragma once
// The main window: four stacked views under a tab strip, the toolbar and menus, status
// panel 1 with the three link toggles, and the document, conversion and editing commands.

#include "app/windowlayout.h"
#include "core/linkswitches.h"
#include "document/documentrecord.h"
#include "document/workpaths.h"
#include "settings/settingsstore.h"
#include "settings/settingvalues.h"
#include "ui/dialogs.h"
#include "ui/windows/frmabout.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QTabBar;
class QTextEdit;
class QToolBar;

namespace quorvik {

class HelpViewer;
class MultFile;
class frmOptions;

class MainForm : public QMainWindow {
    Q_OBJECT

public:
    // `dialogs` answers every modal question; `store` keeps the options and the link toggles.
    MainForm(Dialogs& dialogs, const SettingsStore& store, QWidget* parent = nullptr);
    ~MainForm() override;

    // Fields the commands work on, readable for the other windows and for tests.
    const DocumentRecord& documentRecord() const { return record_; }
    int processed() const { return processed_; }
    int currentView() const { return currentView_; }
    const std::optional<std::array<QString, 4>>& undoBuffer() const { return undoBuffer_; }
    const WorkPaths& workPaths() const { return workPaths_; }
    const WindowLayout& layoutTwips() const { return layout_; }
    // The view with its text in place (a hidden view may hold its text back until it is needed).
    QTextEdit* view(int index) const;
    QCheckBox* linkToggle(int index) const { return toggles_.at(static_cast<std::size_t>(index)); }
    QTabBar* tabStrip() const { return tabStrip_; }
    QLabel* statusPanel() const { return statusPanel_; }
    const LinkSwitches& linkSwitches() const;

    // The option values the conversion reads and the store they come from; the options dialog
    // works on both (they live as long as the window).
    const SettingValues& settingValues() const { return values_; }
    SettingValues& settingValues() { return values_; }
    void setSettingValues(const SettingValues& values) { values_ = values; }
    const SettingsStore& settingsStore() const { return store_; }
    SettingsStore& settingsStore() { return store_; }

    // The window's outer size in twips, as the resize rules count it.
    int outerWidthTwips() const;
    int outerHeightTwips() const;
    int statusPanelWidthTwips() const;

public slots:
    void OpenDocument();
    void NewDocument();
    void SaveDocument();
    void PrintView();
    void RemoveHtmlCode();
    void RemoveExtraLinesCommand();
    void RemoveBothCodeAndLines();
    void Undo();
    void CutCommand();
    void CopyCommand();
    void PasteCommand();
    void SelectAll();
    void ChooseFont();
    // The secondary windows: each opens on first use and is only brought to the front while open.
    void ShowOptions();
    void ShowAbout();
    void ShowMultFile();
    void ShowHelp();
    // Runs the command of a toolbar key; an unknown key (letter case counts) does nothing.
    void ToolbarButtonClick(const QString& key);

    void TakeUndoSnapshot();
    void SelectTab(int tab);  // 1..4, as a click on the tab
    void PlaceLinkToggles();
    void SyncLinkToggles();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    class ToggleLinkSwitches;

    void CreateActions();
    void CreateToolbar();
    void CreateViews();
    void CreateStatusBar();
    void CreateHelp();
    void LoadSettings();
    void FormResize();
    void ApplyLayout();
    void TabStrip1_Click(int index);
    void KeyHandler(int key);
    bool ChangeWarning();
    void SetStatusPath(const QString& path);

    // Filling a view takes about a second per 5 MB of text, so a view that is not shown keeps
    // its new text aside until it is shown or read.
    void SetViewText(int index, const QString& text);
    QString ViewText(int index) const;
    void ClearView(int index);
    void Materialize(int index) const;

    // The conversion chain: the HTML stages, and the blank-line stage when `withLines`.
    void RunCodeChain(bool withLines);
    bool RunReflowPass();
    bool RunConversion();
    bool RemoveExtraLines();
    bool EnsureWorkPaths();
    bool LoadWorkFileIntoView(const QString& path, int viewIndex);
    void ConversionFailed(const QString& path, const QString& reason, int firstViewToClear);
    void ShowChainFailure();

    void ShowGuard(const QString& text);
    void ShowFailure(const QString& text);

    Dialogs& dialogs_;
    SettingsStore store_;
    SettingValues values_;
    DocumentRecord record_;
    WorkPaths workPaths_;
    WorkFolderLock workLock_;
    bool workPathsOk_ = false;
    QString workPathsReason_;
    FileDialogState fileDialog_;

    int processed_ = 0;
    int currentView_ = 0;
    bool deleting_ = false;
    std::optional<std::array<QString, 4>> undoBuffer_;
    WindowLayout layout_;

    QToolBar* toolbar_ = nullptr;
    QFrame* line_ = nullptr;
    QTabBar* tabStrip_ = nullptr;
    std::array<QTextEdit*, 4> views_{};
    mutable std::array<std::optional<QString>, 4> pending_;
    bool deferFill_ = false;  // set while a conversion chain selects tabs and loads views
    QLabel* statusPanel_ = nullptr;
    std::array<QCheckBox*, 3> toggles_{};
    QAction* undoAction_ = nullptr;
    std::unique_ptr<ToggleLinkSwitches> linkSwitches_;

    // Set while a conversion runs: reports a stage's progress to the progress dialog.
    std::function<void(qint64, qint64)> stageProgress_;
    QString chainFailure_;  // why the running chain stopped

    LocalSysInfoHost sysInfo_;
    QPointer<frmOptions> options_;
    QPointer<frmAbout> about_;
    QPointer<MultFile> multFile_;
    std::unique_ptr<HelpViewer> help_;
};

}  // namespace quorvik
