#include "app/input.h"

#include "app/view.h"

#include <gtest/gtest.h>

#include "app/key_reference.h"
#include "app/regenerate.h"
#include "effects/mode_table.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::RecordingWindow;

// An image set of 200 x 100 pictures, the size of the worked examples.
void Use200x100(AppState& state) { state.shown.images = test::MakeImageSet(test::Varied(200, 100)); }

struct KeyCase {
    const char* name;
    Key key;
    std::function<void(AppState&)> before;
    std::function<std::int64_t(const AppState&)> field;
    std::int64_t expected;
    KeyEffect effect;
};

TEST(ApplyKey, EveryKeyOfTheTable) {
    auto hue = [](const AppState& s) { return s.params.hue; };
    auto level = [](const AppState& s) { return s.params.level; };
    auto none = [](AppState&) {};
    const std::vector<KeyCase> cases = {
        {"Left wraps below 0", Key::Left, [](AppState& s) { s.params.hue = 3; }, hue, 1528, KeyEffect::Parameter},
        {"Right wraps past 1529", Key::Right, [](AppState& s) { s.params.hue = 1528; }, hue, 3, KeyEffect::Parameter},
        {"Right by a big step", Key::Right, [](AppState& s) { s.params.hue = 1529; s.steps.hueStep = 255; }, hue, 254,
         KeyEffect::Parameter},
        {"Left from 0 by 1", Key::Left, [](AppState& s) { s.steps.hueStep = 1; }, hue, 1529, KeyEffect::Parameter},
        {"Up clamps at 510", Key::Up, [](AppState& s) { s.params.level = 508; }, level, 510, KeyEffect::Parameter},
        {"Up by the step", Key::Up, [](AppState& s) { s.params.level = 100; s.steps.levelStep = 7; }, level, 107,
         KeyEffect::Parameter},
        {"Down clamps at 0", Key::Down, [](AppState& s) { s.params.level = 3; }, level, 0, KeyEffect::Parameter},
        {"1", Key::Digit1, none, [](const AppState& s) { return s.params.waveFreqNum; }, 0, KeyEffect::Parameter},
        {"2", Key::Digit2, none, [](const AppState& s) { return s.params.waveFreqNum; }, 2, KeyEffect::Parameter},
        {"3", Key::Digit3, none, [](const AppState& s) { return s.params.waveFreqDen; }, 31, KeyEffect::Parameter},
        {"4", Key::Digit4, none, [](const AppState& s) { return s.params.waveFreqDen; }, 33, KeyEffect::Parameter},
        {"5", Key::Digit5, none, [](const AppState& s) { return s.params.waveAmplitude; }, 15, KeyEffect::Parameter},
        {"6", Key::Digit6, none, [](const AppState& s) { return s.params.waveAmplitude; }, 17, KeyEffect::Parameter},
        {"7", Key::Digit7, none, [](const AppState& s) { return s.params.wavePhase; }, -1, KeyEffect::Parameter},
        {"8", Key::Digit8, none, [](const AppState& s) { return s.params.wavePhase; }, 1, KeyEffect::Parameter},
        {"9", Key::Digit9, none, [](const AppState& s) { return s.params.wavePhaseDen; }, 31, KeyEffect::Parameter},
        {"0", Key::Digit0, none, [](const AppState& s) { return s.params.wavePhaseDen; }, 33, KeyEffect::Parameter},
        {"Q", Key::Q, none, [](const AppState& s) { return s.params.centerX; }, -2, KeyEffect::Parameter},
        {"W", Key::W, none, [](const AppState& s) { return s.params.centerX; }, 2, KeyEffect::Parameter},
        {"E", Key::E, none, [](const AppState& s) { return s.params.centerY; }, -2, KeyEffect::Parameter},
        {"R", Key::R, none, [](const AppState& s) { return s.params.centerY; }, 2, KeyEffect::Parameter},
        {"Q with a negative step moves right", Key::Q, [](AppState& s) { s.steps.centerStep = -2; },
         [](const AppState& s) { return s.params.centerX; }, 2, KeyEffect::Parameter},
        {"O sets", Key::O, none, [](const AppState& s) { return s.params.startFromEnd; }, 1, KeyEffect::Parameter},
        {"O clears", Key::O, [](AppState& s) { s.params.startFromEnd = 1; }, [](const AppState& s) { return s.params.startFromEnd; }, 0,
         KeyEffect::Parameter},
        {"A", Key::A, none, [](const AppState& s) { return s.view.selectedImage; }, 0, KeyEffect::View},
        {"S", Key::S, none, [](const AppState& s) { return s.view.selectedImage; }, 1, KeyEffect::View},
        {"D", Key::D, none, [](const AppState& s) { return s.view.selectedImage; }, 2, KeyEffect::View},
        {"F", Key::F, none, [](const AppState& s) { return s.view.selectedImage; }, 3, KeyEffect::View},
        {"G", Key::G, none, [](const AppState& s) { return s.view.selectedImage; }, 4, KeyEffect::View},
        {"H", Key::H, [](AppState& s) { s.view.selectedImage = 2; }, [](const AppState& s) { return s.view.selectedImage; }, -1,
         KeyEffect::View},
        {"wave numerator wraps at the bottom", Key::Digit1, [](AppState& s) { s.params.waveFreqNum = INT_MIN; },
         [](const AppState& s) { return s.params.waveFreqNum; }, INT_MAX, KeyEffect::Parameter},
        {"3 goes on below zero", Key::Digit3, [](AppState& s) { s.params.waveFreqDen = 0; },
         [](const AppState& s) { return s.params.waveFreqDen; }, -1, KeyEffect::Parameter},
        {"a key without action", Key::Other, none, hue, 0, KeyEffect::None},
        {"centre wraps at the top", Key::W, [](AppState& s) { s.params.centerX = INT_MAX; },
         [](const AppState& s) { return s.params.centerX; }, INT_MIN + 1, KeyEffect::Parameter},
    };
    for (const KeyCase& c : cases) {
        test::State state;
        c.before(state);
        EXPECT_EQ(ApplyKey(state, c.key), c.effect) << c.name;
        EXPECT_EQ(c.field(state), c.expected) << c.name;
    }
}

