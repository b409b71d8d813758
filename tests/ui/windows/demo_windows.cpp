// Shows one of the secondary windows on its own, for looking at it (screenshots under Xvfb):
//   demo_windows options [tab] | about | help [topic] | multfile [folder [output folder]]
// Not a test; built only on request (target demo_windows).

#include "settings/settingsstore.h"
#include "ui/windows/frmabout.h"
#include "ui/windows/frmoptions.h"
#include "ui/windows/helpviewer.h"
#include "ui/windows/multfile.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

using namespace quorvik;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString which = args.value(1, QStringLiteral("options"));
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("zelbrin.ini")));
    SettingValues values;
    FixedLinkSwitches links;
    QtDialogs dialogs;
    LocalSysInfoHost host;

    std::unique_ptr<QWidget> window;
    std::unique_ptr<HelpViewer> help;
    if (which == QLatin1String("options")) {
        auto* options = new frmOptions(store, values, dialogs);
        options->selectTab(args.value(2, QStringLiteral("0")).toInt());
        window.reset(options);
    } else if (which == QLatin1String("about")) {
        window.reset(new frmAbout(host, dialogs));
    } else if (which == QLatin1String("help")) {
        help = std::make_unique<HelpViewer>(nullptr, dialogs);
        const int topic = args.value(2, QStringLiteral("0")).toInt();
        if (!(topic ? help->ShowTopic(topic) : help->ShowContents()))
            return 1;
        return app.exec();
    } else if (which == QLatin1String("multfile")) {
        auto* mult = new MultFile(values, links, dialogs, nullptr, MountedDrives(), args.value(2));
        window.reset(mult);
        if (!args.value(3).isEmpty()) {  // an output folder: convert every file into it
            mult->setOutputFolder(args.value(3));
            mult->selectFiles(QDir(args.value(2)).entryList(QDir::Files));
            QTimer::singleShot(200, mult, [mult] { mult->Convert(); });
        }
    } else {
        return 2;
    }
    window->show();
    return app.exec();
}
