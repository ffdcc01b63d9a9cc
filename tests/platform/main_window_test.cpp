#include "platform/client_area.h"
#include "platform/main_window.h"
#include "platform/probe_panel.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QWheelEvent>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <filesystem>
#include <atomic>
#include <memory>
#include <thread>

#include "app/background_save.h"
#include "app/commands.h"
#include "app/input.h"
#include "app/paint.h"
#include "app/probe.h"
#include "app/startup.h"
#include "app/view.h"
#include "io/bmp_file.h"
#include "io/picture_file.h"
#include "platform/application.h"
#include "platform/environment.h"
#include "app/menu.h"
#include "support/qt_application.h"
#include "support/test_support.h"

namespace prismview {
namespace {

const testing::Environment* const kQt = testing::AddGlobalTestEnvironment(new test::QtApplicationEnvironment);

constexpr int kW = 40;
constexpr int kH = 30;

// A big picture quick to make, different in every row and column.
PixelBuffer Gradient(int width, int height) {
    return test::MakeBuffer(width, height, [&](std::int32_t x, std::int32_t y) {
        return static_cast<RgbValue>((x * 255 / width) << 16 | (y * 255 / height) << 8 | ((x ^ y) & 255));
    });
}

// Runs the test in a folder of its own, with or without a start.bmp.
class InFolder {
public:
    explicit InFolder(bool withStartImage, int width = kW, int height = kH)
        : previous_(std::filesystem::current_path()) {
        if (withStartImage) {
            BitmapHandle bitmap = Bitmap::Create(width, height);
            WritePixels(*bitmap, width == kW && height == kH ? test::Varied(width, height) : Gradient(width, height));
            EXPECT_EQ(WriteBmpFile(dir_.Path("start.bmp"), *bitmap), WriteResult::Written);
        }
        std::filesystem::current_path(dir_.path());
    }
    ~InFolder() { std::filesystem::current_path(previous_); }

private:
    test::TempDir dir_;
    std::filesystem::path previous_;
};

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

// A started main window, as the program has it after start-up.
struct Started {
    explicit Started(bool withStartImage, int width = kW, int height = kH)
        : folder(withStartImage, width, height), window(state) {
        OpenStartImage(window, state);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        // A big picture's pass may still run (slowly under the sanitizers);
        // the tests start from the pictures it installs.
        window.WaitUntil([this] { return !window.Runner().Busy(); });
        QCoreApplication::processEvents();
    }
    ~Started() { window.close(); }
    QImage Client() { return window.Client()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    InFolder folder;
    AppState state;
    MainWindow window;
};

std::vector<Command> CheckedIds(const MainWindow& window) {
    std::vector<Command> ids;
    for (const MenuPopup& popup : MainMenu())
        for (const MenuItem& item : popup.items)
            if (item.id != Command::None && window.Action(item.id)->isChecked()) ids.push_back(item.id);
    return ids;
}

TEST(MainWindow, MenuBarHasEveryItemAndTheThreeMarks) {
    Started started(false);
    const QList<QAction*> popups = started.window.menuBar()->actions();
    ASSERT_EQ(popups.size(), 5);
    EXPECT_EQ(popups[0]->text(), QString::fromUtf8("ﾌｧｲﾙ(&F)"));
    EXPECT_EQ(popups[4]->text(), QString::fromUtf8("ﾍﾙﾌﾟ(&H)"));
    ASSERT_NE(popups[2]->menu(), nullptr);
    EXPECT_EQ(popups[2]->menu()->actions().size(), 31);
    EXPECT_TRUE(popups[2]->menu()->actions()[19]->isSeparator());
    EXPECT_EQ(started.window.Action(Command::Exit)->text(), QString::fromUtf8("終了(&X)"));
    EXPECT_FALSE(started.window.Action(Command::Exit)->isCheckable());
    EXPECT_FALSE(started.window.Action(Command::ZoomIn)->isCheckable());  // a step, not a state
    EXPECT_TRUE(started.window.Action(Command::StatusBar)->isCheckable());
    EXPECT_EQ(CheckedIds(started.window), (std::vector<Command>{Command::ShowAll, Command::StatusBar, Command{32778}, Command::Columns2}));
    EXPECT_EQ(started.window.windowTitle(), QString::fromUtf8("プリズムビュー"));
    // The client area lies below the menu bar.
    EXPECT_GE(started.window.Client()->geometry().top(), started.window.menuBar()->geometry().bottom());
}

TEST(MainWindow, StartsWithTheFiveTilesOfStartBmp) {
    Started started(true);
    ASSERT_TRUE(started.state.shown.images.Loaded());
    const QImage shown = started.Client();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const int left = (slot % 2) * kW, top = (slot / 2) * kH;
        const Bitmap& bitmap = *started.state.shown.images.bitmaps[slot];
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                ASSERT_EQ(shown.pixel(left + x, top + y) & 0xFFFFFFu, PixelAt(bitmap, x, y))
                    << "slot " << slot << " at " << x << "," << y;
    }
    // Beside and below the grid: the white background, no label anywhere.
    EXPECT_EQ(shown.pixel(2 * kW + 5, 5) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(shown.pixel(kW + 5, 2 * kH + 5) & 0xFFFFFFu, 0xFFFFFFu);
}

TEST(MainWindow, WithoutStartBmpAsksForAFileAtTheTopLeft) {
    Started started(false);
    EXPECT_FALSE(started.state.shown.images.Loaded());
    const QImage shown = started.Client();
    int dark = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 150; ++x) dark += qGray(shown.pixel(x, y)) < 128;
    EXPECT_GT(dark, 20);  // the request text
    EXPECT_EQ(shown.pixel(shown.width() - 1, shown.height() - 1) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(shown.pixel(5, 100) & 0xFFFFFFu, 0xFFFFFFu);
}

TEST(MainWindow, AKeyPressShowsTheStatusAtOnceRedoesTheImagesAndRepaints) {
    Started started(true);
    OnCommand(started.window, started.state, Command{32779});  // ＲＧＢ: slot 4 follows the hue
    started.window.WaitUntil([&] { return !started.window.Runner().Busy(); });
    const PixelBuffer before = ReadPixels(*started.state.shown.images.bitmaps[4]);
    PaintCounter counter(started.window.Client());
    QTest::keyClick(started.window.Client(), Qt::Key_Right);
    EXPECT_EQ(counter.paints, 1);  // the status text, painted before the key was done
    EXPECT_EQ(started.state.params.hue, 5);
    // The pass runs beside the window; its images arrive whole, then the repaint.
    started.window.WaitUntil([&] { return !started.window.Runner().Busy(); });
    EXPECT_NE(ReadPixels(*started.state.shown.images.bitmaps[4]).pixels, before.pixels);
    QCoreApplication::processEvents();
    EXPECT_GE(counter.paints, 2);  // the repaint of the whole picture
}

TEST(MainWindow, KeysWithoutActionRepaintAndSystemKeysDoNothing) {
    Started started(true);
    PaintCounter counter(started.window.Client());
    QTest::keyClick(started.window.Client(), Qt::Key_C);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    QTest::keyClick(started.window.Client(), Qt::Key_2, Qt::AltModifier);
    QTest::keyClick(started.window.Client(), Qt::Key_2, Qt::KeypadModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(started.state.params.waveFreqNum, 1);
    QTest::keyClick(started.window.Client(), Qt::Key_S, Qt::ShiftModifier);
    EXPECT_EQ(started.state.view.selectedImage, 1);
    EXPECT_EQ(CheckedIds(started.window), (std::vector<Command>{Command::ShowImage1, Command::StatusBar, Command{32778}, Command::Columns2}));
}

// After a menu closes, whichever way, the keys reach the window again: key
// presses go to the window as the system sends them (to its focus widget).
TEST(MainWindow, KeysReachTheWindowAfterAMenuCloses) {
    Started started(false);
    started.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&started.window));
    QWindow* handle = started.window.windowHandle();
    auto openFileMenu = [&] {
        QTest::keyClick(handle, Qt::Key_F, Qt::AltModifier);
        QCoreApplication::processEvents();
        return QApplication::activePopupWidget();
    };
    auto pressRight = [&] {
        const std::int32_t hue = started.state.params.hue;
        QTest::keyClick(handle, Qt::Key_Right);
        QCoreApplication::processEvents();
        return started.state.params.hue == hue + 5;
    };
    ASSERT_TRUE(pressRight());

