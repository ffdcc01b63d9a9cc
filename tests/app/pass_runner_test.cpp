// The pass beside the window, held at band boundaries by a test hook: no
// sleeps, no timing; the test thread plays the window's thread.
#include "app/pass_runner.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>

#include "app/commands.h"
#include "app/input.h"
#include "app/regenerate.h"
#include "app/startup.h"
#include "app/view.h"
#include "core/downscale.h"
#include "app/menu.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

// Holds every pass at its first band boundary until released or cancelled.
class Gate {
public:
    void Hook(const std::atomic<bool>& cancelled) {
        std::unique_lock lock(mutex_);
        ++arrivals_;
        changed_.notify_all();
        while (holding_ && !cancelled) changed_.wait_for(lock, std::chrono::milliseconds(1));
    }
    void WaitForArrival(int count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return arrivals_ >= count; });
    }
    void Hold(bool hold) {
        const std::lock_guard lock(mutex_);
        holding_ = hold;
        changed_.notify_all();
    }
    int Arrivals() {
        const std::lock_guard lock(mutex_);
        return arrivals_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool holding_ = false;
    int arrivals_ = 0;
};

// A state whose passes run on a runner; what the runner posts waits in a
// queue until the test, as the window's thread, runs it.
struct Beside {
    Beside() {
        state.shown.images = test::MakeImageSet(test::Varied(64, 40));
        state.passRunner = &runner;
        runner.SetBandHook([this](const std::atomic<bool>& cancelled) { gate.Hook(cancelled); });
        runner.SetLetFinishAfter(std::chrono::hours(1));  // a newer request always cancels, unless a test says so
        window.drain = [this] { Drain(); };
    }
    // Shows the pictures in a client area of that size.
    void Fit(std::int32_t width, std::int32_t height, bool actualSize = false) {
        state.view.client = {width, height};
        state.view.actualSize = actualSize;
        MakeShownCopies(state);
    }
    ~Beside() {
        gate.Hold(false);
        state.passRunner = nullptr;
    }
    void Drain() {
        std::deque<std::function<void()>> ready;
        {
            const std::lock_guard lock(mutex);
            ready.swap(posted);
        }
        for (auto& f : ready) f();
    }
    // Runs what arrives until the newest request is shown.
    void Settle() {
        while (runner.Busy()) {
            Drain();
            std::this_thread::yield();
        }
        Drain();
    }
    std::vector<std::vector<RgbValue>> Shown() const {
        std::vector<std::vector<RgbValue>> shown;
        for (int slot = 1; slot < kSlotCount; ++slot) shown.push_back(ReadPixels(*state.shown.images.bitmaps[slot]).pixels);
        return shown;
    }
    std::vector<std::vector<RgbValue>> Expected(const ProcessingParams& params) const {
        std::vector<std::vector<RgbValue>> expected;
        for (const PixelBuffer& slot : test::RunPass(ReadPixels(*state.shown.images.bitmaps[0]), params))
            expected.push_back(slot.pixels);
        return expected;
    }

    std::mutex mutex;
    std::deque<std::function<void()>> posted;
    int shownCalls = 0;
    Gate gate;
    AppState state;
    test::RecordingWindow window;
    PassRunner runner{state.shown, PassRunner::Delivery::Queued,
                      [this](std::function<void()> f) {
                          const std::lock_guard lock(mutex);
                          posted.push_back(std::move(f));
                      },
                      [this] { ++shownCalls; }};
};

TEST(PassRunner, ANewerRequestCancelsTheHeldPassAndOnlyItsResultIsShown) {
    Beside b;
    b.state.params.effectMode = ModeHueRotate;
    Regenerate(b.window, b.state);
    b.Settle();
    const auto first = b.Shown();
    ASSERT_EQ(first, b.Expected(b.state.params));
    EXPECT_EQ(b.shownCalls, 1);

    b.gate.Hold(true);
    b.state.params.hue = 100;
    const int arrived = b.gate.Arrivals();
    Regenerate(b.window, b.state);
    b.gate.WaitForArrival(arrived + 1);
    EXPECT_TRUE(b.runner.Busy());
    b.Drain();
    EXPECT_EQ(b.Shown(), first);  // the last completed pass, all four
    EXPECT_EQ(b.state.shown.Label(1), "赤⇒青");

    b.state.params.hue = 200;
    Regenerate(b.window, b.state);  // returns once the held pass let go
    b.gate.Hold(false);
    b.Settle();
    EXPECT_EQ(b.Shown(), b.Expected(b.state.params));
    EXPECT_EQ(b.shownCalls, 2);  // the cancelled pass never showed
    EXPECT_FALSE(b.runner.Busy());
}

