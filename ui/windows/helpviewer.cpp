#include "ui/windows/helpviewer.h"

#include "ui/contrast.h"
#include "ui/dialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

namespace quorvik {

namespace {

struct TopicEntry {
    int topic;
    const char* menuEntry;
};

// The menu entries that have a help topic, and their numbers.
const TopicEntry kTopics[] = {
    {1, "OpenMenu"},        {2, "Multmen"},         {3, "SaveMenu"},         {4, "Exitmenu"},
    {5, "Undomen"},         {10, "RemoveHTMLMen"},  {11, "RemoveBlankMen"}, {40, "RevCodeLinesMen"},
};

class MenuHelpFilter : public QObject {
public:
    MenuHelpFilter(QMenu* menu, HelpViewer& viewer) : QObject(menu), menu_(menu), viewer_(viewer) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // F1 is also the help command's own shortcut: on an entry with a topic, the menu takes
        // the key instead.
        if (watched == menu_ && event->type() == QEvent::ShortcutOverride
            && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 && menu_->activeAction()
            && menu_->activeAction()->property(kHelpTopicProperty).isValid()) {
            event->accept();
            return true;
        }
        if (watched == menu_ && event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
            QAction* action = menu_->activeAction();
            const QVariant topic = action ? action->property(kHelpTopicProperty) : QVariant();
            if (topic.isValid()) {
                // Close the open menus first so the help window is not hidden behind them.
                for (QWidget* w = menu_; auto* m = qobject_cast<QMenu*>(w); w = m->parentWidget())
                    m->close();
                viewer_.ShowTopic(topic.toInt());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QMenu* menu_;
    HelpViewer& viewer_;
};

}  // namespace

QList<int> HelpTopicNumbers()
{
    QList<int> numbers;
    for (const TopicEntry& e : kTopics)
        numbers.append(e.topic);
    return numbers;
}

QString HelpTopicFile(int topic)
{
    for (const TopicEntry& e : kTopics) {
        if (e.topic == topic)
            return QStringLiteral("topic%1.html").arg(topic);
    }
    return {};
}

QString HelpContentsFile()
{
    return QStringLiteral("index.html");
}

QStringList HelpFolderCandidates(const QString& programFolder)
{
    const QDir dir(programFolder);
    return {QDir::cleanPath(dir.filePath(QStringLiteral("help"))),
            QDir::cleanPath(dir.filePath(QStringLiteral("../share/quorvik/help")))};
}

QString FindHelpFolder(const QString& programFolder)
{
    const QStringList candidates = HelpFolderCandidates(programFolder);
    for (const QString& folder : candidates) {
        if (QFileInfo(QDir(folder).filePath(HelpContentsFile())).isFile())
            return folder;
    }
    // Neither place has the document: name the first one when the user is told it is missing.
    return candidates.front();
}

QString DefaultHelpFolder()
{
    return FindHelpFolder(QCoreApplication::applicationDirPath());
}

HelpWindow::HelpWindow(const QString& helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), helpFolder_(helpFolder)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Quorvik Help"));

    browser_ = new QTextBrowser;
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({helpFolder_});

    auto* contents = new QPushButton(QStringLiteral("&Contents"));
    contents->setObjectName(QStringLiteral("cmdContents"));
    auto* back = new QPushButton(QStringLiteral("&Back"));
    back->setObjectName(QStringLiteral("cmdBack"));
    back->setEnabled(false);
    auto* forward = new QPushButton(QStringLiteral("&Forward"));
    forward->setObjectName(QStringLiteral("cmdForward"));
    forward->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, [this] { ShowPage(HelpContentsFile()); });
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this,
            [this] {
                // The contents page is titled "Quorvik Help" itself: its name is not said twice.
                const QString page = browser_->documentTitle();
                const QString base = QStringLiteral("Quorvik Help");
                setWindowTitle(page.isEmpty() || page == base ? base : base + QStringLiteral(" - ") + page);
            });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
    resize(640, 560);
    FollowPalette();
}

void HelpWindow::FollowPalette()
{
    // The pages set no colours of their own; links take the palette's link colour, made lighter
    // or darker where it would be hard to read (Qt's default blue on a dark palette).
    const QPalette p = palette();  // the browser takes it from this window
    const QColor link = ReadableOn(p.color(QPalette::Link), p.color(QPalette::Base), 4.5);
    browser_->document()->setDefaultStyleSheet(QStringLiteral("a { color: %1; }").arg(link.name()));
}

void HelpWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        FollowPalette();
        if (!browser_->source().isEmpty())
            browser_->reload();
    }
}

void HelpWindow::ShowPage(const QString& file)
{
    browser_->setSource(QUrl::fromLocalFile(QDir(helpFolder_).filePath(file)));
}

QUrl HelpWindow::source() const
{
    return browser_->source();
}

HelpViewer::HelpViewer(QWidget* owner, Dialogs& dialogs, QString helpFolder)
    : owner_(owner), dialogs_(dialogs), helpFolder_(std::move(helpFolder))
{
}

HelpViewer::~HelpViewer()
{
    delete window_.data();
}

bool HelpViewer::ShowContents()
{
    return Show(HelpContentsFile());
}

bool HelpViewer::ShowTopic(int topic)
{
    const QString file = HelpTopicFile(topic);
    return Show(file.isEmpty() ? HelpContentsFile() : file);
}

void HelpViewer::Close()
{
    if (window_)
        window_->close();
}

bool HelpViewer::Show(const QString& file)
{
    const QString path = QDir(helpFolder_).filePath(file);
    if (!QFileInfo(path).isFile()) {
        dialogs_.warning(owner_, QStringLiteral("Quorvik"),
                         QStringLiteral("The help document could not be found: %1").arg(QDir::toNativeSeparators(path)),
                         false);
        return false;
    }
    if (!window_)
        window_ = new HelpWindow(helpFolder_, owner_);
    window_->ShowPage(file);
    window_->show();
    window_->raise();
    window_->activateWindow();
    return true;
}

void SetHelpTopic(QAction* action, int topic)
{
    action->setProperty(kHelpTopicProperty, topic);
}

int AssignMenuHelpTopics(QObject* root)
{
    int found = 0;
    const QList<QAction*> actions = root->findChildren<QAction*>();
    for (const TopicEntry& e : kTopics) {
        for (QAction* action : actions) {
            if (action->objectName() == QLatin1String(e.menuEntry)) {
                SetHelpTopic(action, e.topic);
                ++found;
            }
        }
    }
    return found;
}

void InstallMenuHelp(QMenu* menu, HelpViewer& viewer)
{
    menu->installEventFilter(new MenuHelpFilter(menu, viewer));
}

void InstallMenuHelp(QMenuBar* bar, HelpViewer& viewer)
{
    for (QAction* action : bar->actions()) {
        if (QMenu* menu = action->menu())
            InstallMenuHelp(menu, viewer);
    }
}

}  // namespace quorvik
