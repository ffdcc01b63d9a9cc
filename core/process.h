// The processing pass: rebuilds the four derived images from the base image
// with the four slot kernels of one mode.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/image_set.h"
#include "core/mode.h"
#include "core/params.h"

namespace prismview {

using Labels = std::array<std::string, kSlotCount>;

// The captions of the five slots while images of `mode` are shown: the base
// image's, then the mode's four (all empty for no mode).
Labels LabelsOf(const ModeSpec* mode);

// Memory a pass may leave for the next one. The dot noise depends on the
// pixel index alone, so once worked out for a picture it holds for every
// later pass on a picture of that many pixels or fewer, and redoing the
// images after a key press neither recomputes it nor faults in fresh pages.
struct PassMemory {
    std::vector<std::int32_t> dotNoise;  // DotNoiseRaw of every index
    std::size_t dotNoiseDone = 0;        // how many leading values hold
    std::array<SlotScratch, kSlotCount - 1> scratch;  // of slots 1..4
};

struct PassOptions {
    int threads = 0;               // 0: DefaultThreadCount()
    PassMemory* memory = nullptr;  // null: memory lives only inside the pass
    // When set (from any thread), the pass stops after the rows it is on;
    // the derived images are then partly redone.
    const std::atomic<bool>* cancel = nullptr;
    // When set, the base image read instead of the set's slot 0 (the set's
    // size still says the images' size): a base the caller keeps unchanged
    // while the pass runs.
    const Bitmap* base = nullptr;
    std::int32_t chunkRows = 0;  // rows per range handed to a thread; 0: chosen by the width
    // Only output rows firstRow..lastRow-1 (rows counted from the bottom, as
    // the kernels count them); lastRow 0: up to the top.
    std::int32_t firstRow = 0;
    std::int32_t lastRow = 0;
    // When set, counts the rows done, as the ranges finish (for a progress display).
    std::atomic<std::int64_t>* rowsDone = nullptr;
    // Test hook: runs on the thread that takes a range of rows, before it
    // works on them (it may block, or throw to make the pass fail).
    std::function<void()> betweenChunks;
    // Shrunk copies of slots 1..4 to fill (Downscale's, of the slot's new
    // pixels; null: none), each no larger than the images. Where every kernel
    // fills its rows in order and the whole picture is redone, the rows are
    // handed out one copy row's block at a time and each copy row is made
    // while its block is still in the cache; otherwise after the last row.
    std::array<Bitmap*, kSlotCount> copies{};
};

// When a base image is there, runs the four slot kernels of `mode` (null:
// none), writing each result straight into its derived image. Slots without
// a bitmap of the set's size keep their pixels. The rows go to the threads of
// WorkerPool::Shared(). Returns true when the pass completed (or had nothing
// to do); false when it was cancelled or failed (no memory, an exception in
// any row), in which case the derived images may be partly redone.
bool ProcessImages(ImageSet& images, const ModeSpec* mode, const ProcessingParams& params,
                   const PassOptions& options = {});

}  // namespace prismview
