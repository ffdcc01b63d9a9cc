#include "app/pass_runner.h"

#include <utility>

#include "app/app_state.h"
#include "app/view.h"
#include "core/downscale.h"
#include "effects/mode_table.h"

namespace prismview {

PassRunner::PassRunner(AppState& state, Post post, std::function<void()> shown)
    : state_(state), post_(std::move(post)), shown_(std::move(shown)), thread_([this] { Work(); }) {}

PassRunner::~PassRunner() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        cancel_ = true;
        job_.reset();
    }
    changed_.notify_all();
    thread_.join();
}

void PassRunner::WaitIdleLocked(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [this] { return !running_; });
}

void PassRunner::Request() {
    const Key key{state_.images.generation, static_cast<const ProcessingParams&>(state_)};
    std::unique_lock lock(mutex_);
    // What is shown, or on its way, is already this: nothing to do.
    if (wantedKey_ && wantedKey_->base == key.base && SameImages(wantedKey_->params, key.params)) return;

    ++requested_;
    wantedKey_ = key;
    cancel_ = true;  // a running pass is stale now; it stops after the rows it is on
    job_.reset();
    WaitIdleLocked(lock);
    cancel_ = false;

    if (!state_.images.Loaded()) {
        // Nothing to process: only the labels change, at once.
        state_.labels = LabelsOf(FindMode(key.params.effectMode));
        installed_ = requested_;
        shownKey_ = key;
        return;
    }
    // The thread is idle: its own copy of the base follows a new base image.
    if (workBase_ != key.base || work_.width != state_.images.width || work_.height != state_.images.height) {
        BitmapHandle copy = Bitmap::Create(state_.images.width, state_.images.height);
        if (!copy || !copy->CopyFrom(*state_.images.bitmaps[0])) {
            ReleaseImages(work_);
            workBase_ = 0;
            installed_ = requested_;  // no memory for a pass: the shown images stay
            wantedKey_ = shownKey_;
            return;
        }
        InstallBaseImage(work_, std::move(copy));
        workBase_ = key.base;
    }
    Job job{key};
    const Size shown = ShownSize(state_);
    job.copyWidth = shown.width;
    job.copyHeight = shown.height;
    for (int slot = 1; slot < kSlotCount; ++slot) job.copies[slot] = WantsScaledCopy(state_, slot);
    job_ = job;
    changed_.notify_all();
}

bool PassRunner::Busy() const {
    const std::lock_guard lock(mutex_);
    return installed_ != requested_;
}

void PassRunner::Cancel() {
    std::unique_lock lock(mutex_);
    cancel_ = true;
    job_.reset();
    WaitIdleLocked(lock);
    cancel_ = false;
    installed_ = ++requested_;  // whatever a pass posted before is stale now
    ended_.reset();
    wantedKey_.reset();
    shownKey_.reset();
    ReleaseImages(work_);
    workBase_ = 0;
}

void PassRunner::SetBandHook(BandHook hook) {
    const std::lock_guard lock(mutex_);
    bandHook_ = std::move(hook);
}

void PassRunner::Work() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return quit_ || job_.has_value(); });
        if (quit_) return;
        const Job job = *job_;
        job_.reset();
        const std::uint64_t serial = requested_;
        running_ = true;
        PassOptions options;
        options.memory = &memory_;
        options.cancel = &cancel_;
        if (bandHook_) options.betweenChunks = [this, hook = bandHook_] { hook(cancel_); };
        lock.unlock();

        bool completed = false;
        try {
            completed = ProcessImages(work_, FindMode(job.key.params.effectMode), job.key.params, options);
            // The view's shrunk copies are made here too, off the window's thread.
            for (int slot = 1; completed && slot < kSlotCount; ++slot) {
                work_.scaled[slot].reset();
                if (job.copies[slot] && work_.bitmaps[slot])
                    work_.scaled[slot] = Downscale(*work_.bitmaps[slot], job.copyWidth, job.copyHeight);
                completed = !cancel_;
            }
        } catch (...) {
            completed = false;  // the shown images stay; the program goes on
        }

        lock.lock();
        running_ = false;
        changed_.notify_all();
        // Finished on the window's thread; a newer request made there before
        // this arrives makes it stale.
        if (serial == requested_ && !quit_) {
            ended_ = Ended{serial, completed};
            changed_.notify_all();
            post_([this] { FinishEnded(); });
        }
    }
}

void PassRunner::FinishEnded() {
    std::optional<Ended> ended;
    {
        const std::lock_guard lock(mutex_);
        ended.swap(ended_);
    }
    if (ended) Finish(ended->serial, ended->completed);
}

void PassRunner::AwaitEnd(std::chrono::milliseconds limit) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, limit, [this] { return ended_.has_value() || installed_ == requested_; });
    }
    FinishEnded();
}

void PassRunner::Finish(std::uint64_t serial, bool completed) {
    {
        const std::lock_guard lock(mutex_);
        if (serial != requested_ || running_ || job_) return;
        if (!completed || work_.width != state_.images.width || work_.height != state_.images.height) {
            installed_ = requested_;  // failed: the shown images stay, nothing more is coming
            wantedKey_ = shownKey_;
            completed = false;
        }
    }
    if (completed) Install(serial);
    shown_();
}

void PassRunner::Install(std::uint64_t serial) {
    {
        const std::lock_guard lock(mutex_);
        for (int slot = 1; slot < kSlotCount; ++slot) {
            std::swap(work_.bitmaps[slot], state_.images.bitmaps[slot]);
            std::swap(work_.scaled[slot], state_.images.scaled[slot]);
        }
        if (wantedKey_) state_.labels = LabelsOf(FindMode(wantedKey_->params.effectMode));
        installed_ = serial;
        shownKey_ = wantedKey_;
    }
}

}  // namespace prismview
