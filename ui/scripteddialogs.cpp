#include "ui/scripteddialogs.h"

#include <QPrinter>

namespace quorvik {

QStringList ScriptedDialogs::shownTexts() const
{
    QStringList texts;
    for (const Shown& s : shown_)
        texts << s.text;
    return texts;
}

QStringList ScriptedDialogs::leftover() const
{
    QStringList left;
    for (std::size_t i = 0; i < messages_.size(); ++i)
        left << QStringLiteral("message answer");
    for (const FileChoice& f : files_)
        left << QStringLiteral("file answer ") + f.path;
    for (const QString& p : prints_)
        left << QStringLiteral("print answer ") + p;
    for (std::size_t i = 0; i < fonts_.size(); ++i)
        left << QStringLiteral("font answer");
    for (const QString& f : folders_)
        left << QStringLiteral("folder answer ") + f;
    return left;
}

void ScriptedDialogs::reset()
{
    messages_.clear();
    files_.clear();
    prints_.clear();
    fonts_.clear();
    folders_.clear();
    shown_.clear();
    unexpected_.clear();
}

Answer ScriptedDialogs::message(const Shown& shown, Answer fallback)
{
    shown_.push_back(shown);
    if (messages_.empty()) {
        unexpected_ << shown.kind + QStringLiteral(": ") + shown.text;
        return fallback;
    }
    const Answer a = messages_.front();
    messages_.pop_front();
    return a;
}

Answer ScriptedDialogs::information(QWidget*, const QString& title, const QString& text)
{
    return message({QStringLiteral("information"), title, text, false}, Answer::Ok);
}

Answer ScriptedDialogs::question(QWidget*, const QString& title, const QString& text)
{
    return message({QStringLiteral("question"), title, text, true}, Answer::No);
}

Answer ScriptedDialogs::warning(QWidget*, const QString& title, const QString& text, bool yesNo)
{
    return message({QStringLiteral("warning"), title, text, yesNo}, yesNo ? Answer::No : Answer::Ok);
}

FileChoice ScriptedDialogs::file(const char* kind, const QString& title, FileDialogState& state)
{
    lastState_ = state;
    lastTitle_ = title;
    if (files_.empty()) {
        unexpected_ << QLatin1String(kind);
        return {};
    }
    FileChoice c = files_.front();
    files_.pop_front();
    if (!c.accepted)
        return c;
    if (c.type == 0)
        c.type = state.type;
    state.fileName = c.path;
    state.type = c.type;
    return c;
}

FileChoice ScriptedDialogs::openFile(QWidget*, const QString& title, FileDialogState& state)
{
    return file("open dialog", title, state);
}

FileChoice ScriptedDialogs::saveFile(QWidget*, const QString& title, FileDialogState& state)
{
    return file("save dialog", title, state);
}

bool ScriptedDialogs::print(QWidget*, QPrinter& printer, bool hasSelection)
{
    lastPrintSelection_ = hasSelection;
    if (prints_.empty()) {
        unexpected_ << QStringLiteral("print dialog");
        return false;
    }
    const QString pdf = prints_.front();
    prints_.pop_front();
    if (pdf.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPrintRange(hasSelection ? QPrinter::Selection : QPrinter::AllPages);
    return true;
}

bool ScriptedDialogs::chooseFont(QWidget*, QFont& font)
{
    if (fonts_.empty()) {
        unexpected_ << QStringLiteral("font dialog");
        return false;
    }
    const auto [accepted, chosen] = fonts_.front();
    fonts_.pop_front();
    if (accepted)
        font = chosen;
    return accepted;
}

QString ScriptedDialogs::chooseFolder(QWidget*, const QString&, const QString&)
{
    if (folders_.empty()) {
        unexpected_ << QStringLiteral("folder chooser");
        return {};
    }
    const QString folder = folders_.front();
    folders_.pop_front();
    return folder;
}

}  // namespace quorvik
