#pragma once
// The control words the RTF reader acts on, each with what it does. Words not listed
// here are ignored, as RTF asks of a reader.

#include <QByteArray>
#include <QHash>

namespace quorvik::rtf {

enum class Action {
  // structure
  Par, SectionBreak, Line, Tab, Cell, Row, NestCell, RowStart, InTable, Pard, Plain,
  // fields, list numbers and notes
  FieldInstruction, FieldResult, ListText, Numbering, NumberTextBefore, NumberTextAfter,
  NumberStyle, NumberLevel, NumberBullet, NumberStart, NumberFont, FootnoteMark,
  // style sheet
  StyleSheet, ParagraphStyle, CharacterStyle, OtherStyle, BasedOn,
  // characters
  Bold, Italic, Underline, UnderlineNone, Strike, Hidden, Font, FontSize, Color,
  Super, Sub, NoSuperSub, Up, Down, Highlight, Background,
  AlignLeft, AlignCenter, AlignRight, AlignJustify,
  Unicode, UnicodeSkip, Binary,
  // code pages and tables
  Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont, FontTable, ColorTable, Red, Green, Blue,
  FontCharset, FontCodePage,
  SkipDestination,
  Char,  // a control word that stands for one character (\emdash, \bullet, ...)
};

struct WordInfo {
  Action action;
  char16_t ch = 0;  // Char: the character; NumberStyle: the numbering style
};

// Numbering styles of a paragraph number (\pn...).
enum NumberStyleKind : char16_t { kDecimal, kUpperLetter, kLowerLetter, kUpperRoman, kLowerRoman };

// Control word name (letters only) -> what the reader does with it.
const QHash<QByteArray, WordInfo>& ControlWords();

}  // namespace quorvik::rtf
