#include "control_words.h"

namespace quorvik::rtf {

const QHash<QByteArray, WordInfo>& ControlWords() {
  static const QHash<QByteArray, WordInfo> words = [] {
    QHash<QByteArray, WordInfo> w;
    const auto add = [&w](const char* name, Action action, char16_t ch = 0) {
      w.insert(QByteArray(name), WordInfo{action, ch});
    };
    add("par", Action::Par);
    add("sect", Action::SectionBreak);
    add("page", Action::SectionBreak);
    add("line", Action::Line);
    add("tab", Action::Tab);
    add("cell", Action::Cell);
    add("row", Action::Row);
    add("nestcell", Action::NestCell);
    add("trowd", Action::RowStart);
    add("intbl", Action::InTable);
    add("pard", Action::Pard);
    add("plain", Action::Plain);
    add("b", Action::Bold);
    add("i", Action::Italic);
    // Every underline style counts as underline; \ulc (its colour) is not one of them.
    for (const char* ul : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                           "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd",
                           "ulthldash", "ululdbwave", "ulw", "ulwave"}) {
      add(ul, Action::Underline);
    }
    add("ulnone", Action::UnderlineNone);
    add("strike", Action::Strike);
    add("striked", Action::Strike);
    add("v", Action::Hidden);
    add("f", Action::Font);
    add("fs", Action::FontSize);
    add("cf", Action::Color);
    add("ql", Action::AlignLeft);
    add("qc", Action::AlignCenter);
    add("qr", Action::AlignRight);
    add("qj", Action::AlignJustify);
    add("qd", Action::AlignJustify);
    add("u", Action::Unicode);
    add("uc", Action::UnicodeSkip);
    add("bin", Action::Binary);
    add("ansi", Action::Ansi);
    add("mac", Action::Mac);
    add("pc", Action::Pc);
    add("pca", Action::Pca);
    add("ansicpg", Action::AnsiCodePage);
    add("deff", Action::DefaultFont);
    add("fonttbl", Action::FontTable);
    add("colortbl", Action::ColorTable);
    add("red", Action::Red);
    add("green", Action::Green);
    add("blue", Action::Blue);
    add("fcharset", Action::FontCharset);
    add("cpg", Action::FontCodePage);
    add("fldinst", Action::FieldInstruction);
    add("fldrslt", Action::FieldResult);
    add("listtext", Action::ListText);
    add("pntext", Action::ListText);
    add("pn", Action::Numbering);
    add("pntxtb", Action::NumberTextBefore);
    add("pntxta", Action::NumberTextAfter);
    add("pndec", Action::NumberStyle, kDecimal);
    add("pnucltr", Action::NumberStyle, kUpperLetter);
    add("pnlcltr", Action::NumberStyle, kLowerLetter);
    add("pnucrm", Action::NumberStyle, kUpperRoman);
    add("pnlcrm", Action::NumberStyle, kLowerRoman);
    add("pnlvl", Action::NumberLevel);
    add("pnlvlbody", Action::NumberLevel, 10);
    add("pnlvlcont", Action::NumberLevel, 11);
    add("pnlvlblt", Action::NumberBullet);
    add("pnstart", Action::NumberStart);
    add("pnf", Action::NumberFont);
    add("chftn", Action::FootnoteMark);
    add("stylesheet", Action::StyleSheet);
    add("s", Action::ParagraphStyle);
    add("cs", Action::CharacterStyle);
    add("ds", Action::OtherStyle);
    add("ts", Action::OtherStyle);
    add("sbasedon", Action::BasedOn);
    add("super", Action::Super);
    add("sub", Action::Sub);
    add("nosupersub", Action::NoSuperSub);
    add("up", Action::Up);
    add("dn", Action::Down);
    add("highlight", Action::Highlight);
    add("cb", Action::Background);
    add("chcbpat", Action::Background);
    add("emdash", Action::Char, 0x2014);
    add("endash", Action::Char, 0x2013);
    add("lquote", Action::Char, 0x2018);
    add("rquote", Action::Char, 0x2019);
    add("ldblquote", Action::Char, 0x201C);
    add("rdblquote", Action::Char, 0x201D);
    add("bullet", Action::Char, 0x2022);
    add("emspace", Action::Char, 0x2003);
    add("enspace", Action::Char, 0x2002);
    add("qmspace", Action::Char, 0x2005);
    add("zwbo", Action::Char, 0x200B);
    add("zwnj", Action::Char, 0x200C);
    add("zwj", Action::Char, 0x200D);
    add("ltrmark", Action::Char, 0x200E);
    add("rtlmark", Action::Char, 0x200F);
    // Destinations whose content is not body text. A field's result (\fldrslt) and list
    // numbers (\listtext, \pntext) are body text: the visible text of the field and of a
    // numbered paragraph.
    for (const char* dest :
         {"info", "pict", "object", "objdata", "header", "headerl", "headerr",
          "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "pnseclvl",
          "annotation", "atnauthor", "atnid", "atnicn", "atndate", "atnref", "atrfstart",
          "atrfend", "xe", "tc", "tcn", "txe", "rxe", "ftnsep",
          "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn", "template", "filetbl",
          "nonshppict", "shpinst", "listtable", "listoverridetable", "revtbl", "rsidtbl",
          "generator", "themedata", "colorschememapping", "datastore", "latentstyles",
          "xmlnstbl", "pgdsctbl", "docvar", "userprops", "private", "mmathPr", "fchars",
          "lchars", "bkmkstart", "bkmkend", "falt", "panose", "fname", "fontemb", "fontfile",
          "comment", "title", "subject", "author", "operator", "keywords", "doccomm"}) {
      add(dest, Action::SkipDestination);
    }
    return w;
  }();
  return words;
}

}  // namespace quorvik::rtf
