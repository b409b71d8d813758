#include "app/mainform.h"

#include "document/documentfiles.h"
#include "document/savepath.h"
#include "ui/editing.h"
#include "ui/filetypes.h"
#include "ui/toolbarkeys.h"
#include "ui/viewcontent.h"
#include "ui/windows/frmoptions.h"
#include "ui/windows/helpviewer.h"
#include "ui/windows/multfile.h"
#include "ui/windows/windowopen.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace quorvik {

namespace {

const QString kAppTitle = QStringLiteral("Quorvik");

const QString kNotLoaded = QStringLiteral("Please open a file before using this feature");
const QString kRichText = QStringLiteral(
    "This file contains Rich text Formatting.  This type of formatting can not be processed by this program.");
const QString kNotProcessed = QStringLiteral("You must process the file before trying to remove blank lines!");
const QString kChangeWarning = QStringLiteral("The text has changed.  Do you want to continue without saving?");

// What the resize rules count beyond the client area: the title bar, borders and menu bar of
// the window the twips layout was drawn for. Qt's geometry has the menu bar inside.
constexpr int kFrameWidthTwips = 120;
constexpr int kFrameHeightTwips = 690;
constexpr int kToolbarHeightTwips = 390;
constexpr int kStatusBarHeightTwips = 495;
constexpr int kStatusPanelMinTwips = 2540;
constexpr int kClientWidthTwips = 11055;
constexpr int kClientHeightTwips = 6060;

}  // namespace

// The link switches the conversion reads: the window's toggles at the moment of each use.
class MainForm::ToggleLinkSwitches final : public LinkSwitches {
public:
    explicit ToggleLinkSwitches(const std::array<QCheckBox*, 3>& toggles) : toggles_(toggles) {}
    bool WebLinks() const override { return on(0); }
    bool MailLinks() const override { return on(1); }
    bool OtherLinks() const override { return on(2); }

private:
    bool on(std::size_t i) const { return toggles_[i]->checkState() != Qt::Unchecked; }
    std::array<QCheckBox*, 3> toggles_;
};

MainForm::MainForm(Dialogs& dialogs, const SettingsStore& store, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), store_(store), chain_(std::make_unique<WorkFileChain>())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(kAppTitle);
    setWindowIcon(QIcon(BundledIconPath(QStringLiteral("removeHTML"))));
    CreateActions();
    CreateToolbar();
    CreateViews();
    CreateStatusBar();
    linkSwitches_ = std::make_unique<ToggleLinkSwitches>(toggles_);
    CreateHelp();
    connect(chain_.get(), &WorkFileChain::stageFinished, this, &MainForm::ChainStageFinished);
    connect(chain_.get(), &WorkFileChain::finished, this, &MainForm::ChainFinished);

    // Start: panel 1 shows the current folder, the toggles sit after it, nothing is loaded.
    SetStatusPath(QDir::currentPath());
    layout_ = InitialLayout(statusPanelWidthTwips());
    processed_ = 0;
    record_.Loaded = 0;

    LoadSettings();

    PlaceOnScreen();
    FormResize();
    views_[0]->setFocus();
}

MainForm::~MainForm()
{
    StopConversion();
}

const LinkSwitches& MainForm::linkSwitches() const
{
    return *linkSwitches_;
}

QTextEdit* MainForm::view(int index) const
{
    ViewContent* content = contents_.at(static_cast<std::size_t>(index));
    content->complete();
    return content->edit();
}

const QTextDocument& MainForm::WholeDocument(int index, std::unique_ptr<QTextDocument>& copy) const
{
    return contents_.at(static_cast<std::size_t>(index))->wholeDocument(copy);
}

void MainForm::SetViewText(int index, const QString& text)
{
    contents_.at(static_cast<std::size_t>(index))->setText(text);
}

QString MainForm::ViewText(int index) const
{
    return contents_.at(static_cast<std::size_t>(index))->text();
}

void MainForm::ClearView(int index)
{
    contents_.at(static_cast<std::size_t>(index))->clear();
}

void MainForm::SetReadableViews(bool readable)
{
    readableViews_ = readable;
    UpdateTitle();
}

void MainForm::SetChanged(int changed)
{
    record_.Changed = changed;
    UpdateTitle();
}

void MainForm::UpdateTitle()
{
    // "Quorvik" before any document, then the document's name, with "*" while it has unsaved
    // changes and "(readable)" while the converted views come from the readable conversion.
    if (record_.FileName.isEmpty()) {
        setWindowTitle(kAppTitle);
    } else {
        setWindowTitle(QFileInfo(record_.FileName).fileName() + (record_.Changed > 0 ? QStringLiteral("*") : QString())
                       + (readableViews_ ? QStringLiteral(" (readable)") : QString()) + QStringLiteral(" - ")
                       + kAppTitle);
    }
}

// ---------------------------------------------------------------------------------------------
// Building the window

