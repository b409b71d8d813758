#pragma once
// The window's conversion over its work files: the document reflowed into the first work file,
// that converted into the second, and blank lines removed from that into the third. The chain
// knows nothing of the window: it gets a copy of everything it reads, runs its stages on a
// worker thread, and reports each stage's outcome (stage, success, work file, reason and the
// text to show) back on the thread that started it.

#include "core/linkswitches.h"
#include "document/workpaths.h"
#include "passes/filepasses.h"
#include "settings/settingvalues.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace quorvik {

struct ChainRequest {
    QString document;                 // read by the reflow stage
    Stage first = Stage::Reflow;      // Stage::Formatted runs only the blank-line stage
    Stage last = Stage::Text;
    SettingValues values;             // the options as they were when the command ran
    FixedLinkSwitches links;          // the link toggles as they were
};

struct StageReport {
    Stage stage = Stage::Reflow;
    bool ok = false;
    bool cancelled = false;
    QString workFile;  // the file written, or the one that failed (read or written)
    QString reason;    // why it failed
    QString text;      // the work file as a view shows it, when ok
};

// The view each stage fills: 1 the reflowed HTML, 2 the converted text, 3 the formatted text.
int ViewOfStage(Stage stage);

// Reads a work file as a view shows it: its lines, split where the passes' reader splits them
// (CR LF or CR; a lone LF stays inside its line), joined with line feeds.
bool ReadWorkFile(const QString& path, QString& text, QString& reason);

// The temporary name a work file is written under before it is renamed into place.
QString TemporaryWorkName(const QString& workFile);

class WorkFileChain : public QObject {
    Q_OBJECT

public:
    explicit WorkFileChain(QObject* parent = nullptr);
    // Cancels a running chain, waits for it and removes the work folder (RemoveFolder).
    ~WorkFileChain() override;

    // Takes the private work folder, or takes it again when it was removed or replaced since.
    // False, with a message naming the folder and the reason, when it cannot be used.
    bool EnsureFolder(QString& failure);
    const WorkPaths& paths() const { return paths_; }
    // The work files hold the user's text: removes them, their temporary names, the lock file
    // and the folder itself (a chain still running is cancelled first). A later conversion
    // takes a folder again.
    void RemoveFolder();

    // Starts the stages of `request` on a worker thread; false if a chain is running already.
    bool Start(const ChainRequest& request);
    bool Running() const { return worker_.joinable(); }
    // Stops the running stage at its next progress report; its report says `cancelled`.
    void Cancel();
    // Waits for the running chain to end and delivers its pending reports.
    void Wait();

    // Runs the stages on the calling thread (what the worker runs).
    static void Run(const ChainRequest& request, const WorkPaths& paths, const std::atomic<bool>& cancel,
                    const std::function<void(Stage, int permille)>& progress,
                    const std::function<void(const StageReport&)>& report);

signals:
    void progress(quorvik::Stage stage, int permille);
    void stageFinished(const quorvik::StageReport& report);
    // After the last report: `ok` when every stage succeeded.
    void finished(bool ok);

private:
    void Deliver();

    WorkPaths paths_;
    WorkFolderLock lock_;
    bool folderOk_ = false;
    QString folderReason_;
    bool lastOk_ = false;  // the last stage report delivered

    std::thread worker_;
    std::atomic<bool> cancel_{false};
    struct Mailbox;
    std::shared_ptr<Mailbox> mailbox_;
};

}  // namespace quorvik
