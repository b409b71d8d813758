#pragma once
// File types of the open and save dialog, and the name a saved file gets.

#include <QString>
#include <QStringList>

namespace quorvik {

// The dialog's four types, numbered from 1: HTML, Text, Rich Text Format, All Files.
constexpr int kTypeHtml = 1;
constexpr int kTypeText = 2;
constexpr int kTypeRtf = 3;
constexpr int kTypeAll = 4;

// The filter text of the file dialog, in its "description|patterns|" form.
QString FileDialogFilter();
// The descriptions and patterns of the four types, in Qt's "Description (patterns)" form.
QStringList FileDialogNameFilters();

enum class SaveFormat { PlainText, RichText };

struct SaveType {
    QString extension;  // "txt", "rtf" or "htm"
    SaveFormat format;
};
SaveType SaveTypeFor(int type);

// The place (from 1) of the last "." in `path`; `position` is returned unchanged when there is
// none (or the path is shorter than two characters).
int LastDotPos(const QString& path, int position);

// The path a save writes for the name chosen in the dialog and the chosen type: the part after
// the last "." of the file name is replaced by the type's extension; a file name without "."
// gets "." and the extension appended; blanks at both ends are removed.
QString SavePathForType(const QString& chosen, int type);

}  // namespace quorvik
