#include "app/sweep.h"

#include <algorithm>

#include "core/downscale.h"
#include "core/process.h"
#include "effects/mode_table.h"

namespace prismview {

namespace {

std::int32_t Shrunk(std::int64_t side, std::int64_t num, std::int64_t den) {
    return static_cast<std::int32_t>(std::max<std::int64_t>(1, side * num / den));
}

// The pass of every frame on one copy of the base; the derived images the
// frames need are made once and redone for each frame.
class SweepPass {
public:
    SweepPass(const Bitmap& base, const ProcessingParams& params, const SweepRequest& request)
        : params_(params), request_(request), mode_(FindMode(params.effectMode)) {
        images_.bitmaps[0] = Bitmap::Create(base.Width(), base.Height());
        if (!images_.bitmaps[0] || !images_.bitmaps[0]->CopyFrom(base)) return;
        images_.width = base.Width();
        images_.height = base.Height();
        for (std::int32_t slot = 1; slot < kSlotCount; ++slot)
            if (Uses(slot) && !(images_.bitmaps[static_cast<std::size_t>(slot)] = Bitmap::Create(base.Width(), base.Height())))
                return;
        ready_ = true;
    }

    // Null when memory ran out, or when `goOn` (asked between the frame's
    // steps) said to stop.
    BitmapHandle Frame(std::int32_t index, const std::function<bool()>& goOn = {}) {
        if (!ready_) return nullptr;
        ProcessingParams params = params_;
        params.*SweptFieldOf(request_.parameter).field->member = SweepValue(request_, index);
        PassOptions options;
        options.memory = &memory_;
        if (!ProcessImages(images_, mode_, params, options) || (goOn && !goOn())) return nullptr;
        const Size picture{images_.width, images_.height};
        const Size tile = SweepTileSize(request_, picture);
        if (request_.slot != kGallery) return Tile(request_.slot, tile);
        const Size size = SweepFrameSize(request_, picture);
        BitmapHandle frame = Bitmap::Create(size.width, size.height);
        if (!frame) return nullptr;
        for (std::int32_t y = 0; y < size.height; ++y) std::fill_n(frame->Scanline(y), size.width, kOpaque | 0xFFFFFFu);
        for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
            const BitmapHandle shrunk = Tile(slot, tile);
            if (!shrunk || (goOn && !goOn())) return nullptr;
            const std::int32_t left = (slot % 3) * (tile.width + kGalleryGap), top = (slot / 3) * (tile.height + kGalleryGap);
            for (std::int32_t y = 0; y < tile.height; ++y)
                std::copy_n(shrunk->Scanline(y), tile.width, frame->Scanline(top + y) + left);
        }
        return frame;
    }

private:
    bool Uses(std::int32_t slot) const { return request_.slot == kGallery || request_.slot == slot; }

    BitmapHandle Tile(std::int32_t slot, Size tile) const {
        const Bitmap& image = *images_.bitmaps[static_cast<std::size_t>(slot)];
        if (tile.width < image.Width() || tile.height < image.Height())
            return Downscale(image, tile.width, tile.height);
        BitmapHandle copy = Bitmap::Create(image.Width(), image.Height());
        if (copy && !copy->CopyFrom(image)) copy.reset();
        return copy;
    }

    ProcessingParams params_;
    SweepRequest request_;
    const ModeSpec* mode_;
    ImageSet images_;
    PassMemory memory_;
    bool ready_ = false;
};

}  // namespace

std::optional<SweepParameter> FindSweepParameter(std::string_view name) {
    const std::span<const SweptField> swept = SweptFields();
    for (std::size_t i = 0; i < swept.size(); ++i)
        if (swept[i].name == name) return static_cast<SweepParameter>(i);
    return std::nullopt;
}

const SweptField& SweptFieldOf(SweepParameter parameter) { return SweptFields()[static_cast<std::size_t>(parameter)]; }

std::int32_t SweepValue(const SweepRequest& request, std::int32_t index) {
    if (request.frames <= 1) return request.from;
    // The value itself is rounded, so a sweep run backwards meets the same values.
    const std::int64_t den = request.frames - 1;
    const std::int64_t num = std::int64_t{request.from} * den + (std::int64_t{request.to} - request.from) * index;
    return static_cast<std::int32_t>(num >= 0 ? (2 * num + den) / (2 * den) : -((-2 * num + den) / (2 * den)));
}

Size SweepTileSize(const SweepRequest& request, Size picture) {
    const std::int64_t w = picture.width, h = picture.height, side = request.longSide;
    // The long side of what is shown at full size, the gaps included: one
    // tile, or three across and two down. The tiles get what the gaps leave.
    const bool gallery = request.slot == kGallery;
    const std::int64_t gapsAcross = gallery ? 2 * kGalleryGap : 0, gapsDown = gallery ? kGalleryGap : 0;
    const std::int64_t across = (gallery ? 3 * w : w) + gapsAcross, down = (gallery ? 2 * h : h) + gapsDown;
    if (side <= 0 || std::max(across, down) <= side) return picture;
    if (across >= down) {
        const std::int32_t width = Shrunk(w, std::max<std::int64_t>(1, side - gapsAcross), across - gapsAcross);
        return {width, Shrunk(h, width, w)};
    }
    const std::int32_t height = Shrunk(h, std::max<std::int64_t>(1, side - gapsDown), down - gapsDown);
    return {Shrunk(w, height, h), height};
}

Size SweepFrameSize(const SweepRequest& request, Size picture) {
    const Size tile = SweepTileSize(request, picture);
    if (request.slot != kGallery) return tile;
    return {3 * tile.width + 2 * kGalleryGap, 2 * tile.height + kGalleryGap};
}

BitmapHandle SweepFrame(const Bitmap& base, const ProcessingParams& params, const SweepRequest& request,
                        std::int32_t index) {
    return SweepPass(base, params, request).Frame(index);
}

SweepResult RunSweep(const Bitmap& base, const ProcessingParams& params, const SweepRequest& request,
                     const std::string& path, const std::function<bool(std::int32_t done)>& progress,
                     std::string& reason) {
    const Size size = SweepFrameSize(request, {base.Width(), base.Height()});
    SweepOutput output;
    output.format = request.format;
    output.path = path;
    output.frames = request.frames;
    output.frameWidth = size.width;
    output.frameHeight = size.height;
    output.lossless = request.lossless;
    output.quality = request.quality;
    const std::unique_ptr<FrameSink> sink = MakeFrameSink(output, reason);
    if (!sink) return SweepResult::Failed;
    SweepPass pass(base, params, request);
    for (std::int32_t index = 0; index < request.frames; ++index) {
        // The progress is also asked between a frame's steps, so that a stop
        // need not wait for a whole frame of a large picture.
        bool stopped = false;
        const BitmapHandle frame = pass.Frame(index, [&] {
            stopped = progress && !progress(index);
            return !stopped;
        });
        if (stopped) return SweepResult::Cancelled;
        if (!frame) {
            reason = "not enough memory for the frames";
            return SweepResult::Failed;
        }
        if (!sink->Add(*frame, std::to_string(SweepValue(request, index)), reason)) return SweepResult::Failed;
        if (progress && !progress(index + 1)) return SweepResult::Cancelled;
    }
    return sink->Finish(reason) ? SweepResult::Written : SweepResult::Failed;
}

}  // namespace prismview
