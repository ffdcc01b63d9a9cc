// すべて保存 and 一覧画像として保存: the names, the formats, one question for
// the files there, all files or none, and the gallery as one picture.
#include "app/save_all.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/input.h"
#include "app/layout.h"
#include "app/regenerate.h"
#include "app/startup.h"
#include "app/view.h"
#include "io/bmp_file.h"
#include "io/picture_file.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

namespace fs = std::filesystem;

struct SaveAllTest : ::testing::Test {
    void SetUp() override {
        fs::create_directory(dir.Path("out"));
        ASSERT_EQ(WriteBmpFile(dir.Path("beach.bmp"), *test::BitmapOf(test::Varied(8, 5))), WriteResult::Written);
        ASSERT_TRUE(OpenImageFile(window, state, dir.Path("beach.bmp")));  // the default mode: slot 4 is blank
    }
    PixelBuffer Written(const std::string& name) {
        const ReadResult read = ReadPictureFile(dir.Path("out/" + name));
        EXPECT_TRUE(read.bitmap) << name << ": " << read.reason;
        return read.bitmap ? ReadPixels(*read.bitmap) : PixelBuffer{};
    }
    test::TempDir dir;
    test::State state;
    test::RecordingWindow window;
};

TEST_F(SaveAllTest, WritesEveryPictureOfTheModeUnderTheBatchToolsNames) {
    window.saveAll = SaveAllQuestion{dir.Path("out"), "", SaveFormat::Png, true, {}};
    OnCommand(window, state, Command::SaveAll);
    for (int slot = 0; slot <= 3; ++slot)
        EXPECT_EQ(Written("beach_" + std::to_string(slot) + ".png"), ReadPixels(*state.shown.images.bitmaps[slot])) << slot;
    EXPECT_FALSE(fs::exists(dir.Path("out/beach_4.png")));  // "－" is no picture
    EXPECT_EQ(state.dialogs.saveType, SaveFormat::Png);
    EXPECT_TRUE(state.dialogs.saveAllWithBase);
    EXPECT_EQ(state.dialogs.lastFolder, dir.Path("out"));

    // The files there: one question naming them all; No keeps every one.
    window.saveAll->withBase = false;
    window.saveAll->type = SaveFormat::Bmp;
    OnCommand(window, state, Command::SaveAll);  // new names: no question
    ASSERT_TRUE(window.messages.empty());
    state.params.hue = 700;
    state.params.effectMode = ModeHueRotate;
    Regenerate(window, state);
    const PixelBuffer before = Written("beach_1.bmp");
    OnCommand(window, state, Command::SaveAll);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_NE(window.messages[0].text.find("beach_1.bmp\n" + dir.Path("out/beach_2.bmp")), std::string::npos)
        << window.messages[0].text;
    EXPECT_EQ(Written("beach_1.bmp"), before);
    window.answers.push_back(MessageAnswer::Yes);
    OnCommand(window, state, Command::SaveAll);
    EXPECT_EQ(Written("beach_4.bmp"), ReadPixels(*state.shown.images.bitmaps[4]));  // not blank in this mode
}

// A file that cannot be written: none of the set replaces what is there,
// no temporary file stays, and the user is told which.
TEST_F(SaveAllTest, OneFailureWritesNone) {
    window.saveAll = SaveAllQuestion{dir.Path("out"), "", SaveFormat::Png, false, {}};
    fs::create_directory(dir.Path("out/beach_3.png"));  // a folder where a file should go
    OnCommand(window, state, Command::SaveAll);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_NE(window.messages[0].detail.find("beach_3.png"), std::string::npos) << window.messages[0].detail;
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.Path("out"))) left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"beach_3.png"});

    window.messages.clear();
    window.saveAll->folder = dir.Path("nowhere");
    OnCommand(window, state, Command::SaveAll);
    EXPECT_EQ(window.messages.size(), 1u);
    EXPECT_FALSE(fs::exists(dir.Path("nowhere")));
    window.saveAll.reset();  // cancelled: nothing asked after
    window.messages.clear();
    OnCommand(window, state, Command::SaveAll);
    EXPECT_TRUE(window.messages.empty());
}

// At the pictures' own size the sheet is the gallery at 1:1 with a caption
// line below each tile; the tiles hold the pictures, a blank one nothing.
TEST_F(SaveAllTest, TheGallerySheetIsTheTilesAndTheirCaptions) {
    state.view.textHeight = 3;
    window.galleryOwnSize = true;
    window.saveName = dir.Path("out/sheet.png");
    OnCommand(window, state, Command::SaveGallery);
    const PixelBuffer sheet = Written("sheet.png");
    const ViewFit fit = GallerySheetFit(state, true);
    ASSERT_GT(fit.columns, 0);
    EXPECT_EQ(sheet.width, 8 * TilesAcross(fit.columns));
    EXPECT_EQ(sheet.height, (5 + 3) * TilesDown(fit.columns));
    const PixelBuffer base = ReadPixels(*state.shown.images.bitmaps[0]);
    const Layout layout(fit);
    for (int slot : {0, 4}) {
        const Rect tile = layout.Tile(slot);
        for (std::int32_t y = 0; y < 5; ++y)
            for (std::int32_t x = 0; x < 8; ++x) {
                const RgbValue expected = slot == 0 ? base.At(x, 4 - y) : 0xFFFFFFu;
                ASSERT_EQ(sheet.At(tile.left + x, sheet.height - 1 - (tile.top + y)), expected) << slot << " " << x << "," << y;
            }
    }
    EXPECT_EQ(window.paintedTexts, (std::vector<std::string>{"ベース画像", "色相反転", "明度反転", "通常反転", "－"}));
    // As shown: the window's scale.
    state.view.client = {10, 10};
    ASSERT_TRUE(FitOf(state).scale.Shrinks());
    const ViewFit shown = GallerySheetFit(state, false);
    const Size tile = ScaledSize({8, 5}, FitOf(state).scale);
    EXPECT_EQ(shown.content.width, tile.width * TilesAcross(shown.columns));
    EXPECT_EQ(shown.content.height, (tile.height + 3) * TilesDown(shown.columns));
}

}  // namespace
}  // namespace prismview
