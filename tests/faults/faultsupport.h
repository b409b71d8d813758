#pragma once
// Helpers shared by the fault tests: files in a scratch folder, and work done in a child
// process under a file-size limit (a full disk as write() sees it: EFBIG).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>

namespace quorvik::faults {

inline QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Names in `folder` other than `keep`: a temporary file left behind shows up here.
inline QStringList StrayFiles(const QString& folder, const QStringList& keep)
{
    QStringList stray;
    const QStringList all = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : all)
        if (!keep.contains(name))
            stray << name;
    return stray;
}

// Runs `body` in a forked child whose files may grow to `maxBytes` at most, with SIGXFSZ
// ignored so that a write beyond the limit fails with EFBIG instead of killing the child.
// The child's exit status is `body`'s result (0 to 125); 126 and above mean it died.
int RunWithFileSizeLimit(long maxBytes, const std::function<int()>& body);

// Runs `body` in a forked child that has given up root for the uid and gid 65534, so that
// files of mode 0600 owned by root are unreadable to it. Returns the child's exit status.
int RunAsOtherUser(const std::function<int()>& body);

}  // namespace quorvik::faults