// Without a picture no pass runs, so no progress text stands on the window.
TEST(OnKeyDown, ParameterKeysRegenerateThenRepaintEvenWithoutImage) {
    test::State state;
    state.params.effectMode = ModeRgbComponents;
    RecordingWindow window;
    OnKeyDown(window, state, Key::Right);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"repaint"}));
    EXPECT_EQ(state.shown.Label(1), "赤成分");  // the labels follow all the same
}

TEST(OnKeyDown, ViewKeysMarkTheMenuAndDoNotRegenerate) {
    test::State state;
    RecordingWindow window;
    OnKeyDown(window, state, Key::D);
    EXPECT_EQ(window.Count("status"), 0u);
    EXPECT_EQ(window.Count("check"), 36u);
    EXPECT_EQ(window.calls.back(), "repaint");
    EXPECT_EQ(window.Marked(), (std::vector<Command>{Command::ShowImage2, Command{32778}, Command::Columns2, Command::StatusBar}));
}

TEST(OnKeyDown, KeysWithoutActionStillRepaint) {
    test::State state;
    RecordingWindow window;
    OnKeyDown(window, state, Key::Other);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"repaint"}));
}

struct HitCase {
    std::int32_t columns, x, y, expected;
};

TEST(TileAt, EveryArrangement) {
    test::State base;
    Use200x100(base);
    const HitCase cases[] = {
        // two columns: rows of 2, 2 and 1
        {2, 0, 0, 0}, {2, 199, 99, 0}, {2, 200, 0, 1}, {2, 399, 99, 1}, {2, 400, 0, -1},
        {2, 0, 100, 2}, {2, 200, 100, 3}, {2, 0, 200, 4}, {2, 199, 299, 4},
        {2, 200, 200, -1},  // the empty place right of tile 4
        {2, 0, 300, -1},
        // one column
        {1, 0, 400, 4}, {1, 199, 499, 4}, {1, 200, 0, -1}, {1, 0, 500, -1},
        // three columns: rows of 3 and 2
        {3, 400, 0, 2}, {3, 599, 99, 2}, {3, 0, 100, 3}, {3, 200, 100, 4}, {3, 400, 100, -1}, {3, 600, 0, -1},
        // one row of five
        {5, 800, 0, 4}, {5, 999, 99, 4}, {5, 1000, 0, -1}, {5, 0, 100, -1},
    };
    for (const HitCase& c : cases) {
        test::State state;
        state.shown.images.width = base.shown.images.width;
        state.shown.images.height = base.shown.images.height;
        state.view.columns = c.columns;
        EXPECT_EQ(LayoutOf(state).TileAt({c.x, c.y}), c.expected) << c.columns << " columns at " << c.x << "," << c.y;
    }
}

