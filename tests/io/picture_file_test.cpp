// The read path for every format and the writer by extension, on real files
// made with Qt's writers or byte by byte.
#include "io/picture_file.h"
#include "io/png_writer.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QMimeData>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "io/qt_picture.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using Bytes = std::vector<unsigned char>;

QImage ImageOf(const PixelBuffer& pixels) {
    QImage image(pixels.width, pixels.height, QImage::Format_RGB32);
    for (std::int32_t y = 0; y < pixels.height; ++y)
        for (std::int32_t x = 0; x < pixels.width; ++x)
            image.setPixel(x, pixels.height - 1 - y, 0xFF000000u | pixels.At(x, y));
    return image;
}

PixelBuffer Read(const std::string& path) {
    ReadResult result = ReadPictureFile(path);
    EXPECT_TRUE(result.bitmap) << path << ": " << result.reason;
    return result.bitmap ? ReadPixels(*result.bitmap) : PixelBuffer{};
}

int LargestChannelDifference(const PixelBuffer& a, const PixelBuffer& b) {
    EXPECT_EQ(a.pixels.size(), b.pixels.size());
    int worst = 0;
    for (std::size_t i = 0; i < std::min(a.pixels.size(), b.pixels.size()); ++i)
        for (int shift : {0, 8, 16})
            worst = std::max(worst, std::abs(static_cast<int>((a.pixels[i] >> shift) & 255) -
                                             static_cast<int>((b.pixels[i] >> shift) & 255)));
    return worst;
}

void Put(Bytes& b, std::uint32_t value, int size, bool bigEndian = false) {
    for (int i = 0; i < size; ++i)
        b.push_back(static_cast<unsigned char>(value >> (8 * (bigEndian ? size - 1 - i : i))));
}

