#include "core/downscale.h"

#include <algorithm>
#include <vector>

namespace prismview {

namespace {

// Where block i of n begins in a run of `size` pixels.
std::int32_t BlockStart(std::int32_t i, std::int32_t n, std::int32_t size) {
    return static_cast<std::int32_t>(std::int64_t{i} * size / n);
}

}  // namespace

BitmapHandle Downscale(const Bitmap& source, std::int32_t width, std::int32_t height, int threads) {
    const std::int32_t sourceWidth = source.Width();
    const std::int32_t sourceHeight = source.Height();
    if (width <= 0 || height <= 0 || width > sourceWidth || height > sourceHeight) return nullptr;
    BitmapHandle copy = Bitmap::Create(width, height);
    if (!copy) return nullptr;
    std::vector<std::int32_t> columnStart(static_cast<std::size_t>(width) + 1);
    for (std::int32_t c = 0; c <= width; ++c)
        columnStart[static_cast<std::size_t>(c)] = BlockStart(c, width, sourceWidth);

    ForEachRowBand(height, threads, [&](std::int32_t first, std::int32_t last) {
        // Sums of red, green and blue per column of the copy; 64 bits hold
        // even a whole 2^40-pixel picture averaged into one pixel.
        std::vector<std::uint64_t> sums(static_cast<std::size_t>(width) * 3);
        for (std::int32_t row = first; row < last; ++row) {
            const std::int32_t top = BlockStart(row, height, sourceHeight);
            const std::int32_t bottom = BlockStart(row + 1, height, sourceHeight);
            std::fill(sums.begin(), sums.end(), 0);
            for (std::int32_t y = top; y < bottom; ++y) {
                const std::uint32_t* line = source.Scanline(y);
                std::uint64_t* sum = sums.data();
                for (std::int32_t c = 0; c < width; ++c, sum += 3) {
                    const std::int32_t end = columnStart[static_cast<std::size_t>(c) + 1];
                    for (std::int32_t x = columnStart[static_cast<std::size_t>(c)]; x < end; ++x) {
                        const std::uint32_t p = line[x];
                        sum[0] += (p >> 16) & 255u;
                        sum[1] += (p >> 8) & 255u;
                        sum[2] += p & 255u;
                    }
                }
            }
            std::uint32_t* out = copy->Scanline(row);
            const std::uint64_t rows = static_cast<std::uint64_t>(bottom - top);
            for (std::int32_t c = 0; c < width; ++c) {
                const std::uint64_t count =
                    rows * static_cast<std::uint64_t>(columnStart[static_cast<std::size_t>(c) + 1] -
                                                      columnStart[static_cast<std::size_t>(c)]);
                const std::uint64_t* sum = sums.data() + static_cast<std::size_t>(c) * 3;
                auto mean = [count](std::uint64_t s) { return static_cast<std::uint32_t>((s + count / 2) / count); };
                out[c] = 0xFF000000u | mean(sum[0]) << 16 | mean(sum[1]) << 8 | mean(sum[2]);
            }
        }
    });
    return copy;
}

}  // namespace prismview
