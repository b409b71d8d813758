#pragma once
// The private folder that holds the window's three work files.

#include <QString>
#include <QStringList>
#include <memory>

class QLockFile;

namespace quorvik {

struct WorkPaths {
    QString Folder;
    QString FormattedHtmlPath;  // "quorvik.tmp": the reflowed HTML
    QString TextFilePath;       // "htmtemp.tmp": the converted text
    QString FormattedTextPath;  // "zelbrin.tmp": the text after blank-line removal
};

// The per-user base folder: $XDG_RUNTIME_DIR/quorvik when that is set, else
// ${TMPDIR:-/tmp}/quorvik-<uid>.
QString WorkFolderBase();

// Holds a work folder for as long as it lives: the folder's lock file marks it as taken, so a
// second running window picks another one ("<base>-2", "<base>-3", ...).
class WorkFolderLock {
public:
    WorkFolderLock();
    ~WorkFolderLock();
    WorkFolderLock(const WorkFolderLock&) = delete;
    WorkFolderLock& operator=(const WorkFolderLock&) = delete;

    // Creates (mode 0700) or checks the folder and takes it. Refuses a folder that is a
    // symbolic link, is owned by another user or cannot be locked; `reason` names the cause.
    bool Acquire(const QString& base, QString& folder, QString& reason);

    // True while the folder taken is still there, still a folder of this user, and its lock
    // file still names this process. A folder removed meanwhile (cleaners of temporary files
    // remove old ones) or replaced must be taken again before it is written to.
    bool StillHeld() const;

    // Gives the folder up: removes `files` from it, then its lock file, then the folder itself
    // if nothing else is left in it. Only while it is still held, so that a folder replaced by
    // someone else is never touched; afterwards it is held no more.
    void Release(const QStringList& files);

private:
    std::unique_ptr<QLockFile> lock_;
    QString folder_;
};

// Builds the three work-file paths in a private folder of this window, taking it with `lock`.
bool InitWorkPaths(WorkPaths& paths, WorkFolderLock& lock, QString& reason);

}  // namespace quorvik
