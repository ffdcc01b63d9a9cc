#include "app/commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/input.h"
#include "io/bmp_file.h"
#include "io/picture_file.h"
#include "resources/dialog_templates.h"
#include "app/menu.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::RecordingWindow;
using Bytes = std::vector<unsigned char>;

const std::string kLoading = "status 画像の読み出しをしてます。";
const std::string kProcessing = "status 加工画像の作成をしてます。技術不足により、暫く時間が掛かりますm(__)m";
const std::string kNoImage =
    "message 要求: 画像情報が有りません。\n画像を取り込み、保存対象の画像を選択してから、実行してください。";
const std::string kChooseImage = "message 要求: 四つの画像のうち、いずれかを選択してから実行してください。";
const std::string kSaveFailed = "message 鰓阿: ＢＭＰ保存に失敗しました。";

void Load(AppState& state, std::int32_t width, std::int32_t height, std::int32_t selected) {
    state.shown.images = test::MakeImageSet(test::Varied(width, height));
    state.view.selectedImage = selected;
}

Bytes BmpBytesOf(const Bitmap& bitmap) {
    test::TempDir dir;
    EXPECT_EQ(WriteBmpFile(dir.Path("x.bmp"), bitmap), WriteResult::Written);
    return test::ReadFileBytes(dir.Path("x.bmp"));
}

TEST(Commands, PreconditionsOfSaveCopyAndMakeBase) {
    struct Case {
        Command command;
        bool loaded;
        std::int32_t selected;
        std::string message;
    };
    const Case cases[] = {
        {Command::Save, false, 2, kNoImage},       {Command::Save, true, -1, kChooseImage},
        {Command::Copy, false, 2, kNoImage},       {Command::Copy, true, -1, kChooseImage},
        {Command::MakeBase, false, 2, kChooseImage}, {Command::MakeBase, true, -1, kChooseImage},
        {Command::Save, false, -1, kNoImage},      // no image comes first
    };
    for (const Case& c : cases) {
        test::State state;
        if (c.loaded) Load(state, 2, 2, c.selected);
        state.view.selectedImage = c.selected;
        RecordingWindow window;
        window.saveName = "never.bmp";
        OnCommand(window, state, c.command);
        EXPECT_EQ(window.calls, (std::vector<std::string>{c.message})) << static_cast<int>(c.command);
        ASSERT_EQ(window.messages.size(), 1u);
        EXPECT_TRUE(window.messages[0].owned);
        EXPECT_EQ(window.messages[0].buttons, MessageButtons::Ok);
        EXPECT_FALSE(window.clipboard.has_value());
    }
}

TEST(Commands, OpenReadsTheFileAndKeepsViewModeAndParameters) {
    test::TempDir dir;
    BitmapHandle picture = Bitmap::Create(3, 2);
    WritePixels(*picture, test::Varied(3, 2));
    ASSERT_EQ(WriteBmpFile(dir.Path("a.bmp"), *picture), WriteResult::Written);
    test::State state;
    Load(state, 5, 5, 2);
    state.params.effectMode = ModeRgbComponents;
    state.params.hue = 700;
    RecordingWindow window;
    window.openName = dir.Path("a.bmp");
    OnCommand(window, state, Command::Open);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"ask open", kLoading, kProcessing, "repaint"}));
    ASSERT_TRUE(state.shown.images.Loaded());
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[0]).pixels, ReadPixels(*picture).pixels);
    EXPECT_EQ(state.shown.images.width, 3);
    EXPECT_EQ(state.view.selectedImage, 2);
    EXPECT_EQ(state.params.hue, 700);
    EXPECT_EQ(state.shown.Label(1), "赤成分");
}

