// Every processing parameter, one row each: its fields, its name on the
// command line, what the window calls it, its range, how the keys step it,
// the mode records' bit for it, whether the preview shrinks it, and how the
// status bar and the copied command write it. The batch tool's options and
// help, the status bar, the copied command, the sweep, the keys and their
// reference, the dialogs' checks, SameImages and the preview all read it:
// a new parameter is a new row here (and the formulas that use it).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/mode.h"
#include "core/params.h"

namespace prismview {

enum class ParameterKind {
    Mode,    // a mode number or name
    Number,  // one whole number
    Pair,    // two whole numbers with a separator: NUM/DEN, X,Y
    Colour,  // RRGGBB
    Flag,    // set to 1 by the option's presence
};

// Which of the key steps the user sets in the dialogs a key uses for a field.
enum class KeyStep { One, Hue, Level, Centre };

// The start and end the sweep dialog proposes for a field without a range.
enum class SweepProposal {
    UpFromNow,    // from the current value to four times it (0..32 for none above 0)
    ToOtherField, // from 0 to the row's other field: one turn of the phase
    AcrossWidth,  // the picture's width around the middle
    AcrossHeight, // the picture's height around the middle
};

// What the parameter panel's slider spans for a field without a range (its
// number box takes any value the dialogs take).
enum class SliderSpan {
    Usual,         // the field's usual values: ParameterField::slider
    AcrossWidth,   // the picture's width around the middle
    AcrossHeight,  // the picture's height around the middle
    LongSide,      // 0 up to the picture's longer side
    ToOtherField,  // 0 to the row's other field (one turn of the phase); `slider` while that is 0
};

// How the preview brings a parameter to a shrunk copy of the picture.
enum class Shrinking {
    None,
    Lengths,   // each field is a length in pixels: it shrinks with the picture
    PerPixel,  // NUM/DEN counts per pixel: the fraction grows as the picture shrinks
};

// The small square the status bar shows before the parameter.
enum class SwatchKind { None, Hue, Grey, Colour };

struct ParameterField {
    std::int32_t ProcessingParams::*member = nullptr;
    // Where the sweep steps this field alone, its name there; empty: the row's.
    std::string_view name{};
    bool swept = false;
    SweepProposal span = SweepProposal::UpFromNow;
    // The key reference: which part of the parameter this field is ("の分子")
    // and what the keys stepping it down and up do ("減らす", "増やす").
    std::string_view part{};
    std::string_view down{};
    std::string_view up{};
    KeyStep step = KeyStep::One;
    SliderSpan sliderSpan = SliderSpan::Usual;
    ParameterRange slider{0, 0};
};

struct ParameterInfo {
    std::string_view name;  // the batch tool's option, --name
    ParameterKind kind;
    std::string_view valueName{};  // the option's value in the help: N, NUM/DEN
    std::array<ParameterField, 2> fields{};  // a pair's second; none for the colour
    RgbValue ProcessingParams::*colour = nullptr;  // the colour's field
    char separator = 0;                // between a pair's numbers on the command line
    std::string_view shownSeparator{};  // and in the status bar
    // None: any 32-bit value (the effects cope with all).
    std::optional<ParameterRange> range{};
    bool circular = false;  // the range is a wheel: keys and the dialog wrap round it
    std::string_view description{};  // in the help
    std::string_view label{};        // what the window calls it
    // The status bar's words for the values 0, 1, 2 in place of the number
    // (a value beyond them reads as the first); a flag's for off and on
    // (anything but 0), shown without the label.
    std::array<std::string_view, 3> words{};
    SwatchKind swatch = SwatchKind::None;
    unsigned reads = 0;            // ModeReads; none for the mode itself
    // The ModeLengths bit under which the preview shrinks it as `shrinking`
    // says: a mode's record tells whether it is a length there.
    unsigned lengths = NoLengths;
    Shrinking shrinking = Shrinking::None;
};

inline constexpr ParameterInfo kParameterTable[] = {
    {.name = "mode",
     .kind = ParameterKind::Mode,
     .valueName = "N|NAME",
     .fields = {{{.member = &ProcessingParams::effectMode}}},
     .description = "processing mode, number or name"},
    {.name = "hue",
     .kind = ParameterKind::Number,
     .valueName = "N",
     .fields = {{{.member = &ProcessingParams::hue, .swept = true, .down = "戻す", .up = "進める", .step = KeyStep::Hue}}},
     .range = kHueRange,
     .circular = true,
     .description = "position on the hue wheel",
     .label = "色相",
     .swatch = SwatchKind::Hue,
     .reads = ReadsHue},
    {.name = "level",
     .kind = ParameterKind::Number,
     .valueName = "N",
     .fields = {{{.member = &ProcessingParams::level, .swept = true, .down = "下げる", .up = "上げる", .step = KeyStep::Level}}},
     .range = kLevelRange,
     .description = "lightness/saturation/mixing level",
     .label = "明度",
     .swatch = SwatchKind::Grey,
     .reads = ReadsLevel},
    {.name = "background",
     .kind = ParameterKind::Colour,
     .valueName = "RRGGBB",
     .colour = &ProcessingParams::backgroundColor,
     .description = "background colour, six hex digits",
     .label = "背景色",
     .swatch = SwatchKind::Colour,
     .reads = ReadsBackground},
    {.name = "freq",
     .kind = ParameterKind::Pair,
     .valueName = "NUM/DEN",
     .fields = {{{.member = &ProcessingParams::waveFreqNum, .swept = true, .part = "の分子", .down = "減らす", .up = "増やす",
                  .slider = {0, 32}},
                 {.member = &ProcessingParams::waveFreqDen, .name = "freq-den", .swept = true, .part = "の分母",
                  .down = "減らす", .up = "増やす", .slider = {1, 256}}}},
     .separator = '/',
     .shownSeparator = "/",
     .description = "wave frequency",
     .label = "周波数",
     .reads = ReadsFrequency,
     .lengths = LengthWavelength,
     .shrinking = Shrinking::PerPixel},
    {.name = "amplitude",
     .kind = ParameterKind::Number,
     .valueName = "N",
     .fields = {{{.member = &ProcessingParams::waveAmplitude, .swept = true, .down = "減らす", .up = "増やす",
                 .sliderSpan = SliderSpan::LongSide}}},
     .description = "wave amplitude in pixels",
     .label = "振幅",
     .reads = ReadsAmplitude,
     .lengths = LengthAmplitude,
     .shrinking = Shrinking::Lengths},
    {.name = "phase",
     .kind = ParameterKind::Pair,
     .valueName = "NUM/DEN",
     .fields = {{{.member = &ProcessingParams::wavePhase, .swept = true, .span = SweepProposal::ToOtherField,
                  .part = "の分子", .down = "減らす", .up = "増やす", .sliderSpan = SliderSpan::ToOtherField,
                  .slider = {0, 32}},
                 {.member = &ProcessingParams::wavePhaseDen, .name = "phase-den", .swept = true, .part = "の分母",
                  .down = "減らす", .up = "増やす", .slider = {1, 256}}}},
     .separator = '/',
     .shownSeparator = "/",
     .description = "wave phase",
     .label = "位相",
     .reads = ReadsPhase},
    {.name = "overflow",
     .kind = ParameterKind::Number,
     .valueName = "N",
     .fields = {{{.member = &ProcessingParams::overflowMode}}},
     .range = kOverflowRange,
     .description = "outside the picture: 0 background, 1 wrap, 2 edge",
     .label = "はみ出し",
     .words = {"背景色", "ループ", "隅の色"},
     .reads = ReadsOverflow},
    {.name = "center",
     .kind = ParameterKind::Pair,
     .valueName = "X,Y",
     .fields = {{{.member = &ProcessingParams::centerX, .name = "center-x", .swept = true, .span = SweepProposal::AcrossWidth,
                  .down = "左へ", .up = "右へ", .step = KeyStep::Centre, .sliderSpan = SliderSpan::AcrossWidth},
                 {.member = &ProcessingParams::centerY, .name = "center-y", .swept = true, .span = SweepProposal::AcrossHeight,
                  .down = "下へ", .up = "上へ", .step = KeyStep::Centre, .sliderSpan = SliderSpan::AcrossHeight}}},
     .separator = ',',
     .shownSeparator = ", ",
     .description = "effect centre relative to the picture's middle",
     .label = "中心",
     .reads = ReadsCentre,
     .lengths = LengthCentre,
     .shrinking = Shrinking::Lengths},
    {.name = "start-from-end",
     .kind = ParameterKind::Flag,
     .fields = {{{.member = &ProcessingParams::startFromEnd}}},
     .description = "count waves from the right or top edge",
     .label = "ずらしの向き",
     .words = {"先頭から", "終端から"},
     .reads = ReadsStartFromEnd},
};

// The row of an option name, or null.
const ParameterInfo* FindParameter(std::string_view name);
// The row holding a field, and that field's entry in it (every field of
// ProcessingParams but the colour has one).
const ParameterInfo& ParameterOf(std::int32_t ProcessingParams::*member);
const ParameterField& FieldOf(std::int32_t ProcessingParams::*member);

// Whether the parameter differs between the two.
bool Differs(const ParameterInfo& parameter, const ProcessingParams& a, const ProcessingParams& b);

// The value as the command line writes it: "16", "1/32", "-3,4", "A0B1C2";
// a mode's number; nothing for a flag (its presence says it).
std::string CommandValue(const ParameterInfo& parameter, const ProcessingParams& params);
// The status bar's item: the label and the value ("振幅 16", "中心 -3, 4",
// "背景色 #A0B1C2", "はみ出し ループ"), a flag's word alone ("終端から"),
// and its swatch.
std::string StatusText(const ParameterInfo& parameter, const ProcessingParams& params);
std::optional<RgbValue> StatusSwatch(const ParameterInfo& parameter, const ProcessingParams& params);

// A field's value as a dialog's entry corrects it: round a wheel, into a
// range, or as it is.
std::int32_t Fitted(const ParameterInfo& parameter, std::int32_t value);
// A field's value after one key press: round a wheel, up to the end of a
// range (and no further), or wrapping at 32 bits.
std::int32_t Stepped(const ParameterInfo& parameter, std::int32_t value, std::int64_t step, bool up);

// The fields the sweep steps, in the table's order, with their names.
struct SweptField {
    std::string_view name;
    const ParameterInfo* parameter;
    const ParameterField* field;
};
std::span<const SweptField> SweptFields();

}  // namespace prismview
