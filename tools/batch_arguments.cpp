#include "tools/batch_arguments.h"

#include <QCommandLineParser>

#include <algorithm>
#include <vector>

#include "app/chain.h"
#include "effects/mode_table.h"

#include "tools/batch_options.h"
#include "tools/overview.h"

namespace prismview {

namespace {

BatchArguments BadUsage(std::string error) {
    BatchArguments result;
    result.status = 2;
    result.error = std::move(error);
    return result;
}

// An option for each parameter of the table, in its order.
std::vector<QCommandLineOption> ParameterOptions() {
    std::vector<QCommandLineOption> options;
    for (const ParameterInfo& parameter : kParameterTable) {
        const QString name = QString::fromUtf8(parameter.name.data(), static_cast<qsizetype>(parameter.name.size()));
        options.push_back(parameter.kind == ParameterKind::Flag
                              ? QCommandLineOption(name, QString())
                              : QCommandLineOption(name, QString(), QStringLiteral("VALUE")));
    }
    return options;
}

// The parameters the parsed options set; one value per option.
bool ReadParameters(const QCommandLineParser& parser, const std::vector<QCommandLineOption>& options,
                    ProcessingParams& params, std::string& error) {
    for (std::size_t i = 0; i < options.size(); ++i) {
        const ParameterInfo& parameter = kParameterTable[i];
        if (!parser.isSet(options[i])) continue;
        const QStringList values = parser.values(options[i]);
        if (values.size() > 1) {
            error = "--" + std::string(parameter.name) + " given more than once";
            return false;
        }
        const std::string text = parameter.kind == ParameterKind::Flag ? std::string() : values.first().toStdString();
        if (!ParseParameter(parameter, text, params, error)) return false;
    }
    return true;
}

// The arguments split at each --then before a "--": the passes before the
// last one, and the last with everything else.
std::vector<QStringList> SplitAtThen(const QStringList& arguments) {
    std::vector<QStringList> groups(1, QStringList{arguments.value(0)});
    bool ended = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        ended = ended || arguments[i] == QStringLiteral("--");
        if (!ended && arguments[i] == QStringLiteral("--then")) groups.emplace_back(QStringList{arguments.value(0)});
        else groups.back() << arguments[i];
    }
    return groups;
}

// A pass before --then: parameters and the one slot that becomes the next base.
bool ParseChainStep(const QStringList& group, std::size_t index, ChainStep& step, std::string& error) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const std::vector<QCommandLineOption> parameterOptions = ParameterOptions();
    const QCommandLineOption slots("slots", "", "N");
    for (const QCommandLineOption& option : parameterOptions) parser.addOption(option);
    parser.addOption(slots);
    const std::string which = "pass " + std::to_string(index + 1) + " before --then: ";
    if (!parser.parse(group)) {
        error = which + parser.errorText().toStdString() + " (a pass before --then takes its values and --slots N only)";
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = which + "INPUT and OUTPUT go after the last pass";
        return false;
    }
    if (!ReadParameters(parser, parameterOptions, step.params, error)) {
        error = which + error;
        return false;
    }
    std::array<bool, 4> chosen{};
    const QStringList values = parser.values(slots);
    if (values.size() != 1 || !ParseSlotsOption(values.first().toStdString(), chosen, error) ||
        std::count(chosen.begin(), chosen.end(), true) != 1) {
        error = which + "--slots N names the one image that becomes the next pass's base";
        return false;
    }
    step.slot = static_cast<std::int32_t>(std::find(chosen.begin(), chosen.end(), true) - chosen.begin()) + 1;
    const ModeSpec* mode = FindMode(step.params.effectMode);
    if (mode && ChainSlotIsBlank(*mode, step.slot)) {
        error = which + "image " + std::to_string(step.slot) + " of mode " + std::string(mode->name) + " is blank";
        return false;
    }
    return true;
}

}  // namespace