TEST(Commands, AFailedOpenTellsAndKeepsTheImages) {
    test::TempDir dir;
    test::WriteFileBytes(dir.Path("text.bmp"), Bytes{'n', 'o', 't', ' ', 'a', ' ', 'B', 'M', 'P'});
    for (const std::string& name : {dir.Path("missing.bmp"), dir.Path("text.bmp"), dir.path()}) {
        test::State state;
        Load(state, 4, 3, 0);
        const PixelBuffer base = ReadPixels(*state.shown.images.bitmaps[0]);
        RecordingWindow window;
        window.openName = name;
        OnCommand(window, state, Command::Open);
        EXPECT_EQ(window.calls, (std::vector<std::string>{"ask open", kLoading, kProcessing,
                                                          "message 鰓阿: ＢＭＰ読み出し失敗しました。", "repaint"}))
            << name;
        ASSERT_TRUE(state.shown.images.Loaded());
        EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[0]).pixels, base.pixels);
        EXPECT_EQ(state.shown.images.width, 4);
        EXPECT_EQ(state.shown.images.height, 3);
    }
}

TEST(Commands, CancelledFileDialogsDoNothing) {
    for (Command command : {Command::Open, Command::Save}) {
        test::State state;
        Load(state, 2, 2, 1);
        state.dialogs.lastFolder = "/somewhere/used";
        RecordingWindow window;
        OnCommand(window, state, command);
        EXPECT_EQ(window.calls.size(), 1u);  // the dialog only: no repaint, no message
        EXPECT_EQ(window.askedIn, "/somewhere/used");  // it starts where the last file was
        EXPECT_TRUE(state.shown.images.Loaded());
    }
}

TEST(Commands, SaveWritesTheShownImageWithoutRepainting) {
    test::TempDir dir;
    test::State state;
    Load(state, 5, 2, 3);
    RecordingWindow window;
    window.saveName = dir.Path("new.bmp");
    OnCommand(window, state, Command::Save);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"ask save"}));
    EXPECT_EQ(test::ReadFileBytes(dir.Path("new.bmp")), BmpBytesOf(*state.shown.images.bitmaps[3]));
}

TEST(Commands, OverwriteQuestionNamesTheWholePathAndNoKeepsTheOldFile) {
    test::TempDir dir;
    // A long path, around the 255 bytes a name may have.
    const std::string folder = dir.Path(std::string(80, 'd'));
    std::filesystem::create_directory(folder);
    std::string path = folder + "/" + std::string(255 - folder.size() - 5, 'f') + ".bmp";
    ASSERT_EQ(path.size(), 255u);
    const Bytes old(5000, 0xA5);  // longer than the new file
    test::WriteFileBytes(path, old);

    test::State state;

    Load(state, 3, 3, 1);
    RecordingWindow window;
    window.saveName = path;
    window.answers = {MessageAnswer::No};
    OnCommand(window, state, Command::Save);
    ASSERT_EQ(window.messages.size(), 2u);
    const MessageBoxRequest& question = window.messages[0];
    EXPECT_EQ(question.text, path + "\n同じファイルがありますが、上書きしますか？");
    EXPECT_EQ(question.caption, "君に問う");
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_EQ(question.defaultButton, MessageAnswer::No);
    EXPECT_FALSE(question.owned);
    EXPECT_EQ(window.calls.back(), kSaveFailed);
    EXPECT_TRUE(window.messages[1].owned);
    EXPECT_EQ(test::ReadFileBytes(path), old);

    window.calls.clear();
    window.answers = {MessageAnswer::Yes};
    OnCommand(window, state, Command::Save);
    EXPECT_EQ(window.calls.size(), 2u);  // the dialog and the question, no failure
    EXPECT_EQ(test::ReadFileBytes(path), BmpBytesOf(*state.shown.images.bitmaps[1]));  // nothing of the old file left
}

TEST(Commands, ANameThatCannotBeCreatedTellsTwice) {
    test::TempDir dir;
    for (const std::string& name : {dir.Path("no/such/folder/x.bmp"), dir.path()}) {
        test::State state;
        Load(state, 2, 2, 0);
        RecordingWindow window;
        window.saveName = name;
        OnCommand(window, state, Command::Save);
        EXPECT_EQ(window.calls, (std::vector<std::string>{"ask save", "message エラー: ファイル名が不正の模様です。",
                                                          kSaveFailed}))
            << name;
        ASSERT_EQ(window.messages.size(), 2u);
        EXPECT_FALSE(window.messages[0].owned);
        EXPECT_TRUE(window.messages[1].owned);
    }
}