void MainForm::CreateActions()
{
    // Each command is one action, shared by its menu entry and its toolbar key; the toolbar
    // shows the key's own tooltip.
    struct Command {
        const char* name;
        const char* caption;  // the menu entry; empty for a command only on the toolbar
        QKeySequence shortcut;
        void (MainForm::*slot)();
        bool blockedWhileConverting;
    };
    const Command commands[] = {
        {"NewMenu", "&New", QKeySequence(Qt::CTRL | Qt::Key_N), &MainForm::NewDocument, true},
        {"OpenMenu", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O), &MainForm::OpenDocument, true},
        {"Multmen", "&Multi File Selection", {}, &MainForm::ShowMultFile, false},
        {"SaveMenu", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S), &MainForm::SaveDocument, true},
        {"PrintMen", "&Print", QKeySequence(Qt::CTRL | Qt::Key_P), &MainForm::PrintView, false},
        {"Exitmenu", "E&xit", QKeySequence(Qt::CTRL | Qt::Key_Q), nullptr, false},
        {"Undomen", "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z), &MainForm::Undo, true},
        {"CutMen", "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X), &MainForm::CutCommand, true},
        {"CopyMen", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), &MainForm::CopyCommand, false},
        {"PasteMen", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V), &MainForm::PasteCommand, true},
        {"SelectMen", "Select &All", QKeySequence(Qt::CTRL | Qt::Key_A), &MainForm::SelectAll, false},
        {"RemoveHTMLMen", "Remove &HTML Code", QKeySequence(Qt::CTRL | Qt::Key_H), &MainForm::RemoveHtmlCode, true},
        {"RemoveBlankMen", "Remove Extra &Lines", QKeySequence(Qt::CTRL | Qt::Key_L),
         &MainForm::RemoveExtraLinesCommand, true},
        {"RevCodeLinesMen", "&Remove Both Code + Lines", QKeySequence(Qt::CTRL | Qt::Key_R),
         &MainForm::RemoveBothCodeAndLines, true},
        {"Optmen", "O&ptions", {}, &MainForm::ShowOptions, false},
        {"HelpMen2", "&Help", QKeySequence(Qt::Key_F1), &MainForm::ShowHelp, false},
        {"AboutMen", "&About", {}, &MainForm::ShowAbout, false},
        {"bold", "", QKeySequence(Qt::CTRL | Qt::Key_B), &MainForm::ToggleBold, true},
        {"italic", "", QKeySequence(Qt::CTRL | Qt::Key_I), &MainForm::ToggleItalic, true},
        {"underline", "", QKeySequence(Qt::CTRL | Qt::Key_U), &MainForm::ToggleUnderline, true},
        {"NextTab", "", QKeySequence(Qt::CTRL | Qt::Key_Tab), &MainForm::NextTab, false},
        {"PreviousTab", "", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), &MainForm::PreviousTab, false},
        {"leftbut", "", {}, &MainForm::AlignLeft, true},
        {"centrebut", "", {}, &MainForm::AlignCenter, true},
        {"rightbut", "", {}, &MainForm::AlignRight, true},
        {"Font", "", {}, &MainForm::ChooseFont, true},
    };
    for (const Command& c : commands) {
        auto* action = new QAction(QString::fromUtf8(c.caption), this);
        action->setObjectName(QString::fromUtf8(c.name));
        if (!c.shortcut.isEmpty())
            action->setShortcut(c.shortcut);
        if (c.slot)
            connect(action, &QAction::triggered, this, c.slot);
        if (c.blockedWhileConverting)
            blockedWhileConverting_.append(action);
        addAction(action);
    }
    connect(findChild<QAction*>(QStringLiteral("Exitmenu")), &QAction::triggered, this, &QWidget::close);
    // The other keys that switch tabs, and help from the other windows too.
    findChild<QAction*>(QStringLiteral("NextTab"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    findChild<QAction*>(QStringLiteral("PreviousTab"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    findChild<QAction*>(QStringLiteral("HelpMen2"))->setShortcutContext(Qt::ApplicationShortcut);
    // The style keys show the style at the cursor.
    for (const char* name : {"bold", "italic", "underline"})
        findChild<QAction*>(QLatin1String(name))->setCheckable(true);
    undoAction_ = findChild<QAction*>(QStringLiteral("Undomen"));
    undoAction_->setEnabled(false);

    // The menus: "-name" is a separator of that name.
    struct Menu {
        const char* name;
        const char* title;
        std::initializer_list<const char*> entries;
    };
    const Menu menus[] = {
        {"FileMenu", "&File",
         {"NewMenu", "OpenMenu", "-LineMenu", "Multmen", "-linemen3", "SaveMenu", "-LineMenu2", "PrintMen",
          "-Menusep", "Exitmenu"}},
        {"EditMenu", "&Edit", {"Undomen", "-mensep2", "CutMen", "CopyMen", "PasteMen", "SelectMen"}},
        {"OptionMenu", "&Options", {"RemoveHTMLMen", "RemoveBlankMen", "RevCodeLinesMen", "-linemen", "Optmen"}},
        {"HelpMen", "&Help", {"HelpMen2", "-mensep", "AboutMen"}},
    };
    for (const Menu& m : menus) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(m.title));
        menu->setObjectName(QString::fromUtf8(m.name));
        for (const char* entry : m.entries) {
            if (entry[0] == '-')
                menu->addSeparator()->setObjectName(QString::fromUtf8(entry + 1));
            else
                menu->addAction(findChild<QAction*>(QString::fromUtf8(entry)));
        }
    }
}

void MainForm::CreateHelp()
{
    // The help window belongs to this window; the menu entries with a topic open it on F1.
    help_ = std::make_unique<HelpViewer>(this, dialogs_);
    AssignMenuHelpTopics(this);
    InstallMenuHelp(menuBar(), *help_);
}

void MainForm::CreateToolbar()
{
    toolbar_ = addToolBar(QStringLiteral("Toolbar1"));
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    toolbar_->setIconSize(QSize(16, 16));
    // The command each key runs (the keys without a menu entry name their own action).
    const QHash<QString, QString> menuCommand = {
        {QStringLiteral("new"), QStringLiteral("NewMenu")},        {QStringLiteral("open"), QStringLiteral("OpenMenu")},
        {QStringLiteral("save"), QStringLiteral("SaveMenu")},      {QStringLiteral("cut"), QStringLiteral("CutMen")},
        {QStringLiteral("copy"), QStringLiteral("CopyMen")},       {QStringLiteral("paste"), QStringLiteral("PasteMen")},
        {QStringLiteral("print"), QStringLiteral("PrintMen")},     {QStringLiteral("help"), QStringLiteral("HelpMen2")},
        {QStringLiteral("removeHTML"), QStringLiteral("RemoveHTMLMen")},
        {QStringLiteral("removeBlankLine"), QStringLiteral("RemoveBlankMen")},
    };
    for (const ToolbarKey& k : ToolbarKeys()) {
        QAction* action = findChild<QAction*>(menuCommand.value(k.key, k.key));
        action->setIcon(ToolbarIcon(k));
        action->setToolTip(k.tooltip);
        if (action->text().isEmpty())
            action->setText(k.tooltip);
        toolbar_->addAction(action);
        if (QWidget* button = toolbar_->widgetForAction(action))
            button->setObjectName(k.key);
        if (k.separatorAfter)
            toolbar_->addSeparator();
    }
}

void MainForm::CreateViews()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(central);

    line_ = new QFrame(central);
    line_->setObjectName(QStringLiteral("Line1"));
    line_->setFrameShape(QFrame::HLine);
    line_->setFrameShadow(QFrame::Sunken);

    tabStrip_ = new QTabBar(central);
    tabStrip_->setObjectName(QStringLiteral("TabStrip1"));
    tabStrip_->setExpanding(false);
    tabStrip_->setDrawBase(false);
    struct Tab {
        const char* caption;
        const char* key;
        const char* tooltip;
    };
    const Tab tabs[4] = {{"Original HTML", "original", "Original HTML document"},
                         {"Formatted HTML", "format", "Formatted HTML file"},
                         {"Text File", "text", "Text file"},
                         {"Formatted Text", "ForText", "Formatted text file"}};
    for (const Tab& t : tabs) {
        const int i = tabStrip_->addTab(QString::fromUtf8(t.caption));
        tabStrip_->setTabData(i, QString::fromUtf8(t.key));
        tabStrip_->setTabToolTip(i, QString::fromUtf8(t.tooltip));
    }

    for (int i = 0; i < 4; ++i) {
        auto* v = new QTextEdit(central);
        v->setObjectName(QStringLiteral("RichTextBox1_%1").arg(i));
        v->setAcceptRichText(true);
        // The window keeps its own one-level undo across all four views.
        v->setUndoRedoEnabled(false);
        v->setLineWrapMode(QTextEdit::NoWrap);
        v->installEventFilter(this);
        v->setVisible(i == 0);
        views_[static_cast<std::size_t>(i)] = v;
        auto* content = new ViewContent(v);
        content->setShown(i == 0);
        // Every edit counts, by any route: typing, cut and paste from menu, keys, toolbar or
        // the context menu, drag and drop, styling.
        connect(content, &ViewContent::edited, this, [this] {
            if (record_.Changed <= 0)
                SetChanged(1);
        });
        contents_[static_cast<std::size_t>(i)] = content;
        connect(v, &QTextEdit::currentCharFormatChanged, this, [this, v] {
            if (v == ShownView())
                ShowStyleAtCursor();
        });
    }
    tabStrip_->raise();
    connect(tabStrip_, &QTabBar::currentChanged, this, &MainForm::TabStrip1_Click);
}

