// What a user waits for after a key press: the real main window on Qt's
// offscreen platform (1440 x 900, the default fit view), a real key event,
// and the time until the window has painted the preview of that press and
// then its exact tiles. For every mode at 1920 x 1080 and 4000 x 3000:
// median and maximum of both. Then a held key (20 presses 33 ms apart): how
// many presses had their own preview painted, and the time from the last
// press to the exact tiles. Then a slider of the parameter panel dragged at
// 30 steps a second (20 steps): how many steps had a preview of their own
// value painted before the next step came, and the time from the last step
// to the exact tiles. Beside the burst figures, each mode's median
// exact time of a press made after 2.5 s of idle, as a user presses after
// looking at the result ("—" for a mode no key changes: no pass runs).
// Each size ends with a line scripts read:
//   worst preview_ms=<max over modes of the median> exact_ms=<...>
//     worst_after_pause_ms=<...> size=WxH
//   slider_previews=<n>/20 exact_after_ms=<...> size=WxH
// Then the browser (全加工の一覧) at each size: the time from Tab to the
// painted browser with every row made anew (as after a new picture), and
// from a key press to the painted browser with the rows that read the
// changed value redone, for each value a key changes (the current mode one
// that reads it, so that its exact pass runs beside):
//   browser_open_ms=<median> size=WxH
//   browser_ms=<max over the values of the median> size=WxH
//
//   build/release/bench/prismview-key-latency [presses per mode, default 5]
// PRISMVIEW_BENCH_MODES=8,12 measures only those modes, and
// PRISMVIEW_BENCH_PAUSED=N makes N presses after a pause (default 3).
#include <QApplication>
#include <QKeyEvent>
#include <QSlider>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/browser.h"
#include "app/input.h"
#include "app/parameter_panel.h"
#include "app/regenerate.h"
#include "core/colour.h"
#include "effects/mode_table.h"
#include "platform/client_area.h"
#include "platform/environment.h"
#include "platform/main_window.h"
#include "platform/parameter_panel.h"

using namespace prismview;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

BitmapHandle Picture(std::int32_t width, std::int32_t height) {
    BitmapHandle base = Bitmap::Create(width, height);
    for (std::int32_t row = 0; row < height; ++row)
        for (std::int32_t x = 0; x < width; ++x)
            base->Scanline(row)[x] = kOpaque | (RotateHue(HueColour(x * HueSteps / width), 0, false) ^
                                                static_cast<RgbValue>((row * 255 / height) * 0x010101u / 2));
    return base;
}

// Notes every paint of the client area: when it came, and whether it showed
// a preview or the exact tiles of the newest request.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* widget, const AppState& state) : state_(state) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint || !armed) return false;
        const Clock::time_point now = Clock::now();
        if (state_.shown.previewing && !preview) preview = now;
        if (!state_.shown.previewing && !state_.passRunner->Busy() && !exact) exact = now;
        return false;
    }
    // Paints while the key is handled (the status text) do not count.
    void Reset() {
        preview = exact = std::nullopt;
        armed = false;
    }
    bool armed = false;
    std::optional<Clock::time_point> preview, exact;

private:
    const AppState& state_;
};

bool SomeKeyChanges(const ModeSpec& mode) {
    return mode.reads & (ReadsHue | ReadsLevel | ReadsFrequency | ReadsAmplitude | ReadsCentre);
}

// The key that changes something the mode reads.
Qt::Key KeyFor(const ModeSpec& mode) {
    if (mode.reads & ReadsHue) return Qt::Key_Right;
    if (mode.reads & ReadsLevel) return Qt::Key_Up;
    if (mode.reads & ReadsFrequency) return Qt::Key_2;
    if (mode.reads & ReadsAmplitude) return Qt::Key_6;
    if (mode.reads & ReadsCentre) return Qt::Key_W;
    return Qt::Key_Right;  // reads nothing a key changes: no pass
}

void Press(QWidget* client, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(client, &press);
}

