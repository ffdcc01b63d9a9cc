// Open, save, drop and paste with pictures of every format: the title, the
// dialogs' folder and the refused extension.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/commands.h"
#include "app/input.h"
#include "io/picture_file.h"
#include "app/menu.h"
#include "app/status.h"
#include "core/colour_chart.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::RecordingWindow;

using test::BitmapOf;

// The chart goes in as a paste does: one undo step, named in the title and
// the proposed save names, every derived image made from it.
TEST(PictureCommands, TheColourChartIsTheBaseUntilUndone) {
    test::State state;
    RecordingWindow window;
    UsePicture(window, state, {BitmapOf(test::Varied(5, 4)), "", "", ""});
    const PixelBuffer before = ReadPixels(*state.shown.images.bitmaps[0]);
    OnCommand(window, state, Command::ColourChart);
    ASSERT_EQ(state.shown.images.width, kChartWidth);
    ASSERT_EQ(state.shown.images.height, kChartHeight);
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[0]).pixels, ReadPixels(*MakeColourChart()).pixels);
    EXPECT_EQ(WindowTitle(state), "プリズムビュー - 色見本");
    EXPECT_EQ(ProposedSaveName(state), "色見本_0.bmp");
    EXPECT_EQ(state.shown.images.bitmaps[4]->Width(), kChartWidth);
    OnCommand(window, state, Command::Undo);
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[0]).pixels, before.pixels);
    EXPECT_EQ(WindowTitle(state), "プリズムビュー");
}

TEST(PictureCommands, SaveByExtensionAndTheTitleFollowsTheBaseImagesFile) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.Path("photos"));
    const std::string png = dir.Path("photos/beach.png");
    ASSERT_EQ(WritePictureFile(png, *BitmapOf(test::Varied(6, 4))), WriteResult::Written);

    test::State state;
    RecordingWindow window;
    EXPECT_EQ(WindowTitle(state), "プリズムビュー");
    OpenFileCommand(window, state, png);
    ASSERT_TRUE(state.shown.images.Loaded());
    EXPECT_EQ(state.shown.images.width, 6);
    EXPECT_EQ(WindowTitle(state), "プリズムビュー - beach.png");
    EXPECT_EQ(state.dialogs.lastFolder, dir.Path("photos"));
    EXPECT_EQ(window.calls.back(), "repaint");

    // Saved as PNG by its name; the dialogs then start where it went, with
    // the name of the picture and slot, in the type chosen last.
    state.view.selectedImage = 2;
    window.saveName = dir.Path("out.PNG");
    window.chosenSaveType = SaveFormat::Png;
    OnCommand(window, state, Command::Save);
    EXPECT_EQ(window.proposedName, "beach_2.bmp");
    EXPECT_EQ(ProposedSaveName(state), "beach_2.png");
    ReadResult saved = ReadPictureFile(dir.Path("out.PNG"));
    ASSERT_TRUE(saved.bitmap) << saved.reason;
    EXPECT_EQ(ReadPixels(*saved.bitmap).pixels, ReadPixels(*state.shown.images.bitmaps[2]).pixels);
    EXPECT_EQ(state.dialogs.lastFolder, dir.path());
    // A name typed with another type's extension: that type next time.
    window.saveName = dir.Path("typed.jpg");
    OnCommand(window, state, Command::Save);
    EXPECT_EQ(ProposedSaveName(state), "beach_2.jpg");
    EXPECT_TRUE(std::filesystem::exists(dir.Path("typed.jpg")));

    // An extension no writer knows: told before any question, nothing written.
    window.calls.clear();
    window.messages.clear();
    window.saveName = dir.Path("out.xyz");
    OnCommand(window, state, Command::Save);
    ASSERT_EQ(window.messages.size(), 2u);
    EXPECT_EQ(window.messages[0].caption, "エラー");
    EXPECT_EQ(window.messages[0].text,
              "この拡張子では保存できません。使える拡張子：.bmp .png .jpg .jpeg .webp .tif .tiff");
    EXPECT_EQ(window.messages[1].text, "ＢＭＰ保存に失敗しました。");
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out.xyz")));

    // A picture that came from elsewhere has no file: the title goes back.
    UsePicture(window, state, {BitmapOf(test::Varied(3, 3)), "", "", ""});
    EXPECT_EQ(state.shown.images.width, 3);
    EXPECT_EQ(WindowTitle(state), "プリズムビュー");
    OpenFileCommand(window, state, png);
    state.view.selectedImage = 1;
    OnCommand(window, state, Command::MakeBase);
    EXPECT_EQ(WindowTitle(state), "プリズムビュー");

    // A failed open keeps the images and the title's file.
    OpenFileCommand(window, state, png);
    window.messages.clear();
    OpenFileCommand(window, state, dir.Path("missing.jpg"));
    EXPECT_EQ(window.messages.at(0).text, "ＢＭＰ読み出し失敗しました。");
    EXPECT_EQ(state.shown.images.width, 6);
    EXPECT_EQ(WindowTitle(state), "プリズムビュー - beach.png");
}

