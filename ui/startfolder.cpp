#include "ui/startfolder.h"

#include <QDir>
#include <QFileInfo>

namespace quorvik {

bool IsSystemFolder(const QString& folder)
{
    QString path = QFileInfo(folder).canonicalFilePath();
    if (path.isEmpty())  // missing: judge the path as written
        path = QDir::cleanPath(QDir(folder).absolutePath());
    for (const char* root : {"/proc", "/sys", "/dev"}) {
        const QLatin1String r(root);
        if (path == r || path.startsWith(r + QLatin1Char('/')))
            return true;
    }
    return false;
}

QString StartFolder(const QString& folder)
{
    if (!folder.isEmpty() && QFileInfo(folder).isDir() && !IsSystemFolder(folder))
        return folder;
    return QDir::homePath();
}

}  // namespace quorvik
