#include "ui/windows/frmoptions.h"

#include "settings/numericreading.h"
#include "ui/dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>

namespace quorvik {

namespace {

const char* const kTitle = "Quorvik";

QLabel* FieldLabel(const QString& text, QWidget* field)
{
    auto* label = new QLabel(text);
    label->setBuddy(field);
    return label;
}

}  // namespace

frmOptions::frmOptions(SettingsStore& store, SettingValues& values, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::MSWindowsFixedSizeDialogHint),
      store_(store),
      values_(values),
      dialogs_(dialogs)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(false);

    tbsOptions_ = new QTabBar;
    tbsOptions_->setObjectName(QStringLiteral("tbsOptions"));
    tbsOptions_->setDrawBase(false);
    struct TabInfo {
        const char* caption;
        const char* key;
        const char* tip;
        const char* frame;
    };
    const std::array<TabInfo, 3> tabs{{
        {"Text Options", "Text", "Set Options for Text", "Text Options"},
        {"Hyper Links", "Hyper", "Set Hyper Link Options ", "Hyper Links Settings"},
        {"Clean Up", "Clean", "Set characters to clean up", "Clean Up Options"},
    }};
    pages_ = new QStackedWidget;
    std::array<QGridLayout*, 3> grids{};
    for (int i = 0; i < 3; ++i) {
        const int t = tbsOptions_->addTab(QString::fromLatin1(tabs[i].caption));
        tbsOptions_->setTabData(t, QString::fromLatin1(tabs[i].key));
        tbsOptions_->setTabToolTip(t, QString::fromLatin1(tabs[i].tip));

        picOptions_[i] = new QFrame;
        picOptions_[i]->setObjectName(QStringLiteral("picOptions%1").arg(i));
        auto* frame = new QGroupBox(QString::fromLatin1(tabs[i].frame));
        frame->setObjectName(QStringLiteral("fraOptions%1").arg(i));
        grids[i] = new QGridLayout(frame);
        grids[i]->setColumnMinimumWidth(1, 180);
        auto* pageLayout = new QVBoxLayout(picOptions_[i]);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        pageLayout->addWidget(frame);
        pages_->addWidget(picOptions_[i]);
        if (i == 0)
            frame->setToolTip(QStringLiteral("Change the project options"));
    }

    // Page 0: delimiter, line length, bullet text, readable output, defaults.
    Combo1_ = new QComboBox;
    Combo1_->setObjectName(QStringLiteral("Combo1"));
    Combo1_->setEditable(true);
    Combo1_->setInsertPolicy(QComboBox::NoInsert);
    TextLenText_ = new QLineEdit;
    TextLenText_->setObjectName(QStringLiteral("TextLenText"));
    TextLenText_->setToolTip(QStringLiteral("Change the number of characters saved on each line"));
    BulletText_ = new QLineEdit;
    BulletText_->setObjectName(QStringLiteral("BulletText"));
    ReadableCheck_ = new QCheckBox(QStringLiteral("Readable output"));
    ReadableCheck_->setObjectName(QStringLiteral("ReadableCheck"));
    auto* readableNote = new QLabel(QStringLiteral("For reading web pages; off keeps the exact conversion."));
    readableNote->setObjectName(QStringLiteral("ReadableNote"));
    // Lined up with the box's caption.
    readableNote->setIndent(ReadableCheck_->style()->pixelMetric(QStyle::PM_IndicatorWidth)
                            + ReadableCheck_->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing));
    CmdDefault_ = new QPushButton(QStringLiteral("Default Values"));
    CmdDefault_->setObjectName(QStringLiteral("CmdDefault"));
    CmdDefault_->setAutoDefault(false);
    grids[0]->addWidget(FieldLabel(QStringLiteral("Table Delimiter"), Combo1_), 0, 0);
    grids[0]->addWidget(Combo1_, 0, 1);
    grids[0]->addWidget(FieldLabel(QStringLiteral("Text Length"), TextLenText_), 1, 0);
    grids[0]->addWidget(TextLenText_, 1, 1);
    grids[0]->addWidget(FieldLabel(QStringLiteral("Bullet Character"), BulletText_), 2, 0);
    grids[0]->addWidget(BulletText_, 2, 1);
    grids[0]->addWidget(ReadableCheck_, 3, 0, 1, 2);
    grids[0]->addWidget(readableNote, 4, 0, 1, 2);
    grids[0]->addWidget(CmdDefault_, 5, 1, Qt::AlignLeft);

    // Page 1: the three link boxes.
    const std::array<const char*, 3> linkCaptions{
        "Include HTTP Link Information", "Include Mail Information", "Include News Information"};
    for (int i = 0; i < 3; ++i) {
        Check_[i] = new QCheckBox(QString::fromLatin1(linkCaptions[i]));
        Check_[i]->setObjectName(QStringLiteral("Check%1").arg(i + 1));
        grids[1]->addWidget(Check_[i], i, 0, 1, 2);
    }
    grids[1]->setRowStretch(3, 1);

    // Page 2: the four clean-up sets.
    for (int i = 0; i < 4; ++i) {
        CharSetText_[i] = new QLineEdit;
        CharSetText_[i]->setObjectName(QStringLiteral("CharSet%1Text").arg(i + 1));
        grids[2]->addWidget(FieldLabel(QStringLiteral("Character Set %1").arg(i + 1), CharSetText_[i]), i, 0);
        grids[2]->addWidget(CharSetText_[i], i, 1);
    }

    cmdOK_ = new QPushButton(QStringLiteral("OK"));
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"));
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(false);
    cmdApply_ = new QPushButton(QStringLiteral("Apply"));
    cmdApply_->setObjectName(QStringLiteral("cmdApply"));
    cmdApply_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    buttons->addWidget(cmdApply_);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setSpacing(0);
    layout->addWidget(tbsOptions_);
    layout->addWidget(pages_);
    layout->addSpacing(10);
    layout->addLayout(buttons);

    connect(tbsOptions_, &QTabBar::currentChanged, this, &frmOptions::tbsOptions_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdApply_, &QPushButton::clicked, this, &frmOptions::cmdApply_Click);
    connect(CmdDefault_, &QPushButton::clicked, this, &frmOptions::CmdDefault_Click);
    connect(Combo1_, &QComboBox::editTextChanged, this, [this] { comboChanged_ = true; });
    connect(TextLenText_, &QLineEdit::textChanged, this, &frmOptions::EnableApply);
    connect(BulletText_, &QLineEdit::textChanged, this, &frmOptions::EnableApply);
    for (QCheckBox* box : Check_)
        connect(box, &QCheckBox::toggled, this, &frmOptions::EnableApply);
    connect(ReadableCheck_, &QCheckBox::toggled, this, &frmOptions::EnableApply);

    Form_Load();

    // Ctrl+Tab is caught wherever the focus is, and the delimiter box reports focus entry.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void frmOptions::Form_Load()
{
    Combo1_->addItems({QStringLiteral(","), QStringLiteral("*"), QStringLiteral("-"), QStringLiteral("none")});

    adjustSize();
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());

    // The stored options as the start-up load reads them (a stored length shows as the whole
    // number in use); the clean-up sets show the values in use, not a fresh read of the store.
    SettingValues shown = LoadSettingValues(store_);
    shown.sCleanChar = values_.sCleanChar;

    Combo1_->setEditText(shown.TableCellSep);
    comboChanged_ = true;  // setting the text while loading counts as a change
    TextLenText_->setText(QString::number(shown.TextLen));
    BulletText_->setText(shown.BulletChar);
    ReadableCheck_->setChecked(shown.Readable);

    cmdApply_->setEnabled(true);

    for (std::size_t i = 0; i < Check_.size(); ++i)
        Check_[i]->setChecked(shown.LinkSettings[i] > 0);
    for (std::size_t i = 0; i < CharSetText_.size(); ++i)
        CharSetText_[i]->setText(shown.sCleanChar[i]);

    tbsOptions_->setCurrentIndex(0);
    tbsOptions_Click(0);
}

