#include "core/process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <thread>
#include <tuple>

#include "core/downscale.h"
#include "core/parallel.h"
#include "effects/mode_table.h"
#include "support/test_support.h"

namespace prismview {
namespace {

// Bytes of a text in the Japanese code page the captions were designed for:
// ASCII and half-width katakana take one byte, everything else two.
std::size_t ShiftJisLength(std::string_view utf8) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = n == 1 ? lead : lead & (0xFFu >> (n + 1));
        for (std::size_t k = 1; k < n; ++k) code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        bytes += (code < 0x80 || (code >= 0xFF61 && code <= 0xFF9F)) ? 1 : 2;
        i += n;
    }
    return bytes;
}

// What a pass reads and makes.
struct PassState : ProcessingParams {
    ImageSet images;
    Labels labels = LabelsOf(nullptr);
};

struct PassFixture : ::testing::Test {
    PassState state;
    void Load(const PixelBuffer& base) { state.images = test::MakeImageSet(base); }
    void Run(std::int32_t mode) {
        state.effectMode = mode;
        const ModeSpec* record = FindMode(mode);
        ProcessImages(state.images, record, state);
        state.labels = LabelsOf(record);
    }
};

TEST_F(PassFixture, LabelsFollowTheModeAndBaseLabelNeverChanges) {
    Load(test::Varied(3, 2));
    for (std::int32_t mode = 0; mode < kModeCount; ++mode) {
        Run(mode);
        for (int slot = 1; slot <= 4; ++slot) {
            EXPECT_LE(ShiftJisLength(state.labels[slot]), 40u) << state.labels[slot];
            const bool distortion = mode >= ModeWave || mode == 19;
            EXPECT_EQ(state.labels[slot].empty(), distortion) << mode << "/" << slot;
        }
        EXPECT_EQ(state.labels[0], "ベース画像");
    }
    // Back from a distortion mode, the captions return.
    Run(ModeInvert);
    EXPECT_EQ(state.labels[1], "色相反転");
    EXPECT_EQ(state.labels[2], "明度反転");
    EXPECT_EQ(state.labels[3], "通常反転");
    EXPECT_EQ(state.labels[4], "\xEF\xBC\x8D");  // U+FF0D, the full-width hyphen-minus
    Run(ModeTintMono2);
    EXPECT_EQ(state.labels[3], "\xEF\xBC\x8D");
    EXPECT_EQ(state.labels[4], "\xEF\xBC\x8D");
    Run(ModeRgbComponents);
    EXPECT_EQ(state.labels[4], "任意（ＲＧＢ）");
}

TEST_F(PassFixture, WithoutAnImageOnlyLabelsAreStored) {
    Run(ModeYcmComponents);
    EXPECT_EQ(state.labels[1], "黄成分");
    EXPECT_FALSE(state.images.Loaded());
}

TEST_F(PassFixture, ASizeThatDisagreesWithTheBaseImageIsNeverUsed) {
    Load(test::Varied(4, 4));
    const PixelBuffer before = ReadPixels(*state.images.bitmaps[1]);
    state.images.width = 400;  // a stale size must not index the 4 x 4 buffer
    Run(ModeInvert);
    EXPECT_EQ(state.labels[1], "色相反転");
    EXPECT_EQ(ReadPixels(*state.images.bitmaps[1]).pixels, before.pixels);
}

TEST_F(PassFixture, ModesWithoutEffectsKeepTheDerivedImages) {
    Load(test::Varied(5, 3));
    Run(ModeInvert);
    const PixelBuffer white = ReadPixels(*state.images.bitmaps[4]);
    for (std::int32_t mode : {19, -1, 26, 1000}) {
        Run(mode);
        for (int slot = 1; slot <= 4; ++slot) EXPECT_TRUE(state.labels[slot].empty()) << mode;
        EXPECT_EQ(ReadPixels(*state.images.bitmaps[4]).pixels, white.pixels) << mode;
    }
}

TEST_F(PassFixture, AMissingDerivedBitmapSkipsOnlyItsSlot) {
    Load(test::Picture(1, 1, {0x123456}));
    state.images.bitmaps[2].reset();
    Run(ModeInvert);
    EXPECT_EQ(ReadPixels(*state.images.bitmaps[3]).pixels[0], 0x123456u ^ 0xFFFFFFu);
    EXPECT_EQ(ReadPixels(*state.images.bitmaps[4]).pixels[0], 0xFFFFFFu);
}

