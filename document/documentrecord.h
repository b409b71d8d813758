#pragma once
// The open document as the window remembers it.

#include <QString>

namespace quorvik {

struct DocumentRecord {
    QString FileName;  // path of the document last opened or saved; the conversion reads this file
    QString DocType;   // "RTF" when opened as rich text, else empty
    int Changed = 0;   // 1 when the text changed since the last open or save
    int Loaded = 0;    // 1 once an opened document showed text; never reset
};

}  // namespace quorvik
