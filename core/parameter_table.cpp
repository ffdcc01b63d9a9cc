#include "core/parameter_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/colour.h"
#include "core/int_math.h"

namespace prismview {

namespace {

std::string Hex(RgbValue colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(colour & 0xFFFFFFu));
    return text;
}

std::size_t WordCount(const ParameterInfo& parameter) {
    return static_cast<std::size_t>(std::count_if(parameter.words.begin(), parameter.words.end(),
                                                  [](std::string_view word) { return !word.empty(); }));
}

// The word for a value: a flag is on for anything but 0; a value beyond the
// words reads as the first.
std::string_view WordOf(const ParameterInfo& parameter, std::int32_t value) {
    if (parameter.kind == ParameterKind::Flag) return parameter.words[value != 0 ? 1 : 0];
    return value > 0 && static_cast<std::size_t>(value) < WordCount(parameter)
               ? parameter.words[static_cast<std::size_t>(value)]
               : parameter.words[0];
}

std::vector<SweptField> GatherSwept() {
    std::vector<SweptField> swept;
    for (const ParameterInfo& parameter : kParameterTable)
        for (std::size_t i = 0; i < parameter.fields.size(); ++i) {
            const ParameterField& field = parameter.fields[i];
            if (field.swept) swept.push_back({i == 0 && field.name.empty() ? parameter.name : field.name, &parameter, &field});
        }
    return swept;
}

}  // namespace

const ParameterInfo* FindParameter(std::string_view name) {
    for (const ParameterInfo& parameter : kParameterTable)
        if (parameter.name == name) return &parameter;
    return nullptr;
}

const ParameterInfo& ParameterOf(std::int32_t ProcessingParams::*member) {
    for (const ParameterInfo& parameter : kParameterTable)
        for (const ParameterField& field : parameter.fields)
            if (field.member && field.member == member) return parameter;
    std::abort();  // a field of ProcessingParams without a row
}

const ParameterField& FieldOf(std::int32_t ProcessingParams::*member) {
    for (const ParameterField& field : ParameterOf(member).fields)
        if (field.member == member) return field;
    std::abort();
}

bool Differs(const ParameterInfo& parameter, const ProcessingParams& a, const ProcessingParams& b) {
    if (parameter.colour && a.*parameter.colour != b.*parameter.colour) return true;
    return std::any_of(parameter.fields.begin(), parameter.fields.end(), [&](const ParameterField& field) {
        return field.member && a.*field.member != b.*field.member;
    });
}

std::string CommandValue(const ParameterInfo& parameter, const ProcessingParams& params) {
    const auto first = [&] { return std::to_string(params.*parameter.fields[0].member); };
    switch (parameter.kind) {
        case ParameterKind::Mode:
        case ParameterKind::Number: return first();
        case ParameterKind::Pair: return first() + parameter.separator + std::to_string(params.*parameter.fields[1].member);
        case ParameterKind::Colour: return Hex(params.*parameter.colour);
        case ParameterKind::Flag: return {};
    }
    return {};
}

std::string StatusText(const ParameterInfo& parameter, const ProcessingParams& params) {
    if (parameter.kind == ParameterKind::Flag) return std::string(WordOf(parameter, params.*parameter.fields[0].member));
    std::string value;
    if (parameter.kind == ParameterKind::Colour) value = "#" + Hex(params.*parameter.colour);
    else if (WordCount(parameter) > 0) value = WordOf(parameter, params.*parameter.fields[0].member);
    else if (parameter.kind == ParameterKind::Pair)
        value = std::to_string(params.*parameter.fields[0].member) + std::string(parameter.shownSeparator) +
                std::to_string(params.*parameter.fields[1].member);
    else value = std::to_string(params.*parameter.fields[0].member);
    return std::string(parameter.label) + " " + value;
}

std::optional<RgbValue> StatusSwatch(const ParameterInfo& parameter, const ProcessingParams& params) {
    switch (parameter.swatch) {
        case SwatchKind::None: return std::nullopt;
        case SwatchKind::Hue: return HueColour(FloorMod(params.*parameter.fields[0].member, HueSteps));
        case SwatchKind::Grey: return static_cast<RgbValue>(params.*parameter.fields[0].member / 2) * 0x010101u;
        case SwatchKind::Colour: return params.*parameter.colour & 0xFFFFFFu;
    }
    return std::nullopt;
}

std::int32_t Fitted(const ParameterInfo& parameter, std::int32_t value) {
    if (!parameter.range) return value;
    const auto [lo, hi] = *parameter.range;
    // The residue on a wheel: one step below its start is its end.
    if (parameter.circular) return lo + FloorMod(WrapSub(value, lo), hi - lo + 1);
    return ClampInt(value, lo, hi);
}

std::int32_t Stepped(const ParameterInfo& parameter, std::int32_t value, std::int64_t step, bool up) {
    if (!parameter.range) return up ? WrapAdd(value, static_cast<std::int32_t>(step)) : WrapSub(value, static_cast<std::int32_t>(step));
    const auto [lo, hi] = *parameter.range;
    if (parameter.circular) {
        // Unsigned, as the wheel's steps are: a step below the start comes round from the end.
        const auto size = static_cast<std::uint32_t>(hi - lo + 1), by = static_cast<std::uint32_t>(step);
        const auto offset = static_cast<std::uint32_t>(value) - static_cast<std::uint32_t>(lo);
        return lo + static_cast<std::int32_t>((offset + (up ? by : size - by)) % size);
    }
    return static_cast<std::int32_t>(up ? std::min<std::int64_t>(std::int64_t{value} + step, hi)
                                        : std::max<std::int64_t>(std::int64_t{value} - step, lo));
}

std::span<const SweptField> SweptFields() {
    static const std::vector<SweptField> swept = GatherSwept();
    return swept;
}

}  // namespace prismview
