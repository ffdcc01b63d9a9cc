#include "io/sweep_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "io/picture_file.h"

namespace prismview {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// A 5 x 7 font of what value texts hold, one row of five bits per line.
struct Glyph {
    char c;
    std::array<std::uint8_t, 7> rows;
};
constexpr Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}}, {' ', {0, 0, 0, 0, 0, 0, 0}},
};
constexpr std::int32_t kAdvance = 6;  // font pixels from one character to the next

const Glyph* GlyphOf(char c) {
    for (const Glyph& glyph : kGlyphs)
        if (glyph.c == c) return &glyph;
    return nullptr;
}

void Fill(Bitmap& bitmap, RgbValue colour) {
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) std::fill_n(bitmap.Scanline(y), bitmap.Width(), kOpaque | colour);
}

// The encoder holds the compressed frames; the file appears whole at Finish.
class WebpSink final : public FrameSink {
public:
    explicit WebpSink(const SweepOutput& output) : output_(output) {
        WebPAnimEncoderOptions options;
        if (!WebPAnimEncoderOptionsInit(&options)) return;
        options.anim_params.loop_count = 0;  // for ever
        encoder_ = WebPAnimEncoderNew(output.frameWidth, output.frameHeight, &options);
    }
    ~WebpSink() override {
        if (encoder_) WebPAnimEncoderDelete(encoder_);
    }
    bool Started() const { return encoder_ != nullptr; }

    bool Add(const Bitmap& frame, std::string_view, std::string& reason) override {
        WebPConfig config;
        WebPPicture picture;
        if (!WebPConfigInit(&config) || !WebPPictureInit(&picture)) return Failed(reason, "libwebp version mismatch");
        config.lossless = output_.lossless ? 1 : 0;
        // Lossless: quality is effort; a middle one keeps a long sweep quick.
        config.quality = output_.lossless ? 50.0f : static_cast<float>(std::clamp(output_.quality, 0, 100));
        config.method = output_.lossless ? 2 : 4;
        picture.use_argb = 1;
        picture.width = frame.Width();
        picture.height = frame.Height();
        // The pixels are 0xFFRRGGBB words: B, G, R, A in memory.
        const bool imported = WebPPictureImportBGRA(&picture, reinterpret_cast<const std::uint8_t*>(frame.Scanline(0)),
                                                    static_cast<int>(frame.BytesPerLine())) != 0;
        const bool added = imported && WebPAnimEncoderAdd(encoder_, &picture, timestamp_, &config) != 0;
        WebPPictureFree(&picture);
        if (!added) return Failed(reason, "the WebP encoder failed");
        timestamp_ += output_.delayMs;
        return true;
    }

    bool Finish(std::string& reason) override {
        WebPData data;
        WebPDataInit(&data);
        if (!WebPAnimEncoderAdd(encoder_, nullptr, timestamp_, nullptr) || !WebPAnimEncoderAssemble(encoder_, &data))
            return Failed(reason, "the WebP encoder failed");
        QSaveFile file(Q(output_.path));
        const bool written = file.open(QIODevice::WriteOnly) &&
                             file.write(reinterpret_cast<const char*>(data.bytes), static_cast<qint64>(data.size)) ==
                                 static_cast<qint64>(data.size) &&
                             file.commit();
        WebPDataClear(&data);
        if (!written) reason = file.errorString().toStdString();
        return written;
    }

private:
    bool Failed(std::string& reason, const char* text) {
        const char* detail = encoder_ ? WebPAnimEncoderGetError(encoder_) : nullptr;
        reason = text;
        if (detail && *detail) reason += std::string(": ") + detail;
        return false;
    }

    SweepOutput output_;
    WebPAnimEncoder* encoder_ = nullptr;
    int timestamp_ = 0;
};

// Frames go to a hidden folder beside the target and move in at Finish.
class PngFramesSink final : public FrameSink {
public:
    explicit PngFramesSink(const SweepOutput& output)
        : output_(output), staging_(QFileInfo(Q(output.path)).absoluteFilePath() + ".partial-XXXXXX") {}
    bool Started() const { return staging_.isValid(); }

    bool Add(const Bitmap& frame, std::string_view, std::string& reason) override {
        const std::string name = FrameFileName(next_++, output_.frames);
        return WritePictureFile(staging_.filePath(Q(name)).toStdString(), frame, &reason) == WriteResult::Written;
    }

    bool Finish(std::string& reason) override {
        const QString target = Q(output_.path);
        if (!QDir().mkpath(target)) {
            reason = "cannot make the folder " + output_.path;
            return false;
        }
        for (std::int32_t i = 0; i < next_; ++i) {
            const QString name = Q(FrameFileName(i, output_.frames));
            const QString to = QDir(target).filePath(name);
            QFile::remove(to);
            if (!QFile::rename(staging_.filePath(name), to)) {
                reason = "cannot move the frames into " + output_.path;
                return false;
            }
        }
        return true;
    }

private:
    SweepOutput output_;
    QTemporaryDir staging_;  // removed with what is left in it
    std::int32_t next_ = 0;
};

