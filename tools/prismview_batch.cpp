// prismview-batch: the processing pass without a window. Loads a BMP file as
// the base image, runs one mode and writes the four derived images.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "core/process.h"
#include "effects/effect_table.h"
#include "io/bmp_file.h"
#include "resources/modes.h"
#include "tools/batch_options.h"

using namespace prismview;

namespace {

[[noreturn]] void Fail(int status, const std::string& message) {
    std::fprintf(stderr, "prismview-batch: %s\n", message.c_str());
    std::exit(status);
}

std::string Usage() {
    std::string text =
        "Usage: prismview-batch [OPTIONS] INPUT OUTPUT_PREFIX\n"
        "Loads INPUT (a BMP file) as the base image, runs one processing mode and writes\n"
        "the four derived images as OUTPUT_PREFIX1.bmp .. OUTPUT_PREFIX4.bmp (24-bit BMP).\n"
        "Prints the four image captions, one per line.\n\n"
        "Options (each also as --option=value):\n"
        "  --mode N|NAME        processing mode, number or name (default 0, invert)\n"
        "  --hue N              position on the hue wheel, 0..1529 (default 0)\n"
        "  --level N            lightness/saturation/mixing level, 0..510 (default 0)\n"
        "  --background RRGGBB  background colour, six hex digits (default 000000)\n"
        "  --freq NUM/DEN       wave frequency (default 1/32)\n"
        "  --amplitude N        wave amplitude in pixels (default 16)\n"
        "  --phase NUM/DEN      wave phase (default 0/32)\n"
        "  --overflow N         outside the picture: 0 background, 1 wrap, 2 edge (default 0)\n"
        "  --center X,Y         effect centre relative to the picture's middle (default 0,0)\n"
        "  --start-from-end     count waves from the right or top edge\n"
        "  --force              overwrite existing output files\n"
        "  --help               show this text\n\n"
        "Modes:\n";
    for (std::int32_t mode = 0; mode < kModeCount; ++mode) {
        if (ModeLabelTable[mode].name.empty()) continue;
        char line[160];
        std::snprintf(line, sizeof line, "  %2d  %-18s %s\n", mode, ModeOptionName(mode).c_str(),
                      std::string(ModeLabelTable[mode].menuCaption).c_str());
        text += line;
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    // Errors are reported once, in our own words; Qt's diagnostics stay out of stderr.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption mode("mode", "", "N"), hue("hue", "", "N"), level("level", "", "N"),
        background("background", "", "RRGGBB"), freq("freq", "", "NUM/DEN"), amplitude("amplitude", "", "N"),
        phase("phase", "", "NUM/DEN"), overflow("overflow", "", "N"), center("center", "", "X,Y"),
        startFromEnd("start-from-end", ""), force("force", ""), help("help", "");
    parser.addOptions({mode, hue, level, background, freq, amplitude, phase, overflow, center, startFromEnd,
                       force, help});
    if (!parser.parse(QCoreApplication::arguments())) Fail(2, parser.errorText().toStdString());
    if (parser.isSet(help)) {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }

    AppState state;
    std::string error;
    auto option = [&](const QCommandLineOption& o, auto parse) {
        if (!parser.isSet(o)) return;
        const QStringList values = parser.values(o);
        if (values.size() > 1) Fail(2, "--" + o.names().first().toStdString() + " given more than once");
        if (!parse(values.first().toStdString(), state, error)) Fail(2, error);
    };
    option(mode, ParseModeOption);
    option(hue, ParseHueOption);
    option(level, ParseLevelOption);
    option(background, ParseBackgroundOption);
    option(freq, ParseFreqOption);
    option(amplitude, ParseAmplitudeOption);
    option(phase, ParsePhaseOption);
    option(overflow, ParseOverflowOption);
    option(center, ParseCenterOption);
    if (parser.isSet(startFromEnd)) state.startFromEnd = 1;

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2) Fail(2, "expected INPUT and OUTPUT_PREFIX (see --help)");
    const std::string input = positional[0].toStdString();
    const std::string prefix = positional[1].toStdString();

    std::string outputs[4];
    for (int i = 0; i < 4; ++i) {
        outputs[i] = prefix + std::to_string(i + 1) + ".bmp";
        if (!parser.isSet(force) && QFileInfo::exists(QString::fromStdString(outputs[i])))
            Fail(1, "output exists: " + outputs[i] + " (use --force to overwrite)");
    }

    std::string reason;
    BitmapHandle base = ReadBmpFile(input, &reason);
    if (!base) Fail(1, "cannot read " + input + ": " + reason);
    InstallBaseImage(state.images, std::move(base));
    for (int slot = 1; slot < kSlotCount; ++slot)
        if (!state.images.bitmaps[slot]) Fail(1, "not enough memory for the derived images");

    if (!ProcessImages(state.images, state.labels, state, AllEffects()))
        Fail(1, "not enough memory to process " + input);  // half-done images are never written

    for (int i = 0; i < 4; ++i) {
        if (WriteBmpFile(outputs[i], *state.images.bitmaps[i + 1], &reason) != WriteResult::Written)
            Fail(1, "cannot write " + outputs[i] + ": " + reason);
    }
    for (int slot = 1; slot < kSlotCount; ++slot) std::printf("%s\n", state.labels[slot].c_str());
    return 0;
}
