// Undo and redo: every change of the mode or a parameter is a step (the
// presses of one key less than a second apart make one, and so does the
// whole of a gesture such as a slider's drag), and every
// replacement of the base image is a step that keeps the replaced picture.
// At most 100 steps, and at most the picture memory of two of the largest
// pictures the memory guard lets in; the oldest steps go first.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "app/chain.h"
#include "core/bitmap.h"
#include "core/params.h"

namespace prismview {

// What a step takes back: the parameters before it and, where the step
// replaced the base image, that picture with its file.
struct HistoryStep {
    ProcessingParams params;
    BitmapHandle base;  // null: the base image stayed
    std::string baseFileName, basePath;
    std::string baseDamage;
    Chain baseChain;
};

class History {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kMaxSteps = 100;

    // pictureBytes: the most the kept pictures may take; -1: what the
    // memory guard allows for two pictures, worked out when first needed.
    explicit History(std::int64_t pictureBytes = -1) : pictureBytes_(pictureBytes) {}

    // The parameters went from `before` to `after`, by `key` (what made the
    // change: a key or another control that repeats; -1: nothing that repeats).
    void ParametersChanged(const ProcessingParams& before, const ProcessingParams& after, int key = -1,
                           Clock::time_point now = Clock::now());
    // The base image is being replaced; `step` holds the old one.
    void BaseReplaced(HistoryStep step);

    // A gesture (a slider's drag) makes one step of everything it changes,
    // from the parameters at its start to those at its end, however long it
    // lasts; its changes are not reported one by one. A step recorded while
    // it goes on (a key, a paste) first closes the gesture's part before it
    // as a step of its own, and the gesture goes on from after it.
    void BeginGesture(const ProcessingParams& now);
    void EndGesture(const ProcessingParams& now);
    bool InGesture() const { return gesture_.has_value(); }
    // Makes what the gesture changed so far a step, so that an undo takes
    // that back first; nothing outside a gesture.
    void Settle(const ProcessingParams& now);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    std::size_t Steps() const { return undo_.size(); }
    std::int64_t PictureBytes() const;

    // Takes the newest step to undo (or redo); false when there is none.
    bool Take(bool undo, HistoryStep& step);
    // Keeps what an undo (or redo) replaced, for the way back.
    void Keep(bool undo, HistoryStep step);

private:
    void Trim();
    void Push(const ProcessingParams& before);

    std::int64_t pictureBytes_;
    std::deque<HistoryStep> undo_, redo_;
    int lastKey_ = -1;
    Clock::time_point lastTime_{};
    std::optional<ProcessingParams> gesture_;  // where the running gesture's open part starts
};

}  // namespace prismview