// The message of a failed read says what could not be read and why, below
// its usual text: for a file, dropped data and the clipboard.
TEST(ReadFailures, SayWhatAndWhy) {
    test::TempDir dir;
    const std::string damaged = dir.Path("damaged.png");
    std::vector<unsigned char> bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    test::WriteFileBytes(damaged, bytes);
    test::State state;
    test::RecordingWindow window;
    OpenFileCommand(window, state, damaged);
    OpenFileCommand(window, state, dir.Path("missing.png"));
    ASSERT_EQ(window.messages.size(), 2u);
    EXPECT_EQ(window.messages[0].text, "ＢＭＰ読み出し失敗しました。");
    EXPECT_EQ(window.messages[0].caption, "鰓阿");
    EXPECT_EQ(window.messages[0].detail.rfind(damaged + "\ndamaged", 0), 0u) << window.messages[0].detail;
    EXPECT_EQ(window.messages[1].detail, dir.Path("missing.png") + "\nNo such file or directory");

    window.messages.clear();
    UsePicture(window, state, {nullptr, "ドロップされたデータ", "damaged: no picture in the data", ""});
    UsePicture(window, state, {nullptr, "ドロップされたデータ", "", ""});  // nothing that looked like a picture: silent
    window.clipboard.reset();
    window.clipboardReason = "too big: 100000 x 100000";
    OnCommand(window, state, Command::Paste);
    ASSERT_EQ(window.messages.size(), 2u);
    EXPECT_EQ(window.messages[0].detail, "ドロップされたデータ\ndamaged: no picture in the data");
    EXPECT_EQ(window.messages[1].detail, "クリップボード\ntoo big: 100000 x 100000");
    EXPECT_FALSE(state.shown.images.Loaded());
}

// A picture the decoder could read only in part opens without a message
// box; the status bar says what is wrong with it for as long as it is the
// base, undo included.
TEST(ReadFailures, ADamagedPictureOpensAndTheStatusBarSaysSo) {
    test::TempDir dir;
    const std::string cut = dir.Path("cut.jpg"), whole = dir.Path("whole.png");
    QImage picture(96, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) picture.setPixel(x, y, qRgb(x * 2, y * 3, 200 - x));
    ASSERT_TRUE(picture.save(QString::fromStdString(cut)));
    std::vector<unsigned char> bytes = test::ReadFileBytes(cut);
    bytes.resize(bytes.size() * 2 / 3);  // well past the tables
    test::WriteFileBytes(cut, bytes);
    ASSERT_EQ(WritePictureFile(whole, *BitmapOf(test::Varied(6, 4))), WriteResult::Written);
    auto notice = [](const AppState& state) {
        const std::string first = StatusItems(state, std::nullopt).front().text;
        return first.rfind("画像の一部が壊れています: ", 0) == 0 ? first : std::string();
    };
    test::State state;
    test::RecordingWindow window;
    OpenFileCommand(window, state, cut);
    EXPECT_TRUE(window.messages.empty());
    ASSERT_EQ(state.shown.images.width, 96);
    EXPECT_EQ(notice(state), "画像の一部が壊れています: Corrupt JPEG data: premature end of data segment");
    OpenFileCommand(window, state, whole);
    EXPECT_EQ(notice(state), "");
    OnCommand(window, state, Command::Undo);
    EXPECT_EQ(state.shown.images.width, 96);
    EXPECT_NE(notice(state), "");
    UsePicture(window, state, {BitmapOf(test::Varied(3, 3)), "クリップボード", "", "the data holds 4 of the 3 × 3 pixels"});
    EXPECT_EQ(notice(state), "画像の一部が壊れています: the data holds 4 of the 3 × 3 pixels");
    UsePicture(window, state, {BitmapOf(test::Varied(3, 3)), "クリップボード", "", ""});
    EXPECT_EQ(notice(state), "");
    EXPECT_TRUE(window.messages.empty());
}

TEST(ProgramArguments, OnlyHelpVersionAndOneFile) {
    using Action = ProgramArguments::Action;
    struct Case {
        std::vector<std::string> arguments;
        Action action;
        std::string file;
    };
    const Case cases[] = {
        {{}, Action::Run, ""},
        {{"photo.png"}, Action::Run, "photo.png"},
        {{"--", "-dash.png"}, Action::Run, "-dash.png"},
        {{"-"}, Action::Run, "-"},
        {{"--help"}, Action::Help, ""},
        {{"-h", "photo.png"}, Action::Help, "photo.png"},
        {{"--version"}, Action::Version, ""},
        {{"-style", "fusion"}, Action::Error, ""},
        {{"--platform=xcb"}, Action::Error, ""},
        {{"a.png", "b.png"}, Action::Error, "a.png"},
        {{""}, Action::Error, ""},
    };
    for (const Case& c : cases) {
        const ProgramArguments parsed = ParseProgramArguments(c.arguments);
        EXPECT_EQ(parsed.action, c.action) << testing::PrintToString(c.arguments);
        EXPECT_EQ(parsed.file, c.file) << testing::PrintToString(c.arguments);
        EXPECT_EQ(parsed.error.empty(), c.action != Action::Error);
    }
    EXPECT_EQ(ProgramUsage().rfind("Usage: prismview [FILE]\n", 0), 0u);
}

}  // namespace
}  // namespace prismview
