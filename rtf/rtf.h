#pragma once
// Rich Text Format for the views: the two calls the window makes.
// (Interface agreed with the window; implemented in this folder.)

#include <QByteArray>

class QTextDocument;

namespace quorvik::rtf {

// Fills `document` from RTF bytes. Input that is not RTF at all is shown as plain text
// (decoded like any text document). Never crashes or hangs on bad input.
void ReadRtf(const QByteArray& data, QTextDocument& document);

// The document as RTF 1.x bytes (Windows-1252 with \uN\'3f escapes beyond it; links as
// HYPERLINK fields).
QByteArray WriteRtf(const QTextDocument& document);

}  // namespace quorvik::rtf
