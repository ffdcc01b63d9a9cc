#include "app/probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/input.h"
#include "app/regenerate.h"
#include "app/status.h"
#include "app/view.h"
#include "core/colour.h"
#include "effects/mode_table.h"
#include "resources/strings.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

// A 40 x 30 picture in a client area of the given size, at a zoom step or 1:1.
void Show(AppState& state, Size client, std::optional<Scale> zoom = std::nullopt, bool actualSize = false) {
    state.shown.images = test::MakeImageSet(test::Varied(40, 30));
    state.view.client = client;
    state.view.zoom = zoom;
    state.view.actualSize = actualSize;
    MakeShownCopies(state);
}

// Wherever the pointer is on a tile, the probe names one picture point, and
// its mark on every tile stands on that same point; at any scale, scrolled.
TEST(Probe, TheSamePicturePointOnEveryTile) {
    struct Case {
        const char* name;
        Size client;
        std::optional<Scale> zoom;
        bool actualSize;
        Point scroll;
    };
    const Case cases[] = {
        {"1:1", {200, 200}, std::nullopt, true, {0, 0}},
        {"fit at 35 %", {28, 40}, std::nullopt, false, {0, 0}},
        {"zoomed in three times", {100, 100}, Scale{3, 1}, false, {0, 0}},
        {"zoomed in, scrolled", {100, 100}, Scale{3, 1}, false, {37, 55}},
        {"zoomed out to two thirds, scrolled", {30, 30}, Scale{2, 3}, false, {9, 11}},
    };
    for (const Case& c : cases) {
        test::State state;
        Show(state, c.client, c.zoom, c.actualSize);
        test::RecordingWindow window;
        ScrollTo(window, state, c.scroll.x, c.scroll.y);
        const Layout layout = LayoutOf(state);
        int checked = 0;
        for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
            const Rect tile = layout.Tile(slot);
            for (const Point offset : {Point{0, 0}, Point{7, 3}, Point{tile.right - tile.left - 1, tile.bottom - tile.top - 1}}) {
                const Point client{tile.left + offset.x, tile.top + offset.y};
                const Size viewport = FitOf(state).viewport;
                if (client.x < 0 || client.y < 0 || client.x >= viewport.width || client.y >= viewport.height) continue;
                ++checked;
                const std::optional<Point> picture = PicturePointAt(state, client);
                ASSERT_TRUE(picture.has_value()) << c.name;
                EXPECT_TRUE(picture->x >= 0 && picture->x < 40 && picture->y >= 0 && picture->y < 30) << c.name;
                for (std::int32_t other = 0; other < kSlotCount; ++other) {
                    const Point mark = ScreenPointOf(state, other, *picture);
                    EXPECT_TRUE(layout.Tile(other).Contains(mark)) << c.name << " tile " << other;
                    if (mark.x >= 0 && mark.y >= 0 && mark.x < viewport.width && mark.y < viewport.height) {
                        EXPECT_EQ(PicturePointAt(state, mark), picture) << c.name << " tile " << other;
                    }
                }
            }
        }
        EXPECT_GE(checked, 3) << c.name;
        // Beyond the client area nothing is probed, even where a tile lies.
        EXPECT_FALSE(PicturePointAt(state, {-1, 0}).has_value()) << c.name;
        EXPECT_FALSE(PicturePointAt(state, {FitOf(state).viewport.width, 0}).has_value()) << c.name;
    }
}

