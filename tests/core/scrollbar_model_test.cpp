#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "core/scrollbar_model.h"

using namespace zelk;

namespace {

// A vertical bar 16 wide with a 200-pixel track between two 16-pixel arrows.
ScrollbarModel Bar(long largeChange) {
    ScrollbarModel bar;
    bar.SetMax(100);
    bar.SetLargeChange(largeChange);
    bar.Layout(16, 232, 16);
    return bar;
}

} // namespace

TEST(Scrollbar, ThumbSizeIsClampedToATenthAndSevenTenthsOfTheTrack) {
    EXPECT_EQ(std::tuple(Bar(40).ThumbSize(), Bar(1).ThumbSize(), Bar(100).ThumbSize()),
              std::tuple(80, 20, 140));
    EXPECT_EQ(std::tuple(Bar(500).LargeChange(), Bar(101).LargeChange()), std::tuple(100L, 100L));
    ScrollbarModel tiny;
    tiny.SetLargeChange(1);
    tiny.Layout(16, 58, 16); // 26-pixel track: a tenth is below the 8-pixel floor
    EXPECT_EQ(tiny.ThumbSize(), 8);
}

TEST(Scrollbar, ClampingOfTargetsAndRange) {
    ScrollbarModel bar;
    bar.Layout(16, 232, 16);
    bar.ScrollToValue(500);
    while (bar.AnimationRunning()) {
        bar.Tick();
    }
    EXPECT_EQ(std::tuple(bar.Value(), bar.Target()), std::tuple(100L, 100L));

    int changes = 0;
    bar.Change = [&] { ++changes; };
    bar.SetMax(60);
    EXPECT_EQ(bar.Value(), 60);
    EXPECT_EQ(changes, 0); // a shrinking range is not a change
    bar.ScrollToValue(60);
    bar.SetMax(59);
    EXPECT_EQ(bar.Target(), 59);
    bar.SetMin(20);
    bar.SetMax(-5);
    EXPECT_EQ(bar.Max(), 20);
    bar.SetMin(200);
    EXPECT_EQ(bar.Min(), 20);
    bar.SetMin(0);
    bar.SetValue(-3);
    EXPECT_EQ(bar.Value(), 0);
    bar.SetMax(100);
    bar.SetMin(20);
    EXPECT_EQ(bar.Value(), 20); // raised with the minimum

    const std::pair<long, long> clamped[] = {
        {(bar.SetSmallChange(0), bar.SmallChange()), 1},
        {(bar.SetLargeChange(0), bar.LargeChange()), 1},
        {(bar.SetChangeDelay(-5), bar.ChangeDelay()), 0},
        {(bar.SetChangeFrequency(24), bar.ChangeFrequency()), 25},
        {(bar.SetStyle(9), bar.Style()), 3},
        {(bar.SetStyle(-1), bar.Style()), 0},
        {(bar.SetOrientation(5), bar.Orientation()), 1},
        {(bar.SetOrientation(-1), bar.Orientation()), 0},
    };
    for (size_t i = 0; i < std::size(clamped); ++i) {
        EXPECT_EQ(clamped[i].first, clamped[i].second) << "setter " << i;
    }
    bar.SetMax(20);
    bar.Layout(16, 232, 16); // a range of 0 must not divide by zero
    EXPECT_EQ(bar.ThumbPosition(), 16);
}

TEST(Scrollbar, OnlyMovesRaiseChange) {
    ScrollbarModel bar = Bar(40);
    int changes = 0;
    bar.Change = [&] { ++changes; };
    bar.SetValue(0); // already there
    EXPECT_EQ(changes, 0);
    bar.SetValue(30);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(bar.Target(), 30);
    bar.SetValue(100);
    bar.SetValue(500); // clamped to where it is
    EXPECT_EQ(changes, 2);
    bar.DecreaseBy(10, false);
    EXPECT_EQ(bar.Value(), 90);
    EXPECT_EQ(changes, 2);
    bar.FinishAnimation(); // none running: the value stays
    EXPECT_EQ(bar.Value(), 90);
    bar.IncreaseBy(5, true);
    EXPECT_EQ(std::tuple(changes, bar.ThumbPosition()), std::tuple(3, 130L)); // 120 / 100 * 95 + 16
    bar.DecreaseBy(500, true);
    EXPECT_EQ(std::tuple(bar.Value(), bar.Target(), changes), std::tuple(0L, 0L, 4));
}

