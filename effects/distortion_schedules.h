// How the distortions are computed: each schedule runs any sample-point
// formula of its shape. A formula says where the output pixels of a row
// sample the source, and hands them to the sampler (effects/sampler.h) in
// one of its forms; a schedule only decides how often the parts of that
// formula are evaluated.
//
// Every formula is a type made for one pass, F(const PassInput&), with
// bool Moves() const (false: every pixel stays, the rows are copied) and,
// for the plane sampler, Centre centre.
#pragma once

#include <algorithm>
#include <limits>
#include <vector>

#include "core/parallel.h"
#include "effects/point_schedules.h"
#include "effects/sampler.h"

namespace prismview {

namespace distortion {

// The source rows first..last-1 unchanged: what a distortion gives when its
// parameters switch the displacement off (a point inside the picture passes
// every overflow treatment unchanged).
inline void CopyRows(const SourceRows& source, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForRows(out, first, last, [&](std::int32_t y, RgbValue* to) {
        const RgbValue* from = source.Row(y);
        for (std::int32_t x = 0; x < out.width; ++x) to[x] = from[x] | kOpaque;
    });
}

// Columns first..last-1 of output row y, as the plane sampler sees them.
inline SampledRow RowOf(const PassInput& input, Centre centre, std::int32_t y, std::int32_t first,
                        std::int32_t last) {
    return SampledRow{input.source, centre, y, first, last, input.params.overflowMode,
                      input.params.backgroundColor | kOpaque};
}

// A range's rows are sampled a block of columns at a time: neighbouring rows
// of a block sample source pixels near each other, still in the cache when
// the next row needs them, where a whole turned or twisted row samples a
// curve across the source that the cache cannot hold. The order in which
// pixels are worked out changes none of them.
constexpr std::int32_t kSampleBlockColumns = 256;

}  // namespace distortion

// For formulas that give the sample points of a row by themselves:
// void Row(const SampledRow& row, RgbValue* to) const.
template <class F>
class EachSamplePoint final : public SlotKernel {
public:
    explicit EachSamplePoint(const PassInput& input) : input_(input), formula_(input) {}
    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        if (!formula_.Moves()) return distortion::CopyRows(input_.source, out, first, last);
        const std::int32_t w = input_.source.width;
        for (std::int32_t x0 = 0; x0 < w; x0 += distortion::kSampleBlockColumns) {
            const std::int32_t x1 = std::min(w, x0 + distortion::kSampleBlockColumns);
            ForRows(out, first, last, [&](std::int32_t y, RgbValue* to) {
                formula_.Row(distortion::RowOf(input_, formula_.centre, y, x0, x1), to);
            });
        }
    }

private:
    PassInput input_;
    F formula_;
};

// For formulas with a value that depends on the distance alone: Value
// ValueAt(dx, dy) and void Row(const Value* valueOfColumn, const SampledRow&
// row, RgbValue* to) const, which samples the row's columns with their
// values (valueOfColumn[x]). Distance is the
// same for (±dx, ±dy) and (±dy, ±dx) (it takes magnitudes, and the sum of the
// two squared shares does not depend on their order), so the eight pixels
// placed so about the centre share one value.
//
// With the centre inside the picture the values are worked out once per
// pass into a table over |dy| (rows) and |dx| (columns), on all the pass's
// threads: the entries with |dx| >= |dy| first, then those below the
// diagonal copied from their mirror images above it, a tile at a time; rows
// of the picture then read their values in order. The table is kept in the
// slot's scratch for the next pass, and not made where it would exceed half
// the picture's pixels (a centre near a corner). Without it, four of the
// eight share: a pixel right of the centre column takes the value of its
// partner on the left, computed earlier in the same row.
//
// Either way each row below the centre is visited next to its partner above,
// which takes over its row of values. That order: position 2(k-1) is row
// cy - k, 2(k-1) + 1 is row cy + k (k = 1 .. the pairs inside the picture),
// then the centre row and the rows without a partner in ascending order. It
// is one-to-one, so handing out positions instead of rows still writes every
// row once. Partners exist only when the centre lies inside the picture, and
// then no offset wraps: -dx and -dy are exact.
template <class F>
class MirrorSymmetry final : public SlotKernel {
public:
    explicit MirrorSymmetry(const PassInput& input) : input_(input), formula_(input) {
        const std::int32_t h = input.source.height, cy = formula_.centre.y;
        inside_ = cy >= 0 && cy < h;
        pairs_ = inside_ ? std::min(cy, h - 1 - cy) : 0;
        if (formula_.Moves()) MakeTable(input.threads);
    }

