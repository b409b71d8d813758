#include "passes/textcodec.h"

#include "passes/charsets.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvik {

namespace {

// Bytes read or written at a time. Fresh memory costs a page fault per page on first use, so
// buffers are kept small enough to be touched only a few times over.
constexpr std::size_t kChunk = std::size_t(1) << 18;

// Length of the UTF-8 sequence that starts at p (at most n bytes there), 0 when invalid,
// -1 (as SIZE_MAX) when it is valid so far but cut off by the end of the data.
std::size_t Utf8SequenceLength(const unsigned char* p, std::size_t n)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0)
            lo = 0xA0;
        else if (c == 0xED)
            hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0)
            lo = 0x90;
        else if (c == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if (k >= n)
            return SIZE_MAX;
        const unsigned char b = p[k];
        if (k == 1 ? (b < lo || b > hi) : (b < 0x80 || b > 0xBF))
            return 0;
    }
    return len;
}

// Validates a chunk; `tail` gets the bytes of a sequence cut off at its end.
bool ValidateChunk(const unsigned char* p, std::size_t n, std::size_t& tail)
{
    std::size_t i = 0;
    tail = 0;
    while (i < n) {
        // Many ASCII bytes at a time: none has its high bit set.
#if defined(__SSE2__)
        // Sixteen at a time, going straight to the first byte with its high bit set.
        while (i + 16 <= n) {
            const int high = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
            if (high != 0) {
                i += static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(high)));
                break;
            }
            i += 16;
        }
#endif
        while (i + 8 <= n) {
            std::uint64_t eight;
            std::memcpy(&eight, p + i, 8);
            if (eight & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        // A two-byte sequence (accented Latin letters, the usual case) is checked here.
        if (p[i] >= 0xC2 && p[i] <= 0xDF && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
            i += 2;
            continue;
        }
        const std::size_t len = Utf8SequenceLength(p + i, n - i);
        if (len == 0)
            return false;
        if (len == SIZE_MAX) {
            tail = n - i;
            return true;
        }
        i += len;
    }
    return true;
}

// Widens the plain ASCII at the front of `p` (at most `n` bytes), up to the first carriage
// return or byte above 127, into `wide`, which has room for `n` characters (those after the
// ones returned may be overwritten); returns how many bytes that was.
std::size_t WidenAscii(const unsigned char* p, std::size_t n, char32_t* wide)
{
    std::size_t k = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    for (; k + 16 <= n; k += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        const int stop = _mm_movemask_epi8(_mm_or_si128(v, _mm_cmpeq_epi8(v, cr)));
        const __m128i lo = _mm_unpacklo_epi8(v, zero), hi = _mm_unpackhi_epi8(v, zero);
        auto* out = reinterpret_cast<__m128i*>(wide + k);
        _mm_storeu_si128(out, _mm_unpacklo_epi16(lo, zero));
        _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(lo, zero));
        _mm_storeu_si128(out + 2, _mm_unpacklo_epi16(hi, zero));
        _mm_storeu_si128(out + 3, _mm_unpackhi_epi16(hi, zero));
        if (stop != 0)
            return k + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(stop)));
    }
#endif
    while (k < n && p[k] < 0x80 && p[k] != '\r') {
        wide[k] = p[k];
        ++k;
    }
    return k;
}

