#include "io/qt_picture.h"

#include <QColorSpace>
#include <QImageReader>
#include <QBuffer>
#include <QIODevice>
#include <QMimeData>

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <utility>

#include "io/damage.h"
#include "io/gif_file.h"

namespace prismview {

namespace {

ReadResult Failure(ReadFailure failure, std::string reason) {
    ReadResult result;
    result.failure = failure;
    result.reason = std::move(reason);
    return result;
}

ReadResult TooBig(std::int64_t width, std::int64_t height) {
    return Failure(ReadFailure::TooBig, TooBigReason(width, height));
}

// Qt's own ceiling for one decoded picture, set once for the process to
// what the memory guard lets in, so that a format whose header tells no size
// still cannot decode past it.
void LimitQtAllocations() {
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(DecodeLimitMegabytes(AvailableMemory())); });
}

// The header fields that tell how much data a BMP file's rows need and how
// their pixels are laid out.
struct BmpFields {
    std::int64_t dataOffset = 0;
    std::uint32_t headerSize = 0;
    int bits = 0;
    std::uint32_t compression = 0;
    bool runLength = false;  // RLE8 or RLE4
    bool topDown = false;    // a negative height: the first row is the top one
};

std::uint32_t LittleEndian(const QByteArray& bytes, qsizetype at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | (at + i < bytes.size() ? static_cast<std::uint8_t>(bytes[at + i]) : 0u);
    return value;
}

BmpFields BmpFieldsOf(const QByteArray& bytes) {
    BmpFields f;
    f.dataOffset = LittleEndian(bytes, 10, 4);
    f.headerSize = LittleEndian(bytes, 14, 4);
    if (f.headerSize == 12) {  // the OS/2 header: no compression
        f.bits = static_cast<int>(LittleEndian(bytes, 24, 2));
        return f;
    }
    f.bits = static_cast<int>(LittleEndian(bytes, 28, 2));
    f.compression = LittleEndian(bytes, 30, 4);
    f.runLength = (f.bits == 8 && f.compression == 1) || (f.bits == 4 && f.compression == 2);
    f.topDown = static_cast<std::int32_t>(LittleEndian(bytes, 22, 4)) < 0;
    return f;
}

// A channel of `mask` spread over 0..255, the largest value the mask holds
// being 255 (rounded to the nearest step).
std::uint32_t Spread(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint64_t largest = mask >> shift, value = (pixel & mask) >> shift;
    return static_cast<std::uint32_t>((value * 255 + largest / 2) / largest);
}

// Qt's reader scales a channel of 16- and 32-bit pixels by a shift alone
// (a 5-bit white comes out 248, and the same picture with its bit fields
// spelt out may read otherwise) and one wider than 8 bits to nothing. Their
// colours are taken from the rows again here, every channel spread over its
// full range. Files whose data offset points into the header are left as Qt
// read them.
void SpreadChannels(const QByteArray& bytes, const BmpFields& f, QImage& image) {
    std::array<std::uint32_t, 3> masks{};
    if (f.bits == 16 && f.compression == 0) masks = {0x7C00, 0x03E0, 0x001F};  // the usual 5-5-5
    else if ((f.bits == 16 || f.bits == 32) && f.compression == 3)
        masks = {LittleEndian(bytes, 54, 4), LittleEndian(bytes, 58, 4), LittleEndian(bytes, 62, 4)};
    else return;
    const std::int64_t headerEnd = 14 + std::int64_t{f.headerSize} + (f.headerSize == 40 && f.compression == 3 ? 12 : 0);
    // Bit fields come after the Windows headers (40 bytes) or inside the
    // longer ones; OS/2 headers (12, 64 bytes) have none.
    const bool windows = f.headerSize == 40 || f.headerSize == 52 || f.headerSize == 56 || f.headerSize >= 108;
    if (!windows || f.dataOffset < headerEnd || image.depth() != 32) return;
    const int bytesPerPixel = f.bits / 8;
    const std::int64_t rowBytes = (std::int64_t{image.width()} * f.bits + 31) / 32 * 4;
    if (f.dataOffset + rowBytes * image.height() > bytes.size()) return;
    for (int y = 0; y < image.height(); ++y) {
        const std::int64_t row = f.topDown ? y : image.height() - 1 - y;
        const auto* from = reinterpret_cast<const std::uint8_t*>(bytes.constData() + f.dataOffset + row * rowBytes);
        auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x, from += bytesPerPixel) {
            std::uint32_t pixel = 0;
            for (int i = bytesPerPixel - 1; i >= 0; --i) pixel = pixel << 8 | from[i];
            to[x] = qRgb(static_cast<int>(Spread(pixel, masks[0])), static_cast<int>(Spread(pixel, masks[1])),
                         static_cast<int>(Spread(pixel, masks[2])));
        }
    }
}

