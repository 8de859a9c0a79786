#pragma once

#include <array>
#include <functional>

namespace zelk {

struct PartRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const PartRect&) const = default;
};

// Parts of the bar: 1 first arrow, 2 second arrow, 3 track before the thumb, 4 track after
// it, 5 the thumb.
enum ScrollPart : int {
    kNoPart = 0,
    kArrow1 = 1,
    kArrow2 = 2,
    kTrack1 = 3,
    kTrack2 = 4,
    kThumb = 5
};

// The numbers of a scroll bar: range, value, smooth-scroll target, part geometry, thumb
// maths, stepping and dragging. The window around it only turns messages into these calls.
class ScrollbarModel {
public:
    long Min() const { return min_; }
    long Max() const { return max_; }
    long Value() const { return value_; }
    long Target() const { return target_; }
    long SmallChange() const { return smallChange_; }
    long LargeChange() const { return largeChange_; }
    long ChangeDelay() const { return changeDelay_; }
    long ChangeFrequency() const { return changeFrequency_; }
    long Orientation() const { return orientation_; }
    long Style() const { return style_; }
    bool ShowButtons() const { return showButtons_; }
    long SmoothScrollFactor() const { return smoothScrollFactor_; }
    long WheelChange() const { return wheelChange_; }

    void SetMin(long value);
    void SetMax(long value);
    void SetValue(long value); // clamped; raises Change when it moved
    void SetSmallChange(long value) { smallChange_ = value < 1 ? 1 : value; }
    void SetLargeChange(long value);
    void SetChangeDelay(long value) { changeDelay_ = value < 0 ? 0 : value; }
    void SetChangeFrequency(long value) { changeFrequency_ = value < 25 ? 25 : value; }
    void SetOrientation(long value);
    void SetStyle(long value) { style_ = value < 0 ? 0 : (value > 3 ? 3 : value); }
    void SetShowButtons(bool value);
    void SetSmoothScrollFactor(long value) { smoothScrollFactor_ = value; }
    void SetWheelChange(long value) { wheelChange_ = value; }

    // Client size and the platform's arrow size (used when buttons are shown).
    void Layout(int clientWidth, int clientHeight, int arrowSize);
    const PartRect& Part(int part) const { return parts_.at(static_cast<size_t>(part)); }
    const PartRect& Gap() const { return gap_; }
    const PartRect& Tolerance() const { return tolerance_; }
    bool HasTrack() const { return hasTrack_; }
    int ThumbSize() const { return thumbSize_; }
    int ThumbPosition() const { return thumbPos_; }
    int TrackStart() const { return trackStart_; }
    int TrackLength() const { return trackLength_; }

    int HitTest(int x, int y) const; // first of parts 1..5 containing the point, 0 for none
    long ValueAtThumbPosition(int position) const;

    void DecreaseBy(long amount, bool notify);
    void IncreaseBy(long amount, bool notify);
    void SmoothDecrease(long amount);
    void SmoothIncrease(long amount);
    void ScrollToValue(long target);
    void WheelScrollTopLeft();
    void WheelScrollBotRight();

    // The animation: true while it runs. Each tick covers SmoothScrollFactor percent of the
    // remaining distance (at least 1, never past the target).
    bool AnimationRunning() const { return animating_; }
    void Tick();
    // Ends the animation where it is, without a Change.
    void StopAnimation();
    // Ends the animation at its target at once (one Change), for when no ticks can come.
    void FinishAnimation();

    // Mouse on the bar, in client coordinates.
    int PressedPart() const { return pressed_; }
    void Press(int x, int y);
    // One auto-repeat step for the pressed part; cursor along the axis.
    void RepeatStep(int x, int y);
    // The thumb follows the cursor while it stays inside the tolerance rectangle; true
    // when it moved.
    bool DragTo(int x, int y);
    void Release();

    std::function<void()> Change;

private:
    int Along(int x, int y) const { return orientation_ == 0 ? y : x; }
    void UpdateThumb();
    bool StepArrow(); // one small step for a pressed arrow; false for any other part
    PartRect Rect(int alongStart, int alongEnd) const;
    void Notify(long before, bool notify);

    long min_ = 0, max_ = 100, value_ = 0, target_ = 0;
    long smallChange_ = 10, largeChange_ = 40, changeDelay_ = 250, changeFrequency_ = 75;
    long orientation_ = 0, style_ = 1, smoothScrollFactor_ = 30, wheelChange_ = 3000;
    bool showButtons_ = true;
    bool animating_ = false;

    int width_ = 0, height_ = 0, arrowSize_ = 0;
    std::array<PartRect, 6> parts_{};
    PartRect gap_, tolerance_;
    bool hasTrack_ = false;
    int trackStart_ = 0, trackLength_ = 0, thumbSize_ = 0, thumbPos_ = 0;
    int pressed_ = kNoPart;
    int grabOffset_ = 0;
    int dragPos_ = 0;
};

} // namespace zelk