TEST(PassRunner, LabelsFollowThePicturesShownNotTheRequest) {
    Beside b;
    b.state.params.effectMode = ModeHueRotate;
    Regenerate(b.window, b.state);
    b.Settle();
    b.gate.Hold(true);
    b.state.params.effectMode = ModeRgbComponents;
    const int arrived = b.gate.Arrivals();
    Regenerate(b.window, b.state);
    b.gate.WaitForArrival(arrived + 1);
    EXPECT_EQ(b.state.shown.Label(1), "赤⇒青");
    ASSERT_TRUE(b.state.shown.madeWith.has_value());
    EXPECT_EQ(b.state.shown.madeWith->effectMode, ModeHueRotate);
    b.gate.Hold(false);
    b.Settle();
    EXPECT_EQ(b.state.shown.Label(1), "赤成分");
    EXPECT_EQ(b.state.shown.madeWith->effectMode, ModeRgbComponents);
}

TEST(PassRunner, NothingTheModeReadsChangedRunsNoPass) {
    Beside b;
    b.state.params.effectMode = ModeVortex;
    Regenerate(b.window, b.state);
    b.Settle();
    const int passes = b.gate.Arrivals();
    ASSERT_GT(passes, 0);
    b.state.params.hue = (b.state.params.hue + 5) % 1530;  // the Right arrow: the vortex reads no hue
    Regenerate(b.window, b.state);
    EXPECT_FALSE(b.runner.Busy());
    b.Settle();
    EXPECT_EQ(b.gate.Arrivals(), passes);
    EXPECT_EQ(b.Shown(), b.Expected(b.state.params));
    b.state.params.centerX += 3;  // this it reads
    Regenerate(b.window, b.state);
    b.Settle();
    EXPECT_GT(b.gate.Arrivals(), passes);
    EXPECT_EQ(b.Shown(), b.Expected(b.state.params));
}

// An idle runner lets go of its own images (not while a pass is asked for),
// and the next pass makes them again and is exact.
TEST(PassRunner, IdleMemoryGoesAndComesBack) {
    Beside b;
    b.state.params.effectMode = ModeBrighten;
    Regenerate(b.window, b.state);
    EXPECT_FALSE(b.runner.ReleaseIdleMemory());  // asked for, not shown yet
    b.Settle();
    const std::int64_t before = Bitmap::LiveCount();
    ASSERT_TRUE(b.runner.ReleaseIdleMemory());
    EXPECT_EQ(Bitmap::LiveCount(), before - test::kRunnerSet);
    b.state.params.level = 300;
    Regenerate(b.window, b.state);
    b.Settle();
    EXPECT_EQ(b.Shown(), b.Expected(b.state.params));
    EXPECT_EQ(Bitmap::LiveCount(), before);
}

TEST(PassRunner, SaveCopyAndMakeBaseWaitForTheRunningPass) {
    Beside b;
    b.state.params.effectMode = ModeRgbComponents;
    Regenerate(b.window, b.state);
    b.Settle();
    b.state.view.selectedImage = 4;
    b.gate.Hold(true);
    b.state.params.hue = 900;
    int arrived = b.gate.Arrivals();
    Regenerate(b.window, b.state);
    b.gate.WaitForArrival(arrived + 1);
    // The window's thread waits; the user lets the pass go meanwhile.
    b.window.drain = [&b] {
        b.gate.Hold(false);
        b.Drain();
    };
    b.window.calls.clear();
    OnCommand(b.window, b.state, Command::Copy);
    EXPECT_EQ(b.window.calls.front(), "wait");
    ASSERT_TRUE(b.window.clipboard.has_value());
    EXPECT_EQ(b.window.clipboard->pixels, b.Expected(b.state.params)[3]);

    // Make-base after waiting: the base is the new slot 4, the pass redone from it.
    b.gate.Hold(true);
    b.state.params.hue = 1000;
    arrived = b.gate.Arrivals();
    Regenerate(b.window, b.state);
    b.gate.WaitForArrival(arrived + 1);
    const auto expectedBase = b.Expected(b.state.params)[3];
    OnCommand(b.window, b.state, Command::MakeBase);
    EXPECT_EQ(ReadPixels(*b.state.shown.images.bitmaps[0]).pixels, expectedBase);
    b.Settle();
    EXPECT_EQ(b.Shown(), b.Expected(b.state.params));
}