// A BMP file read from `device` at `start` with every pixel defined. Qt's
// reader copies rows straight from the data and leaves the rest of the
// picture as the memory held it where the data ends early or run-length data
// skips pixels: a file too short for its rows is damaged, zero bytes follow
// the data for a header offset that points elsewhere (rows start a few
// kilobytes in at most), and the picture starts out all zeros (black, or
// palette entry 0) so that whatever the data does not reach stays so.
// `width` x `height` is the size Qt's reader found in the header, already
// measured against the memory guard.
bool ReadBmp(QIODevice& device, qint64 start, std::int64_t width, std::int64_t height, QImage& image,
             QString& error) {
    if (!device.seek(start)) {
        error = device.errorString();
        return false;
    }
    QByteArray bytes = device.read(1 << 16);
    const BmpFields f = BmpFieldsOf(bytes);
    const std::int64_t rowBytes = (width * std::clamp(f.bits, 1, 32) + 31) / 32 * 4;
    // Run-length data takes up to two bytes a pixel.
    const std::int64_t dataBytes = f.runLength ? 2 * (2 * width + 4) * height : rowBytes * height;
    std::int64_t wanted = std::max<std::int64_t>(f.dataOffset, 1 << 16) + dataBytes;
    if (!device.isSequential()) wanted = std::min<std::int64_t>(wanted, device.size() - start);
    if (wanted > bytes.size()) bytes += device.read(wanted - bytes.size());
    if (!f.runLength && bytes.size() < f.dataOffset + rowBytes * height) {
        error = QStringLiteral("the file ends before its last row");
        return false;
    }
    bytes.append(QByteArray(static_cast<qsizetype>(rowBytes * height + 4096), '\0'));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    // The reader fills a picture of the size and format it expects in place,
    // whichever way it takes an odd header.
    image = QImage(static_cast<int>(width), static_cast<int>(height), reader.imageFormat());
    image.fill(0);
    if (!reader.read(&image)) {
        error = reader.errorString();
        return false;
    }
    if (!f.runLength) SpreadChannels(bytes, f, image);
    return true;
}

// The first 26 bytes of a PNG file: its header says 16-bit RGB.
bool IsDeepRgbPng(const QByteArray& head) {
    return head.size() >= 26 && head.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)) && head[24] == 16 && head[25] == 2;
}

