#include "app/pass_runner.h"

#include <cstring>
#include <utility>

#include "app/app_state.h"
#include "effects/mode_table.h"

namespace prismview {

namespace {

bool OfSize(const BitmapHandle& bitmap, std::int32_t width, std::int32_t height) {
    return bitmap && bitmap->Width() == width && bitmap->Height() == height;
}

}  // namespace

PassRunner::PassRunner(ShownPictures& shown, Delivery delivery, Post post, std::function<void()> shownCall)
    : shown_(shown), post_(std::move(post)), shownCall_(std::move(shownCall)) {
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

PassRunner::Job PassRunner::MakeJob(std::uint64_t serial, const Key& key, const PassJob& asked) const {
    return {serial, key, asked, shown_.images.bitmaps[0].get()};
}

bool PassRunner::WouldRun(const ProcessingParams& params) const {
    const ImageSet& shown = shown_.images;
    return shown.Loaded() && !(wanted_ && wanted_->base == shown.generation && SameImages(wanted_->params, params));
}

void PassRunner::Request(const PassJob& asked) {
    const ImageSet& shown = shown_.images;
    const Key key{shown.generation, asked.params};
    // What is shown, or on its way, is already this: nothing to do.
    if (wanted_ && wanted_->base == key.base && SameImages(wanted_->params, key.params)) return;

    const std::uint64_t serial = ++requested_;
    wanted_ = key;
    std::unique_lock lock(mutex_);
    // A pass that has run for a while finishes and shows; this one follows it.
    if (running_ && running_->key.base == key.base && shown.Loaded() &&
        std::chrono::steady_clock::now() - runningSince_ >= letFinishAfter_) {
        job_ = MakeJob(serial, key, asked);
        changed_.notify_all();
        return;
    }
    cancel_ = true;  // a running pass is stale now; it stops after the rows it is on
    job_.reset();
    WaitIdleLocked(lock);
    cancel_ = false;

    if (!shown.Loaded()) {
        // Nothing to process: only the labels and swatches follow, at once.
        shown_.madeWith = key.params;
        shown_.previewing = false;
        installed_ = serial;
        return;
    }
    // The thread is idle: its images follow a new base image's size.
    if (work_.generation != key.base || work_.width != shown.width || work_.height != shown.height) {
        const bool sameSize = work_.width == shown.width && work_.height == shown.height;
        if (!sameSize) {  // images of the old size serve no pass of the new one
            for (std::size_t slot = 1; slot < kSlotCount; ++slot) {
                work_.bitmaps[slot].reset();
                spare_[slot].reset();
            }
        }
        work_.width = shown.width;
        work_.height = shown.height;
        work_.generation = key.base;
    }
    const Job job = MakeJob(serial, key, asked);
    if (!thread_.joinable()) {
        lock.unlock();
        Ended ended = RunJob(job);
        Finish(ended);
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
    for (BitmapHandle& b : spare_) b.reset();
}

bool PassRunner::ReleaseIdleMemory() {
    const std::lock_guard lock(mutex_);
    if (Busy() || job_ || running_ || ended_) return false;
    ReleaseImages(work_);
    work_.generation = 0;
    for (BitmapHandle& b : spare_) b.reset();
    memory_ = PassMemory{};
    return true;
}

std::optional<int> PassRunner::Progress() const {
    if (!Busy()) return std::nullopt;
    const std::int64_t rows = shown_.images.height;
    if (rows <= 0) return 0;
    return static_cast<int>(std::min<std::int64_t>(100, rowsDone_.load(std::memory_order_relaxed) * 100 / rows));
}

void PassRunner::SetBandHook(BandHook hook) {
    const std::lock_guard lock(mutex_);
    bandHook_ = std::move(hook);
}

bool PassRunner::ReadyWorkImages() {
    for (std::size_t slot = 1; slot < kSlotCount; ++slot) {
        BitmapHandle& bitmap = work_.bitmaps[slot];
        if (OfSize(bitmap, work_.width, work_.height)) continue;
        {
            const std::lock_guard lock(mutex_);
            bitmap = std::move(spare_[slot]);
        }
        if (!OfSize(bitmap, work_.width, work_.height)) bitmap = Bitmap::Create(work_.width, work_.height);
        if (!bitmap) return false;
    }
    return true;
}

PassRunner::Ended PassRunner::RunJob(const Job& job) {
    Ended ended;
    ended.serial = job.serial;
    ended.params = job.key.params;
    PassOptions options;
    options.base = job.base;
    options.memory = &memory_;
    options.cancel = &cancel_;
    options.rowsDone = &rowsDone_;
    rowsDone_ = 0;
    BandHook hook;
    {
        const std::lock_guard lock(mutex_);
        hook = bandHook_;
    }
    if (hook) options.betweenChunks = [this, &hook] { hook(cancel_); };
    try {
        if (!ReadyWorkImages()) return ended;
        // The shrunk copies asked for are made by the pass too, off the window's
        // thread, each row while its block of rows is still in the cache.
        const PassJob& asked = job.asked;
        for (int slot = 1; slot < kSlotCount; ++slot) {
            work_.scaled[slot].reset();
            const bool fits = asked.copySize.width <= work_.width && asked.copySize.height <= work_.height;
            if (asked.copies[slot] && work_.bitmaps[slot] && fits)
                work_.scaled[slot] = Bitmap::Create(asked.copySize.width, asked.copySize.height);
            options.copies[static_cast<std::size_t>(slot)] = work_.scaled[slot].get();
        }
        const ModeSpec* mode = FindMode(job.key.params.effectMode);
        auto rows = [&](std::int32_t first, std::int32_t last) {
            PassOptions some = options;
            some.firstRow = first;
            some.lastRow = last;
            return ProcessImages(work_, mode, job.key.params, some);
        };
        bool completed = true;
        if (asked.lastRow > asked.firstRow) {
            // The rows asked for first, shown as soon as they are done.
            completed = rows(asked.firstRow, asked.lastRow);
            if (completed && thread_.joinable())
                post_([this, serial = job.serial, first = asked.firstRow, last = asked.lastRow] {
                    ShowRows(serial, first, last);
                });
            if (completed && asked.firstRow > 0) completed = rows(0, asked.firstRow);
            if (completed && asked.lastRow < work_.height) completed = rows(asked.lastRow, 0);
        } else {
            completed = ProcessImages(work_, mode, job.key.params, options);
        }
        if (!completed || cancel_) return ended;
        const std::lock_guard lock(mutex_);  // the window may be copying rows of these
        for (std::size_t slot = 1; slot < kSlotCount; ++slot) {
            ended.bitmaps[slot] = std::move(work_.bitmaps[slot]);
            ended.scaled[slot] = std::move(work_.scaled[slot]);
        }
        ended.completed = true;
    } catch (...) {
        // The shown images stay; the program goes on.
    }
    return ended;
}

void PassRunner::Work() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return quit_ || job_.has_value(); });
        if (quit_) return;
        running_ = std::move(job_);
        job_.reset();
        runningSince_ = std::chrono::steady_clock::now();
        const Job job = *running_;
        lock.unlock();
        Ended ended = RunJob(job);
        lock.lock();
        running_.reset();
        changed_.notify_all();
        if (quit_) return;
        // An ended pass the window has not taken yet is older: its images
        // serve the next pass.
        if (ended_)
            for (std::size_t slot = 1; slot < kSlotCount; ++slot)
                if (ended_->bitmaps[slot]) spare_[slot] = std::move(ended_->bitmaps[slot]);
        ended_ = std::move(ended);
        changed_.notify_all();
        post_([this] { FinishEnded(); });
    }
}

