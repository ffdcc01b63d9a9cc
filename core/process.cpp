#include "core/process.h"

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

    try {
        const PixelBuffer source = images.bitmaps[0]->ReadPixels();
        PixelBuffer work;
        work.width = source.width;
        work.height = source.height;
        work.pixels.resize(source.pixels.size());

        PassScratch scratch;
        if (mode.prepare) {
            scratch.perPixel.resize(source.pixels.size());
            ForEachRowBand(source.height, threads, [&](std::int32_t first, std::int32_t last) {
                mode.prepare(source, params, scratch, first, last);
            });
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
