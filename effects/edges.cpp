// Modes 13 and 14: per-channel colour differences between a pixel and its
// neighbours. Mode 13 looks forward (right, up) over a 2 x 2 cell and gives
// the cells that run off the image the background colour; mode 14 looks both
// ways and clamps missing neighbours to the pixel itself.
#include <algorithm>
#include <cstdlib>

#include "core/colour.h"
#include "effects/mode_table.h"
#include "effects/point_schedules.h"

namespace prismview {

namespace {

// A position relative to the pixel: dx columns to the right, dy rows up.
struct Step {
    std::int32_t dx, dy;
};
constexpr Step kHere{0, 0}, kRight{1, 0}, kLeft{-1, 0}, kUp{0, 1}, kDown{0, -1};
constexpr Step kUpRight{1, 1}, kUpLeft{-1, 1}, kDownRight{1, -1}, kDownLeft{-1, -1};

// Two positions whose colours are compared.
template <Step kA, Step kB>
struct Compare {
    static constexpr Step a = kA, b = kB;
};

// What happens where a compared position leaves the picture.
enum class Border {
    Background,  // the pixel takes the background colour
    Clamp,       // the position stays on the pixel's own column or row, each axis on its own
};

// The formula: per channel, the largest |a - b| over the compared pairs
// (each channel may come from a different pair).
template <Border kBorder, class... Pairs>
struct EdgeSpread {
    static constexpr Border kBorderRule = kBorder;
    static constexpr Step kSteps[] = {Pairs::a..., Pairs::b...};
    static constexpr std::int32_t Reach(std::int32_t Step::*axis, bool up) {
        std::int32_t r = 0;
        for (const Step s : kSteps) r = up ? std::max(r, s.*axis) : std::min(r, s.*axis);
        return r;
    }
    static constexpr std::int32_t kLeftReach = -Reach(&Step::dx, false), kRightReach = Reach(&Step::dx, true);
    static constexpr std::int32_t kDownReach = -Reach(&Step::dy, false), kUpReach = Reach(&Step::dy, true);

    explicit EdgeSpread(const ProcessingParams& params) : background(params.backgroundColor) {}

    RgbValue At(const SourceRows& s, std::int32_t x, std::int32_t y) const {
        if (kBorder == Border::Background &&
            (x - kLeftReach < 0 || x + kRightReach >= s.width || y - kDownReach < 0 || y + kUpReach >= s.height))
            return background;
        auto colour = [&](Step step) {
            return s.At(ClampInt(x + step.dx, 0, s.width - 1), ClampInt(y + step.dy, 0, s.height - 1));
        };
        std::int32_t r = 0, g = 0, b = 0;
        auto widen = [&](RgbValue one, RgbValue other) {
            r = std::max(r, std::abs(RedOf(one) - RedOf(other)));
            g = std::max(g, std::abs(GreenOf(one) - GreenOf(other)));
            b = std::max(b, std::abs(BlueOf(one) - BlueOf(other)));
        };
        (widen(colour(Pairs::a), colour(Pairs::b)), ...);
        return PackRgb(r, g, b);
    }

    RgbValue background;
};

// The schedule: the same per channel, one byte at a time along a row, for
// the columns whose compared positions all lie inside the picture, in loops
// the compiler turns into byte-wise vector instructions; the columns at the
// sides go through the formula itself. Exact, as a channel is a byte and so
// are |a - b| and the largest of them. The fourth byte of each pixel is
// compared too and made opaque afterwards.
template <class E>
class BytewiseRows final : public SlotKernel {
public:
    explicit BytewiseRows(const PassInput& input) : source_(input.source), formula_(input.params) {}

    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        RunLoop([&] { Rows(out, first, last); });
    }

private:
    void Rows(const TargetRows& out, std::int32_t first, std::int32_t last) const {
        const SourceRows& s = source_;
        const std::int32_t w = s.width, h = s.height;
        const std::int32_t inFirst = std::min(E::kLeftReach, w), inLast = std::max(inFirst, w - E::kRightReach);
        ForRows(out, first, last, [&](std::int32_t y, RgbValue* to) {
            const bool rowOff = y - E::kDownReach < 0 || y + E::kUpReach >= h;
            if (E::kBorderRule == Border::Background && rowOff) {
                for (std::int32_t x = 0; x < w; ++x) to[x] = formula_.background | kOpaque;
                return;
            }
            for (std::int32_t x = 0; x < inFirst; ++x) to[x] = formula_.At(s, x, y);
            // Rows below, at and above y (the picture's own edge rows where
            // the border clamps).
            const Bytes rows[3] = {BytesOf(s.Row(y > 0 ? y - 1 : y)), BytesOf(s.Row(y)),
                                   BytesOf(s.Row(y + 1 < h ? y + 1 : y))};
            unsigned char* bytes = reinterpret_cast<unsigned char*>(to);
            for (std::int32_t i = kStep * inFirst, end = kStep * inLast; i < end; ++i) bytes[i] = Spread(rows, i);
            for (std::int32_t x = inLast; x < w; ++x) to[x] = formula_.At(s, x, y);
            for (std::int32_t x = 0; x < w; ++x) to[x] |= kOpaque;
        });
    }