TEST(TileAt, NothingIsHitWithAnEmptySize) {
    test::State state;
    for (std::int32_t columns : {1, 2, 3, 5}) {
        state.view.columns = columns;
        EXPECT_EQ(LayoutOf(state).TileAt({0, 0}), -1);
    }
    state.shown.images.width = 10;  // a failed paste keeps the width, but the height may be 0 after a failed load
    EXPECT_EQ(LayoutOf(state).TileAt({0, 0}), -1);
}

TEST(TileAt, PointsLeftOfOrAboveTheClientAreaHitNothing) {
    // Wide enough that -1 taken as an unsigned 16-bit number, 65535, would hit tile 3.
    test::State state;
    state.shown.images.width = 20000;
    state.shown.images.height = 10;
    state.view.columns = 5;
    ASSERT_EQ(LayoutOf(state).TileAt({65535, 5}), 3);
    EXPECT_EQ(LayoutOf(state).TileAt({-1, 5}), -1);
    EXPECT_EQ(LayoutOf(state).TileAt({5, -1}), -1);
    RecordingWindow window;
    OnLeftButtonDown(window, state, {-1, 5});
    EXPECT_EQ(state.view.selectedImage, -1);
}

TEST(OnMouseMove, RepaintsWhenTheHoveredTileOrTheProbedPointChanges) {
    test::State state;
    Use200x100(state);
    RecordingWindow window;
    OnMouseMove(window, state, {10, 10});
    EXPECT_EQ(state.view.hoverImage, 0);
    EXPECT_EQ(state.view.probe, (Point{10, 10}));
    OnMouseMove(window, state, {10, 10});  // the same point: nothing to redo
    EXPECT_EQ(window.Count("repaint"), 1u);
    OnMouseMove(window, state, {250, 150});  // tile 3, picture point 50, 50
    EXPECT_EQ(state.view.hoverImage, 3);
    EXPECT_EQ(state.view.probe, (Point{50, 50}));
    OnMouseMove(window, state, {250, 250});  // the empty grid place
    EXPECT_EQ(state.view.hoverImage, -1);
    EXPECT_FALSE(state.view.probe.has_value());
    OnMouseMove(window, state, {600, 600});
    EXPECT_EQ(window.Count("repaint"), 3u);
    state.view.selectedImage = 1;  // the hover follows the grid in the single view too
    OnMouseMove(window, state, {0, 0});
    EXPECT_EQ(state.view.hoverImage, 0);
    EXPECT_EQ(window.Count("repaint"), 4u);
    OnMouseLeave(window, state);
    EXPECT_FALSE(state.view.probe.has_value());
}

TEST(OnLeftButtonDown, SelectsFromTheGalleryAndReturnsFromAnywhere) {
    test::State state;
    Use200x100(state);
    RecordingWindow window;
    OnLeftButtonDown(window, state, {250, 200});  // beside tile 4: stays in the gallery
    EXPECT_EQ(state.view.selectedImage, -1);
    OnLeftButtonDown(window, state, {300, 150});
    EXPECT_EQ(state.view.selectedImage, 3);
    OnLeftButtonDown(window, state, {1000, 1000});  // outside the image
    EXPECT_EQ(state.view.selectedImage, -1);
    OnLeftButtonDown(window, state, {5, 5});
    OnLeftButtonDown(window, state, {5, 5});  // the shown image itself
    EXPECT_EQ(state.view.selectedImage, -1);
    EXPECT_EQ(window.calls, std::vector<std::string>(5, "repaint"));
}

TEST(MenuChecks, ClicksLeaveTheViewMarksKeysAndMenuMoveThem) {
    test::State state;
    Use200x100(state);
    RecordingWindow window;
    const std::vector<Command> atStart{Command::ShowAll, Command{32778}, Command::Columns2, Command::StatusBar};
    EXPECT_EQ(window.Marked(), atStart);
    OnLeftButtonDown(window, state, {50, 150});  // selects image 2
    EXPECT_EQ(state.view.selectedImage, 2);
    EXPECT_EQ(window.Marked(), atStart);
    OnKeyDown(window, state, Key::H);
    OnKeyDown(window, state, Key::D);
    EXPECT_EQ(window.Marked(), (std::vector<Command>{Command::ShowImage2, Command{32778}, Command::Columns2, Command::StatusBar}));
    OnLeftButtonDown(window, state, {50, 50});  // back to the gallery
    EXPECT_EQ(state.view.selectedImage, -1);
    EXPECT_EQ(window.Marked(), (std::vector<Command>{Command::ShowImage2, Command{32778}, Command::Columns2, Command::StatusBar}));
    OnCommand(window, state, Command{32806});  // スライド
    OnCommand(window, state, Command::Columns5);
    OnCommand(window, state, Command::ShowImage4);
    EXPECT_EQ(window.Marked(), (std::vector<Command>{Command{32806}, Command::ShowImage4, Command::Columns5, Command::StatusBar}));
}

