#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "doc_summary.h"
#include "rtf/rtf.h"

namespace quorvik::rtf::test {
namespace {

// Blocks joined by '\n'; line breaks stay U+2028 and no-break spaces stay U+00A0.
QString BlockText(const QTextDocument& document) {
  QStringList blocks;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    blocks << block.text();
  }
  return blocks.join('\n');
}

QString ReadText(const QByteArray& rtf) {
  QTextDocument document;
  ReadRtf(rtf, document);
  return BlockText(document);
}

struct TextCase {
  const char* name;
  QByteArray rtf;
  QString expected;
};

const QByteArray kHeader = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}";
const QByteArray kSymbols =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}{\\f2 Wingdings;}"
    "{\\f3\\fcharset2 Webdings;}{\\f4 symbol;}{\\f5\\fcharset0 Symbol;}}";

// Text and paragraph structure recovered from hand-written RTF, and other files as plain text.
TEST(RtfReader, RecoversTextOfEachConstruct) {
  const TextCase cases[] = {
      {"paragraphs", kHeader + "One\\par Two\\par}", "One\nTwo"},
      {"final paragraph without mark", kHeader + "One\\par Two}", "One\nTwo"},
      {"empty paragraph kept", kHeader + "One\\par\\par Two\\par}", "One\n\nTwo"},
      {"trailing empty paragraph kept", kHeader + "One\\par\\par}", "One\n"},
      {"empty document", kHeader + "}", ""},
      {"line and tab", kHeader + "a\\line b\\tab c}", u"a\u2028b\tc"_qs},
      {"delimiting space eaten, second kept", kHeader + "\\b  x}", " x"},
      {"line ends ignored", kHeader + "a\r\nb\nc\rd}", "abcd"},
      {"backslash line end is a paragraph", kHeader + "a\\\nb}", "a\nb"},
      {"escaped specials", kHeader + "\\{x\\} a\\\\b}", "{x} a\\b"},
      {"hex bytes in Windows-1252", kHeader + "caf\\'e9 \\'80 \\'93q\\'94}", u"café € “q”"_qs},
      {"hex bytes in code page 1251", "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", u"При"_qs},
      {"font charset picks code page",
       "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}}a\\f1\\'e0\\f0\\'e0}",
       u"aаà"_qs},
      {"double-byte code page", "{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'82\\'a2}", u"あい"_qs},
      {"mac code page", "{\\rtf1\\mac \\'8e}", u"é"_qs},
      {"unknown code page read as 1252", "{\\rtf1\\ansi\\ansicpg4242 \\'e9}", u"é"_qs},
      {"symbol font by name", kSymbols + "\\f4\\'b7\\f2\\'a7\\'76\\'d8\\'fc}", u"•▪❖➢✓"_qs},
      {"symbol font private use", kSymbols + "\\f1\\u-3913?\\u-3947?\\f2\\u-3929?}", u"••▪"_qs},
      {"symbol font without table keeps private use", kSymbols + "\\f3\\'61\\u-3999?\\'95}",
       u"\uF061\uF061•"_qs},
      {"private use of other fonts kept", kSymbols + "\\u-3913?}", u"\uF0B7"_qs},
      {"a font given a text character set is no symbol font", kSymbols + "\\f5 a\\'b7\\u-3913?}",
       u"a·\uF0B7"_qs},
      {"symbol pn bullet", kSymbols + "\\pard{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}a}", u"•\ta"_qs},
      {"unicode with default fallback", kHeader + "\\u937?\\u-3937?x}", u"Ω\uF09Fx"_qs},
      {"unicode fallback of two", kHeader + "\\uc2\\u937\\'80\\'81x}", u"Ωx"_qs},
      {"unicode without fallback", kHeader + "\\uc0\\u937 x}", u"Ωx"_qs},
      {"unicode fallback ends at group", kHeader + "{\\uc3\\u937 a}b}", u"Ωb"_qs},
      {"unicode fallback counts control word", kHeader + "\\u937\\'3fz}", u"Ωz"_qs},
      {"surrogate pair", kHeader + "\\u-10179?\\u-8704?}", u"\U0001F600"_qs},
      {"lone surrogate replaced", kHeader + "\\u-10179?x}", u"\uFFFDx"_qs},
      {"frame markers replaced", kHeader + "\\u-560?\\u-559?}", u"\uFFFD\uFFFD"_qs},
      {"paragraph separator becomes line break", kHeader + "a\\u8233?b}", u"a\u2028b"_qs},
      {"control characters dropped", kHeader + "a\\u0?\\u7?\\'01b}", "ab"},
      {"special symbols", kHeader + "a\\~b\\_c\\-d}", u"a\u00A0b\u2011c\u00ADd"_qs},
      {"character words", kHeader + "\\lquote a\\rquote \\ldblquote b\\rdblquote \\emdash\\endash\\bullet}",
       u"‘a’“b”—–•"_qs},
      {"unknown words ignored", kHeader + "a\\foo12 b\\bar c}", "abc"},
      {"font table names not shown", "{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1 Times;}x}", "x"},
      {"colour table not shown", kHeader + "{\\colortbl;\\red1\\green2\\blue3;}x}", "x"},
      {"style sheet skipped", kHeader + "{\\stylesheet{\\s0 Normal;}}x}", "x"},
      {"info skipped", kHeader + "{\\info{\\title T}{\\author A}}x}", "x"},
      {"picture hex skipped", kHeader + "a{\\pict\\pngblip 89504e47}b}", "ab"},
      {"binary data skipped", kHeader + "a{\\pict\\bin4 {}\\\\b}c}", "ac"},
      {"binary in body skipped", kHeader + "a\\bin3 xyzb}", "ab"},
      {"binary longer than file", kHeader + "a\\bin999999999 xyz", "a"},
      {"headers and footers skipped", kHeader + "{\\header H}{\\footerr F}body}", "body"},
      {"field instruction without star", kHeader + "{\\field{\\fldinst PAGE}{\\fldrslt 3}}}", "3"},
      {"hidden text dropped", kHeader + "a{\\v hidden}b\\v c\\v0 d}", "abd"},
      {"list text kept", kHeader + "{\\listtext 1.\\tab}Item}", "1.\tItem"},
      {"pn letters and roman",
       kHeader + "\\pard{\\*\\pn\\pnlcltr\\pnstart26}a\\par\\pard{\\*\\pn\\pnlcltr}b\\par\\pard "
                 "{\\*\\pn\\pnlvl2\\pnucrm\\pnstart1994{\\pntxtb (}{\\pntxta )}}c\\par}",
       "z\ta\naa\tb\n(MCMXCIV)\tc"},
      {"list text after pn replaces its number",
       kHeader + "\\pard{\\*\\pn\\pndec{\\pntxta .}}{\\pntext 4)\\tab}a\\par}", "4)\ta"},
      {"pn bullet", kHeader + "\\pard{\\*\\pn\\pnlvlblt{\\pntxtb -}}a\\par}", "-\ta"},
      {"table rows", kHeader + "\\trowd\\cellx1\\cellx2 \\intbl a\\cell b\\cell\\row "
                               "\\trowd\\intbl c\\cell d\\cell\\row After\\par}",
       "a\tb\nc\td\nAfter"},
      {"table empty cells kept",
       kHeader + "\\trowd\\intbl \\cell b\\cell \\cell\\row}", "\tb\t"},
      {"table paragraphs in a cell",
       kHeader + "\\trowd{\\pard\\intbl a\\par}\\cell{\\pard\\intbl b\\par c\\par}\\cell\\row}",
       "a\tb c"},
      {"nested cell", kHeader + "\\trowd\\intbl a\\nestcell b\\cell\\row}", "a\tb"},
      {"unbalanced closing brace ends document", kHeader + "a}b}", "a"},
      {"unclosed groups", kHeader + "{a{b{c", "abc"},
      {"truncated control word", kHeader + "ab\\", "ab"},
      {"truncated hex byte", kHeader + "ab\\'4", "ab"},
      {"leading whitespace before header", "\r\n {\\rtf1 x}", "x"},
      {"form feeds before header (fuzz)", "\f\v\f{\\rtf1 x\\'01}", "x"},
      {"text after the document ignored", "{\\rtf1 x}trailing", "x"},
      // Files that are not RTF are shown as plain text.
      {"ascii", "hello\nworld", "hello\nworld"},
      {"windows line ends", "a\r\nb\rc", "a\nb\nc"},
      {"utf-8", "caf\xC3\xA9", u"café"_qs},
      {"utf-8 with mark", "\xEF\xBB\xBF" "caf\xC3\xA9", u"café"_qs},
      {"utf-16 little-endian", QByteArray("\xFF\xFE" "a\0\xE9\0", 6), u"aé"_qs},
      {"utf-16 big-endian", QByteArray("\xFE\xFF\0a\0\xE9", 6), u"aé"_qs},
      {"invalid utf-8 is windows-1252", "caf\xE9 \x80", u"café €"_qs},
      {"rtf control words shown as they are", "\\rtf1 {\\b x}", "\\rtf1 {\\b x}"},
      {"empty file", "", ""},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(ReadText(c.rtf), c.expected) << c.name;
  }
}

