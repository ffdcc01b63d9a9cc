#include "io/picture_file.h"
#include "io/png_writer.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>
#include <cctype>
#include <cstring>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include "io/qt_picture.h"

namespace prismview {

namespace {

// The five shown bitmaps, the four the pass works on beside the window (it
// reads the shown base) and its scratch at 4 bytes a pixel, and the decoded
// picture with its converted copy.
constexpr std::int64_t kBytesPerPixel = 4 * (5 + 4 + 1) + 8;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

constexpr SavableFormat kSavableFormats[] = {
    {SaveFormat::Bmp, "BMP", {"bmp", ""}, "bmp"},     {SaveFormat::Png, "PNG", {"png", ""}, "png"},
    {SaveFormat::Jpeg, "JPEG", {"jpg", "jpeg"}, "jpeg"}, {SaveFormat::Webp, "WebP", {"webp", ""}, "webp"},
    {SaveFormat::Tiff, "TIFF", {"tif", "tiff"}, "tiff"},
};

}  // namespace

bool PictureFitsInMemory(std::int64_t pixels, std::int64_t available) {
    return available < 0 || pixels <= available / kBytesPerPixel;
}

int DecodeLimitMegabytes(std::int64_t available) {
    if (available < 0) return 0;
    const std::int64_t megabytes = (4 * (available / kBytesPerPixel) + (1 << 20) - 1) >> 20;
    return static_cast<int>(std::clamp<std::int64_t>(megabytes, 1, std::numeric_limits<int>::max()));
}

std::string TooBigReason(std::int64_t width, std::int64_t height) {
    const std::int64_t megabytes = (width * height * kBytesPerPixel + (1 << 20) - 1) >> 20;
    return "too big: " + std::to_string(width) + " × " + std::to_string(height) + " pixels need about " +
           std::to_string(megabytes) + " MB";
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

ReadResult ReadPictureFile(const std::string& fileName, std::int64_t availableMemory) {
    QFile file(QString::fromStdString(fileName));
    if (QFileInfo(file).isDir() || !file.open(QIODevice::ReadOnly)) {
        ReadResult result;
        result.failure = ReadFailure::CannotOpen;
        result.reason = QFileInfo(file).isDir() ? "is a folder" : file.errorString().toStdString();
        return result;
    }
    return ReadPicture(file, availableMemory);
}

ReadResult ReadPictureFile(const std::string& fileName) { return ReadPictureFile(fileName, AvailableMemory()); }

ReadResult ReadPictureData(std::string_view bytes, std::int64_t availableMemory) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return ReadPicture(buffer, availableMemory);
}

ReadResult ReadPictureData(std::string_view bytes) { return ReadPictureData(bytes, AvailableMemory()); }

std::vector<std::string> ReadablePatterns() {
    // The common ones first, in the order people look for them.
    std::vector<std::string> patterns;
    std::set<std::string> known;
    for (const char* common : {"bmp", "png", "jpg", "jpeg", "gif", "tif", "tiff", "webp"}) known.insert(common);
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const char* common : {"bmp", "png", "jpg", "jpeg", "gif", "tif", "tiff", "webp"})
        if (formats.contains(QByteArray(common))) patterns.push_back(std::string("*.") + common);
    for (const QByteArray& format : formats)
        if (!known.count(format.toStdString())) patterns.push_back("*." + Lower(format.toStdString()));
    return patterns;
}

SaveFormat SaveFormatFor(std::string_view fileName) {
    const std::size_t slash = fileName.find_last_of('/');
    const std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const std::size_t dot = base.find_last_of('.');
    if (dot == std::string_view::npos) return SaveFormat::Bmp;
    const std::string extension = Lower(base.substr(dot + 1));
    for (const SavableFormat& known : kSavableFormats)
        for (std::string_view name : known.extensions)
            if (!name.empty() && name == extension) return known.format;
    return SaveFormat::Unknown;
}

std::span<const SavableFormat> SavableFormats() { return kSavableFormats; }

std::string SavableExtensions() {
    std::string list;
    for (const SavableFormat& known : kSavableFormats)
        for (std::string_view name : known.extensions)
            if (!name.empty()) list += (list.empty() ? "." : " .") + std::string(name);
    return list;
}

