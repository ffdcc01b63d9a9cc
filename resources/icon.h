// The program icon: a prism splitting a white beam into colours, as a 32 x 32 and a
// 16 x 16 image of 16 colours. The pixels are drawn by resources/icon/make_icon.cpp,
// which writes program_icon.cpp; run it again after changing the drawing.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace prismview {

// The 16 colours of the icon as 0x00RRGGBB.
extern const std::array<std::uint32_t, 16> IconPalette;

struct IconImage {
    std::int32_t size;
    // size rows of size characters, top row first: '0'..'9', 'a'..'f' index
    // IconPalette, '.' is transparent.
    std::span<const std::string_view> rows;
};

extern const IconImage ProgramIconLarge;  // 32 x 32
extern const IconImage ProgramIconSmall;  // 16 x 16

}  // namespace prismview