// Keeps the event loop going until `done` or the time is up.
template <class Done>
void RunUntil(Done&& done, std::chrono::milliseconds limit = std::chrono::milliseconds(20000)) {
    const Clock::time_point end = Clock::now() + limit;
    while (!done() && Clock::now() < end) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

struct Times {
    double median, max;
};
Times Of(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

// How many presses after a pause: 3, or PRISMVIEW_BENCH_PAUSED.
int PausedPresses() {
    const int asked = qEnvironmentVariableIntValue("PRISMVIEW_BENCH_PAUSED");
    return asked > 0 ? asked : 3;
}

// The modes to measure: all, or those named by number in PRISMVIEW_BENCH_MODES ("8,12").
bool Chosen(const ModeSpec& mode) {
    const QByteArray list = qgetenv("PRISMVIEW_BENCH_MODES");
    if (list.isEmpty()) return true;
    for (const QByteArray& number : list.split(','))
        if (number.toInt() == mode.mode) return true;
    return false;
}

// A slider of the parameter panel dragged at 30 steps a second, as a hand
// moves it: a step counts when a preview made for its value (or its exact
// tiles) was painted before the next step. How many, and the time from the
// last step to the exact tiles.
struct DragResult {
    int ownPreviews = 0;
    double exactAfter = -1.0;
};
DragResult Drag(MainWindow& window, AppState& state, PaintWatch& watch, EffectMode mode,
                std::int32_t ProcessingParams::*field, int by) {
    state.params = ProcessingParams{};
    state.params.effectMode = mode;
    if (!state.view.parameterPanel) OnCommand(window, state, Command::ParameterPanel);
    Regenerate(window, state);
    window.RequestRepaint();
    RunUntil([&] { return !window.Runner().Busy(); });
    RunUntil([] { return false; }, std::chrono::milliseconds(300));  // the dock laid out, the copies made
    QSlider* slider = window.Parameters()->Slider({field});
    if (!slider) return {};
    int ownPreviews = 0;
    Clock::time_point last;
    slider->setSliderDown(true);
    for (int i = 0; i < 20; ++i) {
        watch.Reset();
        last = Clock::now();
        slider->setValue(slider->value() + by);
        const ProcessingParams step = state.params;
        const bool previewMade = state.shown.previewing;  // by this step's request
        watch.armed = true;
        const Clock::time_point next = last + std::chrono::milliseconds(33);
        RunUntil([&] { return Clock::now() >= next; }, std::chrono::milliseconds(1000));
        if ((previewMade && watch.preview) || (watch.exact && state.shown.madeWith == step)) ++ownPreviews;
    }
    slider->setSliderDown(false);
    RunUntil([&] { return watch.exact.has_value() && state.shown.madeWith == state.params; });
    return {ownPreviews, watch.exact ? Ms(*watch.exact - last) : -1.0};
}

// The hue slider (the line scripts read), then the vortex's amplitude, the
// slowest pass a slider drives.
void DragSliders(MainWindow& window, AppState& state, PaintWatch& watch, std::int32_t width, std::int32_t height) {
    const DragResult vortex = Drag(window, state, watch, ModeVortex, &ProcessingParams::waveAmplitude, 4);
    std::printf("dragged vortex amplitude: %d of 20 steps painted their own preview; exact %.1f ms after the last\n",
                vortex.ownPreviews, vortex.exactAfter);
    const DragResult hue = Drag(window, state, watch, ModeHueRotate, &ProcessingParams::hue, 15);
    std::printf("slider_previews=%d/20 exact_after_ms=%.1f size=%dx%d\n", hue.ownPreviews, hue.exactAfter, width, height);
    std::fflush(stdout);
    OnCommand(window, state, Command::ParameterPanel);  // the next size is measured without it
    RunUntil([] { return false; }, std::chrono::milliseconds(100));
}

void Measure(MainWindow& window, AppState& state, std::int32_t width, std::int32_t height, int presses) {
    InstallBaseImage(state.shown.images, Picture(width, height));
    state.params = ProcessingParams{};
    Regenerate(window, state);
    window.RequestRepaint();
    RunUntil([&] { return !window.Runner().Busy(); });
    QWidget* client = window.Client();
    PaintWatch watch(client, state);
    std::printf("\n%-22s %11s %11s %11s %11s %11s   (%dx%d, gallery, fit)\n", "mode", "preview md", "preview max",
                "exact md", "exact max", "after pause", width, height);
    double worstPreview = 0, worstExact = 0, worstAfterPause = 0;
    auto press = [&](const ModeSpec& mode, std::vector<double>& previews, std::vector<double>& exacts) {
        watch.Reset();
        const Clock::time_point start = Clock::now();
        Press(client, KeyFor(mode));
        watch.armed = true;
        RunUntil([&] { return watch.exact.has_value(); });
        // Without a pass (nothing read changed) the first paint is exact.
        previews.push_back(Ms(watch.preview.value_or(*watch.exact) - start));
        exacts.push_back(Ms(*watch.exact - start));
    };
    for (const ModeSpec* mode : AllModes()) {
        if (!Chosen(*mode)) continue;
        state.params = ProcessingParams{};
        state.params.effectMode = mode->mode;
        Regenerate(window, state);  // the mode's first pass, as choosing it does
        window.RequestRepaint();
        RunUntil([&] { return !window.Runner().Busy(); });
        const std::string name = std::to_string(mode->mode) + "-" + std::string(mode->name);
        if (!SomeKeyChanges(*mode)) {
            std::printf("%-22s %11s %11s %11s %11s %11s\n", name.c_str(), "—", "—", "—", "—", "—");
            continue;
        }
        std::vector<double> previews, exacts, pausedPreviews, paused;
        for (int i = 0; i < presses; ++i) {
            RunUntil([] { return false; }, std::chrono::milliseconds(5));
            press(*mode, previews, exacts);
        }
        for (int i = 0; i < std::min(presses, PausedPresses()); ++i) {
            RunUntil([] { return false; }, std::chrono::milliseconds(2500));
            press(*mode, pausedPreviews, paused);
        }
        const Times preview = Of(previews), exact = Of(exacts), afterPause = Of(paused);
        worstPreview = std::max(worstPreview, preview.median);
        worstExact = std::max(worstExact, exact.median);
        worstAfterPause = std::max(worstAfterPause, afterPause.median);
        std::printf("%-22s %11.1f %11.1f %11.1f %11.1f %11.1f\n", name.c_str(), preview.median, preview.max,
                    exact.median, exact.max, afterPause.median);
        std::fflush(stdout);
    }

    // Held keys: a press every 33 ms, as autorepeat sends them.
    for (const auto& [modeNumber, key] : {std::pair{ModeHueRotate, Qt::Key_Right}, std::pair{ModeVortex, Qt::Key_2}}) {
        state.params = ProcessingParams{};
        state.params.effectMode = modeNumber;
        Regenerate(window, state);
        window.RequestRepaint();
        RunUntil([&] { return !window.Runner().Busy(); });
        int ownPreviews = 0;
        Clock::time_point last;
        for (int i = 0; i < 20; ++i) {
            watch.Reset();
            last = Clock::now();
            Press(client, key);
            watch.armed = true;
            const Clock::time_point next = last + std::chrono::milliseconds(33);
            RunUntil([&] { return Clock::now() >= next; }, std::chrono::milliseconds(1000));
            if (watch.preview || watch.exact) ++ownPreviews;
        }
        RunUntil([&] { return watch.exact.has_value() && *watch.exact > last; });
        std::printf("held %-17s %d of 20 presses painted their own preview; exact %.1f ms after the last\n",
                    std::string(FindMode(modeNumber)->name).c_str(), ownPreviews, Ms(*watch.exact - last));
    }
    std::printf("worst preview_ms=%.1f exact_ms=%.1f worst_after_pause_ms=%.1f size=%dx%d\n", worstPreview, worstExact,
                worstAfterPause, width, height);
    std::fflush(stdout);
    DragSliders(window, state, watch, width, height);
}

// Notes the first paint of the client area that shows the browser complete.
class BrowserWatch : public QObject {
public:
    BrowserWatch(QWidget* widget, const AppState& state) : state_(state) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && armed && !ready && state_.view.browser && BrowserUpToDate(state_))
            ready = Clock::now();
        return false;
    }
    void Reset() {
        ready = std::nullopt;
        armed = false;
    }
    bool armed = false;
    std::optional<Clock::time_point> ready;

private:
    const AppState& state_;
};