class SheetSink final : public FrameSink {
public:
    SheetSink(const SweepOutput& output, BitmapHandle sheet) : output_(output), sheet_(std::move(sheet)) {}

    bool Add(const Bitmap& frame, std::string_view valueText, std::string&) override {
        const SheetCell cell = SheetCellOf(next_++, output_.frames, output_.frameWidth, output_.frameHeight);
        for (std::int32_t y = 0; y < frame.Height(); ++y)
            std::copy_n(frame.Scanline(y), frame.Width(), sheet_->Scanline(cell.y + y) + cell.x);
        DrawSheetText(*sheet_, valueText, cell.x + frame.Width() / 2, cell.y + frame.Height() + 4);
        return true;
    }

    bool Finish(std::string& reason) override {
        return WritePictureFile(output_.path, *sheet_, &reason) == WriteResult::Written;
    }

private:
    SweepOutput output_;
    BitmapHandle sheet_;
    std::int32_t next_ = 0;
};

}  // namespace

std::string FrameFileName(std::int32_t index, std::int32_t frames) {
    const int digits = std::max<int>(4, static_cast<int>(std::to_string(frames).size()));
    std::string number = std::to_string(index + 1);
    number.insert(0, static_cast<std::size_t>(std::max<int>(0, digits - static_cast<int>(number.size()))), '0');
    return "frame-" + number + ".png";
}

std::int32_t SheetColumns(std::int32_t frames) {
    std::int32_t columns = 1;
    while (static_cast<std::int64_t>(columns) * columns < frames) ++columns;
    return columns;
}

std::int32_t SheetCellWidth(std::int32_t frameWidth) {
    return std::max(frameWidth, 11 * kAdvance * kSheetTextScale);  // "-2147483648"
}

SheetCell SheetCellOf(std::int32_t index, std::int32_t frames, std::int32_t frameWidth, std::int32_t frameHeight) {
    const std::int32_t columns = SheetColumns(frames), cell = SheetCellWidth(frameWidth);
    return {kSheetGap + (index % columns) * (cell + kSheetGap) + (cell - frameWidth) / 2,
            kSheetGap + (index / columns) * (frameHeight + kSheetBand + kSheetGap)};
}

void DrawSheetText(Bitmap& target, std::string_view text, std::int32_t centreX, std::int32_t y) {
    const std::int32_t width = static_cast<std::int32_t>(text.size()) * kAdvance * kSheetTextScale;
    std::int32_t x = centreX - width / 2;
    for (char c : text) {
        if (const Glyph* glyph = GlyphOf(c))
            for (std::int32_t row = 0; row < 7 * kSheetTextScale; ++row)
                for (std::int32_t column = 0; column < 5 * kSheetTextScale; ++column) {
                    const std::int32_t px = x + column, py = y + row;
                    const bool ink = (glyph->rows[static_cast<std::size_t>(row / kSheetTextScale)] >>
                                      (4 - column / kSheetTextScale)) & 1;
                    if (ink && px >= 0 && py >= 0 && px < target.Width() && py < target.Height())
                        target.Scanline(py)[px] = kOpaque;  // black
                }
        x += kAdvance * kSheetTextScale;
    }
}

std::unique_ptr<FrameSink> MakeFrameSink(const SweepOutput& output, std::string& reason) {
    switch (output.format) {
        case SweepFormat::Webp: {
            auto sink = std::make_unique<WebpSink>(output);
            if (sink->Started()) return sink;
            reason = "the WebP encoder cannot start (" + std::to_string(output.frameWidth) + " x " +
                     std::to_string(output.frameHeight) + ")";
            return nullptr;
        }
        case SweepFormat::PngFrames: {
            auto sink = std::make_unique<PngFramesSink>(output);
            if (sink->Started()) return sink;
            reason = "cannot make a folder beside " + output.path;
            return nullptr;
        }
        case SweepFormat::Sheet: {
            if (SaveFormatFor(output.path) == SaveFormat::Unknown) {
                reason = "a sheet is saved as one of " + SavableExtensions();
                return nullptr;
            }
            const std::int32_t columns = SheetColumns(output.frames);
            const std::int32_t rows = (output.frames + columns - 1) / columns;
            const std::int64_t width = std::int64_t{columns} * (SheetCellWidth(output.frameWidth) + kSheetGap) + kSheetGap;
            const std::int64_t height =
                std::int64_t{rows} * (output.frameHeight + kSheetBand + kSheetGap) + kSheetGap;
            BitmapHandle sheet;
            if (width <= 65535 && height <= 65535)
                sheet = Bitmap::Create(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
            if (!sheet) {
                reason = "a sheet of " + std::to_string(width) + " x " + std::to_string(height) +
                         " pixels is too big; choose fewer frames or a smaller size";
                return nullptr;
            }
            Fill(*sheet, 0xFFFFFF);
            return std::make_unique<SheetSink>(output, std::move(sheet));
        }
    }
    return nullptr;
}

}  // namespace prismview