std::uint32_t Crc32(const Bytes& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG file with the given header size and a valid, tiny data stream.
Bytes PngDeclaring(std::uint32_t width, std::uint32_t height) {
    auto chunk = [](Bytes& out, const char* type, const Bytes& data) {
        Put(out, static_cast<std::uint32_t>(data.size()), 4, true);
        Bytes typed(type, type + 4);
        typed.insert(typed.end(), data.begin(), data.end());
        out.insert(out.end(), typed.begin(), typed.end());
        Put(out, Crc32(typed), 4, true);
    };
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes header;
    Put(header, width, 4, true);
    Put(header, height, 4, true);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    chunk(png, "IHDR", header);
    const QByteArray packed = qCompress(QByteArray(1000, 0)).mid(4);  // a zlib stream after Qt's length
    chunk(png, "IDAT", Bytes(packed.begin(), packed.end()));
    chunk(png, "IEND", {});
    return png;
}

// A GIF file whose screen and only image are that size, with a one-pixel
// data stream.
Bytes GifDeclaring(std::uint16_t width, std::uint16_t height) {
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
    Put(gif, width, 2);
    Put(gif, height, 2);
    gif.insert(gif.end(), {0x80, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, ','});  // two-colour table: red, blue
    Put(gif, 0, 2);
    Put(gif, 0, 2);
    Put(gif, width, 2);
    Put(gif, height, 2);
    gif.insert(gif.end(), {0, 2, 2, 0x44, 0x01, 0, ';'});
    return gif;
}

// An uncompressed 24-bit TGA file, rows bottom first, with the version 2
// footer Qt's reader asks for.
Bytes Tga(const PixelBuffer& pixels) {
    Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put(tga, static_cast<std::uint32_t>(pixels.width), 2);
    Put(tga, static_cast<std::uint32_t>(pixels.height), 2);
    tga.insert(tga.end(), {24, 0});
    for (std::int32_t y = 0; y < pixels.height; ++y)
        for (std::int32_t x = 0; x < pixels.width; ++x) Put(tga, pixels.At(x, y), 3);
    Put(tga, 0, 4);
    Put(tga, 0, 4);
    for (char c : std::string_view("TRUEVISION-XFILE.")) tga.push_back(static_cast<unsigned char>(c));
    tga.push_back(0);
    return tga;
}

// A picture with smooth colours, which JPEG keeps well.
PixelBuffer Smooth(std::int32_t width, std::int32_t height) {
    return test::MakeBuffer(width, height, [&](std::int32_t x, std::int32_t y) {
        return static_cast<RgbValue>((x * 255 / width) << 16 | (y * 255 / height) << 8 | 0x60);
    });
}

TEST(PictureRead, EveryFormatGivesThePicturesPixels) {
    test::TempDir dir;
    const PixelBuffer picture = Smooth(16, 12);
    const QImage image = ImageOf(picture);
    struct Case {
        const char* name;
        const char* format;
        int quality;
        int tolerance;  // JPEG loses a little
    };
    const Case cases[] = {
        {"a.bmp", "bmp", -1, 0}, {"a.png", "png", -1, 0}, {"a.jpg", "jpeg", 100, 16},
        {"a.ppm", "ppm", -1, 0}, {"a.xpm", "xpm", -1, 0}, {"a.ico", "ico", -1, 0},
        {"a.tif", "tiff", -1, 0}, {"a.webp", "webp", 100, 0},
    };
    for (const Case& c : cases) {
        QImageWriter writer(QString::fromStdString(dir.Path(c.name)), c.format);
        writer.setQuality(c.quality);
        ASSERT_TRUE(writer.write(image)) << c.name << ": " << writer.errorString().toStdString();
        EXPECT_LE(LargestChannelDifference(Read(dir.Path(c.name)), picture), c.tolerance) << c.name;
    }
    // Greys and black and white.
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    ASSERT_TRUE(grey.save(QString::fromStdString(dir.Path("a.pgm"))));
    const PixelBuffer greys = Read(dir.Path("a.pgm"));
    ASSERT_EQ(greys.pixels.size(), picture.pixels.size());
    EXPECT_EQ(greys.At(3, greys.height - 1), (static_cast<RgbValue>(qGray(grey.pixel(3, 0))) * 0x010101u));
    ASSERT_TRUE(image.convertToFormat(QImage::Format_Mono).save(QString::fromStdString(dir.Path("a.pbm"))));
    for (RgbValue p : Read(dir.Path("a.pbm")).pixels) EXPECT_TRUE(p == 0 || p == 0xFFFFFF) << test::Hex(p);
    // Formats Qt reads but does not write: made byte by byte.
    test::WriteFileBytes(dir.Path("a.tga"), Tga(picture));
    EXPECT_EQ(Read(dir.Path("a.tga")).pixels, picture.pixels);
    test::WriteFileBytes(dir.Path("a.gif"), GifDeclaring(1, 1));
    EXPECT_EQ(Read(dir.Path("a.gif")).pixels, (std::vector<RgbValue>{0xFF0000}));
    // The name's extension is only a hint: the bytes decide.
    std::filesystem::copy_file(dir.Path("a.png"), dir.Path("png-named.jpg"));
    EXPECT_EQ(Read(dir.Path("png-named.jpg")).pixels, picture.pixels);
}

TEST(PictureRead, ExifOrientationStandsThePictureUpright) {
    test::TempDir dir;
    const QImage image = ImageOf(Smooth(32, 16));
    // Orientation 6 is stored turned left, to be shown turned right; 8 the other way.
    struct Case {
        QImageIOHandler::Transformation stored;
        QTransform shown;
    };
    const Case cases[] = {{QImageIOHandler::TransformationRotate90, QTransform().rotate(90)},
                          {QImageIOHandler::TransformationRotate270, QTransform().rotate(270)}};
    for (const Case& c : cases) {
        QImageWriter writer(QString::fromStdString(dir.Path("turned.jpg")), "jpeg");
        writer.setQuality(100);
        writer.setTransformation(c.stored);
        ASSERT_TRUE(writer.write(image));
        const PixelBuffer read = Read(dir.Path("turned.jpg"));
        ASSERT_EQ(read.width, 16);
        ASSERT_EQ(read.height, 32);
        const QImage expected = image.transformed(c.shown);
        const PixelBuffer upright = ReadPixels(*BitmapFromImage(expected));
        EXPECT_LE(LargestChannelDifference(read, upright), 16) << c.stored;
    }
}

// Colour JPEG files are decoded straight into the picture's bitmap: the
// same pixels as Qt's own decoding, with a profile converted to sRGB.
TEST(PictureRead, JpegDecodedInPlaceGivesQtsPixels) {
    test::TempDir dir;
    QImage image = ImageOf(test::Varied(37, 23));
    for (const bool wide : {false, true}) {
        if (wide) image.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
        const std::string path = dir.Path(wide ? "wide.jpg" : "plain.jpg");
        ASSERT_TRUE(image.save(QString::fromStdString(path), "jpeg", 90));
        QImage expected(QString::fromStdString(path));
        ASSERT_EQ(expected.colorSpace().isValid(), wide);
        if (wide) expected.convertToColorSpace(QColorSpace::SRgb);
        EXPECT_EQ(Read(path).pixels, ReadPixels(*BitmapFromImage(expected)).pixels) << path;
    }
}

TEST(PictureRead, ProfilesDepthsPalettesAndTransparency) {
    test::TempDir dir;
    const QImage image = ImageOf(test::Varied(6, 4));
    // A wide-gamut picture comes out as its sRGB colours.
    QImage wide = image;
    wide.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
    ASSERT_TRUE(wide.save(QString::fromStdString(dir.Path("wide.png"))));
    const PixelBuffer converted = Read(dir.Path("wide.png"));
    EXPECT_EQ(converted.pixels,
              ReadPixels(*BitmapFromImage(wide.convertedToColorSpace(QColorSpace::SRgb))).pixels);
    EXPECT_NE(converted.pixels, ReadPixels(*BitmapFromImage(image)).pixels);  // the conversion did something

    // 16 bits a channel, greys of 16 bits and a palette: 8-bit RGB of the same colours.
    for (QImage::Format format : {QImage::Format_RGBX64, QImage::Format_Grayscale16, QImage::Format_Indexed8}) {
        const QImage deep = image.convertToFormat(format);
        ASSERT_TRUE(deep.save(QString::fromStdString(dir.Path("deep.png")))) << format;
        EXPECT_EQ(Read(dir.Path("deep.png")).pixels,
                  ReadPixels(*BitmapFromImage(deep.convertToFormat(QImage::Format_RGB32))).pixels)
            << format;
    }

    // Transparency over white: clear is white, half-clear red is pink.
    QImage clear(3, 1, QImage::Format_ARGB32);
    clear.setPixel(0, 0, qRgba(10, 20, 30, 0));
    clear.setPixel(1, 0, qRgba(255, 0, 0, 128));
    clear.setPixel(2, 0, qRgba(10, 20, 30, 255));
    for (const char* name : {"clear.png", "clear.webp", "clear.tif"}) {
        QImageWriter writer(QString::fromStdString(dir.Path(name)));
        writer.setQuality(100);
        ASSERT_TRUE(writer.write(clear)) << name;
        EXPECT_EQ(Read(dir.Path(name)).pixels, (std::vector<RgbValue>{0xFFFFFF, 0xFF7F7F, 0x0A141E})) << name;
    }
}

TEST(PictureRead, ASizeTooBigIsRefusedFromTheHeader) {
    // Every one of these declares far more than this machine has; decoding
    // them would need gigabytes and fail with another reason.
    test::TempDir dir;
    test::WriteFileBytes(dir.Path("huge.png"), PngDeclaring(100000, 100000));
    test::WriteFileBytes(dir.Path("huge.gif"), GifDeclaring(65535, 65535));
    QImage small(100, 100, QImage::Format_RGB32);
    small.fill(Qt::red);
    ASSERT_TRUE(small.save(QString::fromStdString(dir.Path("small.tif"))));
    Bytes tiff = test::ReadFileBytes(dir.Path("small.tif"));
    // Width and length entries of the first directory set to 100000.
    const std::uint32_t ifd = tiff[4] | tiff[5] << 8 | tiff[6] << 16 | static_cast<std::uint32_t>(tiff[7]) << 24;
    const int entries = tiff[ifd] | tiff[ifd + 1] << 8;
    for (int i = 0; i < entries; ++i) {
        unsigned char* entry = &tiff[ifd + 2 + 12 * static_cast<std::uint32_t>(i)];
        const int tag = entry[0] | entry[1] << 8;
        if (tag != 256 && tag != 257) continue;
        entry[2] = 4;  // LONG
        entry[3] = 0;
        for (int b = 0; b < 4; ++b) entry[8 + b] = static_cast<unsigned char>(100000u >> (8 * b));
    }
    test::WriteFileBytes(dir.Path("huge.tif"), tiff);
    const std::int64_t gigabyte = std::int64_t{1} << 30;
    struct Case {
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        {"huge.png", "too big: 100000 × 100000 pixels need about 457764 MB"},
        {"huge.gif", "too big: 65535 × 65535 pixels need about 196603 MB"},
        {"huge.tif", "too big: 100000 × 100000 pixels need about 457764 MB"},
    };
    for (const Case& c : cases) {
        const ReadResult result = ReadPictureFile(dir.Path(c.name), 16 * gigabyte);
        EXPECT_FALSE(result.bitmap) << c.name;
        EXPECT_EQ(result.failure, ReadFailure::TooBig) << c.name;
        EXPECT_EQ(result.reason, c.reason) << c.name;
    }
}

TEST(PictureRead, ATopDownBmpFileIsMeasuredBeforeDecodingToo) {
    // A top-down BMP file tells its height as a negative number. Qt's ceiling
    // stands below the picture here, so decoding it would fail as damaged:
    // only the header check gives "too big".
    Bytes bmp = {'B', 'M'};
    for (const std::uint32_t field : {54u, 0u, 54u, 40u, 4000u, static_cast<std::uint32_t>(-4000)}) Put(bmp, field, 4);
    Put(bmp, 1, 2);
    Put(bmp, 24, 2);
    for (int i = 0; i < 6; ++i) Put(bmp, 0, 4);
    const std::string_view bytes(reinterpret_cast<const char*>(bmp.data()), bmp.size());
    ASSERT_EQ(ReadPictureData(bytes, -1).failure, ReadFailure::Damaged);  // no pixels: the header alone is good
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(16);  // MB
    const ReadResult result = ReadPictureData(bytes, std::int64_t{64} << 20);
    QImageReader::setAllocationLimit(limit);
    EXPECT_EQ(result.failure, ReadFailure::TooBig);
    EXPECT_EQ(result.reason, "too big: 4000 × 4000 pixels need about 733 MB");
}

TEST(PictureRead, EachFailureHasItsOwnReason) {
    test::TempDir dir;
    test::WriteFileBytes(dir.Path("notes.txt"), Bytes{'j', 'u', 's', 't', ' ', 't', 'e', 'x', 't'});
    test::WriteFileBytes(dir.Path("empty.png"), {});
    Bytes cut = PngDeclaring(64, 64);
    cut.resize(40);
    test::WriteFileBytes(dir.Path("cut.png"), cut);
    struct Case {
        std::string path;
        ReadFailure failure;
        std::string reasonStart;
    };
    const Case cases[] = {
        {dir.Path("missing.png"), ReadFailure::CannotOpen, "No such file"},
        {dir.path(), ReadFailure::CannotOpen, "is a folder"},
        {dir.Path("notes.txt"), ReadFailure::NotAPicture, "not a picture format that can be read"},
        {dir.Path("empty.png"), ReadFailure::NotAPicture, "not a picture format that can be read"},
        {dir.Path("cut.png"), ReadFailure::Damaged, "damaged: "},
    };
    for (const Case& c : cases) {
        const ReadResult result = ReadPictureFile(c.path);
        EXPECT_FALSE(result.bitmap) << c.path;
        EXPECT_EQ(result.failure, c.failure) << c.path;
        EXPECT_EQ(result.reason.rfind(c.reasonStart, 0), 0u) << c.path << ": " << result.reason;
    }
}

// A 5 x 3 icon with a BMP header of `bits` bits a pixel (the directory says
// `entryBits`) and `colours` in its colour count; a palette and rows enough
// for any of them.
Bytes Icon(std::uint16_t bits, std::uint32_t colours, std::uint16_t entryBits) {
    Bytes b;
    Put(b, 0, 2), Put(b, 1, 2), Put(b, 1, 2);  // one icon
    b.insert(b.end(), {5, 3, 0, 0});
    Put(b, 1, 2), Put(b, entryBits, 2), Put(b, 40 + 1024 + 3 * 24, 4), Put(b, 22, 4);
    Put(b, 40, 4), Put(b, 5, 4), Put(b, 6, 4), Put(b, 1, 2), Put(b, bits, 2);
    Put(b, 0, 4), Put(b, 0, 4), Put(b, 0, 4), Put(b, 0, 4), Put(b, colours, 4), Put(b, 0, 4);
    for (int i = 0; i < 1024 + 3 * 24; ++i) b.push_back(static_cast<unsigned char>(i * 37));
    return b;
}

TEST(PictureRead, AnIconOfABitCountQtDoesNotFillIsDamaged) {
    struct Case {
        std::uint16_t bits;
        std::uint32_t colours;
        std::uint16_t entryBits;
        bool readable;
    };
    const Case cases[] = {
        {1, 0, 1, true},    {4, 0, 4, true},    {8, 0, 8, true},     {24, 0, 24, true},
        {32, 0, 32, true},  {0, 0, 8, true},    {4, 16, 4, true},    {8, 256, 8, true},
        {32, 999, 32, true},                         // no palette: the count means nothing
        {2, 0, 2, false},   {0, 0, 0, false},   {12, 0, 12, false},  {64, 0, 32, false}, {16, 0, 16, false},
        {8, 257, 8, false}, {4, 0xF7AB661C, 4, false},  // Qt fills a quarter of each row of that one
    };
    for (const Case& c : cases) {
        const Bytes icon = Icon(c.bits, c.colours, c.entryBits);
        const std::string_view data(reinterpret_cast<const char*>(icon.data()), icon.size());
        const ReadResult first = ReadPictureData(data);
        const std::string name = std::to_string(c.bits) + " bits, " + std::to_string(c.colours) + " colours";
        if (!c.readable) {
            EXPECT_FALSE(first.bitmap) << name;
            EXPECT_EQ(first.reason.rfind("damaged: ", 0), 0u) << name << ": " << first.reason;
            continue;
        }
        ASSERT_TRUE(first.bitmap) << name << ": " << first.reason;
        EXPECT_EQ(first.bitmap->Width(), 5);
        EXPECT_EQ(first.bitmap->Height(), 3);
        EXPECT_EQ(ReadPixels(*ReadPictureData(data).bitmap).pixels, ReadPixels(*first.bitmap).pixels) << name;
    }
    // Only the whole PNG signature makes embedded PNG data; a BMP header
    // that merely starts like one is checked as any other.
    Bytes icon = Icon(4, 0xFFFFFF4E, 4);
    const Bytes start = {0x89, 'P', 'N', 'G'};
    std::copy(start.begin(), start.end(), icon.begin() + 22);
    const ReadResult result = ReadPictureData(std::string_view(reinterpret_cast<const char*>(icon.data()), icon.size()));
    EXPECT_EQ(result.reason.rfind("damaged: ", 0), 0u) << result.reason;
}

// A GIF file of four greys whose codes are all 3-bit literals: a clear code
// before every other pixel keeps the table from growing.
Bytes Gif(std::uint16_t width, std::uint16_t height, const std::vector<std::uint8_t>& indices) {
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
    Put(gif, width, 2), Put(gif, height, 2);
    gif.insert(gif.end(), {0x81, 0, 0});
    for (unsigned char grey : {0, 85, 170, 255}) gif.insert(gif.end(), 3, grey);
    gif.push_back(',');
    Put(gif, 0, 4), Put(gif, width, 2), Put(gif, height, 2);
    gif.insert(gif.end(), {0, 2});  // no local table; codes start at 3 bits
    Bytes codes;
    std::uint32_t bits = 0;
    int count = 0;
    auto code = [&](std::uint32_t value) {
        bits |= value << count;
        for (count += 3; count >= 8; count -= 8, bits >>= 8) codes.push_back(static_cast<unsigned char>(bits));
    };
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % 2 == 0) code(4);
        code(indices[i]);
    }
    code(5);
    if (count > 0) codes.push_back(static_cast<unsigned char>(bits));
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
        gif.push_back(static_cast<unsigned char>(n));
        gif.insert(gif.end(), codes.begin() + static_cast<std::ptrdiff_t>(at), codes.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    gif.insert(gif.end(), {0, ';'});
    return gif;
}

