#include "tools/batch_options.h"

#include <cctype>
#include <charconv>

#include "resources/modes.h"

namespace prismview {

namespace {

bool Fail(std::string& error, const std::string& message) {
    error = message;
    return false;
}

bool ParseRanged(const std::string& text, std::int32_t lo, std::int32_t hi, const char* option,
                 std::int32_t& out, std::string& error) {
    std::int32_t v = 0;
    if (!ParseInt32(text, v) || v < lo || v > hi)
        return Fail(error, std::string("--") + option + " needs a whole number from " + std::to_string(lo) +
                               " to " + std::to_string(hi) + ", not '" + text + "'");
    out = v;
    return true;
}

// "A<sep>B" with two 32-bit integers.
bool ParsePair(const std::string& text, char separator, const char* option, const char* form,
               std::int32_t& a, std::int32_t& b, std::string& error) {
    const auto at = text.find(separator);
    std::int32_t first = 0, second = 0;
    if (at == std::string::npos || !ParseInt32(text.substr(0, at), first) || !ParseInt32(text.substr(at + 1), second))
        return Fail(error, std::string("--") + option + " needs " + form + " with 32-bit whole numbers, not '" +
                               text + "'");
    a = first;
    b = second;
    return true;
}

}  // namespace

std::string ModeOptionName(std::int32_t mode) {
    std::string name;
    if (mode < 0 || mode >= kModeCount) return name;
    const std::string_view code = ModeLabelTable[mode].name;
    if (code.size() <= 4) return name;
    for (std::size_t i = 4; i < code.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(code[i]);
        if (std::isupper(c)) {
            if (i > 4) name += '-';
            name += static_cast<char>(std::tolower(c));
        } else {
            name += static_cast<char>(c);
        }
    }
    return name;
}

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

bool ParseModeOption(const std::string& text, ProcessingParams& params, std::string& error) {
    std::int32_t mode = -1;
    if (!ParseInt32(text, mode)) {
        for (std::int32_t m = 0; m < kModeCount; ++m)
            if (!ModeLabelTable[m].name.empty() && ModeOptionName(m) == text) mode = m;
    }
    if (mode < 0 || mode >= kModeCount || ModeLabelTable[mode].name.empty())
        return Fail(error, "--mode needs a mode number 0..25 other than 19, or a mode name, not '" + text +
                               "' (see --help)");
    params.effectMode = mode;
    return true;
}

bool ParseHueOption(const std::string& text, ProcessingParams& params, std::string& error) {
    return ParseRanged(text, 0, 1529, "hue", params.hue, error);
}

bool ParseLevelOption(const std::string& text, ProcessingParams& params, std::string& error) {
    return ParseRanged(text, 0, 510, "level", params.level, error);
}

bool ParseBackgroundOption(const std::string& text, ProcessingParams& params, std::string& error) {
    std::uint32_t colour = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, colour, 16);
    if (text.size() != 6 || ec != std::errc() || stop != end)
        return Fail(error, "--background needs six hex digits RRGGBB, not '" + text + "'");
    params.backgroundColor = colour;
    return true;
}

bool ParseFreqOption(const std::string& text, ProcessingParams& params, std::string& error) {
    return ParsePair(text, '/', "freq", "NUM/DEN", params.waveFreqNum, params.waveFreqDen, error);
}

bool ParseAmplitudeOption(const std::string& text, ProcessingParams& params, std::string& error) {
    if (!ParseInt32(text, params.waveAmplitude))
        return Fail(error, "--amplitude needs a 32-bit whole number, not '" + text + "'");
    return true;
}

bool ParsePhaseOption(const std::string& text, ProcessingParams& params, std::string& error) {
    return ParsePair(text, '/', "phase", "NUM/DEN", params.wavePhase, params.wavePhaseDen, error);
}

bool ParseOverflowOption(const std::string& text, ProcessingParams& params, std::string& error) {
    return ParseRanged(text, 0, 2, "overflow", params.overflowMode, error);
}

bool ParseCenterOption(const std::string& text, ProcessingParams& params, std::string& error) {
    return ParsePair(text, ',', "center", "X,Y", params.centerX, params.centerY, error);
}

}  // namespace prismview