// Every item that carries a value is marked once, on exactly where the state
// holds its value; the items with marks of their own are left alone.
TEST(MenuChecks, EveryValueItemOnceAndOnlyTheStatesOnesOn) {
    test::State state;
    state.view.selectedImage = 4;
    state.params.effectMode = ModeSlide;
    state.view.columns = 1;
    RecordingWindow window;
    window.marks.clear();
    UpdateMenuChecks(window, state);
    std::size_t valueItems = 0;
    for (const MenuPopup& popup : MainMenu())
        for (const MenuItem& item : popup.items)
            if (item.action == MenuAction::SelectImage || item.action == MenuAction::SetEffectMode ||
                item.action == MenuAction::SetColumns)
                ++valueItems;
    EXPECT_EQ(window.calls.size(), valueItems);
    EXPECT_EQ(window.marks.size(), valueItems);  // each once
    const auto slide = ModeCommand(ModeSlide);
    std::vector<Command> on = window.Marked();
    std::sort(on.begin(), on.end());
    std::vector<Command> expected{Command::ShowImage4, slide, Command::Columns1};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(on, expected);
    EXPECT_EQ(window.marks.count(Command::StatusBar), 0u);
    EXPECT_EQ(window.marks.count(Command::ActualSize), 0u);
}

struct RightCase {
    std::int32_t mode, x, y;
    bool acts;
    std::int32_t centerX, centerY;
};

TEST(OnRightButtonDown, SetsTheCentreOnlyInCentreModesInsideTheFirstTile) {
    const RightCase cases[] = {
        {ModeRipple, 100, 49, true, 0, 0},
        {ModeSingleRipple, 0, 0, true, -100, 49},
        {ModeVortex, 199, 99, true, 99, -50},
        {ModeSlide, 150, 10, true, 50, 39},
        {ModeRipple, 200, 0, false, 0, 0},  // tile 1
        {ModeRipple, 0, 100, false, 0, 0},  // tile 2
        {ModeWave, 100, 49, false, 0, 0},
        {ModeSingleWave, 100, 49, false, 0, 0},
        {ModeInvert, 100, 49, false, 0, 0},
    };
    for (const RightCase& c : cases) {
        test::State state;
        Use200x100(state);
        state.params.effectMode = c.mode;
        state.params.centerX = 7;
        state.params.centerY = 8;
        RecordingWindow window;
        OnRightButtonDown(window, state, {c.x, c.y});
        const std::string where = std::to_string(c.mode) + " at " + std::to_string(c.x) + "," + std::to_string(c.y);
        if (c.acts) {
            EXPECT_EQ(state.params.centerX, c.centerX) << where;
            EXPECT_EQ(state.params.centerY, c.centerY) << where;
            EXPECT_EQ(window.Count("status"), 1u) << where;
            EXPECT_EQ(window.calls.back(), "repaint") << where;
        } else {
            EXPECT_EQ(state.params.centerX, 7) << where;
            EXPECT_EQ(state.params.centerY, 8) << where;
            EXPECT_TRUE(window.calls.empty()) << where;
        }
    }
}

// Driven by the mode records: Right changes the images of exactly the modes
// that read the hue, and a right click in the first tile moves the centre
// of exactly the modes that use it.
TEST(ModeRecords, RightChangesWhatReadsTheHueAndARightClickMovesWhatUsesTheCentre) {
    for (const ModeSpec* mode : AllModes()) {
        test::State state;
        state.shown.images = test::MakeImageSet(test::Varied(40, 20));
        state.params.effectMode = mode->mode;
        state.params.level = 90;
        RecordingWindow window;
        Regenerate(window, state);
        std::vector<PixelBuffer> before;
        for (int slot = 1; slot <= 4; ++slot) before.push_back(ReadPixels(*state.shown.images.bitmaps[slot]));
        OnKeyDown(window, state, Key::Right);
        bool changed = false;
        for (int slot = 1; slot <= 4; ++slot) changed |= ReadPixels(*state.shown.images.bitmaps[slot]) != before[slot - 1];
        EXPECT_EQ(changed, (mode->reads & ReadsHue) != 0) << mode->name;

        OnRightButtonDown(window, state, {3, 4});
        EXPECT_EQ(state.params.centerX != 0 || state.params.centerY != 0, mode->UsesCentre()) << mode->name;
    }
}

