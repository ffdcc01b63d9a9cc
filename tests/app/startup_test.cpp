#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/input.h"
#include "io/bmp_file.h"
#include "io/picture_file.h"
#include "app/menu.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::RecordingWindow;

void WriteBmp(const std::string& path, std::int32_t width, std::int32_t height) {
    BitmapHandle bitmap = Bitmap::Create(width, height);
    ASSERT_TRUE(WritePixels(*bitmap, test::Varied(width, height)));
    ASSERT_EQ(WriteBmpFile(path, *bitmap), WriteResult::Written);
}

// Runs the test body with the current folder switched to `folder`.
class InFolder {
public:
    explicit InFolder(const std::string& folder) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

const std::string kLoading = "status 画像の読み出しをしてます。";
const std::string kProcessing = "status 加工画像の作成をしてます。技術不足により、暫く時間が掛かりますm(__)m";

TEST(OpenImageFile, LoadsThenProcessesWithoutRepainting) {
    test::TempDir dir;
    WriteBmp(dir.Path("a.bmp"), 3, 2);
    test::State state;
    RecordingWindow window;
    OpenImageFile(window, state, dir.Path("a.bmp"));
    EXPECT_EQ(window.calls, (std::vector<std::string>{kLoading, kProcessing}));
    ASSERT_TRUE(state.shown.images.Loaded());
    EXPECT_EQ(state.shown.images.width, 3);
    EXPECT_EQ(state.shown.images.height, 2);
    for (int slot = 1; slot < kSlotCount; ++slot) ASSERT_NE(state.shown.images.bitmaps[slot], nullptr);
    EXPECT_EQ(state.shown.Label(1), "色相反転");
    // slot 4 of the default mode is all white: the pass really ran
    for (RgbValue p : ReadPixels(*state.shown.images.bitmaps[4]).pixels) EXPECT_EQ(p, 0xFFFFFFu);
}

TEST(OpenImageFile, AFailedOpenKeepsTheImagesAndStillProcesses) {
    test::TempDir dir;
    WriteBmp(dir.Path("a.bmp"), 3, 2);
    const std::int64_t before = Bitmap::LiveCount();
    test::State state;
    RecordingWindow window;
    EXPECT_TRUE(OpenImageFile(window, state, dir.Path("a.bmp")));
    const PixelBuffer base = ReadPixels(*state.shown.images.bitmaps[0]);
    state.params.effectMode = ModeRgbComponents;
    window.calls.clear();
    EXPECT_FALSE(OpenImageFile(window, state, dir.Path("missing.bmp")));
    ASSERT_TRUE(state.shown.images.Loaded());
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[0]).pixels, base.pixels);
    EXPECT_EQ(state.shown.images.width, 3);
    EXPECT_EQ(state.shown.images.height, 2);
    EXPECT_EQ(Bitmap::LiveCount(), before + 5 + test::kRunnerSet);
    EXPECT_EQ(window.calls, (std::vector<std::string>{kLoading, kProcessing}));
    EXPECT_EQ(state.shown.Label(1), "赤成分");
}

TEST(OpenStartImage, LooksInTheCurrentFolder) {
    test::TempDir with;
    test::TempDir without;
    WriteBmp(with.Path("start.bmp"), 4, 4);
    {
        InFolder in(with.path());
        test::State state;
        RecordingWindow window;
        OpenStartImage(window, state);
        EXPECT_TRUE(state.shown.images.Loaded());
    }
    {
        InFolder in(without.path());
        test::State state;
        RecordingWindow window;
        OpenStartImage(window, state);
        EXPECT_FALSE(state.shown.images.Loaded());
        // The loading text only: no message of any kind, no progress text for a pass that does not run.
        EXPECT_EQ(window.Count("status"), 1u);
        EXPECT_EQ(window.calls.size(), 1u);
    }
}

TEST(Shutdown, ExitThenDestroyReleasesEachBitmapOnce) {
    const std::int64_t before = Bitmap::LiveCount();
    test::State state;
    state.shown.images = test::MakeImageSet(test::Varied(4, 4));
    RecordingWindow window;
    OnCommand(window, state, Command::Exit);
    EXPECT_EQ(Bitmap::LiveCount(), before);
    OnDestroy(window, state);  // the destroy that DestroyWindow brings
    EXPECT_EQ(Bitmap::LiveCount(), before);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"destroy", "quit 0"}));
}

}  // namespace
}  // namespace prismview
