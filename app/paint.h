// What the main window shows: the request to open a file, the gallery of
// tiles with the hovered tile's frame and label, or one image with its label
// and the hue and level swatches.
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/canvas.h"

namespace prismview {

// Where tile i (0..4) of the gallery lies for the current columns and size.
Rect TileRect(const AppState& state, std::int32_t index);

// The swatches stand in one column right of the shown image: the hue pair
// from the top to 32, the level block from 48 to 80, each with its text to
// the right of its top edge.
inline constexpr std::int32_t kSwatchWidth = 32;
inline constexpr std::int32_t kHueSwatchBottom = 32;
inline constexpr std::int32_t kLevelSwatchTop = 48;
inline constexpr std::int32_t kLevelSwatchBottom = 80;

struct Swatches {
    bool hue = false;
    bool level = false;
};
// Which swatches stand beside the shown image: only modes that draw from the
// hue or the level, and never beside the base image or in the gallery.
Swatches SwatchesFor(std::int32_t effectMode, std::int32_t selectedImage);

// Copies the width x height pixels at the top left of the bitmap to (x, y);
// a missing bitmap draws nothing.
void DrawBitmap(Canvas& canvas, const Bitmap* bitmap, std::int32_t x, std::int32_t y, std::int32_t width,
                std::int32_t height);

// Draws the whole client area, which the caller has erased to white. Reads
// the state only.
void PaintMainWindow(Canvas& canvas, const AppState& state);

}  // namespace prismview
