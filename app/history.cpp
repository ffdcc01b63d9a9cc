#include "app/history.h"

#include <algorithm>

#include "io/picture_file.h"

namespace prismview {

namespace {

std::int64_t BytesOf(const HistoryStep& step) {
    return step.base ? std::int64_t{step.base->Width()} * step.base->Height() * 4 : 0;
}

}  // namespace

void History::ParametersChanged(const ProcessingParams& before, const ProcessingParams& after, int key,
                                Clock::time_point now) {
    if (before == after) return;
    if (gesture_) {
        Settle(before);
        gesture_ = after;
    }
    // Presses of one key less than a second apart make one step.
    const bool continues = key >= 0 && key == lastKey_ && now - lastTime_ < std::chrono::seconds(1) &&
                           !undo_.empty() && !undo_.back().base;
    lastKey_ = key;
    lastTime_ = now;
    redo_.clear();
    if (continues) return;
    undo_.push_back(HistoryStep{before, nullptr, {}, {}, {}, {}});
    Trim();
}

void History::Push(const ProcessingParams& before) {
    lastKey_ = -1;
    redo_.clear();
    undo_.push_back(HistoryStep{before, nullptr, {}, {}, {}, {}});
    Trim();
}

void History::BeginGesture(const ProcessingParams& now) {
    if (gesture_) Settle(now);
    gesture_ = now;
}

void History::EndGesture(const ProcessingParams& now) {
    Settle(now);
    gesture_.reset();
}

void History::Settle(const ProcessingParams& now) {
    if (!gesture_ || *gesture_ == now) return;
    Push(*gesture_);
    gesture_ = now;
}

void History::BaseReplaced(HistoryStep step) {
    Settle(step.params);  // the replaced base's step holds the parameters as they are
    lastKey_ = -1;
    redo_.clear();
    undo_.push_back(std::move(step));
    Trim();
}

std::int64_t History::PictureBytes() const {
    std::int64_t bytes = 0;
    for (const auto* steps : {&undo_, &redo_})
        for (const HistoryStep& step : *steps) bytes += BytesOf(step);
    return bytes;
}

bool History::Take(bool undo, HistoryStep& step) {
    std::deque<HistoryStep>& from = undo ? undo_ : redo_;
    if (from.empty()) return false;
    step = std::move(from.back());
    from.pop_back();
    lastKey_ = -1;
    if (gesture_) gesture_ = step.params;  // a gesture going on goes on from what the step brings back
    return true;
}

void History::Keep(bool undo, HistoryStep step) {
    (undo ? redo_ : undo_).push_back(std::move(step));
    Trim();
}

void History::Trim() {
    if (pictureBytes_ < 0) {
        const std::int64_t available = AvailableMemory();
        pictureBytes_ = available < 0 ? std::int64_t{1} << 31 : 2 * (std::int64_t{DecodeLimitMegabytes(available)} << 20);
    }
    while (undo_.size() > kMaxSteps) undo_.pop_front();
    // The oldest pictures go first: the undo steps' from the oldest on, then the redo steps' from the farthest.
    while (PictureBytes() > pictureBytes_) {
        auto oldest = std::find_if(undo_.begin(), undo_.end(), [](const HistoryStep& s) { return s.base != nullptr; });
        if (oldest != undo_.end()) {
            undo_.erase(undo_.begin(), oldest + 1);  // the steps before it could not be undone past it
            continue;
        }
        auto farthest = std::find_if(redo_.begin(), redo_.end(), [](const HistoryStep& s) { return s.base != nullptr; });
        if (farthest == redo_.end()) break;
        redo_.erase(redo_.begin(), farthest + 1);
    }
}

}  // namespace prismview