bool frmOptions::ApplySettings(bool fromApply)
{
    SettingValues edited = values_;
    // A length that is not a plain number in range is refused before anything is saved.
    if (!ReadTypedWholeNumber(TextLenText_->text(), edited.TextLen)) {
        selectTab(0);
        TextLenText_->setFocus();
        TextLenText_->selectAll();
        dialogs_.warning(this, QString::fromLatin1(kTitle),
                         QStringLiteral("The Text Length must be a number from %1 to %2 "
                                        "(0 or below means lines are not wrapped).\n\nNothing was saved.")
                             .arg(kTextLenMin)
                             .arg(kTextLenMax),
                         false);
        return false;
    }
    edited.TableCellSep = Combo1_->currentText();
    edited.BulletChar = BulletText_->text();
    edited.Readable = ReadableCheck_->isChecked();
    for (std::size_t i = 0; i < Check_.size(); ++i)
        edited.LinkSettings[i] = Check_[i]->isChecked() ? 1 : 0;
    for (std::size_t i = 0; i < CharSetText_.size(); ++i)
        edited.sCleanChar[i] = CharSetText_[i]->text();

    QString reason;
    if (!SaveSettingValues(store_, edited, &reason)) {
        dialogs_.warning(this, QString::fromLatin1(kTitle),
                         QStringLiteral("The options could not be saved to %1: %2\n\nNothing was saved.")
                             .arg(QDir::toNativeSeparators(store_.path()), reason),
                         false);
        return false;
    }
    if (fromApply)
        cmdApply_->setEnabled(false);
    values_ = edited;
    emit settingsApplied();
    return true;
}

void frmOptions::cmdApply_Click()
{
    ApplySettings(true);
}

void frmOptions::cmdOK_Click()
{
    if (ApplySettings(false))
        accept();
}

void frmOptions::CmdDefault_Click()
{
    TextLenText_->setText(DefaultText(Key::TextLen));
    Combo1_->setEditText(DefaultText(Key::TableCellSep));
    BulletText_->setText(DefaultText(Key::BulletChar));
    ReadableCheck_->setChecked(DefaultNumber(Key::Readable) > 0);
    cmdApply_->setEnabled(true);
}

void frmOptions::EnableApply()
{
    cmdApply_->setEnabled(true);
}

int frmOptions::currentTab() const
{
    return tbsOptions_->currentIndex();
}

void frmOptions::selectTab(int index)
{
    tbsOptions_->setCurrentIndex(index);
}

void frmOptions::tbsOptions_Click(int index)
{
    // Only the page of the selected tab is shown and takes input.
    pages_->setCurrentIndex(index);
    for (int i = 0; i < 3; ++i)
        picOptions_[i]->setEnabled(i == index);
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
            if (mods == Qt::ControlModifier && key->key() == Qt::Key_Tab) {
                selectTab((currentTab() + 1) % tbsOptions_->count());
                return true;
            }
            if (mods & Qt::ControlModifier)
                return true;  // Ctrl with another modifier does nothing
        }
    } else if (event->type() == QEvent::FocusIn
               && (watched == Combo1_ || watched == Combo1_->lineEdit())) {
        if (comboChanged_)
            EnableApply();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quorvik