    using Bytes = const unsigned char*;
    static constexpr std::int32_t kStep = 4;  // bytes from a pixel to its right neighbour
    static Bytes BytesOf(const RgbValue* row) { return reinterpret_cast<Bytes>(row); }
    static unsigned char Diff(unsigned char a, unsigned char b) {
        return static_cast<unsigned char>(a > b ? a - b : b - a);
    }
    static unsigned char Max(unsigned char a, unsigned char b) { return a > b ? a : b; }
    template <Step kS>
    static unsigned char ByteAt(const Bytes (&rows)[3], std::int32_t i) {
        return rows[kS.dy + 1][i + kStep * kS.dx];
    }
    template <class... Pairs>
    static unsigned char SpreadOf(const Bytes (&rows)[3], std::int32_t i, EdgeSpread<E::kBorderRule, Pairs...>*) {
        unsigned char m = 0;
        ((m = Max(m, Diff(ByteAt<Pairs::a>(rows, i), ByteAt<Pairs::b>(rows, i)))), ...);
        return m;
    }
    static unsigned char Spread(const Bytes (&rows)[3], std::int32_t i) {
        return SpreadOf(rows, i, static_cast<E*>(nullptr));
    }

    SourceRows source_;
    E formula_;
};

// Mode 13: the cell of the pixel P, its right neighbour E, the one above N
// and NE above-right; slot 1 compares along the row, slot 2 along the
// column, slot 3 along the cell's four sides, slot 4 also its diagonals.
using ForwardRow = EdgeSpread<Border::Background, Compare<kHere, kRight>>;
using ForwardColumn = EdgeSpread<Border::Background, Compare<kHere, kUp>>;
using ForwardCell = EdgeSpread<Border::Background, Compare<kHere, kRight>, Compare<kHere, kUp>,
                               Compare<kUpRight, kRight>, Compare<kUpRight, kUp>>;
using ForwardCellDiagonals =
    EdgeSpread<Border::Background, Compare<kHere, kRight>, Compare<kHere, kUp>, Compare<kUpRight, kRight>,
               Compare<kUpRight, kUp>, Compare<kHere, kUpRight>, Compare<kRight, kUp>>;

// Mode 14: the pixel against its neighbours left and right, below and above,
// all four, and all eight.
using CentredRow = EdgeSpread<Border::Clamp, Compare<kHere, kLeft>, Compare<kHere, kRight>>;
using CentredColumn = EdgeSpread<Border::Clamp, Compare<kHere, kUp>, Compare<kHere, kDown>>;
using CentredCross = EdgeSpread<Border::Clamp, Compare<kHere, kLeft>, Compare<kHere, kRight>, Compare<kHere, kUp>,
                                Compare<kHere, kDown>>;
using CentredAround =
    EdgeSpread<Border::Clamp, Compare<kHere, kLeft>, Compare<kHere, kRight>, Compare<kHere, kUp>,
               Compare<kHere, kDown>, Compare<kHere, kUpLeft>, Compare<kHere, kUpRight>, Compare<kHere, kDownLeft>,
               Compare<kHere, kDownRight>>;

constexpr ModeSpec kModes[] = {
    {
        .mode = ModeEdges,
        .menuCaption = "境界の抽出",
        .section = MenuSection::Colours,
        .labels = {"境界（横、右余⇒背景色）", "境界（縦、上余⇒背景色）", "境界（縦横、右上余⇒背景色）", "境界（縦横斜、右上余⇒背景色）"},
        .name = "edges",
        .reads = ReadsBackground,
        .slots = {Kernel<BytewiseRows, ForwardRow>,
                   Kernel<BytewiseRows, ForwardColumn>,
                   Kernel<BytewiseRows, ForwardCell>,
                   Kernel<BytewiseRows, ForwardCellDiagonals>},
    },
    {
        .mode = ModeEdges2,
        .menuCaption = "境界の抽出２",
        .section = MenuSection::Colours,
        .labels = {"境界２（横）", "境界２（縦）", "境界２（縦横）", "境界２（縦横斜）"},
        .name = "edges-2",
        .formerName = "edges2",
        .reads = 0,
        .slots = {Kernel<BytewiseRows, CentredRow>,
                   Kernel<BytewiseRows, CentredColumn>,
                   Kernel<BytewiseRows, CentredCross>,
                   Kernel<BytewiseRows, CentredAround>},
    },
};

}  // namespace

std::span<const ModeSpec> EdgeModes() { return kModes; }

}  // namespace prismview
