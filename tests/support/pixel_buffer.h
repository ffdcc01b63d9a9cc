// Whole pictures as plain buffers, for tests to build and compare: the
// bitmap store keeps its pixels in the screen's form, these bottom-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/bitmap.h"
#include "core/pixels.h"

namespace prismview {

// width x height pixels, rows bottom-up (row 0 is the bottom of the picture),
// no padding: the pixel at column x, row y is Row(y)[x].
struct PixelBuffer {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<RgbValue> pixels;

    const RgbValue* Row(std::int32_t y) const { return pixels.data() + RowStart(y); }
    RgbValue* Row(std::int32_t y) { return pixels.data() + RowStart(y); }
    RgbValue At(std::int32_t x, std::int32_t y) const { return Row(y)[x]; }
    RgbValue& At(std::int32_t x, std::int32_t y) { return Row(y)[x]; }
    SourceRows Rows() const { return {width, height, pixels.data(), width}; }
    TargetRows Rows() { return {width, height, pixels.data(), width}; }

private:
    std::size_t RowStart(std::int32_t y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    }
};

inline bool operator==(const PixelBuffer& a, const PixelBuffer& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

// Every pixel of a bitmap, rows bottom-up, bits 24..31 zero.
inline PixelBuffer ReadPixels(const Bitmap& bitmap) {
    PixelBuffer out{bitmap.Width(), bitmap.Height(), {}};
    out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    const SourceRows rows = bitmap.BottomUpRows();
    for (std::int32_t y = 0; y < out.height; ++y)
        for (std::int32_t x = 0; x < out.width; ++x) out.At(x, y) = rows.At(x, y) & 0x00FFFFFFu;
    return out;
}

// Replaces every pixel of a bitmap; false (and nothing changed) when the size differs.
inline bool WritePixels(Bitmap& bitmap, const PixelBuffer& buffer) {
    if (buffer.width != bitmap.Width() || buffer.height != bitmap.Height() ||
        buffer.pixels.size() != static_cast<std::size_t>(buffer.width) * static_cast<std::size_t>(buffer.height))
        return false;
    const TargetRows rows = bitmap.BottomUpRows();
    for (std::int32_t y = 0; y < buffer.height; ++y)
        for (std::int32_t x = 0; x < buffer.width; ++x) rows.At(x, y) = buffer.At(x, y) | kOpaque;
    return true;
}

// One pixel as RgbValue, row counted from the top.
inline RgbValue PixelAt(const Bitmap& bitmap, std::int32_t column, std::int32_t topDownRow) {
    return bitmap.Scanline(topDownRow)[column] & 0x00FFFFFFu;
}

}  // namespace prismview
