// prismview-batch: the processing pass without a window. Reads a picture as
// the base image, runs one mode and writes the four derived images.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <future>
#include <iostream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/colour.h"
#include "core/colour_chart.h"
#include "core/colour_counts.h"
#include "core/process.h"
#include "app/sweep.h"
#include "effects/mode_table.h"
#include "io/picture_file.h"
#include "tools/batch_arguments.h"
#include "tools/batch_options.h"
#include "tools/histogram_text.h"
#include "tools/overview.h"
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
        "       prismview-batch [OPTIONS] INPUT... --output-dir DIR\n"
        "       prismview-batch [OPTIONS] --sweep NAME=FROM:TO:FRAMES (--slot N | --gallery) INPUT OUTPUT\n"
        "       prismview-batch [OPTIONS] --overview OUT.png [--size N] INPUT\n"
        "       prismview-batch --chart WxH OUTPUT\n"
        "       prismview-batch [PASS OPTIONS] --slots N --then [PASS OPTIONS] ... INPUT OUTPUT_PREFIX\n"
        "Reads INPUT (BMP, PNG, JPEG, GIF, TIFF, WebP or any other picture Qt reads here;\n"
        "- for standard input) as the base image, runs one processing mode and writes the\n"
        "four derived images as OUTPUT_PREFIX1.bmp .. OUTPUT_PREFIX4.bmp (24-bit BMP, or the\n"
        "format of --format). Prints the four image captions, one per line.\n\n"
        "Options (each also as --option=value):\n" +
        ParameterHelp() +
        "  --format FORMAT      output format: bmp, png, jpg, webp or tif (default bmp)\n"
        "  --slots LIST         write only these slots, such as 1,3 (default 1,2,3,4)\n"
        "  --force              overwrite existing output files\n"
        "  --allow-damaged      process an input the decoder could read only in part (a file cut\n"
        "                       short or corrupt) with a warning, instead of refusing it\n"
        "  --output-dir DIR     process every INPUT and write into DIR; an input that fails (a\n"
        "                       damaged one too, without --allow-damaged) is reported and\n"
        "                       skipped, and the exit status is then 1\n"
        "  --output-pattern PATTERN  names with --output-dir: {name} (the input's name without\n"
        "                       extension), {slot} (required) and {ext}; default {name}_{slot}.{ext}\n"
        "  --probe X,Y          after the captions, print the colour at picture point X,Y (from the\n"
        "                       top left) of the base image and the four outputs; repeatable\n"
        "  --probe-format FORMAT  how: table (default), csv or json\n"
        "  --histogram FORMAT   after writing, print the exact colour counts over every pixel of the\n"
        "                       base image and each written output as csv or json: 256 bins each of\n"
        "                       R, G and B, 511 of L = max + min, 766 of T = R + G + B, 1530 of the\n"
        "                       hue (pixels with max = min counted apart as greys) and 256 of the\n"
        "                       spread max - min; standard output then holds only that (the captions\n"
        "                       go to standard error); not with --probe\n"
        "  --chart WxH          write the built-in colour chart, W x H pixels (1..16384 each), to\n"
        "                       OUTPUT (its type by the extension): every hue of the wheel across,\n"
        "                       L from 0 (black) at the top to 510 (white) at the bottom, each colour\n"
        "                       as saturated as its L allows, and the greys of each row's L in a band\n"
        "                       down the right edge (a 32nd of the width)\n" +
        SweepHelp() +
        "  --slot N             with --sweep: frames of image N (0 the base, 1..4 the outputs)\n"
        "  --gallery            with --sweep: frames of all five images, three by two\n"
        "  --format FORMAT      with --sweep: webp (animated, the default), png (numbered frames in\n"
        "                       the folder OUTPUT) or sheet (one picture of all frames and values)\n"
        "  --size N             with --sweep: a frame's longer side at most (default 1024; 0: the\n"
        "                       picture's size)\n"
        "  --overview FILE      write one picture (PNG, or the type of FILE's extension) of every\n"
        "                       mode's four images, with the mode's caption and the images' labels\n"
        "                       under them, as the window's browser shows them: made from a copy of\n"
        "                       INPUT shrunk to the thumbnails' size, with the lengths (amplitude,\n"
        "                       wavelength, centre) shrunk alike, so they look like the exact images\n"
        "                       shrunk but are not those pixels; the parameters apply, --mode not\n"
        "  --size N             with --overview: each image's longer side at most, 16..512\n"
        "                       (default 160; a smaller picture keeps its size)\n"
        "  --quality N          jpg and webp outputs at quality 1..100 (default 95), or webp\n"
        "                       lossless with --quality lossless; with --sweep and webp: lossy at\n"
        "                       quality 0..100 (default lossless)\n"
        "  --then               end one pass and start the next: the pass before it (its mode and\n"
        "                       values, and --slots N for the one image it hands on) runs first,\n"
        "                       and its image N is the next pass's base; any number of passes, the\n"
        "                       last one's images written as without --then (every form: many\n"
        "                       inputs, --sweep, --overview, --histogram); what the window's\n"
        "                       現在の画像をベース画像にする does, in a command\n"
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

