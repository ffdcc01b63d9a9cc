#include "io/qt_picture.h"

#include <QColorSpace>
#include <QImageReader>
#include <QBuffer>
#include <QIODevice>
#include <QMimeData>

#include <algorithm>
#include <cstdlib>
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

// Qt's own ceiling for one decoded picture, set once for the process: the
// memory guard gives a picture 4 of every 40 bytes there are, so a format
// whose header tells no size still cannot decode past it.
void LimitQtAllocations() {
    static std::once_flag once;
    std::call_once(once, [] {
        const std::int64_t available = AvailableMemory();
        const std::int64_t megabytes = available < 0 ? 0 : std::max<std::int64_t>(1, available / 10 >> 20);
        QImageReader::setAllocationLimit(static_cast<int>(std::min<std::int64_t>(megabytes, std::numeric_limits<int>::max())));
    });
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
    if (!reader.read(&image)) return Failure(ReadFailure::Damaged, "damaged: " + reader.errorString().toStdString());
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
