// The time and size of saving one picture as each of the program's savable
// formats, as the window and the batch tool write them, beside Qt's PNG
// writer at zlib's default level (the size a PNG is measured against).
//   prismview-save-bench PICTURE [REPEATS]
#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "io/picture_file.h"
#include "io/qt_picture.h"

using namespace prismview;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: prismview-save-bench PICTURE [REPEATS]\n");
        return 2;
    }
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const ReadResult read = ReadPictureFile(argv[1], AvailableMemory());
    if (!read.bitmap) {
        std::fprintf(stderr, "cannot read %s: %s\n", argv[1], read.reason.c_str());
        return 1;
    }
    const Bitmap& bitmap = *read.bitmap;
    std::printf("picture %d x %d\n", bitmap.Width(), bitmap.Height());
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "prismview-save-bench";
    std::filesystem::create_directories(folder);

    // Qt's PNG writer left at its default: zlib's default level.
    {
        const QImage image(reinterpret_cast<const uchar*>(bitmap.Scanline(0)), bitmap.Width(), bitmap.Height(),
                           static_cast<qsizetype>(bitmap.BytesPerLine()), QImage::Format_RGB32);
        double best = 1e9;
        qsizetype size = 0;
        for (int i = 0; i < repeats; ++i) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            const auto start = std::chrono::steady_clock::now();
            QImageWriter writer(&buffer, "png");
            writer.write(image);
            best = std::min(best, Seconds(start));
            size = bytes.size();
        }
        std::printf("%-28s %8.3f s %12lld bytes\n", "png, zlib default (Qt)", best, static_cast<long long>(size));
    }
    const std::pair<const char*, WriteOptions> cases[] = {
        {"bmp", {}}, {"png", {}}, {"jpg", {}}, {"jpg", {75, false}}, {"webp", {}}, {"webp", {95, true}}, {"tif", {}},
    };
    for (const auto& [extension, options] : cases) {
        const std::string name = (folder / (std::string("out.") + extension)).string();
        double best = 1e9;
        for (int i = 0; i < repeats; ++i) {
            const auto start = std::chrono::steady_clock::now();
            std::string reason;
            if (WritePictureFile(name, bitmap, &reason, options) != WriteResult::Written) {
                std::fprintf(stderr, "%s: %s\n", name.c_str(), reason.c_str());
                return 1;
            }
            best = std::min(best, Seconds(start));
        }
        char label[64];
        const bool lossy = !options.lossless && (std::string(extension) == "jpg" || std::string(extension) == "webp");
        std::snprintf(label, sizeof label, "%s%s", extension,
                      options.lossless ? " lossless" : lossy ? (" q" + std::to_string(options.quality)).c_str() : "");
        std::printf("%-28s %8.3f s %12lld bytes\n", label, best, static_cast<long long>(std::filesystem::file_size(name)));
    }
    std::filesystem::remove_all(folder);
    return 0;
}