BatchArguments ParseBatchArguments(const QStringList& arguments) {
    const std::vector<QStringList> groups = SplitAtThen(arguments);
    if (groups.size() > 1) {
        Chain chain;
        for (std::size_t i = 0; i + 1 < groups.size(); ++i) {
            ChainStep step;
            std::string error;
            if (!ParseChainStep(groups[i], i, step, error)) return BadUsage(error);
            chain.push_back(step);
        }
        BatchArguments result = ParseBatchArguments(groups.back());
        if (result.status != 0 || result.help || result.version) return result;
        if (result.chartWidth > 0) return BadUsage("--chart does not go with --then");
        result.chain = std::move(chain);
        return result;
    }
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const std::vector<QCommandLineOption> parameterOptions = ParameterOptions();
    const QCommandLineOption format("format", "", "FORMAT"), slots("slots", "", "LIST"), force("force", ""),
        help(QStringList{"h", "help"}, ""), version("version", ""), probe("probe", "", "X,Y"),
        probeFormat("probe-format", "", "FORMAT"), outputDir("output-dir", "", "DIR"),
        outputPattern("output-pattern", "", "PATTERN"), allowDamaged("allow-damaged", ""),
        sweep("sweep", "", "NAME=FROM:TO:FRAMES"), slot("slot", "", "N"), gallery("gallery", ""), size("size", "", "N"),
        quality("quality", "", "N"), overview("overview", "", "FILE"), histogram("histogram", "", "FORMAT"),
        chart("chart", "", "WxH");
    for (const QCommandLineOption& option : parameterOptions) parser.addOption(option);
    parser.addOptions({format, slots, force, help, version, probe, probeFormat, outputDir, outputPattern, allowDamaged,
                       sweep, slot, gallery, size, quality, overview, histogram, chart});
    if (!parser.parse(arguments)) return BadUsage(parser.errorText().toStdString());
    BatchArguments result;
    if (parser.isSet(help) || parser.isSet(version)) {
        result.help = parser.isSet(help);
        result.version = !result.help;
        return result;
    }

    // One value per option; a second one is a mistake, not an override.
    std::string error;
    auto value = [&parser, &error](const QCommandLineOption& option, std::string& text) {
        const QStringList values = parser.values(option);
        if (values.size() > 1) {
            error = "--" + option.names().last().toStdString() + " given more than once";
            return false;
        }
        text = values.first().toStdString();
        return true;
    };
    if (!ReadParameters(parser, parameterOptions, result.params, error)) return BadUsage(error);
    std::string text;
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(chart)) {
        for (std::size_t i = 0; i < parameterOptions.size(); ++i)
            if (parser.isSet(parameterOptions[i]))
                return BadUsage("--" + std::string(kParameterTable[i].name) + " does not go with --chart");
        for (const QCommandLineOption* other : {&format, &slots, &probe, &probeFormat, &outputDir, &outputPattern,
                                                &allowDamaged, &sweep, &slot, &gallery, &size, &quality, &overview,
                                                &histogram})
            if (parser.isSet(*other))
                return BadUsage("--" + other->names().last().toStdString() + " does not go with --chart");
        if (!value(chart, text) || !ParseChartSizeOption(text, result.chartWidth, result.chartHeight, error))
            return BadUsage(error);
        if (positional.size() != 1) return BadUsage("expected one OUTPUT with --chart (see --help)");
        result.force = parser.isSet(force);
        result.output = positional[0].toStdString();
        return result;
    }
    if (parser.isSet(histogram)) {
        for (const QCommandLineOption* other : {&overview, &sweep, &outputDir, &probe, &probeFormat})
            if (parser.isSet(*other))
                return BadUsage("--" + other->names().last().toStdString() + " does not go with --histogram");
        if (!value(histogram, result.histogram)) return BadUsage(error);
        if (result.histogram != "csv" && result.histogram != "json")
            return BadUsage("--histogram needs csv or json, not '" + result.histogram + "'");
    }
    if (parser.isSet(overview)) {
        for (const QCommandLineOption* other :
             {&sweep, &slots, &slot, &gallery, &format, &quality, &probe, &probeFormat, &outputDir, &outputPattern})
            if (parser.isSet(*other))
                return BadUsage("--" + other->names().last().toStdString() + " does not go with --overview");
        if (!value(overview, result.overview)) return BadUsage(error);
        if (result.overview.empty()) return BadUsage("--overview needs a file name");
        if (parser.isSet(size) && (!value(size, text) || !ParseBoundedOption("size", text, kOverviewMinSize,
                                                                            kOverviewMaxSize, result.overviewSize, error)))
            return BadUsage(error);
        if (positional.size() != 1) return BadUsage("expected one INPUT with --overview (see --help)");
        result.force = parser.isSet(force);
        result.allowDamaged = parser.isSet(allowDamaged);
        result.input = positional[0].toStdString();
        return result;
    }
    if (parser.isSet(sweep)) {
        for (const QCommandLineOption* other : {&slots, &probe, &probeFormat, &outputDir, &outputPattern})
            if (parser.isSet(*other)) return BadUsage("--" + other->names().last().toStdString() + " does not go with --sweep");
        SweepRequest request;
        if (!value(sweep, text) || !ParseSweepOption(text, request, error)) return BadUsage(error);
        if (parser.isSet(slot) == parser.isSet(gallery)) return BadUsage("--sweep needs either --slot N or --gallery");
        if (parser.isSet(slot) && (!value(slot, text) || !ParseBoundedOption("slot", text, 0, 4, request.slot, error)))
            return BadUsage(error);
        if (parser.isSet(format) && (!value(format, text) || !ParseSweepFormatOption(text, request.format, error)))
            return BadUsage(error);
        if (parser.isSet(size) && (!value(size, text) || !ParseBoundedOption("size", text, 0, 65535, request.longSide, error)))
            return BadUsage(error);
        if (parser.isSet(quality)) {
            if (request.format != SweepFormat::Webp) return BadUsage("--quality goes with --format webp");
            if (!value(quality, text) || !ParseBoundedOption("quality", text, 0, 100, request.quality, error))
                return BadUsage(error);
            request.lossless = false;
        }
        if (positional.size() != 2) return BadUsage("expected INPUT and OUTPUT with --sweep (see --help)");
        result.force = parser.isSet(force);
        result.allowDamaged = parser.isSet(allowDamaged);
        result.sweep = request;
        result.input = positional[0].toStdString();
        result.output = positional[1].toStdString();
        return result;
    }
    for (const QCommandLineOption* other : {&slot, &gallery, &size})
        if (parser.isSet(*other)) {
            const bool sized = other == &size;
            return BadUsage("--" + other->names().last().toStdString() + (sized ? " goes with --sweep or --overview" : " goes with --sweep"));
        }
    if (parser.isSet(format) && (!value(format, text) || !ParseFormatOption(text, result.extension, error)))
        return BadUsage(error);
    if (parser.isSet(quality)) {
        const bool webp = result.extension == "webp";
        if (!webp && result.extension != "jpg") return BadUsage("--quality goes with --format jpg or webp");
        if (!value(quality, text)) return BadUsage(error);
        if (webp && text == "lossless") result.writeOptions.lossless = true;
        else if (!ParseBoundedOption("quality", text, 1, 100, result.writeOptions.quality, error)) return BadUsage(error);
    }
    if (parser.isSet(slots) && (!value(slots, text) || !ParseSlotsOption(text, result.slots, error)))
        return BadUsage(error);
    result.force = parser.isSet(force);
    result.allowDamaged = parser.isSet(allowDamaged);
    for (const QString& point : parser.values(probe)) {
        std::array<std::int32_t, 2> xy{};
        if (!ParseProbeOption(point.toStdString(), xy, error)) return BadUsage(error);
        result.probes.push_back(xy);
    }
    if (parser.isSet(probeFormat) && (!value(probeFormat, text) || !ParseProbeFormatOption(text, result.probeFormat, error)))
        return BadUsage(error);

    if (parser.isSet(outputDir)) {
        if (!value(outputDir, result.outputDir)) return BadUsage(error);
        if (result.outputDir.empty()) return BadUsage("--output-dir needs a folder");
        if (parser.isSet(outputPattern) && !value(outputPattern, result.outputPattern)) return BadUsage(error);
        if (result.outputPattern.find("{slot}") == std::string::npos)
            return BadUsage("--output-pattern needs {slot}: the four outputs of an input need names of their own");
        if (positional.isEmpty()) return BadUsage("expected at least one INPUT with --output-dir (see --help)");
        if (!result.probes.empty()) return BadUsage("--probe takes one INPUT, not --output-dir");
        for (const QString& input : positional) result.inputs.push_back(input.toStdString());
        return result;
    }
    if (parser.isSet(outputPattern)) return BadUsage("--output-pattern needs --output-dir");
    if (positional.size() != 2) return BadUsage("expected INPUT and OUTPUT_PREFIX (see --help)");
    result.input = positional[0].toStdString();
    result.prefix = positional[1].toStdString();
    return result;
}

}  // namespace prismview
