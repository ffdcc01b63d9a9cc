// Sweeps: the frames' values and sizes, each output read back against the
// passes, the dialog's corrections, and a stopped sweep leaving nothing.
#include <gtest/gtest.h>

#include <webp/demux.h>

#include <climits>
#include <filesystem>

#include "app/commands.h"
#include "app/dialogs.h"
#include "app/sweep.h"
#include "core/downscale.h"
#include "io/picture_file.h"
#include "resources/dialog_templates.h"
#include "resources/strings.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

BitmapHandle BitmapOfBuffer(const PixelBuffer& pixels) {
    BitmapHandle bitmap = Bitmap::Create(pixels.width, pixels.height);
    WritePixels(*bitmap, pixels);
    return bitmap;
}

// The pixel at column x, row r counted from the top (the buffers count rows from the bottom).
RgbValue Top(const PixelBuffer& p, int x, int r) { return p.At(x, p.height - 1 - r); }

SweepParameter Named(std::string_view name) {
    const std::optional<SweepParameter> parameter = FindSweepParameter(name);
    EXPECT_TRUE(parameter.has_value()) << name;
    return parameter.value_or(0);
}

SweepRequest Request(SweepParameter parameter, std::int32_t from, std::int32_t to, std::int32_t frames,
                     std::int32_t slot) {
    SweepRequest request;
    request.parameter = parameter;
    request.from = from;
    request.to = to;
    request.frames = frames;
    request.slot = slot;
    return request;
}

TEST(Sweep, ValuesRunFromStartToEndRoundedAndStayInside) {
    EXPECT_EQ(SweepValue(Request(Named("hue"), 0, 1529, 60, 1), 0), 0);
    EXPECT_EQ(SweepValue(Request(Named("hue"), 0, 1529, 60, 1), 59), 1529);
    EXPECT_EQ(SweepValue(Request(Named("hue"), 0, 1529, 60, 1), 1), 26);  // 25.92
    EXPECT_EQ(SweepValue(Request(Named("level"), 10, 0, 5, 1), 1), 8);     // 7.5 away from zero
    EXPECT_EQ(SweepValue(Request(Named("level"), 0, 10, 5, 1), 1), 3);     // 2.5 away from zero
    EXPECT_EQ(SweepValue(Request(Named("level"), 7, 500, 1, 1), 0), 7);
    const SweepRequest wide = Request(Named("center-x"), INT32_MAX, INT32_MIN, kMaxSweepFrames, 1);
    std::int32_t last = INT32_MAX;
    for (std::int32_t i = 0; i < wide.frames; ++i) {
        const std::int32_t v = SweepValue(wide, i);
        ASSERT_LE(v, last);
        last = v;
    }
    EXPECT_EQ(last, INT32_MIN);
}

TEST(Sweep, FramesKeepTheLongSideAndNeverEnlarge) {
    SweepRequest tile = Request(Named("hue"), 0, 1, 2, 2);
    tile.longSide = 1024;
    EXPECT_EQ(SweepFrameSize(tile, {4000, 3000}), (Size{1024, 768}));
    EXPECT_EQ(SweepFrameSize(tile, {3000, 4000}), (Size{768, 1024}));
    EXPECT_EQ(SweepFrameSize(tile, {800, 600}), (Size{800, 600}));
    EXPECT_EQ(SweepFrameSize(tile, {100000, 1}), (Size{1024, 1}));
    tile.longSide = 0;
    EXPECT_EQ(SweepFrameSize(tile, {4000, 3000}), (Size{4000, 3000}));
    SweepRequest gallery = Request(Named("hue"), 0, 1, 2, kGallery);
    // The gallery's frame, gaps included, keeps the long side too, at any shape.
    for (std::int32_t side : {512, 1024, 37}) {
        gallery.longSide = side;
        for (const Size picture : {Size{4000, 3000}, Size{3000, 4000}, Size{640, 480}, Size{5, 4000}}) {
            const Size frame = SweepFrameSize(gallery, picture);
            EXPECT_LE(std::max(frame.width, frame.height), side) << picture.width << " x " << picture.height;
            EXPECT_GE(std::max(frame.width, frame.height), side - 3) << picture.width << " x " << picture.height;
        }
    }
    gallery.longSide = 1024;
    EXPECT_EQ(SweepTileSize(gallery, {4000, 3000}), (Size{338, 253}));
    EXPECT_EQ(SweepFrameSize(gallery, {300, 200}), (Size{3 * 300 + 2 * kGalleryGap, 2 * 200 + kGalleryGap}));
}

