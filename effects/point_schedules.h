// How the point effects are computed: each schedule runs any formula of its
// shape over ranges of rows. A formula is written once, as the colour of one
// pixel; a schedule only decides how often the formula's parts are evaluated.
//
// Every formula is a type made for one pass from its parameters,
// F(const ProcessingParams&), and read-only afterwards.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "core/mode.h"
#include "core/shifts.h"
#include "core/wide_loops.h"
#include "effects/vector_kernels.h"

namespace prismview {

// Makes the kernel of `Schedule<Formula>` for a pass.
template <template <class> class Schedule, class Formula>
std::unique_ptr<SlotKernel> MakeKernel(const PassInput& input) {
    return std::make_unique<Schedule<Formula>>(input);
}
// What a mode's record names for each slot: the maker of its kernel, and
// whether the schedule reads the dot noise.
template <template <class> class Schedule, class Formula>
inline constexpr SlotKernelMaker Kernel{&MakeKernel<Schedule, Formula>, Schedule<Formula>::kReadsDots};

// Calls row(y, to) for output rows first..last-1 (to: the row's first pixel).
template <class RowFn>
inline void ForRows(const TargetRows& out, std::int32_t first, std::int32_t last, RowFn&& row) {
    for (std::int32_t y = first; y < last; ++y) row(y, out.Row(y));
}

// The formula of every pixel, in a loop it is inlined into. For formulas
// with a colour() of the pixel: RgbValue operator()(const Pixel&) const.
template <class F>
class EachPixel final : public SlotKernel {
public:
    explicit EachPixel(const PassInput& input) : source_(input.source), formula_(input.params) {}
    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        RunLoop([&] { Rows(out, first, last); });
    }

private:
    void Rows(const TargetRows& out, std::int32_t first, std::int32_t last) const {
        const std::int32_t width = out.width;
        ForRows(out, first, last, [&](std::int32_t y, RgbValue* to) {
            const RgbValue* from = source_.Row(y);
            for (std::int32_t x = 0; x < width; ++x) to[x] = formula_(SplitPixel(from[x])) | kOpaque;
        });
    }

    SourceRows source_;
    F formula_;
};

// For formulas written as a vector kernel over a run of pixels
// (effects/vector_kernels.h): void Row(const RgbValue* from, RgbValue* to,
// std::int32_t count) const, every pixel opaque.
template <class F>
class VectorRows final : public SlotKernel {
public:
    explicit VectorRows(const PassInput& input) : source_(input.source), formula_(input.params) {}
    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        ForRows(out, first, last, [&](std::int32_t y, RgbValue* to) { formula_.Row(source_.Row(y), to, out.width); });
    }

private:
    SourceRows source_;
    F formula_;
};

// The same for formulas of the pixel and its dot value (DotNoiseRaw of its
// index, which the pass keeps for the dot modes):
// RgbValue operator()(const Pixel&, std::int32_t noise) const.
template <class F>
class EachPixelWithDots final : public SlotKernel {
public:
    static constexpr bool kReadsDots = true;
    explicit EachPixelWithDots(const PassInput& input)
        : source_(input.source), noise_(input.dotNoise), formula_(input.params) {}
    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        RunLoop([&] { Rows(out, first, last); });
    }

private:
    void Rows(const TargetRows& out, std::int32_t first, std::int32_t last) const {
        const std::int32_t width = out.width;
        ForRows(out, first, last, [&](std::int32_t y, RgbValue* to) {
            const RgbValue* from = source_.Row(y);
            const std::int32_t* noise = noise_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            for (std::int32_t x = 0; x < width; ++x) to[x] = formula_(SplitPixel(from[x]), noise[x]) | kOpaque;
        });
    }

    SourceRows source_;
    const std::int32_t* noise_;
    F formula_;
};

// For formulas whose colour depends on one value of the pixel alone (its
// lightness, its tone, its amount along a hue): Key(pixel) in 0..kKeys-1
// and Colour(key). The colour of every key is worked out once per pass and
// every pixel looks its key up: the same colour, as the key decides it.
template <class F>
class TableOverKey final : public SlotKernel {
public:
    explicit TableOverKey(const PassInput& input) : source_(input.source), formula_(input.params) {
        for (std::int32_t key = 0; key < F::kKeys; ++key)
            colours_[static_cast<std::size_t>(key)] = formula_.Colour(key) | kOpaque;
    }
    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        RunLoop([&] { Rows(out, first, last); });
    }

