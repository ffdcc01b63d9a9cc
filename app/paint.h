// What the main window shows: the request to open a file, the gallery of
// tiles with the hovered tile's frame and label, or one image with its label
// and the hue and level swatches.
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/canvas.h"

namespace prismview {

// Copies the width x height pixels at the top left of the bitmap to (x, y);
// a missing bitmap draws nothing.
void DrawBitmap(Canvas& canvas, const Bitmap* bitmap, Point at, Size size);

// Draws the whole client area, which the caller has erased to white. Reads
// the state only.
void PaintMainWindow(Canvas& canvas, const AppState& state);

}  // namespace prismview