// A tile frame is the pass at the frame's value, shrunk as the view shrinks;
// the gallery holds the five tiles three by two.
TEST(Sweep, FramesAreThePassesAtTheirValues) {
    const PixelBuffer base = test::Varied(40, 30);
    const BitmapHandle bitmap = BitmapOfBuffer(base);
    ProcessingParams params;
    params.effectMode = ModeRipple;
    SweepRequest request = Request(Named("amplitude"), 0, 12, 4, 3);
    request.longSide = 20;
    const BitmapHandle frame = SweepFrame(*bitmap, params, request, 2);
    params.waveAmplitude = 8;
    const BitmapHandle pass = BitmapOfBuffer(test::RunSlot(base, params, 3));
    EXPECT_EQ(ReadPixels(*frame), ReadPixels(*Downscale(*pass, 20, 15)));

    request.slot = kGallery;
    request.longSide = 0;
    const PixelBuffer gallery = ReadPixels(*SweepFrame(*bitmap, params, request, 2));
    ASSERT_EQ(gallery.width, 3 * 40 + 2 * kGalleryGap);
    const std::vector<PixelBuffer> derived = test::RunPass(base, params);
    for (int slot = 0; slot < 5; ++slot) {
        const PixelBuffer& expected = slot == 0 ? base : derived[static_cast<std::size_t>(slot - 1)];
        const int left = (slot % 3) * (40 + kGalleryGap), top = (slot / 3) * (30 + kGalleryGap);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) ASSERT_EQ(Top(gallery, left + x, top + y), Top(expected, x, y)) << slot;
    }
    EXPECT_EQ(Top(gallery, 2 * (40 + kGalleryGap) + 5, 30 + kGalleryGap + 5), 0xFFFFFFu);  // no sixth tile
}

TEST(Sweep, AnimatedWebpHoldsEveryFrameExactly) {
    test::TempDir dir;
    const PixelBuffer base = test::Varied(23, 17);
    const BitmapHandle bitmap = BitmapOfBuffer(base);
    ProcessingParams params;
    params.effectMode = ModeHueRotate;
    const SweepRequest request = Request(Named("hue"), 1529, 0, 5, 4);
    std::string reason;
    ASSERT_EQ(RunSweep(*bitmap, params, request, dir.Path("a.webp"), {}, reason), SweepResult::Written) << reason;

    const std::vector<unsigned char> bytes = test::ReadFileBytes(dir.Path("a.webp"));
    const WebPData data{bytes.data(), bytes.size()};
    WebPAnimDecoderOptions options;
    ASSERT_TRUE(WebPAnimDecoderOptionsInit(&options));
    options.color_mode = MODE_BGRA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    ASSERT_NE(decoder, nullptr);
    WebPAnimInfo info;
    ASSERT_TRUE(WebPAnimDecoderGetInfo(decoder, &info));
    EXPECT_EQ(info.frame_count, 5u);
    for (std::int32_t i = 0; WebPAnimDecoderHasMoreFrames(decoder); ++i) {
        std::uint8_t* pixels = nullptr;
        int timestamp = 0;
        ASSERT_TRUE(WebPAnimDecoderGetNext(decoder, &pixels, &timestamp));
        params.hue = SweepValue(request, i);
        const PixelBuffer expected = test::RunSlot(base, params, 4);
        PixelBuffer decoded{23, 17, std::vector<RgbValue>(23 * 17)};
        for (int r = 0; r < 17; ++r)  // B, G, R, A top-down
            for (int x = 0; x < 23; ++x) {
                const std::uint8_t* p = pixels + 4 * (r * 23 + x);
                decoded.At(x, 16 - r) = PackRgb(p[2], p[1], p[0]);
            }
        EXPECT_EQ(decoded, expected) << "frame " << i;
    }
    WebPAnimDecoderDelete(decoder);
}

