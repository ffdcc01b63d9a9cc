// The test oracle of the plane distortions: where each slot of the ripples,
// the vortex and the slide samples a pixel, and the plane sampler, written
// out plainly one pixel at a time. Only the tests use it, to hold the
// program's vector kernels against (tests/effects/sampler_test.cpp).
#pragma once

#include <cmath>
#include <cstdint>

#include "core/colour.h"
#include "core/int_math.h"
#include "core/params.h"
#include "core/pixels.h"

namespace prismview::test {

struct OraclePoint {
    std::int32_t x = 0, y = 0;
    bool ok = true;
};

// base + T(v), where T(v) has a 32-bit value.
inline bool OracleAdd(std::int32_t base, double v, std::int32_t& out) {
    std::int32_t t = 0;
    if (!TruncToInt32(v, t)) return false;
    out = WrapAdd(base, t);
    return true;
}

inline double OracleDistance(std::int32_t dx, std::int32_t dy) {
    const double a = std::fabs(static_cast<double>(dx)), b = std::fabs(static_cast<double>(dy));
    const double m = a > b ? a : b;
    if (m == 0.0) return 0.0;
    const double p = a / m, q = b / m;
    return m * std::sqrt(p * p + q * q);
}

class DistortionOracle {
public:
    DistortionOracle(const ProcessingParams& p, std::int32_t width, std::int32_t height)
        : p_(p), width_(width), height_(height),
          cx_(WrapAdd(width / 2, p.centerX)), cy_(WrapAdd(height / 2, p.centerY)) {}

    // Whether the slot moves any pixel (a zero denominator switches it off).
    bool Moves(std::int32_t slot) const {
        if (p_.effectMode == ModeVortex || p_.effectMode == ModeSlide)
            return p_.waveFreqDen != 0 && !(p_.effectMode == ModeVortex && slot == 3 && p_.waveAmplitude == 0);
        return p_.waveFreqDen != 0 && p_.wavePhaseDen != 0;
    }

    OraclePoint Point(std::int32_t slot, std::int32_t x, std::int32_t y) const {
        const std::int32_t dx = WrapSub(x, cx_), dy = WrapSub(y, cy_);
        const double fx = static_cast<double>(dx), fy = static_cast<double>(dy), r = OracleDistance(dx, dy);
        if (p_.effectMode == ModeVortex || p_.effectMode == ModeSlide) {
            const double f = static_cast<double>(p_.waveFreqNum) / static_cast<double>(p_.waveFreqDen);
            const double a = static_cast<double>(p_.waveAmplitude);
            if (p_.effectMode == ModeSlide) {
                const bool alongX = slot <= 2, movesX = slot == 2 || slot == 3;
                std::int32_t shift = 0;
                if (!TruncToInt32(static_cast<double>(alongX ? dx : dy) * f, shift)) return {0, 0, false};
                OraclePoint point{x, y};
                (movesX ? point.x : point.y) = WrapAdd(movesX ? x : y, shift);
                return point;
            }
            if (slot == 4) return Scaled(1.0 + f, fx, fy);
            const double k = slot == 1 ? f : slot == 2 ? (r != 0.0 ? (f * a) / r : 0.0) : (f * r) / a;
            return Turned(std::cos(k), std::sin(k), fx, fy);
        }
        const bool bump = p_.effectMode == ModeSingleRipple;
        const double a = static_cast<double>(p_.waveAmplitude);
        if (slot == 1) {
            if (r == 0.0) return {x, y};
            const double d = Wave(bump, r, a);
            OraclePoint point;
            if (!OracleAdd(cx_, ((r + d) * fx) / r, point.x) || !OracleAdd(cy_, ((r + d) * fy) / r, point.y))
                return {0, 0, false};
            return point;
        }
        if (slot == 4) {
            if (r == 0.0) return Turned(1.0, 0.0, fx, fy);
            const double k = Wave(bump, r, a) / r;
            return Turned(std::cos(k), std::sin(k), fx, fy);
        }
        if (dx == 0 && dy == 0) return {x, y};
        if (slot == 3) {
            const std::int32_t m = WrapAdd(WrapAbs(dx), WrapAbs(dy));
            std::int32_t d = 0, qx = 0, qy = 0;
            if (!TruncToInt32(Wave(bump, m, a), d) || !CheckedDiv(WrapMul(dx, d), m, qx) ||
                !CheckedDiv(WrapMul(dy, d), m, qy))
                return {0, 0, false};
            return {WrapAdd(x, qx), WrapAdd(y, qy)};
        }
        const auto exact = [](std::int32_t v) { return v < 0 ? -static_cast<std::int64_t>(v) : v; };
        const bool alongX = exact(dx) >= exact(dy);
        const std::int32_t lead = alongX ? dx : dy, other = alongX ? dy : dx;
        double d = Wave(bump, WrapAbs(lead), a);
        if (lead < 0) d = -d;
        std::int32_t moved = 0, across = 0;
        if (bump) {
            if (!OracleAdd(alongX ? x : y, d, moved) ||
                !OracleAdd(alongX ? y : x, (static_cast<double>(other) * d) / static_cast<double>(lead), across))
                return {0, 0, false};
        } else {
            std::int32_t td = 0, q = 0;
            if (!TruncToInt32(d, td) || !CheckedDiv(WrapMul(other, td), lead, q)) return {0, 0, false};
            moved = WrapAdd(alongX ? x : y, td);
            across = WrapAdd(alongX ? y : x, q);
        }
        return alongX ? OraclePoint{moved, across} : OraclePoint{across, moved};
    }