// Decodes the front of `p` (at most `n` bytes) into `wide`, up to the first carriage return or,
// in UTF-8, the first sequence that is invalid or cut off at `n`; returns how many bytes that was
// and sets `count` to the characters written. Plain ASCII is widened many bytes at a time; a
// single-byte set other than Windows-1252 gives each byte above 127 its character in `table`.
std::size_t DecodeStretch(const unsigned char* p, std::size_t n, Encoding enc, const char32_t* table, char32_t* wide,
                          std::size_t& count)
{
    std::size_t i = 0, k = 0;
    for (;;) {
        const std::size_t ascii = WidenAscii(p + i, n - i, wide + k);
        i += ascii;
        k += ascii;
        if (i >= n || p[i] < 0x80)  // the end, or a carriage return
            break;
        if (enc == Encoding::Windows1252) {
            wide[k++] = Windows1252ToUnicode(p[i++]);
            continue;
        }
        if (enc == Encoding::SingleByte) {
            wide[k++] = table[p[i++]];
            continue;
        }
        if (p[i] >= 0xC2 && p[i] <= 0xDF && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {  // two bytes, the usual case
            wide[k++] = (char32_t(p[i] & 0x1F) << 6) | (p[i + 1] & 0x3F);
            i += 2;
            continue;
        }
        const std::size_t len = Utf8SequenceLength(p + i, n - i);
        if (len == 0 || len == SIZE_MAX)
            break;
        char32_t c = p[i] & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
        for (std::size_t j = 1; j < len; ++j)
            c = (c << 6) | (p[i + j] & 0x3F);
        wide[k++] = c;
        i += len;
    }
    count = k;
    return i;
}

// A buffer of many megabytes is touched page by page as it fills; large pages make that a few
// dozen page faults instead of tens of thousands. Only advice: nothing changes if it is ignored.
void AdviseHugePages(void* data, std::size_t bytes)
{
    constexpr std::uintptr_t kHuge = 2u << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHuge - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

std::string ReasonOf(int err)
{
    return std::strerror(err);
}

}  // namespace

bool IsValidUtf8(const char* data, std::size_t size)
{
    std::size_t tail = 0;
    return ValidateChunk(reinterpret_cast<const unsigned char*>(data), size, tail) && tail == 0;
}

Encoding DetectEncoding(const char* data, std::size_t size, std::size_t& bomLength)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    bomLength = 0;
    if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        bomLength = 3;
        return Encoding::Utf8;
    }
    if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        bomLength = 2;
        return Encoding::Utf16LE;
    }
    if (size >= 2 && p[0] == 0xFE && p[1] == 0xFF) {
        bomLength = 2;
        return Encoding::Utf16BE;
    }
    return IsValidUtf8(data, size) ? Encoding::Utf8 : Encoding::Windows1252;
}

char32_t Windows1252ToUnicode(unsigned char b)
{
    static const char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    if (b >= 0x80 && b < 0xA0)
        return kHigh[b - 0x80];  // the five unassigned bytes keep their C1 control codes
    return b;
}

TextFileReader::~TextFileReader()
{
    if (ownsFd_ && fd_ >= 0)
        ::close(fd_);
}

bool TextFileReader::Open(const std::string& path, Mode mode, std::string& reason)
{
    mode_ = mode;
    // Standard input cannot be opened afresh when a guess fails (a new reader would go on from
    // where the last one stopped), so it is checked first.
    if (path == "-")
        guessing_ = false;
    int fd = 0;
    if (path != "-") {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            reason = ReasonOf(errno);
            return false;
        }
        ownsFd_ = true;
    }
    fd_ = fd;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        reason = ReasonOf(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        reason = ReasonOf(EISDIR);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        // A pipe or terminal cannot be read twice: take it all in, then decode from memory.
        std::string all;
        while (Fill()) {
        }
        if (Failed()) {
            reason = error_;
            return false;
        }
        buf_.resize(end_);
        all.swap(buf_);
        SetData(std::move(all), mode);
        return true;
    }
    total_ = static_cast<std::int64_t>(st.st_size);
    if (mode != Mode::Utf8Only && guessing_) {
        // Only a byte-order mark is looked for; the rest is checked as it is decoded.
        while (Available() < 3 && Fill()) {
        }
        if (Failed()) {
            reason = error_;
            return false;
        }
        std::size_t bom = 0;
        enc_ = DetectEncoding(buf_.data(), std::min<std::size_t>(end_, 3), bom);
        if (bom > 0)
            guessing_ = false;
        else
            enc_ = Encoding::Utf8;
        pos_ = bom;
        consumed_ = static_cast<std::int64_t>(bom);
        return true;
    }
    guessing_ = false;
    if (mode != Mode::Utf8Only) {
        // Look at the whole file once to decide its encoding, then read it again from the start.
        const std::unique_ptr<char[]> buffer(new char[kChunk + 4]);  // no need to clear it first
        char* const chunk = buffer.get();
        std::size_t carried = 0;
        bool first = true;
        bool valid = true;
        Encoding bomEncoding = Encoding::Utf8;
        std::size_t bom = 0;
        for (;;) {
            const ssize_t got = ::read(fd_, chunk + carried, kChunk);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                reason = ReasonOf(errno);
                return false;
            }
            const std::size_t n = carried + static_cast<std::size_t>(got);
            if (first) {
                first = false;
                std::size_t len = 0;
                bomEncoding = DetectEncoding(chunk, std::min<std::size_t>(n, 3), len);
                if (len > 0) {
                    bom = len;
                    break;
                }
            }
            if (got == 0) {
                valid = valid && carried == 0;
                break;
            }
            std::size_t tail = 0;
            if (!ValidateChunk(reinterpret_cast<const unsigned char*>(chunk), n, tail)) {
                valid = false;
                break;
            }
            std::memmove(chunk, chunk + n - tail, tail);
            carried = tail;
        }
        if (::lseek(fd_, 0, SEEK_SET) != 0) {
            reason = ReasonOf(errno);
            return false;
        }
        enc_ = bom > 0 ? bomEncoding : (valid ? Encoding::Utf8 : Encoding::Windows1252);
        consumed_ = 0;
        pos_ = 0;
        end_ = 0;
        eof_ = false;
        while (Available() < bom && Fill()) {
        }
        pos_ = std::min(bom, end_);
        consumed_ = static_cast<std::int64_t>(pos_);
        if (mode == Mode::DetectDeclared && enc_ == Encoding::Windows1252) {
            while (Available() < 1024 && Fill()) {
            }
            UseDeclared();
        }
    } else {
        enc_ = Encoding::Utf8;
    }
    return true;
}