TEST(Scrollbar, AMinimumShiftsTheThumbMaths) {
    ScrollbarModel bar = Bar(40);
    bar.SetMin(20); // range 80: the thumb is 100 pixels
    bar.SetValue(60);
    EXPECT_EQ(std::tuple(bar.ThumbSize(), bar.ThumbPosition(), bar.ValueAtThumbPosition(66)),
              std::tuple(100L, 66L, 60L)); // 100 / 80 * 40 + 16
    // An 8-pixel track is still a track, filled by its thumb.
    bar.Layout(16, 40, 16);
    EXPECT_TRUE(bar.HasTrack());
    EXPECT_EQ(bar.ValueAtThumbPosition(16), 20);
}

TEST(Scrollbar, ShortBarsSplitIntoTwoButtons) {
    ScrollbarModel bar;
    bar.Layout(16, 31, 16); // 2 × 16 >= 31: halves, with a 1-pixel gap
    EXPECT_FALSE(bar.HasTrack());
    EXPECT_EQ(std::tuple(bar.Part(kArrow1), bar.Part(kArrow2), bar.Gap()),
              std::tuple(PartRect{0, 0, 16, 15}, PartRect{0, 16, 16, 31}, PartRect{0, 15, 16, 16}));
    EXPECT_TRUE(bar.Part(kThumb).Empty());
    bar.Layout(16, 38, 16); // no room for an 8-pixel track: full buttons and a gap
    EXPECT_EQ(bar.Gap(), (PartRect{0, 16, 16, 22}));
    bar.SetShowButtons(false);
    EXPECT_TRUE(bar.HasTrack());
    EXPECT_EQ(bar.TrackLength(), 38);
    bar.SetOrientation(1);
    bar.Layout(232, 16, 16);
    EXPECT_EQ(std::tuple(bar.Part(kThumb).top, bar.Part(kThumb).left), std::tuple(0L, 0L));
}

TEST(Scrollbar, DraggingFollowsTheCursorOnlyInsideTheTolerance) {
    ScrollbarModel bar = Bar(40);
    bar.Press(8, 30); // on the thumb, 14 pixels below its top
    ASSERT_EQ(bar.PressedPart(), kThumb);
    EXPECT_TRUE(bar.DragTo(8, 90));
    EXPECT_EQ(std::tuple(bar.ThumbPosition(), bar.Target()), std::tuple(76L, 50L));
    EXPECT_FALSE(bar.DragTo(8 + 300, 150)); // far to the side: frozen
    EXPECT_EQ(bar.ThumbPosition(), 76);
    EXPECT_TRUE(bar.DragTo(8 + 200, 150)); // back inside the tolerance, clamped to the end
    EXPECT_EQ(std::tuple(bar.ThumbPosition(), bar.Target()), std::tuple(136L, 100L));
    bar.Release();
    while (bar.AnimationRunning()) {
        bar.Tick();
    }
    EXPECT_EQ(bar.Value(), 100);
}

TEST(Scrollbar, EveryAnimationComesToRestAtItsTarget) {
    // Factors above 100 overshoot; without a limit some swing round the target for ever.
    for (long factor : {15L, 100L, 150L, 180L, 250L}) {
        SCOPED_TRACE(factor);
        ScrollbarModel bar;
        bar.Layout(16, 232, 16);
        bar.SetSmoothScrollFactor(factor);
        bar.SetValue(40);
        bar.ScrollToValue(50);
        long highest = 0;
        int ticks = 0;
        for (; bar.AnimationRunning() && ticks < 1000; ++ticks) {
            bar.Tick();
            highest = std::max(highest, bar.Value());
        }
        EXPECT_FALSE(bar.AnimationRunning());
        EXPECT_EQ(std::tuple(bar.Value(), highest), std::tuple(50L, 50L)); // never past it
    }
}