    bool PositionsAreRows() const override { return false; }

    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        if (!formula_.Moves()) {
            for (std::int32_t position = first; position < last; ++position) {
                const std::int32_t y = RowAt(position);
                distortion::CopyRows(input_.source, out, y, y + 1);
            }
            return;
        }
        const std::int32_t w = input_.source.width;
        const Centre centre = formula_.centre;
        const std::int64_t twiceCx = 2 * std::int64_t{centre.x};
        // The values of the range's rows (a partner row shares its row's),
        // then the samples, a block of columns at a time. Kept per thread, so
        // that a pass does not fault in fresh pages for every range.
        static thread_local std::vector<Value> values;
        struct RowValues {
            std::int32_t y;
            std::size_t at;  // its values start at values[at]
        };
        std::vector<RowValues> rows;
        rows.reserve(static_cast<std::size_t>(last - first));
        values.resize(static_cast<std::size_t>(last - first) * static_cast<std::size_t>(w));
        std::size_t next = 0;
        for (std::int32_t position = first; position < last; ++position) {
            const std::int32_t y = RowAt(position);
            Value* row = values.data() + next;
            if (table_) {
                const Value* of = table_ + static_cast<std::size_t>(y < centre.y ? centre.y - y : y - centre.y) * columns_;
                for (std::int32_t x = 0; x < w; ++x) row[x] = of[x < centre.x ? centre.x - x : x - centre.x];
            } else {
                for (std::int32_t x = 0; x < w; ++x) {
                    const std::int64_t partner = twiceCx - x;  // the mirror column, left of x
                    const Offset offset = OffsetFrom(centre, x, y);
                    row[x] = partner >= 0 && partner < x ? row[static_cast<std::size_t>(partner)]
                                                         : formula_.ValueAt(offset.dx, offset.dy);
                }
            }
            rows.push_back({y, next});
            if (position < 2 * pairs_ && position % 2 == 0 && position + 1 < last) {
                rows.push_back({RowAt(position + 1), next});  // the partner row: the same values
                ++position;
            }
            next += static_cast<std::size_t>(w);
        }
        for (std::int32_t x0 = 0; x0 < w; x0 += distortion::kSampleBlockColumns) {
            const std::int32_t x1 = std::min(w, x0 + distortion::kSampleBlockColumns);
            for (const RowValues& r : rows)
                formula_.Row(values.data() + r.at, distortion::RowOf(input_, centre, r.y, x0, x1), out.Row(r.y));
        }
    }