TEST_F(PassFixture, OneByOneImageRunsEverySlot) {
    Load(test::Picture(1, 1, {0xC86432}));
    Run(ModeInvert);
    EXPECT_EQ(test::Hex(ReadPixels(*state.images.bitmaps[1]).pixels[0]), "0x3296C8");
    EXPECT_EQ(test::Hex(ReadPixels(*state.images.bitmaps[2]).pixels[0]), "0xCD6937");
    EXPECT_EQ(test::Hex(ReadPixels(*state.images.bitmaps[3]).pixels[0]), "0x379BCD");
    EXPECT_EQ(test::Hex(ReadPixels(*state.images.bitmaps[4]).pixels[0]), "0xFFFFFF");
    for (std::int32_t mode = 0; mode < kModeCount; ++mode) Run(mode);  // every effect on one pixel
    EXPECT_EQ(test::Hex(ReadPixels(*state.images.bitmaps[0]).pixels[0]), "0xC86432");
}

TEST_F(PassFixture, RowsStayInPictureOrder) {
    // A top-to-bottom gradient: the derived picture's top row is derived from
    // the base picture's top row.
    Load(test::MakeBuffer(3, 4, [](std::int32_t x, std::int32_t y) { return PackRgb(y * 60, x, 0); }));
    Run(ModeInvert);
    const Bitmap& base = *state.images.bitmaps[0];
    const Bitmap& negative = *state.images.bitmaps[3];
    for (std::int32_t row = 0; row < 4; ++row)
        for (std::int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(PixelAt(negative, x, row), PixelAt(base, x, row) ^ 0xFFFFFFu) << x << "," << row;
    EXPECT_EQ(PixelAt(base, 0, 0), PackRgb(180, 0, 0));  // the top row holds the largest y
}

TEST_F(PassFixture, TwoPassesGiveIdenticalImages) {
    Load(test::Varied(31, 17));
    state.hue = 700;
    Run(ModeRgbComponents);
    std::vector<PixelBuffer> first;
    for (int slot = 1; slot <= 4; ++slot) first.push_back(ReadPixels(*state.images.bitmaps[slot]));
    Run(ModeRgbComponents);
    for (int slot = 1; slot <= 4; ++slot)
        EXPECT_EQ(ReadPixels(*state.images.bitmaps[slot]).pixels, first[slot - 1].pixels);
}

TEST(Pass, ResultDoesNotDependOnTheNumberOfThreads) {
    const PixelBuffer base = test::Varied(97, 71);
    for (const ModeSpec* record : AllModes()) {
        const std::int32_t mode = record->mode;
        ProcessingParams params;
        params.effectMode = mode;
        params.hue = 1000;
        params.level = 300;
        params.backgroundColor = 0x224466;
        const auto one = test::RunPass(base, params, 1);
        for (int threads : {2, 3, 7}) {
            const auto many = test::RunPass(base, params, threads);
            for (int slot = 0; slot < 4; ++slot)
                EXPECT_EQ(many[slot].pixels, one[slot].pixels) << "mode " << mode << " slot " << slot + 1;
        }
    }
}

TEST(Pass, RowBandsCoverEveryRowOnce) {
    for (std::int32_t rows : {1, 2, 5, 64, 1001})
        for (int threads : {1, 2, 3, 8, 5000}) {
            std::vector<std::atomic<int>> seen(static_cast<std::size_t>(rows));
            ForEachRowBand(rows, threads, [&](std::int32_t first, std::int32_t last) {
                for (std::int32_t y = first; y < last; ++y) seen[static_cast<std::size_t>(y)]++;
            });
            for (std::int32_t y = 0; y < rows; ++y) EXPECT_EQ(seen[static_cast<std::size_t>(y)].load(), 1);
        }
}

}  // namespace
}  // namespace prismview

