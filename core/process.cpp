#include "core/process.h"

#include <algorithm>

#include "core/colour.h"
#include "core/downscale.h"
#include "core/parallel.h"
#include "resources/strings.h"

namespace prismview {

namespace {

// Below this many pixels a pass is quicker on one thread than on several.
constexpr std::int64_t kMinPixelsForThreads = 64 * 64;

// Rows per range handed to a thread: small enough that a busy core holds up
// little, large enough that the base rows of a range stay in the cache while
// the four slots read them.
constexpr std::int32_t kChunkPixels = 32 * 1024;

bool SameSize(const BitmapHandle& bitmap, const ImageSet& images) {
    return bitmap && bitmap->Width() == images.width && bitmap->Height() == images.height;
}

// Sizes the dot noise for `count` pixels; memory kept from a much bigger
// picture goes. Returns how many leading values still hold.
std::size_t FitDotNoise(PassMemory& memory, std::size_t count) {
    std::vector<std::int32_t>& values = memory.dotNoise;
    std::size_t kept = std::min(memory.dotNoiseDone, count);
    if (values.capacity() > 2 * count) {
        std::vector<std::int32_t>().swap(values);
        kept = 0;
    }
    values.resize(count);
    memory.dotNoiseDone = 0;  // until this pass has filled what it needs
    return kept;
}

}  // namespace

Labels LabelsOf(const ModeSpec* mode) {
    Labels labels{std::string(kBaseImageLabel), "", "", "", ""};
    if (mode)
        for (int slot = 1; slot < kSlotCount; ++slot) labels[slot] = std::string(mode->labels[slot - 1]);
    return labels;
}

bool ProcessImages(ImageSet& images, const ModeSpec* mode, const ProcessingParams& params,
                   const PassOptions& options) {
    const Bitmap* base = options.base ? options.base : images.bitmaps[0].get();
    if (!mode || images.width <= 0 || images.height <= 0 || !base || base->Width() != images.width ||
        base->Height() != images.height)
        return true;

    int threads = options.threads > 0 ? options.threads : DefaultThreadCount();
    if (std::int64_t{images.width} * images.height < kMinPixelsForThreads) threads = 1;

    PassMemory local;
    PassMemory& memory = options.memory ? *options.memory : local;
    try {
        const SourceRows source = base->BottomUpRows();
        const std::size_t pixels = static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height);
        std::size_t noiseDone = pixels;
        if (mode->DrawsDots()) noiseDone = FitDotNoise(memory, pixels);
        const PassInput input{source, params, mode->DrawsDots() ? memory.dotNoise.data() : nullptr,
                              threads, nullptr, options.cancel};

        struct Slot {
            std::unique_ptr<SlotKernel> kernel;
            TargetRows out;
        };
        std::vector<Slot> slots;
        slots.reserve(kSlotCount - 1);
        for (int slot = 1; slot < kSlotCount; ++slot) {
            const SlotKernelMaker make = mode->slots[slot - 1];
            if (!make || !SameSize(images.bitmaps[slot], images)) continue;
            PassInput slotInput = input;
            slotInput.scratch = &memory.scratch[static_cast<std::size_t>(slot - 1)];
            slots.push_back({make(slotInput), images.bitmaps[slot]->BottomUpRows()});
        }

        const std::int64_t width = source.width;
        const std::int32_t top = options.lastRow > 0 ? std::min(options.lastRow, source.height) : source.height;
        const std::int32_t bottom = std::clamp(options.firstRow, 0, top);
        const bool whole = bottom == 0 && top == source.height;
        // All four slots of a range of rows run together, while its base rows
        // (and its dot noise) are still in the cache.
        auto runRows = [&](std::int32_t first, std::int32_t last) {
            for (std::int64_t i = std::max<std::int64_t>(first * width, static_cast<std::int64_t>(noiseDone)),
                              end = last * width;
                 i < end; ++i)
                memory.dotNoise[static_cast<std::size_t>(i)] = DotNoiseRaw(static_cast<std::int32_t>(i));
            for (const Slot& slot : slots) slot.kernel->Run(slot.out, first, last);
            if (options.rowsDone) options.rowsDone->fetch_add(last - first, std::memory_order_relaxed);
        };

        std::vector<std::pair<const Bitmap*, Bitmap*>> copies;  // a slot's image and its copy
        for (int slot = 1; slot < kSlotCount; ++slot) {
            Bitmap* copy = options.copies[static_cast<std::size_t>(slot)];
            if (copy && SameSize(images.bitmaps[slot], images) && copy->Width() <= images.width &&
                copy->Height() <= images.height)
                copies.push_back({images.bitmaps[slot].get(), copy});
        }
        bool inBlocks = whole && !copies.empty();
        for (const Slot& slot : slots) inBlocks = inBlocks && slot.kernel->PositionsAreRows();
        for (const auto& [image, copy] : copies)
            inBlocks = inBlocks && copy->Height() == copies.front().second->Height();

        bool done = false;
        if (inBlocks) {
            // Copy row r (counted from the top) averages the rows of its
            // block, which the kernels count from the bottom.
            const std::int32_t rows = copies.front().second->Height(), height = source.height;
            const std::int64_t block = (std::int64_t{height} + rows - 1) / rows;  // source rows of a copy row, at most
            const std::int64_t chunkRows = options.chunkRows > 0 ? options.chunkRows : kChunkPixels / source.width;
            const auto chunk = static_cast<std::int32_t>(std::clamp<std::int64_t>(chunkRows / block, 1, rows));
            done = WorkerPool::Shared().Run(
                rows, chunk, threads,
                [&](std::int32_t first, std::int32_t last) {
                    if (options.betweenChunks) options.betweenChunks();
                    for (std::int32_t r = first; r < last; ++r) {
                        runRows(height - CopyBlockStart(r + 1, rows, height), height - CopyBlockStart(r, rows, height));
                        for (const auto& [image, copy] : copies) DownscaleRows(*image, *copy, r, r + 1);
                    }
                },
                options.cancel);
        } else {
            const std::int32_t chunk =
                options.chunkRows > 0 ? options.chunkRows : std::max(std::int32_t{1}, kChunkPixels / source.width);
            done = WorkerPool::Shared().Run(
                top - bottom, chunk, threads,
                [&](std::int32_t first, std::int32_t last) {
                    if (options.betweenChunks) options.betweenChunks();
                    runRows(first + bottom, last + bottom);
                },
                options.cancel);
            for (const auto& [image, copy] : copies) {
                if (!done) break;
                const Bitmap* from = image;
                Bitmap* to = copy;
                ForEachRowBand(to->Height(), threads,
                               [&](std::int32_t first, std::int32_t last) { DownscaleRows(*from, *to, first, last); });
            }
        }
        if (mode->DrawsDots() && whole) memory.dotNoiseDone = done ? pixels : noiseDone;
        return done;
    } catch (...) {
        // No memory for a kernel's tables: the derived images keep what they held.
        return false;
    }
}

}  // namespace prismview
