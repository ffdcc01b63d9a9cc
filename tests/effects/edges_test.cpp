#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "effects/image_checks.h"

namespace prismview {
namespace {

using test::Hex;
using test::SameImage;

constexpr RgbValue kBackground = 0x3C5A78;

ProcessingParams Edges(std::int32_t mode) {
    ProcessingParams p;
    p.effectMode = mode;
    p.backgroundColor = kBackground;
    return p;
}

PixelBuffer Uniform(std::int32_t w, std::int32_t h, RgbValue colour) {
    return test::MakeBuffer(w, h, [=](std::int32_t, std::int32_t) { return colour; });
}

// Which pixels of mode 13 lie on a slot's border stripe.
bool OnForwardBorder(int slot, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const bool right = x == w - 1, top = y == h - 1;
    return slot == 1 ? right : slot == 2 ? top : right || top;
}

TEST(ForwardEdges, FlatPicturesAreBlackInsideTheBorderStripes) {
    // Uniform pictures, a single column, a single row and a single pixel.
    const std::pair<std::int32_t, std::int32_t> sizes[] = {{6, 4}, {1, 4}, {5, 1}, {1, 1}};
    for (const auto& [w, h] : sizes)
        for (int slot = 1; slot <= 4; ++slot)
            EXPECT_TRUE(SameImage(test::RunSlot(Uniform(w, h, 0x8899AA), Edges(ModeEdges), slot),
                                  [&](std::int32_t x, std::int32_t y) {
                                      return OnForwardBorder(slot, x, y, w, h) ? kBackground : 0u;
                                  }))
                << w << "x" << h << " slot " << slot;
}

TEST(ForwardEdges, OneColumnStillShowsVerticalDifferences) {
    const PixelBuffer column = test::Picture(1, 3, {0xFFFFFF, 0x000000, 0x102030});
    const PixelBuffer out = test::RunSlot(column, Edges(ModeEdges), 2);
    EXPECT_EQ(Hex(out.At(0, 0)), Hex(0x102030));
    EXPECT_EQ(Hex(out.At(0, 1)), Hex(0xFFFFFF));
    EXPECT_EQ(Hex(out.At(0, 2)), Hex(kBackground));
}

TEST(ForwardEdges, ChannelsTakeTheirLargestDifferenceFromAnyPair) {
    // P = (10, 200, 30), E = (250, 100, 30).
    EXPECT_EQ(Hex(test::RunSlot(test::Picture(2, 1, {0x0AC81E, 0xFA641E}), Edges(ModeEdges), 1).At(0, 0)),
              Hex(0xF06400));
    // P black, E and N mid grey, NE white: the sides give 128 and 127, the
    // diagonal P-NE 255.
    const PixelBuffer cell = test::Picture(2, 2, {0x808080, 0xFFFFFF, 0x000000, 0x808080});
    EXPECT_EQ(Hex(test::RunSlot(cell, Edges(ModeEdges), 3).At(0, 0)), Hex(0x808080));
    EXPECT_EQ(Hex(test::RunSlot(cell, Edges(ModeEdges), 4).At(0, 0)), Hex(0xFFFFFF));
    // Each channel on its own: red from the sides at E, green from the sides
    // at NE, and blue in slot 4 from the diagonal E-N, which compares two
    // neighbours without P.
    const PixelBuffer mixed = test::Picture(2, 2, {0x000070, 0x003040, 0x000040, 0x900000});
    EXPECT_EQ(Hex(test::RunSlot(mixed, Edges(ModeEdges), 3).At(0, 0)), Hex(0x903040));
    EXPECT_EQ(Hex(test::RunSlot(mixed, Edges(ModeEdges), 4).At(0, 0)), Hex(0x903070));
}

using Offsets = std::set<std::pair<int, int>>;

struct LitCase {
    std::int32_t mode;
    int slot;
    std::int32_t qx, qy;  // the white pixel
    Offsets lit;          // white output pixels, relative to it
};

TEST(Edges, SingleWhitePixel) {
    const Offsets block{{0, 0}, {-1, 0}, {0, -1}, {-1, -1}};
    const Offsets nine{{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {0, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    const LitCase cases[] = {
        {ModeEdges, 1, 3, 2, {{0, 0}, {-1, 0}}},
        {ModeEdges, 2, 3, 2, {{0, 0}, {0, -1}}},
        {ModeEdges, 3, 3, 2, block},
        {ModeEdges, 4, 3, 2, block},
        {ModeEdges2, 1, 3, 2, {{-1, 0}, {0, 0}, {1, 0}}},
        {ModeEdges2, 2, 3, 2, {{0, -1}, {0, 0}, {0, 1}}},
        {ModeEdges2, 3, 3, 2, {{0, -1}, {-1, 0}, {0, 0}, {1, 0}, {0, 1}}},
        {ModeEdges2, 4, 3, 2, nine},
        // In the corner the clamped neighbours are the pixel itself.
        {ModeEdges2, 4, 0, 0, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
    };
    for (const LitCase& c : cases) {
        const PixelBuffer base = test::MakeBuffer(
            7, 5, [&](std::int32_t x, std::int32_t y) -> RgbValue { return x == c.qx && y == c.qy ? 0xFFFFFF : 0; });
        ProcessingParams p = Edges(c.mode);
        p.backgroundColor = 0;
        EXPECT_TRUE(SameImage(test::RunSlot(base, p, c.slot), [&](std::int32_t x, std::int32_t y) -> RgbValue {
            return c.lit.count({x - c.qx, y - c.qy}) ? 0xFFFFFF : 0;
        })) << "mode " << c.mode << " slot " << c.slot;
    }
}

TEST(CentredEdges, FlatPicturesAreBlackEverywhere) {
    const std::pair<std::int32_t, std::int32_t> sizes[] = {{6, 4}, {1, 4}, {5, 1}, {1, 1}};
    for (const auto& [w, h] : sizes)
        for (int slot = 1; slot <= 4; ++slot)
            EXPECT_TRUE(SameImage(test::RunSlot(Uniform(w, h, 0x8899AA), Edges(ModeEdges2), slot),
                                  [](std::int32_t, std::int32_t) { return 0u; }))
                << w << "x" << h << " slot " << slot;
}

TEST(CentredEdges, OneColumn) {
    const PixelBuffer column = test::Picture(1, 3, {0xFFFFFF, 0x000000, 0x102030});
    EXPECT_TRUE(SameImage(test::RunSlot(column, Edges(ModeEdges2), 1), [](std::int32_t, std::int32_t) { return 0u; }));
    const PixelBuffer vertical = test::RunSlot(column, Edges(ModeEdges2), 2);
    EXPECT_EQ(Hex(vertical.At(0, 0)), Hex(0x102030));
    EXPECT_EQ(Hex(vertical.At(0, 1)), Hex(0xFFFFFF));
    EXPECT_EQ(Hex(vertical.At(0, 2)), Hex(0xFFFFFF));
}

TEST(CentredEdges, BoundaryBetweenHalvesIsTwoPixelsWide) {
    const PixelBuffer halves =
        test::MakeBuffer(6, 3, [](std::int32_t x, std::int32_t) -> RgbValue { return x < 3 ? 0xFF0000 : 0x0000FF; });
    EXPECT_TRUE(SameImage(test::RunSlot(halves, Edges(ModeEdges2), 1), [](std::int32_t x, std::int32_t) -> RgbValue {
        return x == 2 || x == 3 ? 0xFF00FF : 0;
    }));
    // Mode 13 marks only the left side of it.
    EXPECT_TRUE(SameImage(test::RunSlot(halves, Edges(ModeEdges), 1), [](std::int32_t x, std::int32_t) -> RgbValue {
        return x == 5 ? kBackground : x == 2 ? 0xFF00FF : 0;
    }));
}

TEST(Edges, HighBitsAreIgnored) {
    const PixelBuffer base = test::MakeBuffer(5, 4, [](std::int32_t x, std::int32_t y) {
        return (static_cast<RgbValue>(x * 37 + y * 101) << 24) | 0x123456u;
    });
    for (int slot = 1; slot <= 4; ++slot) {
        EXPECT_TRUE(SameImage(test::RunSlot(base, Edges(ModeEdges), slot), [&](std::int32_t x, std::int32_t y) {
            return OnForwardBorder(slot, x, y, 5, 4) ? kBackground : 0u;
        })) << "slot " << slot;
        EXPECT_TRUE(SameImage(test::RunSlot(base, Edges(ModeEdges2), slot),
                              [](std::int32_t, std::int32_t) { return 0u; }))
            << "slot " << slot;
    }
}

TEST(Edges, ThreadCountDoesNotChangeThePictures) {
    const PixelBuffer base = test::Varied(97, 71);
    for (std::int32_t mode : {ModeEdges, ModeEdges2}) {
        const auto one = test::RunPass(base, Edges(mode), 1);
        const auto three = test::RunPass(base, Edges(mode), 3);
        for (int slot = 0; slot < 4; ++slot) EXPECT_TRUE(SameImage(three[slot], one[slot])) << mode << "/" << slot + 1;
    }
}

}  // namespace
}  // namespace prismview
