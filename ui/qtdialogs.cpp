#include "ui/dialogs.h"

#include "ui/filetypes.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace quorvik {

namespace {

Answer Ask(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
           QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return Answer::Cancel;
    }
}

FileChoice ShowFileDialog(QWidget* parent, const QString& title, FileDialogState& state, bool save)
{
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The window asks about replacing a file itself, for the name it really writes.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = FileDialogNameFilters();
    dialog.setNameFilters(filters);
    if (state.type >= 1 && state.type <= filters.size())
        dialog.selectNameFilter(filters[state.type - 1]);
    if (!state.fileName.isEmpty())
        dialog.selectFile(state.fileName);
    FileChoice choice;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return choice;
    choice.accepted = true;
    choice.path = dialog.selectedFiles().constFirst();
    const int type = TypeOfNameFilter(dialog.selectedNameFilter());
    choice.type = type > 0 ? type : state.type;
    state.fileName = choice.path;
    state.type = choice.type;
    return choice;
}

}  // namespace

Answer QtDialogs::information(QWidget* parent, const QString& title, const QString& text)
{
    return Ask(parent, QMessageBox::NoIcon, title, text, QMessageBox::Ok);
}

Answer QtDialogs::question(QWidget* parent, const QString& title, const QString& text)
{
    // No is the default: Enter never replaces a file.
    return Ask(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
}

Answer QtDialogs::warning(QWidget* parent, const QString& title, const QString& text, bool yesNo)
{
    return Ask(parent, QMessageBox::Warning, title, text,
               yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::StandardButtons(QMessageBox::Ok));
}

FileChoice QtDialogs::openFile(QWidget* parent, const QString& title, FileDialogState& state)
{
    return ShowFileDialog(parent, title, state, false);
}

FileChoice QtDialogs::saveFile(QWidget* parent, const QString& title, FileDialogState& state)
{
    return ShowFileDialog(parent, title, state, true);
}

bool QtDialogs::print(QWidget* parent, QPrinter& printer, bool hasSelection)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, hasSelection);
    printer.setPrintRange(hasSelection ? QPrinter::Selection : QPrinter::AllPages);
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogs::chooseFont(QWidget* parent, QFont& font)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parent, QString(), QFontDialog::FontDialogOptions());
    if (ok)
        font = chosen;
    return ok;
}

QString QtDialogs::chooseFolder(QWidget* parent, const QString& title, const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(parent, title, startFolder);
}

}  // namespace quorvik