namespace prismview {
namespace {

TEST(Pass, ReusedMemoryGivesTheSameImagesAsFreshMemory) {
    // Buffers left by a pass on another picture, in another mode, must not
    // show through: bigger, then smaller, then the same size again. The dot
    // modes keep their noise for the same or a smaller size, and only then.
    PassMemory memory;
    PassOptions options;
    options.memory = &memory;
    options.threads = 2;
    for (const auto& [width, height, mode] : {std::tuple{90, 80, 4}, std::tuple{17, 9, 0}, std::tuple{17, 9, 5},
                                              std::tuple{40, 30, 4}, std::tuple{120, 70, 13}, std::tuple{120, 70, 12},
                                              std::tuple{120, 70, 5}, std::tuple{120, 70, 4}, std::tuple{100, 70, 5},
                                              std::tuple{5, 3, 4}}) {
        const PixelBuffer base = test::Varied(width, height);
        ProcessingParams params;
        params.effectMode = mode;
        params.level = 200;
        ImageSet set = test::MakeImageSet(base);
        ProcessImages(set, FindMode(mode), params, options);
        const auto fresh = test::RunPass(base, params, 2);
        for (int slot = 1; slot <= 4; ++slot)
            EXPECT_EQ(ReadPixels(*set.bitmaps[slot]).pixels, fresh[slot - 1].pixels) << mode << "/" << slot;
    }
}

}  // namespace
}  // namespace prismview

