// The whole processing pass of every mode on a 4000 x 3000 picture, against
// a pass that only copies the source into the four slots through the same
// read and write path.
#include <benchmark/benchmark.h>

#include "core/colour.h"
#include "core/process.h"
#include "effects/effect_table.h"
#include "resources/modes.h"

using namespace prismview;

namespace {

constexpr std::int32_t kWidth = 4000, kHeight = 3000;

ImageSet& Picture() {
    static ImageSet images = [] {
        ImageSet set;
        BitmapHandle base = Bitmap::Create(kWidth, kHeight);
        for (std::int32_t row = 0; row < kHeight; ++row)
            for (std::int32_t x = 0; x < kWidth; ++x)
                base->Scanline(row)[x] =
                    0xFF000000u | (RotateHue(HueColour(x * HueSteps / kWidth), 0, false) ^
                                   static_cast<RgbValue>((row * 255 / kHeight) * 0x010101u / 2));
        InstallBaseImage(set, std::move(base));
        return set;
    }();
    return images;
}

void CopySlot(const SlotContext& c, PixelBuffer& work, std::int32_t first, std::int32_t last) {
    ForEachPixel(c, work, first, last, [](const Pixel& p, std::int32_t, std::int32_t) { return p.value; });
}

void RunPass(benchmark::State& state, const EffectTable& table, std::int32_t mode) {
    ImageSet& images = Picture();
    Labels labels;
    ProcessingParams params;
    params.effectMode = mode;
    params.hue = 300;
    params.level = 200;
    params.backgroundColor = 0x336699;
    // As in the program: every key press redoes the pass with the buffers of the last one.
    static PassMemory memory;
    PassOptions options;
    options.memory = &memory;
    for (auto _ : state) {
        ProcessImages(images, labels, params, table, options);
        benchmark::ClobberMemory();
    }
    const double pixels = static_cast<double>(kWidth) * kHeight;
    state.counters["Mpx/s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

const int registered = [] {
    static EffectTable copyTable{};
    copyTable[ModeInvert].runners = {CopySlot, CopySlot, CopySlot, CopySlot};
    benchmark::RegisterBenchmark("Pass/copy-only", [](benchmark::State& s) { RunPass(s, copyTable, ModeInvert); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    for (std::int32_t mode = 0; mode < kModeCount; ++mode) {
        if (!AllEffects()[mode].runners[0]) continue;
        const std::string name = "Pass/" + std::to_string(mode) + "-" + std::string(ModeLabelTable[mode].name);
        benchmark::RegisterBenchmark(name.c_str(), [mode](benchmark::State& s) { RunPass(s, AllEffects(), mode); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return 0;
}();

}  // namespace

BENCHMARK_MAIN();