TEST(PictureRead, APictureCutShortComesWithTheDecodersReason) {
    test::TempDir dir;
    const QImage image = ImageOf(Smooth(160, 120));
    for (const char* name : {"whole.jpg", "whole.png", "whole.webp", "whole.tif"})
        ASSERT_TRUE(image.save(QString::fromStdString(dir.Path(name))));
    std::vector<std::uint8_t> indices(160 * 120);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>(i / 5 % 4);
    test::WriteFileBytes(dir.Path("whole.gif"), Gif(160, 120, indices));
    auto cut = [&](const std::string& from, const std::string& to, std::size_t keep) {
        Bytes bytes = test::ReadFileBytes(dir.Path(from));
        bytes.resize(std::min(keep, bytes.size()));
        test::WriteFileBytes(dir.Path(to), bytes);
    };
    for (const char* format : {"jpg", "gif", "png", "webp", "tif"})
        cut(std::string("whole.") + format, std::string("half.") + format,
            test::ReadFileBytes(dir.Path(std::string("whole.") + format)).size() / 2);
    cut("whole.gif", "untrailed.gif", test::ReadFileBytes(dir.Path("whole.gif")).size() - 1);
    Bytes jpeg = test::ReadFileBytes(dir.Path("whole.jpg"));
    jpeg.insert(jpeg.end() - 2, {1, 2, 3, 4});  // what a scan decoded from corrupt codes leaves over
    test::WriteFileBytes(dir.Path("stray.jpg"), jpeg);
    Bytes png = test::ReadFileBytes(dir.Path("whole.png"));
    const Bytes text = {0, 0, 0, 3, 't', 'E', 'X', 't', 'a', 0, 'b', 0, 0, 0, 0};  // a bad checksum
    png.insert(png.begin() + 33, text.begin(), text.end());
    test::WriteFileBytes(dir.Path("noted.png"), png);

    const PixelBuffer gif = Read(dir.Path("whole.gif"));
    EXPECT_EQ(gif.At(0, 119), 0x000000u);
    EXPECT_EQ(gif.At(159, 0), 0xFFFFFFu * (19199 / 5 % 4) / 3);
    struct Case {
        const char* name;
        std::string damage;  // how the reason starts; "": complete; "-": not read at all
    };
    const Case cases[] = {
        {"whole.jpg", ""},
        {"whole.gif", ""},
        {"untrailed.gif", ""},  // only the trailer byte is missing
        {"noted.png", ""},
        {"stray.jpg", "Corrupt JPEG data: "},  // and how many extraneous bytes libjpeg counted
        {"half.jpg", "Corrupt JPEG data: premature end of data segment"},
        {"half.gif", "the data holds 9569 of the 160 × 120 pixels"},
        {"half.png", "-"},
        {"half.webp", "-"},
        {"half.tif", "-"},
    };
    for (const Case& c : cases) {
        const ReadResult result = ReadPictureFile(dir.Path(c.name));
        if (c.damage == "-") {
            EXPECT_EQ(result.failure, ReadFailure::Damaged) << c.name;
            EXPECT_EQ(result.damage, "") << c.name;
            continue;
        }
        ASSERT_TRUE(result.bitmap) << c.name << ": " << result.reason;
        EXPECT_EQ(result.bitmap->Width(), 160) << c.name;
        EXPECT_EQ(result.damage.rfind(c.damage, 0), 0u) << c.name << ": " << result.damage;
        EXPECT_EQ(result.damage.empty(), c.damage.empty()) << c.name << ": " << result.damage;
    }

    // Logging rules that silence the decoders do not hide the damage; other
    // messages go on to the handler that was there before.
    static std::vector<std::string> passedOn;
    qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& message) { passedOn.push_back(message.toStdString()); });
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*.warning=false"));
    EXPECT_EQ(ReadPictureFile(dir.Path("half.jpg")).damage, "Corrupt JPEG data: premature end of data segment");
    QLoggingCategory::setFilterRules(QString());
    qWarning("not from a decoder");
    qInstallMessageHandler(nullptr);
    EXPECT_EQ(passedOn, std::vector<std::string>{"not from a decoder"});

    // Each thread hears only its own decoder.
    std::vector<std::thread> readers;
    std::atomic<int> wrong = 0;
    for (int t = 0; t < 4; ++t)
        readers.emplace_back([&, t] {
            for (int i = 0; i < 6; ++i) {
                const bool half = (i + t) % 2 == 0;
                wrong += ReadPictureFile(dir.Path(half ? "half.jpg" : "whole.jpg")).damage.empty() == half;
            }
        });
    for (std::thread& reader : readers) reader.join();
    EXPECT_EQ(wrong, 0);
}