// A HYPERLINK field's result is a link to its target; other fields are plain text.
TEST(RtfReader, KeepsLinkTargets) {
  const struct {
    QByteArray instruction;
    QString target;
  } cases[] = {
      {"HYPERLINK \"http://x.org/a b\"", "http://x.org/a b"},
      {"HYPERLINK http://x.org/", "http://x.org/"},
      {"{\\b HYPERLINK} {\"http://x.org/\"}", "http://x.org/"},
      {"hyperlink \\\\l \"part\" \\\\o \"tip\" \"doc.html\"", "doc.html#part"},
      {"HYPERLINK \"a\\\\\\\\b\\\\\"c\"", "a\\b\"c"},
      {"HYPERLINK \"caf\\'e9\"", u"café"_qs},
      {"PAGE", ""},
  };
  for (const auto& c : cases) {
    QTextDocument document;
    ReadRtf(kHeader + "a{\\field{\\*\\fldinst " + c.instruction + "}{\\fldrslt link}}b}", document);
    EXPECT_EQ(Summarize(document).value(0).runs.value(1).link, c.target) << c.instruction.data();
    EXPECT_EQ(document.toPlainText(), "alinkb");
  }
}

// Character formatting of one piece of text, one case per control word: the flags (b i u s,
// ^ raised, _ lowered), the font (Arial when none), the size (12 when 0), the colour and
// background (indexes of kColors).
TEST(RtfReader, KeepsCharacterFormatting) {
  const QByteArray header =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
      "{\\stylesheet{\\s1\\b\\f1\\fs32 H;}{\\s2\\sbasedon1\\i\\cf1 S;}{\\*\\cs1\\super\\highlight2 C;}{\\*\\ts1\\b T;}}";
  const QColor kColors[] = {QColor(), QColor(255, 0, 0), QColor(0, 0, 255)};
  const struct {
    const char* name;
    QByteArray body;  // holds the text "X" once
    const char* flags;
    const char* family;
    double points;
    int color, background;
  } cases[] = {
      {"plain", "X", "", nullptr, 0, 0, 0},
      {"bold", "\\b X", "b", nullptr, 0, 0, 0},
      {"bold off", "\\b\\b0 X", "", nullptr, 0, 0, 0},
      {"italic", "\\i X", "i", nullptr, 0, 0, 0},
      {"underline", "\\ul X", "u", nullptr, 0, 0, 0},
      {"double underline", "\\uldb X", "u", nullptr, 0, 0, 0},
      {"underline none", "\\ul\\ulnone X", "", nullptr, 0, 0, 0},
      {"underline zero", "\\ul\\ul0 X", "", nullptr, 0, 0, 0},
      {"underline colour is not underline", "\\ulc1 X", "", nullptr, 0, 0, 0},
      {"strike", "\\strike X", "s", nullptr, 0, 0, 0},
      {"double strike", "\\striked1 X", "s", nullptr, 0, 0, 0},
      {"font", "\\f1 X", "", "Courier New", 0, 0, 0},
      {"unknown font number is the default font", "\\f1\\f9 X", "", nullptr, 0, 0, 0},
      {"size in half points", "\\fs21 X", "", nullptr, 10.5, 0, 0},
      {"huge size clamped", "\\fs99999999999 X", "", nullptr, 1638, 0, 0},
      {"zero size clamped", "\\fs0 X", "", nullptr, 1, 0, 0},
      {"colour", "\\cf2 X", "", nullptr, 0, 2, 0},
      {"automatic colour", "\\cf1\\cf0 X", "", nullptr, 0, 0, 0},
      {"colour out of table", "\\cf77 X", "", nullptr, 0, 0, 0},
      {"group restores", "{\\b\\i\\f1 a}X", "", nullptr, 0, 0, 0},
      {"paragraph style", "\\s1 X", "b", "Courier New", 16, 0, 0},
      {"style based on style", "\\s2 X", "bi", "Courier New", 16, 1, 0},
      {"character style numbered apart", "\\cs1 X", "^", nullptr, 0, 0, 2},
      {"direct formatting after style", "\\s1\\b0\\fs20 X", "", "Courier New", 10, 0, 0},
      {"table style and unknown style ignored", "\\ts1\\s9 X", "", nullptr, 0, 0, 0},
      {"position off", "\\super\\nosupersub X", "", nullptr, 0, 0, 0},
      {"raised by nothing", "\\up0 X", "", nullptr, 0, 0, 0},
      {"shading", "\\cb2 X", "", nullptr, 0, 0, 2},
      {"highlight over shading", "\\chcbpat2\\highlight1 X", "", nullptr, 0, 0, 1},
      {"highlight off", "\\highlight1\\highlight0 X", "", nullptr, 0, 0, 0},
      {"plain resets all", "\\b\\i\\ul\\strike\\f1\\fs40\\cf1\\super\\highlight1\\plain X", "",
       nullptr, 0, 0, 0},
      {"all together", "\\b\\i\\ul\\strike\\f1\\fs40\\cf1 X", "bius", "Courier New", 20, 1, 0},
  };
  for (const auto& c : cases) {
    QTextDocument document;
    ReadRtf(header + c.body + "}", document);
    const QByteArray flags = c.flags;
    Style expected;
    expected.bold = flags.contains('b');
    expected.italic = flags.contains('i');
    expected.underline = flags.contains('u');
    expected.strike = flags.contains('s');
    expected.position = flags.contains('^')   ? Position::Super
                        : flags.contains('_') ? Position::Sub
                                              : Position::Normal;
    expected.family = c.family ? c.family : "Arial";
    expected.points = c.points > 0 ? c.points : 12;
    expected.color = kColors[c.color];
    expected.background = kColors[c.background];
    std::string error;
    const std::optional<Style> style = StyleOfText(document, "X", &error);
    ASSERT_TRUE(style) << c.name << ": " << error;
    EXPECT_EQ(*style, expected) << c.name;
  }
}

