#include "ui/windows/multfile.h"

#include "passes/filepasses.h"
#include "ui/dialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QStorageInfo>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace quorvik {

namespace {

const char* const kTitle = "Quorvik";

// The path of a folder-list entry.
constexpr int kPathRole = Qt::UserRole;

QString Normalised(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

}  // namespace

QList<Drive> MountedDrives()
{
    QList<Drive> drives;
    QSet<QString> seen;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || seen.contains(volume.rootPath()))
            continue;
        seen.insert(volume.rootPath());
        QString label = volume.rootPath();
        const QString name = volume.displayName();
        if (!name.isEmpty() && name != label)
            label += QStringLiteral("  [%1]").arg(name);
        drives.append({volume.rootPath(), label});
    }
    std::sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) { return a.root < b.root; });
    if (drives.isEmpty())
        drives.append({QDir::rootPath(), QDir::rootPath()});
    return drives;
}

QString ConvertedName(const QString& documentPath)
{
    const QFileInfo info(documentPath);
    const QString name = info.fileName();
    const int dot = name.lastIndexOf(u'.');
    // A name that starts with its only dot (".profile") has no extension to drop.
    return (dot > 0 ? name.left(dot) : name) + QStringLiteral(".txt");
}

MultFile::MultFile(const SettingValues& values, const LinkSwitches& links, Dialogs& dialogs, QWidget* parent,
                   QList<Drive> drives, QString startFolder)
    : QWidget(parent, Qt::Window), values_(values), links_(links), dialogs_(dialogs), drives_(std::move(drives))
{
    setObjectName(QStringLiteral("MultFile"));
    setWindowTitle(QStringLiteral("Multiple File Selection"));

    Drive1_ = new QComboBox;
    Drive1_->setObjectName(QStringLiteral("Drive1"));
    for (const Drive& d : drives_)
        Drive1_->addItem(d.label, d.root);
    Dir1_ = new QListWidget;
    Dir1_->setObjectName(QStringLiteral("Dir1"));
    File1_ = new QListWidget;
    File1_->setObjectName(QStringLiteral("File1"));
    File1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Command1_ = new QPushButton(QStringLiteral("Command1"));
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setToolTip(QStringLiteral("Show the full path of the file chosen in the file list"));
    PathLabel_ = new QLabel;
    PathLabel_->setObjectName(QStringLiteral("PathLabel"));
    PathLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    OutputFolderText_ = new QLineEdit;
    OutputFolderText_->setObjectName(QStringLiteral("OutputFolderText"));
    cmdOutputFolder_ = new QPushButton(QStringLiteral("&Browse..."));
    cmdOutputFolder_->setObjectName(QStringLiteral("cmdOutputFolder"));
    cmdConvert_ = new QPushButton(QStringLiteral("&Convert"));
    cmdConvert_->setObjectName(QStringLiteral("cmdConvert"));
    cmdConvert_->setToolTip(
        QStringLiteral("Run Remove Both Code + Lines on every chosen file, writing <name>.txt to the output folder"));
    ConvertProgress_ = new QProgressBar;
    ConvertProgress_->setObjectName(QStringLiteral("ConvertProgress"));
    ConvertProgress_->setRange(0, 1);
    ConvertProgress_->setValue(0);
    ResultList_ = new QListWidget;
    ResultList_->setObjectName(QStringLiteral("ResultList"));
    ResultList_->setSelectionMode(QAbstractItemView::NoSelection);

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("Drive")), 0, 0);
    lists->addWidget(Drive1_, 1, 0);
    lists->addWidget(new QLabel(QStringLiteral("Folders (double-click to open)")), 2, 0);
    lists->addWidget(Dir1_, 3, 0);
    lists->addWidget(new QLabel(QStringLiteral("Files (choose one or more)")), 0, 1);
    lists->addWidget(File1_, 1, 1, 3, 1);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(1, 1);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(Command1_);
    pathRow->addWidget(PathLabel_, 1);

    auto* outputRow = new QHBoxLayout;
    outputRow->addWidget(new QLabel(QStringLiteral("Output folder")));
    outputRow->addWidget(OutputFolderText_, 1);
    outputRow->addWidget(cmdOutputFolder_);

    auto* convertRow = new QHBoxLayout;
    convertRow->addWidget(cmdConvert_);
    convertRow->addWidget(ConvertProgress_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 3);
    layout->addLayout(pathRow);
    layout->addLayout(outputRow);
    layout->addLayout(convertRow);
    layout->addWidget(new QLabel(QStringLiteral("Results")));
    layout->addWidget(ResultList_, 1);
    resize(720, 560);

    connect(Drive1_, &QComboBox::activated, this, &MultFile::Drive1_Change);
    connect(Dir1_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { SetDirPath(item->data(kPathRole).toString()); });
    connect(Command1_, &QPushButton::clicked, this, &MultFile::Command1_Click);
    connect(cmdOutputFolder_, &QPushButton::clicked, this, &MultFile::ChooseOutputFolder);
    connect(cmdConvert_, &QPushButton::clicked, this, &MultFile::Convert);
    // The output folder follows the folder shown until the user picks or types one.
    connect(OutputFolderText_, &QLineEdit::textEdited, this, [this] { OutputFolderText_->setProperty("chosen", true); });

    if (startFolder.isEmpty() || !SetDirPath(startFolder)) {
        if (!SetDirPath(QDir::homePath()))
            SetDirPath(drives_.first().root);
    }
}

