// The command behind the window, run: the real prismview-batch makes bit for
// bit the window's four images, for every mode at random parameters.
#include "app/batch_command.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QProcessEnvironment>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <filesystem>
#include <random>

#include "app/chain.h"
#include "app/input.h"
#include "app/startup.h"
#include "effects/mode_table.h"
#include "io/bmp_file.h"
#include "io/picture_file.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

// The words of a command line of plain words, single-quoted ones and
// backslash-escaped characters, as a POSIX shell splits them.
QStringList Words(const std::string& command) {
    QStringList words;
    QString word;
    bool quoted = false, any = false, escaped = false;
    for (char c : command) {
        if (escaped) {
            word += QChar(c);
            escaped = false;
        } else if (c == '\\' && !quoted) {
            escaped = true;
            any = true;
        } else if (c == '\'') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) words << word;
            word.clear();
            any = false;
        } else {
            word += QChar(c);
            any = true;
        }
    }
    if (any) words << word;
    return words;
}

TEST(BatchCommand, RunGivesTheWindowsImagesForEveryMode) {
    test::TempDir dir;
    const std::string file = dir.Path("it's a picture.bmp");  // a quote in the path
    BitmapHandle picture = Bitmap::Create(17, 11);
    ASSERT_TRUE(WritePixels(*picture, test::Varied(17, 11)));
    ASSERT_EQ(WriteBmpFile(file, *picture), WriteResult::Written);
    std::mt19937 random(20261208);
    auto in = [&](std::int32_t lo, std::int32_t hi) { return std::uniform_int_distribution<std::int32_t>(lo, hi)(random); };
    for (const ModeSpec* mode : AllModes()) {
        test::State state;
        test::RecordingWindow window;
        ASSERT_TRUE(OpenImageFile(window, state, file));
        ProcessingParams& p = state.params;
        p.effectMode = mode->mode;
        p.hue = in(0, 1529);
        p.level = in(0, 510);
        p.backgroundColor = static_cast<RgbValue>(in(0, 0xFFFFFF));
        p.waveFreqNum = in(-9, 9);
        p.waveFreqDen = in(-40, 40);
        p.waveAmplitude = in(-30, 30);
        p.wavePhase = in(-5, 5);
        p.wavePhaseDen = in(-8, 8);
        p.overflowMode = in(0, 2);
        p.centerX = in(-12, 12);
        p.centerY = in(-12, 12);
        p.startFromEnd = in(0, 1);
        OnCommand(window, state, ModeCommand(mode->mode));
        const std::string command = BatchCommandFor(state);
        const QStringList words = Words(command);
        ASSERT_EQ(words.front(), "prismview-batch");
        QProcess process;
        process.setWorkingDirectory(QString::fromStdString(dir.path()));
        process.start(QStringLiteral(PRISMVIEW_BATCH_PATH), QStringList{"--force"} << words.mid(1));
        ASSERT_TRUE(process.waitForFinished(60000));
        ASSERT_EQ(process.exitCode(), 0) << command << "\n" << process.readAllStandardError().toStdString();
        for (int slot = 1; slot <= 4; ++slot) {
            const ReadResult written = ReadPictureFile(dir.Path("prismview_" + std::to_string(slot) + ".bmp"));
            ASSERT_TRUE(written.bitmap) << command;
            EXPECT_EQ(ReadPixels(*written.bitmap), ReadPixels(*state.shown.images.bitmaps[slot]))
                << mode->name << " slot " << slot << ": " << command;
        }
    }
}