TEST(PictureRead, TheTransparentColourOfA16BitRgbPngIsWhiteAndTheRestStaysPut) {
    // White is the transparent colour; near-white and other colours are not.
    QImage deep(17, 9, QImage::Format_RGBX64);
    for (int y = 0; y < deep.height(); ++y)
        for (int x = 0; x < deep.width(); ++x)
            deep.setPixelColor(x, y, (x + 2 * y) % 5 == 0 ? QColor::fromRgba64(65535, 65535, 65535)
                                     : (x + y) % 7 == 0   ? QColor::fromRgba64(65534, 65535, 65535)
                                                          : QColor::fromRgba64(x * 3855, y * 7281, 65535 - x * y * 400));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, "png").write(deep));
    ASSERT_EQ(png.mid(24, 2), QByteArray("\x10\x02", 2));  // 16-bit RGB
    Bytes chunks;
    for (const auto& [type, data] : {std::pair<std::string, Bytes>{"gAMA", {0, 1, 0x86, 0xA0}},
                                     {"tRNS", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}}) {
        Put(chunks, static_cast<std::uint32_t>(data.size()), 4, true);
        Bytes typed(type.begin(), type.end());
        typed.insert(typed.end(), data.begin(), data.end());
        chunks.insert(chunks.end(), typed.begin(), typed.end());
        Put(chunks, Crc32(typed), 4, true);
    }
    png.insert(33, reinterpret_cast<const char*>(chunks.data()), static_cast<qsizetype>(chunks.size()));  // after IHDR
    const ReadResult read = ReadPictureData(std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
    ASSERT_TRUE(read.bitmap) << read.reason;
    PixelBuffer expected = ReadPixels(*BitmapFromImage(deep));
    for (int y = 0; y < deep.height(); ++y)
        for (int x = 0; x < deep.width(); ++x)
            if ((x + 2 * y) % 5 == 0) expected.At(x, deep.height() - 1 - y) = 0xFFFFFF;
    EXPECT_EQ(ReadPixels(*read.bitmap).pixels, expected.pixels);
}