TEST(OnCommand, ModeCommandsRegenerateMarkAndRepaint) {
    test::State state;
    Use200x100(state);
    RecordingWindow window;
    ASSERT_TRUE(OnCommand(window, state, Command{32779}));
    EXPECT_EQ(state.params.effectMode, ModeRgbComponents);
    EXPECT_EQ(state.shown.Label(4), "任意（ＲＧＢ）");
    ASSERT_EQ(window.calls.size(), 1u + 36u + 1u);
    EXPECT_EQ(window.calls.front().rfind("status ", 0), 0u);
    EXPECT_EQ(window.calls.back(), "repaint");
}

// Every item of the menu reaches the window in some way (a repaint, a mark,
// a dialog, a message, the clipboard, a panel): none is routed to nothing.
TEST(OnCommand, EveryItemOfTheMenuDoesSomethingAndOthersAreNot) {
    for (const MenuPopup& popup : MainMenu())
        for (const MenuItem& item : popup.items) {
            if (item.id == Command::None) continue;
            test::State state;
            Use200x100(state);
            RecordingWindow window;
            // Two steps to take back and one to bring back.
            OnKeyDown(window, state, Key::Right);
            OnKeyDown(window, state, Key::Up);
            OnCommand(window, state, Command::Undo);
            window.calls.clear();
            EXPECT_TRUE(OnCommand(window, state, item.id)) << item.caption;
            EXPECT_FALSE(window.calls.empty()) << item.caption;
        }
    for (std::uint16_t id : {0, 1, 103, 106, 32770, 32785, 32807, 32818}) {
        test::State state;
        RecordingWindow window;
        EXPECT_FALSE(OnCommand(window, state, Command{id})) << id;
        EXPECT_TRUE(window.calls.empty());
    }
}

TEST(OnCommand, ExitReleasesTheImagesThenDestroysTheWindow) {
    const std::int64_t before = Bitmap::LiveCount();
    test::State state;
    Use200x100(state);
    EXPECT_EQ(Bitmap::LiveCount(), before + 5);
    RecordingWindow window;
    EXPECT_TRUE(OnCommand(window, state, Command::Exit));
    EXPECT_EQ(Bitmap::LiveCount(), before);
    EXPECT_FALSE(state.shown.images.Loaded());
    EXPECT_EQ(window.calls, std::vector<std::string>{"destroy"});
}

}  // namespace
}  // namespace prismview

namespace prismview {
namespace {

// The key reference lists every key the handler acts on, once, and each
// listed key does something; its steps are the state's.
TEST(KeyReference, NamesEveryKeyOnceAndEachActs) {
    std::vector<Key> named;
    for (const KeyBinding& binding : KeyBindings()) {
        AppState state;
        state.params.level = 100;  // room both ways
        const ProcessingParams before = state.params;
        const std::int32_t view = state.view.selectedImage;
        EXPECT_NE(ApplyKey(state, binding.key), KeyEffect::None) << binding.name;
        EXPECT_TRUE(!(state.params == before) || state.view.selectedImage != view || binding.key == Key::H) << binding.name;
        named.push_back(binding.key);
    }
    for (int k = static_cast<int>(Key::Left); k <= static_cast<int>(Key::H); ++k)
        EXPECT_EQ(std::count(named.begin(), named.end(), static_cast<Key>(k)), 1) << k;
    AppState state;
    state.steps.hueStep = 17;
    state.steps.centerStep = -3;
    const std::vector<KeyReferenceLine> lines = KeyReference(state);
    ASSERT_GT(lines.size(), KeyBindings().size());  // the view's keys and the mouse follow
    // The parameters' names, parts and steps, as the help window words them.
    const auto does = [&lines](std::string_view keys) {
        const auto line = std::find_if(lines.begin(), lines.end(), [&](const auto& l) { return l.keys == keys; });
        return line == lines.end() ? std::string() : line->does;
    };
    EXPECT_EQ(does("←"), "色相を 17 戻す");
    EXPECT_EQ(does("↑"), "明度を 5 上げる");
    EXPECT_EQ(does("3"), "周波数の分母を 1 減らす");
    EXPECT_EQ(does("6"), "振幅を 1 増やす");
    EXPECT_EQ(does("7"), "位相の分子を 1 減らす");
    EXPECT_EQ(does("E"), "中心を -3 下へ");
    EXPECT_EQ(does("O"), "ずらしの向き（先頭から・終端から）を切り替える");
    EXPECT_EQ(does("G"), "加工画像４だけを表示");
    EXPECT_EQ(does("右クリック"), "中心を使う処理で、クリックした点を中心にする");
}

}  // namespace
}  // namespace prismview
