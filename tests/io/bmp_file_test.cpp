#include "io/bmp_file.h"
#include "io/picture_file.h"
#include "io/qt_picture.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <QImage>

#include <filesystem>
#include <limits>
#include <random>
#include <sstream>

#include "support/test_support.h"

namespace prismview {
namespace {

using Bytes = std::vector<unsigned char>;

// The read path as these BMP tests use it: the bitmap, and the reason on failure.
BitmapHandle ReadBmpFile(const std::string& path, std::string* reason = nullptr,
                         std::int64_t availableMemory = AvailableMemory()) {
    ReadResult result = ReadPictureFile(path, availableMemory);
    if (reason) *reason = result.reason;
    return std::move(result.bitmap);
}

void Put(Bytes& b, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}

// A BMP file as other programs write it: any bit count, palette, compression
// and row order. `rows` holds the pixel data exactly as stored.
Bytes MakeBmp(std::int32_t width, std::int32_t height, int bitCount, const std::vector<std::uint32_t>& palette,
              const Bytes& rows, std::uint32_t compression = 0) {
    const std::size_t offset = 54 + 4 * palette.size();
    Bytes b(offset, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 2, static_cast<std::uint32_t>(offset + rows.size()), 4);
    Put(b, 10, static_cast<std::uint32_t>(offset), 4);
    Put(b, 14, 40, 4);
    Put(b, 18, static_cast<std::uint32_t>(width), 4);
    Put(b, 22, static_cast<std::uint32_t>(height), 4);
    Put(b, 26, 1, 2);
    Put(b, 28, static_cast<std::uint32_t>(bitCount), 2);
    Put(b, 30, compression, 4);
    Put(b, 34, static_cast<std::uint32_t>(rows.size()), 4);
    Put(b, 46, static_cast<std::uint32_t>(palette.size()), 4);
    for (std::size_t i = 0; i < palette.size(); ++i) Put(b, 54 + 4 * i, palette[i], 4);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

PixelBuffer Load(const std::string& path) {
    BitmapHandle bitmap = ReadBmpFile(path);
    EXPECT_TRUE(bitmap) << path;
    return bitmap ? ReadPixels(*bitmap) : PixelBuffer{};
}

using test::BitmapOf;

TEST(BmpWriter, HeaderAndPaddingForSmallWidths) {
    struct Case { std::int32_t width, height; std::uint32_t rowSize; };
    const Case cases[] = {{1, 1, 4}, {2, 1, 8}, {3, 1, 12}, {4, 1, 12}, {5, 1, 16}, {5, 2, 16}};
    test::TempDir dir;
    for (const Case& c : cases) {
        const PixelBuffer pixels = test::Varied(c.width, c.height);
        const std::string path = dir.Path(std::to_string(c.width) + "x" + std::to_string(c.height) + ".bmp");
        ASSERT_EQ(WriteBmpFile(path, *BitmapOf(pixels)), WriteResult::Written);
        const Bytes file = test::ReadFileBytes(path);
        const std::uint32_t imageSize = c.rowSize * static_cast<std::uint32_t>(c.height);
        ASSERT_EQ(file.size(), 54 + imageSize) << c.width;
        Bytes expected(54, 0);
        expected[0] = 'B';
        expected[1] = 'M';
        Put(expected, 2, 54 + imageSize, 4);
        Put(expected, 10, 54, 4);
        Put(expected, 14, 40, 4);
        Put(expected, 18, static_cast<std::uint32_t>(c.width), 4);
        Put(expected, 22, static_cast<std::uint32_t>(c.height), 4);
        Put(expected, 26, 1, 2);
        Put(expected, 28, 24, 2);
        Put(expected, 34, imageSize, 4);
        EXPECT_EQ(Bytes(file.begin(), file.begin() + 54), expected) << c.width;
        // Rows bottom first, blue-green-red, zero padding.
        for (std::int32_t y = 0; y < c.height; ++y) {
            const std::size_t row = 54 + static_cast<std::size_t>(y) * c.rowSize;
            for (std::int32_t x = 0; x < c.width; ++x) {
                const RgbValue p = pixels.At(x, y);
                EXPECT_EQ(file[row + 3 * x], BlueOf(p));
                EXPECT_EQ(file[row + 3 * x + 1], GreenOf(p));
                EXPECT_EQ(file[row + 3 * x + 2], RedOf(p));
            }
            for (std::size_t pad = 3 * static_cast<std::size_t>(c.width); pad < c.rowSize; ++pad)
                EXPECT_EQ(file[row + pad], 0);
        }
    }
}

TEST(BmpWriter, SizesOfRowsPastThe32BitRangeAreExact) {
    // 3 x width no longer fits 32 bits from 715827883 pixels on; the sizes
    // are worked out in 64 bits and stored as the header's 32-bit fields.
    struct Case {
        std::int32_t width, height;
        std::uint32_t imageSize;
    };
    const Case cases[] = {{715827882, 1, 2147483648u}, {715827883, 1, 2147483652u}, {1000000000, 1, 3000000000u}};
    for (const Case& c : cases) {
        const auto header = BmpHeader(c.width, c.height);
        const auto field = [&header](int at) {
            return header[at] | header[at + 1] << 8 | header[at + 2] << 16 | static_cast<std::uint32_t>(header[at + 3]) << 24;
        };
        EXPECT_EQ(field(34), c.imageSize) << c.width;
        EXPECT_EQ(field(2), c.imageSize + 54) << c.width;
        EXPECT_EQ(field(18), static_cast<std::uint32_t>(c.width));
    }
}

TEST(BmpWriter, PixelsPastTheIntRangeOfTheirByteOffsetLandInPlace) {
    // From x = 715827883 on, a pixel's offset in its row (3 x) passes 2^31.
    // One such row: 2.9 GB of pixels, a 2.1 GB row of the file.
    constexpr std::int32_t kWidth = 715827885;
    BitmapHandle bitmap = Bitmap::Create(kWidth, 1);
    ASSERT_TRUE(bitmap) << "not enough memory for the picture";
    std::uint32_t* row = bitmap->Scanline(0);
    row[0] = 0x010203;
    row[kWidth - 2] = 0x445566;
    row[kWidth - 1] = 0x778899;
    std::vector<std::size_t> sizes;
    const bool put = PutBmpBytes(*bitmap, [&](const char* data, std::size_t size) {
        if (!sizes.empty()) {  // the row, after the header
            const auto at = [data](std::size_t i) { return static_cast<unsigned char>(data[i]); };
            EXPECT_EQ((Bytes{at(0), at(1), at(2)}), (Bytes{0x03, 0x02, 0x01}));
            const std::size_t last = std::size_t{3} * (kWidth - 2);
            EXPECT_EQ((Bytes{at(last), at(last + 1), at(last + 2), at(last + 3), at(last + 4), at(last + 5)}),
                      (Bytes{0x66, 0x55, 0x44, 0x99, 0x88, 0x77}));
            EXPECT_EQ(at(last + 6), 0);  // padding
        }
        sizes.push_back(size);
        return true;
    });
    EXPECT_TRUE(put);
    EXPECT_EQ(sizes, (std::vector<std::size_t>{54, 2147483656u}));
}

TEST(BmpWriter, FiveByTwoFileByteForByte) {
    const PixelBuffer pixels = test::Picture(5, 2, {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F,
                                                    0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0});
    test::TempDir dir;
    ASSERT_EQ(WriteBmpFile(dir.Path("a.bmp"), *BitmapOf(pixels)), WriteResult::Written);
    const Bytes expected = {
        'B', 'M', 86, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
        40, 0, 0, 0, 5, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 32, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        // bottom row first, the bottom-left pixel blue first
        0x30, 0x20, 0x10, 0x60, 0x50, 0x40, 0x90, 0x80, 0x70, 0xC0, 0xB0, 0xA0, 0xF0, 0xE0, 0xD0, 0,
        0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0,
    };
    EXPECT_EQ(test::ReadFileBytes(dir.Path("a.bmp")), expected);
}

TEST(BmpWriter, OverwritingALongerFileLeavesNothingOfIt) {
    test::TempDir dir;
    const std::string path = dir.Path("old.bmp");
    test::WriteFileBytes(path, Bytes(5000, 0xAB));
    ASSERT_EQ(WriteBmpFile(path, *BitmapOf(test::Varied(1, 1))), WriteResult::Written);
    EXPECT_EQ(test::ReadFileBytes(path).size(), 58u);
}

TEST(BmpWriter, AFileThatCannotBeCreatedIsReported) {
    test::TempDir dir;
    std::string reason;
    EXPECT_EQ(WriteBmpFile(dir.Path("no/such/folder/x.bmp"), *BitmapOf(test::Varied(2, 2)), &reason),
              WriteResult::CannotCreate);
    EXPECT_FALSE(reason.empty());
}

TEST(BmpWriter, AFailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    const std::string path = dir.Path("keep.bmp");
    const Bytes old(3000, 0x5C);
    test::WriteFileBytes(path, old);

    // The file can be created, but writing stops at 16 KiB: a full disk.
    WriteResult result = WriteResult::Written;
    test::WithFileSizeLimit(16 * 1024, [&] { result = WriteBmpFile(path, *BitmapOf(test::Varied(200, 100))); });

    EXPECT_EQ(result, WriteResult::WriteFailed);
    EXPECT_EQ(test::ReadFileBytes(path), old);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST(BmpReader, ReadsWhatTheWriterWrote) {
    test::TempDir dir;
    for (std::int32_t w : {1, 2, 3, 4, 5, 17})
        for (std::int32_t h : {1, 3}) {
            const PixelBuffer pixels = test::Varied(w, h);
            ASSERT_EQ(WriteBmpFile(dir.Path("rt.bmp"), *BitmapOf(pixels)), WriteResult::Written);
            EXPECT_EQ(Load(dir.Path("rt.bmp")).pixels, pixels.pixels) << w << "x" << h;
        }
}

TEST(BmpReader, ReadsOtherVariants) {
    test::TempDir dir;
    // Expected picture, top row first: red green / blue white.
    const PixelBuffer expected = test::Picture(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});

    // 32 bits, bottom-up; the fourth byte carries nothing.
    test::WriteFileBytes(dir.Path("32.bmp"), MakeBmp(2, 2, 32, {},
        {0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0}));
    // 24 bits, top-down (negative height).
    test::WriteFileBytes(dir.Path("topdown.bmp"), MakeBmp(2, -2, 24, {},
        {0, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0}));
    // 8 bits with a palette.
    const std::vector<std::uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    test::WriteFileBytes(dir.Path("8.bmp"), MakeBmp(2, 2, 8, palette, {2, 3, 0, 0, 0, 1, 0, 0}));
    // 8 bits, run-length compressed: two runs of one pixel per row.
    test::WriteFileBytes(dir.Path("rle8.bmp"),
                         MakeBmp(2, 2, 8, palette, {1, 2, 1, 3, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1}, 1));
    // 4 bits and 1 bit.
    test::WriteFileBytes(dir.Path("4.bmp"), MakeBmp(2, 2, 4, palette, {0x23, 0, 0, 0, 0x01, 0, 0, 0}));
    for (const char* name : {"32.bmp", "topdown.bmp", "8.bmp", "rle8.bmp", "4.bmp"})
        EXPECT_EQ(Load(dir.Path(name)).pixels, expected.pixels) << name;

    test::WriteFileBytes(dir.Path("1.bmp"), MakeBmp(3, 1, 1, {0x000000, 0xFFFFFF}, {0xA0, 0, 0, 0}));
    EXPECT_EQ(Load(dir.Path("1.bmp")).pixels, (std::vector<RgbValue>{0xFFFFFF, 0x000000, 0xFFFFFF}));
}

// Reads the bytes after leaving other bytes in memory that a decoder could
// hand out again, so that a pixel it never sets shows up.
ReadResult ReadAfterLeftovers(const Bytes& file) {
    for (std::size_t size : {64u, 256u, 1024u, 4096u}) {
        std::vector<unsigned char> leftover(size, 0x77);
        EXPECT_EQ(leftover.back(), 0x77);
    }
    return ReadPictureData(std::string_view(reinterpret_cast<const char*>(file.data()), file.size()), -1);
}

// Fresh memory filled with `fill` (glibc's perturbation; other allocators
// ignore the setting): a pixel the decoder never writes shows it.
ReadResult ReadWithFreshMemoryFilled(const Bytes& file, int fill) {
    mallopt(M_PERTURB, fill);
    ReadResult result = ReadPictureData(std::string_view(reinterpret_cast<const char*>(file.data()), file.size()), -1);
    mallopt(M_PERTURB, 0);
    return result;
}

TEST(BmpReader, AnOddHeaderGivesTheSamePictureWhateverMemoryItGets) {
    // A header size of 16388 that Qt's reader takes for the 12-byte kind:
    // 21 x -513 (top-down) at 24 bits, from 31 bytes; other readers of the
    // header see 8-bit run-length data.
    const Bytes file = {0x42, 0x4d, 0x55, 0x00, 0xed, 0x46, 0x00, 0x00, 0x00, 0x28, 0x00, 0x00, 0x00, 0x00, 0x04, 0x40,
                        0x00, 0x00, 0x15, 0x00, 0xff, 0xfd, 0x01, 0x00, 0x18, 0x00, 0x0e, 0x2b, 0x08, 0x00, 0x01};
    const ReadResult first = ReadWithFreshMemoryFilled(file, 0x11), second = ReadWithFreshMemoryFilled(file, 0xEE);
    ASSERT_TRUE(first.bitmap) << first.reason;
    ASSERT_TRUE(second.bitmap) << second.reason;
    EXPECT_EQ(first.bitmap->Width(), 21);
    EXPECT_EQ(first.bitmap->Height(), 513);
    EXPECT_EQ(ReadPixels(*first.bitmap).pixels, ReadPixels(*second.bitmap).pixels);
}

TEST(BmpReader, EveryPixelIsDefinedWhateverTheDataLeavesOut) {
    // Run-length data that skips pixels or stops early leaves them at palette
    // entry 0; a file too short for its rows is damaged.
    const std::vector<std::uint32_t> palette = {0x102030, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const RgbValue o = 0x102030, g = 0x00FF00, b = 0x0000FF, w = 0xFFFFFF;
    struct Case {
        const char* name;
        Bytes file;
        std::vector<RgbValue> expected;  // top row first
    };
    const Case cases[] = {
        // 4 x 3, RLE8: the bottom row, then the end of the picture.
        {"rle8 stops", MakeBmp(4, 3, 8, palette, {4, 1, 0, 1}, 1), {o, o, o, o, o, o, o, o, g, g, g, g}},
        // RLE8: two pixels, a jump of one right and one up, one pixel, data ends.
        {"rle8 jumps", MakeBmp(4, 3, 8, palette, {2, 2, 0, 2, 1, 1, 1, 3}, 1), {o, o, o, o, o, o, o, w, b, b, o, o}},
        // RLE4: the row ends after three pixels; three literal pixels on the next.
        {"rle4 short rows", MakeBmp(4, 2, 4, palette, {3, 0x12, 0, 0, 0, 3, 0x30, 0x20}, 2), {w, o, b, o, g, b, g, o}},
    };
    for (const Case& c : cases) {
        const ReadResult result = ReadAfterLeftovers(c.file);
        ASSERT_TRUE(result.bitmap) << c.name << ": " << result.reason;
        std::vector<RgbValue> topDown;
        for (std::int32_t y = 0; y < result.bitmap->Height(); ++y)
            for (std::int32_t x = 0; x < result.bitmap->Width(); ++x) topDown.push_back(PixelAt(*result.bitmap, x, y));
        EXPECT_EQ(topDown, c.expected) << c.name;
    }
    Bytes rows(4 * 3 * 3, 0x40);
    for (const std::size_t kept : {0u, 12u, 35u}) {
        Bytes cut = MakeBmp(4, 3, 24, {}, rows);
        cut.resize(54 + kept);
        const ReadResult result = ReadAfterLeftovers(cut);
        EXPECT_FALSE(result.bitmap) << kept;
        EXPECT_EQ(result.reason, "damaged: the file ends before its last row") << kept;
    }
}

TEST(BmpReader, PicturesAboveQtsDefaultLimitLoad) {
    // 12000 x 11200 pixels, 8-bit run-length compressed: a small file that
    // decodes to more than Qt's default 128 MB.
    const std::int32_t width = 12000, height = 11200;
    Bytes rows;
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t left = width; left > 0; left -= 255) {
            rows.push_back(static_cast<unsigned char>(std::min(left, 255)));
            rows.push_back(y < height / 2 ? 0 : 1);
        }
        rows.push_back(0);
        rows.push_back(0);
    }
    rows.push_back(0);
    rows.push_back(1);
    test::TempDir dir;
    test::WriteFileBytes(dir.Path("big.bmp"), MakeBmp(width, height, 8, {0x102030, 0x405060}, rows, 1));
    BitmapHandle bitmap = ReadBmpFile(dir.Path("big.bmp"));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->Width(), width);
    EXPECT_EQ(bitmap->Height(), height);
    EXPECT_EQ(PixelAt(*bitmap, width - 1, height - 1), 0x102030u);  // bottom half: index 0
    EXPECT_EQ(PixelAt(*bitmap, 0, 0), 0x405060u);
}

TEST(BmpReader, BadFilesFailWithAReason) {
    test::TempDir dir;
    test::WriteFileBytes(dir.Path("text.bmp"), Bytes{'h', 'e', 'l', 'l', 'o'});
    Bytes truncated = MakeBmp(64, 64, 24, {}, Bytes(64 * 64 * 3, 7));
    truncated.resize(200);
    test::WriteFileBytes(dir.Path("truncated.bmp"), truncated);
    // Absurd sizes in the header must not be trusted.
    test::WriteFileBytes(dir.Path("huge.bmp"), MakeBmp(0x7FFFFFFF, 0x7FFFFFFF, 24, {}, Bytes(16, 0)));
    test::WriteFileBytes(dir.Path("zero.bmp"), MakeBmp(0, 5, 24, {}, Bytes(16, 0)));
    // A PNG file is a picture, but not a BMP file.
    test::WriteFileBytes(dir.Path("picture.png"),
                         Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D, 'I', 'H', 'D', 'R'});
    // A truncated file is the reader's call; it must only not crash.
    const BitmapHandle partial = ReadBmpFile(dir.Path("truncated.bmp"));
    if (partial) {
        EXPECT_EQ(partial->Width(), 64);
    }
    for (const char* name : {"missing.bmp", "text.bmp", "huge.bmp", "zero.bmp", "picture.png", ""}) {
        std::string reason;
        EXPECT_EQ(ReadBmpFile(dir.Path(name), &reason), nullptr) << name;
        EXPECT_FALSE(reason.empty()) << name;
    }
    std::string reason;
    EXPECT_EQ(ReadBmpFile(dir.path(), &reason), nullptr);  // a folder
}

