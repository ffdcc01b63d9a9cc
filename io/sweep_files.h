// Where the frames of a sweep go: an animated WebP, numbered PNG files in a
// folder, or one contact sheet. A sink writes nothing the user can see until
// Finish: cancelled or failed, it leaves the disk as it was.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/bitmap.h"

namespace prismview {

enum class SweepFormat { Webp, PngFrames, Sheet };

struct SweepOutput {
    SweepFormat format = SweepFormat::Webp;
    std::string path;         // the .webp or sheet file; the frames' folder
    std::int32_t frames = 1;  // how many Add calls follow
    std::int32_t frameWidth = 1, frameHeight = 1;  // every frame's size
    bool lossless = true;     // WebP only
    std::int32_t quality = 90;  // lossy WebP, 0..100
    std::int32_t delayMs = 100;  // WebP: how long each frame shows
};

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // The next frame (of the size given) and the text that names its value.
    virtual bool Add(const Bitmap& frame, std::string_view valueText, std::string& reason) = 0;
    // Makes the output appear at its path, replacing what was there.
    virtual bool Finish(std::string& reason) = 0;
};

// Null with a reason when the output cannot be started (no memory for a sheet).
// A sink destroyed without Finish removes everything it wrote.
std::unique_ptr<FrameSink> MakeFrameSink(const SweepOutput& output, std::string& reason);

// The frame file names in a folder: frame-0001.png on (at least four digits).
std::string FrameFileName(std::int32_t index, std::int32_t frames);

// Contact sheets: the frames in a grid of Columns(frames) columns, each cell
// a frame over a band with its value text, cells kSheetGap apart on white.
std::int32_t SheetColumns(std::int32_t frames);
inline constexpr std::int32_t kSheetGap = 8;
inline constexpr std::int32_t kSheetTextScale = 2;  // each font pixel as 2 x 2
inline constexpr std::int32_t kSheetBand = 7 * kSheetTextScale + 8;  // text height plus margins
// A cell is as wide as its frame or the longest value text, whichever is
// wider; the frame and its text are centred in it.
std::int32_t SheetCellWidth(std::int32_t frameWidth);
// Where frame `index` lies on a sheet of frames of that size (top left).
struct SheetCell {
    std::int32_t x, y;
};
SheetCell SheetCellOf(std::int32_t index, std::int32_t frames, std::int32_t frameWidth, std::int32_t frameHeight);
// Draws `text` (digits, '-', '.', '/', ' ') in black, centred on centreX, top at y.
void DrawSheetText(Bitmap& target, std::string_view text, std::int32_t centreX, std::int32_t y);

}  // namespace prismview
