#include "tools/batch_options.h"

#include <algorithm>
#include <charconv>

#include "core/colour_chart.h"
#include "effects/mode_table.h"
#include "io/picture_file.h"

namespace prismview {

namespace {

bool Fail(std::string& error, const std::string& message) {
    error = message;
    return false;
}

std::string Option(const ParameterInfo& parameter) { return "--" + std::string(parameter.name); }

bool ParseMode(const ParameterInfo& parameter, const std::string& text, std::int32_t& out, std::string& error) {
    std::int32_t number = -1;
    const ModeSpec* mode = ParseInt32(text, number) ? FindMode(number) : FindModeByName(text);
    if (!mode) return Fail(error, Option(parameter) + " needs a mode number or name from --help, not '" + text + "'");
    out = mode->mode;
    return true;
}

bool ParseNumber(const ParameterInfo& parameter, const std::string& text, std::int32_t& out, std::string& error) {
    std::int32_t v = 0;
    const bool parsed = ParseInt32(text, v);
    if (parameter.range && (!parsed || v < parameter.range->lo || v > parameter.range->hi))
        return Fail(error, Option(parameter) + " needs a whole number from " + std::to_string(parameter.range->lo) +
                               " to " + std::to_string(parameter.range->hi) + ", not '" + text + "'");
    if (!parsed) return Fail(error, Option(parameter) + " needs a 32-bit whole number, not '" + text + "'");
    out = v;
    return true;
}

// "A<sep>B" with two 32-bit integers.
bool ParsePair(const ParameterInfo& parameter, const std::string& text, std::int32_t& a, std::int32_t& b,
               std::string& error) {
    const auto at = text.find(parameter.separator);
    std::int32_t first = 0, second = 0;
    if (at == std::string::npos || !ParseInt32(text.substr(0, at), first) || !ParseInt32(text.substr(at + 1), second))
        return Fail(error, Option(parameter) + " needs " + std::string(parameter.valueName) +
                               " with 32-bit whole numbers, not '" + text + "'");
    a = first;
    b = second;
    return true;
}

bool ParseColour(const ParameterInfo& parameter, const std::string& text, RgbValue& out, std::string& error) {
    std::uint32_t colour = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, colour, 16);
    if (text.size() != 6 || ec != std::errc() || stop != end)
        return Fail(error, Option(parameter) + " needs six hex digits " + std::string(parameter.valueName) + ", not '" + text + "'");
    out = colour;
    return true;
}

std::string DefaultText(const ParameterInfo& parameter) {
    const ProcessingParams defaults;
    const std::string value = CommandValue(parameter, defaults);
    if (parameter.kind != ParameterKind::Mode) return value;
    const ModeSpec* mode = FindMode(defaults.*parameter.fields[0].member);
    return value + ", " + std::string(mode ? mode->name : "");
}

}  // namespace

bool ParseInt32(const std::string& text, std::int32_t& value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin == end) return false;
    std::int32_t v = 0;
    const auto [stop, ec] = std::from_chars(begin, end, v);
    if (ec != std::errc() || stop != end) return false;
    value = v;
    return true;
}

bool ParseParameter(const ParameterInfo& parameter, const std::string& text, ProcessingParams& params,
                    std::string& error) {
    switch (parameter.kind) {
        case ParameterKind::Mode: return ParseMode(parameter, text, params.*parameter.fields[0].member, error);
        case ParameterKind::Number: return ParseNumber(parameter, text, params.*parameter.fields[0].member, error);
        case ParameterKind::Pair:
            return ParsePair(parameter, text, params.*parameter.fields[0].member, params.*parameter.fields[1].member, error);
        case ParameterKind::Colour: return ParseColour(parameter, text, params.*parameter.colour, error);
        case ParameterKind::Flag: params.*parameter.fields[0].member = 1; return true;
    }
    return false;
}

std::string ParameterHelp() {
    std::string text;
    for (const ParameterInfo& parameter : kParameterTable) {
        std::string line = "  --" + std::string(parameter.name);
        if (!parameter.valueName.empty()) line += " " + std::string(parameter.valueName);
        line.resize(std::max<std::size_t>(line.size() + 1, 23), ' ');
        line += parameter.description;
        if (parameter.range)
            line += ", " + std::to_string(parameter.range->lo) + ".." + std::to_string(parameter.range->hi);
        if (const std::string defaults = DefaultText(parameter); !defaults.empty()) line += " (default " + defaults + ")";
        text += line + "\n";
    }
    return text;
}

std::string SweepHelp() {
    std::string names;
    for (const SweptField& swept : SweptFields()) names += (names.empty() ? "" : ", ") + std::string(swept.name);
    const std::string text = "--sweep NAME=FROM:TO:FRAMES  write FRAMES frames with the parameter NAME (" + names +
                             ") stepped from FROM to TO, as OUTPUT: prismview-batch [OPTIONS] --sweep ... (--slot N | "
                             "--gallery) INPUT OUTPUT";
    // Wrapped at 87 columns, the later lines under the descriptions.
    constexpr std::size_t kWidth = 87;
    const std::string indent(23, ' ');
    std::string help, line = "  ";
    bool fresh = true;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t space = std::min(text.find(' ', start), text.size());
        const std::string_view word = std::string_view(text).substr(start, space - start);
        start = space + 1;
        if (!fresh && line.size() + 1 + word.size() > kWidth) {
            help += line + "\n";
            line = indent;
        } else if (!fresh) {
            line += ' ';
        }
        line += word;
        fresh = false;
    }
    return help + line + "\n";
}