// The input read, and with --then the passes before the last one run on it.
ReadResult ReadBase(const BatchArguments& arguments, const std::string& input) {
    ReadResult read = ReadInput(input);
    if (!read.bitmap || arguments.chain.empty()) return read;
    read.bitmap = ApplyChain(*read.bitmap, arguments.chain);
    if (!read.bitmap) read.reason = "not enough memory for the passes before --then";
    return read;
}

// A caption as a JSON string's contents.
std::string JsonText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

// The colour terms of every probed point on the base image and the four
// outputs, in that order. CSV and JSON carry each image's caption in their
// own form, and standard output holds nothing else, for scripts.
void PrintProbes(const ImageSet& images, const Labels& labels, const std::vector<std::array<std::int32_t, 2>>& probes,
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
    if (format == "csv") std::printf("x,y,image,colour,r,g,b,hue,l,t,caption\n");
    if (format == "json") std::printf("[");
    for (std::size_t i = 0; i < probes.size(); ++i) {
        const auto [x, y] = probes[i];
        if (format == "table") std::printf("%d,%d", x, y);
        if (format == "json") std::printf("%s{\"x\": %d, \"y\": %d, \"images\": [", i ? ", " : "", x, y);
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const ColourTerms t = terms(slot, x, y);
            if (format == "table") std::printf("  %d: %s", slot, TermsText(t).c_str());
            if (format == "csv")
                std::printf("%d,%d,%d,%s,%d,%d,%d,%s,%d,%d,%s\n", x, y, slot, hex(t).c_str(), t.r, t.g, t.b,
                            hue(t, "").c_str(), t.l, t.t, labels[static_cast<std::size_t>(slot)].c_str());
            if (format == "json")
                std::printf("%s{\"image\": %d, \"caption\": \"%s\", \"colour\": \"%s\", \"r\": %d, \"g\": %d, "
                            "\"b\": %d, \"hue\": %s, \"l\": %d, \"t\": %d}",
                            slot ? ", " : "", slot, JsonText(labels[static_cast<std::size_t>(slot)]).c_str(),
                            hex(t).c_str(), t.r, t.g, t.b, hue(t, "null").c_str(), t.l, t.t);
        }
        if (format == "table") std::printf("\n");
        if (format == "json") std::printf("]}");
    }
    if (format == "json") std::printf("]\n");
}

// A damaged input is refused in the words of any unreadable one; with
// --allow-damaged it is processed and `warning` says so.
std::string CheckDamage(const BatchArguments& arguments, const std::string& input, const ReadResult& read,
                        std::string& warning) {
    if (read.damage.empty()) return {};
    if (!arguments.allowDamaged) return "cannot read " + input + ": damaged: " + read.damage;
    warning = "warning: " + input + " is damaged, processed as read: " + read.damage;
    return {};
}

// The chosen slots' outputs, in slot order (each encoded on a core of its
// own, then written in that order).
std::vector<PictureToWrite> OutputsToWrite(const std::array<bool, 4>& slots, const std::array<std::string, 4>& names,
                                           const ImageSet& images) {
    std::vector<PictureToWrite> pictures;
    for (std::size_t i = 0; i < 4; ++i)
        if (slots[i]) pictures.push_back({names[i], images.bitmaps[i + 1].get()});
    return pictures;
}