    // The source pixel at the point under the parameters' overflow treatment, or the background.
    RgbValue Sample(const SourceRows& source, OraclePoint point) const {
        if (!point.ok) return p_.backgroundColor;
        if (p_.overflowMode == OverflowWrap) {
            point.x = FloorMod(point.x, width_);
            point.y = FloorMod(point.y, height_);
        } else if (p_.overflowMode == OverflowEdge) {
            ClipTowardCentre(point.x, point.y, cx_, cy_, width_, height_);
        }
        if (point.x < 0 || point.x >= width_ || point.y < 0 || point.y >= height_) return p_.backgroundColor;
        return source.At(point.x, point.y) & 0xFFFFFFu;
    }

private:
    // The wave at an integer position (an integer product with the
    // frequency) or a real distance.
    template <class Position>
    double Wave(bool bump, Position q, double a) const {
        const double twoPi = 2.0 * std::acos(-1.0), den = static_cast<double>(p_.waveFreqDen);
        const double phase = static_cast<double>(p_.wavePhase) / static_cast<double>(p_.wavePhaseDen);
        double product;
        if constexpr (std::is_integral_v<Position>) product = static_cast<double>(WrapMul(q, p_.waveFreqNum)) / den;
        else product = (static_cast<double>(p_.waveFreqNum) * q) / den;
        if (!bump) return std::sin(twoPi * (product + phase)) * a;
        const double o = product - phase;
        return std::fabs(o) <= 0.5 ? (std::cos(twoPi * o) + 1.0) * a : 0.0;
    }
    OraclePoint Turned(double c, double s, double fx, double fy) const {
        OraclePoint point;
        if (!OracleAdd(cx_, c * fx - s * fy, point.x) || !OracleAdd(cy_, s * fx + c * fy, point.y)) return {0, 0, false};
        return point;
    }
    OraclePoint Scaled(double scale, double fx, double fy) const {
        OraclePoint point;
        if (!OracleAdd(cx_, scale * fx, point.x) || !OracleAdd(cy_, scale * fy, point.y)) return {0, 0, false};
        return point;
    }

    ProcessingParams p_;
    std::int32_t width_, height_, cx_, cy_;
};

}  // namespace prismview::test