TEST(Sweep, PngFramesAndTheSheetHoldTheFramesInOrder) {
    test::TempDir dir;
    const PixelBuffer base = test::Varied(12, 8);
    const BitmapHandle bitmap = BitmapOfBuffer(base);
    ProcessingParams params;
    params.effectMode = ModeBrighten;
    SweepRequest request = Request(Named("level"), 0, 510, 5, 1);
    request.format = SweepFormat::PngFrames;
    std::string reason;
    ASSERT_EQ(RunSweep(*bitmap, params, request, dir.Path("frames"), {}, reason), SweepResult::Written) << reason;
    EXPECT_EQ(test::FolderEntries(dir.Path("frames")),
              (std::vector<std::string>{"frame-0001.png", "frame-0002.png", "frame-0003.png", "frame-0004.png",
                                        "frame-0005.png"}));
    params.level = SweepValue(request, 3);
    EXPECT_EQ(ReadPixels(*ReadPictureFile(dir.Path("frames/frame-0004.png")).bitmap), test::RunSlot(base, params, 1));

    request.format = SweepFormat::Sheet;
    ASSERT_EQ(RunSweep(*bitmap, params, request, dir.Path("sheet.png"), {}, reason), SweepResult::Written) << reason;
    const PixelBuffer sheet = ReadPixels(*ReadPictureFile(dir.Path("sheet.png")).bitmap);
    // Five frames: three across, two down, each over its value's band.
    EXPECT_EQ(sheet.width, 3 * (SheetCellWidth(12) + kSheetGap) + kSheetGap);
    EXPECT_EQ(sheet.height, 2 * (8 + kSheetBand + kSheetGap) + kSheetGap);
    auto inkBelow = [&](SheetCell cell) {
        int ink = 0;
        for (int y = cell.y + 8; y < cell.y + 8 + kSheetBand; ++y)
            for (int x = cell.x - (SheetCellWidth(12) - 12) / 2; x < cell.x + 12 + (SheetCellWidth(12) - 12) / 2; ++x)
                ink += Top(sheet, x, y) == 0;
        return ink;
    };
    for (std::int32_t i = 0; i < 5; ++i) {
        const SheetCell cell = SheetCellOf(i, 5, 12, 8);
        params.level = SweepValue(request, i);
        const PixelBuffer frame = test::RunSlot(base, params, 1);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 12; ++x) ASSERT_EQ(Top(sheet, cell.x + x, cell.y + y), Top(frame, x, y)) << i;
        EXPECT_GT(inkBelow(cell), 0) << i;
    }
    EXPECT_EQ(inkBelow(SheetCellOf(5, 5, 12, 8)), 0);
}

// Cancelled after the second frame, in any format: the folder is as it was.
TEST(Sweep, StoppedLeavesNothingBehind) {
    test::TempDir dir;
    const BitmapHandle bitmap = BitmapOfBuffer(test::Varied(10, 10));
    for (SweepFormat format : {SweepFormat::Webp, SweepFormat::PngFrames, SweepFormat::Sheet}) {
        SweepRequest request = Request(Named("hue"), 0, 1529, 4, kGallery);
        request.format = format;
        std::string reason;
        EXPECT_EQ(RunSweep(*bitmap, ProcessingParams{}, request, dir.Path("out.png"),
                           [](std::int32_t done) { return done < 2; }, reason),
                  SweepResult::Cancelled);
        EXPECT_TRUE(test::FolderEntries(dir.path()).empty());
    }
}