private:
    using Value = decltype(std::declval<const F&>().ValueAt(0, 0));

    // Entry (b, a) of the table holds the value at |dy| = b, |dx| = a.
    void MakeTable(int threads) {
        const Centre c = formula_.centre;
        const std::int32_t w = input_.source.width, h = input_.source.height;
        if (c.x < 0 || c.x >= w || c.y < 0 || c.y >= h || !input_.scratch) return;
        const std::int32_t a = std::max(c.x, w - 1 - c.x), b = std::max(c.y, h - 1 - c.y);
        columns_ = static_cast<std::size_t>(a) + 1;
        const std::size_t rows = static_cast<std::size_t>(b) + 1;
        if (rows * columns_ > static_cast<std::size_t>(w) * static_cast<std::size_t>(h) / 2) return;
        std::vector<Value>& table = input_.scratch->Of<Value>();
        table.resize(rows * columns_);
        Value* values = table.data();
        const auto chunk = static_cast<std::int32_t>(std::max<std::size_t>(1, 32 * 1024 / columns_));
        // A pass cancelled meanwhile is abandoned: its rows never use a table
        // left unfinished.
        const bool above = WorkerPool::Shared().Run(
            b + 1, chunk, threads,
            [&](std::int32_t first, std::int32_t last) {
                for (std::int32_t dy = first; dy < last; ++dy) {
                    Value* row = values + static_cast<std::size_t>(dy) * columns_;
                    // Below the diagonal only where its mirror image exists.
                    for (std::int32_t dx = dy <= a ? dy : 0; dx <= a; ++dx) row[dx] = formula_.ValueAt(dx, dy);
                }
            },
            input_.cancel);
        if (!above) return;
        constexpr std::int32_t kTile = 32;
        const std::int32_t below = std::min(a, b);  // rows 1..below copy their entries left of the diagonal
        auto copyTiles = [&](std::int32_t first, std::int32_t last) {
            for (std::int32_t tile = first; tile < last; ++tile) {
                const std::int32_t top = tile * kTile, bottom = std::min(below + 1, top + kTile);
                for (std::int32_t left = 0; left < bottom; left += kTile)
                    for (std::int32_t dy = top; dy < bottom; ++dy) {
                        Value* row = values + static_cast<std::size_t>(dy) * columns_;
                        for (std::int32_t dx = left, end = std::min(dy, left + kTile); dx < end; ++dx)
                            row[dx] = values[static_cast<std::size_t>(dx) * columns_ + static_cast<std::size_t>(dy)];
                    }
            }
        };
        if (!WorkerPool::Shared().Run(below / kTile + 1, 1, threads, copyTiles, input_.cancel)) return;
        table_ = values;
    }

    std::int32_t RowAt(std::int32_t position) const {
        const std::int32_t cy = formula_.centre.y;
        if (position < 2 * pairs_) {
            const std::int32_t k = position / 2 + 1;
            return position % 2 == 0 ? cy - k : cy + k;
        }
        const std::int32_t rest = position - 2 * pairs_;  // the centre row and the unpaired ones, in order
        if (!inside_) return rest;
        const std::int32_t low = cy - pairs_;  // lowest row of the mirrored band
        if (rest < low) return rest;
        return rest == low ? cy : rest + 2 * pairs_;
    }

    PassInput input_;
    F formula_;
    bool inside_ = false;
    std::int32_t pairs_ = 0;
    const Value* table_ = nullptr;  // null: no table
    std::size_t columns_ = 0;
};

// For formulas with a value that depends on the diamond distance m = |dx| +
// |dy| alone: Value ValueAt(m) and void Row(const Value* valueOfColumn, const
// SampledRow& row, RgbValue* to) const, as for MirrorSymmetry. m takes at most
// width + height values, so the value of each m that occurs is worked out
// once per pass. Where an offset or m would wrap (a centre far outside the
// picture) the values are worked out per pixel instead.
template <class F>
class TableOverDiamond final : public SlotKernel {
public:
    explicit TableOverDiamond(const PassInput& input) : input_(input), formula_(input) {
        if (!formula_.Moves()) return;
        const Centre c = formula_.centre;
        std::int64_t aLow = 0, aHigh = 0, bLow = 0, bHigh = 0;
        if (!MagnitudeRange(-std::int64_t{c.x}, std::int64_t{input.source.width} - 1 - c.x, aLow, aHigh) ||
            !MagnitudeRange(-std::int64_t{c.y}, std::int64_t{input.source.height} - 1 - c.y, bLow, bHigh) ||
            aHigh + bHigh > std::numeric_limits<std::int32_t>::max())
            return;
        origin_ = aLow + bLow;
        values_.reserve(static_cast<std::size_t>(aHigh + bHigh - origin_ + 1));
        for (std::int64_t m = origin_; m <= aHigh + bHigh; ++m)
            values_.push_back(formula_.ValueAt(static_cast<std::int32_t>(m)));
    }

    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        if (!formula_.Moves()) return distortion::CopyRows(input_.source, out, first, last);
        const Centre centre = formula_.centre;
        const std::int32_t w = input_.source.width;
        static thread_local std::vector<Value> row;
        row.resize(static_cast<std::size_t>(w));
        ForRows(out, first, last, [&](std::int32_t y, RgbValue* to) {
            const std::int32_t b = WrapAbs(WrapSub(y, centre.y));
            for (std::int32_t x = 0; x < w; ++x) {
                // Without wrapping, m lies in the table for every pixel.
                const std::int32_t m = WrapAdd(WrapAbs(WrapSub(x, centre.x)), b);
                row[static_cast<std::size_t>(x)] =
                    values_.empty() ? formula_.ValueAt(m) : values_[static_cast<std::size_t>(m - origin_)];
            }
            formula_.Row(row.data(), distortion::RowOf(input_, centre, y, 0, w), to);
        });
    }