void MainForm::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setFixedHeight(TwipsToPixels(kStatusBarHeightTwips, logicalDpiY()));
    statusPanel_ = new QLabel(bar);
    statusPanel_->setObjectName(QStringLiteral("StatusPanel1"));
    statusPanel_->setFrameShape(QFrame::StyledPanel);
    statusPanel_->setFrameShadow(QFrame::Sunken);
    statusPanel_->setContentsMargins(4, 0, 4, 0);

    const char* captions[3] = {"External WWW Links", "Mail Links", "Other Links"};
    for (std::size_t i = 0; i < 3; ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(captions[i]), bar);
        box->setObjectName(QStringLiteral("Check%1").arg(i + 1));
        // Only a click saves a toggle; the load and the repaints set it from the store.
        connect(box, &QCheckBox::clicked, this, [this, i](bool on) { SaveLinkToggle(i, on); });
        toggles_[i] = box;
    }
    // The toggles stand 2100 and 1200 twips apart; the font shrinks until each caption fits
    // the room before the next one (desktop fonts are wider than the layout's design font).
    const int room[3] = {2100, 1200, 1935};
    QFont font = toggles_[0]->font();
    for (qreal size = font.pointSizeF(); size > 6.0; size -= 0.5) {
        font.setPointSizeF(size);
        bool fits = true;
        for (std::size_t i = 0; i < 3; ++i) {
            toggles_[i]->setFont(font);
            fits = fits && toggles_[i]->sizeHint().width() <= TwipsToPixels(room[i], logicalDpiX());
        }
        if (fits)
            break;
    }
}