// A 2 x 2 BMP file of 16 or 32 bits a pixel, rows top first when `topDown`;
// with masks as bit fields, without them the usual 5-5-5.
Bytes DeepBmp(int bits, const std::vector<std::uint32_t>& masks, const std::vector<std::uint32_t>& topDownPixels,
              bool topDown) {
    const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(masks.size()), rowBytes = bits == 16 ? 4 : 8;
    Bytes b = {'B', 'M'};
    Put(b, offset + 2 * rowBytes, 4), Put(b, 0, 4), Put(b, offset, 4);
    Put(b, 40, 4), Put(b, 2, 4), Put(b, topDown ? static_cast<std::uint32_t>(-2) : 2u, 4), Put(b, 1, 2),
        Put(b, static_cast<std::uint32_t>(bits), 2), Put(b, masks.empty() ? 0 : 3, 4);
    for (int i = 0; i < 5; ++i) Put(b, 0, 4);
    for (std::uint32_t mask : masks) Put(b, mask, 4);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 2; ++x) Put(b, topDownPixels[static_cast<std::size_t>(2 * (topDown ? row : 1 - row) + x)], bits / 8);
    return b;
}

TEST(PictureRead, BmpChannelsOfAnyWidthSpanTheFullRange) {
    struct Case {
        const char* name;
        Bytes bmp;
        PixelBuffer expected;
    };
    const PixelBuffer fives = test::Picture(2, 2, {0xFFFFFF, 0x000000, 0x840000, 0x000800});  // 16 of 31 is 132, 1 is 8
    const std::vector<std::uint32_t> fivePixels = {0x7FFF, 0x0000, 0x4000, 0x0020};
    const Case cases[] = {
        {"5-5-5", DeepBmp(16, {}, fivePixels, false), fives},
        {"5-5-5 top down", DeepBmp(16, {}, fivePixels, true), fives},
        {"5-5-5 bit fields", DeepBmp(16, {0x7C00, 0x03E0, 0x001F}, fivePixels, false), fives},
        {"5-6-5", DeepBmp(16, {0xF800, 0x07E0, 0x001F}, {0xFFFF, 0x0400, 0x0020, 0x0001}, false),
         test::Picture(2, 2, {0xFFFFFF, 0x008200, 0x000400, 0x000008})},  // green 32 of 63 is 130, 1 is 4
        {"10-10-10", DeepBmp(32, {0x3FF00000, 0x000FFC00, 0x000003FF}, {0x3FFFFFFF, 0x20000000, 0x00000400, 0x00000001}, false),
         test::Picture(2, 2, {0xFFFFFF, 0x800000, 0x000000, 0x000000})},  // 512 of 1023 is 128, 1 is 0
    };
    for (const Case& c : cases) {
        const ReadResult read =
            ReadPictureData(std::string_view(reinterpret_cast<const char*>(c.bmp.data()), c.bmp.size()));
        ASSERT_TRUE(read.bitmap) << c.name << ": " << read.reason;
        EXPECT_EQ(ReadPixels(*read.bitmap).pixels, c.expected.pixels) << c.name;
    }
}