std::uint32_t BigEndian(const QByteArray& bytes, qsizetype at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

// Qt's PNG reader lays out a 16-bit RGB picture with a transparent colour (a
// tRNS chunk) wrongly: colours move between pixels, and transparent ones come
// out tinted. Such a file is read without its tRNS chunk, which takes Qt's
// plain 16-bit road, and the pixels of exactly that colour are made
// transparent here. The file from `start` is read whole.
bool ReadDeepRgbPng(QIODevice& device, qint64 start, QImage& image, QString& error) {
    if (!device.seek(start)) {
        error = device.errorString();
        return false;
    }
    QByteArray bytes = device.readAll();
    std::optional<std::array<quint16, 3>> key;
    for (qsizetype at = 8; at + 12 <= bytes.size();) {
        const std::int64_t length = BigEndian(bytes, at);
        if (bytes.mid(at + 4, 4) == "IDAT" || at + 12 + length > bytes.size()) break;
        if (bytes.mid(at + 4, 4) == "tRNS" && length == 6) {
            key = {static_cast<quint16>(BigEndian(bytes, at + 8) >> 16), static_cast<quint16>(BigEndian(bytes, at + 10) >> 16),
                   static_cast<quint16>(BigEndian(bytes, at + 12) >> 16)};
            bytes.remove(at, 12 + 6);
            break;
        }
        at += 12 + static_cast<qsizetype>(length);
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setAutoTransform(true);
    if (!reader.read(&image)) {
        error = reader.errorString();
        return false;
    }
    if (!key) return true;
    image.convertTo(QImage::Format_RGBA64);
    for (int y = 0; y < image.height(); ++y) {
        auto* pixel = reinterpret_cast<QRgba64*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (pixel[x].red() == (*key)[0] && pixel[x].green() == (*key)[1] && pixel[x].blue() == (*key)[2])
                pixel[x].setAlpha(0);
    }
    return true;
}

// Qt's WebP reader lays the frames of an animation on a canvas of its own,
// which it clears only when the file says it has transparency: where the
// first frame is smaller than the canvas, the rest stays as the memory held
// it. The file is read with that flag set, so the rest is transparent (and
// laid over white like every transparent part); the frame's own pixels come
// out as before.
bool ReadWebp(QIODevice& device, qint64 start, QImage& image, QString& error) {
    if (!device.isSequential() && !device.seek(start)) {
        error = device.errorString();
        return false;
    }
    QByteArray bytes = device.readAll();
    constexpr char kAnimation = 0x02, kAlpha = 0x10;
    if (bytes.size() > 20 && bytes.mid(12, 4) == "VP8X" && (bytes[20] & kAnimation)) bytes[20] = static_cast<char>(bytes[20] | kAlpha);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "webp");
    if (!reader.read(&image)) {
        error = reader.errorString();
        return false;
    }
    return true;
}

// A PNG file whose chunks run past its end: libpng takes a chunk's length
// as it stands and reads (and allocates) that much first, seconds for a
// length of a gigabyte in a file of a few hundred bytes, before it finds the
// file cut short. The chunk headers are walked here (a seek each) and such a
// file is refused at once; the reason names the chunk.
bool PngChunksFit(QIODevice& device, qint64 start, QString& error) {
    if (device.isSequential()) return true;
    const qint64 size = device.size(), back = device.pos();
    bool fits = true;
    for (qint64 at = start + 8; at + 8 <= size;) {
        if (!device.seek(at)) break;
        const QByteArray header = device.read(8);
        if (header.size() < 8) break;
        const qint64 length = BigEndian(header, 0);
        if (at + 12 + length > size) {
            const QByteArray type = header.mid(4, 4);
            const bool named = std::all_of(type.begin(), type.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
            error = QStringLiteral("the file ends inside its %1 chunk").arg(QString::fromLatin1(named ? type : type.toHex()));
            fits = false;
            break;
        }
        if (header.mid(4, 4) == "IEND") break;
        at += 12 + length;
    }
    device.seek(back);
    return fits;
}

// Icons and cursors: no magic number, a directory of type 1 or 2.
bool LooksLikeIcon(const QByteArray& head) {
    return head.size() == 4 && head[0] == 0 && head[1] == 0 && (head[2] == 1 || head[2] == 2) && head[3] == 0;
}

// Qt's icon reader fills a picture only for the first icon's bit counts it
// knows (1, 4, 8, 24, 32; 16 it refuses) with at most 256 colours; it keeps
// the colour count in an int, so from 2^31 on it takes a 32-bit picture for
// paletted data and fills a quarter of each row. Whatever it does not fill
// comes back as the memory held it: such icons are damaged. Embedded PNG
// data and headers too short to read are left to the reader.
bool IconIsReadable(QIODevice& device, qint64 start, QString& error) {
    const qint64 at = device.pos();  // where the reader has got to: it goes on from there
    QByteArray directory, header;
    if (!device.isSequential() && device.seek(start)) {
        directory = device.read(22);
        if (directory.size() == 22 && device.seek(start + LittleEndian(directory, 18, 4))) header = device.read(36);
        device.seek(at);
    }
    if (header.size() < 36 || header.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8))) return true;
    const std::uint32_t headerBits = LittleEndian(header, 14, 2);
    const std::uint32_t bits = headerBits != 0 ? headerBits : LittleEndian(directory, 12, 2);  // 0: the directory's
    const std::uint32_t colours = LittleEndian(header, 32, 4);
    const bool known = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (known && (bits > 8 || colours <= 256)) return true;
    error = QStringLiteral("an icon of %1 bits a pixel and %2 colours").arg(bits).arg(colours);
    return false;
}

