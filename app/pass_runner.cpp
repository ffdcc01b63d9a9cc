#include "app/pass_runner.h"

#include <utility>

#include "app/app_state.h"
#include "app/view.h"
#include "core/downscale.h"
#include "effects/mode_table.h"

namespace prismview {

PassRunner::PassRunner(AppState& state, Delivery delivery, Post post, std::function<void()> shown)
    : state_(state), post_(std::move(post)), shown_(std::move(shown)) {
    if (delivery == Delivery::Queued) thread_ = std::thread([this] { Work(); });
}

PassRunner::~PassRunner() {
    if (!thread_.joinable()) return;
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
    const ImageSet& shown = state_.shown.images;
    const Key key{shown.generation, state_.params};
    // What is shown, or on its way, is already this: nothing to do.
    if (wanted_ && wanted_->base == key.base && SameImages(wanted_->params, key.params)) return;

    const std::uint64_t serial = ++requested_;
    wanted_ = key;
    std::unique_lock lock(mutex_);
    cancel_ = true;  // a running pass is stale now; it stops after the rows it is on
    job_.reset();
    ended_.reset();
    WaitIdleLocked(lock);
    cancel_ = false;

    if (!shown.Loaded()) {
        // Nothing to process: only the labels and swatches follow, at once.
        state_.shown.madeWith = key.params;
        installed_ = serial;
        return;
    }
    // The thread is idle: its own copy of the base follows a new base image.
    if (work_.generation != key.base || work_.width != shown.width || work_.height != shown.height) {
        BitmapHandle copy = Bitmap::Create(shown.width, shown.height);
        if (!copy || !copy->CopyFrom(*shown.bitmaps[0])) {
            ReleaseImages(work_);
            work_.generation = 0;
            installed_ = serial;  // no memory for a pass: the shown images stay
            wanted_.reset();
            return;
        }
        InstallBaseImage(work_, std::move(copy));
        work_.generation = key.base;
    }
    Job job{serial, key};
    const Size copySize = ShownSize(state_);
    job.copyWidth = copySize.width;
    job.copyHeight = copySize.height;
    for (int slot = 1; slot < kSlotCount; ++slot) job.copies[slot] = WantsScaledCopy(state_.view, slot);

    if (!thread_.joinable()) {
        lock.unlock();
        ended_ = Ended{serial, RunJob(job), key.params};
        FinishEnded();
        return;
    }
    job_ = job;
    changed_.notify_all();
}

void PassRunner::Cancel() {
    std::unique_lock lock(mutex_);
    cancel_ = true;
    job_.reset();
    WaitIdleLocked(lock);
    cancel_ = false;
    installed_ = ++requested_;  // whatever a pass posted before is stale now
    ended_.reset();
    wanted_.reset();
    ReleaseImages(work_);
    work_.generation = 0;
}

void PassRunner::SetBandHook(BandHook hook) {
    const std::lock_guard lock(mutex_);
    bandHook_ = std::move(hook);
}

bool PassRunner::RunJob(const Job& job) {
    PassOptions options;
    options.memory = &memory_;
    options.cancel = &cancel_;
    BandHook hook;
    {
        const std::lock_guard lock(mutex_);
        hook = bandHook_;
    }
    if (hook) options.betweenChunks = [this, &hook] { hook(cancel_); };
    try {
        bool completed = ProcessImages(work_, FindMode(job.key.params.effectMode), job.key.params, options);
        // The view's shrunk copies are made here too, off the window's thread.
        for (int slot = 1; completed && slot < kSlotCount; ++slot) {
            work_.scaled[slot].reset();
            if (job.copies[slot] && work_.bitmaps[slot])
                work_.scaled[slot] = Downscale(*work_.bitmaps[slot], job.copyWidth, job.copyHeight);
            completed = !cancel_;
        }
        return completed;
    } catch (...) {
        return false;  // the shown images stay; the program goes on
    }
}

void PassRunner::Work() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return quit_ || job_.has_value(); });
        if (quit_) return;
        const Job job = *job_;
        job_.reset();
        running_ = true;
        lock.unlock();
        const bool completed = RunJob(job);
        lock.lock();
        running_ = false;
        changed_.notify_all();
        // Finished on the window's thread, where a newer request made before
        // this arrives makes it stale.
        if (!quit_ && !job_) {
            ended_ = Ended{job.serial, completed, job.key.params};
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
    if (ended) Finish(*ended);
}

void PassRunner::AwaitEnd(std::chrono::milliseconds limit) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, limit, [this] { return ended_.has_value() || !Busy(); });
    }
    FinishEnded();
}

void PassRunner::Finish(const Ended& ended) {
    if (ended.serial != requested_ || installed_ == requested_) return;
    installed_ = ended.serial;
    ImageSet& shown = state_.shown.images;
    if (ended.completed && work_.width == shown.width && work_.height == shown.height) {
        const std::lock_guard lock(mutex_);  // the thread is idle; the lock orders its writes before these
        for (int slot = 1; slot < kSlotCount; ++slot) {
            std::swap(work_.bitmaps[slot], shown.bitmaps[slot]);  // the old ones are the next pass's to fill
            std::swap(work_.scaled[slot], shown.scaled[slot]);
            work_.scaled[slot].reset();  // the next pass makes its own
        }
        state_.shown.madeWith = ended.params;
    } else {
        wanted_.reset();  // failed: the shown images stay, and the same request may try again
    }
    RefreshView(state_, false);
    if (shown_) shown_();
}

}  // namespace prismview
