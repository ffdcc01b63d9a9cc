// The bitmap store: pixel memory of the images, kept in the form the screen
// paints without conversion (top-down rows of 32-bit 0xFFRRGGBB pixels, no
// padding). The effects see the rows bottom-up.
#pragma once

#include <cstdint>
#include <memory>

#include "core/pixels.h"

namespace prismview {

class Bitmap {
public:
    // A new bitmap of exactly that size (contents black), or null when the size
    // is not positive or the memory cannot be had.
    static std::unique_ptr<Bitmap> Create(std::int32_t width, std::int32_t height);
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }

    // The pixels in place, rows bottom-up as the effects count them. Values
    // read carry the opaque top byte; values written must carry it too.
    SourceRows BottomUpRows() const;
    TargetRows BottomUpRows();
    // Copies every pixel of another bitmap of the same size.
    bool CopyFrom(const Bitmap& other);

    // The screen form: top-down rows, row r starts at Scanline(r).
    const std::uint32_t* Scanline(std::int32_t topDownRow) const;
    std::uint32_t* Scanline(std::int32_t topDownRow);
    std::int64_t BytesPerLine() const { return std::int64_t{width_} * 4; }

    // How many bitmaps exist right now (for leak and double-release checks).
    static std::int64_t LiveCount();

private:
    Bitmap(std::int32_t width, std::int32_t height, std::unique_ptr<std::uint32_t[]> pixels);
    std::size_t PixelCount() const { return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_); }
    std::int32_t width_;
    std::int32_t height_;
    std::unique_ptr<std::uint32_t[]> pixels_;
};

using BitmapHandle = std::unique_ptr<Bitmap>;

}  // namespace prismview
