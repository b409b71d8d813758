#pragma once
// Text files as the passes read and write them. Reading decodes the bytes (a byte-order mark
// decides; otherwise UTF-8 when the bytes are valid UTF-8; otherwise Windows-1252) and ends a
// line at a carriage return or at a carriage return followed by a line feed; a lone line feed
// stays inside the line. Writing puts out UTF-8, each line followed by its line end.

#include "passes/linestream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace quorvik {

enum class Encoding { Utf8, Utf16LE, Utf16BE, Windows1252, SingleByte };

bool IsValidUtf8(const char* data, std::size_t size);
// The encoding of a whole document; `bomLength` gets the bytes of its byte-order mark.
Encoding DetectEncoding(const char* data, std::size_t size, std::size_t& bomLength);
char32_t Windows1252ToUnicode(unsigned char byte);

// Thrown by a reader that guessed UTF-8 (TextFileReader::GuessUtf8) when it meets bytes that are
// not: the document is Windows-1252 (or, for the readable conversion, what it declares) and has
// to be read again from the start without the guess.
struct NotUtf8 {};

class TextFileReader final : public LineReader {
public:
    enum class Mode {
        Detect,     // documents: decide the encoding as described above
        // Documents for the readable conversion: where Detect would take Windows-1252, the
        // character set declared in a <meta> among the first 1,024 bytes decides, if any.
        DetectDeclared,
        Utf8Only,   // the passes' own work files, always UTF-8 without a mark
    };

    TextFileReader() = default;
    ~TextFileReader() override;
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    // Opens a file ("-" is standard input). On failure `reason` says why.
    bool Open(const std::string& path, Mode mode, std::string& reason);
    // Called before Open: a regular file without a byte-order mark is read as UTF-8 at once,
    // instead of after a first read of the whole file to check that it is UTF-8. At the first
    // byte that is not, reading carries on as the checked reading would where the lines read so
    // far are the same either way (all that came before was ASCII, or the document declares
    // UTF-8); otherwise it throws NotUtf8. So only a caller that can take back what it made of
    // the lines read may guess.
    void GuessUtf8() { guessing_ = true; }
    // Reads from bytes in memory.
    void SetData(std::string bytes, Mode mode);

    bool ReadLine(Text& line) override;
    bool ReadLinePart(Text& part, std::size_t most, bool& ended) override;
    std::int64_t BytesLeft() const override { return total_ >= 0 ? total_ - consumed_ : -1; }
    // Appends the next line to `line` instead of replacing it.
    bool ReadLineAppend(Text& line);

    // A read error met on the way (the lines read so far are incomplete).
    bool Failed() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }
    std::int64_t BytesRead() const { return consumed_; }
    std::int64_t TotalBytes() const { return total_; }  // -1 when unknown
    void SetProgress(std::function<void(std::int64_t, std::int64_t)> progress) { progress_ = std::move(progress); }

private:
    bool Fill();  // reads more bytes; false at the end of input
    bool ReadUpTo(Text& line, std::size_t most, bool& ended);
    void Start(Mode mode);
    void UseDeclared();  // DetectDeclared, once the bytes are known not to be UTF-8
    void GuessFailed();  // guessing, at the first byte that is not UTF-8
    bool OnlyAsciiBefore(std::int64_t offset);  // in the file
    std::size_t Available() const { return end_ - pos_; }

    int fd_ = -1;
    bool ownsFd_ = false;
    bool eof_ = false;
    bool insideLine_ = false;  // a part of a line was read, not yet its end
    std::string buf_;
    std::size_t pos_ = 0;  // bytes of buf_ before pos_ are read, those from end_ on unused
    std::size_t end_ = 0;
    Encoding enc_ = Encoding::Utf8;
    bool guessing_ = false;  // UTF-8 not checked beforehand (see GuessUtf8)
    Mode mode_ = Mode::Detect;
    char32_t table_[256];  // Encoding::SingleByte: the character of each byte
    std::int64_t consumed_ = 0;
    std::int64_t total_ = -1;
    std::int64_t nextReport_ = 0;
    std::string error_;
    std::function<void(std::int64_t, std::int64_t)> progress_;
};

inline TextFileReader::Mode DocumentMode(bool readable)
{
    return readable ? TextFileReader::Mode::DetectDeclared : TextFileReader::Mode::Detect;
}

// Writes lines as UTF-8 to a file descriptor or to memory, each followed by `lineEnd`.
class Utf8LineWriter final : public LineSink {
public:
    explicit Utf8LineWriter(int fd, std::string lineEnd = "\r\n") : fd_(fd), lineEnd_(std::move(lineEnd)) {}
    explicit Utf8LineWriter(std::string* memory, std::string lineEnd = "\r\n")
        : memory_(memory), lineEnd_(std::move(lineEnd)) {}
    ~Utf8LineWriter() override;

    void WriteLine(TextView line) override;
    // Writes what is buffered; false (with the system's reason) when anything failed.
    bool Finish();
    // Drops what is buffered and not yet written (the caller takes back what was written).
    void Discard() { size_ = 0; }
    bool Failed() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }

private:
    void FlushBuffer();
    void Reserve(std::size_t more);  // room for `more` bytes after what is buffered

    int fd_ = -1;
    std::string* memory_ = nullptr;
    std::string lineEnd_;
    std::unique_ptr<char[]> buf_;  // not a string: growing it would fill it with zeros first
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::string error_;
};

}  // namespace quorvik
