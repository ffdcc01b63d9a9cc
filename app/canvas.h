// What painting draws on: the client area of the main window in its pixels,
// x to the right and y downward. The Qt canvas wraps a QPainter; tests record.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/bitmap.h"
#include "core/pixels.h"

namespace prismview {

// Right and bottom edges are exclusive.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;
    // The text in the default font, black on an opaque white background,
    // with the top-left corner of the text at (x, y).
    virtual void DrawText(std::int32_t x, std::int32_t y, std::string_view text) = 0;
    // The width x height pixels at the top left of the bitmap, unscaled, at
    // (x, y). width and height never exceed the bitmap's.
    virtual void DrawImage(std::int32_t x, std::int32_t y, const Bitmap& bitmap, std::int32_t width,
                           std::int32_t height) = 0;
    // A one-pixel frame along the inside edge of the rectangle.
    virtual void FrameRect(const Rect& rect, RgbValue colour) = 0;
    virtual void FillRect(const Rect& rect, RgbValue colour) = 0;
};

}  // namespace prismview