TEST(PictureRead, DataInMemoryAndOnTheClipboardTakeTheSamePath) {
    const PixelBuffer picture = test::Varied(5, 3);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(ImageOf(picture).save(&buffer, "png"));
    ReadResult result = ReadPictureData(std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
    ASSERT_TRUE(result.bitmap) << result.reason;
    EXPECT_EQ(ReadPixels(*result.bitmap).pixels, picture.pixels);

    QMimeData offered;
    offered.setData(QStringLiteral("image/png"), png);
    result = PictureFromMimeData(offered, -1);
    ASSERT_TRUE(result.bitmap);
    EXPECT_EQ(ReadPixels(*result.bitmap).pixels, picture.pixels);

    // Encoded bytes are checked before they are decoded.
    const Bytes huge = PngDeclaring(100000, 100000);
    QMimeData tooBig;
    tooBig.setData(QStringLiteral("image/png"), QByteArray(reinterpret_cast<const char*>(huge.data()),
                                                           static_cast<qsizetype>(huge.size())));
    EXPECT_EQ(PictureFromMimeData(tooBig, std::int64_t{16} << 30).failure, ReadFailure::TooBig);

    // A picture of our own process comes decoded; text is no picture.
    QMimeData decoded;
    QImage clear(1, 1, QImage::Format_ARGB32);
    clear.fill(qRgba(0, 0, 255, 0));
    decoded.setImageData(clear);
    result = PictureFromMimeData(decoded, -1);
    ASSERT_TRUE(result.bitmap);
    EXPECT_EQ(PixelAt(*result.bitmap, 0, 0), 0xFFFFFFu);
    QMimeData text;
    text.setText(QStringLiteral("no picture"));
    EXPECT_EQ(PictureFromMimeData(text, -1).failure, ReadFailure::NotAPicture);
}

TEST(PictureRead, QtsAllocationLimitIsSetOnceForTheProcess) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(ImageOf(test::Varied(3, 2)).save(&buffer, "png"));
    const std::string_view bytes(png.constData(), static_cast<std::size_t>(png.size()));
    ASSERT_TRUE(ReadPictureData(bytes).bitmap);
    // A ceiling from the memory there is, not "no limit" (0)...
    const int limit = QImageReader::allocationLimit();
    EXPECT_GT(limit, 0);
    // ...and later reads leave it alone.
    QImageReader::setAllocationLimit(limit + 1);
    ASSERT_TRUE(ReadPictureData(bytes).bitmap);
    EXPECT_EQ(QImageReader::allocationLimit(), limit + 1);
    QImageReader::setAllocationLimit(limit);
}

