// What painting draws on: the client area of the main window in its pixels,
// x to the right and y downward. The Qt canvas wraps a QPainter; tests record.
#pragma once

#include <string_view>

#include "app/geometry.h"
#include "core/bitmap.h"
#include "core/pixels.h"

namespace prismview {

class Canvas {
public:
    virtual ~Canvas() = default;
    // The text in the default font, black on an opaque white background,
    // with the top-left corner of the text at `at`.
    virtual void DrawText(Point at, std::string_view text) = 0;
    // The top-left `size` pixels of the bitmap, unscaled, at `at`. The size
    // never exceeds the bitmap's.
    virtual void DrawImage(Point at, const Bitmap& bitmap, Size size) = 0;
    // The whole bitmap enlarged into the rectangle, each of its pixels a
    // block of screen pixels (no smoothing).
    virtual void DrawImageEnlarged(const Rect& target, const Bitmap& bitmap) = 0;
    // A one-pixel frame along the inside edge of the rectangle.
    virtual void FrameRect(const Rect& rect, RgbValue colour) = 0;
    virtual void FillRect(const Rect& rect, RgbValue colour) = 0;
    // Everything drawn until Unclip stays inside the rectangle.
    virtual void ClipTo(const Rect& rect) = 0;
    virtual void Unclip() = 0;
};

}  // namespace prismview
