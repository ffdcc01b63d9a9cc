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

// Sizes a buffer for the pass; memory kept from a much bigger picture goes.
// Returns how many leading elements kept their values.
template <class T>
std::size_t Fit(std::vector<T>& pixels, std::size_t count) {
    std::size_t kept = std::min(pixels.size(), count);
    if (pixels.capacity() > 2 * count) {
        std::vector<T>().swap(pixels);
        kept = 0;
    }
    pixels.resize(count);
    return kept;
}
void Fit(PixelBuffer& buffer, std::int32_t width, std::int32_t height) {
    buffer.width = width;
    buffer.height = height;
    Fit(buffer.pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
}

}  // namespace

void ProcessImages(ImageSet& images, Labels& labels, const ProcessingParams& params,
                   const EffectTable& effects, const PassOptions& options) {
    const bool known = params.effectMode >= 0 && params.effectMode < kModeCount;
    for (int slot = 1; slot < kSlotCount; ++slot)
        labels[slot] = known ? std::string(ModeLabelTable[params.effectMode].labels[slot - 1]) : std::string();

    if (!known || images.width <= 0 || images.height <= 0 || !SameSize(images.bitmaps[0], images))
        return;
    const ModeEffects& mode = effects[params.effectMode];

    int threads = options.threads > 0 ? options.threads : DefaultThreadCount();
    if (std::int64_t{images.width} * images.height < kMinPixelsForThreads) threads = 1;

    PassMemory local;
    PassMemory& memory = options.memory ? *options.memory : local;
    try {
        Fit(memory.source, images.width, images.height);
        Fit(memory.work, images.width, images.height);
        const PixelBuffer& source = memory.source;
        PixelBuffer& work = memory.work;
        const Bitmap& base = *images.bitmaps[0];
        ForEachRowBand(source.height, threads, [&](std::int32_t first, std::int32_t last) {
            base.ReadRows(memory.source, first, last);
        });

        PassScratch& scratch = memory.scratch;
        if (mode.prepare) {
            const std::size_t count = source.pixels.size();
            const bool stillGood = mode.prepareReadsIndexOnly && scratch.preparedBy == mode.prepare;
            scratch.preparedBy = nullptr;  // until it holds this pass's values
            if (Fit(scratch.perPixel, count) < count || !stillGood) {
                ForEachRowBand(source.height, threads, [&](std::int32_t first, std::int32_t last) {
                    mode.prepare(source, params, scratch, first, last);
                });
            }
            scratch.preparedBy = mode.prepare;
        }

        for (int slot = 1; slot < kSlotCount; ++slot) {
            const SlotRunner run = mode.runners[slot - 1];
            Bitmap* target = images.bitmaps[slot].get();
            if (!run || !SameSize(images.bitmaps[slot], images)) continue;
            const SlotContext context{source, params, slot, scratch};
            ForEachRowBand(source.height, threads, [&](std::int32_t first, std::int32_t last) {
                run(context, work, first, last);
                target->WriteRows(work, first, last);
            });
        }
    } catch (const std::bad_alloc&) {
        // No memory for the buffers: the derived images keep what they held.
    }
}

}  // namespace prismview