TEST(PassRunner, ClosingDuringAHeldPassReleasesEverything) {
    const std::int64_t before = Bitmap::LiveCount();
    {
        Beside b;
        b.state.params.effectMode = ModeRipple;
        b.gate.Hold(true);
        Regenerate(b.window, b.state);
        b.gate.WaitForArrival(1);
        b.window.calls.clear();
        OnDestroy(b.window, b.state);  // cancels: the held pass lets go at once
        EXPECT_EQ(b.window.calls, (std::vector<std::string>{"quit 0"}));
        EXPECT_FALSE(b.runner.Busy());
        b.Drain();
        EXPECT_FALSE(b.state.shown.images.Loaded());
    }
    EXPECT_EQ(Bitmap::LiveCount(), before);  // the runner's own copies went with it
}

TEST(PassRunner, AFailingBandLeavesTheShownImages) {
    Beside b;
    b.state.params.effectMode = ModeHueRotate;
    Regenerate(b.window, b.state);
    b.Settle();
    const auto shown = b.Shown();
    b.runner.SetBandHook([](const std::atomic<bool>&) { throw std::bad_alloc(); });
    b.state.params.hue = 321;
    Regenerate(b.window, b.state);
    b.Settle();
    EXPECT_EQ(b.Shown(), shown);
    EXPECT_FALSE(b.runner.Busy());
    // The program goes on: the next request without the fault is shown.
    b.runner.SetBandHook({});
    b.state.params.hue = 322;
    Regenerate(b.window, b.state);
    b.Settle();
    EXPECT_EQ(b.Shown(), b.Expected(b.state.params));
}

// Starts a pass of `hue` in hue rotation and holds it at its first band.
void HoldPassOfHue(Beside& b, std::int32_t hue) {
    b.gate.Hold(true);
    b.state.params.hue = hue;
    const int arrived = b.gate.Arrivals();
    Regenerate(b.window, b.state);
    b.gate.WaitForArrival(arrived + 1);
}

PixelBuffer Shrunk(const Bitmap& bitmap, Size size) { return ReadPixels(*Downscale(bitmap, size.width, size.height)); }

TEST(Preview, EveryRequestShowsItsPreviewUntilTheExactTilesReplaceIt) {
    Beside b;
    b.Fit(64, 40);  // the gallery needs 128 x 120: a third, tiles of 21 x 13
    b.state.params.effectMode = ModeHueRotate;
    Regenerate(b.window, b.state);
    b.Settle();
    ASSERT_EQ(ShownSize(b.state), (Size{21, 13}));
    const PixelBuffer smallBase = ReadPixels(*b.state.shown.images.scaled[0]);

    for (std::int32_t hue : {300, 600}) {  // the second supersedes the first, held, pass
        HoldPassOfHue(b, hue);
        EXPECT_TRUE(b.state.shown.previewing);
        EXPECT_TRUE(b.runner.Busy());
        // The preview is the formula on the shown copy of the base; the
        // images saving and copying use are still the last exact ones.
        for (int slot = 1; slot < kSlotCount; ++slot) {
            const Bitmap* tile = ShownBitmap(b.state, slot);
            ASSERT_EQ(tile, b.state.shown.preview.bitmaps[slot].get());
            EXPECT_EQ(ReadPixels(*tile), test::RunSlot(smallBase, b.state.params, slot)) << hue << " " << slot;
        }
        EXPECT_EQ(b.state.shown.madeWith->hue, 0);
    }
    b.gate.Hold(false);
    b.Settle();
    EXPECT_FALSE(b.state.shown.previewing);
    const auto exact = b.Expected(b.state.params);
    for (int slot = 1; slot < kSlotCount; ++slot) {
        EXPECT_EQ(ShownBitmap(b.state, slot), b.state.shown.images.scaled[slot].get());
        EXPECT_EQ(ReadPixels(*b.state.shown.images.bitmaps[slot]).pixels, exact[slot - 1]);
        EXPECT_EQ(ReadPixels(*ShownBitmap(b.state, slot)), Shrunk(*b.state.shown.images.bitmaps[slot], {21, 13}));
    }
}

