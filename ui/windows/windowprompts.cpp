#include "ui/windows/windowprompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace quorvik {

void QtWindowPrompts::Message(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtWindowPrompts::Warning(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}

bool QtWindowPrompts::AskYesNo(QWidget* parent, const QString& title, const QString& text)
{
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

QString QtWindowPrompts::ChooseFolder(QWidget* parent, const QString& title, const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(parent, title, startFolder);
}

void ScriptedWindowPrompts::Clear()
{
    answers_.clear();
    folders_.clear();
    shown_.clear();
}

void ScriptedWindowPrompts::Message(QWidget*, const QString& title, const QString& text)
{
    shown_.append({QStringLiteral("message"), title, text});
}

void ScriptedWindowPrompts::Warning(QWidget*, const QString& title, const QString& text)
{
    shown_.append({QStringLiteral("warning"), title, text});
}

bool ScriptedWindowPrompts::AskYesNo(QWidget*, const QString& title, const QString& text)
{
    shown_.append({QStringLiteral("question"), title, text});
    return answers_.isEmpty() ? false : answers_.takeFirst();
}

QString ScriptedWindowPrompts::ChooseFolder(QWidget*, const QString& title, const QString&)
{
    shown_.append({QStringLiteral("folder"), title, QString()});
    return folders_.isEmpty() ? QString() : folders_.takeFirst();
}

}  // namespace quorvik
