#include "tokenizer.h"

namespace quorvik::rtf {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

RtfToken RtfTokenizer::next() {
  RtfToken token;
  const qsizetype size = data_.size();
  const char* d = data_.constData();

  // Line ends between tokens carry no text in RTF.
  while (pos_ < size && (d[pos_] == '\r' || d[pos_] == '\n')) ++pos_;
  if (pos_ >= size) return token;

  const char c = d[pos_];
  if (c == '{') {
    ++pos_;
    token.kind = RtfToken::GroupStart;
    return token;
  }
  if (c == '}') {
    ++pos_;
    token.kind = RtfToken::GroupEnd;
    return token;
  }
  if (c != '\\') {
    const qsizetype start = pos_;
    while (pos_ < size && d[pos_] != '\\' && d[pos_] != '{' && d[pos_] != '}' && d[pos_] != '\r' &&
           d[pos_] != '\n') {
      ++pos_;
    }
    token.kind = RtfToken::Text;
    token.name = QByteArray::fromRawData(d + start, pos_ - start);
    return token;
  }

  // Backslash.
  ++pos_;
  if (pos_ >= size) return token;  // a lone backslash at the very end: nothing
  const char first = d[pos_];
  if (IsLetter(first)) {
    const qsizetype start = pos_;
    while (pos_ < size && IsLetter(d[pos_])) ++pos_;
    token.kind = RtfToken::Word;
    token.name = QByteArray::fromRawData(d + start, qMin<qsizetype>(pos_ - start, kMaxWordLength));
    bool negative = false;
    if (pos_ + 1 < size && d[pos_] == '-' && IsDigit(d[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    if (pos_ < size && IsDigit(d[pos_])) {
      long long value = 0;
      while (pos_ < size && IsDigit(d[pos_])) {
        if (value <= kMaxParam) value = value * 10 + (d[pos_] - '0');
        ++pos_;
      }
      if (value > kMaxParam) value = kMaxParam;
      token.hasParam = true;
      token.param = static_cast<int>(negative ? -value : value);
    }
    if (pos_ < size && d[pos_] == ' ') ++pos_;  // the delimiting space belongs to the word
    return token;
  }

  ++pos_;
  if (first == '\'') {
    token.kind = RtfToken::HexByte;
    int value = 0;
    for (int i = 0; i < 2 && pos_ < size; ++i) {
      const int digit = HexValue(d[pos_]);
      if (digit < 0) break;
      value = value * 16 + digit;
      ++pos_;
    }
    token.param = value;
    return token;
  }
  if (first == '\\' || first == '{' || first == '}') {
    token.kind = RtfToken::Text;
    token.name = QByteArray::fromRawData(d + pos_ - 1, 1);
    return token;
  }
  if (first == '\r' || first == '\n') {
    // A backslash before a line end is an old way of writing \par.
    token.kind = RtfToken::Word;
    token.name = QByteArray::fromRawData("par", 3);
    return token;
  }
  token.kind = RtfToken::Symbol;
  token.param = static_cast<unsigned char>(first);
  return token;
}

void RtfTokenizer::skipBytes(long long count) {
  if (count <= 0) return;
  const qsizetype left = data_.size() - pos_;
  pos_ += count < left ? static_cast<qsizetype>(count) : left;
}

}  // namespace quorvik::rtf