void MainForm::LoadSettings()
{
    values_ = LoadSettingValues(store_);
    QString ignored;  // a folder that cannot be taken now is reported when a conversion needs it
    chain_->EnsureFolder(ignored);
    for (std::size_t i = 0; i < 3; ++i)
        toggles_[i]->setChecked(values_.LinkSettings[i] > 0);
}

void MainForm::SaveLinkToggle(std::size_t index, bool on)
{
    QString reason;
    if (store_.Save({{kLinkKeys[index], on ? QStringLiteral("1") : QStringLiteral("0")}}, &reason))
        return;
    // Not saved: the toggle goes back at once, so it never shows a state the store does not have.
    toggles_[index]->setChecked(!on);
    ShowFailure(QStringLiteral("The link setting could not be saved to %1: %2")
                    .arg(QDir::toNativeSeparators(store_.path()), reason));
}

void MainForm::SyncLinkToggles()
{
    // The same reading as the start-up load: a stored link value that is not a number is 0.
    const SettingValues stored = LoadSettingValues(store_);
    for (std::size_t i = 0; i < 3; ++i) {
        const bool ticked = stored.LinkSettings[i] > 0;
        if (toggles_[i]->isChecked() != ticked)
            toggles_[i]->setChecked(ticked);
    }
}

// ---------------------------------------------------------------------------------------------
// Layout

int MainForm::outerWidthTwips() const
{
    return PixelsToTwips(width(), logicalDpiX()) + kFrameWidthTwips;
}

int MainForm::outerHeightTwips() const
{
    const int client = height() - (menuBar()->isVisible() ? menuBar()->height() : 0);
    return PixelsToTwips(client, logicalDpiY()) + kFrameHeightTwips;
}

int MainForm::statusPanelWidthTwips() const
{
    return PixelsToTwips(statusPanel_->width(), logicalDpiX());
}

void MainForm::SetStatusPath(const QString& path)
{
    statusPanel_->setText(QDir::toNativeSeparators(path));
    statusPanel_->setToolTip(statusPanel_->text());
    // Panel 1 is at least its start width and widens with its text.
    const int minimum = TwipsToPixels(kStatusPanelMinTwips, logicalDpiX());
    const int wanted = statusPanel_->sizeHint().width();
    statusPanel_->setGeometry(0, 0, std::max(minimum, wanted), statusBar()->height());
}

void MainForm::PlaceLinkToggles()
{
    quorvik::PlaceLinkToggles(layout_, outerWidthTwips(), statusPanelWidthTwips());
    ApplyLayout();
}

void MainForm::FormResize()
{
    if (ResizeLayout(layout_, outerWidthTwips(), outerHeightTwips(), statusPanelWidthTwips()))
        ApplyLayout();
}

