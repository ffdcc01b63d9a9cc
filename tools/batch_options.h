// Strict parsing of prismview-batch's option values. Each parser returns
// false with a one-line message on anything but a complete, in-range value.
#pragma once

#include <cstdint>
#include <string>

#include "core/params.h"

namespace prismview {

// "hue-rotate" for ModeHueRotate: the name without "Mode", lower case, hyphens
// between words.
std::string ModeOptionName(std::int32_t mode);

bool ParseInt32(const std::string& text, std::int32_t& value);

bool ParseModeOption(const std::string& text, ProcessingParams& params, std::string& error);
bool ParseHueOption(const std::string& text, ProcessingParams& params, std::string& error);
bool ParseLevelOption(const std::string& text, ProcessingParams& params, std::string& error);
bool ParseBackgroundOption(const std::string& text, ProcessingParams& params, std::string& error);
bool ParseFreqOption(const std::string& text, ProcessingParams& params, std::string& error);
bool ParseAmplitudeOption(const std::string& text, ProcessingParams& params, std::string& error);
bool ParsePhaseOption(const std::string& text, ProcessingParams& params, std::string& error);
bool ParseOverflowOption(const std::string& text, ProcessingParams& params, std::string& error);
bool ParseCenterOption(const std::string& text, ProcessingParams& params, std::string& error);

}  // namespace prismview