bool ParseFormatOption(const std::string& text, std::string& extension, std::string& error) {
    std::string names;
    const std::span<const SavableFormat> formats = SavableFormats();
    for (std::size_t i = 0; i < formats.size(); ++i) {
        const std::string_view usual = formats[i].extensions[0];
        if (text == usual) {
            extension = text;
            return true;
        }
        names += (i == 0 ? "" : i + 1 == formats.size() ? " or " : ", ") + std::string(usual);
    }
    return Fail(error, "--format needs " + names + ", not '" + text + "'");
}

bool ParseProbeOption(const std::string& text, std::array<std::int32_t, 2>& point, std::string& error) {
    const auto at = text.find(',');
    std::int32_t x = -1, y = -1;
    if (at == std::string::npos || !ParseInt32(text.substr(0, at), x) || !ParseInt32(text.substr(at + 1), y) || x < 0 ||
        y < 0)
        return Fail(error, "--probe needs X,Y with whole numbers from 0, not '" + text + "'");
    point = {x, y};
    return true;
}

bool ParseChartSizeOption(const std::string& text, std::int32_t& width, std::int32_t& height, std::string& error) {
    const auto at = text.find('x');
    std::int32_t w = 0, h = 0;
    if (at == std::string::npos || !ParseInt32(text.substr(0, at), w) || !ParseInt32(text.substr(at + 1), h) || w < 1 ||
        h < 1 || w > kMaxChartSide || h > kMaxChartSide)
        return Fail(error, "--chart needs WxH with whole numbers 1.." + std::to_string(kMaxChartSide) + ", not '" + text + "'");
    width = w;
    height = h;
    return true;
}

bool ParseProbeFormatOption(const std::string& text, std::string& format, std::string& error) {
    if (text != "table" && text != "csv" && text != "json")
        return Fail(error, "--probe-format needs table, csv or json, not '" + text + "'");
    format = text;
    return true;
}

bool ParseSlotsOption(const std::string& text, std::array<bool, 4>& slots, std::string& error) {
    std::array<bool, 4> chosen{};
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        std::int32_t slot = 0;
        if (!ParseInt32(item, slot) || slot < 1 || slot > 4)
            return Fail(error, "--slots needs a list of slots 1 to 4 such as 1,3, not '" + text + "'");
        chosen[static_cast<std::size_t>(slot - 1)] = true;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    slots = chosen;
    return true;
}

bool ParseBoundedOption(const std::string& option, const std::string& text, std::int32_t lo, std::int32_t hi,
                        std::int32_t& value, std::string& error) {
    std::int32_t v = 0;
    if (!ParseInt32(text, v) || v < lo || v > hi)
    {
        std::string message = "--";
        message += option;
        message += " needs a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
        return Fail(error, message + ", not '" + text + "'");
    }
    value = v;
    return true;
}

bool ParseSweepOption(const std::string& text, SweepRequest& request, std::string& error) {
    std::string names;
    for (const SweptField& swept : SweptFields()) names += (names.empty() ? "" : ", ") + std::string(swept.name);
    const auto equals = text.find('=');
    const std::optional<SweepParameter> parameter = FindSweepParameter(std::string_view(text).substr(0, equals));
    const auto first = text.find(':', equals), second = first == std::string::npos ? first : text.find(':', first + 1);
    std::int32_t from = 0, to = 0, frames = 0;
    if (equals == std::string::npos || !parameter || second == std::string::npos ||
        !ParseInt32(text.substr(equals + 1, first - equals - 1), from) ||
        !ParseInt32(text.substr(first + 1, second - first - 1), to) || !ParseInt32(text.substr(second + 1), frames))
        return Fail(error, "--sweep needs NAME=FROM:TO:FRAMES with NAME one of " + names + ", not '" + text + "'");
    const SweptField& swept = SweptFieldOf(*parameter);
    const std::optional<ParameterRange> range = swept.parameter->range;
    if (range && (std::min(from, to) < range->lo || std::max(from, to) > range->hi))
        return Fail(error, "--sweep: " + std::string(swept.name) + " goes from " + std::to_string(range->lo) + " to " +
                               std::to_string(range->hi) + ", not '" + text + "'");
    if (frames < 1 || frames > kMaxSweepFrames)
        return Fail(error, "--sweep: FRAMES from 1 to " + std::to_string(kMaxSweepFrames) + ", not '" + text + "'");
    request.parameter = *parameter;
    request.from = from;
    request.to = to;
    request.frames = frames;
    return true;
}

bool ParseSweepFormatOption(const std::string& text, SweepFormat& format, std::string& error) {
    if (text == "webp") format = SweepFormat::Webp;
    else if (text == "png") format = SweepFormat::PngFrames;
    else if (text == "sheet") format = SweepFormat::Sheet;
    else return Fail(error, "--format with --sweep needs webp, png or sheet, not '" + text + "'");
    return true;
}

}  // namespace prismview