// One input of many: reads it, runs the pass and writes its outputs, or
// says why not (the run goes on with the next input).
std::string ProcessOne(const BatchArguments& arguments, const std::string& input,
                       const std::array<std::string, 4>& outputs, std::string& warning) {
    // The input first: a name that is wrong is the first thing to hear of.
    ReadResult base = ReadBase(arguments, input);
    if (!base.bitmap) return "cannot read " + input + ": " + base.reason;
    if (std::string refused = CheckDamage(arguments, input, base, warning); !refused.empty()) return refused;
    for (int i = 0; i < 4; ++i)
        if (arguments.slots[static_cast<std::size_t>(i)] && !arguments.force &&
            QFileInfo::exists(QString::fromStdString(outputs[static_cast<std::size_t>(i)])))
            return "output exists: " + outputs[static_cast<std::size_t>(i)] + " (use --force to overwrite)";
    ImageSet images;
    InstallBaseImage(images, std::move(base.bitmap));
    for (int slot = 1; slot < kSlotCount; ++slot)
        if (!images.bitmaps[slot]) return "not enough memory for the derived images of " + input;
    if (!ProcessImages(images, FindMode(arguments.params.effectMode), arguments.params))
        return "not enough memory to process " + input;
    const std::vector<PictureToWrite> written = OutputsToWrite(arguments.slots, outputs, images);
    std::string reason;
    const std::size_t failed = WritePictureFiles(written, &reason, arguments.writeOptions);
    if (failed < written.size()) return "cannot write " + written[failed].fileName + ": " + reason;
    return {};
}

// The output of one slot of an input under --output-pattern.
std::string OutputName(const BatchArguments& arguments, const std::string& input, int slot) {
    std::string name = arguments.outputPattern;
    auto replace = [&name](const std::string& key, const std::string& value) {
        for (std::size_t at = name.find(key); at != std::string::npos; at = name.find(key, at + value.size()))
            name.replace(at, key.size(), value);
    };
    replace("{name}", QFileInfo(QString::fromStdString(input)).completeBaseName().toStdString());
    replace("{slot}", std::to_string(slot));
    replace("{ext}", arguments.extension);
    return arguments.outputDir + "/" + name;
}

// prismview-batch INPUT... --output-dir DIR: every input with the same
// parameters, one after the other (each pass uses every core); a failed input
// is told on its own line and the others go on. A progress line on a
// terminal. Exit status 1 when any input failed.
int ProcessMany(const BatchArguments& arguments) {
    const std::vector<std::string>& inputs = arguments.inputs;
    std::vector<std::array<std::string, 4>> names(inputs.size());
    std::set<std::string> taken;
    for (std::size_t i = 0; i < inputs.size(); ++i)
        for (int slot = 1; slot <= 4; ++slot) {
            names[i][static_cast<std::size_t>(slot - 1)] = OutputName(arguments, inputs[i], slot);
            if (arguments.slots[static_cast<std::size_t>(slot - 1)] &&
                !taken.insert(names[i][static_cast<std::size_t>(slot - 1)]).second)
                Fail(2, "two inputs would write " + names[i][static_cast<std::size_t>(slot - 1)] +
                            " (inputs of the same name: use another --output-pattern)");
        }
    if (!QDir().mkpath(QString::fromStdString(arguments.outputDir)))
        Fail(1, "cannot make the folder " + arguments.outputDir);
    const bool terminal = isatty(STDERR_FILENO) != 0;
    const auto start = std::chrono::steady_clock::now();
    std::size_t failed = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        for (std::size_t slot = 0; slot < 4; ++slot)
            if (arguments.slots[slot]) QDir().mkpath(QFileInfo(QString::fromStdString(names[i][slot])).path());
        std::string warning;
        const std::string error = ProcessOne(arguments, inputs[i], names[i], warning);
        if (terminal) std::fputs("\r\033[K", stderr);  // the progress line gives way
        if (!warning.empty()) std::fprintf(stderr, "prismview-batch: %s\n", warning.c_str());
        if (!error.empty()) {
            ++failed;
            std::fprintf(stderr, "prismview-batch: %s\n", error.c_str());
        }
        if (terminal) {
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const double rate = static_cast<double>(i + 1) / std::max(seconds, 1e-3);
            const double left = static_cast<double>(inputs.size() - i - 1) / rate;
            std::fprintf(stderr, "%zu/%zu files, %.1f files/s, %d:%02d left", i + 1, inputs.size(), rate,
                         static_cast<int>(left) / 60, static_cast<int>(left) % 60);
            std::fflush(stderr);
        }
    }
    if (terminal) std::fputs("\n", stderr);
    if (failed == 0) return 0;
    std::fprintf(stderr, "prismview-batch: %zu of %zu inputs failed\n", failed, inputs.size());
    return 1;
}

