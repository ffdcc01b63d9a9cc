#include "core/downscale.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/downscale.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace prismview {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

// Adds one source row to the column sums (or, the first row of a block,
// starts them with it): red and blue of a column side by side in one 32-bit
// lane (16 bits each), green in another.
void AddRowHere(const std::uint32_t* line, std::uint32_t* redBlue, std::uint32_t* green, std::int32_t count,
                bool first) {
    const hn::ScalableTag<std::uint32_t> d;
    const std::size_t n = hn::Lanes(d), total = static_cast<std::size_t>(count);
    const auto redBlueMask = hn::Set(d, 0x00FF00FFu), byte = hn::Set(d, 0xFFu), zero = hn::Zero(d);
    auto add = [&](const std::uint32_t* p, std::uint32_t* rb, std::uint32_t* g) {
        const auto pixels = hn::LoadU(d, p);
        hn::StoreU(hn::Add(first ? zero : hn::LoadU(d, rb), hn::And(pixels, redBlueMask)), d, rb);
        hn::StoreU(hn::Add(first ? zero : hn::LoadU(d, g), hn::And(hn::ShiftRight<8>(pixels), byte)), d, g);
    };
    std::size_t x = 0;
    for (; x + n <= total; x += n) add(line + x, redBlue + x, green + x);
    if (x < total) {  // the last, partial vector through full ones on the stack
        HWY_ALIGN std::uint32_t p[HWY_MAX_BYTES / 4] = {}, rb[HWY_MAX_BYTES / 4] = {}, g[HWY_MAX_BYTES / 4] = {};
        const std::size_t bytes = (total - x) * sizeof(std::uint32_t);
        std::memcpy(p, line + x, bytes);
        std::memcpy(rb, redBlue + x, bytes);
        std::memcpy(g, green + x, bytes);
        add(p, rb, g);
        std::memcpy(redBlue + x, rb, bytes);
        std::memcpy(green + x, g, bytes);
    }
}

