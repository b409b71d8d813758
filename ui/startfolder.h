#pragma once
// Where the file dialogs start. Listing a folder of the kernel's file systems can block for good
// (the file dialog reads files to find their type, and /proc/kmsg never ends), so a folder at or
// under /proc, /sys or /dev is never a start folder and is never left behind as the folder that
// Qt remembers for the next dialog.

#include <QString>

namespace quorvik {

// True when `folder`, after resolving symbolic links, is /proc, /sys or /dev or lies under one.
bool IsSystemFolder(const QString& folder);

// `folder` when it exists and is no system folder, else the home folder.
QString StartFolder(const QString& folder);

}  // namespace quorvik
