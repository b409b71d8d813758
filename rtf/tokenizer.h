#pragma once
// Splits RTF bytes into tokens. Each call to next() consumes at least one byte (or
// reports End), so a pass over the input is linear in its size whatever it holds.

#include <QByteArray>

namespace quorvik::rtf {

struct RtfToken {
  enum Kind {
    End,         // no more input
    GroupStart,  // {
    GroupEnd,    // }
    Word,        // control word: name, optional numeric parameter
    Symbol,      // control symbol other than the ones below: \~ \- \_ \* \| ...
    HexByte,     // \'hh: one byte of text in the current code page
    Text,        // a run of literal text bytes (no braces, backslashes or line ends)
  };
  Kind kind = End;
  QByteArray name;        // Word: the letters; Text: the bytes (both point into the input)
  bool hasParam = false;  // Word
  int param = 0;          // Word (clamped); Symbol: the character; HexByte: the byte
};

class RtfTokenizer {
 public:
  // Control words are at most this many letters long; longer runs of letters are
  // consumed but cut, so a word can never grow with the input.
  static constexpr int kMaxWordLength = 32;
  // Parameters are clamped to this magnitude; every user clamps further.
  static constexpr int kMaxParam = 1000000000;

  // `data` must outlive the tokenizer and the tokens it returns.
  explicit RtfTokenizer(const QByteArray& data) : data_(data) {}

  RtfToken next();
  // Skips up to `count` raw bytes (the data of \binN); never past the end.
  void skipBytes(long long count);
  bool atEnd() const { return pos_ >= data_.size(); }

 private:
  const QByteArray& data_;
  qsizetype pos_ = 0;
};

}  // namespace quorvik::rtf
