// RTF reader: tokens -> QTextDocument. One pass, constant work per token (apart from the
// document's own insertions), a bounded group stack, so time and memory grow linearly
// with the input whatever it holds.

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVarLengthArray>
#include <QVector>

#include <algorithm>
#include <cctype>
#include <map>

#include "codepage.h"
#include "control_words.h"
#include "rtf/rtf.h"
#include "tokenizer.h"

namespace quorvik::rtf {
namespace {

// Groups nested deeper than this share the state of the deepest tracked group, so a
// file of a million "{" costs no more memory than a sane one.
constexpr int kMaxDepth = 256;
// Font sizes in half-points; larger ones only make the view unusable.
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 3276;
constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxUnicodeSkip = 16;

enum class Dest {
  Body, Skip, FontTable, ColorTable, StyleSheet, FieldInstruction, Numbering, NumberText
};
enum class Position : char { Normal, Super, Sub };

// A style of the style sheet: the formatting words it holds and the style it is based on.
// A style holds at most kMaxStyleWords words and a chain of styles at most kMaxStyleChain
// styles, so applying one costs the same whatever the file holds.
constexpr int kMaxStyleWords = 64;
constexpr int kMaxStyleChain = 16;
struct StyleDef {
  QVector<RtfToken> words;
  int basedOn = -1;
};
// Paragraph and character styles are numbered apart.
int StyleKey(bool character, int number) { return qBound(0, number, 65535) * 2 + (character ? 1 : 0); }

// Character and paragraph state; RTF scopes both to groups.
struct State {
  Dest dest = Dest::Body;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool hidden = false;
  int font = -1;  // \f number; -1 until one is chosen: the \deff font
  int halfPoints = kDefaultHalfPoints;
  int color = 0;  // \cf index; 0 is the automatic colour
  int highlight = 0;   // \highlight index; 0: none
  int background = 0;  // \cb, \chcbpat index; 0: none
  Position position = Position::Normal;
  int unicodeSkip = 1;
  int link = -1;         // index of the link target in Reader::links_; -1: not a link
  bool inTable = false;  // \intbl: the paragraph belongs to a table row
  bool numberAfter = false;  // NumberText: \pntxta (else \pntxtb)
  Qt::Alignment align = Qt::AlignLeft;
};

// A paragraph number given by \pn: its level, style, start and surrounding text.
struct Numbering {
  bool on = false;
  int level = 10;      // 1-9, 10 body, 11 continuation (no number shown)
  bool bullet = false;  // \pnlvlblt: the text before is the whole label
  char16_t style = kDecimal;
  int start = 1;
  int font = -1;
  QByteArray before, after;
  bool sameListAs(const Numbering& other) const {
    return on && other.on && level == other.level && style == other.style &&
           bullet == other.bullet;
  }
};

// The target of a field instruction HYPERLINK "url" [\l "bookmark"], or nothing.
QString HyperlinkTarget(const QString& instruction) {
  QStringList words;
  const qsizetype n = instruction.size();
  for (qsizetype i = 0; i < n;) {
    if (instruction[i].isSpace()) {
      ++i;
      continue;
    }
    QString word;
    if (instruction[i] == '"') {
      for (++i; i < n && instruction[i] != '"'; ++i) {
        if (instruction[i] == '\\' && i + 1 < n) ++i;  // \\ and \" stand for the character
        word += instruction[i];
      }
      ++i;
    } else {
      while (i < n && !instruction[i].isSpace()) word += instruction[i++];
    }
    words << word;
  }
  if (words.isEmpty() || words[0].compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0) {
    return {};
  }
  QString url, bookmark;
  for (qsizetype i = 1; i < words.size(); ++i) {
    if (words[i] == QLatin1String("\\l") && i + 1 < words.size()) {
      bookmark = words[++i];
    } else if (words[i] == QLatin1String("\\o") || words[i] == QLatin1String("\\t")) {
      ++i;  // tooltip, target frame
    } else if (!words[i].startsWith('\\') && url.isEmpty()) {
      url = words[i];
    }
  }
  if (!bookmark.isEmpty()) url += '#' + bookmark;
  return url;
}

QString Letters(int n, char16_t base) {  // 1 a, 26 z, 27 aa, 28 bb (as word processors count)
  const int repeat = (n - 1) / 26 + 1;
  return QString(qMin(repeat, 64), QChar(char16_t(base + (n - 1) % 26)));
}

QString Roman(int n, bool upper) {
  static const struct { int value; const char* text; } kDigits[] = {
      {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"},
      {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
  QString out;
  n = qMin(n, 39999);
  for (const auto& digit : kDigits) {
    for (; n >= digit.value; n -= digit.value) out += QLatin1String(digit.text);
  }
  return upper ? out.toUpper() : out;
}

QString NumberText(int n, char16_t style) {
  if (n < 1) return QString::number(n);
  switch (style) {
    case kUpperLetter: return Letters(n, 'A');
    case kLowerLetter: return Letters(n, 'a');
    case kUpperRoman: return Roman(n, true);
    case kLowerRoman: return Roman(n, false);
    default: return QString::number(n);
  }
}

// The character of \uN: N is a signed 16-bit number; other values are no characters.
QChar UnicodeChar(int param) {
  const int code = param < 0 ? param + 65536 : param;
  return code < 0 || code > 0xFFFF ? QChar(QChar::ReplacementCharacter) : QChar(char16_t(code));
}

struct FontEntry {
  QString family;
  int codePage = 0;  // 0: the document's code page
  SymbolFont symbol = SymbolFont::None;
};

// Text of a symbol font is decoded by its own table: a code page number of its own,
// below every real one.
constexpr int SymbolCodePage(SymbolFont font) { return -10 - int(font); }
SymbolFont SymbolFontOfCodePage(int codePage) { return SymbolFont(-10 - codePage); }

class Reader {
 public:
  Reader(const QByteArray& data, QTextDocument& document)
      : tokens_(data), cursor_(&document) {}

  void run();

 private:
  void handleWord(const RtfToken& token);
  void handleSymbol(int ch);
  void handleBytes(const QByteArray& bytes);
  void handleGroupEnd();

  void fontTableText(const QByteArray& bytes);
  void colorTableText(const QByteArray& bytes);
  void commitFont();
  void decodeFontName();
  const FontEntry* fontOf(int number) const;

  void addBytes(QByteArrayView bytes);
  void decodePendingBytes();
  void addText(const QString& text);
  void addText(QChar ch) { addText(QString(ch)); }
  QTextCharFormat currentFormat() const;
  void flushRun();
  void startPendingParagraph();
  void endParagraph();
  void sectionBreak();
  void endRow();
  void closeUnmarkedRow();
  void startNumbering();
  void numberingWord(Action action, const RtfToken& token, char16_t value);
  QString numberLabel();
  void finishFieldInstruction();
  void styleSheetWord(Action action, const RtfToken& token);
  void applyStyle(int key);
  // The code page of a font (the current font when `font` is -1); symbol fonts have their own.
  int codePageOf(int font) const;
  QString decode(int codePage, const QByteArray& bytes);
  void applyAlignment();
  void finish();

  RtfTokenizer tokens_;
  QTextCursor cursor_;

  State state_;
  QVector<State> stack_;
  int untrackedDepth_ = 0;  // groups opened beyond kMaxDepth
  bool rootClosed_ = false;
  bool destinationMark_ = false;  // \* seen: the next control word starts an unknown destination
  int skipLeft_ = 0;              // fallback characters still to drop after \uN

  // Code pages and tables.
  int documentCodePage_ = 1252;
  int defaultFont_ = 0;
  QHash<int, FontEntry> fonts_;
  bool fontOpen_ = false;
  int fontNumber_ = 0;
  int fontCodePage_ = 0;
  bool fontSymbolCharset_ = false;
  QByteArray fontName_;  // bytes of the name not yet decoded
  QString fontNameText_;
  QVector<QColor> colors_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colorSet_ = false;

  // Text waiting to enter the document.
  QByteArray pendingBytes_;
  int pendingCodePage_ = 1252;
  std::map<int, CodePageDecoder> decoders_;
  QString run_;
  QTextCharFormat runFormat_;
  bool formatDirty_ = true;

  // Paragraph and table structure. A paragraph mark only becomes a new block when
  // more content follows, so the mark that ends the last paragraph adds no empty one.
  bool paragraphPending_ = false;
  bool blockAligned_ = false;
  Qt::Alignment blockAlign_ = Qt::AlignLeft;
  bool rowOpen_ = false;
  int cellsPending_ = 0;         // \cell marks not yet written as tabs
  bool cellBreakPending_ = false;  // \par inside a cell: a space if the cell goes on
  bool rowHasCells_ = false;       // a \cell since the row began

  // The style sheet, and the style whose words are being read.
  QHash<int, StyleDef> styles_;
  int styleEntry_ = -1;

  // Fields: the instruction being read, and the link targets met so far.
  QByteArray fieldInstruction_;
  QStringList links_;

  // Numbered paragraphs. A paragraph's number comes from its \listtext or \pntext when it
  // has one, else from its \pn properties.
  bool paragraphStarted_ = false;  // the paragraph has shown text
  bool listTextSeen_ = false;      // \listtext or \pntext since the last paragraph mark
  Numbering numbering_;            // \pn of the current paragraph (\pard clears it)
  Numbering lastNumbering_;        // \pn of the previous paragraph
  int number_ = 0;                 // the last number shown in the current list
  int footnotes_ = 0;
};

void Reader::run() {
  stack_.reserve(64);
  for (;;) {
    const RtfToken token = tokens_.next();
    if (token.kind == RtfToken::End) break;

    const bool marked = destinationMark_;
    destinationMark_ = false;

    if (token.kind == RtfToken::GroupStart || token.kind == RtfToken::GroupEnd) {
      skipLeft_ = 0;
      decodePendingBytes();
      if (token.kind == RtfToken::GroupStart) {
        if (stack_.size() < kMaxDepth) {
          stack_.push_back(state_);
        } else {
          ++untrackedDepth_;
        }
      } else {
        handleGroupEnd();
        if (rootClosed_) break;  // the document ends with its outermost group
      }
      continue;
    }

    if (state_.dest == Dest::Skip) {
      if (token.kind == RtfToken::Word && token.name == "bin" && token.hasParam) {
        tokens_.skipBytes(token.param);
      }
      continue;
    }

    // Fallback characters of the last \uN: each byte, \'hh or control word counts as one.
    if (skipLeft_ > 0) {
      if (token.kind == RtfToken::Text) {
        const int drop = qMin<qsizetype>(skipLeft_, token.name.size());
        skipLeft_ -= drop;
        if (drop < token.name.size()) handleBytes(token.name.mid(drop));
        continue;
      }
      --skipLeft_;
      if (token.kind == RtfToken::Word && token.name == "bin" && token.hasParam) {
        tokens_.skipBytes(token.param);
      }
      continue;
    }

    switch (token.kind) {
      case RtfToken::Text:
        handleBytes(token.name);
        break;
      case RtfToken::HexByte:
        if (state_.dest == Dest::Body) {
          const char byte = static_cast<char>(token.param);
          addBytes(QByteArrayView(&byte, 1));
        } else if (state_.dest == Dest::FontTable && fontOpen_) {
          fontName_ += static_cast<char>(token.param);
        } else if (state_.dest != Dest::ColorTable) {
          handleBytes(QByteArray(1, static_cast<char>(token.param)));
        }
        break;
      case RtfToken::Word:
        decodePendingBytes();
        // \* marks a destination a reader may not know: only an unknown word is skipped.
        if (marked && !ControlWords().contains(token.name)) {
          state_.dest = Dest::Skip;
          break;
        }
        handleWord(token);
        break;
      case RtfToken::Symbol:
        decodePendingBytes();
        handleSymbol(token.param);
        break;
      default:
        break;
    }
  }
  finish();
}

void Reader::handleGroupEnd() {
  if (untrackedDepth_ > 0) {
    --untrackedDepth_;
    return;
  }
  if (stack_.isEmpty()) {
    rootClosed_ = true;
    return;
  }
  if (state_.dest == Dest::FontTable) commitFont();
  const bool instructionEnds =
      state_.dest == Dest::FieldInstruction && stack_.back().dest != Dest::FieldInstruction;
  if (state_.dest == Dest::StyleSheet) styleEntry_ = -1;  // a style's group ends the style
  if (state_.dest == Dest::ColorTable && stack_.back().dest != Dest::ColorTable && colorSet_) {
    colors_.push_back(QColor(red_, green_, blue_));  // a last entry without its ';'
    colorSet_ = false;
  }
  state_ = stack_.back();
  stack_.pop_back();
  formatDirty_ = true;
  if (instructionEnds) finishFieldInstruction();
  if (stack_.isEmpty()) rootClosed_ = true;
}

void Reader::handleBytes(const QByteArray& bytes) {
  switch (state_.dest) {
    case Dest::Body:
      addBytes(bytes);
      break;
    case Dest::FontTable:
      fontTableText(bytes);
      break;
    case Dest::ColorTable:
      colorTableText(bytes);
      break;
    case Dest::FieldInstruction:
      if (fieldInstruction_.size() < 65536) fieldInstruction_ += bytes;
      break;
    case Dest::StyleSheet:
      if (bytes.contains(';')) styleEntry_ = -1;  // the style's name ends it
      break;
    case Dest::NumberText: {
      QByteArray& text = state_.numberAfter ? numbering_.after : numbering_.before;
      if (text.size() < 64) text += bytes;
      break;
    }
    case Dest::Skip:
    case Dest::Numbering:
      break;
  }
}

void Reader::handleSymbol(int ch) {
  if (state_.dest != Dest::Body) {
    if (ch == '*') destinationMark_ = true;
    return;
  }
  switch (ch) {
    case '*': destinationMark_ = true; break;
    case '~': addText(QChar(0x00A0)); break;
    case '_': addText(QChar(0x2011)); break;
    case '\t': addText(QChar('\t')); break;
    case '-': addText(QChar(0x00AD)); break;  // optional hyphen: the soft hyphen
    default: break;  // \| \: (index and formula marks): nothing to show
  }
}

void Reader::handleWord(const RtfToken& token) {
  const auto it = ControlWords().constFind(token.name);
  if (it == ControlWords().constEnd()) return;  // unknown control words are ignored
  const Action action = it->action;
  const int param = token.param;
  const bool on = !token.hasParam || param != 0;

  // Words that mean the same in every destination.
  switch (action) {
    case Action::Binary:
      if (token.hasParam) tokens_.skipBytes(param);
      return;
    case Action::UnicodeSkip:
      state_.unicodeSkip = qBound(0, param, kMaxUnicodeSkip);
      return;
    case Action::SkipDestination:
      state_.dest = Dest::Skip;
      return;
    default:
      break;
  }

  if (state_.dest == Dest::FontTable) {
    switch (action) {
      case Action::Font:
        commitFont();
        fontOpen_ = true;
        fontNumber_ = param;
        fontCodePage_ = 0;
        fontSymbolCharset_ = false;
        fontName_.clear();
        fontNameText_.clear();
        break;
      case Action::FontCharset:
        if (fontOpen_) {
          fontCodePage_ = CodePageForCharset(param);
          fontSymbolCharset_ = param == 2;
        }
        break;
      case Action::FontCodePage:
        if (fontOpen_) fontCodePage_ = KnownCodePage(param);
        break;
      case Action::Unicode:
        if (fontOpen_ && token.hasParam) {
          decodeFontName();
          fontNameText_ += UnicodeChar(param);
        }
        skipLeft_ = state_.unicodeSkip;
        break;
      default:
        break;
    }
    return;
  }
  if (state_.dest == Dest::Numbering || state_.dest == Dest::NumberText) {
    numberingWord(action, token, it->ch);
    return;
  }
  if (state_.dest == Dest::FieldInstruction) return;
  if (state_.dest == Dest::StyleSheet) {
    styleSheetWord(action, token);
    return;
  }
  if (state_.dest == Dest::ColorTable) {
    const int value = qBound(0, param, 255);
    switch (action) {
      case Action::Red: red_ = value; colorSet_ = true; break;
      case Action::Green: green_ = value; colorSet_ = true; break;
      case Action::Blue: blue_ = value; colorSet_ = true; break;
      default: break;
    }
    return;
  }

  switch (action) {
    case Action::Par: endParagraph(); break;
    case Action::SectionBreak: sectionBreak(); break;
    case Action::FieldInstruction:
      state_.dest = Dest::FieldInstruction;
      fieldInstruction_.clear();
      break;
    case Action::FieldResult: break;  // body text, in the link of its field if any
    case Action::ListText: listTextSeen_ = true; break;
    case Action::Numbering: startNumbering(); break;
    case Action::FootnoteMark: addText(QString::number(++footnotes_)); break;
    case Action::StyleSheet: state_.dest = Dest::StyleSheet; break;
    case Action::ParagraphStyle: applyStyle(StyleKey(false, param)); break;
    case Action::CharacterStyle: applyStyle(StyleKey(true, param)); break;
    case Action::Super: state_.position = Position::Super; formatDirty_ = true; break;
    case Action::Sub: state_.position = Position::Sub; formatDirty_ = true; break;
    case Action::NoSuperSub: state_.position = Position::Normal; formatDirty_ = true; break;
    case Action::Up:
      state_.position = on ? Position::Super : Position::Normal;
      formatDirty_ = true;
      break;
    case Action::Down:
      state_.position = on ? Position::Sub : Position::Normal;
      formatDirty_ = true;
      break;
    case Action::Highlight: state_.highlight = param; formatDirty_ = true; break;
    case Action::Background: state_.background = param; formatDirty_ = true; break;
    case Action::Line: addText(QChar(QChar::LineSeparator)); break;
    case Action::Tab: addText(QChar('\t')); break;
    case Action::Cell:
      flushRun();
      rowOpen_ = true;
      rowHasCells_ = true;
      cellBreakPending_ = false;
      ++cellsPending_;
      break;
    case Action::NestCell: addText(QChar('\t')); break;
    case Action::Row: endRow(); break;
    case Action::RowStart: rowOpen_ = true; break;
    case Action::InTable:
      rowOpen_ = true;
      state_.inTable = true;
      break;
    case Action::Pard:
      state_.align = Qt::AlignLeft;
      state_.inTable = false;
      numbering_ = Numbering();
      break;
    case Action::Plain: {
      const State reset;
      state_.bold = reset.bold;
      state_.italic = reset.italic;
      state_.underline = reset.underline;
      state_.strike = reset.strike;
      state_.hidden = reset.hidden;
      state_.font = reset.font;
      state_.halfPoints = reset.halfPoints;
      state_.color = reset.color;
      state_.highlight = reset.highlight;
      state_.background = reset.background;
      state_.position = reset.position;
      formatDirty_ = true;
      break;
    }
    case Action::Bold: state_.bold = on; formatDirty_ = true; break;
    case Action::Italic: state_.italic = on; formatDirty_ = true; break;
    case Action::Underline: state_.underline = on; formatDirty_ = true; break;
    case Action::UnderlineNone: state_.underline = false; formatDirty_ = true; break;
    case Action::Strike: state_.strike = on; formatDirty_ = true; break;
    case Action::Hidden: state_.hidden = on; break;
    case Action::Font:
      if (token.hasParam) state_.font = param;
      formatDirty_ = true;
      break;
    case Action::FontSize:
      state_.halfPoints =
          token.hasParam ? qBound(kMinHalfPoints, param, kMaxHalfPoints) : kDefaultHalfPoints;
      formatDirty_ = true;
      break;
    case Action::Color: state_.color = param; formatDirty_ = true; break;
    case Action::AlignLeft: state_.align = Qt::AlignLeft; break;
    case Action::AlignCenter: state_.align = Qt::AlignHCenter; break;
    case Action::AlignRight: state_.align = Qt::AlignRight; break;
    case Action::AlignJustify: state_.align = Qt::AlignJustify; break;
    case Action::Unicode: {
      if (!token.hasParam) break;
      QChar ch = UnicodeChar(param);
      // A symbol font's private-use characters show what its bytes show.
      if (const int codePage = codePageOf(-1); codePage < 0 && ch.unicode() >= 0xF020 &&
                                                ch.unicode() <= 0xF0FF) {
        ch = QChar(SymbolChar(SymbolFontOfCodePage(codePage), ch.unicode()));
      }
      addText(ch);
      skipLeft_ = state_.unicodeSkip;
      break;
    }
    case Action::Ansi: documentCodePage_ = 1252; break;
    case Action::Mac: documentCodePage_ = 10000; break;
    case Action::Pc: documentCodePage_ = 437; break;
    case Action::Pca: documentCodePage_ = 850; break;
    case Action::AnsiCodePage: documentCodePage_ = KnownCodePage(param); break;
    case Action::DefaultFont: defaultFont_ = param; formatDirty_ = true; break;
    case Action::FontTable: state_.dest = Dest::FontTable; break;
    case Action::ColorTable:
      state_.dest = Dest::ColorTable;
      colors_.clear();
      colorSet_ = false;
      break;
    case Action::Char: addText(QChar(it->ch)); break;
    default: break;
  }
}

void Reader::fontTableText(const QByteArray& bytes) {
  if (!fontOpen_) return;
  for (char byte : bytes) {
    if (byte == ';') {
      commitFont();
    } else {
      fontName_ += byte;
    }
  }
}

void Reader::decodeFontName() {
  if (fontName_.isEmpty()) return;
  const int codePage = fontCodePage_ != 0 ? fontCodePage_ : documentCodePage_;
  fontNameText_ += CodePageDecoder(codePage).decode(fontName_);
  fontName_.clear();
}

void Reader::commitFont() {
  if (!fontOpen_) return;
  fontOpen_ = false;
  decodeFontName();
  const QString family = fontNameText_.trimmed();
  fontNameText_.clear();
  if (family.isEmpty()) return;
  fonts_.insert(fontNumber_,
                FontEntry{family, fontCodePage_, SymbolFontOf(family, fontSymbolCharset_)});
  formatDirty_ = true;
}

void Reader::colorTableText(const QByteArray& bytes) {
  for (char byte : bytes) {
    if (byte != ';') continue;
    // An entry without components is the automatic colour (usually the first).
    colors_.push_back(colorSet_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    colorSet_ = false;
  }
}

// The font of `number`; a number missing from the font table means the default font.
const FontEntry* Reader::fontOf(int number) const {
  auto it = fonts_.constFind(number);
  if (it == fonts_.constEnd()) it = fonts_.constFind(defaultFont_);
  return it == fonts_.constEnd() ? nullptr : &*it;
}

int Reader::codePageOf(int font) const {
  const FontEntry* entry = fontOf(font >= 0 ? font : state_.font >= 0 ? state_.font : defaultFont_);
  if (entry == nullptr) return documentCodePage_;
  if (entry->symbol != SymbolFont::None) return SymbolCodePage(entry->symbol);
  return entry->codePage != 0 ? entry->codePage : documentCodePage_;
}

QString Reader::decode(int codePage, const QByteArray& bytes) {
  if (codePage < 0) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
      text[i] = QChar(SymbolChar(SymbolFontOfCodePage(codePage),
                                 static_cast<unsigned char>(bytes[i])));
    }
    return text;
  }
  auto it = decoders_.find(codePage);
  if (it == decoders_.end()) it = decoders_.emplace(codePage, CodePageDecoder(codePage)).first;
  return it->second.decode(bytes);
}

void Reader::addBytes(QByteArrayView bytes) {
  const int codePage = codePageOf(-1);
  if (codePage != pendingCodePage_) {
    decodePendingBytes();
    pendingCodePage_ = codePage;
  }
  pendingBytes_ += bytes;
}

void Reader::decodePendingBytes() {
  if (pendingBytes_.isEmpty()) return;
  const QString text = decode(pendingCodePage_, pendingBytes_);
  pendingBytes_.clear();
  addText(text);
}

QTextCharFormat Reader::currentFormat() const {
  QTextCharFormat format;
  format.setFontWeight(state_.bold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(state_.italic);
  format.setFontUnderline(state_.underline);
  format.setFontStrikeOut(state_.strike);
  if (const FontEntry* font = fontOf(state_.font >= 0 ? state_.font : defaultFont_)) {
    format.setFontFamilies(QStringList{font->family});
  }
  format.setFontPointSize(state_.halfPoints / 2.0);
  if (state_.color > 0 && state_.color < colors_.size() && colors_[state_.color].isValid()) {
    format.setForeground(colors_[state_.color]);
  }
  if (state_.position != Position::Normal) {
    format.setVerticalAlignment(state_.position == Position::Super
                                    ? QTextCharFormat::AlignSuperScript
                                    : QTextCharFormat::AlignSubScript);
  }
  // A highlight shows over the character shading.
  const int background = state_.highlight > 0 ? state_.highlight : state_.background;
  if (background > 0 && background < colors_.size() && colors_[background].isValid()) {
    format.setBackground(colors_[background]);
  }
  if (state_.link >= 0) {
    format.setAnchor(true);
    format.setAnchorHref(links_[state_.link]);
  }
  return format;
}

void Reader::styleSheetWord(Action action, const RtfToken& token) {
  switch (action) {
    case Action::ParagraphStyle:
    case Action::CharacterStyle:
      styleEntry_ = StyleKey(action == Action::CharacterStyle, token.param);
      styles_[styleEntry_] = StyleDef();
      return;
    case Action::OtherStyle: styleEntry_ = -1; return;  // table and section styles
    case Action::BasedOn:
      if (styleEntry_ >= 0) styles_[styleEntry_].basedOn = StyleKey(styleEntry_ % 2, token.param);
      return;
    // The formatting a style gives its text.
    case Action::Bold: case Action::Italic: case Action::Underline: case Action::UnderlineNone:
    case Action::Strike: case Action::Hidden: case Action::Font: case Action::FontSize:
    case Action::Color: case Action::Super: case Action::Sub: case Action::NoSuperSub:
    case Action::Up: case Action::Down: case Action::Highlight: case Action::Background:
    case Action::AlignLeft: case Action::AlignCenter: case Action::AlignRight:
    case Action::AlignJustify:
      if (styleEntry_ >= 0) {
        QVector<RtfToken>& words = styles_[styleEntry_].words;
        if (words.size() < kMaxStyleWords) words.push_back(token);
      }
      return;
    default: return;
  }
}

// Applies a style's formatting, the styles it is based on first; a chain that comes back on
// itself stops there.
void Reader::applyStyle(int key) {
  QVarLengthArray<const StyleDef*, kMaxStyleChain> chain;
  QVarLengthArray<int, kMaxStyleChain> keys;
  while (keys.size() < kMaxStyleChain && !keys.contains(key)) {
    const auto it = styles_.constFind(key);
    if (it == styles_.constEnd()) break;
    keys.push_back(key);
    chain.push_back(&*it);
    key = it->basedOn;
  }
  for (qsizetype i = chain.size() - 1; i >= 0; --i) {
    for (const RtfToken& word : chain[i]->words) handleWord(word);
  }
}

void Reader::finishFieldInstruction() {
  const QString target = HyperlinkTarget(decode(codePageOf(-1), fieldInstruction_));
  fieldInstruction_.clear();
  if (target.isEmpty()) return;
  // The field's group (now current) holds its result: the result is the link's text.
  if (links_.isEmpty() || links_.back() != target) links_.push_back(target);
  state_.link = int(links_.size()) - 1;
}


void Reader::startNumbering() {
  state_.dest = Dest::Numbering;
  numbering_ = Numbering();
  numbering_.on = true;
}

void Reader::numberingWord(Action action, const RtfToken& token, char16_t value) {
  switch (action) {
    case Action::NumberTextBefore:
    case Action::NumberTextAfter:
      state_.dest = Dest::NumberText;
      state_.numberAfter = action == Action::NumberTextAfter;
      (state_.numberAfter ? numbering_.after : numbering_.before).clear();
      break;
    case Action::NumberStyle: numbering_.style = value; break;
    case Action::NumberLevel:
      numbering_.level = value != 0 ? value : qBound(1, token.param, 9);
      break;
    case Action::NumberBullet: numbering_.bullet = true; break;
    case Action::NumberStart: numbering_.start = qBound(0, token.param, 32767); break;
    case Action::NumberFont: numbering_.font = token.param; break;
    default: break;
  }
}

// The label of a paragraph numbered by \pn alone: the text before, the number (the next
// in its list, or the list's start) and the text after, then a tab.
QString Reader::numberLabel() {
  const Numbering& n = numbering_;
  if (n.level == 11) return {};
  QString label = decode(codePageOf(n.font), n.before);
  if (!n.bullet) {
    number_ = n.sameListAs(lastNumbering_) ? number_ + 1 : n.start;
    label += NumberText(number_, n.style);
  }
  label += decode(codePageOf(n.font), n.after);
  return label + QChar('\t');
}

void Reader::sectionBreak() {
  // A section or page break right after a paragraph mark ends no further paragraph.
  if (paragraphPending_ && !paragraphStarted_) return;
  endParagraph();
}

// A paragraph outside the table ends a row that was not closed by \row.
void Reader::closeUnmarkedRow() {
  if (rowOpen_ && rowHasCells_ && !state_.inTable) endRow();
}

void Reader::addText(const QString& text) {
  if (state_.dest != Dest::Body || state_.hidden || text.isEmpty()) return;
  closeUnmarkedRow();
  if (formatDirty_) {
    formatDirty_ = false;
    QTextCharFormat format = currentFormat();
    if (format != runFormat_) {
      flushRun();
      runFormat_ = std::move(format);
    }
  }
  startPendingParagraph();
  if (cellsPending_ > 0) {
    run_ += QString(cellsPending_, QChar('\t'));
    cellsPending_ = 0;
    cellBreakPending_ = false;
  } else if (cellBreakPending_) {
    run_ += QChar(' ');
    cellBreakPending_ = false;
  }
  applyAlignment();
  if (!paragraphStarted_) {
    paragraphStarted_ = true;
    if (numbering_.on && !listTextSeen_) run_ += numberLabel();
  }
  // U+2029 in run_ marks the reader's own paragraph ends; one in the text is a line break.
  if (text.contains(QChar::ParagraphSeparator)) {
    run_ += QString(text).replace(QChar::ParagraphSeparator, QChar::LineSeparator);
  } else {
    run_ += text;
  }
}

// True for a character a text block cannot hold as it is: a control (other than tab), a
// surrogate (paired ones are checked one by one), a noncharacter, the object mark.
inline bool NeedsCleaning(char16_t ch) {
  if (ch < 0x20) return ch != '\t';
  if (ch < 0xD800) return ch == 0x7F;
  return ch <= 0xDFFF || (ch >= 0xFDD0 && ch <= 0xFDEF) || ch >= 0xFFFE ||
         ch == QChar::ObjectReplacementCharacter;
}

// Inserts the pending text, paragraph ends included, in one call: Qt then creates the
// blocks itself, each with the block format of the one before.
void Reader::flushRun() {
  if (run_.isEmpty()) return;
  const char16_t* begin = reinterpret_cast<const char16_t*>(run_.constData());
  const char16_t* end = begin + run_.size();
  if (std::none_of(begin, end, NeedsCleaning)) {
    cursor_.insertText(run_, runFormat_);
    run_.clear();
    return;
  }
  // Only characters a text block can hold: no controls, no frame marks, no unpaired
  // surrogates (a broken \uN pair).
  QString clean;
  clean.reserve(run_.size());
  const qsizetype n = run_.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t ch = run_.at(i).unicode();
    if (QChar::isHighSurrogate(ch)) {
      if (i + 1 < n && QChar::isLowSurrogate(run_.at(i + 1).unicode())) {
        clean += run_.at(i);
        clean += run_.at(++i);
      } else {
        clean += QChar(QChar::ReplacementCharacter);
      }
    } else if (QChar::isLowSurrogate(ch)) {
      clean += QChar(QChar::ReplacementCharacter);
    } else if ((ch < 0x20 && ch != '\t') || ch == 0x7F) {
      continue;
    } else if ((ch >= 0xFDD0 && ch <= 0xFDEF) || ch == 0xFFFE || ch == 0xFFFF ||
               ch == QChar::ObjectReplacementCharacter) {
      clean += QChar(QChar::ReplacementCharacter);
    } else {
      clean += run_.at(i);
    }
  }
  run_.clear();
  if (!clean.isEmpty()) cursor_.insertText(clean, runFormat_);
}

void Reader::startPendingParagraph() {
  if (!paragraphPending_) return;
  paragraphPending_ = false;
  run_ += QChar(QChar::ParagraphSeparator);
}

// Sets the alignment of the last paragraph (and so of the ones that follow it, which take
// its block format) when it differs.
void Reader::applyAlignment() {
  if (blockAligned_ && blockAlign_ == state_.align) return;
  flushRun();
  QTextBlockFormat format = cursor_.blockFormat();
  format.setAlignment(state_.align);
  cursor_.setBlockFormat(format);
  blockAlign_ = state_.align;
  blockAligned_ = true;
}

void Reader::endParagraph() {
  closeUnmarkedRow();
  // The paragraph's numbering is that of the list the next paragraph may continue.
  lastNumbering_ = numbering_;
  listTextSeen_ = false;
  paragraphStarted_ = false;
  if (rowOpen_) {
    // Inside a table row a paragraph mark only separates paragraphs of one cell.
    cellBreakPending_ = true;
    return;
  }
  startPendingParagraph();
  applyAlignment();
  paragraphPending_ = true;
}

void Reader::endRow() {
  startPendingParagraph();
  // The last \cell of the row ends its last cell; the ones before it separate cells.
  if (cellsPending_ > 1) run_ += QString(cellsPending_ - 1, QChar('\t'));
  cellsPending_ = 0;
  cellBreakPending_ = false;
  rowOpen_ = false;
  rowHasCells_ = false;
  paragraphStarted_ = false;
  applyAlignment();
  paragraphPending_ = true;
}

void Reader::finish() {
  decodePendingBytes();
  if (cellsPending_ > 1 && !paragraphPending_) run_ += QString(cellsPending_ - 1, QChar('\t'));
  flushRun();
}

}  // namespace

void ReadRtf(const QByteArray& data, QTextDocument& document) {
  const bool undo = document.isUndoRedoEnabled();
  document.setUndoRedoEnabled(false);
  document.clear();

  qsizetype start = 0;
  if (data.startsWith("\xEF\xBB\xBF")) start = 3;
  while (start < data.size() && std::isspace(static_cast<unsigned char>(data[start]))) ++start;
  if (data.mid(start, 5) != "{\\rtf") {
    QString text = DecodePlainText(data);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    document.setPlainText(text);
  } else {
    QTextCursor editBlock(&document);
    editBlock.beginEditBlock();  // one change notification for a view showing the document
    Reader(start == 0 ? data : data.mid(start), document).run();
    editBlock.endEditBlock();
  }
  document.setUndoRedoEnabled(undo);
  document.setModified(false);  // a freshly loaded document has no edits
}

}  // namespace quorvik::rtf
