#include "app/pass_runner.h"

#include <cstring>
#include <utility>

#include "app/app_state.h"
#include "app/view.h"
#include "effects/mode_table.h"

namespace prismview {

namespace {

bool OfSize(const BitmapHandle& bitmap, std::int32_t width, std::int32_t height) {
    return bitmap && bitmap->Width() == width && bitmap->Height() == height;
}

}  // namespace

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

PassRunner::Job PassRunner::MakeJob(std::uint64_t serial, const Key& key) const {
    Job job{serial, key};
    job.base = state_.shown.images.bitmaps[0].get();
    const ViewState& view = state_.view;
    const Size copySize = ShownSize(state_);
    job.copyWidth = copySize.width;
    job.copyHeight = copySize.height;
    for (int slot = 1; slot < kSlotCount; ++slot) job.copies[slot] = WantsScaledCopy(view, slot);
    if (view.scale.Shrinks()) return job;
    // At scale 1 and above, the rows of the derived pictures inside the
    // viewport come first (top-down here, bottom-up in the job).
    const std::int32_t height = state_.shown.images.height;
    const Layout layout = LayoutOf(state_);
    const Rect viewport{0, 0, view.viewport.width, view.viewport.height};
    std::int64_t top = height, bottom = 0;
    for (std::int32_t slot = 1; slot < kSlotCount; ++slot) {
        if (!view.Gallery() && view.selectedImage != slot) continue;
        const Rect place = layout.Tile(view.Gallery() ? slot : 0);
        const std::int32_t from = std::max(place.top, viewport.top), to = std::min(place.bottom, viewport.bottom);
        if (from >= to || std::max(place.left, viewport.left) >= std::min(place.right, viewport.right)) continue;
        // Screen rows to picture rows: a picture row covers num / den screen rows.
        const Scale& scale = view.scale;
        top = std::min<std::int64_t>(top, (std::int64_t{from} - place.top) * scale.den / scale.num);
        bottom = std::max<std::int64_t>(
            bottom, std::min<std::int64_t>(height, ((std::int64_t{to} - place.top) * scale.den + scale.num - 1) / scale.num));
    }
    if (top < bottom && (top > 0 || bottom < height)) {
        job.firstRow = static_cast<std::int32_t>(height - bottom);
        job.lastRow = static_cast<std::int32_t>(height - top);
    }
    return job;
}

bool PassRunner::WouldRun() const {
    const ImageSet& shown = state_.shown.images;
    return shown.Loaded() && !(wanted_ && wanted_->base == shown.generation && SameImages(wanted_->params, state_.params));
}

void PassRunner::Request() {
    const ImageSet& shown = state_.shown.images;
    const Key key{shown.generation, state_.params};
    // What is shown, or on its way, is already this: nothing to do.
    if (wanted_ && wanted_->base == key.base && SameImages(wanted_->params, key.params)) return;

    const std::uint64_t serial = ++requested_;
    wanted_ = key;
    std::unique_lock lock(mutex_);
    // A pass that has run for a while finishes and shows; this one follows it.
    if (running_ && running_->key.base == key.base && shown.Loaded() &&
        std::chrono::steady_clock::now() - runningSince_ >= letFinishAfter_) {
        job_ = MakeJob(serial, key);
        changed_.notify_all();
        return;
    }
    cancel_ = true;  // a running pass is stale now; it stops after the rows it is on
    job_.reset();
    WaitIdleLocked(lock);
    cancel_ = false;

    if (!shown.Loaded()) {
        // Nothing to process: only the labels and swatches follow, at once.
        state_.shown.madeWith = key.params;
        state_.shown.previewing = false;
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
    const Job job = MakeJob(serial, key);
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
    const std::int64_t rows = state_.shown.images.height;
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
        // The view's shrunk copies are made by the pass too, off the window's
        // thread, each row while its block of rows is still in the cache.
        for (int slot = 1; slot < kSlotCount; ++slot) {
            work_.scaled[slot].reset();
            const bool fits = job.copyWidth <= work_.width && job.copyHeight <= work_.height;
            if (job.copies[slot] && work_.bitmaps[slot] && fits)
                work_.scaled[slot] = Bitmap::Create(job.copyWidth, job.copyHeight);
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
        if (job.lastRow > job.firstRow) {
            // The rows on the screen first, shown as soon as they are done.
            completed = rows(job.firstRow, job.lastRow);
            if (completed && thread_.joinable())
                post_([this, serial = job.serial, first = job.firstRow, last = job.lastRow] {
                    ShowRows(serial, first, last);
                });
            if (completed && job.firstRow > 0) completed = rows(0, job.firstRow);
            if (completed && job.lastRow < work_.height) completed = rows(job.lastRow, 0);
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
    ImageSet& shown = state_.shown.images;
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
    if (shown_) shown_();
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
    ShownPictures& shown = state_.shown;
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
    RefreshView(state_, false);
    if (shown_) shown_();
}

}  // namespace prismview