void TextFileReader::SetData(std::string bytes, Mode mode)
{
    buf_ = std::move(bytes);
    end_ = buf_.size();
    pos_ = 0;
    eof_ = true;
    total_ = static_cast<std::int64_t>(buf_.size());
    consumed_ = 0;
    Start(mode);
}

void TextFileReader::Start(Mode mode)
{
    guessing_ = false;  // the bytes are all in memory: checked below
    std::size_t bom = 0;
    enc_ = mode != Mode::Utf8Only ? DetectEncoding(buf_.data(), end_, bom) : Encoding::Utf8;
    pos_ = bom;
    consumed_ = static_cast<std::int64_t>(bom);
    if (mode == Mode::DetectDeclared && enc_ == Encoding::Windows1252)
        UseDeclared();
}

void TextFileReader::UseDeclared()
{
    const std::string encoding = DeclaredEncoding(buf_.data() + pos_, std::min<std::size_t>(Available(), 1024));
    if (encoding.empty() || encoding == "WINDOWS-1252")
        return;
    if (encoding == "UTF-8") {
        enc_ = Encoding::Utf8;  // bytes that are not UTF-8 read as U+FFFD
        return;
    }
    if (SingleByteTable(encoding, table_)) {
        enc_ = Encoding::SingleByte;
        return;
    }
    // Several bytes per character (or a set that is never decoded): the whole document is
    // read and decoded at once, and then read as UTF-8.
    while (Fill()) {
    }
    std::string decoded = encoding == "replacement"
                              ? std::string("\xEF\xBF\xBD")
                              : DecodeToUtf8(encoding, buf_.data() + pos_, Available());
    buf_.swap(decoded);
    pos_ = 0;
    end_ = buf_.size();
    eof_ = true;
    total_ = consumed_ + static_cast<std::int64_t>(end_);
    enc_ = Encoding::Utf8;
}