// The pixels of a copy row from its sums of red, green and blue and the
// pixel count of each column's block: the rounded means (s + count / 2) /
// count in double lanes, truncated, as Mean below does it.
void MeansHere(const std::uint64_t* red, const std::uint64_t* green, const std::uint64_t* blue,
               const std::uint64_t* counts, std::uint32_t* out, std::int32_t width) {
    const hn::ScalableTag<double> df;
    const hn::RebindToSigned<decltype(df)> di64;
    const hn::Rebind<std::int32_t, decltype(df)> di32;
    const hn::Rebind<std::uint32_t, decltype(df)> du32;
    const std::size_t n = hn::Lanes(df), total = static_cast<std::size_t>(width);
    // Sums and counts stay below 2^53: exact as signed integers and as doubles.
    auto load = [&](const std::uint64_t* p) { return hn::LoadU(di64, reinterpret_cast<const std::int64_t*>(p)); };
    auto means = [&](const std::uint64_t* r, const std::uint64_t* g, const std::uint64_t* b,
                     const std::uint64_t* counted, std::uint32_t* to) {
        const auto count = load(counted);
        const auto half = hn::ShiftRight<1>(count);
        const auto divisor = hn::ConvertTo(df, count);
        auto mean = [&](const std::uint64_t* sums) {
            const auto quotient = hn::Div(hn::ConvertTo(df, hn::Add(load(sums), half)), divisor);
            return hn::BitCast(du32, hn::DemoteTo(di32, quotient));
        };
        const auto pixel = hn::Or(hn::Or(hn::Set(du32, 0xFF000000u), hn::ShiftLeft<16>(mean(r))),
                                  hn::Or(hn::ShiftLeft<8>(mean(g)), mean(b)));
        hn::StoreU(pixel, du32, to);
    };
    std::size_t c = 0;
    for (; c + n <= total; c += n) means(red + c, green + c, blue + c, counts + c, out + c);
    if (c < total) {  // the last, partial vector through full ones on the stack (counts of 1 past the end)
        constexpr std::size_t kMax = HWY_MAX_BYTES / sizeof(double);
        HWY_ALIGN std::uint64_t r[kMax] = {}, g[kMax] = {}, b[kMax] = {}, counted[kMax];
        HWY_ALIGN std::uint32_t to[kMax];
        std::fill(counted, counted + kMax, std::uint64_t{1});
        const std::size_t rest = total - c, bytes = rest * sizeof(std::uint64_t);
        std::memcpy(r, red + c, bytes);
        std::memcpy(g, green + c, bytes);
        std::memcpy(b, blue + c, bytes);
        std::memcpy(counted, counts + c, bytes);
        means(r, g, b, counted, to);
        std::memcpy(out + c, to, rest * sizeof(std::uint32_t));
    }
}

}  // namespace HWY_NAMESPACE
}  // namespace prismview
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace prismview {

HWY_EXPORT(AddRowHere);
HWY_EXPORT(MeansHere);

namespace {

// The packed column sums hold a block of up to 257 rows: 257 * 255 = 65535
// fills a 16-bit half exactly. Taller blocks add up pixel by pixel.
constexpr std::int32_t kPackedRows = 257;

// Where block i of n begins in a run of `size` pixels.
std::int32_t BlockStart(std::int32_t i, std::int32_t n, std::int32_t size) {
    return static_cast<std::int32_t>(std::int64_t{i} * size / n);
}


}  // namespace

std::int32_t CopyBlockStart(std::int32_t i, std::int32_t n, std::int32_t size) { return BlockStart(i, n, size); }

bool DownscaleRows(const Bitmap& source, Bitmap& copy, std::int32_t first, std::int32_t last) {
    const std::int32_t sourceWidth = source.Width();
    const std::int32_t sourceHeight = source.Height();
    const std::int32_t width = copy.Width(), height = copy.Height();
    if (width > sourceWidth || height > sourceHeight) return false;
    first = std::max(first, 0);
    last = std::min(last, height);
    // This thread's working memory, kept from call to call: a pass asks for
    // one copy row at a time.
    struct Work {
        std::int32_t width = -1, sourceWidth = -1;
        std::vector<std::int32_t> columnStart;
        std::int32_t widestBlock = 0;
        // Sums of red, green and blue per column of the copy, and the pixels
        // they add up; 64 bits hold even a whole 2^40-pixel picture averaged
        // into one pixel. The rounded mean of a sum s over count pixels is
        // (s + count / 2) / count: a division of doubles truncated is the
        // integer quotient exactly while s + count < 2^53, and s is at most
        // 255 times the picture's pixels (2^48 at most), far below.
        std::vector<std::uint64_t> red, green, blue, counts;
        // Sums per source column of a block of rows, packed (kPackedRows).
        std::vector<std::uint32_t> packedRedBlue, packedGreen;
    };
    static thread_local Work work;
    if (work.width != width || work.sourceWidth != sourceWidth) {
        work.width = width;
        work.sourceWidth = sourceWidth;
        work.columnStart.resize(static_cast<std::size_t>(width) + 1);
        for (std::int32_t c = 0; c <= width; ++c)
            work.columnStart[static_cast<std::size_t>(c)] = BlockStart(c, width, sourceWidth);
        work.widestBlock = 0;
        for (std::int32_t c = 0; c < width; ++c)
            work.widestBlock = std::max(work.widestBlock, work.columnStart[static_cast<std::size_t>(c) + 1] -
                                                              work.columnStart[static_cast<std::size_t>(c)]);
        for (auto* sums : {&work.red, &work.green, &work.blue, &work.counts})
            sums->resize(static_cast<std::size_t>(width));
        work.packedRedBlue.resize(static_cast<std::size_t>(sourceWidth));
        work.packedGreen.resize(static_cast<std::size_t>(sourceWidth));
    }
    const std::vector<std::int32_t>& columnStart = work.columnStart;
    const std::int32_t widestBlock = work.widestBlock;
    const std::size_t columns = static_cast<std::size_t>(width);
    std::vector<std::uint64_t>&red = work.red, &green = work.green, &blue = work.blue, &counts = work.counts;
    std::vector<std::uint32_t>&packedRedBlue = work.packedRedBlue, &packedGreen = work.packedGreen;
    for (std::int32_t row = first; row < last; ++row) {
        const std::int32_t top = BlockStart(row, height, sourceHeight);
        const std::int32_t bottom = BlockStart(row + 1, height, sourceHeight);
        const std::uint64_t rows = static_cast<std::uint64_t>(bottom - top);
        for (std::size_t c = 0; c < columns; ++c)
            counts[c] = rows * static_cast<std::uint64_t>(columnStart[c + 1] - columnStart[c]);
        if (bottom - top <= kPackedRows) {
            for (std::int32_t y = top; y < bottom; ++y)
                HWY_DYNAMIC_DISPATCH(AddRowHere)(source.Scanline(y), packedRedBlue.data(), packedGreen.data(),
                                                 sourceWidth, y == top);
            // A whole block within kPackedRows pixels adds up packed too.
            const bool packedBlocks = (bottom - top) * widestBlock <= kPackedRows;
            for (std::size_t c = 0; c < columns; ++c) {
                const std::size_t end = static_cast<std::size_t>(columnStart[c + 1]);
                std::size_t x = static_cast<std::size_t>(columnStart[c]);
                if (packedBlocks) {
                    std::uint32_t rb = 0, g = 0;
                    for (; x < end; ++x) rb += packedRedBlue[x], g += packedGreen[x];
                    red[c] = rb >> 16;
                    green[c] = g;
                    blue[c] = rb & 0xFFFFu;
                    continue;
                }
                red[c] = green[c] = blue[c] = 0;
                for (; x < end; ++x) {
                    red[c] += packedRedBlue[x] >> 16;
                    green[c] += packedGreen[x];
                    blue[c] += packedRedBlue[x] & 0xFFFFu;
                }
            }
        } else {
            std::fill(red.begin(), red.end(), 0);
            std::fill(green.begin(), green.end(), 0);
            std::fill(blue.begin(), blue.end(), 0);
            for (std::int32_t y = top; y < bottom; ++y) {
                const std::uint32_t* line = source.Scanline(y);
                for (std::size_t c = 0; c < columns; ++c) {
                    const std::int32_t end = columnStart[c + 1];
                    for (std::int32_t x = columnStart[c]; x < end; ++x) {
                        const std::uint32_t p = line[x];
                        red[c] += (p >> 16) & 255u;
                        green[c] += (p >> 8) & 255u;
                        blue[c] += p & 255u;
                    }
                }
            }
        }
        HWY_DYNAMIC_DISPATCH(MeansHere)(red.data(), green.data(), blue.data(), counts.data(), copy.Scanline(row), width);
    }
    return true;
}

BitmapHandle Downscale(const Bitmap& source, std::int32_t width, std::int32_t height, int threads) {
    if (width <= 0 || height <= 0 || width > source.Width() || height > source.Height()) return nullptr;
    BitmapHandle copy = Bitmap::Create(width, height);
    if (!copy) return nullptr;
    ForEachRowBand(height, threads,
                   [&](std::int32_t first, std::int32_t last) { DownscaleRows(source, *copy, first, last); });
    return copy;
}

}  // namespace prismview
#endif
