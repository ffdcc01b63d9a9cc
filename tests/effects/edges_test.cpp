#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "effects/image_checks.h"

namespace prismview {
namespace {

using test::Hex;
using test::Pixels;

constexpr RgbValue kBackground = 0x3C5A78;

RgbValue EdgeAt(std::int32_t mode, int slot, const PixelBuffer& base, std::int32_t x = 0, std::int32_t y = 0) {
    ProcessingParams p;
    p.effectMode = mode;
    p.backgroundColor = kBackground;
    return test::RunSlot(base, p, slot).At(x, y);
}

TEST(Edges, FlatPicturesAreBlackApartFromTheBorderStripes) {
    // The low 24 bits are the same everywhere; the high bits differ and must not count.
    for (const auto& [w, h] : {std::pair{6, 4}, std::pair{1, 4}, std::pair{5, 1}, std::pair{1, 1}}) {
        const PixelBuffer base = test::MakeBuffer(w, h, [](std::int32_t x, std::int32_t y) {
            return (static_cast<RgbValue>(x * 37 + y * 101) << 24) | 0x8899AAu;
        });
        for (int slot = 1; slot <= 4; ++slot) {
            ProcessingParams p;
            p.backgroundColor = kBackground;
            p.effectMode = ModeEdges;
            EXPECT_EQ(test::RunSlot(base, p, slot).pixels, Pixels(w, h, [&](std::int32_t x, std::int32_t y) {
                          const bool right = x == w - 1, top = y == h - 1;
                          return (slot == 1 ? right : slot == 2 ? top : right || top) ? kBackground : 0u;
                      })) << w << "x" << h << " slot " << slot;
            p.effectMode = ModeEdges2;
            EXPECT_EQ(test::RunSlot(base, p, slot).pixels, std::vector<RgbValue>(base.pixels.size(), 0u));
        }
    }
}

TEST(Edges, ChannelDifferences) {
    // P = (10, 200, 30), E = (250, 100, 30).
    EXPECT_EQ(Hex(EdgeAt(ModeEdges, 1, test::Picture(2, 1, {0x0AC81E, 0xFA641E}))), Hex(0xF06400));
    // P black, E and N mid grey, NE white: the sides give 128 and 127, the diagonal P-NE 255.
    const PixelBuffer cell = test::Picture(2, 2, {0x808080, 0xFFFFFF, 0x000000, 0x808080});
    EXPECT_EQ(Hex(EdgeAt(ModeEdges, 3, cell)), Hex(0x808080));
    EXPECT_EQ(Hex(EdgeAt(ModeEdges, 4, cell)), Hex(0xFFFFFF));
    // Per channel: red from the sides at E, green from the sides at NE, and
    // in slot 4 blue from the diagonal E-N, which leaves P out.
    const PixelBuffer mixed = test::Picture(2, 2, {0x000070, 0x003040, 0x000040, 0x900000});
    EXPECT_EQ(Hex(EdgeAt(ModeEdges, 3, mixed)), Hex(0x903040));
    EXPECT_EQ(Hex(EdgeAt(ModeEdges, 4, mixed)), Hex(0x903070));
    // One column: vertical differences remain; horizontal ones clamp to 0 in mode 14.
    const PixelBuffer column = test::Picture(1, 3, {0xFFFFFF, 0x000000, 0x102030});
    EXPECT_EQ(Hex(EdgeAt(ModeEdges, 2, column, 0, 0)), Hex(0x102030));
    EXPECT_EQ(Hex(EdgeAt(ModeEdges, 2, column, 0, 1)), Hex(0xFFFFFF));
    EXPECT_EQ(Hex(EdgeAt(ModeEdges2, 2, column, 0, 2)), Hex(0xFFFFFF));
    EXPECT_EQ(Hex(EdgeAt(ModeEdges2, 1, column, 0, 1)), Hex(0));
}

TEST(Edges, SingleWhitePixel) {
    using Offsets = std::set<std::pair<int, int>>;
    const Offsets block{{0, 0}, {-1, 0}, {0, -1}, {-1, -1}};
    const Offsets nine{{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {0, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    struct Case { std::int32_t mode; int slot; std::int32_t qx, qy; Offsets lit; };
    const Case cases[] = {
        {ModeEdges, 1, 3, 2, {{0, 0}, {-1, 0}}},
        {ModeEdges, 2, 3, 2, {{0, 0}, {0, -1}}},
        {ModeEdges, 3, 3, 2, block},
        {ModeEdges, 4, 3, 2, block},
        {ModeEdges2, 1, 3, 2, {{-1, 0}, {0, 0}, {1, 0}}},
        {ModeEdges2, 2, 3, 2, {{0, -1}, {0, 0}, {0, 1}}},
        {ModeEdges2, 3, 3, 2, {{0, -1}, {-1, 0}, {0, 0}, {1, 0}, {0, 1}}},
        {ModeEdges2, 4, 3, 2, nine},
        {ModeEdges2, 4, 0, 0, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},  // corner: clamped neighbours are Q itself
        {ModeEdges2, 4, 1, 2, nine},  // next to the first and the last column
        {ModeEdges2, 4, 5, 2, nine},
    };
    for (const Case& c : cases) {
        const PixelBuffer base = test::MakeBuffer(
            7, 5, [&](std::int32_t x, std::int32_t y) -> RgbValue { return x == c.qx && y == c.qy ? 0xFFFFFF : 0; });
        ProcessingParams p;
        p.effectMode = c.mode;
        EXPECT_EQ(test::RunSlot(base, p, c.slot).pixels, Pixels(7, 5, [&](std::int32_t x, std::int32_t y) -> RgbValue {
                      return c.lit.count({x - c.qx, y - c.qy}) ? 0xFFFFFF : 0;
                  })) << "mode " << c.mode << " slot " << c.slot;
    }
}

TEST(Edges, BoundaryBetweenRedAndBlueHalves) {
    const PixelBuffer halves =
        test::MakeBuffer(6, 3, [](std::int32_t x, std::int32_t) -> RgbValue { return x < 3 ? 0xFF0000 : 0x0000FF; });
    // Two pixels wide in mode 14, only its left side in mode 13.
    for (std::int32_t x = 0; x < 6; ++x) {
        EXPECT_EQ(Hex(EdgeAt(ModeEdges2, 1, halves, x, 1)), Hex(x == 2 || x == 3 ? 0xFF00FF : 0)) << x;
        EXPECT_EQ(Hex(EdgeAt(ModeEdges, 1, halves, x, 1)), Hex(x == 5 ? kBackground : x == 2 ? 0xFF00FF : 0)) << x;
    }
}

}  // namespace
}  // namespace prismview