TEST(Probe, ReadsTheFullSizeImagesAndTheColourTerms) {
    const ColourTerms orange = TermsOf(0xFF8000);
    EXPECT_EQ(TermsText(orange), "#FF8000 255 128 0 H 128 L 255 T 383");
    EXPECT_EQ(TermsText(TermsOf(0x404040)), "#404040 64 64 64 H — L 128 T 192");
    EXPECT_EQ(TermsOf(0xFF0000).hue, 0);  // 1530 on the wheel is 0
    EXPECT_EQ(TermsOf(0xFF0001).hue, 1529);

    test::State state;
    Show(state, {28, 40});  // shrunk to 35 %: the copies average blocks
    state.params.effectMode = ModeHueRotate;
    test::RecordingWindow window;
    OnMouseMove(window, state, {5, 4});
    ASSERT_TRUE(state.view.probe.has_value());
    const std::vector<ProbeRow> rows = ProbeRows(state);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].number, 0);
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
        const RgbValue full = state.shown.images.bitmaps[slot]->Scanline(state.view.probe->y)[state.view.probe->x] & 0xFFFFFFu;
        EXPECT_EQ(rows[0].colours[slot], full) << slot;
    }
    // The status bar's line names the hovered tile's values only.
    const std::int32_t hover = state.view.hoverImage;
    ASSERT_GE(hover, 0);
    EXPECT_EQ(PointerProbeLine(state), "(" + std::to_string(state.view.probe->x) + ", " + std::to_string(state.view.probe->y) +
                                           ")  " + std::to_string(hover) + ": " + TermsText(TermsOf(*rows[0].colours[hover])));
}

TEST(Probe, PinsComeAndGoAFifthIsRefusedAndTheTableCopiesAsCsv) {
    test::State state;
    Show(state, {200, 200}, std::nullopt, true);  // 1:1, tiles of 40 x 30
    test::RecordingWindow window;
    for (std::int32_t i = 0; i < 5; ++i) OnPinButtonDown(window, state, {2 + 6 * i, 20});
    EXPECT_EQ(state.view.pinned, (std::vector<Point>{{2, 20}, {8, 20}, {14, 20}, {20, 20}}));  // the fifth refused
    EXPECT_EQ(state.view.notice, kPinsFullText);
    EXPECT_EQ(window.Count("probe panel on"), 1u);  // opened by the first pin only
    EXPECT_TRUE(state.view.probePanel);
    OnPinButtonDown(window, state, {40 + 14 + 2, 20 + 1});  // on tile 1, near the mark of (14, 20)
    EXPECT_EQ(state.view.pinned, (std::vector<Point>{{2, 20}, {8, 20}, {20, 20}}));
    EXPECT_TRUE(state.view.notice.empty());
    OnPinButtonDown(window, state, {300, 300});  // off the pictures: nothing
    EXPECT_EQ(window.Count("repaint"), 6u);

    const std::vector<ProbeRow> rows = ProbeRows(state);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].number, 3);
    // A header, then one line per probe and image.
    const std::string csv = ProbeTableCsv(state);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 3 * kSlotCount);
    const RgbValue colour = *rows[2].colours[4];
    const ColourTerms terms = TermsOf(colour);
    char line[96];
    std::snprintf(line, sizeof line, "\n3,20,20,4,#%06X,%d,%d,%d,", static_cast<unsigned>(colour), terms.r, terms.g, terms.b);
    EXPECT_NE(csv.find(line), std::string::npos) << csv;

    RemovePin(window, state, 1);
    EXPECT_EQ(state.view.pinned, (std::vector<Point>{{8, 20}, {20, 20}}));
    RemovePin(window, state, 3);  // no such pin
    EXPECT_EQ(state.view.pinned.size(), 2u);
    ClearPins(window, state);
    EXPECT_TRUE(state.view.pinned.empty());
}

// Pins outlive what showed them: a client area too small for any tile, or a
// picture that is gone, still paints (found by the random user, seed 1).
TEST(Probe, MarksOfNothingShownPaintNothingAmiss) {
    test::State state;
    Show(state, {200, 200}, std::nullopt, true);
    test::RecordingWindow window;
    OnPinButtonDown(window, state, {8, 20});
    ASSERT_EQ(state.view.pinned.size(), 1u);
    for (const Size client : {Size{0, 0}, Size{1, 1}, Size{3, 200}, Size{200, 2}}) {
        state.view.client = client;
        MakeShownCopies(state);
        for (std::int32_t slot = 0; slot < kSlotCount; ++slot) ScreenPointOf(state, slot, state.view.pinned[0]);
    }
    ReleaseImages(state.shown.images);
    state.shown.images.width = state.shown.images.height = 0;
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot)
        EXPECT_EQ(ScreenPointOf(state, slot, state.view.pinned[0]), ScreenPointOf(state, slot, {0, 0}));
}