    QWidget* menu = openFileMenu();
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(pressRight()) << "after Escape";

    menu = openFileMenu();
    ASSERT_NE(menu, nullptr);
    QTest::mouseClick(started.window.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    menu->close();  // what a click outside the menu does on a real display
    QCoreApplication::processEvents();
    EXPECT_TRUE(pressRight()) << "after a click outside";

    // 表示画像 → 全て表示 (H) with the keyboard.
    QTest::keyClick(handle, Qt::Key_V, Qt::AltModifier);
    QCoreApplication::processEvents();
    menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_H);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(pressRight()) << "after a chosen item";
    // The letter keys too.
    QTest::keyClick(handle, Qt::Key_D);
    QCoreApplication::processEvents();
    EXPECT_EQ(started.state.view.selectedImage, 2);
}

TEST(MainWindow, AutoRepeatActsAgain) {
    Started started(false);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), /*autorep=*/i > 0);
        QCoreApplication::sendEvent(started.window.Client(), &press);
    }
    EXPECT_EQ(started.state.params.hue, 15);
}

TEST(MainWindow, AClickSelectsATileAndAnyClickReturns) {
    Started started(true);
    QTest::mouseClick(started.window.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(kW + 3, kH + 3));
    EXPECT_EQ(started.state.view.selectedImage, 3);
    QCoreApplication::processEvents();
    const QImage single = started.Client();
    EXPECT_EQ(single.pixel(0, 0) & 0xFFFFFFu, PixelAt(*started.state.shown.images.bitmaps[3], 0, 0));
    EXPECT_EQ(single.pixel(kW + 5, 5) & 0xFFFFFFu, 0xFFFFFFu);  // the other tiles are gone
    EXPECT_EQ(CheckedIds(started.window), (std::vector<Command>{Command::ShowAll, Command::StatusBar, Command{32778}, Command::Columns2}));
    QTest::mouseClick(started.window.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    EXPECT_EQ(started.state.view.selectedImage, -1);
}

TEST(MainWindow, HoverFramesTheTileUnderThePointer) {
    Started started(true);
    QTest::mouseMove(started.window.Client(), QPoint(kW + 10, 10));
    QCoreApplication::processEvents();
    EXPECT_EQ(started.state.view.hoverImage, 1);
    const QImage shown = started.Client();
    EXPECT_EQ(shown.pixel(kW, kH - 1) & 0xFFFFFFu, 0x000000u);          // black outer frame
    EXPECT_EQ(shown.pixel(2 * kW - 1, kH - 1) & 0xFFFFFFu, 0x000000u);
    EXPECT_EQ(shown.pixel(kW + 1, kH - 2) & 0xFFFFFFu, 0xFFFFFFu);      // white inner frame
    EXPECT_EQ(shown.pixel(kW - 1, kH - 1) & 0xFFFFFFu, PixelAt(*started.state.shown.images.bitmaps[0], kW - 1, kH - 1));
}

TEST(MainWindow, QtsOwnToggleNeverLeavesAWrongMark) {
    Started started(false);
    started.window.Action(Command::Columns2)->trigger();  // already checked
    started.window.Action(Command{32778})->trigger();
    EXPECT_EQ(CheckedIds(started.window), (std::vector<Command>{Command::ShowAll, Command::StatusBar, Command{32778}, Command::Columns2}));
    started.window.Action(Command{32806})->trigger();
    started.window.Action(Command{32806})->trigger();
    started.window.Action(Command::Columns5)->trigger();
    EXPECT_EQ(CheckedIds(started.window), (std::vector<Command>{Command::ShowAll, Command::StatusBar, Command{32806}, Command::Columns5}));
    EXPECT_EQ(started.state.params.effectMode, ModeSlide);
    EXPECT_FALSE(started.window.Action(Command::Open)->isCheckable());
}

TEST(MainWindow, TheModeMenuOpensAtTheCurrentMode) {
    Started started(false);
    started.window.Action(ModeCommand(ModeBackgroundMix))->trigger();
    QMenu* modes = started.window.menuBar()->actions()[2]->menu();
    ASSERT_NE(modes, nullptr);
    Q_EMIT modes->aboutToShow();
    QApplication::processEvents();
    EXPECT_EQ(modes->activeAction(), started.window.Action(ModeCommand(ModeBackgroundMix)));
}

// The screen pixel of the client area at a point of a bitmap drawn with its top left at (left, top).
void ExpectShown(const QImage& shown, int left, int top, const Bitmap& bitmap, int x, int y, const char* what) {
    EXPECT_EQ(shown.pixel(left + x, top + y) & 0xFFFFFFu, PixelAt(bitmap, x, y)) << what << " at " << x << "," << y;
}

TEST(MainWindow, APhotoShowsAllFiveTilesInsideTheClientArea) {
    Started started(true, 4000, 3000);
    ASSERT_TRUE(started.state.shown.images.Loaded());
    // The window takes 90 % of the screen, the most it may, and still the
    // pictures have to shrink.
    EXPECT_EQ(started.window.size(), started.window.screen()->availableGeometry().size() * 9 / 10);
    EXPECT_TRUE(FitOf(started.state).scale.Shrinks());
    const QImage shown = started.Client();
    const Size tile = ShownSize(started.state);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const Rect place = LayoutOf(started.state).Tile(slot);
        EXPECT_TRUE(place.left >= 0 && place.top >= 0 && place.right <= shown.width() && place.bottom <= shown.height())
            << "tile " << slot << " ends at " << place.right << "," << place.bottom;
        // The screen shows the shrunk copy, corner to corner.
        const Bitmap& copy = *started.state.shown.images.scaled[slot];
        ASSERT_EQ(copy.Width(), tile.width);
        ExpectShown(shown, place.left, place.top, copy, 0, 0, "top left");
        ExpectShown(shown, place.left, place.top, copy, tile.width - 1, tile.height - 1, "bottom right");
        ExpectShown(shown, place.left, place.top, copy, tile.width / 2, tile.height / 3, "inside");
    }

    // Hovering from tile to tile repaints from the copies made at start.
    std::vector<const Bitmap*> copies;
    for (const BitmapHandle& copy : started.state.shown.images.scaled) copies.push_back(copy.get());
    PaintCounter counter(started.window.Client());
    for (int slot : {1, 3, 4, 0}) {
        const Rect place = LayoutOf(started.state).Tile(slot);
        QTest::mouseMove(started.window.Client(), QPoint(place.left + 5, place.top + 5));
        QCoreApplication::processEvents();
        EXPECT_EQ(started.state.view.hoverImage, slot);
    }
    EXPECT_GE(counter.paints, 4);
    for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_EQ(started.state.shown.images.scaled[slot].get(), copies[slot]);
}

