#include "io/bmp_file.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <QString>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace prismview {

namespace {

QString ToQString(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

void PutLe(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

constexpr const char* kNoMemory = "not enough memory for the picture";

std::int64_t RowSize(std::int32_t width) {
    const std::int64_t raw = std::int64_t{3} * width;
    return raw + (4 - raw % 4) % 4;
}

}  // namespace

bool PictureFitsInMemory(std::int64_t pixels, std::int64_t available) {
    // Five bitmaps, the pass's two buffers and its scratch at 4 bytes a
    // pixel, and the decoded picture with its converted copy.
    constexpr std::int64_t kBytesPerPixel = 4 * (5 + 2 + 1) + 8;
    return available < 0 || pixels <= available / kBytesPerPixel;
}

std::int64_t AvailableMemoryFrom(std::istream& memInfo) {
    std::int64_t availableKb = -1, swapFreeKb = 0;
    for (std::string line; std::getline(memInfo, line);) {
        std::istringstream fields(line);  // "MemAvailable:   23733000 kB"
        std::string key;
        std::int64_t kb = 0;
        if (!(fields >> key >> kb) || kb < 0) continue;
        if (key == "MemAvailable:") availableKb = kb;
        else if (key == "SwapFree:") swapFreeKb = kb;
    }
    return availableKb < 0 ? -1 : (availableKb + swapFreeKb) * 1024;
}

std::int64_t AvailableMemory() {
    std::ifstream memInfo("/proc/meminfo");
    return memInfo ? AvailableMemoryFrom(memInfo) : -1;
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

BitmapHandle ReadBmpFile(const std::string& fileName, std::string* reason) {
    return ReadBmpFile(fileName, reason, AvailableMemory());
}

BitmapHandle ReadBmpFile(const std::string& fileName, std::string* reason, std::int64_t availableMemory) {
    // Qt refuses pictures above 128 MB by default; take any size the reader
    // supports and let memory decide.
    QImageReader::setAllocationLimit(0);
    QFile file(ToQString(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason) *reason = file.errorString().toStdString();
        return nullptr;
    }
    QImageReader reader(&file, "bmp");
    reader.setAutoDetectImageFormat(false);  // only BMP files are pictures here
    // The header tells the size: a picture too big for memory is not decoded.
    if (const QSize size = reader.size();
        size.isValid() && !PictureFitsInMemory(std::int64_t{size.width()} * size.height(), availableMemory)) {
        if (reason) *reason = kNoMemory;
        return nullptr;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        if (reason) *reason = reader.errorString().toStdString();
        return nullptr;
    }
    BitmapHandle bitmap = BitmapFromImage(std::move(image));
    if (!bitmap && reason) *reason = kNoMemory;
    return bitmap;
}

void LoadBaseImage(ImageSet& images, const std::string& fileName) {
    ReleaseImages(images);  // the old set goes first, so two never share memory
    InstallBaseImage(images, ReadBmpFile(fileName));
}

std::array<std::uint8_t, 54> BmpHeader(std::int32_t width, std::int32_t height) {
    const auto imageSize = static_cast<std::uint32_t>(RowSize(width) * height);
    std::array<std::uint8_t, 54> h{};
    h[0] = 'B';
    h[1] = 'M';
    PutLe(&h[2], 54 + imageSize, 4);  // bfSize
    PutLe(&h[10], 54, 4);              // bfOffBits
    PutLe(&h[14], 40, 4);              // biSize
    PutLe(&h[18], static_cast<std::uint32_t>(width), 4);
    PutLe(&h[22], static_cast<std::uint32_t>(height), 4);  // positive: bottom-up
    PutLe(&h[26], 1, 2);                                    // biPlanes
    PutLe(&h[28], 24, 2);                                   // biBitCount
    PutLe(&h[34], imageSize, 4);                            // biSizeImage
    return h;
}

WriteResult WriteBmpFile(const std::string& fileName, const Bitmap& bitmap, std::string* reason) {
    const std::int32_t w = bitmap.Width(), h = bitmap.Height();
    const std::int64_t rowSize = RowSize(w);
    if (54 + rowSize * h > 0xFFFFFFFFLL) {  // the header's 32-bit sizes cannot describe it
        if (reason) *reason = "picture too big for a BMP file";
        return WriteResult::WriteFailed;
    }
    QSaveFile file(ToQString(fileName));
    if (!file.open(QIODevice::WriteOnly)) {
        if (reason) *reason = file.errorString().toStdString();
        return WriteResult::CannotCreate;
    }
    // A short write (a full disk stops a write part way without an error)
    // counts as a failure too: the temporary file is then dropped, never
    // committed over the target.
    auto put = [&file](const char* data, std::size_t size) {
        return file.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
    };
    const auto header = BmpHeader(w, h);
    bool complete = put(reinterpret_cast<const char*>(header.data()), header.size());

    // Rows go out bottom row first, blue-green-red, zero padding; a few rows
    // per write keep memory small for big pictures.
    const std::int64_t rowsPerChunk = std::max<std::int64_t>(1, (1 << 20) / rowSize);
    std::vector<char> chunk;
    for (std::int32_t fileRow = 0; complete && fileRow < h;) {
        const std::int32_t end = static_cast<std::int32_t>(std::min<std::int64_t>(h, fileRow + rowsPerChunk));
        chunk.assign(static_cast<std::size_t>(rowSize * (end - fileRow)), 0);
        for (std::int32_t i = fileRow; i < end; ++i) {
            const std::uint32_t* from = bitmap.Scanline(h - 1 - i);
            char* to = chunk.data() + static_cast<std::size_t>(rowSize * (i - fileRow));
            for (std::int32_t x = 0; x < w; ++x) {
                to[3 * x] = static_cast<char>(from[x] & 255u);
                to[3 * x + 1] = static_cast<char>((from[x] >> 8) & 255u);
                to[3 * x + 2] = static_cast<char>((from[x] >> 16) & 255u);
            }
        }
        complete = put(chunk.data(), chunk.size());
        fileRow = end;
    }
    if (!complete) {
        if (reason) *reason = file.errorString().isEmpty() ? "write failed" : file.errorString().toStdString();
        file.cancelWriting();
        file.commit();  // removes the temporary file; the target stays as it was
        return WriteResult::WriteFailed;
    }
    if (!file.commit()) {
        if (reason) *reason = file.errorString().toStdString();
        return WriteResult::WriteFailed;
    }
    return WriteResult::Written;
}

}  // namespace prismview
