// The processing pass beside the window: requests come from the window's
// thread, one pass runs at a time on a thread of its own, and a newer request
// cancels an older one, so that ten quick key presses cost one pass.
//
// The pass works on a set of its own: a copy of the base image (taken when
// the base changes) and four derived images that nobody paints. A completed
// pass's images change places with the shown ones on the window's thread, all
// four with their labels at once; the window never sees half a pass.
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
    // `post` must run the function it is given on the window's thread, later;
    // `shown` runs there after each pass for the newest request ends (its
    // images shown if it completed; the old ones kept if it failed).
    using Post = std::function<void(std::function<void()>)>;
    PassRunner(AppState& state, Post post, std::function<void()> shown);
    ~PassRunner();  // cancels a running pass and waits for its thread
    PassRunner(const PassRunner&) = delete;
    PassRunner& operator=(const PassRunner&) = delete;

    // On the window's thread: asks for the images of the state's base image,
    // mode and parameters. Completes at once, with no pass, when the shown
    // images are already those (the mode reads none of what changed).
    void Request();
    // Whether the shown images are not yet those of the newest request.
    bool Busy() const;
    // On the window's thread, for a command that needs the current images:
    // waits up to `limit` for the pass to end and shows its images at once
    // instead of through `post`.
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
        std::uint64_t base = 0;
        ProcessingParams params;
    };
    // A pass to run, and the shrunk copies the view wanted when it was asked for.
    struct Job {
        Key key;
        std::int32_t copyWidth = 0, copyHeight = 0;
        std::array<bool, kSlotCount> copies{};
    };
    void Work();
    struct Ended {
        std::uint64_t serial;
        bool completed;
    };
    void FinishEnded();
    void Finish(std::uint64_t serial, bool completed);
    void Install(std::uint64_t serial);
    void WaitIdleLocked(std::unique_lock<std::mutex>& lock);

    AppState& state_;
    Post post_;
    std::function<void()> shown_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Job> job_;           // asked for, not yet taken by the thread
    bool running_ = false;             // the thread is in a pass
    bool quit_ = false;
    std::atomic<bool> cancel_{false};
    std::uint64_t requested_ = 0;      // serial of the newest request
    std::uint64_t installed_ = 0;      // serial whose images are shown
    std::optional<Key> shownKey_;      // what the shown images are of
    std::optional<Key> wantedKey_;     // what the newest request asked for
    std::optional<Ended> ended_;       // the newest pass ended; not yet finished on the window's thread
    BandHook bandHook_;

    // Only the pass's thread touches these while a pass runs; the window's
    // thread only while none does.
    ImageSet work_;                    // slot 0: a copy of the base image; scaled: copies for the view
    std::uint64_t workBase_ = 0;       // which base generation slot 0 holds
    PassMemory memory_;

    std::thread thread_;
};

}  // namespace prismview