void MainForm::ApplyLayout()
{
    const double dx = logicalDpiX();
    const double dy = logicalDpiY();
    // The twips layout counts from the top of the client area, toolbar included; the views,
    // line and tab strip live below the toolbar, the toggles on the status bar.
    const int toolbarTwips = PixelsToTwips(toolbar_->height(), dy);
    auto place = [&](QWidget* w, const TwipsRect& r, int originTwips) {
        w->setGeometry(TwipsToPixels(r.left, dx), TwipsToPixels(r.top - originTwips, dy), TwipsToPixels(r.width, dx),
                       TwipsToPixels(r.height, dy));
    };
    for (std::size_t i = 0; i < 4; ++i)
        place(views_[i], layout_.views[i], toolbarTwips);
    const int lineY = TwipsToPixels(layout_.lineY - toolbarTwips, dy);
    line_->setGeometry(TwipsToPixels(layout_.lineX1, dx), lineY - 1,
                       TwipsToPixels(layout_.lineX2 - layout_.lineX1, dx), 3);
    // Only the tab row shows; it ends where the views begin.
    const int tabTop = TwipsToPixels(layout_.tabStrip.top - toolbarTwips, dy);
    const int viewTop = TwipsToPixels(layout_.views[0].top - toolbarTwips, dy);
    tabStrip_->setGeometry(TwipsToPixels(layout_.tabStrip.left, dx), tabTop,
                           TwipsToPixels(layout_.tabStrip.width, dx),
                           std::max(viewTop - tabTop, tabStrip_->sizeHint().height()));
    tabStrip_->move(tabStrip_->x(), viewTop - tabStrip_->height());

    const int clientTwips = outerHeightTwips() - kFrameHeightTwips;
    const int statusTopTwips = clientTwips - PixelsToTwips(statusBar()->height(), dy);
    for (std::size_t i = 0; i < 3; ++i) {
        const TwipsRect& r = layout_.toggles[i];
        const int h = std::min(TwipsToPixels(r.height, dy), statusBar()->height());
        const int top = std::clamp(TwipsToPixels(r.top - statusTopTwips, dy), 0, statusBar()->height() - h);
        // A toggle never reaches over the next one.
        int width = r.width;
        if (i < 2)
            width = std::min(width, layout_.toggles[i + 1].left - r.left);
        toggles_[i]->setGeometry(TwipsToPixels(r.left, dx), top, TwipsToPixels(width, dx), h);
    }
}

void MainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void MainForm::PlaceOnScreen()
{
    // Where the window stood when it was last closed, else the layout's own size; either way
    // within the screen's available area, which a large scale factor makes smaller than the
    // layout (1280 pixels at scale 2 are 640). The frame around the window is not known before
    // it is shown; the margin leaves room for a title bar and borders.
    const QMargins frame(4, 32, 4, 4);
    const WindowPlacement saved = LoadWindowPlacement(store_);
    QScreen* screen = saved.saved ? QGuiApplication::screenAt(saved.geometry.center()) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry().marginsRemoved(frame) : QRect();
    QSize size = saved.saved ? saved.geometry.size()
                             : QSize(TwipsToPixels(kClientWidthTwips, logicalDpiX()),
                                     TwipsToPixels(kClientHeightTwips, logicalDpiY()) + menuBar()->sizeHint().height());
    if (area.isValid())
        size = size.boundedTo(area.size());
    if (saved.saved && area.isValid()) {
        QRect placed(saved.geometry.topLeft(), size);
        placed.moveLeft(std::clamp(placed.left(), area.left(), area.right() + 1 - size.width()));
        placed.moveTop(std::clamp(placed.top(), area.top(), area.bottom() + 1 - size.height()));
        setGeometry(placed);  // the window's own area, as it was saved: no drift from the frame
    } else {
        resize(size);
    }
    if (saved.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The menu bar has its height only now: before, the layout counted it as client area and
    // the status bar covered the bottom of the views until the window was resized.
    FormResize();
}

void MainForm::paintEvent(QPaintEvent* event)
{
    SyncLinkToggles();
    QMainWindow::paintEvent(event);
}

bool MainForm::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        SyncLinkToggles();
    return QMainWindow::event(event);
}

void MainForm::closeEvent(QCloseEvent* event)
{
    // Unsaved text is not dropped without a question; No keeps the window open.
    if (record_.Changed > 0
        && dialogs_.warning(this, QStringLiteral("Warning"), kChangeWarning, true) != Answer::Yes) {
        event->ignore();
        return;
    }
    event->accept();
    StopConversion();
    // The work files hold the user's text: they go with the window.
    chain_->RemoveFolder();
    // The window's place is kept for the next start. Closing is no moment for a message box:
    // a place that cannot be saved is only reported on the terminal.
    QString reason;
    if (!SaveWindowPlacement(store_, {true, normalGeometry(), isMaximized()}, &reason))
        qWarning("The window's place could not be saved to %s: %s",
                 qPrintable(QDir::toNativeSeparators(store_.path())), qPrintable(reason));
    // The secondary windows go with the main window.
    help_->Close();
    for (QWidget* window : std::initializer_list<QWidget*>{options_, about_, multFile_}) {
        if (window)
            window->close();
    }
}

// ---------------------------------------------------------------------------------------------
// Tabs and views

