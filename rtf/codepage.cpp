#include "codepage.h"

namespace quorvik::rtf {
namespace {

// Bytes 0x80..0x9F of Windows-1252; 0 marks the five undefined bytes.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

QByteArray IcuNameForCodePage(int codePage) {
  switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 852: return "IBM852";
    case 866: return "IBM866";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 10000: return "macintosh";
    case 65001: return "UTF-8";
    default: return "windows-" + QByteArray::number(codePage);
  }
}

}  // namespace

char16_t Cp1252ToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) {
    const char16_t ch = kCp1252High[byte - 0x80];
    return ch != 0 ? ch : char16_t(byte);
  }
  return char16_t(byte);
}

int UnicodeToCp1252(char16_t ch) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return ch;
  for (int i = 0; i < 32; ++i) {
    const char16_t mapped = kCp1252High[i] != 0 ? kCp1252High[i] : char16_t(0x80 + i);
    if (mapped == ch) return 0x80 + i;
  }
  return -1;
}

CodePageDecoder::CodePageDecoder(int codePage) : codePage_(codePage) {
  if (codePage_ != 1252) {
    decoder_ = QStringDecoder(IcuNameForCodePage(codePage_).constData());
    if (!decoder_.isValid()) codePage_ = 1252;
  }
}

QString CodePageDecoder::decode(const QByteArray& bytes) {
  if (codePage_ != 1252) return decoder_.decode(bytes);
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (char byte : bytes) *out++ = QChar(Cp1252ToUnicode(static_cast<unsigned char>(byte)));
  return text;
}

int KnownCodePage(int codePage) {
  switch (codePage) {
    case 437: case 850: case 852: case 866: case 874: case 932: case 936: case 949:
    case 950: case 1250: case 1251: case 1252: case 1253: case 1254: case 1255: case 1256:
    case 1257: case 1258: case 10000: case 65001:
      return codePage;
    default:
      return 1252;
  }
}

namespace {
#include "symbol_table.inc"
}  // namespace

SymbolFont SymbolFontOf(const QString& family, int charset) {
  if (charset != -1 && charset != 2) return SymbolFont::None;
  const QString name = family.trimmed().toLower();
  if (name == QLatin1String("symbol")) return SymbolFont::Symbol;
  if (name == QLatin1String("wingdings")) return SymbolFont::Wingdings;
  if (charset == 2 || name == QLatin1String("wingdings 2") ||
      name == QLatin1String("wingdings 3") || name == QLatin1String("webdings")) {
    return SymbolFont::Other;
  }
  return SymbolFont::None;
}

char16_t SymbolChar(SymbolFont font, char16_t byte) {
  if (byte >= 0xF020 && byte <= 0xF0FF) byte -= 0xF000;
  if (byte <= 0x20 || byte > 0xFF) return byte;
  char16_t ch = 0;
  if (font == SymbolFont::Symbol) ch = kSymbolFont[byte - 0x20];
  if (font == SymbolFont::Wingdings) ch = kWingdings[byte - 0x20];
  if (ch != 0) return ch;
  if (byte >= 0x80 && byte <= 0x9F) return Cp1252ToUnicode(static_cast<unsigned char>(byte));
  return char16_t(0xF000 + byte);
}

int CodePageForCharset(int charset) {
  switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    // 0 (ANSI), 1 (default), 2 (symbol) and unknown values: the document's own code
    // page. Some writers pair \ansicpg1251 with \fcharset0 fonts and mean Cyrillic.
    default: return 0;
  }
}

QString DecodePlainText(const QByteArray& data) {
  if (data.startsWith("\xEF\xBB\xBF")) {
    return QStringDecoder(QStringConverter::Utf8).decode(data.mid(3));
  }
  if (data.startsWith("\xFF\xFE")) {
    return QStringDecoder(QStringConverter::Utf16LE).decode(data.mid(2));
  }
  if (data.startsWith("\xFE\xFF")) {
    return QStringDecoder(QStringConverter::Utf16BE).decode(data.mid(2));
  }
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8.decode(data);
  if (!utf8.hasError()) return text;
  return CodePageDecoder(1252).decode(data);
}

}  // namespace quorvik::rtf
