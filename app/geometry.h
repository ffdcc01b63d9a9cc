// Points, sizes and rectangles of the client area, in screen pixels: x to
// the right, y downward.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace prismview {

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Right and bottom edges are exclusive.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool Contains(Point p) const { return left <= p.x && p.x < right && top <= p.y && p.y < bottom; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Positions are worked out in 64 bits and brought back into range here: a
// picture wider than a fifth of the coordinate range lies far outside any
// screen anyway.
inline std::int32_t Saturate(std::int64_t v) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace prismview