// Transparent parts laid over white, so that the effects see the colours a
// viewer shows: with premultiplied channels that is c + (255 - alpha).
void OverWhite(QImage& image) {
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    for (int row = 0; row < image.height(); ++row) {
        auto* pixel = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int x = 0; x < image.width(); ++x) {
            const int lift = 255 - qAlpha(pixel[x]);
            pixel[x] = qRgb(qRed(pixel[x]) + lift, qGreen(pixel[x]) + lift, qBlue(pixel[x]) + lift);
        }
    }
}

// Everything after decoding: sRGB, opaque, 8 bits a channel. BMP files keep
// their colours as stored; their fourth byte often holds anything but alpha.
//
// `decoded`, when given, is the bitmap the decoder was handed to write into
// (the image is a view of its pixels): while the image still is, nothing
// needs copying. A conversion that made a new image leaves the bitmap unused.
ReadResult Finish(QImage image, bool fromBmp, std::int64_t availableMemory, BitmapHandle decoded = nullptr) {
    if (!PictureFitsInMemory(std::int64_t{image.width()} * image.height(), availableMemory))
        return TooBig(image.width(), image.height());
    if (!fromBmp) {
        // A profile of the file's own (ICC profiles carry a description) or
        // other known primaries (Adobe RGB, Display P3) are converted. A PNG
        // file's bare gamma and chromaticity chunks are how many programs
        // approximate sRGB, and viewers show them as sRGB: they stay.
        const QColorSpace space = image.colorSpace();
        const QColorSpace::Primaries primaries = space.primaries();
        const bool otherPrimaries = primaries != QColorSpace::Primaries::Custom && primaries != QColorSpace::Primaries::SRgb;
        if (space.isValid() && (otherPrimaries || !space.description().isEmpty()) &&
            space != QColorSpace(QColorSpace::SRgb))
            image.convertToColorSpace(QColorSpace::SRgb);
        if (image.hasAlphaChannel()) OverWhite(image);
    }
    ReadResult result;
    if (decoded && image.format() == QImage::Format_RGB32 && image.width() == decoded->Width() &&
        image.height() == decoded->Height() && image.constBits() == reinterpret_cast<const uchar*>(decoded->Scanline(0)))
        result.bitmap = std::move(decoded);  // RGB32 pixels are 0xFFRRGGBB, as the bitmap keeps them
    else
        result.bitmap = BitmapFromImage(std::move(image));
    if (!result.bitmap) return Failure(ReadFailure::TooBig, "not enough memory for the picture");
    return result;
}

// A bitmap of the picture's size for the decoder to write into, and the
// image that is its view, where the decoder will hand over 0xFFRRGGBB pixels
// of that size as they stand (a colour JPEG file without a turn to make);
// null elsewhere, and the decoder makes its own image.
BitmapHandle DecodeTarget(QImageReader& reader, QSize size, QImage& image) {
    if (reader.imageFormat() != QImage::Format_RGB32 || size.width() <= 0 || size.height() <= 0 ||
        reader.transformation() != QImageIOHandler::TransformationNone || reader.format() != "jpeg")
        return nullptr;
    BitmapHandle bitmap = Bitmap::Create(size.width(), size.height());
    if (bitmap)
        image = QImage(reinterpret_cast<uchar*>(bitmap->Scanline(0)), size.width(), size.height(),
                       static_cast<qsizetype>(bitmap->BytesPerLine()), QImage::Format_RGB32);
    return bitmap;
}

}  // namespace

QImage ImageFromBitmap(const Bitmap& bitmap) {
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    for (std::int32_t row = 0; !image.isNull() && row < bitmap.Height(); ++row)
        std::memcpy(image.scanLine(row), bitmap.Scanline(row), static_cast<std::size_t>(bitmap.BytesPerLine()));
    return image;
}