TEST(MainWindow, OneToOneScrollsWithTheBarsAndTheWheel) {
    constexpr int w = 500, h = 400;  // a gallery of 1000 x 1200, larger than the window
    Started started(true, w, h);
    QAction* item = started.window.Action(Command::ActualSize);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(FitOf(started.state).scale.Shrinks());
    item->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(ShownSize(started.state), (Size{w, h}));
    const ViewState& view = started.state.view;
    ASSERT_TRUE(FitOf(started.state).horizontalBar && FitOf(started.state).verticalBar);
    QScrollBar* across = nullptr;
    QScrollBar* down = nullptr;
    for (QScrollBar* bar : started.window.Client()->findChildren<QScrollBar*>())
        (bar->orientation() == Qt::Horizontal ? across : down) = bar;
    ASSERT_TRUE(across && down && across->isVisible() && down->isVisible());
    EXPECT_EQ(down->maximum(), 3 * h - FitOf(started.state).viewport.height);
    EXPECT_EQ(across->maximum(), 2 * w - FitOf(started.state).viewport.width);

    // 1:1 keeps the middle of the view where it was: about the middle of the content.
    EXPECT_NEAR(view.scrollY + FitOf(started.state).viewport.height / 2, 3 * h / 2, 3 * h / 10);
    EXPECT_NEAR(view.scrollX + FitOf(started.state).viewport.width / 2, w, 2 * w / 10);
    // A wheel notch scrolls down, with Shift sideways; the bars follow.
    const int notch = QApplication::wheelScrollLines() * 20;
    across->setValue(0);
    down->setValue(0);
    QCoreApplication::processEvents();
    auto turn = [&](Qt::KeyboardModifiers modifiers) {
        const QPointF at(50, 50);
        QWheelEvent wheel(at, started.window.Client()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(started.window.Client(), &wheel);
    };
    turn(Qt::NoModifier);
    EXPECT_EQ(view.scrollY, notch);
    EXPECT_EQ(down->value(), notch);
    turn(Qt::ShiftModifier);
    EXPECT_EQ(view.scrollX, notch);
    EXPECT_EQ(across->value(), notch);

    // The bars reach the far edges: the bottom row of tile 4 and the right
    // column of tile 1 come into view.
    down->setValue(down->maximum());
    across->setValue(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.scrollY, 3 * h - FitOf(started.state).viewport.height);
    QImage shown = started.Client();
    ExpectShown(shown, 0, FitOf(started.state).viewport.height - h, *started.state.shown.images.bitmaps[4], 0, h - 1, "tile 4");
    down->setValue(0);
    across->setValue(across->maximum());
    QCoreApplication::processEvents();
    shown = started.Client();
    ExpectShown(shown, FitOf(started.state).viewport.width - w, 0, *started.state.shown.images.bitmaps[1], w - 1, 0, "tile 1");

    item->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(across->isVisible() || down->isVisible());
    EXPECT_TRUE(FitOf(started.state).scale.Shrinks());
}

TEST(StartApplication, ExitThroughTheMenuEndsWithZeroAndReleasesEveryBitmap) {
    InFolder folder(true);
    const std::int64_t before = Bitmap::LiveCount();
    AppState state;
    std::int64_t liveWhileRunning = -1;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<MainWindow*>(widget)) {
                window->WaitUntil([window] { return !window->Runner().Busy(); });
                liveWhileRunning = Bitmap::LiveCount();
                window->Action(Command::Exit)->trigger();
            }
    });
    EXPECT_EQ(StartApplication(state), 0);
    // The five shown images and the four the pass fills next (the ones the
    // shown images replaced); the pass reads the shown base.
    EXPECT_EQ(liveWhileRunning, before + 9);
    EXPECT_EQ(Bitmap::LiveCount(), before);
}

