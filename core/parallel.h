// Spreading the rows of an image over threads. A process-wide pool of
// worker threads serves every pass; the calling thread always works too.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace prismview {

// The number of threads a pass uses when none is asked for.
int DefaultThreadCount();

// Worker threads kept for the life of the process. Run hands out chunks of
// rows from a shared counter, so a thread slowed by another program simply
// takes fewer chunks instead of holding up a fixed half of the work.
class WorkerPool {
public:
    WorkerPool() = default;
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // The pool every pass shares.
    static WorkerPool& Shared();

    // Calls job(first, last) for consecutive ranges of `chunk` rows (the last
    // one shorter) covering 0..rows-1, each range exactly once, on up to
    // `threads` threads including the calling one; returns when every call
    // has returned. Before taking a range each thread looks at `cancel`: once
    // it is set no further range starts. Returns true when every range ran;
    // false when cancelled or when a call threw (the exception stops the
    // job and goes no further). Several callers may run jobs at once; a job
    // takes the workers that are free, and the caller works on it anyway.
    bool Run(std::int32_t rows, std::int32_t chunk, int threads,
             const std::function<void(std::int32_t first, std::int32_t last)>& job,
             const std::atomic<bool>* cancel = nullptr);

private:
    struct Job;
    void Work();
    void Grow(int workers);  // under mutex_

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<Job*> jobs_;
    std::vector<std::thread> workers_;
    bool stopping_ = false;
};

// Calls band(first, last) for contiguous row ranges covering 0..rows-1, on up
// to `threads` threads (the calling thread is one of them); returns when all
// bands are done.
void ForEachRowBand(std::int32_t rows, int threads,
                    const std::function<void(std::int32_t first, std::int32_t last)>& band);

}  // namespace prismview
