#include "support/files.h"

#include <QDir>
#include <QFile>

namespace quorvik::testing {

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList StrayFiles(const QString& folder, const QStringList& keep)
{
    QStringList stray;
    const QStringList all = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : all)
        if (!keep.contains(name))
            stray << name;
    return stray;
}

}  // namespace quorvik::testing
