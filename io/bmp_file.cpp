#include "io/bmp_file.h"

#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <string>
#include <vector>

namespace prismview {

namespace {

void PutLe(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::int64_t RowSize(std::int32_t width) {
    const std::int64_t raw = std::int64_t{3} * width;
    return raw + (4 - raw % 4) % 4;
}

}  // namespace

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

WriteResult WriteFileAtomically(const std::string& fileName, const std::function<bool(const PutBytes& put)>& produce,
                                std::string* reason) {
    QSaveFile file(QString::fromStdString(fileName));
    // Unbuffered: a buffered write reports success and meets the full disk
    // only in the final flush, which comes back short without an error.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (reason) *reason = file.errorString().toStdString();
        return WriteResult::CannotCreate;
    }
    // A short write (a full disk stops a write part way without an error)
    // counts as a failure too: the temporary file is then dropped, never
    // committed over the target.
    const PutBytes put = [&file](const char* data, std::size_t size) {
        return file.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
    };
    if (!produce(put)) {
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

bool PutBmpBytes(const Bitmap& bitmap, const PutBytes& put) {
    const std::int32_t w = bitmap.Width(), h = bitmap.Height();
    const std::int64_t rowSize = RowSize(w);
    const auto header = BmpHeader(w, h);
    if (!put(reinterpret_cast<const char*>(header.data()), header.size())) return false;
    // Rows go out bottom row first, blue-green-red, zero padding; a few rows
    // per write keep memory small for big pictures. The byte position moves
    // by pointer steps: 3 x width passes the int range for wide pictures.
    const std::int64_t rowsPerChunk = std::max<std::int64_t>(1, (1 << 20) / rowSize);
    std::vector<char> chunk;
    for (std::int32_t fileRow = 0; fileRow < h;) {
        const std::int32_t end = static_cast<std::int32_t>(std::min<std::int64_t>(h, fileRow + rowsPerChunk));
        chunk.assign(static_cast<std::size_t>(rowSize * (end - fileRow)), 0);
        for (std::int32_t i = fileRow; i < end; ++i) {
            const std::uint32_t* from = bitmap.Scanline(h - 1 - i);
            char* to = chunk.data() + static_cast<std::size_t>(rowSize * (i - fileRow));
            for (std::size_t x = 0; x < static_cast<std::size_t>(w); ++x, to += 3) {
                const std::uint32_t v = from[x];  // once: the char stores could alias it
                to[0] = static_cast<char>(v & 255u);
                to[1] = static_cast<char>((v >> 8) & 255u);
                to[2] = static_cast<char>((v >> 16) & 255u);
            }
        }
        if (!put(chunk.data(), chunk.size())) return false;
        fileRow = end;
    }
    return true;
}

WriteResult WriteBmpFile(const std::string& fileName, const Bitmap& bitmap, std::string* reason) {
    // The header's 32-bit sizes cannot describe a bigger file.
    if (54 + RowSize(bitmap.Width()) * bitmap.Height() > 0xFFFFFFFFLL) {
        if (reason) *reason = "picture too big for a BMP file";
        return WriteResult::WriteFailed;
    }
    return WriteFileAtomically(fileName, [&bitmap](const PutBytes& put) { return PutBmpBytes(bitmap, put); }, reason);
}

}  // namespace prismview