void TextFileReader::GuessFailed()
{
    guessing_ = false;
    std::string declared;
    if (mode_ == Mode::DetectDeclared) {
        char head[1024];
        ssize_t got;
        do {
            got = ::pread(fd_, head, sizeof head, 0);
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            throw NotUtf8{};
        declared = DeclaredEncoding(head, static_cast<std::size_t>(got));
    }
    if (declared == "UTF-8")
        return;  // bytes that are not UTF-8 read as U+FFFD, as they would after the check
    // Windows-1252 reads ASCII as UTF-8 does: if nothing else came before, the lines read so far
    // stand and the rest is read in Windows-1252.
    if ((declared.empty() || declared == "WINDOWS-1252") && OnlyAsciiBefore(consumed_)) {
        enc_ = Encoding::Windows1252;
        return;
    }
    throw NotUtf8{};
}

bool TextFileReader::OnlyAsciiBefore(std::int64_t offset)
{
    const std::unique_ptr<char[]> buffer(new char[kChunk]);
    for (std::int64_t at = 0; at < offset;) {
        const ssize_t got =
            ::pread(fd_, buffer.get(), static_cast<std::size_t>(std::min<std::int64_t>(kChunk, offset - at)), at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        const auto n = static_cast<std::size_t>(got);
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            std::uint64_t eight;
            std::memcpy(&eight, buffer.get() + i, 8);
            if (eight & 0x8080808080808080ULL)
                return false;
        }
        for (; i < n; ++i) {
            if (static_cast<unsigned char>(buffer[i]) >= 0x80)
                return false;
        }
        at += got;
    }
    return true;
}

bool TextFileReader::Fill()
{
    if (eof_ || fd_ < 0) {
        eof_ = true;
        return false;
    }
    // Unread bytes move to the front; the buffer only grows, so it is never filled with zeros
    // again before a read overwrites it.
    if (pos_ > 0) {
        std::memmove(&buf_[0], buf_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    if (buf_.size() < end_ + kChunk)
        buf_.resize(end_ + kChunk);
    for (;;) {
        const ssize_t got = ::read(fd_, &buf_[end_], kChunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error_ = ReasonOf(errno);
            eof_ = true;
            return false;
        }
        end_ += static_cast<std::size_t>(got);
        if (got == 0) {
            eof_ = true;
            return false;
        }
        return true;
    }
}

bool TextFileReader::ReadLine(Text& line)
{
    line.clear();
    return ReadLineAppend(line);
}

bool TextFileReader::ReadLineAppend(Text& line)
{
    bool ended = true;
    if (!ReadUpTo(line, SIZE_MAX, ended))
        return false;
    while (!ended)
        ReadUpTo(line, SIZE_MAX, ended);
    return true;
}

bool TextFileReader::ReadLinePart(Text& part, std::size_t most, bool& ended)
{
    return ReadUpTo(part, std::max<std::size_t>(most, 1), ended);
}

bool TextFileReader::ReadUpTo(Text& line, std::size_t most, bool& ended)
{
    ended = true;
    if (Available() == 0 && !Fill()) {
        // The end of the input ends a line begun by an earlier part; otherwise no line is left.
        const bool wasInside = insideLine_;
        insideLine_ = false;
        return wasInside;
    }
    const std::size_t limit = most > SIZE_MAX - line.size() ? SIZE_MAX : line.size() + most;

    // Grows the line without ever reserving beyond what the rest of the input can hold, so a
    // document that is one long line costs about four bytes per character.
    auto grow = [&](std::size_t more) {
        const std::size_t need = line.size() + more;
        if (need <= line.capacity())
            return;
        const std::int64_t left = total_ >= 0 ? total_ - consumed_ : -1;
        std::size_t cap = std::max(need, line.capacity() * 2);
        if (left >= 0) {
            // No line holds more characters than bytes are left. A line that is already long is
            // most likely the whole rest of the document: make room for that at once instead of
            // copying it again at every doubling.
            const std::size_t bound = line.size() + static_cast<std::size_t>(left) + more + 16;
            cap = line.size() >= (std::size_t(1) << 20) ? bound : std::min(cap, bound);
        }
        line.reserve(std::max(cap, need));
        if (line.capacity() >= (std::size_t(1) << 20))
            AdviseHugePages(line.data(), line.capacity() * sizeof(char32_t));
    };

    for (;;) {
        if (line.size() >= limit) {
            ended = false;
            insideLine_ = true;
            return true;
        }
        if (Available() < 4 && !eof_)
            Fill();
        if (Available() == 0)
            break;
        if (progress_ && consumed_ >= nextReport_) {
            progress_(consumed_, total_);
            nextReport_ = consumed_ + (4 << 20);
        }
        const auto* p = reinterpret_cast<const unsigned char*>(buf_.data()) + pos_;
        const std::size_t avail = Available();
        char32_t c;
        std::size_t used;
        if (enc_ == Encoding::Utf8 || enc_ == Encoding::Windows1252 || enc_ == Encoding::SingleByte) {
            // Text up to the next carriage return goes in stretches through a small buffer;
            // what the stretch stops at (a line end, an invalid or cut-off sequence) is read below.
            char32_t wide[512];
            std::size_t k = 0;
            const std::size_t bytes =
                DecodeStretch(p, std::min<std::size_t>({avail, 512, limit - line.size()}), enc_, table_, wide, k);
            if (bytes > 0) {
                grow(k);
                line.append(wide, k);
                pos_ += bytes;
                consumed_ += static_cast<std::int64_t>(bytes);
                continue;
            }
            if (p[0] == '\r') {
                c = U'\r';
                used = 1;
            } else if (enc_ == Encoding::Windows1252) {
                c = Windows1252ToUnicode(p[0]);
                used = 1;
            } else if (enc_ == Encoding::SingleByte) {
                c = table_[p[0]];
                used = 1;
            } else {
                std::size_t len = Utf8SequenceLength(p, avail);
                if ((len == 0 || len == SIZE_MAX) && guessing_) {
                    GuessFailed();
                    continue;  // the same bytes again, in the encoding now chosen
                }
                if (len == 0 || len == SIZE_MAX) {
                    c = 0xFFFD;
                    used = 1;
                } else {
                    used = len;
                    c = p[0] & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
                    for (std::size_t i = 1; i < len; ++i)
                        c = (c << 6) | (p[i] & 0x3F);
                }
            }
        } else {
            if (avail < 2) {
                c = 0xFFFD;
                used = avail;
            } else {
                const bool le = enc_ == Encoding::Utf16LE;
                auto unit = [&](std::size_t at) -> char32_t {
                    return le ? char32_t(p[at] | (p[at + 1] << 8)) : char32_t((p[at] << 8) | p[at + 1]);
                };
                c = unit(0);
                used = 2;
                if (c >= 0xD800 && c <= 0xDBFF) {
                    if (avail >= 4) {
                        const char32_t lo = unit(2);
                        if (lo >= 0xDC00 && lo <= 0xDFFF) {
                            c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
                            used = 4;
                        } else {
                            c = 0xFFFD;
                        }
                    } else {
                        c = 0xFFFD;
                    }
                } else if (c >= 0xDC00 && c <= 0xDFFF) {
                    c = 0xFFFD;
                }
            }
        }
        pos_ += used;
        consumed_ += static_cast<std::int64_t>(used);
        if (c == U'\r') {
            // A line feed right after the carriage return belongs to the line end.
            if (Available() < 2 && !eof_)
                Fill();
            const auto* q = reinterpret_cast<const unsigned char*>(buf_.data()) + pos_;
            const std::size_t a = Available();
            std::size_t lf = 0;
            if (enc_ == Encoding::Utf16LE)
                lf = (a >= 2 && q[0] == '\n' && q[1] == 0) ? 2 : 0;
            else if (enc_ == Encoding::Utf16BE)
                lf = (a >= 2 && q[0] == 0 && q[1] == '\n') ? 2 : 0;
            else
                lf = (a >= 1 && q[0] == '\n') ? 1 : 0;
            pos_ += lf;
            consumed_ += static_cast<std::int64_t>(lf);
            insideLine_ = false;
            return true;
        }
        grow(1);
        line.push_back(c);
    }
    insideLine_ = false;
    if (progress_)
        progress_(consumed_, total_);
    return true;
}

Utf8LineWriter::~Utf8LineWriter()
{
    FlushBuffer();
}

void Utf8LineWriter::WriteLine(TextView line)
{
    // A long line goes in pieces, so the buffer never has to hold more than a chunk and a piece.
    constexpr std::size_t kPiece = std::size_t(1) << 16;
    const std::size_t ends = lineEnd_.size();
    if (line.size() <= kPiece && size_ + kMaxUtf8PerChar * line.size() + ends <= capacity_) {
        // The usual short line, with room for it: encoded where it goes.
        size_ += EncodeUtf8(buf_.get() + size_, line);
        for (std::size_t k = 0; k < ends; ++k)
            buf_[size_++] = lineEnd_[k];
        if (size_ >= kChunk)
            FlushBuffer();
        return;
    }
    do {
        const TextView piece = line.substr(0, kPiece);
        line.remove_prefix(piece.size());
        Reserve(kMaxUtf8PerChar * piece.size() + lineEnd_.size());
        size_ += EncodeUtf8(buf_.get() + size_, piece);
    } while (!line.empty());
    std::memcpy(buf_.get() + size_, lineEnd_.data(), lineEnd_.size());
    size_ += lineEnd_.size();
    if (size_ >= kChunk)
        FlushBuffer();
}

void Utf8LineWriter::Reserve(std::size_t more)
{
    if (size_ + more <= capacity_)
        return;
    if (size_ >= kChunk)
        FlushBuffer();
    if (size_ + more <= capacity_)
        return;
    const std::size_t capacity = std::max(kChunk, size_) + more;
    std::unique_ptr<char[]> bigger(new char[capacity]);
    if (size_ > 0)
        std::memcpy(bigger.get(), buf_.get(), size_);
    buf_ = std::move(bigger);
    capacity_ = capacity;
}

void Utf8LineWriter::FlushBuffer()
{
    if (size_ == 0)
        return;
    const std::size_t size = size_;
    size_ = 0;
    if (memory_) {
        memory_->append(buf_.get(), size);
        return;
    }
    if (fd_ < 0 || Failed())
        return;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, buf_.get() + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error_ = ReasonOf(errno);
            break;
        }
        done += static_cast<std::size_t>(n);
    }
}

bool Utf8LineWriter::Finish()
{
    FlushBuffer();
    return !Failed();
}

}  // namespace quorvik