// prismview-batch --sweep: the frames of one input into one output, a
// progress line on a terminal. Nothing is left behind when it fails.
int SweepOne(const BatchArguments& arguments) {
    const SweepRequest& request = *arguments.sweep;
    ReadResult base = ReadBase(arguments, arguments.input);
    if (!base.bitmap) Fail(1, "cannot read " + arguments.input + ": " + base.reason);
    std::string warning;
    if (std::string refused = CheckDamage(arguments, arguments.input, base, warning); !refused.empty()) Fail(1, refused);
    const QFileInfo target(QString::fromStdString(arguments.output));
    if (!arguments.force) {
        const bool taken = request.format == SweepFormat::PngFrames
                               ? target.isDir() && !QDir(target.filePath()).entryList(QDir::Files).isEmpty()
                               : target.exists();
        if (taken) Fail(1, "output exists: " + arguments.output + " (use --force to overwrite)");
    }
    if (!warning.empty()) std::fprintf(stderr, "prismview-batch: %s\n", warning.c_str());
    const bool terminal = isatty(STDERR_FILENO) != 0;
    std::string reason;
    const SweepResult result =
        RunSweep(*base.bitmap, arguments.params, request, arguments.output,
                 [&](std::int32_t done) {
                     if (terminal) std::fprintf(stderr, "\r\033[K%d/%d frames", done, request.frames);
                     return true;
                 },
                 reason);
    if (terminal) std::fputs("\n", stderr);
    if (result != SweepResult::Written) Fail(1, "cannot write " + arguments.output + ": " + reason);
    return 0;
}

// prismview-batch --overview: the sheet of every mode's images.
int OverviewOne(const BatchArguments& arguments) {
    const std::string& output = arguments.overview;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))  // WantsOverview missed the option's spelling
        Fail(2, "--overview must be spelled out as --overview FILE");
    ReadResult base = ReadBase(arguments, arguments.input);
    if (!base.bitmap) Fail(1, "cannot read " + arguments.input + ": " + base.reason);
    std::string warning;
    if (std::string refused = CheckDamage(arguments, arguments.input, base, warning); !refused.empty()) Fail(1, refused);
    if (!arguments.force && QFileInfo::exists(QString::fromStdString(output)))
        Fail(1, "output exists: " + output + " (use --force to overwrite)");
    if (!warning.empty()) std::fprintf(stderr, "prismview-batch: %s\n", warning.c_str());
    const BitmapHandle sheet = MakeOverview(*base.bitmap, arguments.params, arguments.overviewSize);
    if (!sheet) Fail(1, "not enough memory for the overview of " + arguments.input);
    const PictureToWrite picture{output, sheet.get()};
    std::string reason;
    if (WritePictureFiles({&picture, 1}, &reason) < 1) Fail(1, "cannot write " + output + ": " + reason);
    return 0;
}

// prismview-batch --chart: the colour chart into one file.
int ChartOne(const BatchArguments& arguments) {
    if (!arguments.force && QFileInfo::exists(QString::fromStdString(arguments.output)))
        Fail(1, "output exists: " + arguments.output + " (use --force to overwrite)");
    const BitmapHandle chart = MakeColourChart(arguments.chartWidth, arguments.chartHeight);
    if (!chart) Fail(1, "not enough memory for the chart");
    const PictureToWrite picture{arguments.output, chart.get()};
    std::string reason;
    if (WritePictureFiles({&picture, 1}, &reason) < 1) Fail(1, "cannot write " + arguments.output + ": " + reason);
    return 0;
}