void MeasureBrowser(MainWindow& window, AppState& state, std::int32_t width, std::int32_t height, int presses) {
    InstallBaseImage(state.shown.images, Picture(width, height));
    state.params = ProcessingParams{};
    Regenerate(window, state);
    window.RequestRepaint();
    RunUntil([&] { return !window.Runner().Busy(); });
    QWidget* client = window.Client();
    BrowserWatch watch(client, state);
    auto timed = [&](Qt::Key key) {
        watch.Reset();
        const Clock::time_point start = Clock::now();
        Press(client, key);
        watch.armed = true;
        RunUntil([&] { return watch.ready.has_value(); });
        return Ms(watch.ready.value_or(Clock::now()) - start);
    };
    std::vector<double> opens;
    for (int i = 0; i < presses; ++i) {
        state.shown.browser = BrowserPictures{};  // nothing kept, as for a new picture
        opens.push_back(timed(Qt::Key_Tab));
        Press(client, Qt::Key_Tab);  // back to the gallery
        RunUntil([] { return false; }, std::chrono::milliseconds(20));
    }
    const Times open = Of(opens);
    std::printf("\nbrowser (%dx%d): open md %.1f max %.1f ms; client %dx%d, captions %d wide, text %d high; thumbnails %dx%d\n", width, height, open.median, open.max, state.view.client.width, state.view.client.height, state.view.captionWidth, state.view.textHeight,
                BrowserLayoutOf(state).Thumbnail().width, BrowserLayoutOf(state).Thumbnail().height);
    struct Value {
        const char* name;
        unsigned reads;
        Qt::Key key;
    };
    const Value values[] = {{"hue", ReadsHue, Qt::Key_Right},       {"level", ReadsLevel, Qt::Key_Up},
                            {"frequency", ReadsFrequency, Qt::Key_2}, {"amplitude", ReadsAmplitude, Qt::Key_6},
                            {"phase", ReadsPhase, Qt::Key_8},       {"centre", ReadsCentre, Qt::Key_W},
                            {"start-from-end", ReadsStartFromEnd, Qt::Key_O}};
    double worst = 0;
    for (const Value& value : values) {
        const ModeSpec* reader = nullptr;
        for (const ModeSpec* mode : AllModes())
            if (!reader && (mode->reads & value.reads)) reader = mode;
        state.params = ProcessingParams{};
        if (reader) state.params.effectMode = reader->mode;
        Regenerate(window, state);
        window.RequestRepaint();
        RunUntil([&] { return !window.Runner().Busy(); });
        timed(Qt::Key_Tab);  // open, every row made
        std::vector<double> times;
        std::size_t redone = 0;
        for (int i = 0; i < presses; ++i) {
            RunUntil([] { return false; }, std::chrono::milliseconds(40));
            std::uint64_t before = 0, after = 0;
            for (const BrowserRow& row : state.shown.browser.rows) before += row.passes;
            times.push_back(timed(value.key));
            for (const BrowserRow& row : state.shown.browser.rows) after += row.passes;
            redone += after - before;
        }
        Press(client, Qt::Key_Tab);
        RunUntil([&] { return !window.Runner().Busy(); });
        const Times t = Of(times);
        worst = std::max(worst, t.median);
        std::printf("  %-15s md %6.1f max %6.1f ms  (%zu rows redone a press, current mode %s)\n", value.name, t.median,
                    t.max, redone / static_cast<std::size_t>(presses), reader ? std::string(reader->name).c_str() : "-");
        std::fflush(stdout);
    }
    std::printf("browser_open_ms=%.1f size=%dx%d\n", open.median, width, height);
    std::printf("browser_ms=%.1f size=%dx%d\n", worst, width, height);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const PrivateSettings settings;
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);

    static AppState state;
    MainWindow window(state);
    window.show();
    // Once shown: the first show sizes the window for its picture and the
    // (small) offscreen screen, which would leave a client area of 600 x 550.
    window.resize(1440, 900);
    QCoreApplication::processEvents();
    window.Client()->setFocus();
    // PRISMVIEW_BENCH_BROWSER_ONLY=1 measures only the browser.
    const bool browserOnly = qEnvironmentVariableIntValue("PRISMVIEW_BENCH_BROWSER_ONLY") != 0;
    if (!browserOnly) {
        Measure(window, state, 1920, 1080, presses);
        Measure(window, state, 4000, 3000, presses);
    }
    MeasureBrowser(window, state, 1920, 1080, std::max(presses, 5));
    MeasureBrowser(window, state, 4000, 3000, std::max(presses, 5));
    window.close();
    return 0;
}