TEST(Commands, EveryFormatOnABadTargetTellsOfTheFailureAndKeepsTheOldFile) {
    namespace fs = std::filesystem;
    const std::string invalidName = "message エラー: ファイル名が不正の模様です。";
    const Bytes old = {'o', 'l', 'd'};
    for (const char* extension : {"bmp", "png", "jpg", "webp", "tif"}) {
        SCOPED_TRACE(extension);
        test::TempDir dir;
        const std::string name = std::string("o.") + extension;
        test::State state;
        Load(state, 40, 30, 2);
        RecordingWindow window;
        const auto save = [&](const std::string& path) {
            window.calls.clear();
            window.saveName = path;
            window.answers = {MessageAnswer::Yes};
            OnCommand(window, state, Command::Save);
            return window.calls;
        };
        const auto overwrite = [](const std::string& path) {
            return "message 君に問う: " + path + "\n同じファイルがありますが、上書きしますか？";
        };
        using Calls = std::vector<std::string>;

        // A missing folder, a folder of that name: no question, nothing made.
        fs::create_directory(dir.Path(name));
        for (const std::string& path : {dir.Path("missing/" + name), dir.Path(name)})
            EXPECT_EQ(save(path), (Calls{"ask save", invalidName, kSaveFailed})) << path;
        EXPECT_EQ(test::FolderEntries(dir.path()), Calls{name});
        EXPECT_TRUE(test::FolderEntries(dir.Path(name)).empty());

        // A read-only folder: overwriting its file is asked and fails.
        const std::string locked = dir.Path("locked"), inLocked = locked + "/" + name;
        fs::create_directory(locked);
        test::WriteFileBytes(inLocked, old);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        Calls calls;
        ASSERT_TRUE(test::WithoutPermissionOverride([&] { calls = save(inLocked); }));
        EXPECT_EQ(calls, (Calls{"ask save", overwrite(inLocked), invalidName, kSaveFailed}));
        EXPECT_EQ(test::ReadFileBytes(inLocked), old);
        EXPECT_EQ(test::FolderEntries(locked), Calls{name});
        fs::permissions(locked, fs::perms::owner_all);

        // A link to a file elsewhere: on a full disk the file it points to
        // stays, otherwise it is replaced; the link stays a link.
        const std::string elsewhere = dir.Path("elsewhere"), target = elsewhere + "/" + name;
        const std::string link = dir.Path(std::string("link.") + extension);
        fs::create_directory(elsewhere);
        test::WriteFileBytes(target, old);
        fs::create_symlink(target, link);
        test::WithFileSizeLimit(32, [&] { calls = save(link); });
        EXPECT_EQ(calls, (Calls{"ask save", overwrite(link), kSaveFailed}));
        EXPECT_EQ(test::ReadFileBytes(target), old);
        EXPECT_EQ(save(link), (Calls{"ask save", overwrite(link)}));
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(test::FolderEntries(elsewhere), Calls{name});
        ReadResult back = ReadPictureFile(target);
        ASSERT_TRUE(back.bitmap) << back.reason;
        EXPECT_EQ(back.bitmap->Width(), 40);
        if (extension != std::string("jpg") && extension != std::string("webp")) {
            EXPECT_EQ(ReadPixels(*back.bitmap).pixels, ReadPixels(*state.shown.images.bitmaps[2]).pixels);
        }
    }
}

TEST(Commands, AWriteThatStopsPartWayIsAFailedSave) {
    test::TempDir dir;
    const std::string path = dir.Path("full.bmp");
    test::State state;
    Load(state, 200, 100, 0);
    RecordingWindow window;
    window.saveName = path;
    // The file can be created, but writing stops at 16 KiB: a full disk.
    test::WithFileSizeLimit(16 * 1024, [&] { OnCommand(window, state, Command::Save); });
    EXPECT_EQ(window.calls, (std::vector<std::string>{"ask save", kSaveFailed}));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(Commands, CopyPutsAnIndependentCopyOfTheShownImage) {
    test::State state;
    Load(state, 4, 3, 2);
    const PixelBuffer shown = ReadPixels(*state.shown.images.bitmaps[2]);
    RecordingWindow window;
    OnCommand(window, state, Command::Copy);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"clipboard put"}));
    ASSERT_TRUE(window.clipboard.has_value());
    EXPECT_EQ(window.clipboard->pixels, shown.pixels);
    OnCommand(window, state, Command{32779});  // another mode redoes slot 2
    ASSERT_NE(ReadPixels(*state.shown.images.bitmaps[2]).pixels, shown.pixels);
    EXPECT_EQ(window.clipboard->pixels, shown.pixels);
}