TEST(PictureWrite, TheExtensionChoosesTheFormat) {
    struct Case {
        const char* name;
        SaveFormat format;
    };
    const Case cases[] = {
        {"out", SaveFormat::Bmp},          {"dir.v2/out", SaveFormat::Bmp},  {"out.bmp", SaveFormat::Bmp},
        {"OUT.PNG", SaveFormat::Png},      {"out.jpg", SaveFormat::Jpeg},    {"out.jpeg", SaveFormat::Jpeg},
        {"out.webp", SaveFormat::Webp},    {"out.tif", SaveFormat::Tiff},    {"out.tiff", SaveFormat::Tiff},
        {"out.gif", SaveFormat::Unknown},  {"out.", SaveFormat::Unknown},    {"photo.tar.gz", SaveFormat::Unknown},
    };
    for (const Case& c : cases) EXPECT_EQ(SaveFormatFor(c.name), c.format) << c.name;
    EXPECT_EQ(ReadablePatterns().front(), "*.bmp");
}

TEST(PictureWrite, EveryFormatRoundTripsAndAFullDiskLosesNothing) {
    test::TempDir dir;
    const PixelBuffer picture = Smooth(64, 48);
    BitmapHandle bitmap = Bitmap::Create(picture.width, picture.height);
    ASSERT_TRUE(WritePixels(*bitmap, picture));
    struct Case {
        const char* name;
        int tolerance;
    };
    const Case cases[] = {{"o.bmp", 0}, {"o.png", 0}, {"o.jpg", 16}, {"o.webp", 16}, {"o.tif", 0}};
    for (const Case& c : cases) {
        const std::string path = dir.Path(c.name);
        std::string reason;
        ASSERT_EQ(WritePictureFile(path, *bitmap, &reason), WriteResult::Written) << c.name << ": " << reason;
        EXPECT_LE(LargestChannelDifference(Read(path), picture), c.tolerance) << c.name;

        // On a full disk the old file stays byte for byte, no temporary file is left.
        const Bytes old = {'o', 'l', 'd'};
        test::WriteFileBytes(path, old);
        WriteResult result = WriteResult::Written;
        test::WithFileSizeLimit(100, [&] { result = WritePictureFile(path, *bitmap, &reason); });
        EXPECT_EQ(result, WriteResult::WriteFailed) << c.name;
        EXPECT_EQ(test::ReadFileBytes(path), old) << c.name;
        int files = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
        EXPECT_EQ(files, 1) << c.name;
        std::filesystem::remove(path);
    }
    // The BMP route is the exact 24-bit writer.
    ASSERT_EQ(WritePictureFile(dir.Path("exact.bmp"), *bitmap), WriteResult::Written);
    ASSERT_EQ(WriteBmpFile(dir.Path("plain.bmp"), *bitmap), WriteResult::Written);
    EXPECT_EQ(test::ReadFileBytes(dir.Path("exact.bmp")), test::ReadFileBytes(dir.Path("plain.bmp")));
    // An extension no writer knows writes nothing.
    std::string reason;
    EXPECT_EQ(WritePictureFile(dir.Path("o.gif"), *bitmap, &reason), WriteResult::UnknownFormat);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("o.gif")));
    EXPECT_NE(reason.find(".png"), std::string::npos) << reason;
}

TEST(PictureWrite, EveryFormatOnABadTargetKeepsTheOldFileAndLeavesNothingBehind) {
    namespace fs = std::filesystem;
    test::TempDir dir;
    const PixelBuffer picture = Smooth(24, 16);
    BitmapHandle bitmap = Bitmap::Create(picture.width, picture.height);
    ASSERT_TRUE(WritePixels(*bitmap, picture));
    const Bytes old = {'o', 'l', 'd'};
    struct Case {
        const char* extension;
        int tolerance;
    };
    for (const Case& c : {Case{"bmp", 0}, Case{"png", 0}, Case{"jpg", 16}, Case{"webp", 16}, Case{"tif", 0}}) {
        SCOPED_TRACE(c.extension);
        const std::string name = std::string("o.") + c.extension;
        std::string reason;
        WriteResult result = WriteResult::Written;

        // A missing folder is not made.
        EXPECT_EQ(WritePictureFile(dir.Path("missing/" + name), *bitmap, &reason), WriteResult::CannotCreate);
        EXPECT_EQ(reason, "No such file or directory");
        EXPECT_TRUE(test::FolderEntries(dir.path()).empty());

        // A folder of that name stays as it is, with what it holds.
        fs::create_directory(dir.Path(name));
        test::WriteFileBytes(dir.Path(name + "/inside"), old);
        EXPECT_EQ(WritePictureFile(dir.Path(name), *bitmap, &reason), WriteResult::CannotCreate);
        EXPECT_EQ(reason, "Filename refers to a directory");
        EXPECT_EQ(test::ReadFileBytes(dir.Path(name + "/inside")), old);
        EXPECT_EQ(test::FolderEntries(dir.path()), std::vector<std::string>{name});
        fs::remove_all(dir.Path(name));

        // A read-only folder: the old file in it stays.
        const std::string locked = dir.Path("locked");
        fs::create_directory(locked);
        test::WriteFileBytes(locked + "/" + name, old);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        ASSERT_TRUE(test::WithoutPermissionOverride([&] { result = WritePictureFile(locked + "/" + name, *bitmap, &reason); }));
        EXPECT_EQ(result, WriteResult::CannotCreate);
        EXPECT_NE(reason.find("ermission denied"), std::string::npos) << reason;
        EXPECT_EQ(test::ReadFileBytes(locked + "/" + name), old);
        EXPECT_EQ(test::FolderEntries(locked), std::vector<std::string>{name});
        fs::permissions(locked, fs::perms::owner_all);
        fs::remove_all(locked);

        // A link to a file elsewhere is followed: the file it points to is
        // replaced completely or, on a full disk, not at all; the link stays.
        const std::string elsewhere = dir.Path("elsewhere"), link = dir.Path(std::string("link.") + c.extension);
        fs::create_directory(elsewhere);
        test::WriteFileBytes(elsewhere + "/" + name, old);
        fs::create_symlink("elsewhere/" + name, link);
        test::WithFileSizeLimit(100, [&] { result = WritePictureFile(link, *bitmap, &reason); });
        EXPECT_EQ(result, WriteResult::WriteFailed);
        EXPECT_EQ(test::ReadFileBytes(elsewhere + "/" + name), old);
        EXPECT_EQ(test::FolderEntries(elsewhere), std::vector<std::string>{name});
        EXPECT_EQ(WritePictureFile(link, *bitmap, &reason), WriteResult::Written) << reason;
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_LE(LargestChannelDifference(Read(elsewhere + "/" + name), picture), c.tolerance);
        EXPECT_EQ(test::FolderEntries(elsewhere), std::vector<std::string>{name});
        EXPECT_EQ(test::FolderEntries(dir.path()), (std::vector<std::string>{"elsewhere", fs::path(link).filename()}));
        fs::remove_all(elsewhere);
        fs::remove(link);
    }
}

}  // namespace
}  // namespace prismview

