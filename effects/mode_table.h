// Every processing mode's record, gathered from the families of effects/.
#pragma once

#include <span>
#include <string_view>

#include "core/mode.h"

namespace prismview {

// The records in order of their numbers.
std::span<const ModeSpec* const> AllModes();

// The record of a mode number; null where no mode has it.
const ModeSpec* FindMode(std::int32_t mode);

// The record of a command-line name (or a former one); null for none.
const ModeSpec* FindModeByName(std::string_view name);

// Whether two sets of parameters give the same images: the same mode, and
// equal values of every parameter that mode reads. A pass for `b` after one
// for `a` on the same base image can then be skipped.
bool SameImages(const ProcessingParams& a, const ProcessingParams& b);

// Each family's records.
std::span<const ModeSpec> InversionModes();
std::span<const ModeSpec> ComponentModes();
std::span<const ModeSpec> MonochromeDotModes();
std::span<const ModeSpec> HueModes();
std::span<const ModeSpec> LightnessSaturationModes();
std::span<const ModeSpec> BackgroundMixModes();
std::span<const ModeSpec> EdgeModes();
std::span<const ModeSpec> ColourReductionModes();
std::span<const ModeSpec> WaveModes();
std::span<const ModeSpec> VortexSlideModes();

}  // namespace prismview
