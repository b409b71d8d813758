#include "app/mainform.h"
#include "settings/settingsstore.h"
#include "ui/dialogs.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvik"));
    quorvik::QtDialogs dialogs;
    quorvik::MainForm window(dialogs, quorvik::SettingsStore());
    window.show();
    return QApplication::exec();
}
