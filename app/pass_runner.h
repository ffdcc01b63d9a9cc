// The processing pass beside the window, in the shape of Qt's render-thread
// examples: requests come from the window's thread, one pass runs at a time
// on a thread of its own and takes the newest request (a newer request
// cancels an older one, so that ten quick key presses cost one pass), and a
// finished pass is handed to the window's thread by a queued call, where it
// is installed if it is still the newest.
//
// The pass works on a set of its own: a copy of the base image (taken when
// the base changes) and four derived images that nobody paints. A completed
// pass's images change places with the shown ones, all four with the
// parameters that made them at once; the window never sees half a pass.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "core/image_set.h"
#include "core/process.h"

namespace prismview {

struct AppState;

class PassRunner {
public:
    // Queued: passes run on the runner's thread and `post` must run the
    // function it is given on the window's thread, later (a queued call).
    // AtOnce: Request runs the pass on the caller's thread and installs it
    // before it returns (tests, and callers without an event loop).
    enum class Delivery { Queued, AtOnce };
    using Post = std::function<void(std::function<void()>)>;
    // `shown` runs on the window's thread after the pass of the newest
    // request ends (its images installed if it completed; the old ones kept
    // if it failed).
    PassRunner(AppState& state, Delivery delivery, Post post = {}, std::function<void()> shown = {});
    ~PassRunner();  // cancels a running pass and waits for its thread
    PassRunner(const PassRunner&) = delete;
    PassRunner& operator=(const PassRunner&) = delete;

    // On the window's thread: asks for the images of the state's base image,
    // mode and parameters. Completes at once, with no pass, when the shown
    // images are already those (the mode reads none of what changed).
    void Request();
    // Whether the shown images are not yet those of the newest request.
    bool Busy() const { return installed_ != requested_; }
    // On the window's thread, for a command that needs the current images:
    // waits up to `limit` for the pass to end and installs its images at
    // once instead of through `post`.
    void AwaitEnd(std::chrono::milliseconds limit);
    // Drops what is running or asked for, and the runner's own images; the
    // shown images stay. Returns once the pass's thread has let go of everything.
    void Cancel();

    // Test hook: called on the pass's thread between bands of rows, with the
    // pass's cancellation flag. It may block to hold a pass at a band
    // boundary (until the flag is set, or the pass cannot be cancelled), or throw.
    using BandHook = std::function<void(const std::atomic<bool>& cancelled)>;
    void SetBandHook(BandHook hook);

private:
    struct Key {
        std::uint64_t base = 0;  // the base image's generation
        ProcessingParams params;
    };
    // A pass to run, and the shrunk copies the view wanted when it was asked for.
    struct Job {
        std::uint64_t serial = 0;
        Key key;
        std::int32_t copyWidth = 0, copyHeight = 0;
        std::array<bool, kSlotCount> copies{};
    };
    struct Ended {
        std::uint64_t serial;
        bool completed;
        ProcessingParams params;
    };
    void Work();
    bool RunJob(const Job& job);
    void FinishEnded();
    void Finish(const Ended& ended);
    void WaitIdleLocked(std::unique_lock<std::mutex>& lock);

    AppState& state_;
    Post post_;
    std::function<void()> shown_;

    // The window's thread only.
    std::uint64_t requested_ = 0;  // serial of the newest request
    std::uint64_t installed_ = 0;  // serial whose images are shown (or given up on)
    std::optional<Key> wanted_;    // what the newest request asked for

    // Shared with the pass's thread, under the mutex.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Job> job_;      // asked for, not yet taken by the thread
    bool running_ = false;        // the thread is in a pass
    bool quit_ = false;
    std::optional<Ended> ended_;  // a pass ended; not yet finished on the window's thread
    BandHook bandHook_;
    std::atomic<bool> cancel_{false};

    // Only the pass touches these while one runs; the window's thread only
    // while none does.
    ImageSet work_;  // slot 0: a copy of the base image; scaled: copies for the view
    PassMemory memory_;

    std::thread thread_;  // none for AtOnce
};

}  // namespace prismview
