// Modes 13 and 14: per-channel colour differences between a pixel and its
// neighbours. Mode 13 looks forward (right, up) over a 2 x 2 cell and gives
// the cells that run off the image the background colour; mode 14 looks both
// ways and clamps missing neighbours to the pixel itself.
#include <cstdlib>

#include "effects/effect_table.h"

namespace prismview {

namespace {

// The largest |a.c - b.c| seen so far, per channel: each channel may come
// from a different pair.
struct ChannelSpread {
    std::int32_t r = 0, g = 0, b = 0;

    void Add(RgbValue one, RgbValue other) {
        Widen(r, RedOf(one) - RedOf(other));
        Widen(g, GreenOf(one) - GreenOf(other));
        Widen(b, BlueOf(one) - BlueOf(other));
    }
    RgbValue Packed() const { return PackRgb(r, g, b); }

private:
    static void Widen(std::int32_t& channel, std::int32_t difference) {
        const std::int32_t d = std::abs(difference);
        if (d > channel) channel = d;
    }
};

// The same per channel, one byte at a time along a row, in loops the
// compiler turns into byte-wise vector instructions. The fourth byte of each
// pixel is compared too; the row loop makes it opaque afterwards.
using Bytes = const unsigned char*;
inline Bytes BytesOf(const RgbValue* row) { return reinterpret_cast<Bytes>(row); }
inline unsigned char Diff(unsigned char a, unsigned char b) {
    return static_cast<unsigned char>(a > b ? a - b : b - a);
}
inline unsigned char Max(unsigned char a, unsigned char b) { return a > b ? a : b; }
constexpr std::int32_t kStep = 4;  // bytes from a pixel to its right neighbour

// Mode 13. Slot 1 compares with the right neighbour, slot 2 with the upper
// one, slot 3 along the four sides of the cell P, E, N, NE, slot 4 also along
// its diagonals. The pixels whose cell leaves the image take the background.
template <int kSlot>
void ForwardEdges(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const SourceRows& s = c.source;
    const std::int32_t w = s.width, h = s.height;
    const RgbValue background = c.params.backgroundColor;
    constexpr bool kNeedsRight = kSlot != 2;
    constexpr bool kNeedsUp = kSlot != 1;
    ForEachRow(out, first, last, [&](std::int32_t y, RgbValue* to) {
        if (kNeedsUp && y == h - 1) {
            for (std::int32_t x = 0; x < w; ++x) to[x] = background;
            return;
        }
        const Bytes row = BytesOf(s.Row(y));
        const Bytes up = kNeedsUp ? BytesOf(s.Row(y + 1)) : row;
        unsigned char* bytes = reinterpret_cast<unsigned char*>(to);
        const std::int32_t end = kStep * (kNeedsRight ? w - 1 : w);
        for (std::int32_t i = 0; i < end; ++i) {
            if constexpr (kSlot == 1) {
                bytes[i] = Diff(row[i], row[i + kStep]);
            } else if constexpr (kSlot == 2) {
                bytes[i] = Diff(row[i], up[i]);
            } else {
                const unsigned char p = row[i], e = row[i + kStep], n = up[i], ne = up[i + kStep];
                unsigned char m = Max(Max(Diff(p, e), Diff(p, n)), Max(Diff(ne, e), Diff(ne, n)));
                if constexpr (kSlot == 4) m = Max(m, Max(Diff(p, ne), Diff(e, n)));
                bytes[i] = m;
            }
        }
        if (kNeedsRight) to[w - 1] = background;
    });
}

// Mode 14. Slot 1 compares with left and right, slot 2 with below and above,
// slot 3 with all four, slot 4 with all eight neighbours. A coordinate that
// would leave the image stays the pixel's own, each axis on its own.
template <int kSlot>
void CentredEdges(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const SourceRows& s = c.source;
    const std::int32_t w = s.width, h = s.height;
    ForEachRow(out, first, last, [&](std::int32_t y, RgbValue* to) {
        const RgbValue* row = s.Row(y);
        const RgbValue* below = s.Row(y > 0 ? y - 1 : y);
        const RgbValue* above = s.Row(y + 1 < h ? y + 1 : y);
        auto at = [&](std::int32_t x, std::int32_t left, std::int32_t right) {
            const RgbValue p = row[x];
            ChannelSpread spread;
            if constexpr (kSlot != 2) {
                spread.Add(p, row[left]);
                spread.Add(p, row[right]);
            }
            if constexpr (kSlot != 1) {
                spread.Add(p, above[x]);
                spread.Add(p, below[x]);
            }
            if constexpr (kSlot == 4) {
                spread.Add(p, above[left]);
                spread.Add(p, above[right]);
                spread.Add(p, below[left]);
                spread.Add(p, below[right]);
            }
            return spread.Packed();
        };
        // The first and last columns clamp; the bytes between them need no
        // tests and vectorise.
        to[0] = at(0, 0, w > 1 ? 1 : 0);
        const Bytes p = BytesOf(row), a = BytesOf(above), b = BytesOf(below);
        unsigned char* bytes = reinterpret_cast<unsigned char*>(to);
        for (std::int32_t i = kStep; i < kStep * (w - 1); ++i) {
            const unsigned char centre = p[i];
            unsigned char m = 0;
            if constexpr (kSlot != 2) m = Max(Diff(centre, p[i - kStep]), Diff(centre, p[i + kStep]));
            if constexpr (kSlot != 1) m = Max(m, Max(Diff(centre, a[i]), Diff(centre, b[i])));
            if constexpr (kSlot == 4) {
                m = Max(m, Max(Diff(centre, a[i - kStep]), Diff(centre, a[i + kStep])));
                m = Max(m, Max(Diff(centre, b[i - kStep]), Diff(centre, b[i + kStep])));
            }
            bytes[i] = m;
        }
        if (w > 1) to[w - 1] = at(w - 1, w - 2, w - 1);
    });
}

}  // namespace

void AddEdgeEffects(EffectTable& table) {
    table[ModeEdges].runners = {ForwardEdges<1>, ForwardEdges<2>, ForwardEdges<3>, ForwardEdges<4>};
    table[ModeEdges2].runners = {CentredEdges<1>, CentredEdges<2>, CentredEdges<3>, CentredEdges<4>};
}

}  // namespace prismview
