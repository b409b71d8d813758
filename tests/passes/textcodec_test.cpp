// Reading documents and work files: encodings and line ends.

#include "../core/testsupport.h"

#include "passes/filepasses.h"

#include "support/files.h"

#include <QTemporaryDir>
#include <QFile>
#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

namespace quorvik {
namespace {

using Lines = std::vector<std::string>;

struct Decoding {
    const char* name;
    std::string bytes;
    Lines lines;
};

void PrintTo(const Decoding& d, std::ostream* os) { *os << d.name; }

class ReadsLines : public ::testing::TestWithParam<Decoding> {};

// Read whole or in parts of a few characters, the same lines come out.
TEST_P(ReadsLines, DecodedAndSplit)
{
    for (std::size_t most = 0; most <= 5; ++most) {  // 0: whole lines
        TextFileReader reader;
        reader.SetData(GetParam().bytes, TextFileReader::Mode::Detect);
        Lines out;
        Text line;
        bool ended = true;
        while (most == 0 ? reader.ReadLine(line) : reader.ReadLinePart(line, most, ended)) {
            if (ended) {
                out.push_back(U8(line));
                line.clear();
            }
        }
        EXPECT_TRUE(line.empty());
        EXPECT_EQ(out, GetParam().lines) << "parts of " << most;
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, ReadsLines, ::testing::Values(
    Decoding{"CrLf", "a\r\nb\r\n", {"a", "b"}},
    Decoding{"CrAlone", "a\rb", {"a", "b"}},
    Decoding{"LfStaysInsideTheLine", "a\nb\n", {"a\nb\n"}},
    Decoding{"BlankLines", "a\r\n\r\n\r\nb", {"a", "", "", "b"}},
    Decoding{"Empty", "", {}},
    Decoding{"CrLfCrLf", "\r\n", {""}},
    Decoding{"Utf8", "caf\xC3\xA9\r\n", {"café"}},
    Decoding{"Utf8WithMark", "\xEF\xBB\xBFx", {"x"}},
    Decoding{"Windows1252WhenNotUtf8", "caf\xE9 \x80\x96\r\n", {"café €–"}},
    Decoding{"Utf16LittleEndian", std::string("\xFF\xFE" "a\0\xE9\0\r\0\n\0b\0", 12), {"aé", "b"}},
    Decoding{"Utf16BigEndian", std::string("\xFE\xFF\0a\xD8\x3D\xDE\x00\0\r", 10), {"a😀"}},
    Decoding{"Utf16OddByteAtTheEnd", std::string("\xFF\xFE" "a\0b", 5), {"a\xEF\xBF\xBD"}},
    Decoding{"LongAsciiRunsAroundLineEnds", std::string(37, 'x') + "\r" + std::string(20, 'y') + "\xC3\xA9" +
        std::string(17, 'z') + "\r\n" + std::string(16, 'w'), {std::string(37, 'x'), std::string(20, 'y') + "é" +
        std::string(17, 'z'), std::string(16, 'w')}},
    Decoding{"NulAndControlsPassThrough", std::string("a\0b\x01", 4), {std::string("a\0b\x01", 4)}}
));

// Reads a whole file, lines joined by "|", guessing UTF-8 or checked first.
std::string ReadAll(const std::string& path, bool guess, TextFileReader::Mode mode = TextFileReader::Mode::Detect)
{
    TextFileReader reader;
    if (guess)
        reader.GuessUtf8();
    std::string why, all;
    EXPECT_TRUE(reader.Open(path, mode, why)) << why;
    for (Text line; reader.ReadLine(line);)
        all += U8(line) + "|";
    return all;
}

// A reader that guesses UTF-8 gives up (and has the document read again) only where the lines it
// has read differ from the checked reading's: carrying on saves reading the document twice.
TEST(TextFileReader, GuessingUtf8GivesUpOnlyWhereTheLinesReadDiffer)
{
    QTemporaryDir dir;
    const std::string path = QFile::encodeName(dir.filePath("doc.html")).toStdString();
    const std::string ascii(300000, 'a');  // past a read's chunk
    const struct {
        std::string bytes;
        TextFileReader::Mode mode;
        bool givesUp;
    } cases[] = {
        {ascii + "\r\n\x96 caf\xE9", TextFileReader::Mode::Detect, false},
        {"caf\xC3\xA9\r\n" + ascii + "\x96", TextFileReader::Mode::Detect, true},
        {ascii + "\xC3", TextFileReader::Mode::Detect, false},  // cut off at the end
        {"<meta charset=utf-8>caf\xC3\xA9" + ascii + "\x96", TextFileReader::Mode::DetectDeclared, false},
        {"<meta charset=windows-1252>" + ascii + "\x96", TextFileReader::Mode::DetectDeclared, false},
        {"<meta charset=iso-8859-2>" + ascii + "\xB1", TextFileReader::Mode::DetectDeclared, true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(testing::WriteBytes(QString::fromStdString(path), QByteArray::fromStdString(c.bytes)));
        if (c.givesUp) {
            EXPECT_THROW(ReadAll(path, true, c.mode), NotUtf8) << c.bytes.substr(0, 40);
        } else {
            EXPECT_EQ(ReadAll(path, true, c.mode), ReadAll(path, false, c.mode)) << c.bytes.substr(0, 40);
        }
    }
}

// The check that decides between UTF-8 and Windows-1252 jumps over ASCII sixteen bytes at a
// time; it must agree with a plain byte-by-byte check wherever the other bytes fall. A reader
// that guesses UTF-8, read again without the guess when it gives up, reads what the checked
// reader reads.
TEST(TextFileReader, Utf8CheckAgreesWithAByteByByteCheck)
{
    QTemporaryDir dir;
    const std::string path = QFile::encodeName(dir.filePath("doc.html")).toStdString();
    const auto plain = [](const std::string& s) {
        const QByteArray bytes(s.data(), static_cast<qsizetype>(s.size()));
        return QString::fromUtf8(bytes).toUtf8() == bytes;  // decodes and encodes back unchanged
    };
    static const char* const kPieces[] = {"a", "abcdefghijklmnop", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                                          "\xC3", "\xA9", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                          "\xC0\xAF", "\xFF", "<p>", "\r\n"};
    std::mt19937 rng(5);
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        const int pieces = static_cast<int>(rng() % 12);
        for (int k = 0; k < pieces; ++k)
            s += kPieces[rng() % std::size(kPieces)];
        ASSERT_EQ(IsValidUtf8(s.data(), s.size()), plain(s)) << QByteArray::fromStdString(s).toHex().constData();
        if (i % 20 != 0)
            continue;
        ASSERT_TRUE(testing::WriteBytes(QString::fromStdString(path), QByteArray::fromStdString(s)));
        std::string guessed;
        try {
            guessed = ReadAll(path, true);
        } catch (const NotUtf8&) {
            ASSERT_FALSE(plain(s));
            guessed = ReadAll(path, false);
        }
        ASSERT_EQ(guessed, ReadAll(path, false)) << QByteArray::fromStdString(s).toHex().constData();
    }
}

TEST(TextFileReader, LargeFilesDecodeAcrossChunks)
{
    QTemporaryDir dir;
    std::string bytes;
    for (int i = 0; i < 300000; ++i)
        bytes += "line \xC3\xA9 " + std::to_string(i) + "\r\n";
    ASSERT_TRUE(testing::WriteBytes(dir.filePath("big.html"), QByteArray::fromStdString(bytes)));
    TextFileReader reader;
    std::string why;
    ASSERT_TRUE(reader.Open(QFile::encodeName(dir.filePath("big.html")).toStdString(), TextFileReader::Mode::Detect, why));
    Text line;
    int n = 0;
    for (; reader.ReadLine(line); ++n)
        ASSERT_EQ(U8(line), "line é " + std::to_string(n));
    EXPECT_EQ(n, 300000);
    EXPECT_FALSE(reader.Failed());
}

// The three passes over real work files (made private) and ConvertDocument agree, byte for byte.
TEST(FilePasses, WorkFilesGiveWhatConvertDocumentGives)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath("doc.html");
    ASSERT_TRUE(testing::WriteBytes(doc,
        "<html><head><meta charset=koi8-r><title>T\xE9</title></head><body>\n<p>Para one\n<ul><li>a<li>b</ul>\n"
        "text<br>more<br><table><tr><td>1</td><td>2</td></tr></table><dl><dt>t<dd>d</dl>\n"
        "<pre>\n  code\n\n\n\tend</pre><!-- x -->\n</body></html>"));
    SettingValues values;
    values.sCleanChar[0] = "*";
    const FixedLinkSwitches links;
    const QString w1 = dir.filePath("quorvik.tmp"), w2 = dir.filePath("htmtemp.tmp"), w3 = dir.filePath("zelbrin.tmp");
    for (bool readable : {false, true}) {
        values.Readable = readable;
        ASSERT_TRUE(RunReflowPassOnFiles(doc, w1, {}, OutputMode::WorkFile, readable).ok);
        ASSERT_TRUE(RunConversionOnFiles(w1, w2, values, links).ok);
        ASSERT_TRUE(RemoveExtraLinesOnFiles(w2, w3, values).ok);
        for (auto [stage, work] : {std::pair{Stage::Reflow, w1}, {Stage::Text, w2}, {Stage::Formatted, w3}}) {
            const QString out = dir.filePath("out.txt");
            ASSERT_TRUE(ConvertDocument(doc, out, stage, values, links, true).ok);
            EXPECT_EQ(testing::ReadBytes(out), testing::ReadBytes(work)) << static_cast<int>(stage) << " readable " << readable;
        }
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(w1).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace quorvik
