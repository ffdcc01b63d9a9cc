// The whole processing pass of every mode, on 4000 x 3000 and 1920 x 1080
// pictures, against two references measured in the same run:
// - floor: the least memory traffic any pass needs, the base image read once
//   and each of the four derived images written once (memcpy of rows);
// - copy-only: a pass whose four slots copy the source, through the same
//   path as every effect.
// After the runs a table gives every case's median as a ratio to the floor of
// its size (5 repetitions each).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/colour.h"
#include "core/parallel.h"
#include "core/process.h"
#include "core/vector_target.h"
#include "effects/mode_table.h"
#include "effects/point_schedules.h"

using namespace prismview;

namespace {

struct Size {
    std::int32_t width, height;
    std::string Name() const { return std::to_string(width) + "x" + std::to_string(height); }
};
const Size kSizes[] = {{4000, 3000}, {1920, 1080}};

ImageSet& Picture(Size size) {
    static std::map<std::int64_t, ImageSet> pictures;
    ImageSet& images = pictures[std::int64_t{size.width} << 32 | size.height];
    if (images.Loaded()) return images;
    BitmapHandle base = Bitmap::Create(size.width, size.height);
    for (std::int32_t row = 0; row < size.height; ++row)
        for (std::int32_t x = 0; x < size.width; ++x)
            base->Scanline(row)[x] =
                0xFF000000u | (RotateHue(HueColour(x * HueSteps / size.width), 0, false) ^
                               static_cast<RgbValue>((row * 255 / size.height) * 0x010101u / 2));
    InstallBaseImage(images, std::move(base));
    return images;
}

// A mode whose four slots copy the base: the pass's own cost.
struct Copy {
    explicit Copy(const ProcessingParams&) {}
    RgbValue operator()(const Pixel& p) const { return p.value; }
};
constexpr ModeSpec kCopyMode{.mode = EffectMode{}, .menuCaption = "", .section = MenuSection::Colours,
                             .name = "copy", .reads = 0,
                             .slots = {Kernel<EachPixel, Copy>, Kernel<EachPixel, Copy>, Kernel<EachPixel, Copy>,
                                       Kernel<EachPixel, Copy>}};

void RunFloor(benchmark::State& state, Size size) {
    ImageSet& images = Picture(size);
    const Bitmap& base = *images.bitmaps[0];
    const std::size_t bytes = static_cast<std::size_t>(base.BytesPerLine());
    for (auto _ : state) {
        const std::int32_t chunk = std::max(1, 32 * 1024 / size.width);  // as the pass hands out rows
        WorkerPool::Shared().Run(size.height, chunk, DefaultThreadCount(), [&](std::int32_t first, std::int32_t last) {
            for (std::int32_t row = first; row < last; ++row) {
                const std::uint32_t* from = base.Scanline(row);
                for (int slot = 1; slot < kSlotCount; ++slot)
                    std::memcpy(images.bitmaps[slot]->Scanline(row), from, bytes);
            }
        });
        benchmark::ClobberMemory();
    }
}

// withCopies: the pass also makes the gallery's shrunk copies of its four
// images (391 x 293 for 4000 x 3000, as the 1440 x 900 window shows them).
void RunPass(benchmark::State& state, Size size, const ModeSpec& mode, bool withCopies = false) {
    ImageSet& images = Picture(size);
    ProcessingParams params;
    params.effectMode = mode.mode;
    params.hue = 300;
    params.level = 200;
    params.backgroundColor = 0x336699;
    // PRISMVIEW_BENCH_OVERFLOW=1 or 2: the distortions under the wrap or edge treatment.
    if (const char* overflow = std::getenv("PRISMVIEW_BENCH_OVERFLOW")) params.overflowMode = std::atoi(overflow);
    // As in the program: every key press redoes the pass with the buffers of the last one.
    static PassMemory memory;
    PassOptions options;
    options.memory = &memory;
    std::array<BitmapHandle, kSlotCount> copies;
    for (int slot = 1; withCopies && slot < kSlotCount; ++slot) {
        copies[slot] = Bitmap::Create(size.width * 293 / size.height, 293);
        options.copies[slot] = copies[slot].get();
    }
    for (auto _ : state) {
        ProcessImages(images, &mode, params, options);
        benchmark::ClobberMemory();
    }
}

// Collects the medians and prints them as ratios to the floor of their size.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.aggregate_name == "median") medians_.push_back({run.run_name.function_name, run.GetAdjustedRealTime()});
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::map<std::string, double> floors;
        for (const auto& [name, ms] : medians_)
            if (name.ends_with("/floor")) floors[name.substr(0, name.size() - 6)] = ms;
        std::printf("\n%-40s %10s %8s\n", "case (median)", "ms", "x floor");
        for (const auto& [name, ms] : medians_) {
            const auto floor = floors.find(name.substr(0, name.rfind('/')));
            std::printf("%-40s %10.1f %8.2f\n", name.c_str(), ms,
                        floor == floors.end() ? 0.0 : ms / floor->second);
        }
    }

private:
    std::vector<std::pair<std::string, double>> medians_;
};

void Register() {
    for (const Size size : kSizes) {
        const std::string prefix = "Pass/" + size.Name() + "/";
        std::vector<benchmark::internal::Benchmark*> cases;
        cases.push_back(benchmark::RegisterBenchmark((prefix + "floor").c_str(),
                                                     [size](benchmark::State& s) { RunFloor(s, size); }));
        cases.push_back(benchmark::RegisterBenchmark(
            (prefix + "copy-only").c_str(), [size](benchmark::State& s) { RunPass(s, size, kCopyMode); }));
        cases.push_back(benchmark::RegisterBenchmark((prefix + "copy-only+gallery-copies").c_str(),
                                                     [size](benchmark::State& s) { RunPass(s, size, kCopyMode, true); }));
        for (const ModeSpec* mode : AllModes()) {
            const std::string name = prefix + std::to_string(mode->mode) + "-" + std::string(mode->name);
            cases.push_back(benchmark::RegisterBenchmark(
                name.c_str(), [size, mode](benchmark::State& s) { RunPass(s, size, *mode); }));
        }
        for (auto* c : cases) c->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->MinTime(0.2)->DisplayAggregatesOnly(true);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    // In the header: which of the compiled vector targets this processor runs.
    benchmark::AddCustomContext("vector target", VectorTargetName());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