namespace prismview {
namespace {

// Several files at once give each the bytes it gets alone, and the first
// that fails stops the rest: nothing after it is written.
TEST(PictureWrite, SeveralAtOnceAreEachAsAloneAndStopAtTheFirstFailure) {
    test::TempDir dir;
    BitmapHandle a = Bitmap::Create(37, 23), b = Bitmap::Create(20, 30);
    WritePixels(*a, test::Varied(37, 23));
    WritePixels(*b, test::Varied(20, 30));
    const std::vector<PictureToWrite> pictures = {{dir.Path("1.jpg"), a.get()}, {dir.Path("2.png"), b.get()},
                                                  {dir.Path("3.bmp"), a.get()}, {dir.Path("4.webp"), b.get()}};
    std::string reason;
    ASSERT_EQ(WritePictureFiles(pictures, &reason), pictures.size()) << reason;
    for (const PictureToWrite& picture : pictures) {
        const std::string alone = dir.Path("alone" + picture.fileName.substr(picture.fileName.rfind('.')));
        ASSERT_EQ(WritePictureFile(alone, *picture.bitmap), WriteResult::Written);
        EXPECT_EQ(test::ReadFileBytes(picture.fileName), test::ReadFileBytes(alone)) << picture.fileName;
    }
    const std::vector<PictureToWrite> broken = {{dir.Path("5.png"), a.get()}, {dir.Path("none/6.jpg"), a.get()},
                                                {dir.Path("7.png"), b.get()}, {dir.Path("8.tif"), b.get()}};
    EXPECT_EQ(WritePictureFiles(broken, &reason), 1u);
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(std::filesystem::exists(dir.Path("5.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("7.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("8.tif")));
    EXPECT_EQ(WritePictureFiles(std::vector<PictureToWrite>{{dir.Path("9.xyz"), a.get()}}, &reason), 0u);
}

}  // namespace
}  // namespace prismview

namespace prismview {
namespace {

// Our PNG writer's bands join into one stream that decoders read back
// exactly, in every split, on pictures of one row or column and of noise
// that fills several IDAT chunks; quality and lossless reach JPEG and WebP.
TEST(PictureWrite, PngBandsJoinExactlyAndQualityReachesTheLossyFormats) {
    std::uint32_t seed = 12345;
    auto noise = [&](std::int32_t, std::int32_t) { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (const Size size : {Size{1, 1}, Size{1, 9}, Size{37, 23}, Size{700, 520}}) {
        const PixelBuffer picture = test::MakeBuffer(size.width, size.height, noise);
        BitmapHandle bitmap = Bitmap::Create(size.width, size.height);
        ASSERT_TRUE(WritePixels(*bitmap, picture));
        for (const std::int32_t bands : {0, 1, 2, 5, 40}) {
            std::string png;
            ASSERT_TRUE(EncodePng(*bitmap, png, bands));
            const ReadResult read = ReadPictureData(png);
            ASSERT_TRUE(read.bitmap) << size.width << "x" << size.height << " bands " << bands << ": " << read.reason;
            EXPECT_TRUE(read.damage.empty()) << read.damage;
            EXPECT_EQ(ReadPixels(*read.bitmap).pixels, picture.pixels) << size.width << "x" << size.height << " bands " << bands;
        }
    }
    test::TempDir dir;
    const PixelBuffer smooth = Smooth(96, 64);
    BitmapHandle bitmap = Bitmap::Create(smooth.width, smooth.height);
    ASSERT_TRUE(WritePixels(*bitmap, smooth));
    auto sizeAt = [&](const char* name, WriteOptions options) {
        EXPECT_EQ(WritePictureFile(dir.Path(name), *bitmap, nullptr, options), WriteResult::Written);
        return std::filesystem::file_size(dir.Path(name));
    };
    EXPECT_LT(sizeAt("low.jpg", {20, false}), sizeAt("high.jpg", {98, false}));
    EXPECT_LT(sizeAt("low.webp", {20, false}), sizeAt("high.webp", {98, false}));
    sizeAt("lossless.webp", {50, true});
    EXPECT_EQ(ReadPixels(*ReadPictureFile(dir.Path("lossless.webp")).bitmap).pixels, smooth.pixels);
}

}  // namespace
}  // namespace prismview