void MainForm::TabStrip1_Click(int index)
{
    if (index < 0 || index > 3)
        return;
    currentView_ = index;
    for (std::size_t i = 0; i < 4; ++i) {
        const bool shown = static_cast<int>(i) == index;
        contents_[i]->setShown(shown);
        views_[i]->setVisible(shown);
    }
    views_[static_cast<std::size_t>(index)]->setFocus();
    ShowStyleAtCursor();
}

void MainForm::SelectTab(int tab)
{
    if (tabStrip_->currentIndex() == tab - 1)
        TabStrip1_Click(tab - 1);
    else
        tabStrip_->setCurrentIndex(tab - 1);
}

// ---------------------------------------------------------------------------------------------
// Documents

bool MainForm::ChangeWarning()
{
    if (record_.Changed <= 0)
        return true;
    if (dialogs_.warning(this, QStringLiteral("Warning"), kChangeWarning, true) == Answer::Yes)
        return true;
    SetUndoAvailable(false);
    return false;
}

void MainForm::ShowGuard(const QString& text)
{
    dialogs_.information(this, kAppTitle, text);
}

void MainForm::ShowFailure(const QString& text)
{
    dialogs_.warning(this, kAppTitle, text, false);
}

QString MainForm::DocumentFolder() const
{
    return record_.FileName.isEmpty() ? QString() : QFileInfo(record_.FileName).absolutePath();
}

void MainForm::OpenDocument()
{
    if (!ChangeWarning())
        return;
    fileDialog_.folder = DocumentFolder();
    const FileChoice choice = dialogs_.openFile(this, QStringLiteral("Open"), fileDialog_);
    if (!choice.accepted)
        return;
    // The document is read aside first: a file that cannot be read leaves the views as they were.
    QTextDocument rich;
    QString text, reason;
    const bool isRich = IsRichTextType(choice.type);
    const bool ok = isRich ? LoadRichDocument(choice.path, rich, reason) : ReadPlainDocument(choice.path, text, reason);
    if (!ok) {
        ShowFailure(QStringLiteral("The file %1 could not be opened: %2").arg(QDir::toNativeSeparators(choice.path),
                                                                             reason));
        return;
    }
    for (int i = 0; i < 4; ++i)
        ClearView(i);
    readableViews_ = false;
    if (isRich)
        contents_[0]->setDocument(rich);
    else
        SetViewText(0, text);
    record_.FileName = choice.path;
    record_.DocType = isRich ? QStringLiteral("RTF") : QString();
    SetChanged(0);
    // The converted views belonged to the document before: Remove Extra Lines waits for this
    // one to be converted.
    processed_ = 0;
    SetStatusPath(record_.FileName);
    PlaceLinkToggles();
    SelectTab(1);
    if (!contents_[0]->isEmpty())
        record_.Loaded = 1;
}

void MainForm::NewDocument()
{
    SetUndoAvailable(true);
    undoBuffer_ = std::array<QString, 4>{};
    if (!ChangeWarning())
        return;
    for (std::size_t i = 0; i < 4; ++i) {
        (*undoBuffer_)[i] = ViewText(static_cast<int>(i));
        ClearView(static_cast<int>(i));
    }
    undoReadable_ = readableViews_;
    SetReadableViews(false);
}

void MainForm::SaveDocument()
{
    fileDialog_.folder = DocumentFolder();
    const FileChoice choice = dialogs_.saveFile(this, QStringLiteral("Save"), fileDialog_);
    if (!choice.accepted)
        return;
    const QString path = SavePathWithExtension(choice.path, ExtensionOfType(choice.type));
    const QString shown = QDir::toNativeSeparators(path);
    // The question is about the name really written, after its extension was rewritten.
    if (QFileInfo::exists(path)
        && dialogs_.question(this, kAppTitle,
                             QStringLiteral("The file %1 already exists.  Do you want to replace it?").arg(shown))
               != Answer::Yes)
        return;
    QString reason;
    std::unique_ptr<QTextDocument> copy;
    const bool saved = IsRichTextType(choice.type) ? SaveRichDocument(WholeDocument(currentView_, copy), path, reason)
                                                   : SavePlainText(ViewText(currentView_), path, reason);
    if (!saved) {
        ShowFailure(QStringLiteral("The file %1 could not be saved: %2").arg(shown, reason));
        return;
    }
    record_.FileName = path;
    SetStatusPath(path);
    PlaceLinkToggles();
    SetChanged(0);
}

void MainForm::PrintView()
{
    QTextEdit* v = ShownView();
    const QTextCursor cursor = v->textCursor();
    QPrinter printer(QPrinter::HighResolution);
    if (!dialogs_.print(this, printer, cursor.hasSelection()))
        return;
    if (printer.printRange() == QPrinter::Selection && cursor.hasSelection()) {
        QTextDocument selection;
        selection.setDefaultFont(v->document()->defaultFont());
        QTextCursor(&selection).insertFragment(cursor.selection());
        selection.print(&printer);
    } else {
        std::unique_ptr<QTextDocument> copy;
        WholeDocument(currentView_, copy).print(&printer);
    }
}