TEST(StartApplication, ClosingTheWindowEndsWithZeroAndReleasesEveryBitmap) {
    InFolder folder(true);
    const std::int64_t before = Bitmap::LiveCount();
    AppState state;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<MainWindow*>(widget)) window->close();
    });
    EXPECT_EQ(StartApplication(state), 0);
    EXPECT_FALSE(state.shown.images.Loaded());
    EXPECT_EQ(Bitmap::LiveCount(), before);
}

TEST(StartApplication, ClosingDuringAPassEndsWithZeroAndReleasesEveryBitmap) {
    InFolder folder(true);
    const std::int64_t before = Bitmap::LiveCount();
    AppState state;
    state.params.effectMode = ModeHueRotate;  // the Right arrow's hue matters here
    bool held = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<MainWindow*>(widget);
            if (!window) continue;
            window->WaitUntil([window] { return !window->Runner().Busy(); });
            // The next pass stops at its first band and stays until cancelled.
            std::atomic<bool> arrived{false};
            window->Runner().SetBandHook([&arrived](const std::atomic<bool>& cancelled) {
                arrived = true;
                while (!cancelled) std::this_thread::yield();
            });
            QTest::keyClick(window->Client(), Qt::Key_Right);
            while (!arrived) std::this_thread::yield();
            held = window->Runner().Busy();
            window->close();
        }
    });
    EXPECT_EQ(StartApplication(state), 0);
    EXPECT_TRUE(held);
    EXPECT_FALSE(state.shown.images.Loaded());
    EXPECT_EQ(Bitmap::LiveCount(), before);
}

