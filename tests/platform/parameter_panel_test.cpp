// The parameter panel in the real window: it follows the keys and undo, a
// drag of its slider is one undo step, and showing the state is no change.
#include "platform/parameter_panel.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

#include "app/input.h"
#include "app/regenerate.h"
#include "effects/mode_table.h"
#include "platform/client_area.h"
#include "platform/main_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using P = ProcessingParams;

struct Shown {
    Shown() : window(state) {
        InstallBaseImage(state.shown.images, test::BitmapOf(test::Varied(40, 30)));
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        Idle();
    }
    ~Shown() { window.close(); }
    void Idle() {
        window.WaitUntil([this] { return !window.Runner().Busy(); });
        QCoreApplication::processEvents();
    }
    void Choose(Command command) {
        window.Action(command)->trigger();
        Idle();
    }
    AppState state;
    MainWindow window;
};

TEST(ParameterPanelWindow, FollowsKeysAndUndoAndADragIsOneStep) {
    Shown shown;
    ParameterPanel& panel = *shown.window.Parameters();
    shown.Choose(Command::ParameterPanel);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(shown.window.Action(Command::ParameterPanel)->isChecked());
    EXPECT_TRUE(panel.Parameters().empty());  // the start mode reads nothing

    shown.Choose(ModeCommand(ModeHueRotate));
    QSlider* slider = panel.Slider({&P::hue});
    QLineEdit* box = panel.Box({&P::hue});
    ASSERT_TRUE(slider && box);
    QTest::keyClick(shown.window.Client(), Qt::Key_Right);
    QTest::keyClick(shown.window.Client(), Qt::Key_Right);
    EXPECT_EQ(slider->value(), 10);
    EXPECT_EQ(box->text(), QStringLiteral("10"));
    const std::size_t steps = shown.state.history.Steps();
    for (int i = 0; i < 3; ++i) shown.window.RequestRepaint();  // shown again, never a change
    shown.Idle();
    EXPECT_EQ(shown.state.history.Steps(), steps);

    slider->setSliderDown(true);
    for (int hue = 11; hue <= 40; ++hue) slider->setValue(hue);
    slider->setSliderDown(false);
    shown.Idle();
    EXPECT_EQ(shown.state.shown.madeWith->hue, 40);
    EXPECT_EQ(shown.state.history.Steps(), steps + 1);

    shown.Choose(Command::Undo);
    EXPECT_EQ(shown.state.params.hue, 10);
    EXPECT_EQ(slider->value(), 10);

    // Another mode, other rows.
    shown.Choose(ModeCommand(ModeRipple));
    EXPECT_EQ(panel.Slider({&P::hue}), nullptr);
    ASSERT_NE(panel.Choice({&P::overflowMode}), nullptr);
    panel.Choice({&P::overflowMode})->setCurrentIndex(2);
    shown.Idle();
    EXPECT_EQ(shown.state.params.overflowMode, OverflowEdge);
    // A centre beyond the slider's span stays where it was typed: the slider
    // stands at its end without setting it.
    const std::size_t before = shown.state.history.Steps();
    QLineEdit* x = panel.Box({&P::centerX});
    ASSERT_NE(x, nullptr);
    x->selectAll();
    QTest::keyClicks(x, QStringLiteral("1000"));
    QTest::keyClick(x, Qt::Key_Return);
    shown.Idle();
    shown.window.RequestRepaint();
    EXPECT_EQ(shown.state.params.centerX, 1000);
    EXPECT_EQ(panel.Slider({&P::centerX})->value(), panel.Slider({&P::centerX})->maximum());
    EXPECT_EQ(shown.state.history.Steps(), before + 1);
}

}  // namespace
}  // namespace prismview
