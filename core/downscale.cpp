#include "core/downscale.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/downscale.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace prismview {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

// Adds one source row to the column sums: red and blue of a column side by
// side in one 32-bit lane (16 bits each), green in another.
void AddRowHere(const std::uint32_t* line, std::uint32_t* redBlue, std::uint32_t* green, std::int32_t count) {
    const hn::ScalableTag<std::uint32_t> d;
    const std::size_t n = hn::Lanes(d), total = static_cast<std::size_t>(count);
    const auto redBlueMask = hn::Set(d, 0x00FF00FFu), byte = hn::Set(d, 0xFFu);
    std::size_t x = 0;
    for (; x + n <= total; x += n) {
        const auto p = hn::LoadU(d, line + x);
        hn::StoreU(hn::Add(hn::LoadU(d, redBlue + x), hn::And(p, redBlueMask)), d, redBlue + x);
        hn::StoreU(hn::Add(hn::LoadU(d, green + x), hn::And(hn::ShiftRight<8>(p), byte)), d, green + x);
    }
    for (; x < total; ++x) {
        redBlue[x] += line[x] & 0x00FF00FFu;
        green[x] += (line[x] >> 8) & 0xFFu;
    }
}

}  // namespace HWY_NAMESPACE
}  // namespace prismview
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace prismview {

HWY_EXPORT(AddRowHere);

namespace {

// The packed column sums hold a block of up to 257 rows: 257 * 255 = 65535
// fills a 16-bit half exactly. Taller blocks add up pixel by pixel.
constexpr std::int32_t kPackedRows = 257;

// Where block i of n begins in a run of `size` pixels.
std::int32_t BlockStart(std::int32_t i, std::int32_t n, std::int32_t size) {
    return static_cast<std::int32_t>(std::int64_t{i} * size / n);
}

// The rounded mean s / count. A division of doubles truncated is the integer
// quotient exactly while s + count < 2^53; s is at most 255 times the
// picture's pixels (2^40 at most), far below.
std::uint32_t Mean(std::uint64_t s, std::uint64_t count) {
    return static_cast<std::uint32_t>(static_cast<double>(s + count / 2) / static_cast<double>(count));
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

    std::int32_t widestBlock = 0;
    for (std::int32_t c = 0; c < width; ++c)
        widestBlock = std::max(widestBlock, columnStart[static_cast<std::size_t>(c) + 1] - columnStart[static_cast<std::size_t>(c)]);

    ForEachRowBand(height, threads, [&](std::int32_t first, std::int32_t last) {
        // Sums of red, green and blue per column of the copy; 64 bits hold
        // even a whole 2^40-pixel picture averaged into one pixel.
        std::vector<std::uint64_t> sums(static_cast<std::size_t>(width) * 3);
        // Sums per source column of a block of rows, packed (kPackedRows).
        std::vector<std::uint32_t> redBlue(static_cast<std::size_t>(sourceWidth));
        std::vector<std::uint32_t> green(static_cast<std::size_t>(sourceWidth));
        for (std::int32_t row = first; row < last; ++row) {
            const std::int32_t top = BlockStart(row, height, sourceHeight);
            const std::int32_t bottom = BlockStart(row + 1, height, sourceHeight);
            std::fill(sums.begin(), sums.end(), 0);
            if (bottom - top <= kPackedRows) {
                std::fill(redBlue.begin(), redBlue.end(), 0);
                std::fill(green.begin(), green.end(), 0);
                for (std::int32_t y = top; y < bottom; ++y)
                    HWY_DYNAMIC_DISPATCH(AddRowHere)(source.Scanline(y), redBlue.data(), green.data(), sourceWidth);
                // A whole block within kPackedRows pixels adds up packed too.
                const bool packedBlocks = (bottom - top) * widestBlock <= kPackedRows;
                std::uint64_t* sum = sums.data();
                for (std::int32_t c = 0; c < width; ++c, sum += 3) {
                    const std::size_t end = static_cast<std::size_t>(columnStart[static_cast<std::size_t>(c) + 1]);
                    std::size_t x = static_cast<std::size_t>(columnStart[static_cast<std::size_t>(c)]);
                    if (packedBlocks) {
                        std::uint32_t rb = 0, g = 0;
                        for (; x < end; ++x) rb += redBlue[x], g += green[x];
                        sum[0] = rb >> 16;
                        sum[1] = g;
                        sum[2] = rb & 0xFFFFu;
                        continue;
                    }
                    for (; x < end; ++x) {
                        sum[0] += redBlue[x] >> 16;
                        sum[1] += green[x];
                        sum[2] += redBlue[x] & 0xFFFFu;
                    }
                }
            } else {
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
            }
            std::uint32_t* out = copy->Scanline(row);
            const std::uint64_t rows = static_cast<std::uint64_t>(bottom - top);
            for (std::int32_t c = 0; c < width; ++c) {
                const std::uint64_t count =
                    rows * static_cast<std::uint64_t>(columnStart[static_cast<std::size_t>(c) + 1] -
                                                      columnStart[static_cast<std::size_t>(c)]);
                const std::uint64_t* sum = sums.data() + static_cast<std::size_t>(c) * 3;
                out[c] = 0xFF000000u | Mean(sum[0], count) << 16 | Mean(sum[1], count) << 8 | Mean(sum[2], count);
            }
        }
    });
    return copy;
}

}  // namespace prismview
#endif
