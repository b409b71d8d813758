#pragma once
// The three passes run over files, as the window runs them over its work files and the
// batch conversion over documents. Each opens its input and output, runs the pass and closes
// both; a failure names the file and the system's reason and leaves the output incomplete
// (the caller must not show it as a finished result).

#include "core/linkswitches.h"
#include "settings/settingvalues.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace quorvik {

struct PassOutcome {
    bool ok = true;
    QString path;    // the file that could not be read or written
    QString reason;  // the system's reason, e.g. "Permission denied"
    explicit operator bool() const { return ok; }
    static PassOutcome failure(const QString& path, const QString& reason) { return {false, path, reason}; }
};

// Reports the bytes of input read so far and the input's total size (-1 when unknown).
using ProgressFn = std::function<void(qint64 done, qint64 total)>;

enum class OutputMode {
    WorkFile,   // created with mode 0600 or truncated; a symbolic link at the path is refused
    Document,   // a temporary file beside the target, renamed over it when complete
};

// Tag reflow: the document at `documentPath` (decoded from its bytes) to the first work file;
// `readable` puts the readable clean-up in front (and reads a declared character set).
PassOutcome RunReflowPassOnFiles(const QString& documentPath, const QString& formattedHtmlPath,
                                 const ProgressFn& progress = {}, OutputMode mode = OutputMode::WorkFile,
                                 bool readable = false);

// Conversion run: reflowed HTML to converted text.
PassOutcome RunConversionOnFiles(const QString& formattedHtmlPath, const QString& textFilePath,
                                 const SettingValues& values, const LinkSwitches& links,
                                 const ProgressFn& progress = {}, OutputMode mode = OutputMode::WorkFile);

// Blank-line removal with character clean-up.
PassOutcome RemoveExtraLinesOnFiles(const QString& textFilePath, const QString& formattedTextPath,
                                    const SettingValues& values, const ProgressFn& progress = {},
                                    OutputMode mode = OutputMode::WorkFile);

// The stages a whole conversion can stop at: the reflowed HTML, the converted text
// (Remove HTML Code) or the text after blank-line removal (Remove Both Code + Lines).
enum class Stage { Reflow, Text, Formatted };

// The whole chain from a document to the chosen stage, in memory, written to `outputPath`
// completely or not at all (temporary file beside it, then rename). Lines end in LF, or in
// CR LF when `crlf` is set. This is what the command line and the batch conversion run.
PassOutcome ConvertDocument(const QString& documentPath, const QString& outputPath, Stage stage,
                            const SettingValues& values, const LinkSwitches& links, bool crlf = false);

// The same, written to standard output as it comes; a failure writing there has an empty `path`.
PassOutcome ConvertDocumentToStandardOutput(const QString& documentPath, Stage stage, const SettingValues& values,
                                            const LinkSwitches& links, bool crlf = false);

// A document's bytes as text: a byte-order mark decides (UTF-8, UTF-16 LE/BE); otherwise
// UTF-8 when the bytes are valid UTF-8; otherwise Windows-1252.
QString DecodeDocument(const QByteArray& bytes);

}  // namespace quorvik