TEST(Commands, PasteReplacesTheSetWithTheClipboardsPicture) {
    test::State state;
    Load(state, 4, 3, 1);
    state.params.effectMode = ModeRgbComponents;
    RecordingWindow window;
    window.clipboard = test::Varied(6, 2);
    const std::int64_t before = Bitmap::LiveCount();
    OnCommand(window, state, Command::Paste);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"clipboard take", kProcessing, "repaint"}));
    ASSERT_TRUE(state.shown.images.Loaded());
    EXPECT_EQ(state.shown.images.width, 6);
    EXPECT_EQ(state.shown.images.height, 2);
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[0]).pixels, window.clipboard->pixels);
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[1]).pixels,
              test::RunSlot(*window.clipboard, state.params, 1).pixels);  // processed in the current mode
    EXPECT_EQ(state.view.selectedImage, 1);
    // Five new ones for the five old ones, the runner's set, and the old base kept for undo.
    EXPECT_EQ(Bitmap::LiveCount(), before + test::kRunnerSet + 1);
}

TEST(Commands, APasteWithoutABitmapKeepsTheImages) {
    struct Case {
        bool opens;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {true, {"clipboard take", "repaint"}},
        {false, {"clipboard take", "message 失敗: エラー", "repaint"}},
    };
    for (const Case& c : cases) {
        test::State state;
        Load(state, 4, 3, -1);
        const PixelBuffer base = ReadPixels(*state.shown.images.bitmaps[0]);
        RecordingWindow window;
        window.clipboardOpens = c.opens;
        if (!c.opens) window.clipboard = test::Varied(2, 2);  // there, but out of reach
        OnCommand(window, state, Command::Paste);
        EXPECT_EQ(window.calls, c.calls);
        ASSERT_TRUE(state.shown.images.Loaded());
        EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[0]).pixels, base.pixels);
        EXPECT_EQ(state.shown.images.width, 4);
        for (const MessageBoxRequest& m : window.messages) EXPECT_TRUE(m.owned);
    }
}

TEST(Commands, MakeBaseWithImageZeroKeepsTheBaseAndProcessesAgain) {
    test::State state;
    Load(state, 4, 3, 0);
    const PixelBuffer base = ReadPixels(*state.shown.images.bitmaps[0]);
    const Bitmap* slot0 = state.shown.images.bitmaps[0].get();
    state.params.hue = 300;  // a change the derived images do not show yet
    state.params.effectMode = ModeRgbComponents;
    RecordingWindow window;
    OnCommand(window, state, Command::MakeBase);
    EXPECT_EQ(window.calls, (std::vector<std::string>{kProcessing, "repaint"}));
    EXPECT_EQ(state.shown.images.bitmaps[0].get(), slot0);
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[0]).pixels, base.pixels);
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[4]).pixels, test::RunSlot(base, state.params, 4).pixels);
}

TEST(Commands, MakeBaseWithADerivedImageProcessesTheNewBase) {
    test::State state;
    Load(state, 4, 3, 2);
    const PixelBuffer derived = ReadPixels(*state.shown.images.bitmaps[2]);
    const Bitmap* slot0 = state.shown.images.bitmaps[0].get();
    RecordingWindow window;
    OnCommand(window, state, Command::MakeBase);
    EXPECT_EQ(window.calls, (std::vector<std::string>{kProcessing, "repaint"}));
    EXPECT_EQ(state.shown.images.bitmaps[0].get(), slot0);  // the same bitmap, new pixels
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[0]).pixels, derived.pixels);
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[2]).pixels, test::RunSlot(derived, state.params, 2).pixels);
    EXPECT_EQ(state.view.selectedImage, 2);
}

