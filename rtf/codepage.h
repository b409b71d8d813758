#pragma once
// Byte <-> character conversion for RTF text: Windows-1252 built in (the writer's
// code page and the reader's default), other code pages through QStringDecoder.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

namespace quorvik::rtf {

// The character a Windows-1252 byte stands for. The five bytes the code page leaves
// undefined map to the C1 control of the same value, as Windows itself does, so they
// survive a round trip.
char16_t Cp1252ToUnicode(unsigned char byte);

// The Windows-1252 byte for `ch`, or -1 when the code page has no such character.
int UnicodeToCp1252(char16_t ch);

// Decodes byte runs of one code page. Single-byte 1252 uses the table above; other
// code pages (also multi-byte ones such as 932 or 936) go through ICU by name and fall
// back to 1252 when the name is unknown.
class CodePageDecoder {
 public:
  explicit CodePageDecoder(int codePage = 1252);
  int codePage() const { return codePage_; }
  QString decode(const QByteArray& bytes);

 private:
  int codePage_;
  QStringDecoder decoder_;  // invalid for 1252 and for unknown code pages
};

// `codePage` when the reader can decode it, else 1252 (an unknown \ansicpg or \cpg
// value then reads as Windows-1252 rather than failing).
int KnownCodePage(int codePage);

// Code page for a font's \fcharset value; 0 means "the document's code page".
int CodePageForCharset(int charset);

// Symbol fonts: their bytes stand for signs and pictures, not for the letters of a code
// page. A font is one by its character set (\fcharset2), or by its name (Symbol, Wingdings,
// Wingdings 2 and 3, Webdings) when the font table gives it no character set: a font given
// another one (as this program's writer gives every font) is read as text.
enum class SymbolFont { None, Symbol, Wingdings, Other };
SymbolFont SymbolFontOf(const QString& family, int charset);  // charset -1: none given

// The character byte 0x20-0xFF of a symbol font shows: the Symbol font's Greek letters and
// signs and Wingdings' bullets from a table; bytes 0x80-0x9F the table leaves open as
// Windows-1252 (writers put Windows-1252 bullets and dashes there); any other byte as
// the private-use character U+F000 + byte, which the font itself shows where installed.
// `byte` may also be a private-use character U+F020-U+F0FF of the font: the same byte.
char16_t SymbolChar(SymbolFont font, char16_t byte);

// Text of a file that is not RTF: a byte-order mark decides (UTF-8, UTF-16 LE/BE),
// else UTF-8 when the bytes are valid UTF-8, else Windows-1252.
QString DecodePlainText(const QByteArray& data);

}  // namespace quorvik::rtf
