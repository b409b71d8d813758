#include "ui/dialogs.h"

#include "ui/filetypes.h"
#include "ui/startfolder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

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

// Runs the dialog and returns the files chosen (none when cancelled), with the filter index
// in `filter`. Then makes sure the dialog leaves no system folder behind: Qt keeps the last
// folder shown and the folders visited, and starts the next file dialog of any program there.
QStringList RunFileDialog(QFileDialog& dialog, int* filter = nullptr)
{
    QStringList chosen;
    if (dialog.exec() == QDialog::Accepted)
        chosen = dialog.selectedFiles();
    if (filter)
        *filter = static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
    QStringList history = dialog.history();
    history.erase(std::remove_if(history.begin(), history.end(), IsSystemFolder), history.end());
    dialog.setHistory(history);
    if (IsSystemFolder(dialog.directory().absolutePath()))
        dialog.setDirectory(QDir::homePath());
    return chosen;
}

FileChoice ShowFileDialog(QWidget* parent, const QString& title, FileDialogState& state, bool save)
{
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The window asks about replacing a file itself, for the name it really writes.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilters(FileDialogNameFilters());
    // The dialog keeps the filters simplified (the blank before " All Files" goes), so a type
    // is known by its place in the dialog's own list, never by its text.
    const QStringList filters = dialog.nameFilters();
    if (state.type >= 1 && state.type <= filters.size())
        dialog.selectNameFilter(filters[state.type - 1]);
    dialog.setDirectory(StartFolder(state.folder));
    if (!state.fileName.isEmpty())
        dialog.selectFile(QFileInfo(state.fileName).fileName());
    int filter = -1;
    const QStringList chosen = RunFileDialog(dialog, &filter);
    FileChoice choice;
    if (chosen.isEmpty())
        return choice;
    choice.accepted = true;
    choice.path = chosen.constFirst();
    choice.type = filter >= 0 ? filter + 1 : state.type;
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
    // No is the default of a Yes/No warning: Enter never discards work.
    return Ask(parent, QMessageBox::Warning, title, text,
               yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::StandardButtons(QMessageBox::Ok),
               yesNo ? QMessageBox::No : QMessageBox::NoButton);
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
    dialog.setWindowTitle(QStringLiteral("Print"));
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
    QFileDialog dialog(parent, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setDirectory(StartFolder(startFolder));
    return RunFileDialog(dialog).value(0);
}

}  // namespace quorvik