// ---------------------------------------------------------------------------------------------
// Conversion commands

void MainForm::StartChain(Stage first, Stage last)
{
    QString failure;
    if (!chain_->EnsureFolder(failure)) {
        ShowFailure(failure);
        return;
    }
    ChainRequest request;
    request.document = record_.FileName;
    request.first = first;
    request.last = last;
    request.values = values_;
    // Remove Extra Lines goes on with the text that is shown, in the conversion that made it.
    if (first != Stage::Reflow)
        request.values.Readable = readableViews_;
    chainReadable_ = request.values.Readable;
    request.links = FixedLinkSwitches(linkSwitches_->WebLinks(), linkSwitches_->MailLinks(),
                                      linkSwitches_->OtherLinks());
    chainFailure_.clear();
    chainFromStart_ = first == Stage::Reflow;
    SetConverting(true);
    chain_->Start(request);

    const int stages = static_cast<int>(last) - static_cast<int>(first) + 1;
    progress_ = new QProgressDialog(this);
    progress_->setAttribute(Qt::WA_DeleteOnClose);
    progress_->setWindowTitle(kAppTitle);
    progress_->setWindowModality(Qt::NonModal);
    progress_->setMinimumDuration(400);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setRange(0, 1000 * stages);
    progress_->setValue(0);
    connect(progress_, &QProgressDialog::canceled, this, &MainForm::CancelConversion);
    connect(chain_.get(), &WorkFileChain::progress, progress_, [this, first](Stage stage, int permille) {
        static const char* const labels[] = {"Formatting the HTML tags...", "Removing the HTML code...",
                                             "Removing extra lines..."};
        progress_->setLabelText(QString::fromLatin1(labels[static_cast<int>(stage)]));
        progress_->setValue(1000 * (static_cast<int>(stage) - static_cast<int>(first)) + std::min(permille, 999));
    });
}

void MainForm::StopConversion()
{
    // Stopped and waited for; its last results are dropped.
    if (!converting_)
        return;
    const QSignalBlocker quiet(chain_.get());
    chain_->Cancel();
    chain_->Wait();
    if (progress_)
        progress_->close();
    SetConverting(false);
}

void MainForm::CancelConversion()
{
    if (converting_)
        chain_->Cancel();
}

void MainForm::ChainStageFinished(const StageReport& report)
{
    const int view = ViewOfStage(report.stage);
    if (!report.ok) {
        // No view shows a result the stage did not finish, and Remove Extra Lines waits for a
        // new conversion.
        for (int i = view; i < 4; ++i)
            ClearView(i);
        if (report.stage == Stage::Reflow)
            SetReadableViews(false);
        processed_ = 0;
        if (!report.cancelled)
            chainFailure_ = QStringLiteral("The conversion stopped at the file %1: %2")
                                .arg(QDir::toNativeSeparators(report.workFile), report.reason);
        return;
    }
    SetViewText(view, report.text);
    if (report.stage == Stage::Reflow) {
        // A Formatted Text view made by the other conversion does not stay beside this one.
        if (chainReadable_ != readableViews_)
            ClearView(3);
        SetReadableViews(chainReadable_);
    }
    if (report.stage == Stage::Text)
        processed_ = 1;
    if (report.stage != Stage::Reflow)
        SelectTab(view + 1);
}

void MainForm::ChainFinished(bool ok)
{
    if (progress_)
        progress_->close();
    SetConverting(false);
    if (ok && chainFromStart_)
        SetUndoAvailable(false);
    if (!chainFailure_.isEmpty()) {
        const QString failure = chainFailure_;
        chainFailure_.clear();
        ShowFailure(failure);
    }
    emit conversionFinished();
}

void MainForm::SetConverting(bool converting)
{
    converting_ = converting;
    for (QAction* action : blockedWhileConverting_)
        action->setEnabled(!converting && (action != undoAction_ || undoAvailable_));
    for (QTextEdit* v : views_)
        v->setReadOnly(converting);
}

void MainForm::SetUndoAvailable(bool available)
{
    undoAvailable_ = available;
    undoAction_->setEnabled(available && !converting_);
}

void MainForm::RunCodeChain(bool withLines)
{
    if (record_.Loaded < 1) {
        ShowGuard(kNotLoaded);
        return;
    }
    if (record_.DocType == QLatin1String("RTF")) {
        ShowGuard(kRichText);
        return;
    }
    SetChanged(1);
    StartChain(Stage::Reflow, withLines ? Stage::Formatted : Stage::Text);
}

void MainForm::RemoveHtmlCode()
{
    RunCodeChain(false);
}

void MainForm::RemoveBothCodeAndLines()
{
    RunCodeChain(true);
}

void MainForm::RemoveExtraLinesCommand()
{
    if (processed_ < 1) {
        ShowGuard(kNotProcessed);
        return;
    }
    StartChain(Stage::Formatted, Stage::Formatted);
}