private:
    // The range of |v| for v = first .. last, exactly; false where an offset
    // would wrap.
    static bool MagnitudeRange(std::int64_t first, std::int64_t last, std::int64_t& low, std::int64_t& high) {
        if (first <= std::numeric_limits<std::int32_t>::min() || last > std::numeric_limits<std::int32_t>::max())
            return false;
        const std::int64_t a = first < 0 ? -first : first, b = last < 0 ? -last : last;
        high = std::max(a, b);
        low = first <= 0 && last >= 0 ? 0 : std::min(a, b);
        return true;
    }

    PassInput input_;
    F formula_;
    using Value = decltype(std::declval<const F&>().ValueAt(0));
    std::vector<Value> values_;  // of m = origin_, origin_ + 1, ...
    std::int64_t origin_ = 0;
};

// For formulas with a wave of |dx| and a wave of |dy| (square rings): double
// WaveAt(magnitude) and void Row(const double* waveOfColumn, double waveY,
// const SampledRow& row, RgbValue* to) const. The wave at |dx| depends on the
// column alone and is worked out once per column and pass; the wave at |dy|
// once per row.
template <class F>
class ColumnAndRowMemo final : public SlotKernel {
public:
    explicit ColumnAndRowMemo(const PassInput& input) : input_(input), formula_(input) {
        if (!formula_.Moves()) return;
        waveOfColumn_.resize(static_cast<std::size_t>(input.source.width));
        for (std::int32_t x = 0; x < input.source.width; ++x)
            waveOfColumn_[static_cast<std::size_t>(x)] = formula_.WaveAt(WrapAbs(WrapSub(x, formula_.centre.x)));
    }

    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        if (!formula_.Moves()) return distortion::CopyRows(input_.source, out, first, last);
        const Centre centre = formula_.centre;
        ForRows(out, first, last, [&](std::int32_t y, RgbValue* to) {
            const double waveY = formula_.WaveAt(WrapAbs(WrapSub(y, centre.y)));
            formula_.Row(waveOfColumn_.data(), waveY, distortion::RowOf(input_, centre, y, 0, out.width), to);
        });
    }

private:
    PassInput input_;
    F formula_;
    std::vector<double> waveOfColumn_;
};

// For formulas that move one coordinate by a shift that depends on the
// position along one axis alone (the waves): kRunsAlongX (the shift depends
// on the column, else on the row), kMovesX (the shift moves the column, else
// the row), and bool ShiftAt(position, shift) const, false where the shift
// has no 32-bit value. The sampler works along the moved axis. The shift of
// each column is worked out once per pass, that of each row once per row.
template <class F>
class OncePerLine final : public SlotKernel {
public:
    explicit OncePerLine(const PassInput& input) : input_(input), formula_(input) {
        if (!formula_.Moves() || !F::kRunsAlongX) return;
        const std::int32_t w = input.source.width;
        sampleOfColumn_.resize(static_cast<std::size_t>(w));
        for (std::int32_t x = 0; x < w; ++x) {
            std::int32_t shift = 0;
            const bool ok = formula_.ShiftAt(x, shift);
            // Moving the column: the sampled column itself (-1: the
            // background); moving the row: the shift.
            sampleOfColumn_[static_cast<std::size_t>(x)] =
                F::kMovesX ? (ok ? SampleAxis(WrapAdd(x, shift), w, input.params.overflowMode) : -1) : shift;
            // Moving the row: neighbouring columns of the same shift sample
            // one source row together.
            validOfColumn_.push_back(ok ? 1 : 0);
            if (!F::kMovesX) {
                if (runs_.empty() || runs_.back().ok != ok || runs_.back().shift != shift)
                    runs_.push_back({x, x, shift, ok});
                ++runs_.back().end;
            }
        }
    }

    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        RunLoop([&] { Rows(out, first, last); });
    }

