#include "passes/filepasses.h"

#include "passes/blanklines.h"
#include "passes/chain.h"
#include "passes/conversionrun.h"
#include "passes/linestream.h"
#include "passes/reflow.h"
#include "passes/textcodec.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvik {

namespace {

QString FromText(TextView t)
{
    return QString::fromUcs4(t.data(), static_cast<qsizetype>(t.size()));
}

QString Reason(int err)
{
    if (err == ELOOP)
        return QStringLiteral("It is a symbolic link, which is not followed");
    return QString::fromLocal8Bit(std::strerror(err));
}

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Whether what is written to standard output from now on can be taken back: only when it is a
// regular file that ends where the writing starts (so nothing after it is lost) and that is not
// appended to (so nobody else's lines are mixed in).
bool StandardOutputRewindable()
{
    struct stat st {};
    const int flags = ::fcntl(1, F_GETFL);
    const off_t at = ::lseek(1, 0, SEEK_CUR);
    return flags >= 0 && !(flags & O_APPEND) && at >= 0 && ::fstat(1, &st) == 0 && S_ISREG(st.st_mode) &&
           at == st.st_size;
}

// An output file opened safely and, for documents, put in place only once complete; or standard
// output, written as it comes.
class OutputFile {
public:
    ~OutputFile()
    {
        if (fd_ >= 0 && !standardOutput_)
            ::close(fd_);
        if (!temp_.empty())
            ::unlink(temp_.c_str());
    }

    // An empty `path` is standard output.
    bool Open(const QString& path, OutputMode mode, QString& reason)
    {
        if (path.isEmpty()) {
            standardOutput_ = true;
            fd_ = 1;
            start_ = ::lseek(fd_, 0, SEEK_CUR);
            return true;
        }
        path_ = LocalPath(path);
        mode_ = mode;
        if (mode == OutputMode::WorkFile) {
            // Never through a symbolic link, never into a file of someone else; emptied only
            // after both have been checked.
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd_ < 0) {
                reason = Reason(errno);
                return false;
            }
            struct stat st {};
            if (::fstat(fd_, &st) != 0) {
                reason = Reason(errno);
                return false;
            }
            if (!S_ISREG(st.st_mode)) {
                reason = QStringLiteral("It is not a regular file");
                return false;
            }
            if (st.st_uid != ::geteuid()) {
                reason = QStringLiteral("It belongs to another user");
                return false;
            }
            if (::ftruncate(fd_, 0) != 0) {
                reason = Reason(errno);
                return false;
            }
            return true;
        }
        const QFileInfo info(path);
        std::string dir = LocalPath(info.absolutePath());
        std::string tmpl = dir + "/." + LocalPath(info.fileName()) + ".XXXXXX";
        fd_ = ::mkstemp(tmpl.data());
        if (fd_ < 0) {
            reason = Reason(errno);
            return false;
        }
        temp_ = tmpl;
        return true;
    }

    int fd() const { return fd_; }

    // Takes back everything written so far (standard output only when StandardOutputRewindable).
    bool Rewind(QString& reason)
    {
        const off_t to = standardOutput_ ? start_ : 0;
        if (to < 0 || ::ftruncate(fd_, to) != 0 || ::lseek(fd_, to, SEEK_SET) != to) {
            reason = Reason(to < 0 ? ESPIPE : errno);
            return false;
        }
        return true;
    }

    bool Commit(QString& reason)
    {
        if (standardOutput_)
            return true;
        if (mode_ == OutputMode::Document) {
            // Keep the permissions of the file replaced; a new file gets the usual ones.
            struct stat st {};
            mode_t perms;
            if (::stat(path_.c_str(), &st) == 0) {
                perms = st.st_mode & 07777;
            } else {
                const mode_t mask = ::umask(0);
                ::umask(mask);
                perms = 0666 & ~mask;
            }
            ::fchmod(fd_, perms);
            if (::fsync(fd_) != 0) {
                reason = Reason(errno);
                return false;
            }
        }
        const int rc = ::close(fd_);
        fd_ = -1;
        if (rc != 0) {
            reason = Reason(errno);
            return false;
        }
        if (mode_ == OutputMode::Document) {
            if (::rename(temp_.c_str(), path_.c_str()) != 0) {
                reason = Reason(errno);
                return false;
            }
            temp_.clear();
        }
        return true;
    }

private:
    std::string path_;
    std::string temp_;
    OutputMode mode_ = OutputMode::WorkFile;
    int fd_ = -1;
    bool standardOutput_ = false;
    off_t start_ = 0;  // standard output: where the writing started
};

enum class Guess { Checked, Utf8 };