int MultFile::DriveOf(const QString& path) const
{
    int best = -1;
    int bestLength = -1;
    for (int i = 0; i < drives_.size(); ++i) {
        QString root = drives_[i].root;
        if (!root.endsWith(u'/'))
            root += u'/';
        if ((path + u'/').startsWith(root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

void MultFile::Drive1_Change()
{
    const int index = Drive1_->currentIndex();
    if (index >= 0 && SetDirPath(drives_[index].root))
        return;
    // The drive cannot be read: show the drive of the folder still listed again, silently.
    const QSignalBlocker block(Drive1_);
    Drive1_->setCurrentIndex(DriveOf(dirPath_));
}

bool MultFile::SetDirPath(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    dirPath_ = Normalised(path);
    FillFolderList();
    {
        const QSignalBlocker block(Drive1_);
        Drive1_->setCurrentIndex(DriveOf(dirPath_));
    }
    if (!OutputFolderText_->property("chosen").toBool())
        OutputFolderText_->setText(QDir::toNativeSeparators(dirPath_));
    Dir1_Change();
    return true;
}

void MultFile::setFolderPath(const QString& path)
{
    SetDirPath(path);
}

void MultFile::FillFolderList()
{
    // The folders leading to the current one, each indented one step more, then its sub-folders.
    Dir1_->clear();
    QStringList chain;
    for (QDir dir(dirPath_);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name = QDir(folder).isRoot() ? folder : QFileInfo(folder).fileName();
        auto* item = new QListWidgetItem(openIcon, QString(depth * 3, u' ') + name, Dir1_);
        item->setData(kPathRole, folder);
        ++depth;
    }
    Dir1_->setCurrentRow(Dir1_->count() - 1);
    const QStringList subfolders =
        QDir(dirPath_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders) {
        auto* item = new QListWidgetItem(closedIcon, QString(depth * 3, u' ') + name, Dir1_);
        item->setData(kPathRole, QDir(dirPath_).filePath(name));
    }
}

void MultFile::Dir1_Change()
{
    File1_->clear();
    File1_->addItems(QDir(dirPath_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

QString MultFile::Command1_Click()
{
    const QListWidgetItem* dir = Dir1_->currentItem();
    const QListWidgetItem* file = File1_->currentItem();
    if (!dir || !file) {
        PathLabel_->setText(QStringLiteral("Choose a file in the file list first."));
        return {};
    }
    // Joined by the folder's own rules, so a root folder does not give a doubled separator.
    const QString path = QDir(dir->data(kPathRole).toString()).filePath(file->text());
    PathLabel_->setText(QDir::toNativeSeparators(path));
    emit pathComposed(path);
    return path;
}

QString MultFile::outputFolder() const
{
    return QDir::fromNativeSeparators(OutputFolderText_->text().trimmed());
}

void MultFile::setOutputFolder(const QString& folder)
{
    OutputFolderText_->setText(QDir::toNativeSeparators(folder));
    OutputFolderText_->setProperty("chosen", true);
}

void MultFile::ChooseOutputFolder()
{
    const QString folder = dialogs_.chooseFolder(this, QStringLiteral("Output folder"), outputFolder());
    if (!folder.isEmpty())
        setOutputFolder(folder);
}

void MultFile::selectFiles(const QStringList& names)
{
    File1_->clearSelection();
    for (int row = 0; row < File1_->count(); ++row) {
        QListWidgetItem* item = File1_->item(row);
        if (names.contains(item->text())) {
            item->setSelected(true);
            File1_->setCurrentItem(item, QItemSelectionModel::Select);
        }
    }
}

QList<BatchResult> MultFile::Convert()
{
    QList<BatchResult> results;
    QStringList names;
    for (int row = 0; row < File1_->count(); ++row) {
        if (File1_->item(row)->isSelected())
            names.append(File1_->item(row)->text());
    }
    if (names.isEmpty()) {
        dialogs_.information(this, QString::fromLatin1(kTitle),
                             QStringLiteral("Choose one or more files in the file list first."));
        return results;
    }
    const QString outFolder = outputFolder();
    if (outFolder.isEmpty() || !QFileInfo(outFolder).isDir()) {
        dialogs_.warning(this, QString::fromLatin1(kTitle),
                         QStringLiteral("The output folder \"%1\" does not exist. Choose an existing folder.")
                             .arg(QDir::toNativeSeparators(outFolder)),
                         false);
        return results;
    }

    // Plan every file first: what it is written to, and what stops it before it starts.
    QHash<QString, QString> claimed;  // output path -> the document writing it
    QStringList existing;
    for (const QString& name : names) {
        BatchResult r;
        r.document = QDir(dirPath_).filePath(name);
        r.output = QDir(outFolder).filePath(ConvertedName(name));
        const QString outKey = Normalised(r.output);
        if (outKey == Normalised(r.document)) {
            r.line = QStringLiteral("%1: not converted - %2 would replace the document itself")
                         .arg(name, ConvertedName(name));
        } else if (claimed.contains(outKey)) {
            r.line = QStringLiteral("%1: not converted - %2 is already written by %3 in this batch")
                         .arg(name, ConvertedName(name), claimed.value(outKey));
        } else if (QFileInfo(r.output).isDir()) {
            r.line = QStringLiteral("%1: not converted - %2 is a folder").arg(name, ConvertedName(name));
        } else {
            claimed.insert(outKey, name);
            if (QFileInfo::exists(r.output))
                existing.append(ConvertedName(name));
        }
        results.append(r);
    }

    bool replace = true;
    if (!existing.isEmpty()) {
        QStringList shown = existing.mid(0, 10);
        if (existing.size() > shown.size())
            shown.append(QStringLiteral("..."));
        replace = dialogs_.question(
                      this, QString::fromLatin1(kTitle),
                      QStringLiteral("These converted files already exist in %1:\n\n%2\n\nReplace them? "
                                     "(No converts only the other files.)")
                          .arg(QDir::toNativeSeparators(outFolder), shown.join(u'\n')))
                  == Answer::Yes;
    }

    ResultList_->clear();
    ConvertProgress_->setRange(0, static_cast<int>(results.size()));
    ConvertProgress_->setValue(0);
    cmdConvert_->setEnabled(false);
    int converted = 0;
    for (BatchResult& r : results) {
        const QString name = QFileInfo(r.document).fileName();
        if (r.line.isEmpty()) {
            if (!replace && existing.contains(QFileInfo(r.output).fileName())) {
                r.line = QStringLiteral("%1: skipped - %2 already exists").arg(name, QFileInfo(r.output).fileName());
            } else {
                // Each file gets the options as they stand now; a failure stops only this file.
                const PassOutcome outcome = ConvertDocument(r.document, r.output, Stage::Formatted, values_, links_);
                r.converted = outcome.ok;
                if (outcome.ok) {
                    ++converted;
                    r.line = QStringLiteral("%1: converted to %2").arg(name, QFileInfo(r.output).fileName());
                } else {
                    r.line = QStringLiteral("%1: not converted - %2: %3")
                                 .arg(name, QDir::toNativeSeparators(outcome.path), outcome.reason);
                }
            }
        }
        ResultList_->addItem(r.line);
        ConvertProgress_->setValue(ConvertProgress_->value() + 1);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ResultList_->addItem(QStringLiteral("%1 of %2 files converted into %3.")
                             .arg(converted)
                             .arg(results.size())
                             .arg(QDir::toNativeSeparators(outFolder)));
    cmdConvert_->setEnabled(true);
    return results;
}

}  // namespace quorvik
