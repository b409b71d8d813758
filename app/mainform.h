#pragma once
// The main window: four stacked views under a tab strip, the toolbar and menus, status
// panel 1 with the three link toggles, and the document, conversion and editing commands.

#include "app/windowlayout.h"
#include "core/linkswitches.h"
#include "document/documentrecord.h"
#include "document/workfilechain.h"
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
class QProgressDialog;
class QTabBar;
class QTextDocument;
class QTextEdit;
class QToolBar;

namespace quorvik {

class HelpViewer;
class ViewContent;
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
    const WorkPaths& workPaths() const { return chain_->paths(); }
    // True from the start of a conversion until its last result is shown.
    bool converting() const { return converting_; }
    const WindowLayout& layoutTwips() const { return layout_; }
    // The view with all its text in place (a view is otherwise filled in slices while shown).
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
    void ToggleBold();
    void ToggleItalic();
    void ToggleUnderline();
    void AlignLeft();
    void AlignCenter();
    void AlignRight();
    void ChooseFont();
    void NextTab();
    void PreviousTab();
    // Stops a running conversion; its views are emptied from the stage it was in.
    void CancelConversion();
    // The secondary windows: each opens on first use and is only brought to the front while open.
    void ShowOptions();
    void ShowAbout();
    void ShowMultFile();
    void ShowHelp();

    void TakeUndoSnapshot();
    void SelectTab(int tab);  // 1..4, as a click on the tab
    void PlaceLinkToggles();
    void SyncLinkToggles();

signals:
    // A conversion ended (finished, failed or cancelled) and its views are filled.
    void conversionFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
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
    void PlaceOnScreen();
    void SaveLinkToggle(std::size_t index, bool on);
    void ApplyLayout();
    void TabStrip1_Click(int index);
    void KeyHandler(int key);
    bool ChangeWarning();
    // Where the file dialogs start: the document's folder, or none before the first document.
    QString DocumentFolder() const;
    void SetStatusPath(const QString& path);

    // A view's text, whole and exact, whether or not the view has been filled with all of it.
    void SetViewText(int index, const QString& text);
    QString ViewText(int index) const;
    // The whole text of a view as a rich document, without filling the rest into the view.
    const QTextDocument& WholeDocument(int index, std::unique_ptr<QTextDocument>& copy) const;
    void ClearView(int index);
    void SetChanged(int changed);
    QTextEdit* ShownView() const;
    void ShowStyleAtCursor();
    void UpdateTitle();
    // Whether the converted views come from the readable conversion (the title says so).
    void SetReadableViews(bool readable);

    // The conversion: the stages from `first` to `last` on the work-file chain's worker thread.
    void RunCodeChain(bool withLines);
    void StartChain(Stage first, Stage last);
    void ChainStageFinished(const StageReport& report);
    void ChainFinished(bool ok);
    void SetConverting(bool converting);
    void StopConversion();
    void SetUndoAvailable(bool available);

    void ShowGuard(const QString& text);
    void ShowFailure(const QString& text);

    Dialogs& dialogs_;
    SettingsStore store_;
    SettingValues values_;
    DocumentRecord record_;
    FileDialogState fileDialog_;

    int processed_ = 0;
    int currentView_ = 0;
    bool deleting_ = false;
    std::optional<std::array<QString, 4>> undoBuffer_;
    bool undoReadable_ = false;  // readableViews_ when the undo snapshot was taken
    WindowLayout layout_;

    QToolBar* toolbar_ = nullptr;
    QFrame* line_ = nullptr;
    QTabBar* tabStrip_ = nullptr;
    std::array<QTextEdit*, 4> views_{};
    std::array<ViewContent*, 4> contents_{};
    QLabel* statusPanel_ = nullptr;
    std::array<QCheckBox*, 3> toggles_{};
    QAction* undoAction_ = nullptr;
    bool undoAvailable_ = false;
    // The commands that change the document or start a conversion, off while one runs.
    QList<QAction*> blockedWhileConverting_;
    std::unique_ptr<ToggleLinkSwitches> linkSwitches_;

    std::unique_ptr<WorkFileChain> chain_;
    bool converting_ = false;
    bool chainFromStart_ = false;
    bool chainReadable_ = false;  // the running chain converts readable
    bool readableViews_ = false;  // the converted views come from the readable conversion
    QPointer<QProgressDialog> progress_;
    QString chainFailure_;  // why the running chain stopped, told when it has ended

    LocalSysInfoHost sysInfo_;
    QPointer<frmOptions> options_;
    QPointer<frmAbout> about_;
    QPointer<MultFile> multFile_;
    std::unique_ptr<HelpViewer> help_;
};

}  // namespace quorvik
