// Strict parsing of prismview-batch's options, driven by the parameter
// table. Each parser returns false with a one-line message on anything but
// a complete, in-range value.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/sweep.h"
#include "core/parameter_table.h"

namespace prismview {

bool ParseInt32(const std::string& text, std::int32_t& value);

// Sets the parameter from the option's text (a flag takes any text).
bool ParseParameter(const ParameterInfo& parameter, const std::string& text, ProcessingParams& params,
                    std::string& error);

// One help line per parameter: "  --hue N   position on the hue wheel, 0..1529 (default 0)".
std::string ParameterHelp();
// The help lines of --sweep, with the names of the parameters it steps.
std::string SweepHelp();

// --chart WxH: two whole numbers 1..kMaxChartSide joined by an x, such as 800x511.
bool ParseChartSizeOption(const std::string& text, std::int32_t& width, std::int32_t& height, std::string& error);

// --format: bmp, png, jpg, webp or tif; `extension` becomes the outputs' extension.
bool ParseFormatOption(const std::string& text, std::string& extension, std::string& error);
// --slots: a comma-separated list of slots 1..4, such as "1,3".
// --probe X,Y: two whole numbers from 0, the point from the picture's top left.
bool ParseProbeOption(const std::string& text, std::array<std::int32_t, 2>& point, std::string& error);
// --probe-format: table, csv or json.
bool ParseProbeFormatOption(const std::string& text, std::string& format, std::string& error);

bool ParseSlotsOption(const std::string& text, std::array<bool, 4>& slots, std::string& error);

// --sweep NAME=FROM:TO:FRAMES: FROM and TO within the parameter's range,
// FRAMES from 1 to kMaxSweepFrames.
bool ParseSweepOption(const std::string& text, SweepRequest& request, std::string& error);
// --format with --sweep: webp, png (numbered frames) or sheet.
bool ParseSweepFormatOption(const std::string& text, SweepFormat& format, std::string& error);
// A whole number from lo to hi for the option of that name.
bool ParseBoundedOption(const std::string& option, const std::string& text, std::int32_t lo, std::int32_t hi,
                        std::int32_t& value, std::string& error);

}  // namespace prismview
