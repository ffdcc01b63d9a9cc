// The shrunk copies the window shows of a 4000 x 3000 picture and its four
// derived images, made for a new picture or a change of the view (a pass
// makes its own): the five copies for the two-column gallery in a 1440 x 900
// window, and the one copy of the single view.
#include <benchmark/benchmark.h>

#include "app/app_state.h"
#include "app/view.h"

using namespace prismview;

namespace {

void MakeCopies(benchmark::State& bench, std::int32_t selectedImage) {
    static AppState state = [] {
        AppState s;
        BitmapHandle base = Bitmap::Create(4000, 3000);
        for (std::int32_t row = 0; row < 3000; ++row)
            for (std::int32_t x = 0; x < 4000; ++x)
                base->Scanline(row)[x] = 0xFF000000u | static_cast<std::uint32_t>(x * 7 + row * 13) * 2654435761u >> 8;
        InstallBaseImage(s.shown.images, std::move(base));
        s.view.client = {1440, 881};
        s.view.textHeight = 17;
        return s;
    }();
    state.view.selectedImage = selectedImage;
    for (auto _ : bench) {
        for (BitmapHandle& copy : state.shown.images.scaled) copy.reset();  // as after a new base
        MakeShownCopies(state);
        benchmark::ClobberMemory();
    }
    const Size shown = ShownSize(state);
    bench.SetLabel(std::to_string(shown.width) + "x" + std::to_string(shown.height));
}

BENCHMARK_CAPTURE(MakeCopies, gallery, -1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(MakeCopies, single, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