// A save runs beside the window: a key is handled while the file is being
// written, the file holds the picture shown when the command was given, and
// a close request waits until it is written, then ends the program.
TEST(StartApplication, ASaveRunsBesideTheWindowAndClosingWaitsForIt) {
    InFolder folder(true);
    test::TempDir dir;
    const std::string name = dir.Path("beside.png");
    AppState state;
    state.params.effectMode = ModeHueRotate;
    PixelBuffer saved;
    bool busyAfterCommand = false, busyAfterKey = false, statusSaysSo = false;
    std::int32_t hueAfterKey = -1;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<MainWindow*>(widget);
            if (!window) continue;
            BitmapHandle big = Bitmap::Create(3000, 2000);
            ASSERT_TRUE(big && WritePixels(*big, test::Varied(3000, 2000)));
            UsePicture(*window, state, {std::move(big), "big", "", ""});
            OnCommand(*window, state, Command::ShowImage1);
            window->WaitUntil([window] { return !window->Runner().Busy(); });
            saved = ReadPixels(*state.shown.images.bitmaps[1]);
            // The file dialog, answered as a user would once it shows.
            auto* answer = new QTimer(window);
            answer->setInterval(10);
            QObject::connect(answer, &QTimer::timeout, answer, [answer, &name] {
                QWidget* modal = QApplication::activeModalWidget();
                auto* edit = modal ? modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
                if (!edit) return;
                answer->stop();
                edit->setText(QString::fromStdString(name));
                QTest::keyClick(edit, Qt::Key_Return);
            });
            answer->start();
            window->Action(Command::Save)->trigger();
            busyAfterCommand = state.saver && state.saver->Busy();
            statusSaysSo = window->StatusText().contains(QStringLiteral("保存中 beside.png"));
            QTest::keyClick(window->Client(), Qt::Key_Right);
            hueAfterKey = state.params.hue;
            busyAfterKey = state.saver && state.saver->Busy();
            window->close();
        }
    });
    EXPECT_EQ(StartApplication(state), 0);
    EXPECT_TRUE(busyAfterCommand);  // the command returned with the file on its way
    EXPECT_TRUE(statusSaysSo);
    EXPECT_EQ(hueAfterKey, 5);
    EXPECT_TRUE(busyAfterKey) << "the key waited for the save";
    const ReadResult read = ReadPictureFile(name);
    ASSERT_TRUE(read.bitmap) << read.reason;
    EXPECT_EQ(ReadPixels(*read.bitmap).pixels, saved.pixels);
}

}  // namespace
}  // namespace prismview