// Opens input and output (an empty `outPath` is standard output), runs `body(reader, writer)`, and
// reports the first failure. With Guess::Utf8 a document is read as UTF-8 without a first read
// of the whole file to check it, where the output can be taken back: should the reader give up
// its guess (TextFileReader::GuessUtf8), the output is emptied and the document read again,
// checked first.
template <typename Body>
PassOutcome RunOnFiles(const QString& inPath, TextFileReader::Mode inMode, const QString& outPath, OutputMode mode,
                       const ProgressFn& progress, const std::string& lineEnd, Body body,
                       Guess guess = Guess::Checked)
{
    OutputFile output;
    std::optional<Utf8LineWriter> writer;
    QString reason;
    bool guessing = guess == Guess::Utf8 && (!outPath.isEmpty() || StandardOutputRewindable());
    for (;;) {
        TextFileReader reader;
        if (guessing)
            reader.GuessUtf8();
        std::string why;
        if (!reader.Open(LocalPath(inPath), inMode, why))
            return PassOutcome::failure(inPath, QString::fromLocal8Bit(why.c_str()));
        if (progress)
            reader.SetProgress([&progress](std::int64_t done, std::int64_t total) { progress(done, total); });
        if (!writer) {
            if (!output.Open(outPath, mode, reason))
                return PassOutcome::failure(outPath, reason);
            writer.emplace(output.fd(), lineEnd);
        }
        try {
            body(reader, *writer);
        } catch (const NotUtf8&) {
            writer->Discard();
            if (!output.Rewind(reason))
                return PassOutcome::failure(outPath, reason);
            guessing = false;
            continue;
        }
        if (reader.Failed())
            return PassOutcome::failure(inPath, QString::fromLocal8Bit(reader.Error().c_str()));
        if (!writer->Finish())
            return PassOutcome::failure(outPath, QString::fromLocal8Bit(writer->Error().c_str()));
        if (!output.Commit(reason))
            return PassOutcome::failure(outPath, reason);
        return {};
    }
}

}  // namespace

PassOutcome RunReflowPassOnFiles(const QString& documentPath, const QString& formattedHtmlPath,
                                 const ProgressFn& progress, OutputMode mode, bool readable)
{
    return RunOnFiles(
        documentPath, DocumentMode(readable), formattedHtmlPath, mode, progress, "\r\n",
        [readable](LineReader& in, LineSink& out) { RunReflowPass(in, out, readable); }, Guess::Utf8);
}

PassOutcome RunConversionOnFiles(const QString& formattedHtmlPath, const QString& textFilePath,
                                 const SettingValues& values, const LinkSwitches& links,
                                 const ProgressFn& progress, OutputMode mode)
{
    const ChainOptions options = ChainOptionsFrom(values);
    return RunOnFiles(formattedHtmlPath, TextFileReader::Mode::Utf8Only, textFilePath, mode, progress, "\r\n",
                      [&](LineReader& in, LineSink& out) { RunConversion(in, out, options.converter, links); });
}

PassOutcome RemoveExtraLinesOnFiles(const QString& textFilePath, const QString& formattedTextPath,
                                    const SettingValues& values, const ProgressFn& progress, OutputMode mode)
{
    const ChainOptions options = ChainOptionsFrom(values);
    return RunOnFiles(textFilePath, TextFileReader::Mode::Utf8Only, formattedTextPath, mode, progress, "\r\n",
                      [&](LineReader& in, LineSink& out) { RemoveExtraLines(in, out, options.cleanUp, options.readable); });
}

PassOutcome ConvertDocument(const QString& documentPath, const QString& outputPath, Stage stage,
                            const SettingValues& values, const LinkSwitches& links, bool crlf)
{
    const ChainOptions options = ChainOptionsFrom(values);
    return RunOnFiles(
        documentPath, DocumentMode(options.readable), outputPath, OutputMode::Document, {}, crlf ? "\r\n" : "\n",
        [&](LineReader& in, LineSink& out) { RunChain(in, stage, options, links, out); }, Guess::Utf8);
}

PassOutcome ConvertDocumentToStandardOutput(const QString& documentPath, Stage stage, const SettingValues& values,
                                            const LinkSwitches& links, bool crlf)
{
    return ConvertDocument(documentPath, QString(), stage, values, links, crlf);
}

namespace {

QString JoinLines(TextFileReader& reader)
{
    QString text;
    Text line;
    bool first = true;
    while (reader.ReadLine(line)) {
        if (!first)
            text += QLatin1Char('\n');
        first = false;
        text += FromText(line);
    }
    return text;
}

}  // namespace

QString DecodeDocument(const QByteArray& bytes)
{
    TextFileReader reader;
    reader.SetData(bytes.toStdString(), TextFileReader::Mode::Detect);
    return JoinLines(reader);
}

}  // namespace quorvik