namespace prismview {
namespace {

TEST(WorkerPool, ChunksCoverEveryRowOnceForAnyThreadCount) {
    WorkerPool pool;
    for (const auto& [rows, chunk] : {std::pair{1, 1}, {7, 3}, {64, 64}, {1001, 8}, {5, 100}})
        for (int threads : {1, 2, 3, 8}) {
            std::vector<std::atomic<int>> seen(static_cast<std::size_t>(rows));
            EXPECT_TRUE(pool.Run(rows, chunk, threads, [&](std::int32_t first, std::int32_t last) {
                EXPECT_LE(last - first, chunk);
                for (std::int32_t y = first; y < last; ++y) seen[static_cast<std::size_t>(y)]++;
            }));
            for (std::int32_t y = 0; y < rows; ++y) EXPECT_EQ(seen[static_cast<std::size_t>(y)].load(), 1) << y;
        }
}

TEST(WorkerPool, AThrowingOrCancelledJobReportsFalseAndStops) {
    WorkerPool pool;
    std::atomic<bool> cancel{false};
    for (int threads : {1, 3}) {
        // Any exception, out of memory included, ends the job instead of the
        // program. On one thread the ranges come in order, so nothing after
        // the throw or the cancellation runs.
        std::atomic<int> calls{0};
        EXPECT_FALSE(pool.Run(1000, 1, threads, [&](std::int32_t first, std::int32_t) {
            ++calls;
            if (first == 10) throw std::bad_alloc();
        }));
        if (threads == 1) {
            EXPECT_EQ(calls.load(), 11);
        }
        EXPECT_FALSE(pool.Run(10, 1, threads, [](std::int32_t, std::int32_t) { throw 42; }));

        cancel = false;
        calls = 0;
        EXPECT_FALSE(pool.Run(1000, 1, threads, [&](std::int32_t first, std::int32_t) {
            ++calls;
            if (first == 5) cancel = true;
        }, &cancel));
        if (threads == 1) {
            EXPECT_EQ(calls.load(), 6);
        }
    }
    std::atomic<int> calls{0};
    cancel = true;
    EXPECT_FALSE(pool.Run(10, 1, 2, [&](std::int32_t, std::int32_t) { ++calls; }, &cancel));
    EXPECT_EQ(calls.load(), 0);
    // The pool serves the next job as before.
    cancel = false;
    EXPECT_TRUE(pool.Run(10, 1, 2, [&](std::int32_t, std::int32_t) { ++calls; }, &cancel));
    EXPECT_EQ(calls.load(), 10);
}

TEST(WorkerPool, JobsFromSeveralThreadsAtOnceAllComplete) {
    WorkerPool pool;
    std::atomic<std::int64_t> sum{0};
    std::vector<std::thread> callers;
    for (int i = 0; i < 4; ++i)
        callers.emplace_back([&] {
            for (int k = 0; k < 20; ++k)
                EXPECT_TRUE(pool.Run(100, 3, 3, [&](std::int32_t first, std::int32_t last) {
                    for (std::int32_t y = first; y < last; ++y) sum += y;
                }));
        });
    for (auto& caller : callers) caller.join();
    EXPECT_EQ(sum.load(), 4 * 20 * (99 * 100 / 2));
}

struct Throwing final : SlotKernel {
    explicit Throwing(const PassInput&) {}
    void Run(const TargetRows&, std::int32_t first, std::int32_t) const override {
        if (first >= 20) throw std::bad_alloc();
    }
};
std::unique_ptr<SlotKernel> MakeThrowing(const PassInput& input) { return std::make_unique<Throwing>(input); }

TEST(Pass, ACancelledOrFailingPassReportsFalse) {
    const PixelBuffer base = test::Varied(90, 80);
    ImageSet set = test::MakeImageSet(base);
    ProcessingParams params;
    EXPECT_TRUE(ProcessImages(set, FindMode(params.effectMode), params));

    std::atomic<bool> cancel{true};
    PassOptions options;
    options.cancel = &cancel;
    params.effectMode = ModeDotsMono;
    PassMemory memory;
    options.memory = &memory;
    EXPECT_FALSE(ProcessImages(set, FindMode(params.effectMode), params, options));
    EXPECT_EQ(memory.dotNoiseDone, 0u);  // a cancelled pass leaves no noise to trust
    cancel = false;
    EXPECT_TRUE(ProcessImages(set, FindMode(params.effectMode), params, options));
    EXPECT_EQ(ReadPixels(*set.bitmaps[1]).pixels, test::RunPass(base, params)[0].pixels);

    const ModeSpec failing{.mode = ModeInvert, .menuCaption = "", .section = MenuSection::Colours, .name = "failing",
                           .reads = 0, .slots = {SlotKernelMaker{MakeThrowing}, {}, {}, {}}};
    params.effectMode = ModeInvert;
    options.threads = 3;
    options.chunkRows = 4;
    EXPECT_FALSE(ProcessImages(set, &failing, params, options));
}

TEST(Pass, ResultDoesNotDependOnTheSizeOfTheRangesOfRows) {
    const PixelBuffer base = test::Varied(67, 71);  // enough pixels for several threads
    for (const ModeSpec* record : AllModes()) {
        const std::int32_t mode = record->mode;
        ProcessingParams params;
        params.effectMode = mode;
        params.level = 150;
        params.centerX = -5;
        const auto whole = test::RunPass(base, params, 1);
        for (const auto& [threads, rows] : {std::pair{7, 1}, {2, 5}, {3, 40}}) {
            ImageSet set = test::MakeImageSet(base);
            PassOptions options;
            options.threads = threads;
            options.chunkRows = rows;
            ASSERT_TRUE(ProcessImages(set, record, params, options));
            for (int slot = 1; slot <= 4; ++slot)
                EXPECT_EQ(ReadPixels(*set.bitmaps[slot]).pixels, whole[slot - 1].pixels) << mode << "/" << slot;
        }
    }
}

// Shrunk copies asked of the pass are the new pictures shrunk: made a copy
// row's block at a time (rows in order), after the rows (the ripples' own
// order, a part of the picture redone) and for copies of different heights.
TEST(Pass, CopiesAreTheNewPicturesShrunk) {
    const PixelBuffer base = test::Varied(97, 61);
    struct Case {
        std::int32_t mode, firstRow;
        std::array<std::pair<std::int32_t, std::int32_t>, 4> sizes;
    };
    const Case cases[] = {
        {ModeInvert, 0, {{{40, 25}, {97, 25}, {1, 25}, {40, 25}}}},
        {ModeMonochrome, 0, {{{97, 61}, {97, 61}, {97, 61}, {97, 61}}}},
        {ModeRipple, 0, {{{40, 25}, {40, 25}, {40, 25}, {40, 25}}}},
        {ModeWave, 0, {{{40, 25}, {33, 7}, {97, 61}, {1, 1}}}},
        {ModeHueRotate, 30, {{{40, 25}, {40, 25}, {40, 25}, {40, 25}}}},
    };
    for (const Case& c : cases) {
        ImageSet set = test::MakeImageSet(base);
        ProcessingParams params;
        params.effectMode = c.mode;
        params.level = 90;
        std::array<BitmapHandle, kSlotCount> copies;
        PassOptions options;
        options.threads = 3;
        options.firstRow = c.firstRow;
        for (int slot = 1; slot <= 4; ++slot) {
            const auto [width, height] = c.sizes[static_cast<std::size_t>(slot - 1)];
            copies[slot] = Bitmap::Create(width, height);
            options.copies[slot] = copies[slot].get();
        }
        ASSERT_TRUE(ProcessImages(set, FindMode(c.mode), params, options));
        for (int slot = 1; slot <= 4; ++slot) {
            const BitmapHandle expected = Downscale(*set.bitmaps[slot], copies[slot]->Width(), copies[slot]->Height(), 1);
            EXPECT_EQ(ReadPixels(*copies[slot]).pixels, ReadPixels(*expected).pixels) << c.mode << "/" << slot;
        }
    }
}

}  // namespace
}  // namespace prismview