TEST(SweepDialog, CorrectsWhatItReadsAndProposesEachParametersSpan) {
    // Its list of parameters is the sweep's, in the same order: each button
    // names the parameter whose field it sweeps.
    for (std::size_t i = 0; i < SweptFields().size(); ++i) {
        const DialogControl* button = nullptr;
        for (const DialogControl& control : SweepDialogTemplate().controls)
            if (control.id == ids::SweepParameterFirst + static_cast<int>(i)) button = &control;
        ASSERT_NE(button, nullptr) << i;
        EXPECT_EQ(button->text.rfind(SweptFields()[i].parameter->label, 0), 0u) << button->text;
    }
    test::FakeControls controls;
    ProcessingParams params;
    params.wavePhaseDen = 48;
    SweepRequest request;
    SweepDialog dialog(request, params, {640, 480});
    dialog.Init(controls);
    EXPECT_TRUE(controls.Checked(ids::SweepGallery));
    EXPECT_EQ(controls.Text(ids::SweepTo), "1529");
    dialog.Command(ids::SweepParameterFirst + Named("phase"), controls);
    EXPECT_EQ(controls.Text(ids::SweepTo), "48");
    dialog.Command(ids::SweepParameterFirst + Named("center-y"), controls);
    EXPECT_EQ(controls.Text(ids::SweepFrom), "-240");

    controls.checks.clear();
    controls.SetChecked(ids::SweepParameterFirst + Named("level"), true);
    controls.SetChecked(ids::SweepSlotFirst + 4, true);
    controls.SetChecked(ids::SweepSheet, true);
    controls.SetText(ids::SweepFrom, "-5");
    controls.SetText(ids::SweepTo, "9999");
    controls.SetText(ids::SweepFrames, "0");
    ASSERT_EQ(dialog.Command(ids::Ok, controls), kDialogOk);
    EXPECT_EQ(request.parameter, Named("level"));
    EXPECT_EQ(request.from, 0);
    EXPECT_EQ(request.to, 510);
    EXPECT_EQ(request.frames, 1);
    EXPECT_EQ(request.slot, 4);
    EXPECT_EQ(request.format, SweepFormat::Sheet);
    EXPECT_FALSE(request.lossless);
    controls.SetText(ids::SweepFrames, "5000");
    dialog.Command(ids::Ok, controls);
    EXPECT_EQ(request.frames, kMaxSweepFrames);
}

// The menu's road: dialog, name, overwrite question, progress; the dialog
// shows what was asked for last time.
TEST(SweepCommand, AsksWritesAndRemembers) {
    test::TempDir dir;
    test::State state;
    test::RecordingWindow window;
    ASSERT_TRUE(RunDialogCommand(window, state, Command::Sweep));
    EXPECT_EQ(window.messages.size(), 1u);  // no picture yet

    state.shown.images.bitmaps[0] = BitmapOfBuffer(test::Varied(8, 8));
    state.shown.images.width = state.shown.images.height = 8;
    window.dialogScript.texts = {{ids::SweepFrames, "3"}};
    window.dialogScript.presses = {ids::Ok};
    window.sweepName = dir.Path("s.webp");
    RunDialogCommand(window, state, Command::Sweep);
    EXPECT_TRUE(std::filesystem::exists(dir.Path("s.webp")));
    EXPECT_EQ(window.Count("progress " + std::string(kSweepProgressText) + " 3"), 1u);
    EXPECT_EQ(state.dialogs.lastFolder, dir.path());

    window.answers = {MessageAnswer::No};  // the file is there: not overwritten
    const auto before = test::ReadFileBytes(dir.Path("s.webp"));
    window.dialogScript.texts = {{ids::SweepFrames, "2"}};
    RunDialogCommand(window, state, Command::Sweep);
    EXPECT_EQ(window.shownControls.Text(ids::SweepFrames), "3");
    EXPECT_EQ(test::ReadFileBytes(dir.Path("s.webp")), before);
}

}  // namespace
}  // namespace prismview
