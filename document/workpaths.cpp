#include "document/workpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvik {

namespace {

constexpr int kMaxFolders = 64;

QString SystemReason(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// Makes sure `folder` is a real folder of this user with mode 0700, creating it if needed.
bool CheckPrivateFolder(const QString& folder, QString& reason)
{
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        reason = SystemReason(errno);
        return false;
    }
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        reason = SystemReason(errno);
        return false;
    }
    if (S_ISLNK(st.st_mode) || !S_ISDIR(st.st_mode)) {
        reason = QStringLiteral("it is not a folder of its own (a symbolic link or another file)");
        return false;
    }
    if (st.st_uid != ::getuid()) {
        reason = QStringLiteral("it belongs to another user");
        return false;
    }
    if ((st.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0) {
        reason = SystemReason(errno);
        return false;
    }
    return true;
}

}  // namespace

QString WorkFolderBase()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return QDir::cleanPath(runtime) + QStringLiteral("/quorvik");
    QString tmp = qEnvironmentVariable("TMPDIR");
    if (tmp.isEmpty())
        tmp = QStringLiteral("/tmp");
    return QDir::cleanPath(tmp) + QStringLiteral("/quorvik-") + QString::number(::getuid());
}

WorkFolderLock::WorkFolderLock() = default;
WorkFolderLock::~WorkFolderLock() = default;

bool WorkFolderLock::Acquire(const QString& base, QString& folder, QString& reason)
{
    lock_.reset();
    folder_.clear();
    for (int n = 1; n <= kMaxFolders; ++n) {
        const QString candidate = n == 1 ? base : base + u'-' + QString::number(n);
        if (!CheckPrivateFolder(candidate, reason)) {
            folder = candidate;
            return false;
        }
        auto lock = std::make_unique<QLockFile>(candidate + QStringLiteral("/lock"));
        lock->setStaleLockTime(0);  // a lock is stale only when its process is gone
        if (lock->tryLock(0)) {
            lock_ = std::move(lock);
            folder_ = candidate;
            folder = candidate;
            return true;
        }
        if (lock->error() != QLockFile::LockFailedError) {
            folder = candidate;
            reason = QStringLiteral("its lock file cannot be created");
            return false;
        }
    }
    folder = base;
    reason = QStringLiteral("all %1 work folders are in use").arg(kMaxFolders);
    return false;
}

bool WorkFolderLock::StillHeld() const
{
    if (!lock_)
        return false;
    struct stat st {};
    if (::lstat(QFile::encodeName(folder_).constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    qint64 pid = 0;
    QString host, app;
    return lock_->getLockInfo(&pid, &host, &app) && pid == QCoreApplication::applicationPid();
}

void WorkFolderLock::Release(const QStringList& files)
{
    if (StillHeld()) {
        for (const QString& file : files) {
            if (QFileInfo(file).dir().absolutePath() == QDir(folder_).absolutePath())
                QFile::remove(file);
        }
        lock_->unlock();  // removes the lock file
        QDir().rmdir(folder_);  // fails, and keeps the folder, if anything else is in it
    }
    lock_.reset();
    folder_.clear();
}

bool InitWorkPaths(WorkPaths& paths, WorkFolderLock& lock, QString& reason)
{
    QString folder;
    const bool ok = lock.Acquire(WorkFolderBase(), folder, reason);
    paths.Folder = folder;
    paths.FormattedHtmlPath = folder + QStringLiteral("/quorvik.tmp");
    paths.TextFilePath = folder + QStringLiteral("/htmtemp.tmp");
    paths.FormattedTextPath = folder + QStringLiteral("/zelbrin.tmp");
    return ok;
}

}  // namespace quorvik
