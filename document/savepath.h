#pragma once
// The name a saved file gets.

#include <QString>

namespace quorvik {

// The place (from 1) of the last "." in `path`; `position` is returned unchanged when there is
// none (or the path is shorter than two characters).
int LastDotPos(const QString& path, int position);

// The path a save writes for the name chosen in the dialog and the chosen type's extension:
// the part after the last "." of the file name is replaced by the extension; a file name
// without "." gets "." and the extension appended; blanks at both ends are removed.
QString SavePathWithExtension(const QString& chosen, const QString& extension);

}  // namespace quorvik