private:
    void Rows(const TargetRows& out, std::int32_t first, std::int32_t last) const {
        const SourceRows& s = input_.source;
        if (!formula_.Moves()) return distortion::CopyRows(s, out, first, last);
        const std::int32_t w = s.width, h = s.height, overflow = input_.params.overflowMode;
        const RgbValue background = input_.params.backgroundColor | kOpaque;
        ForRows(out, first, last, [&](std::int32_t y, RgbValue* to) {
            if constexpr (F::kRunsAlongX && F::kMovesX) {  // the sampled column depends on the column alone
                const RgbValue* row = s.Row(y);
                const std::int32_t* from = sampleOfColumn_.data();
                for (std::int32_t x = 0; x < w; ++x) to[x] = from[x] >= 0 ? row[from[x]] | kOpaque : background;
            } else if constexpr (F::kRunsAlongX) {  // the shift depends on the column, the sampled row on both
                if (runs_.size() * kShortRun > static_cast<std::size_t>(w)) {  // the runs are short: column by column
                    for (std::int32_t x = 0; x < w; ++x) {
                        const std::size_t i = static_cast<std::size_t>(x);
                        const std::int32_t sy =
                            validOfColumn_[i] ? SampleAxis(WrapAdd(y, sampleOfColumn_[i]), h, overflow) : -1;
                        to[x] = sy >= 0 ? s.At(x, sy) | kOpaque : background;
                    }
                    return;
                }
                for (const SameShift& run : runs_) {
                    const std::int32_t sy = run.ok ? SampleAxis(WrapAdd(y, run.shift), h, overflow) : -1;
                    const RgbValue* row = sy >= 0 ? s.Row(sy) : nullptr;
                    for (std::int32_t x = run.first; x < run.end; ++x) to[x] = row ? row[x] | kOpaque : background;
                }
            } else {
                std::int32_t shift = 0;
                const bool ok = formula_.ShiftAt(y, shift);
                if constexpr (!F::kMovesX) {  // a whole row comes from one source row
                    const std::int32_t sy = ok ? SampleAxis(WrapAdd(y, shift), h, overflow) : -1;
                    const RgbValue* row = sy >= 0 ? s.Row(sy) : nullptr;
                    for (std::int32_t x = 0; x < w; ++x) to[x] = row ? row[x] | kOpaque : background;
                } else {  // a whole row is shifted sideways by the same amount
                    const RgbValue* row = s.Row(y);
                    for (std::int32_t x = 0; x < w; ++x) {
                        const std::int32_t sx = ok ? SampleAxis(WrapAdd(x, shift), w, overflow) : -1;
                        to[x] = sx >= 0 ? row[sx] | kOpaque : background;
                    }
                }
            }
        });
    }

    // Below this many columns a run on average, the columns are sampled one
    // by one (a run's own work costs more than it saves).
    static constexpr std::size_t kShortRun = 8;
    // Columns first..end-1, which share one shift.
    struct SameShift {
        std::int32_t first, end, shift;
        bool ok;  // whether the shift has a value
    };

    PassInput input_;
    F formula_;
    std::vector<std::int32_t> sampleOfColumn_;
    std::vector<unsigned char> validOfColumn_;  // whether the shift has a value
    std::vector<SameShift> runs_;
};

}  // namespace prismview