// ---------------------------------------------------------------------------------------------
// Editing

void MainForm::TakeUndoSnapshot()
{
    std::array<QString, 4> texts;
    for (std::size_t i = 0; i < 4; ++i)
        texts[i] = ViewText(static_cast<int>(i));
    undoBuffer_ = texts;
    undoReadable_ = readableViews_;
    SetUndoAvailable(true);
}

void MainForm::Undo()
{
    // Before any snapshot there is nothing to go back to: the views stay as they are.
    if (undoBuffer_) {
        for (std::size_t i = 0; i < 4; ++i)
            SetViewText(static_cast<int>(i), (*undoBuffer_)[i]);
        SetReadableViews(undoReadable_);
    }
    SetUndoAvailable(false);
}

void MainForm::KeyHandler(int key)
{
    SetUndoAvailable(true);
    if (key == Qt::Key_Space)
        TakeUndoSnapshot();
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        if (!deleting_)
            TakeUndoSnapshot();
        deleting_ = true;
    } else {
        deleting_ = false;
    }
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    const auto* view = qobject_cast<QTextEdit*>(watched);
    if (view && std::find(views_.begin(), views_.end(), view) != views_.end()) {
        if (event->type() == QEvent::ShortcutOverride) {
            // The window's own shortcuts (Undo, Select All, ...) win over the edit control's.
            const auto* key = static_cast<QKeyEvent*>(event);
            const QKeySequence pressed(key->keyCombination());
            for (const QAction* a : findChildren<QAction*>()) {
                if (a->isEnabled() && a->shortcuts().contains(pressed)) {
                    event->ignore();
                    return true;
                }
            }
        } else if (event->type() == QEvent::KeyPress) {
            // A key with Ctrl, Alt or Meta is a command, not typing (deleting words excepted).
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool command = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
            if (!command || key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)
                KeyHandler(key->key());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainForm::CutCommand()
{
    TakeUndoSnapshot();
    CutSelection(QApplication::focusWidget());
}

void MainForm::CopyCommand()
{
    CopySelection(QApplication::focusWidget());
}

void MainForm::PasteCommand()
{
    TakeUndoSnapshot();
    PasteText(QApplication::focusWidget());
}

void MainForm::SelectAll()
{
    QTextEdit* v = view(currentView_);
    v->setFocus();
    v->selectAll();
}

QTextEdit* MainForm::ShownView() const
{
    return views_[static_cast<std::size_t>(currentView_)];
}

void MainForm::ToggleBold()
{
    ToggleStyle(*ShownView(), CharStyle::Bold);
    ShowStyleAtCursor();
}

void MainForm::ToggleItalic()
{
    ToggleStyle(*ShownView(), CharStyle::Italic);
    ShowStyleAtCursor();
}

void MainForm::ToggleUnderline()
{
    ToggleStyle(*ShownView(), CharStyle::Underline);
    ShowStyleAtCursor();
}

void MainForm::ShowStyleAtCursor()
{
    const std::pair<const char*, CharStyle> keys[] = {
        {"bold", CharStyle::Bold}, {"italic", CharStyle::Italic}, {"underline", CharStyle::Underline}};
    for (const auto& [name, style] : keys)
        findChild<QAction*>(QLatin1String(name))->setChecked(SelectionStyle(*ShownView(), style) == StyleState::On);
}

void MainForm::NextTab()
{
    SelectTab((currentView_ + 1) % 4 + 1);
}

void MainForm::PreviousTab()
{
    SelectTab((currentView_ + 3) % 4 + 1);
}

void MainForm::AlignLeft()
{
    AlignSelection(*ShownView(), 0);
}

void MainForm::AlignCenter()
{
    AlignSelection(*ShownView(), 2);
}

void MainForm::AlignRight()
{
    AlignSelection(*ShownView(), 1);
}

void MainForm::ChooseFont()
{
    QTextEdit* v = views_[static_cast<std::size_t>(currentView_)];
    QFont font = BaseFont(*v);
    if (dialogs_.chooseFont(this, font))
        SetBaseFont(*v, font);
}

// ---------------------------------------------------------------------------------------------
// Secondary windows

void MainForm::ShowOptions()
{
    ShowModeless(options_, [this] {
        auto* options = new frmOptions(store_, values_, dialogs_, this);
        // The toggles follow the stored link options at the repaint this asks for.
        connect(options, &frmOptions::settingsApplied, this, QOverload<>::of(&QWidget::update));
        return options;
    });
}

void MainForm::ShowAbout()
{
    ShowModeless(about_, [this] { return new frmAbout(sysInfo_, dialogs_, this); });
}

void MainForm::ShowMultFile()
{
    ShowModeless(multFile_, [this] { return new MultFile(values_, *linkSwitches_, dialogs_, this); });
}

void MainForm::ShowHelp()
{
    help_->ShowContents();
}

}  // namespace quorvik
