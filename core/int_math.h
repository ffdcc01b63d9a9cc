// 32-bit integer arithmetic that stays defined for every input. The effects
// compute in 32 bits; where unbounded parameters can overflow, the result
// wraps in two's complement instead of being undefined.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace prismview {

constexpr std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
constexpr std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
constexpr std::int32_t WrapMul(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
constexpr std::int32_t WrapNeg(std::int32_t a) { return WrapSub(0, a); }
// |a| as a 32-bit value: the most negative value stays itself, as in two's complement.
constexpr std::int32_t WrapAbs(std::int32_t a) { return a < 0 ? WrapNeg(a) : a; }

// Truncating division; false where it is undefined (a zero divisor, or the
// most negative value divided by -1).
constexpr bool CheckedDiv(std::int32_t a, std::int32_t b, std::int32_t& quotient) {
    if (b == 0 || (a == std::numeric_limits<std::int32_t>::min() && b == -1)) return false;
    quotient = a / b;
    return true;
}

// Truncation toward zero of a double; false for NaN and for values outside
// the 32-bit range, which the callers treat as lying outside every image.
inline bool TruncToInt32(double v, std::int32_t& out) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return false;  // also rejects NaN
    out = static_cast<std::int32_t>(v);
    return true;
}

}  // namespace prismview
