#include "document/workfilechain.h"

#include "document/documentfiles.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <variant>

#include <sys/stat.h>
#include <unistd.h>

namespace quorvik {

namespace {

// Thrown from a pass's progress report to stop it; caught by the stage that ran the pass.
struct Cancelled {};

const QString& WorkFileOf(const WorkPaths& paths, Stage stage)
{
    switch (stage) {
    case Stage::Reflow: return paths.FormattedHtmlPath;
    case Stage::Text: return paths.TextFilePath;
    default: return paths.FormattedTextPath;
    }
}

// Why a work file must not be replaced: a symbolic link, something else than a file, or a
// file of another user found where it should be. Empty when the path is free or our own file.
QString RefusedTarget(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("It is a symbolic link, which is not followed");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("It is not a regular file");
    if (st.st_uid != ::geteuid())
        return QStringLiteral("It belongs to another user");
    return {};
}

}  // namespace

bool ReadWorkFile(const QString& path, QString& text, QString& reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return false;
    }
    // The passes write UTF-8 and end every line with CR LF; a line break inside a line can only
    // be a lone LF (a lone CR would have been split as a reader splits it).
    text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    ToLineFeeds(text);
    if (bytes.endsWith('\r') || bytes.endsWith("\r\n"))  // no line after the last line end
        text.chop(1);
    return true;
}

int ViewOfStage(Stage stage)
{
    switch (stage) {
    case Stage::Reflow: return 1;
    case Stage::Text: return 2;
    default: return 3;
    }
}

QString TemporaryWorkName(const QString& workFile)
{
    return workFile + QStringLiteral(".part");
}

struct WorkFileChain::Mailbox {
    struct Progress {
        Stage stage;
        int permille;
    };
    struct Done {};
    using Event = std::variant<Progress, StageReport, Done>;
    std::mutex mutex;
    std::deque<Event> events;
    bool posted = false;  // a delivery is queued already
};

WorkFileChain::WorkFileChain(QObject* parent) : QObject(parent), mailbox_(std::make_shared<Mailbox>()) {}

WorkFileChain::~WorkFileChain()
{
    RemoveFolder();
}

void WorkFileChain::RemoveFolder()
{
    cancel_ = true;
    if (worker_.joinable())
        worker_.join();
    cancel_ = false;
    QStringList files;
    for (const QString& file : {paths_.FormattedHtmlPath, paths_.TextFilePath, paths_.FormattedTextPath}) {
        if (!file.isEmpty())
            files << file << TemporaryWorkName(file);
    }
    lock_.Release(files);
    folderOk_ = false;
}

bool WorkFileChain::EnsureFolder(QString& failure)
{
    // The folder may have been removed or replaced since it was taken: take it again; a folder
    // that could not be taken is tried again too (it may have been freed or repaired meanwhile).
    if (folderOk_ && !lock_.StillHeld())
        folderOk_ = false;
    if (!folderOk_)
        folderOk_ = InitWorkPaths(paths_, lock_, folderReason_);
    if (!folderOk_)
        failure = QStringLiteral("The work folder %1 cannot be used: %2")
                      .arg(QDir::toNativeSeparators(paths_.Folder), folderReason_);
    return folderOk_;
}

void WorkFileChain::Run(const ChainRequest& request, const WorkPaths& paths, const std::atomic<bool>& cancel,
                        const std::function<void(Stage, int)>& progress,
                        const std::function<void(const StageReport&)>& report)
{
    for (int s = static_cast<int>(request.first); s <= static_cast<int>(request.last); ++s) {
        const Stage stage = static_cast<Stage>(s);
        StageReport r;
        r.stage = stage;
        const QString& target = WorkFileOf(paths, stage);
        const QString temporary = TemporaryWorkName(target);
        const ProgressFn onProgress = [&](qint64 done, qint64 total) {
            if (cancel)
                throw Cancelled{};
            if (progress && total > 0)
                progress(stage, static_cast<int>(std::min<qint64>(done * 1000 / total, 1000)));
        };
        PassOutcome out;
        try {
            if (cancel)
                throw Cancelled{};
            const QString refused = RefusedTarget(target);
            if (!refused.isEmpty())
                out = PassOutcome::failure(target, refused);
            else if (stage == Stage::Reflow)
                out = RunReflowPassOnFiles(request.document, temporary, onProgress, OutputMode::WorkFile,
                                           request.values.Readable);
            else if (stage == Stage::Text)
                out = RunConversionOnFiles(paths.FormattedHtmlPath, temporary, request.values, request.links,
                                           onProgress);
            else
                out = RemoveExtraLinesOnFiles(paths.TextFilePath, temporary, request.values, onProgress);
        } catch (const Cancelled&) {
            r.cancelled = true;
        }
        // A work file is renamed into place only once complete, so a stage that failed or was
        // stopped never leaves a work file that a later stage would take for finished.
        if (!r.cancelled && out && std::rename(QFile::encodeName(temporary).constData(),
                                               QFile::encodeName(target).constData()) != 0)
            out = PassOutcome::failure(target, QString::fromLocal8Bit(std::strerror(errno)));
        if (r.cancelled || !out) {
            if (RefusedTarget(temporary).isEmpty())
                QFile::remove(temporary);
            // The stage's old work file no longer matches the views: it goes too (unless it is
            // not ours to remove).
            if (RefusedTarget(target).isEmpty())
                QFile::remove(target);
            r.workFile = r.cancelled ? target : (out.path == temporary ? target : out.path);
            r.reason = out.reason;
            report(r);
            return;
        }
        r.workFile = target;
        r.ok = ReadWorkFile(target, r.text, r.reason);
        report(r);
        if (!r.ok)
            return;
    }
}

bool WorkFileChain::Start(const ChainRequest& request)
{
    if (worker_.joinable())
        return false;
    cancel_ = false;
    const std::shared_ptr<Mailbox> box = mailbox_;
    auto post = [this, box](Mailbox::Event event) {
        std::lock_guard<std::mutex> lock(box->mutex);
        // A run of progress reports is sent as its last one.
        if (std::holds_alternative<Mailbox::Progress>(event) && !box->events.empty()
            && std::holds_alternative<Mailbox::Progress>(box->events.back()))
            box->events.back() = event;
        else
            box->events.push_back(std::move(event));
        if (!box->posted) {
            box->posted = true;
            QMetaObject::invokeMethod(this, &WorkFileChain::Deliver, Qt::QueuedConnection);
        }
    };
    worker_ = std::thread([this, request, paths = paths_, post] {
        Run(
            request, paths, cancel_, [&](Stage stage, int permille) { post(Mailbox::Progress{stage, permille}); },
            [&](const StageReport& r) { post(r); });
        post(Mailbox::Done{});
    });
    return true;
}

void WorkFileChain::Cancel()
{
    cancel_ = true;
}

void WorkFileChain::Wait()
{
    if (worker_.joinable())
        worker_.join();
    Deliver();
}

void WorkFileChain::Deliver()
{
    std::deque<Mailbox::Event> events;
    {
        std::lock_guard<std::mutex> lock(mailbox_->mutex);
        events.swap(mailbox_->events);
        mailbox_->posted = false;
    }
    for (Mailbox::Event& event : events) {
        if (auto* p = std::get_if<Mailbox::Progress>(&event)) {
            emit progress(p->stage, p->permille);
        } else if (auto* r = std::get_if<StageReport>(&event)) {
            lastOk_ = r->ok;
            emit stageFinished(*r);
        } else {
            if (worker_.joinable())
                worker_.join();
            emit finished(lastOk_);
            lastOk_ = false;
        }
    }
}

}  // namespace quorvik