// --histogram: the counts of the base and of each written output, in slot
// order. They are made while the outputs are written (the counting reads the
// same images the writers read).
std::vector<CountedImage> CountImages(const ImageSet& images, const Labels& labels, const std::array<bool, 4>& written) {
    std::vector<CountedImage> counted;
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (slot == 0 || written[static_cast<std::size_t>(slot - 1)])
            counted.push_back({slot, labels[static_cast<std::size_t>(slot)],
                               CountColours(*images.bitmaps[static_cast<std::size_t>(slot)])});
    return counted;
}

// Whether the command line asks for the overview, before it is parsed: that
// needs fonts, and so an application with a (screenless) display platform.
bool WantsOverview(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") break;
        for (std::string_view name : {"--overview", "-overview"})
            if (argument == name || (argument.size() > name.size() && argument.substr(0, name.size() + 1) == std::string(name) + "="))
                return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // Errors are reported once, in our own words; Qt's diagnostics stay out of stderr.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    std::unique_ptr<QCoreApplication> application;
    if (WantsOverview(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");  // text needs fonts, never a window
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
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
    if (!arguments.outputDir.empty()) return ProcessMany(arguments);
    if (arguments.sweep) return SweepOne(arguments);
    if (!arguments.overview.empty()) return OverviewOne(arguments);
    if (arguments.chartWidth > 0) return ChartOne(arguments);
    const ProcessingParams& params = arguments.params;
    const ModeSpec* mode = FindMode(params.effectMode);  // a parsed mode is always there
    const std::string& input = arguments.input;
    const std::string& prefix = arguments.prefix;
    const std::string& extension = arguments.extension;
    const std::array<bool, 4>& written = arguments.slots;

    // The input first: a name that is wrong is the first thing to hear of.
    ReadResult base = ReadBase(arguments, input);
    if (!base.bitmap) Fail(1, "cannot read " + input + ": " + base.reason);
    std::string warning;
    if (std::string refused = CheckDamage(arguments, input, base, warning); !refused.empty()) Fail(1, refused);
    std::string outputs[4];
    for (int i = 0; i < 4; ++i) {
        outputs[i] = prefix + std::to_string(i + 1) + "." + extension;
        if (written[i] && !arguments.force && QFileInfo::exists(QString::fromStdString(outputs[i])))
            Fail(1, "output exists: " + outputs[i] + " (use --force to overwrite)");
    }
    if (!warning.empty()) std::fprintf(stderr, "prismview-batch: %s\n", warning.c_str());
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

    const Labels labels = LabelsOf(mode);
    std::future<std::vector<CountedImage>> counts;
    if (!arguments.histogram.empty())
        counts = std::async(std::launch::async, [&] { return CountImages(images, labels, written); });
    const std::vector<PictureToWrite> pictures =
        OutputsToWrite(written, {outputs[0], outputs[1], outputs[2], outputs[3]}, images);
    std::string reason;
    const std::size_t failed = WritePictureFiles(pictures, &reason, arguments.writeOptions);
    if (counts.valid()) counts.wait();  // the images stay until the counting is done with them
    if (failed < pictures.size()) Fail(1, "cannot write " + pictures[failed].fileName + ": " + reason);
    // Scripts that asked for CSV or JSON get only that on standard output.
    const bool forScripts =
        arguments.probeFormat == "csv" || arguments.probeFormat == "json" || !arguments.histogram.empty();
    for (int slot = 1; slot < kSlotCount; ++slot) std::fprintf(forScripts ? stderr : stdout, "%s\n", labels[slot].c_str());
    PrintProbes(images, labels, arguments.probes, arguments.probeFormat);
    if (counts.valid()) {
        const std::vector<CountedImage> counted = counts.get();
        const std::string text = arguments.histogram == "json" ? HistogramJson(counted) : HistogramCsv(counted);
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
    return 0;
}
