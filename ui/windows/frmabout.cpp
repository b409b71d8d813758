#include "ui/windows/frmabout.h"

#include "ui/dialogs.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#ifndef QUORVIK_VERSION_MAJOR
#error "QUORVIK_VERSION_MAJOR/MINOR/PATCH come from the project version in CMake"
#endif

namespace quorvik {

namespace {

const char* const kAppTitle = "Quorvik";

// The product logo: a rounded tile with the initial, drawn so the box needs no image file.
QPixmap Logo()
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x2a, 0x5d, 0x8f));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 44, 44), 8, 8);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(30);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 48, 46), Qt::AlignCenter, QStringLiteral("Q"));
    return pixmap;
}

}  // namespace

QString VersionLine()
{
    return QStringLiteral("Version %1.%2.%3").arg(QUORVIK_VERSION_MAJOR).arg(QUORVIK_VERSION_MINOR).arg(QUORVIK_VERSION_PATCH);
}

bool LocalSysInfoHost::GetKeyValue(KeyRoot, const QString&, const QString&, QString& KeyVal)
{
    KeyVal.clear();  // no machine-wide registry here
    return false;
}

bool LocalSysInfoHost::FileExists(const QString& path)
{
    return QFileInfo(path).isFile();
}

QString LocalSysInfoHost::FindSysInfoProgram()
{
    for (const char* name : {"hardinfo2", "hardinfo", "kinfocenter"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

bool LocalSysInfoHost::StartProgram(const QString& path)
{
    return QProcess::startDetached(path, {});
}

bool StartSysInfo(SysInfoHost& host, Dialogs& dialogs, QWidget* parent)
{
    using Root = SysInfoHost::KeyRoot;
    QString path;
    QString value;
    if (host.GetKeyValue(Root::LocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                         QStringLiteral("PATH"), value)) {
        path = value;  // a full path; started without an existence test
    } else if (host.GetKeyValue(Root::LocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                                QStringLiteral("MSINFO"), value)) {
        const QString candidate = value + QStringLiteral("\\MSINFO32.EXE");
        if (host.FileExists(candidate))
            path = candidate;
    } else {
        // No registry answer: a known system-information program on the search path stands in.
        path = host.FindSysInfoProgram();
    }
    if (!path.isEmpty() && host.StartProgram(path))
        return true;
    dialogs.information(parent, QString::fromLatin1(kAppTitle),
                        QStringLiteral("System Information Is Unavailable At This Time"));
    return false;
}

frmAbout::frmAbout(SysInfoHost& host, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::MSWindowsFixedSizeDialogHint),
      host_(host),
      dialogs_(dialogs)
{
    setObjectName(QStringLiteral("frmAbout"));
    setModal(false);

    auto* logo = new QLabel;
    logo->setObjectName(QStringLiteral("picIcon"));
    logo->setPixmap(Logo());
    logo->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    lblTitle_ = new QLabel;
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    lblTitle_->setFont(titleFont);

    lblVersion_ = new QLabel;
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));

    auto* lblDescription = new QLabel(QStringLiteral(
        "Quorvik is designed to remove HTML code from HTML documents. It will also separate data found in HTML tables."));
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);

    auto* line = new QFrame;
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* lblDisclaimer = new QLabel(QStringLiteral(
        "Warning: this program is provided as is, without warranty of any kind. Check the converted "
        "text before you rely on it, and keep a copy of every document you convert."));
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);

    cmdOK_ = new QPushButton(QStringLiteral("OK"));
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdSysInfo_ = new QPushButton(QStringLiteral("&System Info..."));
    cmdSysInfo_->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo_->setAutoDefault(false);

    auto* upper = new QGridLayout;
    upper->addWidget(logo, 0, 0, 3, 1);
    upper->addWidget(lblTitle_, 0, 1);
    upper->addWidget(lblVersion_, 1, 1);
    upper->addWidget(lblDescription, 2, 1);
    upper->setColumnMinimumWidth(1, 320);
    upper->setHorizontalSpacing(14);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdSysInfo_);
    buttons->addStretch(1);
    auto* lower = new QHBoxLayout;
    lower->addWidget(lblDisclaimer, 1);
    lower->addSpacing(14);
    lower->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(upper);
    layout->addWidget(line);
    layout->addLayout(lower);

    // OK is both the default and the cancel button: Enter and Escape (QDialog::reject) close the box.
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo_, &QPushButton::clicked, this, [this] { StartSysInfo(host_, dialogs_, this); });

    Form_Load();
}

void frmAbout::Form_Load()
{
    const QString title = QString::fromLatin1(kAppTitle);
    setWindowTitle(QStringLiteral("About ") + title);
    lblVersion_->setText(VersionLine());
    lblTitle_->setText(title);
}

}  // namespace quorvik
