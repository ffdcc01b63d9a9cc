// How long a user waits for a key press at 1920 x 1080: the real main window
// on Qt's offscreen platform, a Right arrow (the hue step) sent to it, and
// the time until the pass has run and the window has painted the gallery
// again. Median of several presses per mode.
//
//   build/release/bench/prismview-key-latency [presses per mode, default 9]
#include <QApplication>
#include <QKeyEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/app_state.h"
#include "app/regenerate.h"
#include "app/startup.h"
#include "core/colour.h"
#include "effects/mode_table.h"
#include "platform/environment.h"
#include "platform/client_area.h"
#include "platform/main_window.h"

using namespace prismview;

namespace {

constexpr std::int32_t kWidth = 1920, kHeight = 1080;

// Counts the paint events of the client area.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

BitmapHandle Picture() {
    BitmapHandle base = Bitmap::Create(kWidth, kHeight);
    for (std::int32_t row = 0; row < kHeight; ++row)
        for (std::int32_t x = 0; x < kWidth; ++x)
            base->Scanline(row)[x] = kOpaque | (RotateHue(HueColour(x * HueSteps / kWidth), 0, false) ^
                                                static_cast<RgbValue>((row * 255 / kHeight) * 0x010101u / 2));
    return base;
}

// One Right arrow, from the key event until the paint it asks for is done.
double PressMilliseconds(QWidget* client, PaintCounter& counter) {
    QCoreApplication::processEvents();
    const int before = counter.paints;
    const auto start = std::chrono::steady_clock::now();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(client, &press);
    while (counter.paints == before) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const PrivateSettings settings;
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);

    static AppState state;
    MainWindow window(state);
    InstallBaseImage(state.shown.images, Picture());
    window.resize(1280, 1024);
    window.show();
    QCoreApplication::processEvents();
    window.Client()->setFocus();
    PaintCounter counter(window.Client());

    std::printf("%-28s %10s %10s %10s\n", "mode (1920x1080, gallery)", "median ms", "min ms", "max ms");
    for (const ModeSpec* mode : AllModes()) {
        state.params.effectMode = mode->mode;
        Regenerate(window, state);  // the mode's first pass, as choosing it from the menu does
        std::vector<double> times;
        for (int i = 0; i < presses; ++i) times.push_back(PressMilliseconds(window.Client(), counter));
        std::sort(times.begin(), times.end());
        std::printf("%-28s %10.1f %10.1f %10.1f\n",
                    (std::to_string(mode->mode) + "-" + std::string(mode->name)).c_str(),
                    times[times.size() / 2], times.front(), times.back());
        std::fflush(stdout);
    }
    window.close();
    return 0;
}
