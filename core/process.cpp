#include "core/process.h"

#include <algorithm>
#include <new>

#include "core/parallel.h"
#include "resources/modes.h"

namespace prismview {

namespace {

// Below this many pixels a pass is quicker on one thread than on several.
constexpr std::int64_t kMinPixelsForThreads = 64 * 64;

bool SameSize(const BitmapHandle& bitmap, const ImageSet& images) {
    return bitmap && bitmap->Width() == images.width && bitmap->Height() == images.height;
}

// Rows per range handed to a thread: small enough that a busy core holds up
// little, large enough that the base rows of a range stay in the cache while
// the four slots read them.
constexpr std::int32_t kChunkPixels = 32 * 1024;

// Sizes a buffer for the pass; memory kept from a much bigger picture goes.
// Returns how many leading elements kept their values.
template <class T>
std::size_t Fit(std::vector<T>& values, std::size_t count) {
    std::size_t kept = std::min(values.size(), count);
    if (values.capacity() > 2 * count) {
        std::vector<T>().swap(values);
        kept = 0;
    }
    values.resize(count);
    return kept;
}

}  // namespace

bool ProcessImages(ImageSet& images, Labels& labels, const ProcessingParams& params, const EffectTable& effects,
                   const PassOptions& options) {
    const bool known = params.effectMode >= 0 && params.effectMode < kModeCount;
    for (int slot = 1; slot < kSlotCount; ++slot)
        labels[slot] = known ? std::string(ModeLabelTable[params.effectMode].labels[slot - 1]) : std::string();

    if (!known || images.width <= 0 || images.height <= 0 || !SameSize(images.bitmaps[0], images))
        return true;
    const ModeEffects& mode = effects[params.effectMode];

    int threads = options.threads > 0 ? options.threads : DefaultThreadCount();
    if (std::int64_t{images.width} * images.height < kMinPixelsForThreads) threads = 1;

    PassMemory local;
    PassMemory& memory = options.memory ? *options.memory : local;
    try {
        const Bitmap& base = *images.bitmaps[0];
        const SourceRows source = base.BottomUpRows();

        PassScratch& scratch = memory.scratch;
        bool prepare = false;
        if (mode.prepare) {
            const std::size_t count = static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height);
            const bool stillGood = mode.prepareReadsIndexOnly && scratch.preparedBy == mode.prepare;
            scratch.preparedBy = nullptr;  // until it holds this pass's values
            prepare = Fit(scratch.perPixel, count) < count || !stillGood;
        }

        struct Slot {
            SlotRunner run;
            TargetRows out;
            SlotContext context;
        };
        std::vector<Slot> slots;
        slots.reserve(kSlotCount - 1);
        for (int slot = 1; slot < kSlotCount; ++slot) {
            const SlotRunner run = mode.runners[slot - 1];
            if (!run || !SameSize(images.bitmaps[slot], images)) continue;
            SlotTables& tables = memory.tables[slot - 1];
            slots.push_back({run, images.bitmaps[slot]->BottomUpRows(), {source, params, slot, scratch, tables}});
            if (const SlotSetup setup = mode.setups[slot - 1]) setup(slots.back().context, tables);
        }

        // All four slots of a range of rows run together, while its base rows
        // (and its dot noise) are still in the cache.
        const std::int32_t chunk =
            options.chunkRows > 0 ? options.chunkRows : std::max(std::int32_t{1}, kChunkPixels / source.width);
        const bool done = WorkerPool::Shared().Run(
            source.height, chunk, threads,
            [&](std::int32_t first, std::int32_t last) {
                if (options.betweenChunks) options.betweenChunks();
                if (prepare) mode.prepare(source, params, scratch, first, last);
                for (const Slot& slot : slots) slot.run(slot.context, slot.out, first, last);
            },
            options.cancel);
        if (mode.prepare && (done || !prepare)) scratch.preparedBy = mode.prepare;
        return done;
    } catch (...) {
        // No memory for the tables: the derived images keep what they held.
        return false;
    }
}

}  // namespace prismview