TEST(Scrollbar, AnAnimationCutShortStopsWhereItIsOrJumpsToItsTarget) {
    ScrollbarModel bar;
    bar.Layout(16, 232, 16);
    int changes = 0;
    bar.Change = [&] { ++changes; };
    bar.ScrollToValue(80);
    bar.Tick();
    const long reached = bar.Value();
    bar.StopAnimation();
    EXPECT_FALSE(bar.AnimationRunning());
    bar.Tick(); // a late tick moves nothing
    EXPECT_EQ(bar.Value(), reached);
    EXPECT_EQ(changes, 1);

    bar.ScrollToValue(1000); // beyond the range: the end of it
    bar.FinishAnimation();
    EXPECT_FALSE(bar.AnimationRunning());
    EXPECT_EQ(std::tuple(bar.Value(), bar.Target(), changes), std::tuple(100L, 100L, 2));
    bar.FinishAnimation(); // nothing left to finish
    EXPECT_EQ(changes, 2);
}

TEST(Scrollbar, ArrowsTracksAndTheWheel) {
    ScrollbarModel bar = Bar(40);
    const auto settle = [&] { bar.FinishAnimation(); };
    bar.SetValue(50);
    bar.Press(8, 5); // the first arrow
    EXPECT_EQ(bar.Target(), 40);
    bar.Release();
    settle();
    bar.Press(8, 20); // the track above the thumb (64 .. 144)
    EXPECT_EQ(bar.PressedPart(), kTrack1);
    EXPECT_EQ(bar.Target(), 0);
    settle();
    bar.RepeatStep(8, 16); // the thumb's top reached the cursor
    EXPECT_EQ(bar.PressedPart(), kNoPart);
    bar.Press(8, 226); // the second arrow
    EXPECT_EQ(bar.Target(), 10);
    settle();
    bar.Press(8, 200); // below the thumb (26 .. 106)
    settle();
    bar.RepeatStep(8, 156); // the thumb's bottom (76 + 80) reached the cursor
    EXPECT_EQ(bar.PressedPart(), kNoPart);
    EXPECT_EQ(bar.Value(), 50);

    bar.WheelScrollTopLeft(); // 3000 up: the top
    EXPECT_EQ(bar.Target(), 0);
    settle();
    bar.SetWheelChange(10);
    bar.WheelScrollBotRight();
    bar.WheelScrollBotRight(); // a second notch adds to the first
    EXPECT_EQ(bar.Target(), 20);
    settle();
    bar.WheelScrollTopLeft();
    bar.WheelScrollTopLeft();
    EXPECT_EQ(bar.Target(), 0);
}

TEST(Scrollbar, PartsHaveExclusiveEdgesAndAHorizontalBarMirrorsAVerticalOne) {
    ScrollbarModel bar = Bar(40);
    EXPECT_EQ(std::tuple(bar.HitTest(15, 30), bar.HitTest(16, 30), bar.HitTest(8, 96)),
              std::tuple(kThumb, kNoPart, kTrack2));

    ScrollbarModel wide;
    wide.SetOrientation(1);
    wide.SetLargeChange(40);
    wide.Layout(232, 16, 16);
    EXPECT_EQ(std::tuple(wide.Part(kArrow2), wide.Part(kThumb)),
              std::tuple(PartRect{216, 0, 232, 16}, PartRect{16, 0, 96, 16}));
    wide.Press(30, 8);
    ASSERT_EQ(wide.PressedPart(), kThumb);
    EXPECT_TRUE(wide.DragTo(90, 8));
    EXPECT_EQ(wide.ThumbPosition(), 76);
    EXPECT_FALSE(wide.DragTo(90, 8));        // no move, nothing to report
    EXPECT_FALSE(wide.DragTo(150, 8 + 300)); // far below: frozen
    EXPECT_FALSE(wide.DragTo(232 + 30, 8));  // past the end: frozen
    EXPECT_TRUE(wide.DragTo(150, 8 + 200));
    EXPECT_EQ(wide.ThumbPosition(), 136);
}