TEST(Commands, ParameterDialogsProcessOnOkOnly) {
    struct Case {
        Command command;
        int templateId;
        test::DialogScript script;
        bool changes;
    };
    const Case cases[] = {
        {Command::HueLevelDialog, kHueLevelDialogId, {{{ids::Hue, "-1"}, {ids::LevelStep, "300"}}, {}, {ids::Ok}}, true},
        {Command::HueLevelDialog, kHueLevelDialogId, {{{ids::Hue, "-1"}}, {}, {1023, ids::Cancel}}, false},
        {Command::WaveDialog, kWaveDialogId, {{{ids::WaveFreqDen, "0"}, {ids::CenterStep, "-2"}}, {{ids::OverflowEdgeRadio, true}}, {ids::Ok}}, true},
        {Command::WaveDialog, kWaveDialogId, {{{ids::WaveFreqDen, "0"}}, {}, {ids::Cancel}}, false},
    };
    for (const Case& c : cases) {
        test::State state;
        Load(state, 3, 3, -1);
        state.params.effectMode = ModeRgbComponents;  // slot 4 follows the hue
        const PixelBuffer slot4 = ReadPixels(*state.shown.images.bitmaps[4]);
        RecordingWindow window;
        window.dialogScript = c.script;
        OnCommand(window, state, c.command);
        const std::string dialog = "dialog " + std::to_string(c.templateId);
        if (c.changes) {
            EXPECT_EQ(window.calls, (std::vector<std::string>{dialog, kProcessing, "repaint"}));
        } else {
            EXPECT_EQ(window.calls, (std::vector<std::string>{dialog}));
        }
        const AppState defaults;
        if (c.command == Command::HueLevelDialog) {
            EXPECT_EQ(window.shownControls.Text(ids::HueStep), "5");
            EXPECT_EQ(state.params.hue, c.changes ? 1529 : 0);
            EXPECT_EQ(state.steps.levelStep, c.changes ? 255 : 5);
            EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[4]).pixels != slot4.pixels, c.changes);
        } else {
            EXPECT_EQ(window.shownControls.Text(ids::WaveFreqDen), "32");
            EXPECT_TRUE(window.shownControls.Checked(ids::OverflowBackgroundRadio));
            EXPECT_EQ(state.params.waveFreqDen, c.changes ? 0 : 32);
            EXPECT_EQ(state.steps.centerStep, c.changes ? -2 : 2);
            EXPECT_EQ(state.params.overflowMode, c.changes ? OverflowEdge : OverflowBackground);
        }
    }
}

TEST(Commands, AboutRunsItsDialogAndNothingElse) {
    test::State state;
    Load(state, 2, 2, -1);
    RecordingWindow window;
    window.dialogScript.presses = {ids::Ok};
    OnCommand(window, state, Command::About);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"dialog 103"}));
}

TEST(Commands, BackgroundColourGoesToTheChooserAndBackAsItIs) {
    test::State state;
    Load(state, 2, 2, -1);
    state.params.backgroundColor = 0x123456;
    state.dialogs.customColors[3] = 0x0000FF;
    std::array<std::uint32_t, 16> changed{};
    changed[0] = 0xABCDEF;
    RecordingWindow window;
    window.chosenColour = 0x4080FF;
    window.chooseCustomColours = changed;
    OnCommand(window, state, Command::BackgroundColour);
    EXPECT_EQ(window.offeredColour, 0x123456u);
    EXPECT_EQ(window.offeredCustomColours[3], 0x0000FFu);
    EXPECT_EQ(state.params.backgroundColor, 0x4080FFu);
    EXPECT_EQ(state.dialogs.customColors, changed);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"choose colour", kProcessing, "repaint"}));

    window.calls.clear();
    window.chosenColour.reset();  // cancelled: the colour stays, the custom colours are kept
    changed[1] = 0x111111;
    window.chooseCustomColours = changed;
    OnCommand(window, state, Command::BackgroundColour);
    EXPECT_EQ(state.params.backgroundColor, 0x4080FFu);
    EXPECT_EQ(state.dialogs.customColors[1], 0x111111u);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"choose colour"}));
}

}  // namespace
}  // namespace prismview
