// prismview-batch: the processing pass without a window. Reads a picture as
// the base image, runs one mode and writes the four derived images.
#include <QCoreApplication>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "core/colour.h"
#include "core/process.h"
#include "effects/mode_table.h"
#include "io/picture_file.h"
#include "tools/batch_arguments.h"
#include "tools/batch_options.h"
#include "prismview_version.h"

using namespace prismview;

namespace {

[[noreturn]] void Fail(int status, const std::string& message) {
    std::fprintf(stderr, "prismview-batch: %s\n", message.c_str());
    std::exit(status);
}

std::string Usage() {
    std::string text =
        "Usage: prismview-batch [OPTIONS] INPUT OUTPUT_PREFIX\n"
        "Reads INPUT (BMP, PNG, JPEG, GIF, TIFF, WebP or any other picture Qt reads here;\n"
        "- for standard input) as the base image, runs one processing mode and writes the\n"
        "four derived images as OUTPUT_PREFIX1.bmp .. OUTPUT_PREFIX4.bmp (24-bit BMP, or the\n"
        "format of --format). Prints the four image captions, one per line.\n\n"
        "Options (each also as --option=value):\n" +
        ParameterHelp() +
        "  --format FORMAT      output format: bmp, png, jpg, webp or tif (default bmp)\n"
        "  --slots LIST         write only these slots, such as 1,3 (default 1,2,3,4)\n"
        "  --force              overwrite existing output files\n"
        "  --probe X,Y          after the captions, print the colour at picture point X,Y (from the\n"
        "                       top left) of the base image and the four outputs; repeatable\n"
        "  --probe-format FORMAT  how: table (default), csv or json\n"
        "  -h, --help           show this text\n"
        "  --version            show the program's version\n\n"
        "Modes:\n";
    for (const ModeSpec* mode : AllModes()) {
        char line[160];
        std::snprintf(line, sizeof line, "  %2d  %-18s %s\n", mode->mode, std::string(mode->name).c_str(),
                      std::string(mode->menuCaption).c_str());
        text += line;
    }
    return text;
}

// Some decoders (libpng) print their own complaints on stderr; the tool
// reports a failure once, in its own words.
class QuietStderr {
public:
    QuietStderr() : saved_(dup(STDERR_FILENO)) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDERR_FILENO);
            close(null);
        }
    }
    ~QuietStderr() {
        if (saved_ < 0) return;
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_;
};

ReadResult ReadInput(const std::string& input) {
    const QuietStderr quiet;
    if (input != "-") return ReadPictureFile(input);
    const std::string bytes{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    return ReadPictureData(bytes);
}

// The colour terms of every probed point on the base image and the four
// outputs, in that order.
void PrintProbes(const ImageSet& images, const std::vector<std::array<std::int32_t, 2>>& probes,
                 const std::string& format) {
    auto terms = [&](int slot, std::int32_t x, std::int32_t y) {
        return TermsOf(images.bitmaps[static_cast<std::size_t>(slot)]->Scanline(y)[x]);
    };
    auto hue = [](const ColourTerms& t, const char* none) { return t.hue ? std::to_string(*t.hue) : std::string(none); };
    auto hex = [](const ColourTerms& t) {
        char text[8];
        std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(t.colour));
        return std::string(text);
    };
    if (format == "csv") std::printf("x,y,image,colour,r,g,b,hue,l,t\n");
    if (format == "json") std::printf("[");
    for (std::size_t i = 0; i < probes.size(); ++i) {
        const auto [x, y] = probes[i];
        if (format == "table") std::printf("%d,%d", x, y);
        if (format == "json") std::printf("%s{\"x\": %d, \"y\": %d, \"images\": [", i ? ", " : "", x, y);
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const ColourTerms t = terms(slot, x, y);
            if (format == "table") std::printf("  %d: %s", slot, TermsText(t).c_str());
            if (format == "csv")
                std::printf("%d,%d,%d,%s,%d,%d,%d,%s,%d,%d\n", x, y, slot, hex(t).c_str(), t.r, t.g, t.b,
                            hue(t, "").c_str(), t.l, t.t);
            if (format == "json")
                std::printf("%s{\"image\": %d, \"colour\": \"%s\", \"r\": %d, \"g\": %d, \"b\": %d, \"hue\": %s, "
                            "\"l\": %d, \"t\": %d}",
                            slot ? ", " : "", slot, hex(t).c_str(), t.r, t.g, t.b, hue(t, "null").c_str(), t.l, t.t);
        }
        if (format == "table") std::printf("\n");
        if (format == "json") std::printf("]}");
    }
    if (format == "json") std::printf("]\n");
}

}  // namespace

int main(int argc, char** argv) {
    // Errors are reported once, in our own words; Qt's diagnostics stay out of stderr.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QCoreApplication app(argc, argv);
    const BatchArguments arguments = ParseBatchArguments(QCoreApplication::arguments());
    if (arguments.status != 0) Fail(arguments.status, arguments.error);
    if (arguments.help) {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }
    if (arguments.version) {
        std::printf("prismview-batch %s\n", PRISMVIEW_VERSION);
        return 0;
    }
    const ProcessingParams& params = arguments.params;
    const ModeSpec* mode = FindMode(params.effectMode);  // a parsed mode is always there
    const std::string& input = arguments.input;
    const std::string& prefix = arguments.prefix;
    const std::string& extension = arguments.extension;
    const std::array<bool, 4>& written = arguments.slots;

    std::string outputs[4];
    for (int i = 0; i < 4; ++i) {
        outputs[i] = prefix + std::to_string(i + 1) + "." + extension;
        if (written[i] && !arguments.force && QFileInfo::exists(QString::fromStdString(outputs[i])))
            Fail(1, "output exists: " + outputs[i] + " (use --force to overwrite)");
    }

    ReadResult base = ReadInput(input);
    if (!base.bitmap) Fail(1, "cannot read " + input + ": " + base.reason);
    // A probe outside the picture is known before anything is written.
    for (const auto& [x, y] : arguments.probes) {
        if (x < base.bitmap->Width() && y < base.bitmap->Height()) continue;
        std::string message = "probe point ";
        message += std::to_string(x) + "," + std::to_string(y);
        message += " lies outside the picture (";
        message += std::to_string(base.bitmap->Width()) + " x " + std::to_string(base.bitmap->Height()) + ")";
        Fail(1, message);
    }
    ImageSet images;
    InstallBaseImage(images, std::move(base.bitmap));
    for (int slot = 1; slot < kSlotCount; ++slot)
        if (!images.bitmaps[slot]) Fail(1, "not enough memory for the derived images");

    if (!ProcessImages(images, mode, params))
        Fail(1, "not enough memory to process " + input);  // half-done images are never written

    std::string reason;
    for (int i = 0; i < 4; ++i) {
        if (written[i] && WritePictureFile(outputs[i], *images.bitmaps[i + 1], &reason) != WriteResult::Written)
            Fail(1, "cannot write " + outputs[i] + ": " + reason);
    }
    const Labels labels = LabelsOf(mode);
    for (int slot = 1; slot < kSlotCount; ++slot) std::printf("%s\n", labels[slot].c_str());
    PrintProbes(images, arguments.probes, arguments.probeFormat);
    return 0;
}
