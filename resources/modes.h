// The processing modes as the program presents them: the code name, the menu
// caption and the four captions of the derived images.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace prismview {

struct ModeInfo {
    std::string_view name;         // "ModeInvert"; empty for the unused mode 19
    std::string_view menuCaption;  // empty for mode 19
    std::array<std::string_view, 4> labels;
};

// Indexed by EffectMode, 0..25.
extern const std::array<ModeInfo, 26> ModeLabelTable;

// The caption of the base image, which never changes.
inline constexpr std::string_view kBaseImageLabel = "ベース画像";

}  // namespace prismview
