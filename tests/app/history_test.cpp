#include "app/history.h"

#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/input.h"
#include "app/startup.h"
#include "io/bmp_file.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::RecordingWindow;

using test::BitmapOf;

TEST(Undo, TakesBackEachKindOfStepAndRedoesIt) {
    test::State state;
    RecordingWindow window;
    state.shown.images = test::MakeImageSet(test::Varied(6, 4));
    const PixelBuffer first = ReadPixels(*state.shown.images.bitmaps[0]);
    EXPECT_FALSE(state.history.CanUndo());

    OnCommand(window, state, Command{32783});  // 色相回転
    OnKeyDown(window, state, Key::Right);
    OnKeyDown(window, state, Key::Right);  // the same key within a second: the same step
    OnKeyDown(window, state, Key::Up);
    OnRightButtonDown(window, state, {1, 1});  // the mode uses no centre: no step
    window.clipboard = test::Varied(3, 5);
    OnCommand(window, state, Command::Paste);
    EXPECT_EQ(state.history.Steps(), 4u);  // mode, hue, level, paste
    EXPECT_EQ(state.shown.images.width, 3);

    OnCommand(window, state, Command::Undo);  // the paste: the first picture is back
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[0]), first);
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[1]), test::RunSlot(first, state.params, 1));  // processed again
    OnCommand(window, state, Command::Undo);  // Up
    EXPECT_EQ(state.params.level, 0);
    OnCommand(window, state, Command::Undo);  // both Rights
    EXPECT_EQ(state.params.hue, 0);
    OnCommand(window, state, Command::Undo);  // the mode, and its mark
    EXPECT_EQ(state.params.effectMode, ModeInvert);
    EXPECT_TRUE(window.marks[Command{32778}]);
    EXPECT_FALSE(state.history.CanUndo());
    OnCommand(window, state, Command::Undo);  // nothing left: nothing happens
    EXPECT_EQ(state.params.effectMode, ModeInvert);

    OnCommand(window, state, Command::Redo);
    OnCommand(window, state, Command::Redo);
    EXPECT_EQ(state.params.effectMode, ModeHueRotate);
    EXPECT_EQ(state.params.hue, 10);
    OnCommand(window, state, Command::Redo);
    OnCommand(window, state, Command::Redo);  // the paste again
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[0]), *window.clipboard);
    EXPECT_FALSE(state.history.CanRedo());

    // A new change after an undo clears what could be redone.
    OnCommand(window, state, Command::Undo);
    EXPECT_TRUE(state.history.CanRedo());
    OnKeyDown(window, state, Key::Left);
    EXPECT_FALSE(state.history.CanRedo());
}

TEST(Undo, MakeBaseOpenAndResetAreStepsToo) {
    test::TempDir dir;
    const std::string file = dir.Path("a.bmp");
    ASSERT_EQ(WriteBmpFile(file, *BitmapOf(test::Varied(4, 4))), WriteResult::Written);
    test::State state;
    RecordingWindow window;
    ASSERT_TRUE(OpenImageFile(window, state, file));
    EXPECT_EQ(state.history.Steps(), 0u);  // nothing was replaced
    const PixelBuffer base = ReadPixels(*state.shown.images.bitmaps[0]);
    state.view.selectedImage = 3;
    OnCommand(window, state, Command::MakeBase);
    EXPECT_NE(ReadPixels(*state.shown.images.bitmaps[0]), base);
    EXPECT_EQ(WindowTitle(state), "プリズムビュー");  // no longer the file's own picture...
    EXPECT_EQ(state.baseChain, (Chain{{ProcessingParams{}, 3}}));  // ...but made from it by that pass
    state.params.waveAmplitude = 9;
    OnCommand(window, state, Command::ResetParameters);
    EXPECT_EQ(state.params, ProcessingParams{});
    OnCommand(window, state, Command::Undo);
    EXPECT_EQ(state.params.waveAmplitude, 9);
    // A blank tile ("－") is no picture to make the base of.
    state.view.selectedImage = 4;
    window.messages.clear();
    OnCommand(window, state, Command::MakeBase);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(state.baseChain.size(), 1u);
    OnCommand(window, state, Command::Undo);  // the made base: the file's picture and its path again
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[0]), base);
    EXPECT_FALSE(state.basePath.empty());
    EXPECT_TRUE(state.baseChain.empty());
    EXPECT_EQ(WindowTitle(state), "プリズムビュー - a.bmp");
}

TEST(History, KeyRunsEndAfterASecondAndTheBoundsDropTheOldest) {
    const History::Clock::time_point t0{};
    History history(-1);
    ProcessingParams a, b, c;
    b.hue = 5;
    c.hue = 10;
    history.ParametersChanged(a, b, 3, t0);
    history.ParametersChanged(b, c, 3, t0 + std::chrono::milliseconds(900));
    EXPECT_EQ(history.Steps(), 1u);
    history.ParametersChanged(c, a, 3, t0 + std::chrono::milliseconds(2000));  // more than a second after the last
    EXPECT_EQ(history.Steps(), 2u);
    history.ParametersChanged(a, a, 4, t0);  // no change: no step
    EXPECT_EQ(history.Steps(), 2u);
    for (int i = 0; i < 150; ++i) history.ParametersChanged(i % 2 ? a : b, i % 2 ? b : a);
    EXPECT_EQ(history.Steps(), History::kMaxSteps);

    // Room for two 10 x 10 pictures: a third replacement drops the oldest picture.
    History pictures(2 * 10 * 10 * 4);
    for (int i = 0; i < 3; ++i) {
        pictures.ParametersChanged(a, b);
        pictures.BaseReplaced({a, BitmapOf(test::Varied(10, 10)), "", "", "", {}});
    }
    EXPECT_EQ(pictures.PictureBytes(), 800);
    EXPECT_EQ(pictures.Steps(), 4u);  // the oldest picture and the step before it went
}

}  // namespace
}  // namespace prismview
