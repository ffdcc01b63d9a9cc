#include "app/preview.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "core/downscale.h"
#include "core/parameter_table.h"
#include "effects/mode_table.h"

namespace prismview {

namespace {

std::int32_t Scaled(std::int32_t length, const Scale& scale) {
    const double v = std::nearbyint(static_cast<double>(length) * static_cast<double>(scale.num) /
                                    static_cast<double>(scale.den));
    return static_cast<std::int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

bool FitsInt32(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
}

// A slot's preview bitmap exists exactly while the view shows that slot.
void FitPreviewSlots(ImageSet& preview, const PassJob& job) {
    for (std::int32_t slot = 1; slot < kSlotCount; ++slot) {
        BitmapHandle& bitmap = preview.bitmaps[static_cast<std::size_t>(slot)];
        if (!job.copies[static_cast<std::size_t>(slot)]) bitmap.reset();
        else if (!bitmap) bitmap = Bitmap::Create(preview.width, preview.height);
    }
}

}  // namespace

ProcessingParams PreviewParams(const ModeSpec& mode, const ProcessingParams& params, const Scale& scale) {
    ProcessingParams p = params;
    if (!scale.Shrinks() || scale.num <= 0) return p;
    for (const ParameterInfo& parameter : kParameterTable) {
        if ((mode.lengths & parameter.lengths) == 0) continue;
        switch (parameter.shrinking) {
            case Shrinking::None: break;
            case Shrinking::Lengths:
                for (const ParameterField& field : parameter.fields)
                    if (field.member) p.*field.member = Scaled(params.*field.member, scale);
                break;
            case Shrinking::PerPixel: {
                const auto numField = parameter.fields[0].member, denField = parameter.fields[1].member;
                const std::int32_t num = params.*numField, den = params.*denField;
                if (den == 0) break;
                // num / den a pixel become num * sden / (den * snum).
                const std::int64_t g = std::gcd(scale.num, scale.den);
                const std::int64_t shrunkNum = std::int64_t{num} * (scale.den / g);
                const std::int64_t shrunkDen = std::int64_t{den} * (scale.num / g);
                if (FitsInt32(shrunkNum) && FitsInt32(shrunkDen)) {
                    p.*numField = static_cast<std::int32_t>(shrunkNum);
                    p.*denField = static_cast<std::int32_t>(shrunkDen);
                } else {
                    const std::int32_t shrunk = Scaled(den, scale);
                    p.*denField = shrunk != 0 ? shrunk : (den > 0 ? 1 : -1);
                }
                break;
            }
        }
    }
    return p;
}

void MakePreview(ShownPictures& shown, const PassJob& job, const Scale& scale) {
    const ModeSpec* mode = FindMode(job.params.effectMode);
    shown.previewing = false;
    if (!mode || !scale.Shrinks() || !shown.images.Loaded()) return;
    const Size size = job.copySize;
    ImageSet& preview = shown.preview;
    if (preview.generation != shown.images.generation || preview.width != size.width ||
        preview.height != size.height || !preview.Loaded()) {
        // The same small base the view shows: its copy, made now for a new
        // base the view shows, so that the base is shrunk only once.
        BitmapHandle base;
        BitmapHandle& viewCopy = shown.images.scaled[0];
        auto ofSize = [&](const BitmapHandle& b) { return b && b->Width() == size.width && b->Height() == size.height; };
        if (job.copies[0] && !ofSize(viewCopy)) {
            viewCopy.reset();
            viewCopy = Downscale(*shown.images.bitmaps[0], size.width, size.height);
        }
        const Bitmap* copy = viewCopy.get();
        if (ofSize(viewCopy)) {
            base = Bitmap::Create(size.width, size.height);
            if (base && !base->CopyFrom(*copy)) base.reset();
        } else {
            base = Downscale(*shown.images.bitmaps[0], size.width, size.height);
        }
        ReleaseImages(preview);
        if (!base) return;
        preview.bitmaps[0] = std::move(base);
        preview.width = size.width;
        preview.height = size.height;
        preview.generation = shown.images.generation;
    }
    FitPreviewSlots(preview, job);
    PassOptions options;
    options.memory = &shown.previewMemory;
    shown.previewing = ProcessImages(preview, mode, PreviewParams(*mode, job.params, scale), options);
}

}  // namespace prismview