namespace {

// The format Qt writes for a name, or null (BMP is ours; an unknown
// extension has none).
const SavableFormat* QtWrittenFormat(const std::string& fileName) {
    const SaveFormat format = SaveFormatFor(fileName);
    const auto known = std::find_if(std::begin(kSavableFormats), std::end(kSavableFormats),
                                    [format](const SavableFormat& f) { return f.format == format; });
    return format == SaveFormat::Bmp || known == std::end(kSavableFormats) ? nullptr : &*known;
}

// Encoded in memory first: Qt's encoders do not all notice a short write,
// and only complete bytes may replace the target.
WriteResult Encode(const SavableFormat& known, const Bitmap& bitmap, QByteArray& encoded, std::string* reason,
                   const WriteOptions& options) {
    if (known.format == SaveFormat::Png) {
        std::string png;
        if (!EncodePng(bitmap, png)) {
            if (reason) *reason = "out of memory";
            return WriteResult::WriteFailed;
        }
        encoded = QByteArray(png.data(), static_cast<qsizetype>(png.size()));
        return WriteResult::Written;
    }
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, known.qtFormat);
    if (known.format == SaveFormat::Jpeg) writer.setQuality(std::clamp(options.quality, 1, 100));
    // Qt's WebP writer turns lossless at quality 100 and above.
    if (known.format == SaveFormat::Webp) writer.setQuality(options.lossless ? 100 : std::clamp(options.quality, 1, 99));
    if (known.format == SaveFormat::Tiff) writer.setCompression(1);  // lossless LZW
    // The bitmap's rows are already RGB32 (opaque 0xFFRRGGBB, top down):
    // the encoder reads them in place.
    const QImage image(reinterpret_cast<const uchar*>(bitmap.Scanline(0)), bitmap.Width(), bitmap.Height(),
                       static_cast<qsizetype>(bitmap.BytesPerLine()), QImage::Format_RGB32);
    if (!writer.write(image)) {
        if (reason) *reason = writer.errorString().toStdString();
        return WriteResult::WriteFailed;
    }
    return WriteResult::Written;
}

WriteResult UnknownExtension(std::string* reason) {
    if (reason) *reason = "no picture format has this extension (known: " + SavableExtensions() + ")";
    return WriteResult::UnknownFormat;
}

WriteResult WriteEncoded(const std::string& fileName, const QByteArray& encoded, std::string* reason) {
    return WriteFileAtomically(fileName, [&encoded](const PutBytes& put) {
        return put(encoded.constData(), static_cast<std::size_t>(encoded.size()));
    }, reason);
}

}  // namespace

WriteResult WritePictureFile(const std::string& fileName, const Bitmap& bitmap, std::string* reason,
                             const WriteOptions& options) {
    if (SaveFormatFor(fileName) == SaveFormat::Bmp) return WriteBmpFile(fileName, bitmap, reason);
    const SavableFormat* known = QtWrittenFormat(fileName);
    if (!known) return UnknownExtension(reason);
    QByteArray encoded;
    const WriteResult encodedResult = Encode(*known, bitmap, encoded, reason, options);
    return encodedResult == WriteResult::Written ? WriteEncoded(fileName, encoded, reason) : encodedResult;
}

std::size_t WritePictureFiles(std::span<const PictureToWrite> pictures, std::string* reason,
                              const WriteOptions& options) {
    std::vector<QByteArray> encoded(pictures.size());
    std::vector<WriteResult> results(pictures.size(), WriteResult::Written);
    std::vector<std::string> reasons(pictures.size());
    {
        std::vector<std::jthread> encoders;
        for (std::size_t i = 0; i < pictures.size(); ++i)
            if (const SavableFormat* known = QtWrittenFormat(pictures[i].fileName))
                encoders.emplace_back([&, i, known] { results[i] = Encode(*known, *pictures[i].bitmap, encoded[i], &reasons[i], options); });
    }
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const std::string& fileName = pictures[i].fileName;
        WriteResult result = results[i];
        if (SaveFormatFor(fileName) == SaveFormat::Bmp) result = WriteBmpFile(fileName, *pictures[i].bitmap, &reasons[i]);
        else if (!QtWrittenFormat(fileName)) result = UnknownExtension(&reasons[i]);
        else if (result == WriteResult::Written) result = WriteEncoded(fileName, encoded[i], &reasons[i]);
        if (result != WriteResult::Written) {
            if (reason) *reason = reasons[i];
            return i;
        }
        encoded[i] = QByteArray();  // written: its bytes go at once
    }
    return pictures.size();
}

std::size_t WritePictureSet(std::span<const PictureToWrite> pictures, std::string* reason,
                            const WriteOptions& options) {
    namespace fs = std::filesystem;
    std::vector<fs::path> targets, parts;
    std::vector<PictureToWrite> staged;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        std::error_code error;
        fs::path target = pictures[i].fileName;
        if (fs::is_symlink(target, error)) target = fs::weakly_canonical(target, error);
        // The extension stays last: it chooses the format.
        fs::path part = target.parent_path() /
                        ("." + target.filename().string() + ".part-" + std::to_string(::getpid()) + target.extension().string());
        targets.push_back(target);
        parts.push_back(part);
        staged.push_back({part.string(), pictures[i].bitmap});
    }
    auto dropParts = [&] {
        std::error_code ignored;
        for (const fs::path& part : parts) fs::remove(part, ignored);
    };
    const std::size_t written = WritePictureFiles(staged, reason, options);
    if (written < staged.size()) {
        dropParts();
        return written;
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
        std::error_code error;
        // A folder of the target's name would take the file inside it: refused before anything moves.
        if (fs::is_directory(targets[i], error)) {
            if (reason) *reason = targets[i].string() + " is a folder";
            dropParts();
            return i;
        }
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
        std::error_code error;
        fs::rename(parts[i], targets[i], error);
        if (error) {
            if (reason) *reason = error.message();
            for (std::size_t j = i; j < parts.size(); ++j) fs::remove(parts[j], error);
            return i;
        }
    }
    return pictures.size();
}

}  // namespace prismview