namespace prismview {
namespace {

// The probe always names the picture point under the pointer, whatever moved
// the view under it; the status bar's scale follows every refit.
TEST(MainWindow, TheProbeAndTheScaleFollowEveryChangeOfTheView) {
    constexpr int w = 500, h = 400;
    Started started(true, w, h);
    QWidget* client = started.window.Client();
    const ViewState& view = started.state.view;
    const QPoint at(130, 90);
    auto expectUnderPointer = [&](const char* after) {
        QCoreApplication::processEvents();
        ASSERT_TRUE(view.probe) << after;
        EXPECT_EQ(view.probe, PicturePointAt(started.state, *view.pointer)) << after;
        EXPECT_EQ(view.hoverImage, LayoutOf(started.state).TileAt(*view.pointer)) << after;
    };
    started.window.Action(Command::ActualSize)->trigger();
    QTest::mouseMove(client, at);
    expectUnderPointer("a move");
    const Point first = *view.probe;
    QWheelEvent wheel(at, client->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ShiftModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(client, &wheel);
    expectUnderPointer("a scroll");
    EXPECT_NE(view.probe->x, first.x);
    QWheelEvent zoom(at, client->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(client, &zoom);
    expectUnderPointer("a zoom");
    QTest::mouseClick(client, Qt::LeftButton, Qt::NoModifier, at);
    expectUnderPointer("the single view");
    started.window.Action(Command{32779})->trigger();  // another mode
    started.window.WaitUntil([&] { return !started.window.Runner().Busy(); });
    expectUnderPointer("a mode change");

    // The scale in the status bar after resizes, in the fitted view.
    started.window.Action(Command::FitToWindow)->trigger();
    for (const QSize size : {QSize(800, 900), QSize(1200, 500), QSize(500, 1000)}) {
        started.window.resize(size);
        QCoreApplication::processEvents();
        const double percent = 100.0 * static_cast<double>(FitOf(started.state).scale.num) / static_cast<double>(FitOf(started.state).scale.den);
        char text[16];
        std::snprintf(text, sizeof text, percent == std::floor(percent) ? "%.0f%%" : "%.1f%%", percent);
        EXPECT_NE(started.window.StatusText().indexOf(QLatin1String(text)), -1)
            << size.width() << " x " << size.height() << ": " << started.window.StatusText().toStdString();
    }
}

// Pinned probes live in the probe panel: the first opens it, and pins
// coming and going after that never change the client area or the scale.
TEST(MainWindow, PinsNeverChangeTheTilesScale) {
    Started started(true, 500, 400);
    QWidget* client = started.window.Client();
    const ViewState& view = started.state.view;
    QTest::mouseClick(client, Qt::MiddleButton, Qt::NoModifier, QPoint(20, 20));
    QCoreApplication::processEvents();
    ASSERT_TRUE(started.window.Probes()->isVisible());
    EXPECT_TRUE(started.window.Action(Command::ProbePanel)->isChecked());
    const QSize size = client->size();
    const Scale scale = FitOf(started.state).scale;
    for (const QPoint at : {QPoint(40, 30), QPoint(60, 50), QPoint(80, 20), QPoint(90, 60), QPoint(40, 30)}) {
        QTest::mouseClick(client, Qt::MiddleButton, Qt::NoModifier, at);
        QCoreApplication::processEvents();
        EXPECT_EQ(client->size(), size) << at.x() << "," << at.y();
        EXPECT_TRUE(FitOf(started.state).scale == scale);
    }
    EXPECT_EQ(view.pinned.size(), 3u);  // four, a fifth refused, then one taken away on its mark
}

// A new picture starts fitted; zoom steps that reach 1:1 are the 1:1 view;
// the page keys scroll a zoomed view.
TEST(MainWindow, ZoomStartsAgainForANewPictureAndOneToOneIsChecked) {
    constexpr int w = 500, h = 400;
    Started started(true, w, h);
    const ViewState& view = started.state.view;
    QAction* actualSize = started.window.Action(Command::ActualSize);
    while (FitOf(started.state).scale.Shrinks()) started.window.Action(Command::ZoomIn)->trigger();
    EXPECT_TRUE(view.actualSize);
    EXPECT_TRUE(actualSize->isChecked());
    started.window.Action(Command::ZoomIn)->trigger();
    EXPECT_TRUE(view.zoom && FitOf(started.state).scale.Enlarges());
    EXPECT_FALSE(actualSize->isChecked());

    QTest::keyClick(started.window.Client(), Qt::Key_End);
    EXPECT_EQ(view.scrollY, FitOf(started.state).content.height - FitOf(started.state).viewport.height);
    QTest::keyClick(started.window.Client(), Qt::Key_PageUp);
    EXPECT_LT(view.scrollY, FitOf(started.state).content.height - FitOf(started.state).viewport.height);
    QTest::keyClick(started.window.Client(), Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(view.scrollX, 0);

    ASSERT_TRUE(OpenImageFile(started.window, started.state, "start.bmp"));
    started.window.WaitUntil([&] { return !started.window.Runner().Busy(); });
    EXPECT_FALSE(view.zoom);
    EXPECT_TRUE(FitOf(started.state).scale.Shrinks());
    EXPECT_EQ(view.scrollX + view.scrollY, 0);
}

}  // namespace
}  // namespace prismview
