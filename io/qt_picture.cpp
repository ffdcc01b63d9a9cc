#include "io/qt_picture.h"

#include <QColorSpace>
#include <QImageReader>
#include <QBuffer>
#include <QIODevice>
#include <QMimeData>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <utility>

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

// The header fields that tell how much data a BMP file's rows need.
struct BmpFields {
    std::int64_t dataOffset = 0;
    int bits = 0;
    bool runLength = false;  // RLE8 or RLE4
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
    if (LittleEndian(bytes, 14, 4) == 12) {  // the OS/2 header: no compression
        f.bits = static_cast<int>(LittleEndian(bytes, 24, 2));
        return f;
    }
    f.bits = static_cast<int>(LittleEndian(bytes, 28, 2));
    const std::uint32_t compression = LittleEndian(bytes, 30, 4);
    f.runLength = (f.bits == 8 && compression == 1) || (f.bits == 4 && compression == 2);
    return f;
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
    return true;
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
ReadResult Finish(QImage image, bool fromBmp, std::int64_t availableMemory) {
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
    result.bitmap = BitmapFromImage(std::move(image));
    if (!result.bitmap) return Failure(ReadFailure::TooBig, "not enough memory for the picture");
    return result;
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
    const QByteArray head = device.peek(4);
    QImageReader reader(&device);
    reader.setAutoTransform(true);  // EXIF orientation: portrait photos stand upright
    if (!reader.canRead()) return Failure(ReadFailure::NotAPicture, "not a picture format that can be read");
    // The header tells the size: a picture too big for memory is not decoded.
    // A top-down BMP file tells its height as a negative number; an unknown
    // size is -1 x -1, which fits.
    const QSize size = reader.size();
    const std::int64_t width = std::abs(std::int64_t{size.width()}), height = std::abs(std::int64_t{size.height()});
    if (!PictureFitsInMemory(width * height, availableMemory)) return TooBig(width, height);
    const bool fromBmp = reader.format() == "bmp";
    QImage image;
    QString error;
    if (LooksLikeIcon(head) && !IconIsReadable(device, start, error))
        return Failure(ReadFailure::Damaged, "damaged: " + error.toStdString());
    if (fromBmp ? !ReadBmp(device, start, width, height, image, error) : !reader.read(&image))
        return Failure(ReadFailure::Damaged, "damaged: " + (fromBmp ? error : reader.errorString()).toStdString());
    return Finish(std::move(image), fromBmp, availableMemory);
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