// Random chains of one to four passes made base, every mode last once: the
// copied command, run by a shell, makes the window's four images from the
// file; undo and redo take the chain's steps back and forth with the base.
TEST(BatchCommand, AChainOfPassesIsOneCommandThatGivesTheWindowsImages) {
    test::TempDir dir;
    const std::string file = dir.Path("it's a picture.bmp");
    BitmapHandle picture = Bitmap::Create(19, 13);
    ASSERT_TRUE(WritePixels(*picture, test::Varied(19, 13)));
    ASSERT_EQ(WriteBmpFile(file, *picture), WriteResult::Written);
    std::mt19937 random(7);
    auto in = [&](std::int32_t lo, std::int32_t hi) { return std::uniform_int_distribution<std::int32_t>(lo, hi)(random); };
    const std::vector<const ModeSpec*> modes(AllModes().begin(), AllModes().end());
    auto randomise = [&](ProcessingParams& p, const ModeSpec* mode) {
        p.effectMode = mode->mode;
        p.hue = in(0, 1529);
        p.level = in(0, 510);
        p.backgroundColor = static_cast<RgbValue>(in(0, 0xFFFFFF));
        p.waveFreqNum = in(-9, 9);
        p.waveFreqDen = in(-40, 40);
        p.waveAmplitude = in(-30, 30);
        p.wavePhase = in(-5, 5);
        p.overflowMode = in(0, 2);
        p.centerX = in(-12, 30);
        p.centerY = in(-12, 20);
        p.startFromEnd = in(0, 1);
    };
    const Command show[] = {Command::ShowImage1, Command::ShowImage2, Command::ShowImage3, Command::ShowImage4};
    const QString path = QFileInfo(QStringLiteral(PRISMVIEW_BATCH_PATH)).absolutePath() + ":" + qEnvironmentVariable("PATH");
    for (const ModeSpec* last : modes) {
        test::State state;
        test::RecordingWindow window;
        ASSERT_TRUE(OpenImageFile(window, state, file));
        const int passes = in(1, 4);
        for (int i = 0; i < passes; ++i) {
            const ModeSpec* mode = modes[static_cast<std::size_t>(in(0, static_cast<int>(modes.size()) - 1))];
            randomise(state.params, mode);
            OnCommand(window, state, ModeCommand(mode->mode));
            std::int32_t slot = in(1, 4);
            while (ChainSlotIsBlank(*mode, slot)) slot = slot % 4 + 1;
            OnCommand(window, state, show[slot - 1]);
            OnCommand(window, state, Command::MakeBase);
        }
        ASSERT_EQ(state.baseChain.size(), static_cast<std::size_t>(passes));
        randomise(state.params, last);
        OnCommand(window, state, ModeCommand(last->mode));
        OnCommand(window, state, Command::ShowAll);
        const std::string command = BatchCommandFor(state);
        ASSERT_EQ(std::count(command.begin(), command.end(), '\n'), 0) << command;
        QProcess shell;
        shell.setWorkingDirectory(QString::fromStdString(dir.path()));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", path);
        shell.setProcessEnvironment(environment);
        for (int slot = 1; slot <= 4; ++slot) std::filesystem::remove(dir.Path("prismview_" + std::to_string(slot) + ".bmp"));
        shell.start("/bin/sh", {"-c", QString::fromStdString(command)});
        ASSERT_TRUE(shell.waitForFinished(60000));
        ASSERT_EQ(shell.exitCode(), 0) << command << "\n" << shell.readAllStandardError().toStdString();
        for (int slot = 1; slot <= 4; ++slot) {
            const ReadResult written = ReadPictureFile(dir.Path("prismview_" + std::to_string(slot) + ".bmp"));
            ASSERT_TRUE(written.bitmap) << command;
            EXPECT_EQ(ReadPixels(*written.bitmap), ReadPixels(*state.shown.images.bitmaps[slot]))
                << last->name << " slot " << slot << ": " << command;
        }
        // Undo takes back the last make-base with its step; redo brings both.
        const Chain before = state.baseChain;
        for (int i = 0; i < 8 && state.baseChain.size() == before.size(); ++i) OnCommand(window, state, Command::Undo);
        ASSERT_EQ(state.baseChain.size() + 1, before.size());
        EXPECT_EQ(BatchCommandFor(state).find("--then") == std::string::npos, passes == 1);
        for (int i = 0; i < 8 && state.baseChain.size() < before.size(); ++i) OnCommand(window, state, Command::Redo);
        EXPECT_EQ(state.baseChain, before);
    }
}

TEST(BatchCommand, ADamagedBaseFileIsReadTheWindowsWay) {
    test::TempDir dir;
    const std::string file = dir.Path("cut.jpg");
    QImage picture(96, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) picture.setPixel(x, y, qRgb(x * 2, y * 3, 200 - x));
    ASSERT_TRUE(picture.save(QString::fromStdString(file)));
    std::vector<unsigned char> bytes = test::ReadFileBytes(file);
    bytes.resize(bytes.size() * 2 / 3);
    test::WriteFileBytes(file, bytes);
    test::State state;
    test::RecordingWindow window;
    ASSERT_TRUE(OpenImageFile(window, state, file));
    EXPECT_EQ(state.baseDamage, "Corrupt JPEG data: premature end of data segment");
    const std::string command = BatchCommandFor(state);
    EXPECT_NE(command.find(" --allow-damaged -- "), std::string::npos) << command;
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(dir.path()));
    process.start(QStringLiteral(PRISMVIEW_BATCH_PATH), Words(command).mid(1));
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << command << "\n" << process.readAllStandardError().toStdString();
    const ReadResult written = ReadPictureFile(dir.Path("prismview_1.bmp"));
    ASSERT_TRUE(written.bitmap);
    EXPECT_EQ(ReadPixels(*written.bitmap), ReadPixels(*state.shown.images.bitmaps[1]));
}

TEST(BatchCommand, NamesOnlyWhatTheModeReadsTheShownSlotAndAPlaceholder) {
    test::State state;
    state.params.effectMode = ModeHueRotate;
    state.params.hue = 300;
    state.params.level = 77;
    state.basePath = "/photos/-dash.png";
    EXPECT_EQ(BatchCommandFor(state), "prismview-batch --mode hue-rotate --hue 300 -- '/photos/-dash.png' prismview_");
    state.view.selectedImage = 3;
    state.params.effectMode = ModeRipple;
    state.params.startFromEnd = 1;  // the ripples do not read it
    state.basePath.clear();
    EXPECT_EQ(BatchCommandFor(state),
              "# ベース画像はファイルから読んだものではありません。ベース画像を保存したファイルの名前で置き換えてください: "
              "PICTURE.png\n"
              "prismview-batch --mode ripple --background 000000 --freq 1/32 --amplitude 16 --phase 0/32 --overflow 0 "
              "--center 0,0 --slots 3 -- 'PICTURE.png' prismview_");
    EXPECT_EQ(CopyCommandCaption(state), "処理のコマンドをコピー（ファイル名は仮）(&M)");
    state.basePath = "/photos/a.png";
    EXPECT_EQ(CopyCommandCaption(state), "処理のコマンドをコピー(&M)");
}

}  // namespace
}  // namespace prismview