void PassRunner::ShowRows(std::uint64_t serial, std::int32_t firstRow, std::int32_t lastRow) {
    if (serial != requested_ || installed_ == serial) return;
    ImageSet& shown = shown_.images;
    {
        // Only while the pass is still at work: its images are in work_, and
        // it writes none of these rows any more.
        const std::lock_guard lock(mutex_);
        if (!running_ || running_->serial != serial) return;
        for (std::size_t slot = 1; slot < kSlotCount; ++slot) {
            const BitmapHandle& from = work_.bitmaps[slot];
            BitmapHandle& to = shown.bitmaps[slot];
            if (!from || !OfSize(to, from->Width(), from->Height())) continue;
            const std::int32_t height = from->Height();
            for (std::int32_t row = firstRow; row < lastRow; ++row)
                std::memcpy(to->Scanline(height - 1 - row), from->Scanline(height - 1 - row),
                            static_cast<std::size_t>(from->BytesPerLine()));
        }
    }
    if (shownCall_) shownCall_();
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

void PassRunner::Finish(Ended& ended) {
    ShownPictures& shown = shown_;
    ImageSet& images = shown.images;
    bool whole = ended.completed && ended.serial > installed_;
    for (std::size_t slot = 1; whole && slot < kSlotCount; ++slot)
        whole = OfSize(ended.bitmaps[slot], images.width, images.height);
    if (whole) {
        for (std::size_t slot = 1; slot < kSlotCount; ++slot) {
            std::swap(ended.bitmaps[slot], images.bitmaps[slot]);  // the old ones serve the next pass
            std::swap(ended.scaled[slot], images.scaled[slot]);
        }
        installed_ = ended.serial;
        shown.madeWith = ended.params;
        shown.previewing = false;
    } else if (ended.serial == requested_ && installed_ != requested_) {
        installed_ = requested_;  // the newest failed: the shown images stay, the same request may try again
        wanted_.reset();
        shown.previewing = false;
    }
    {
        const std::lock_guard lock(mutex_);
        for (std::size_t slot = 1; slot < kSlotCount; ++slot)
            if (OfSize(ended.bitmaps[slot], work_.width, work_.height) && !spare_[slot])
                spare_[slot] = std::move(ended.bitmaps[slot]);
    }
    if (!whole && ended.serial != requested_) return;  // stale: nothing changed on the screen
    if (shownCall_) shownCall_();
}

}  // namespace prismview
