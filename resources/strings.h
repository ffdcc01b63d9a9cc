// The string table and the fixed texts the main window shows.
#pragma once

#include <string_view>

namespace prismview {

inline constexpr std::string_view kWindowTitle = "プリズムビュー";  // string 103
inline constexpr std::string_view kWindowClassName = "PRISMVIEW";   // string 109

inline constexpr std::string_view kStartImageFile = "start.bmp";
inline constexpr std::string_view kLoadingText = "画像の読み出しをしてます。";
inline constexpr std::string_view kOpenRequestText = "ＢＭＰを開いてください。";
inline constexpr std::string_view kHueSwatchText = "←→で指定";
inline constexpr std::string_view kLevelSwatchText = "↑↓で指定";

}  // namespace prismview