// A blank tile (a slot the mode leaves white, labelled "－") gets no mark
// and no values.
TEST(Probe, BlankTilesAreNeitherMarkedNorListed) {
    test::State state;
    Show(state, {200, 200}, std::nullopt, true);
    state.params.effectMode = ModeInvert;
    test::RecordingWindow window;
    Regenerate(window, state);
    ASSERT_EQ(state.shown.Label(4), "－");
    OnMouseMove(window, state, {5, 4});
    ASSERT_EQ(ProbeRows(state).size(), 1u);
    EXPECT_TRUE(ProbeRows(state)[0].colours[3].has_value());
    EXPECT_FALSE(ProbeRows(state)[0].colours[4].has_value());
    EXPECT_FALSE(ShowsPicture(state, 4));
    EXPECT_TRUE(ShowsPicture(state, 0) && ShowsPicture(state, 3));
}

// The status bar names the mode and exactly the values it reads (driven by
// the records), then the size and scale, and a running pass's progress.
TEST(StatusItems, ShowWhatEachModeReadsAndNothingElse) {
    const std::pair<unsigned, std::string> reads[] = {
        {ReadsHue, "色相 "},      {ReadsLevel, "明度 "},  {ReadsBackground, "背景色 #"}, {ReadsFrequency, "周波数 "},
        {ReadsAmplitude, "振幅 "}, {ReadsPhase, "位相 "}, {ReadsOverflow, "はみ出し "},  {ReadsCentre, "中心 "},
    };
    for (const ModeSpec* mode : AllModes()) {
        test::State state;
        Show(state, {28, 40});
        state.params.effectMode = mode->mode;
        const std::vector<StatusItem> items = StatusItems(state, std::nullopt);
        ASSERT_FALSE(items.empty());
        EXPECT_EQ(items.front().text, mode->menuCaption);
        for (const auto& [bit, prefix] : reads) {
            const bool shown = std::any_of(items.begin(), items.end(),
                                           [&](const StatusItem& item) { return item.text.rfind(prefix, 0) == 0; });
            EXPECT_EQ(shown, (mode->reads & bit) != 0) << mode->name << " " << prefix;
        }
        EXPECT_EQ(items[items.size() - 2].text, "40 × 30");
        EXPECT_EQ(items.back().text, "35%");  // 28 / 80 across two columns
    }
    test::State state;
    state.params.effectMode = ModeHueRotate;
    state.params.hue = 510;
    const std::vector<StatusItem> items = StatusItems(state, 42);
    ASSERT_EQ(items.size(), 3u);  // no picture: no size or scale
    EXPECT_EQ(items[1].text, "色相 510");
    EXPECT_EQ(items[1].swatch, RgbValue{0x00FF00});
    EXPECT_EQ(items[2].text, "処理中 42%");

    // Every way a value is written: pairs, the colour, the overflow's words
    // (an unknown value reads as the background's), the direction's alone.
    const auto texts = [](std::int32_t mode, auto&& set) {
        test::State shown;
        shown.params.effectMode = mode;
        set(shown.params);
        std::vector<std::string> result;
        for (const StatusItem& item : StatusItems(shown, std::nullopt)) result.push_back(item.text);
        return result;
    };
    EXPECT_EQ(texts(ModeRipple,
                    [](ProcessingParams& p) {
                        p.overflowMode = OverflowWrap;
                        p.centerX = -3;
                        p.centerY = 4;
                        p.backgroundColor = 0xFFA0B1C2;
                        p.wavePhaseDen = -5;
                    }),
              (std::vector<std::string>{"波紋", "背景色 #A0B1C2", "周波数 1/32", "振幅 16", "位相 0/-5", "はみ出し ループ",
                                        "中心 -3, 4"}));
    const auto wave = [&](std::int32_t overflow, std::int32_t fromEnd) {
        const std::vector<std::string> all = texts(ModeWave, [&](ProcessingParams& p) {
            p.overflowMode = overflow;
            p.startFromEnd = fromEnd;
        });
        return std::vector<std::string>(all.end() - 2, all.end());
    };
    EXPECT_EQ(wave(OverflowEdge, 0), (std::vector<std::string>{"はみ出し 隅の色", "先頭から"}));
    EXPECT_EQ(wave(7, 2), (std::vector<std::string>{"はみ出し 背景色", "終端から"}));
}

}  // namespace
}  // namespace prismview
