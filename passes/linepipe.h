#pragma once
// Work handed from one thread to the next, so that the passes of the chain run side by side.
// Lines travel in batches, so the two threads meet once per batch rather than once per line, and
// only a few batches are in flight, so memory stays small however long the document is.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvik {

// `Batch` is any type with `void clear()`, `bool full() const` and `bool empty() const`.
template <typename Batch>
class BatchPipe {
public:
    struct Cancelled {};

    // The writer waits while `maxBatches` batches are waiting to be read.
    explicit BatchPipe(std::size_t maxBatches = 4) : maxBatches_(maxBatches < 1 ? 1 : maxBatches) {}

    // Writing side: add to `Filling()`, then call `Added()`, which hands the batch over once it
    // is full. Throws Cancelled once the reader has given up.
    Batch& Filling() { return filling_; }
    void Added()
    {
        if (filling_.full())
            HandOver();
    }
    void Close()  // the last batch: the reader sees the end
    {
        if (!filling_.empty())
            HandOver();
        Finish(nullptr);
    }
    // How many batches are waiting to be read (a hint: it may change at once).
    std::size_t Waiting() const { return queued_.load(std::memory_order_relaxed); }
    void Fail(std::exception_ptr error)  // the writer stopped on an error: the reader rethrows it
    {
        Finish(std::move(error));
    }

    // Reading side: `each(batch)` for every batch in order until the writer closes; then the
    // writer's error, if it had one, is rethrown.
    template <typename Each>
    void Drain(Each&& each)
    {
        Batch batch;
        bool holding = false;
        for (;;) {
            SpinWhile([this] { return queued_.load(std::memory_order_acquire) == 0 && !ended_.load(std::memory_order_acquire); });
            {
                std::unique_lock<std::mutex> lock(mutex_);
                if (holding) {
                    batch.clear();
                    spare_.push_back(std::move(batch));
                    holding = false;
                }
                if (!closed_ && waiting_.empty()) {
                    readerAsleep_ = true;
                    changed_.wait(lock, [this] { return closed_ || !waiting_.empty(); });
                    readerAsleep_ = false;
                }
                if (waiting_.empty()) {
                    if (error_)
                        std::rethrow_exception(error_);
                    return;
                }
                batch = std::move(waiting_.front());
                waiting_.pop_front();
                queued_.fetch_sub(1, std::memory_order_release);
                holding = true;
                if (writerAsleep_)
                    changed_.notify_all();
            }
            each(batch);
        }
    }
    void Cancel()  // the reader gives up: the writer's next hand-over throws Cancelled
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            cancelled_ = true;
        }
        changed_.notify_all();
    }

private:
    // Waiting for the other thread costs much more when it has to be woken from sleep, so a
    // thread first waits a little while awake (some tens of microseconds), which usually is
    // long enough for the next batch or the room for it.
    template <typename Pred>
    static void SpinWhile(Pred&& waiting)
    {
        for (int i = 0; i < 4000 && waiting(); ++i) {
#if defined(__SSE2__)
            _mm_pause();
#else
            std::this_thread::yield();
#endif
        }
    }

    void HandOver()
    {
        SpinWhile([this] { return queued_.load(std::memory_order_acquire) >= maxBatches_; });
        std::unique_lock<std::mutex> lock(mutex_);
        if (!cancelled_ && waiting_.size() >= maxBatches_) {
            writerAsleep_ = true;
            changed_.wait(lock, [this] { return cancelled_ || waiting_.size() < maxBatches_; });
            writerAsleep_ = false;
        }
        if (cancelled_)
            throw Cancelled{};
        waiting_.push_back(std::move(filling_));
        queued_.fetch_add(1, std::memory_order_release);
        filling_ = Batch{};
        if (!spare_.empty()) {
            filling_ = std::move(spare_.back());
            spare_.pop_back();
        }
        if (readerAsleep_)
            changed_.notify_all();
    }

    void Finish(std::exception_ptr error)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            error_ = std::move(error);
            closed_ = true;
            ended_.store(true, std::memory_order_release);
        }
        changed_.notify_all();
    }

    // The batch being filled is touched for every line by the writer alone; it gets cache lines
    // of its own, apart from what both threads share and from whatever lies next to the pipe,
    // so the reader's work does not keep taking those lines away from the writer.
    alignas(128) Batch filling_;
    alignas(128) std::atomic<std::size_t> queued_{0};  // batches waiting, read without the lock
    std::atomic<bool> ended_{false};
    const std::size_t maxBatches_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> waiting_;
    std::vector<Batch> spare_;  // read batches, used again so their memory is allocated once
    bool readerAsleep_ = false;
    bool writerAsleep_ = false;
    bool closed_ = false;
    bool cancelled_ = false;
    std::exception_ptr error_;
    alignas(128) char end_ = 0;
};

// Runs `write(pipe)` on a second thread while `read(pipe)` drains it on this one. An exception
// on either side stops both and is rethrown here.
template <typename Batch, typename Write, typename Read>
void RunSideBySide(BatchPipe<Batch>& pipe, Write&& write, Read&& read)
{
    std::thread writer([&] {
        try {
            write(pipe);
            pipe.Close();
        } catch (const typename BatchPipe<Batch>::Cancelled&) {
            // The reading side stopped first and reports why.
        } catch (...) {
            pipe.Fail(std::current_exception());
        }
    });
    try {
        read(pipe);
    } catch (...) {
        pipe.Cancel();
        writer.join();
        throw;
    }
    writer.join();
}

}  // namespace quorvik
