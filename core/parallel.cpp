#include "core/parallel.h"

#include <algorithm>
#include <system_error>

namespace prismview {

namespace {
constexpr int kMaxThreads = 64;
}

int DefaultThreadCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(std::min(n, static_cast<unsigned>(kMaxThreads)));
}

// One call of Run. Ranges are taken from `next`; `helpers` counts the workers
// that joined, `active` those still inside it.
struct WorkerPool::Job {
    std::int32_t rows, chunk;
    const std::function<void(std::int32_t, std::int32_t)>* work;
    const std::atomic<bool>* cancel;
    int helpersWanted;
    int helpers = 0;  // under the pool's mutex
    int active = 0;   // under the pool's mutex
    std::atomic<std::int32_t> next{0};
    std::atomic<bool> failed{false};
    std::atomic<bool> cancelled{false};

    // Takes ranges until none is left, the job failed or it is cancelled.
    void Drain() {
        for (;;) {
            if (failed.load(std::memory_order_relaxed)) return;
            if (cancel && cancel->load(std::memory_order_relaxed)) {
                cancelled.store(true, std::memory_order_relaxed);
                return;
            }
            const std::int32_t first = next.fetch_add(chunk, std::memory_order_relaxed);
            if (first >= rows) return;
            try {
                (*work)(first, static_cast<std::int32_t>(std::min<std::int64_t>(rows, std::int64_t{first} + chunk)));
            } catch (...) {
                failed.store(true, std::memory_order_relaxed);
                return;
            }
        }
    }
};

WorkerPool& WorkerPool::Shared() {
    static WorkerPool pool;
    return pool;
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void WorkerPool::Grow(int workers) {
    while (static_cast<int>(workers_.size()) < workers) {
        try {
            workers_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            return;  // no thread to be had: the caller's thread does more of the work
        }
    }
}

void WorkerPool::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_) return;
        Job* job = jobs_.front();
        if (++job->helpers >= job->helpersWanted) jobs_.pop_front();  // enough hands on it
        ++job->active;
        lock.unlock();
        job->Drain();
        lock.lock();
        if (--job->active == 0) done_.notify_all();
    }
}

bool WorkerPool::Run(std::int32_t rows, std::int32_t chunk, int threads,
                     const std::function<void(std::int32_t, std::int32_t)>& job, const std::atomic<bool>* cancel) {
    if (rows <= 0) return !(cancel && cancel->load());
    Job run{rows, std::max(chunk, std::int32_t{1}), &job, cancel, 0};
    const std::int64_t ranges = (std::int64_t{rows} + run.chunk - 1) / run.chunk;
    run.helpersWanted = static_cast<int>(std::min<std::int64_t>(std::clamp(threads, 1, kMaxThreads), ranges)) - 1;
    if (run.helpersWanted > 0) {
        try {
            std::lock_guard lock(mutex_);
            Grow(run.helpersWanted);
            jobs_.push_back(&run);
        } catch (...) {
            run.helpersWanted = 0;  // no memory for the queue: work alone
        }
    }
    if (run.helpersWanted > 0) wake_.notify_all();
    run.Drain();
    if (run.helpersWanted > 0) {
        std::unique_lock lock(mutex_);
        // No worker may join once the caller stops waiting: take the job off
        // the queue, then wait for those inside it.
        if (auto it = std::find(jobs_.begin(), jobs_.end(), &run); it != jobs_.end()) jobs_.erase(it);
        done_.wait(lock, [&] { return run.active == 0; });
    }
    return !run.failed.load() && !run.cancelled.load();
}

void ForEachRowBand(std::int32_t rows, int threads,
                    const std::function<void(std::int32_t, std::int32_t)>& band) {
    if (rows <= 0) return;
    const std::int32_t count = std::clamp(threads, 1, static_cast<int>(rows));
    auto bandStart = [&](std::int32_t i) {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(rows) * i / count);
    };
    WorkerPool::Shared().Run(count, 1, count, [&](std::int32_t first, std::int32_t) {
        band(bandStart(first), bandStart(first + 1));
    });
}

}  // namespace prismview