TEST(BmpReader, DamagedFilesFailOrGiveAWholePicture) {
    // Seeded damage to files of every kind: changed bytes, header fields set
    // to edge values, cut-off and inserted stretches. Each read either fails
    // with a reason or gives a picture whose pixels are all there; the
    // sanitizer build catches any stray access.
    Bytes pixels(17 * 9 * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 37);
    const std::vector<std::uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const std::vector<Bytes> originals = {
        MakeBmp(17, 9, 24, {}, pixels),
        MakeBmp(17, -9, 32, {}, pixels),
        MakeBmp(17, 9, 8, palette, pixels),
        MakeBmp(17, 9, 4, palette, pixels),
        MakeBmp(17, 9, 1, {0, 0xFFFFFF}, pixels),
        MakeBmp(8, 4, 8, palette, {3, 1, 0, 3, 2, 2, 3, 0, 0, 0, 0, 2, 5, 6, 0, 0, 0, 1}, 1),
    };
    const std::uint32_t edgeValues[] = {0, 1, 2, 3, 4, 16, 40, 255, 256, 0xFFFF, 0x10000,
                                        0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    std::mt19937 random(20261207);
    auto below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    test::TempDir dir;
    const std::string path = dir.Path("damaged.bmp");
    int read = 0;
    for (int round = 0; round < 400; ++round) {
        Bytes b = originals[below(originals.size())];
        for (std::size_t change = 0, changes = 1 + below(5); change < changes; ++change) {
            switch (below(4)) {
                case 0: b[below(b.size())] = static_cast<unsigned char>(random()); break;
                case 1: {  // a header field, 2 or 4 bytes, set to an edge value
                    const std::size_t at = 2 + 2 * below(24);
                    Put(b, at, edgeValues[below(std::size(edgeValues))], below(2) ? 4 : 2);
                    break;
                }
                case 2: b.resize(2 + below(b.size() - 1)); break;  // keeps at least 2 bytes
                default:
                    b.insert(b.begin() + static_cast<std::ptrdiff_t>(below(b.size())), below(64),
                             static_cast<unsigned char>(random()));
            }
        }
        test::WriteFileBytes(path, b);
        std::string reason;
        const BitmapHandle bitmap = ReadBmpFile(path, &reason);
        if (!bitmap) {
            EXPECT_FALSE(reason.empty()) << "round " << round;
            continue;
        }
        ++read;
        const PixelBuffer picture = ReadPixels(*bitmap);
        ASSERT_GT(picture.width, 0);
        ASSERT_GT(picture.height, 0);
        ASSERT_EQ(picture.pixels.size(), static_cast<std::size_t>(picture.width) * picture.height);
    }
    EXPECT_GT(read, 0);  // some damage leaves a readable picture: the checks above ran
}

TEST(BitmapFromImage, KeepsTheColoursOfAnyFormatAndDropsAlpha) {
    // Pictures from the clipboard or the reader come in many formats; the
    // bitmap takes the colours as they are, never blended with black.
    QImage straight(2, 1, QImage::Format_ARGB32);
    straight.setPixel(0, 0, 0x80FF4020);
    straight.setPixel(1, 0, 0x00123456);
    QImage packed(2, 1, QImage::Format_RGB888);
    packed.setPixel(0, 0, 0xFFFF4020);
    packed.setPixel(1, 0, 0xFF123456);
    for (const QImage& image : {straight, packed}) {
        const BitmapHandle bitmap = BitmapFromImage(image);
        ASSERT_TRUE(bitmap) << image.format();
        EXPECT_EQ(ReadPixels(*bitmap).pixels, (std::vector<RgbValue>{0xFF4020, 0x123456}))
            << image.format();
    }
    EXPECT_EQ(BitmapFromImage(QImage()), nullptr);
}

TEST(PictureMemory, APictureMustFitWithEverythingKeptForIt) {
    // 48 bytes a pixel: the five shown images, the pass's own four and its
    // scratch at 4 bytes, and 8 for decoding.
    EXPECT_TRUE(PictureFitsInMemory(1000, 48000));
    EXPECT_FALSE(PictureFitsInMemory(1001, 48000));
    EXPECT_FALSE(PictureFitsInMemory(1, 0));
    EXPECT_TRUE(PictureFitsInMemory(std::int64_t{1} << 40, -1));  // unknown: the allocations decide

    std::istringstream memInfo("MemTotal:       24684000 kB\n"
                               "MemFree:        23880000 kB\n"
                               "MemAvailable:   23733000 kB\n"
                               "HugePages_Total:       0\n"
                               "SwapTotal:       2000000 kB\n"
                               "SwapFree:        1000000 kB\n");
    EXPECT_EQ(AvailableMemoryFrom(memInfo), (std::int64_t{23733000} + 1000000) * 1024);
    std::istringstream older("MemTotal: 1000 kB\nMemFree: 500 kB\n");  // no MemAvailable line
    EXPECT_EQ(AvailableMemoryFrom(older), -1);
    EXPECT_GT(AvailableMemory(), 0);  // this test runs on Linux
}

TEST(PictureMemory, QtsCeilingAdmitsTheLargestPictureThatFitsAndLittleMore) {
    EXPECT_EQ(DecodeLimitMegabytes(-1), 0);  // unknown memory: no ceiling
    EXPECT_EQ(DecodeLimitMegabytes(0), 1);   // Qt takes 0 as no ceiling
    EXPECT_EQ(DecodeLimitMegabytes(std::int64_t{1} << 62), std::numeric_limits<int>::max());
    for (const std::int64_t available : {std::int64_t{64} << 20, std::int64_t{52} << 20, (std::int64_t{52} << 20) - 1,
                                         std::int64_t{22} << 30, std::int64_t{3} << 40}) {
        std::int64_t pixels = 1;  // the largest picture that fits, by the guard itself
        while (PictureFitsInMemory(pixels * 2, available)) pixels *= 2;
        for (std::int64_t step = pixels / 2; step > 0; step /= 2)
            if (PictureFitsInMemory(pixels + step, available)) pixels += step;
        const std::int64_t ceiling = std::int64_t{DecodeLimitMegabytes(available)} << 20;
        EXPECT_GE(ceiling, 4 * pixels) << available;
        EXPECT_LT(ceiling, 4 * pixels + (1 << 20)) << available;
    }
}

TEST(BmpReader, APictureTooBigForMemoryIsNotDecoded) {
    test::TempDir dir;
    ASSERT_EQ(WriteBmpFile(dir.Path("pic.bmp"), *BitmapOf(test::Varied(64, 64))), WriteResult::Written);
    std::string reason;
    EXPECT_EQ(ReadBmpFile(dir.Path("pic.bmp"), &reason, 64 * 64 * 48 - 1), nullptr);
    EXPECT_EQ(reason, "too big: 64 × 64 pixels need about 1 MB");
    EXPECT_TRUE(ReadBmpFile(dir.Path("pic.bmp"), &reason, 64 * 64 * 48));
    EXPECT_TRUE(ReadBmpFile(dir.Path("pic.bmp"), &reason, -1));
}

TEST(LoadBaseImage, FillsAllFiveSlotsOrEmptiesTheSet) {
    test::TempDir dir;
    ASSERT_EQ(WriteBmpFile(dir.Path("one.bmp"), *BitmapOf(test::Picture(1, 1, {0xABCDEF}))), WriteResult::Written);
    const std::int64_t before = Bitmap::LiveCount();
    ImageSet images;
    LoadBaseImage(images, dir.Path("one.bmp"));
    EXPECT_EQ(images.width, 1);
    EXPECT_EQ(images.height, 1);
    for (const auto& slot : images.bitmaps) ASSERT_TRUE(slot);
    EXPECT_EQ(PixelAt(*images.bitmaps[0], 0, 0), 0xABCDEFu);
    EXPECT_EQ(Bitmap::LiveCount(), before + 5);

    LoadBaseImage(images, dir.Path("missing.bmp"));
    EXPECT_FALSE(images.Loaded());
    for (const auto& slot : images.bitmaps) EXPECT_FALSE(slot);
    EXPECT_EQ(images.width, 0);
    EXPECT_EQ(images.height, 0);
    EXPECT_EQ(Bitmap::LiveCount(), before);
}

}  // namespace
}  // namespace prismview
