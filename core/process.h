// The processing pass: rebuilds the four derived images and their labels
// from the base image for the current mode.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <string>

#include "core/effect.h"
#include "core/image_set.h"
#include "core/params.h"

namespace prismview {

using Labels = std::array<std::string, kSlotCount>;

// Memory a pass may leave for the next one: redoing the images after a key
// press then reuses it instead of mapping and faulting in fresh pages. Only
// values of the pixel index alone (the dot noise) carry over; every pass
// overwrites everything else it reads.
struct PassMemory {
    PassScratch scratch;
    std::array<SlotTables, 4> tables;
};

struct PassOptions {
    int threads = 0;               // 0: DefaultThreadCount()
    PassMemory* memory = nullptr;  // null: memory lives only inside the pass
    // When set (from any thread), the pass stops after the rows it is on;
    // the derived images are then partly redone.
    const std::atomic<bool>* cancel = nullptr;
    std::int32_t chunkRows = 0;  // rows per range handed to a thread; 0: chosen by the width
    // Test hook: runs on the thread that takes a range of rows, before it
    // works on them (it may block, or throw to make the pass fail).
    std::function<void()> betweenChunks;
};

// Stores the mode's labels into labels[1..4], then, when a base image is
// there, runs the mode's effect for slots 1..4, writing each result straight
// into its derived image. Slots without an effect, or without a bitmap of the
// set's size, keep their pixels. labels[0] is never touched. The rows go to
// the threads of WorkerPool::Shared(). Returns true when the pass completed
// (or had nothing to do); false when it was cancelled or failed (no memory,
// an exception in any row), in which case the derived images may be partly
// redone.
bool ProcessImages(ImageSet& images, Labels& labels, const ProcessingParams& params, const EffectTable& effects,
                   const PassOptions& options = {});

}  // namespace prismview
