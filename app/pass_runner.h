// The processing pass beside the window, in the shape of Qt's render-thread
// examples: requests come from the window's thread, one pass runs at a time
// on a thread of its own and takes the newest request, and a finished pass
// is handed to the window's thread by a queued call, where it is installed
// if nothing newer is shown. A newer request cancels the running pass, so
// that ten quick key presses cost one pass, unless that pass has run for
// more than a quarter of a second: then it finishes and shows, so that a
// long sweep of presses still shows exact pictures now and then.
//
// The pass reads the shown base image, which nothing changes while a pass
// runs (every replacement of the base cancels the pass first, see
// StopPassesOnBase), and writes four derived images of its own that nobody
// paints. A completed pass hands its four images over, with the parameters
// that made them; the window never sees half a pass, except the rows a job
// asks for first, which are shown as soon as they are done. What a job asks
// for is worked out from the view by the caller (Regenerate): the runner
// knows the pictures, never how they are shown.
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

#include "app/geometry.h"
#include "core/image_set.h"
#include "core/process.h"

namespace prismview {

struct ShownPictures;

// What a pass is to make: the derived pictures of these parameters from the
// shown base image, shrunk copies of `copySize` of the slots marked (slot 0,
// the base, is the view's own: the pass makes none), and the rows
// firstRow..lastRow - 1 (counted from the bottom) made and shown first.
struct PassJob {
    ProcessingParams params;
    Size copySize;
    std::array<bool, kSlotCount> copies{};
    std::int32_t firstRow = 0, lastRow = 0;  // lastRow 0: no rows first
};

class PassRunner {
public:
    // Queued: passes run on the runner's thread and `post` must run the
    // function it is given on the window's thread, later (a queued call).
    // AtOnce: Request runs the pass on the caller's thread and installs it
    // before it returns (tests, and callers without an event loop).
    enum class Delivery { Queued, AtOnce };
    using Post = std::function<void(std::function<void()>)>;
    // `shown` runs on the window's thread whenever new pictures or rows are
    // installed, and when the newest request failed (the old ones kept).
    PassRunner(ShownPictures& shown, Delivery delivery, Post post = {}, std::function<void()> shownCall = {});
    ~PassRunner();  // cancels a running pass and waits for its thread
    PassRunner(const PassRunner&) = delete;
    PassRunner& operator=(const PassRunner&) = delete;

    // On the window's thread: asks for the job's images of the shown base
    // image. Completes at once, with no pass, when the shown images are
    // already those (the mode reads none of what changed).
    void Request(const PassJob& job);
    // Whether Request would run a pass now for these parameters: a picture
    // is shown and what is shown, or on its way, was made otherwise.
    bool WouldRun(const ProcessingParams& params) const;
    // Whether the shown images are not yet those of the newest request.
    bool Busy() const { return installed_ != requested_; }
    // How much of the running pass is done, 0..100; none when none runs.
    std::optional<int> Progress() const;
    // On the window's thread, for a command that needs the current images:
    // waits up to `limit` for a pass to end and installs its images at once
    // instead of through `post`.
    void AwaitEnd(std::chrono::milliseconds limit);
    // Drops what is running or asked for, and the runner's own images; the
    // shown images stay. Returns once the pass's thread has let go of everything.
    void Cancel();

    // On the window's thread, once the window has been idle a while: lets go
    // of the runner's own images and scratch (its copy of the base, the
    // images the next pass would fill, the dot noise) when no pass runs or
    // is asked for. The next pass makes them again. Returns whether it did.
    bool ReleaseIdleMemory();

    // How long a pass runs before a newer request lets it finish (tests
    // choose their own).
    static constexpr std::chrono::milliseconds kLetFinishAfter{250};
    void SetLetFinishAfter(std::chrono::milliseconds after) { letFinishAfter_ = after; }

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
    // A pass to run: the request it answers and what it was asked for.
    struct Job {
        std::uint64_t serial = 0;
        Key key;
        PassJob asked;
        const Bitmap* base = nullptr;  // the shown base image
    };
    // A pass that ended, with the images it made (slots 1..4) if it completed.
    struct Ended {
        std::uint64_t serial = 0;
        bool completed = false;
        ProcessingParams params;
        std::array<BitmapHandle, kSlotCount> bitmaps, scaled;
    };
    Job MakeJob(std::uint64_t serial, const Key& key, const PassJob& asked) const;
    void Work();
    Ended RunJob(const Job& job);
    bool ReadyWorkImages();
    void ShowRows(std::uint64_t serial, std::int32_t firstRow, std::int32_t lastRow);
    void FinishEnded();
    void Finish(Ended& ended);
    void WaitIdleLocked(std::unique_lock<std::mutex>& lock);

    ShownPictures& shown_;
    Post post_;
    std::function<void()> shownCall_;

    // The window's thread only.
    std::uint64_t requested_ = 0;  // serial of the newest request
    std::uint64_t installed_ = 0;  // serial whose images are shown (or given up on)
    std::optional<Key> wanted_;    // what the newest request asked for
    std::chrono::milliseconds letFinishAfter_ = kLetFinishAfter;

    // Shared with the pass's thread, under the mutex.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Job> job_;      // asked for, not yet taken by the thread
    std::optional<Job> running_;  // the job the thread is in
    std::chrono::steady_clock::time_point runningSince_;
    bool quit_ = false;
    std::optional<Ended> ended_;  // a pass ended; not yet finished on the window's thread
    std::array<BitmapHandle, kSlotCount> spare_;  // images the window gave back, for the next pass
    BandHook bandHook_;
    std::atomic<bool> cancel_{false};
    std::atomic<std::int64_t> rowsDone_{0};

    // Only the pass touches these while one runs; the window's thread only
    // while none does (and the rows asked for first, once they are done).
    ImageSet work_;  // slot 0 stays empty: the pass reads the shown base
    PassMemory memory_;

    std::thread thread_;  // none for AtOnce
};

}  // namespace prismview
