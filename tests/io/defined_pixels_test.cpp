// No pixel of a read picture comes from leftover memory: damaged and cut
// pictures of every format read the same under two heap fills, and what the
// data does not reach is the stated colour.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <string>
#include <string_view>
#include <vector>

#include "fuzz/heap_fill.h"
#include "io/picture_file.h"
#include "support/test_support.h"

namespace prismview {
namespace {

struct TwoReads {
    ReadResult first, second;
};

TwoReads ReadTwice(const QByteArray& bytes) {
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    TwoReads reads;
    test::FillFreshHeap(0x11);
    reads.first = ReadPictureData(view, -1);
    test::FillFreshHeap(0xC8);
    reads.second = ReadPictureData(view, -1);
    test::FillFreshHeap(0);
    return reads;
}

// Both reads give the same outcome and, with a picture, the same pixels.
void ExpectSameReads(const TwoReads& reads, const std::string& what) {
    ASSERT_EQ(reads.first.failure, reads.second.failure) << what;
    EXPECT_EQ(reads.first.damage, reads.second.damage) << what;
    if (!reads.first.bitmap) return;
    EXPECT_TRUE(ReadPixels(*reads.first.bitmap) == ReadPixels(*reads.second.bitmap)) << what;
}

// A GIF file with a four-colour global table (red, green, blue, yellow;
// background index `background`) whose first frame's data gives `pixels`
// indices 0, 1, 2, 3, 0... as literal codes.
QByteArray Gif(int screenWidth, int screenHeight, int left, int top, int width, int height, int pixels,
               bool interlaced = false, int background = 0) {
    QByteArray gif("GIF89a");
    auto word = [&gif](int value) { gif.append(static_cast<char>(value & 255)).append(static_cast<char>(value >> 8 & 255)); };
    word(screenWidth), word(screenHeight);
    gif.append(static_cast<char>(0x81)).append(static_cast<char>(background)).append('\0');
    gif.append(QByteArray::fromHex("ff000000ff000000ffffff00"));
    gif.append(',');
    word(left), word(top), word(width), word(height);
    gif.append(interlaced ? '\x40' : '\0').append('\x02');
    QByteArray codes;
    std::uint32_t bits = 0;
    int count = 0;
    auto code = [&](std::uint32_t value) {
        bits |= value << count;
        for (count += 3; count >= 8; count -= 8, bits >>= 8) codes.append(static_cast<char>(bits & 255));
    };
    for (int i = 0; i < pixels; ++i) code(4), code(static_cast<std::uint32_t>(i % 4));  // clear, literal
    code(5);
    if (count > 0) codes.append(static_cast<char>(bits & 255));
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        gif.append(static_cast<char>(block.size())).append(block);
    }
    return gif.append('\0').append(';');
}

constexpr RgbValue kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00, kWhite = 0xFFFFFF;

TEST(DefinedPixels, DamagedGifFramesShowTheirDataAndElsewhereTheBackground) {
    // A 16 x 8 screen whose frame claims 39680 x 39835 pixels and holds 13.
    const TwoReads huge = ReadTwice(Gif(16, 8, 0, 0, 39680, 39835, 13, false, 2));
    ExpectSameReads(huge, "huge frame");
    ASSERT_TRUE(huge.first.bitmap);
    EXPECT_EQ(huge.first.damage, "the data holds 13 of the 16 × 8 pixels (the first frame claims 39680 × 39835 at "
                                 "0, 0, beyond the 16 × 8 picture)");
    const RgbValue colours[] = {kRed, kGreen, kBlue, kYellow};
    for (int x = 0; x < 16; ++x)
        for (int row = 0; row < 8; ++row)
            EXPECT_EQ(PixelAt(*huge.first.bitmap, x, row), row == 0 && x < 13 ? colours[x % 4] : kBlue) << x << ", " << row;

    struct Case {
        const char* what;
        QByteArray gif;
        std::string damage;
        int decoded;  // pixels of the data, the rest is the background (red)
    };
    const Case cases[] = {
        {"cut short", Gif(6, 4, 0, 0, 6, 4, 9), "the data holds 9 of the 6 × 4 pixels", 9},
        {"beside the screen", Gif(6, 4, 40, 0, 6, 4, 24), "the first frame (6 × 4 at 40, 0) lies outside the 6 × 4 picture", 0},
        {"interlaced, cut after the first pass", Gif(6, 4, 0, 0, 6, 4, 6, true), "the data holds 6 of the 6 × 4 pixels", 6},
        {"smaller than the screen, whole", Gif(6, 4, 2, 1, 2, 2, 4), "", 4},
    };
    for (const Case& c : cases) {
        const TwoReads reads = ReadTwice(c.gif);
        ExpectSameReads(reads, c.what);
        ASSERT_TRUE(reads.first.bitmap) << c.what << ": " << reads.first.reason;
        EXPECT_EQ(reads.first.damage, c.damage) << c.what;
        int coloured = 0;
        for (int row = 0; row < 4; ++row)
            for (int x = 0; x < 6; ++x) coloured += PixelAt(*reads.first.bitmap, x, row) != kRed;
        EXPECT_EQ(coloured, c.decoded - (c.decoded + 3) / 4) << c.what;  // every fourth pixel is red itself
    }
    // The data that exists lands where the frame says, the rest stays background.
    const TwoReads framed = ReadTwice(Gif(6, 4, 2, 1, 2, 2, 4));
    EXPECT_EQ(PixelAt(*framed.first.bitmap, 3, 1), kGreen);
    EXPECT_EQ(PixelAt(*framed.first.bitmap, 3, 2), kYellow);
    EXPECT_EQ(PixelAt(*framed.first.bitmap, 5, 3), kRed);
}

QByteArray Encoded(const QImage& image, const char* format, int quality = -1, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes;
}

// An animated WebP file: a canvas of `canvas`, one lossless frame of
// `frame` pixels at (`x`, `y`) (even), without the canvas's transparency flag.
QByteArray AnimatedWebp(QSize canvas, QSize frame, int x, int y) {
    QImage red(frame, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    const QByteArray still = Encoded(red, "webp", 100);
    auto u24 = [](int value) { return QByteArray(1, static_cast<char>(value & 255)).append(static_cast<char>(value >> 8 & 255)).append(static_cast<char>(value >> 16 & 255)); };
    auto chunk = [](const char* type, QByteArray data) {
        QByteArray out(type);
        const auto size = static_cast<std::uint32_t>(data.size());
        for (int i = 0; i < 4; ++i) out.append(static_cast<char>(size >> (8 * i) & 255));
        if (data.size() & 1) data.append('\0');
        return out + data;
    };
    QByteArray body = chunk("VP8X", QByteArray("\x02\0\0\0", 4) + u24(canvas.width() - 1) + u24(canvas.height() - 1));
    body += chunk("ANIM", QByteArray("\xff\xff\xff\xff\0\0", 6));
    body += chunk("ANMF", u24(x / 2) + u24(y / 2) + u24(frame.width() - 1) + u24(frame.height() - 1) + u24(100) +
                              QByteArray(1, '\x02') + still.mid(12));
    QByteArray riff("RIFF");
    const auto size = static_cast<std::uint32_t>(body.size() + 4);
    for (int i = 0; i < 4; ++i) riff.append(static_cast<char>(size >> (8 * i) & 255));
    return riff + "WEBP" + body;
}

TEST(DefinedPixels, EveryFormatCutAnywhereReadsTheSameUnderTwoHeapFills) {
    QImage image(61, 47, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 255));
    const QByteArray files[] = {
        Encoded(image, "png"), Encoded(image.convertToFormat(QImage::Format_Indexed8), "png"),
        Encoded(image, "jpeg", 90), Encoded(image, "jpeg", 90, true), Encoded(image, "webp", 80),
        Encoded(image, "webp", 100), Encoded(image, "tiff"), Encoded(image, "bmp"), Encoded(image, "ppm"),
        Encoded(image, "ico"), Gif(61, 47, 0, 0, 61, 47, 61 * 47), Gif(61, 47, 0, 0, 61, 47, 61 * 47, true),
        AnimatedWebp({30, 20}, {10, 8}, 4, 6),
    };
    int read = 0;
    for (const QByteArray& file : files)
        for (int percent : {10, 35, 60, 85, 97, 100}) {
            const TwoReads reads = ReadTwice(file.left(file.size() * percent / 100));
            ExpectSameReads(reads, file.left(4).toHex().toStdString() + " cut at " + std::to_string(percent) + "%");
            read += reads.first.bitmap != nullptr;
        }
    EXPECT_GE(read, 30);  // the whole files, and cut JPEG and GIF files with their damage

    // The animation's canvas beyond its first frame is white, the frame red.
    const TwoReads animation = ReadTwice(AnimatedWebp({30, 20}, {10, 8}, 4, 6));
    ASSERT_TRUE(animation.first.bitmap) << animation.first.reason;
    EXPECT_EQ(PixelAt(*animation.first.bitmap, 0, 0), kWhite);
    EXPECT_EQ(PixelAt(*animation.first.bitmap, 29, 19), kWhite);
    EXPECT_EQ(PixelAt(*animation.first.bitmap, 4, 6), kRed);
    EXPECT_EQ(PixelAt(*animation.first.bitmap, 13, 13), kRed);
}

}  // namespace
}  // namespace prismview
