#pragma once
// The file types of the open and save dialog: their filter strings and what each means.

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

// The extension a save with the type writes ("txt", "rtf" or "htm"), and whether the type
// reads and writes rich text.
QString ExtensionOfType(int type);
bool IsRichTextType(int type);

}  // namespace quorvik
