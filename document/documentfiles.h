#pragma once
// Reading a document into a view's text document and writing a view to a file.

#include "document/savepath.h"

#include <QString>

class QTextDocument;

namespace quorvik {

// Loads the file as plain text (decoded from its bytes; CR LF and CR become line breaks).
bool LoadPlainDocument(const QString& path, QTextDocument& document, QString& reason);
// Loads the file through the rich-text reader.
bool LoadRichDocument(const QString& path, QTextDocument& document, QString& reason);

// Writes the document to `path` completely or not at all: a temporary file in the same folder
// is renamed over the target. Plain text is UTF-8 with LF line ends.
bool SaveDocumentAs(const QTextDocument& document, const QString& path, SaveFormat format, QString& reason);

}  // namespace quorvik