private:
    void Rows(const TargetRows& out, std::int32_t first, std::int32_t last) const {
        // A copy on the stack (a few KB): the output rows cannot overlap it,
        // so the keys of several pixels are worked out at once. Read from the
        // member, every store might change the table and the loop stays scalar.
        const std::array<RgbValue, F::kKeys> colours = colours_;
        const std::int32_t width = out.width;
        ForRows(out, first, last, [&](std::int32_t y, RgbValue* to) {
            const RgbValue* from = source_.Row(y);
            for (std::int32_t x = 0; x < width; ++x)
                to[x] = colours[static_cast<std::size_t>(formula_.Key(SplitPixel(from[x])))];
        });
    }

    SourceRows source_;
    F formula_;
    std::array<RgbValue, F::kKeys> colours_;
};

// For formulas that treat each channel on its own with the same function of
// the source channel and the background's channel: Channel(source,
// background) in 0..255. The background is fixed for the pass, so the
// function of each channel is inlined into a loop the compiler vectorises.
template <class F>
class EachChannel final : public SlotKernel {
public:
    explicit EachChannel(const PassInput& input)
        : source_(input.source), formula_(input.params), background_(input.params.backgroundColor) {}
    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        RunLoop([&] { Rows(out, first, last); });
    }

private:
    void Rows(const TargetRows& out, std::int32_t first, std::int32_t last) const {
        const std::int32_t width = out.width;
        const std::int32_t red = RedOf(background_), green = GreenOf(background_), blue = BlueOf(background_);
        const F formula = formula_;
        ForRows(out, first, last, [&](std::int32_t y, RgbValue* to) {
            const RgbValue* from = source_.Row(y);
            for (std::int32_t x = 0; x < width; ++x) {
                const RgbValue p = from[x];
                to[x] = PackRgb(formula.Channel(RedOf(p), red), formula.Channel(GreenOf(p), green),
                                formula.Channel(BlueOf(p), blue)) |
                        kOpaque;
            }
        });
    }

    SourceRows source_;
    F formula_;
    RgbValue background_;
};

// The same for vector kernels of the pixel and its dot value: void Row(const
// RgbValue* from, const std::int32_t* noise, RgbValue* to, std::int32_t count)
// const.
template <class F>
class VectorRowsWithDots final : public SlotKernel {
public:
    static constexpr bool kReadsDots = true;
    explicit VectorRowsWithDots(const PassInput& input)
        : source_(input.source), noise_(input.dotNoise), formula_(input.params) {}
    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        ForRows(out, first, last, [&](std::int32_t y, RgbValue* to) {
            formula_.Row(source_.Row(y), noise_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width), to,
                          out.width);
        });
    }

private:
    SourceRows source_;
    const std::int32_t* noise_;
    F formula_;
};

// For saturation formulas, which decide what happens to a pixel's range
// min..max from max and min alone (Plan(max, min)) and then stretch its
// channels into the planned range. Each of the 32,896 (max, min) pairs is
// planned once per pass and every pixel looks its pair up: the same plan, as
// max and min decide it. Numbered max (max + 1) / 2 + min and packed into one
// word each, the plans of a slot take 129 KB and stay in the cache; the
// look-ups and the stretch run in vector lanes (ApplySaturationRun).
template <class F>
class TableOverMaxMin final : public SlotKernel {
public:
    explicit TableOverMaxMin(const PassInput& input) : source_(input.source), words_(256 * 257 / 2) {
        const F formula(input.params);
        for (std::int32_t max = 0; max < 256; ++max)
            for (std::int32_t min = 0; min <= max; ++min)
                words_[static_cast<std::size_t>(max * (max + 1) / 2 + min)] =
                    PackSaturationPlan(formula.Plan(max, min));
    }
    void Run(const TargetRows& out, std::int32_t first, std::int32_t last) const override {
        ForRows(out, first, last,
                [&](std::int32_t y, RgbValue* to) { ApplySaturationRun(source_.Row(y), to, out.width, words_.data()); });
    }

private:
    SourceRows source_;
    std::vector<std::uint32_t> words_;
};

}  // namespace prismview