BitmapHandle BitmapFromImage(QImage image) {
    // Any alpha is ignored: only the colour channels are kept.
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    BitmapHandle bitmap = image.isNull() ? nullptr : Bitmap::Create(image.width(), image.height());
    if (!bitmap) return nullptr;
    for (std::int32_t row = 0; row < bitmap->Height(); ++row) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(image.constScanLine(row));
        std::uint32_t* to = bitmap->Scanline(row);
        for (std::int32_t x = 0; x < bitmap->Width(); ++x) to[x] = from[x] | 0xFF000000u;
    }
    return bitmap;
}

ReadResult ReadPicture(QIODevice& device, std::int64_t availableMemory) {
    LimitQtAllocations();
    // The format comes from the bytes (and a file's extension as a hint), so
    // a photo saved under the wrong extension still opens.
    const qint64 start = device.pos();
    const QByteArray head = device.peek(26);
    // The decoders' complaints come while the header is read too.
    const DecoderMessages messages;
    QImageReader reader(&device);
    reader.setAutoTransform(true);  // EXIF orientation: portrait photos stand upright
    if (!reader.canRead()) return Failure(ReadFailure::NotAPicture, "not a picture format that can be read");
    // The header tells the size: a picture too big for memory is not decoded.
    // A top-down BMP file tells its height as a negative number; an unknown
    // size is -1 x -1, which fits.
    const QSize size = reader.size();
    const std::int64_t width = std::abs(std::int64_t{size.width()}), height = std::abs(std::int64_t{size.height()});
    if (!PictureFitsInMemory(width * height, availableMemory)) return TooBig(width, height);
    const QByteArray format = reader.format();
    const bool fromBmp = format == "bmp";
    QImage image;
    QString error;
    if (LooksLikeIcon(head.left(4)) && !IconIsReadable(device, start, error))
        return Failure(ReadFailure::Damaged, "damaged: " + error.toStdString());
    if (format == "png" && !PngChunksFit(device, start, error))
        return Failure(ReadFailure::Damaged, "damaged: " + error.toStdString());
    bool read = false;
    BitmapHandle target;
    std::string damage;
    if (format == "gif") {
        if (!device.isSequential()) device.seek(start);
        GifPicture gif = ReadGif(device.readAll(), availableMemory);
        if (gif.tooBig) return Failure(ReadFailure::TooBig, gif.error);
        error = QString::fromStdString(gif.error);
        image = std::move(gif.image);
        damage = std::move(gif.damage);
        read = !image.isNull();
    } else if (format == "webp") read = ReadWebp(device, start, image, error);
    else if (fromBmp) read = ReadBmp(device, start, width, height, image, error);
    else if (format == "png" && IsDeepRgbPng(head)) read = ReadDeepRgbPng(device, start, image, error);
    else if (target = DecodeTarget(reader, size, image), !(read = reader.read(&image))) error = reader.errorString();
    if (!read) return Failure(ReadFailure::Damaged, "damaged: " + error.toStdString());
    if (damage.empty()) damage = messages.Damage();
    ReadResult result = Finish(std::move(image), fromBmp, availableMemory, std::move(target));
    if (result.bitmap) result.damage = std::move(damage);
    return result;
}

ReadResult PictureFromImage(QImage image, std::int64_t availableMemory) {
    if (image.isNull()) return Failure(ReadFailure::NotAPicture, "not a picture format that can be read");
    return Finish(std::move(image), false, availableMemory);
}

ReadResult PictureFromMimeData(const QMimeData& data, std::int64_t availableMemory) {
    ReadResult result = Failure(ReadFailure::NotAPicture, "not a picture format that can be read");
    bool encoded = false;
    for (const QString& format : data.formats()) {
        if (!format.startsWith(QStringLiteral("image/"))) continue;
        encoded = true;
        QByteArray bytes = data.data(format);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        result = ReadPicture(buffer, availableMemory);
        if (result.bitmap || result.failure == ReadFailure::TooBig) return result;
    }
    // Only a picture that is already decoded: asking Qt to decode encoded
    // bytes would skip the size check.
    if (!encoded && data.hasImage()) return PictureFromImage(qvariant_cast<QImage>(data.imageData()), availableMemory);
    return result;
}

}  // namespace prismview