TEST(Preview, NoneWhenThePicturesAreShownAtTheirOwnSize) {
    Beside b;
    b.Fit(200, 200);  // the gallery fits
    b.state.params.effectMode = ModeHueRotate;
    Regenerate(b.window, b.state);
    b.Settle();
    const auto before = b.Shown();
    HoldPassOfHue(b, 300);
    EXPECT_FALSE(b.state.shown.previewing);
    for (int slot = 1; slot < kSlotCount; ++slot)
        EXPECT_EQ(ShownBitmap(b.state, slot), b.state.shown.images.bitmaps[slot].get());
    EXPECT_EQ(b.Shown(), before);  // every paint exact: the last pass's images until the new ones come
    b.gate.Hold(false);
    b.Settle();
    EXPECT_EQ(b.Shown(), b.Expected(b.state.params));
}

TEST(Preview, ALongPassFinishesAndShowsWhilePressesKeepComing) {
    Beside b;
    b.Fit(64, 40);
    b.state.params.effectMode = ModeHueRotate;
    Regenerate(b.window, b.state);
    b.Settle();
    b.runner.SetLetFinishAfter(std::chrono::milliseconds(0));
    // Each pass waits at its first band until let go: pass 1, then pass 2.
    std::atomic<int> arrivals{0}, letGo{0};
    b.runner.SetBandHook([&](const std::atomic<bool>& cancelled) {
        const int pass = ++arrivals;
        while (letGo < pass && !cancelled) std::this_thread::yield();
    });
    b.state.params.hue = 300;
    Regenerate(b.window, b.state);
    const ProcessingParams first = b.state.params;
    while (arrivals < 1) std::this_thread::yield();
    b.state.params.hue = 600;
    Regenerate(b.window, b.state);  // does not cancel the first pass: it has run long enough
    EXPECT_TRUE(b.state.shown.previewing);
    letGo = 1;
    while (arrivals < 2) std::this_thread::yield();  // the first ended; the second waits
    b.Drain();
    EXPECT_EQ(b.Shown(), b.Expected(first));  // exact pictures during the sweep
    EXPECT_EQ(b.state.shown.madeWith->hue, 300);
    EXPECT_TRUE(b.runner.Busy());
    letGo = 2;
    b.Settle();
    EXPECT_EQ(b.Shown(), b.Expected(b.state.params));
    EXPECT_NE(b.Expected(first), b.Expected(b.state.params));
}

TEST(OneToOne, TheRowsOnTheScreenComeFirstAndAreExact) {
    Beside b;
    b.state.view.selectedImage = 2;
    b.Fit(40, 30, true);  // 64 x 40 at 1:1 in a 40 x 30 client area: it scrolls
    b.state.params.effectMode = ModeBrighten;
    b.state.params.level = 100;
    Regenerate(b.window, b.state);
    b.Settle();
    ScrollTo(b.window, b.state, 0, 6);  // rows 6 to 6 + viewport height from the top
    const std::int32_t viewport = FitOf(b.state).viewport.height;
    ASSERT_GT(viewport, 0);
    ASSERT_LT(6 + viewport, 40);

    // Hold the pass once its first rows are done: at its second band.
    std::atomic<int> bands{0};
    std::atomic<bool> release{false};
    b.runner.SetBandHook([&](const std::atomic<bool>& cancelled) {
        if (++bands == 2)
            while (!release && !cancelled) std::this_thread::yield();
    });
    const PixelBuffer old = ReadPixels(*b.state.shown.images.bitmaps[2]);
    b.state.params.level = 300;
    Regenerate(b.window, b.state);
    while (bands < 2) std::this_thread::yield();
    b.Drain();  // the window takes the rows the pass has shown
    const PixelBuffer exact = test::RunSlot(ReadPixels(*b.state.shown.images.bitmaps[0]), b.state.params, 2);
    const PixelBuffer shown = ReadPixels(*b.state.shown.images.bitmaps[2]);
    for (std::int32_t top = 0; top < 40; ++top) {
        const std::int32_t y = 39 - top;  // the buffers count rows from the bottom
        const bool onScreen = top >= 6 && top < 6 + viewport;
        for (std::int32_t x = 0; x < 64; ++x)
            ASSERT_EQ(shown.At(x, y), onScreen ? exact.At(x, y) : old.At(x, y)) << x << "," << top;
    }
    EXPECT_TRUE(b.runner.Busy());
    release = true;
    b.Settle();
    EXPECT_EQ(ReadPixels(*b.state.shown.images.bitmaps[2]), exact);
}

}  // namespace
}  // namespace prismview