TEST(RtfReader, ReplacesEarlierContentAsAnUnmodifiedDocument) {
  QTextDocument document;
  document.setPlainText("old text");
  document.setModified(true);
  ReadRtf(kHeader + "new}", document);
  EXPECT_EQ(document.toPlainText(), "new");
  EXPECT_TRUE(document.isUndoRedoEnabled());
  EXPECT_FALSE(document.isUndoAvailable()) << "loading is not an undoable edit";
  EXPECT_FALSE(document.isModified());
}

// Hostile inputs: each must read with the visible text intact (and finish: a hang is caught
// by the test's time limit, a slow reading by bench/rtf/bench_rtf).
TEST(RtfReader, SurvivesHostileInput) {
  struct Case {
    const char* name;
    QByteArray rtf;
    QString expectedStart;
  };
  const Case cases[] = {
      {"deep nesting", kHeader + QByteArray(200000, '{') + "deep" + QByteArray(200000, '}') +
                           "after}",
       "deepafter"},
      {"deep nesting never closed", kHeader + QByteArray(300000, '{') + "x", "x"},
      {"many unicode skips", kHeader + "\\uc16" + QByteArray("\\u65 ").repeated(100000) + "}",
       "AAAA"},
      {"many format switches", kHeader + QByteArray("{\\b a}{\\i b}").repeated(50000) + "}",
       "abab"},
      {"many paragraphs", kHeader + QByteArray("\\par ").repeated(100000) + "x}", "\n\n\n"},
      {"many fonts", "{\\rtf1{\\fonttbl" + QByteArray("{\\f1 F;}").repeated(50000) + "}x}", "x"},
      {"many colours", "{\\rtf1{\\colortbl" + QByteArray("\\red1;").repeated(100000) + "}x}",
       "x"},
      {"many code page changes",
       "{\\rtf1" + QByteArray("\\ansicpg1251\\'e0\\ansicpg932\\'82\\'a0").repeated(30000) + "}",
       u"аあ"_qs},
      {"huge parameters",
       kHeader + "\\uc99999999999\\u99999999999 \\ansicpg-99999999999\\f-2147483648"
                 "\\cf99999999999\\fs-99999999999\\bin-5 x}",
       ""},
      {"long control word", kHeader + "\\" + QByteArray(100000, 'a') + " x}", "x"},
      {"long number", kHeader + "\\b" + QByteArray(100000, '9') + " x}", "x"},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(ReadText(c.rtf).startsWith(c.expectedStart)) << c.name;
  }
}

// Random bytes after an RTF header: no crash, no hang, and whatever was read writes
// out and reads back as the same text.
TEST(RtfReader, RandomBytesReadAndRoundTrip) {
  QRandomGenerator random(20261206);
  const QByteArray alphabet = "{}\\'*abcuflqpr0123456789- ;\r\n\xe9\x80";
  for (int round = 0; round < 300; ++round) {
    QByteArray rtf = "{\\rtf1 ";
    const int length = random.bounded(1, 400);
    for (int i = 0; i < length; ++i) {
      rtf += random.bounded(4) == 0 ? char(random.bounded(256))
                                    : alphabet.at(random.bounded(alphabet.size()));
    }
    QTextDocument first;
    ReadRtf(rtf, first);
    QTextDocument second;
    ReadRtf(WriteRtf(first), second);
    ASSERT_EQ(BlockText(second), BlockText(first)) << "input: " << rtf.toHex().toStdString();
  }
}

}  // namespace
}  // namespace quorvik::rtf::test
