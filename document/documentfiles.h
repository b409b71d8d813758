#pragma once
// Reading a document into a view's text document and writing a view to a file.

#include <QString>

class QTextDocument;

namespace quorvik {

// Turns CR LF and lone CR into LF, in one pass.
void ToLineFeeds(QString& text);

// Reads the file as plain text (decoded from its bytes; CR LF and CR become line feeds).
bool ReadPlainDocument(const QString& path, QString& text, QString& reason);
// Loads the file through the rich-text reader.
bool LoadRichDocument(const QString& path, QTextDocument& document, QString& reason);

// Write to `path` completely or not at all: a temporary file in the same folder is renamed
// over the target. Plain text is written as UTF-8, its lines as they are (LF between them)
// and a line feed after the last; rich text as RTF.
bool SavePlainText(const QString& text, const QString& path, QString& reason);
bool SaveRichDocument(const QTextDocument& document, const QString& path, QString& reason);

}  // namespace quorvik
