#include "core/scrollbar_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/rounding.h"

namespace zelk {

void ScrollbarModel::SetMin(long value) {
    min_ = std::min(value, max_);
    if (value_ < min_) {
        value_ = min_;
    }
    UpdateThumb();
}

void ScrollbarModel::SetMax(long value) {
    max_ = std::max(value, min_);
    if (value_ > max_) {
        value_ = max_; // no Change: the range moved, not the user
    }
    if (target_ > max_) {
        target_ = max_;
    }
    UpdateThumb();
}

void ScrollbarModel::SetValue(long value) {
    const long before = value_;
    value_ = std::clamp(value, min_, max_);
    target_ = value_;
    UpdateThumb();
    Notify(before, true);
}

void ScrollbarModel::SetLargeChange(long value) {
    largeChange_ = value < 1 ? 1 : value;
    UpdateThumb();
}

void ScrollbarModel::SetOrientation(long value) {
    orientation_ = value < 0 ? 0 : (value > 1 ? 1 : value);
    Layout(width_, height_, arrowSize_);
}

void ScrollbarModel::SetShowButtons(bool value) {
    showButtons_ = value;
    Layout(width_, height_, arrowSize_);
}

PartRect ScrollbarModel::Rect(int alongStart, int alongEnd) const {
    const int across = orientation_ == 0 ? width_ : height_;
    return orientation_ == 0 ? PartRect{0, alongStart, across, alongEnd}
                             : PartRect{alongStart, 0, alongEnd, across};
}

void ScrollbarModel::Layout(int clientWidth, int clientHeight, int arrowSize) {
    width_ = clientWidth;
    height_ = clientHeight;
    arrowSize_ = arrowSize;
    const int b = showButtons_ ? arrowSize : 0;
    const int length = orientation_ == 0 ? clientHeight : clientWidth;
    parts_ = {};
    gap_ = {};
    hasTrack_ = false;
    if (8 + 2 * b <= length) {
        parts_[kArrow1] = Rect(0, b);
        parts_[kArrow2] = Rect(length - b, length);
        hasTrack_ = true;
        trackStart_ = b;
        trackLength_ = length - 2 * b;
    } else if (2 * b >= length) {
        parts_[kArrow1] = Rect(0, length / 2);
        parts_[kArrow2] = Rect((length + 1) / 2, length);
        if (length % 2 != 0) {
            gap_ = Rect(length / 2, (length + 1) / 2);
        }
    } else {
        parts_[kArrow1] = Rect(0, b);
        parts_[kArrow2] = Rect(length - b, length);
        gap_ = Rect(b, length - b);
    }
    tolerance_ = orientation_ == 0 ? PartRect{-250, -25, clientWidth + 250, clientHeight + 25}
                                   : PartRect{-25, -250, clientWidth + 25, clientHeight + 250};
    UpdateThumb();
}

void ScrollbarModel::UpdateThumb() {
    if (!hasTrack_) {
        parts_[kTrack1] = parts_[kTrack2] = parts_[kThumb] = {};
        return;
    }
    const long range = max_ - min_;
    const double tl = trackLength_;
    if (largeChange_ > range) {
        largeChange_ = std::max(range, 1L);
    }
    double size = range > 0 ? static_cast<double>(RoundHalfEven(static_cast<double>(largeChange_) /
                                                                static_cast<double>(range) * tl))
                            : tl;
    if (tl / 10 > size) {
        size = static_cast<double>(RoundHalfEven(tl / 10));
    }
    if (size > 0.7 * tl) {
        size = static_cast<double>(RoundHalfEven(0.7 * tl));
    }
    if (size < 8) {
        size = 8;
    }
    thumbSize_ = static_cast<int>(size);
    // While the thumb is dragged it shows where the value is heading.
    const long shown = pressed_ == kThumb ? target_ : value_;
    thumbPos_ = range > 0
                    ? static_cast<int>(RoundHalfEven((tl - size) / static_cast<double>(range) *
                                                         static_cast<double>(shown - min_) +
                                                     trackStart_))
                    : trackStart_;
    parts_[kTrack1] = Rect(trackStart_, thumbPos_);
    parts_[kThumb] = Rect(thumbPos_, thumbPos_ + thumbSize_);
    parts_[kTrack2] = Rect(thumbPos_ + thumbSize_, trackStart_ + trackLength_);
}

int ScrollbarModel::HitTest(int x, int y) const {
    for (int part = kArrow1; part <= kThumb; ++part) {
        if (parts_[static_cast<size_t>(part)].Contains(x, y)) {
            return part;
        }
    }
    return kNoPart;
}

long ScrollbarModel::ValueAtThumbPosition(int position) const {
    const double free = trackLength_ - thumbSize_;
    if (free <= 0) {
        return min_;
    }
    return static_cast<long>(
        RoundHalfEven((position - trackStart_) / free * static_cast<double>(max_ - min_) +
                      static_cast<double>(min_)));
}

void ScrollbarModel::Notify(long before, bool notify) {
    if (notify && before != value_ && Change) {
        Change();
    }
}

void ScrollbarModel::DecreaseBy(long amount, bool notify) {
    const long before = value_;
    value_ -= amount;
    if (value_ < min_) {
        value_ = min_;
        target_ = min_;
    }
    if (value_ != before) {
        UpdateThumb();
    }
    Notify(before, notify);
}

void ScrollbarModel::IncreaseBy(long amount, bool notify) {
    const long before = value_;
    value_ += amount;
    if (value_ > max_) {
        value_ = max_;
        target_ = max_;
    }
    if (value_ != before) {
        UpdateThumb();
    }
    Notify(before, notify);
}

void ScrollbarModel::SmoothDecrease(long amount) {
    target_ = (animating_ ? target_ : value_) - amount;
    target_ = std::max(target_, min_);
    animating_ = true;
}

void ScrollbarModel::SmoothIncrease(long amount) {
    target_ = (animating_ ? target_ : value_) + amount;
    target_ = std::min(target_, max_);
    animating_ = true;
}

void ScrollbarModel::ScrollToValue(long target) {
    target_ = std::clamp(target, min_, max_);
    pressed_ = kNoPart;
    animating_ = true;
}

void ScrollbarModel::WheelScrollTopLeft() {
    pressed_ = kNoPart;
    SmoothDecrease(wheelChange_);
}

void ScrollbarModel::WheelScrollBotRight() {
    pressed_ = kNoPart;
    SmoothIncrease(wheelChange_);
}

void ScrollbarModel::Tick() {
    const long d = target_ - value_;
    if (d == 0) {
        animating_ = false;
        return;
    }
    // A factor above 100 would overshoot and could swing round the target for ever.
    const long step =
        static_cast<long>(std::clamp(RoundHalfEven(static_cast<double>(smoothScrollFactor_) /
                                                   100.0 * static_cast<double>(std::labs(d))),
                                     1LL, static_cast<long long>(std::labs(d))));
    if (d < 0) {
        DecreaseBy(step, true);
    } else {
        IncreaseBy(step, true);
    }
}

void ScrollbarModel::StopAnimation() {
    target_ = value_;
    animating_ = false;
}

void ScrollbarModel::FinishAnimation() {
    if (!animating_) {
        return;
    }
    animating_ = false;
    const long before = value_;
    value_ = std::clamp(target_, min_, max_);
    target_ = value_;
    UpdateThumb();
    Notify(before, true);
}

bool ScrollbarModel::StepArrow() {
    if (pressed_ == kArrow1) {
        SmoothDecrease(smallChange_);
    } else if (pressed_ == kArrow2) {
        SmoothIncrease(smallChange_);
    } else {
        return false;
    }
    return true;
}

void ScrollbarModel::Press(int x, int y) {
    pressed_ = HitTest(x, y);
    if (StepArrow()) {
        return;
    }
    switch (pressed_) {
    case kTrack1:
        SmoothDecrease(largeChange_);
        break;
    case kTrack2:
        SmoothIncrease(largeChange_);
        break;
    case kThumb:
        grabOffset_ = thumbPos_ - Along(x, y);
        dragPos_ = thumbPos_;
        break;
    default:
        break;
    }
}

void ScrollbarModel::RepeatStep(int x, int y) {
    const int cursor = Along(x, y);
    if (StepArrow()) {
        return;
    }
    switch (pressed_) {
    case kTrack1:
        if (thumbPos_ > cursor) {
            SmoothDecrease(largeChange_);
        } else {
            pressed_ = kNoPart; // the thumb reached the cursor
        }
        break;
    case kTrack2:
        if (thumbPos_ + thumbSize_ < cursor) {
            SmoothIncrease(largeChange_);
        } else {
            pressed_ = kNoPart;
        }
        break;
    default:
        break;
    }
}

bool ScrollbarModel::DragTo(int x, int y) {
    if (pressed_ != kThumb || !tolerance_.Contains(x, y) || !hasTrack_) {
        return false;
    }
    const int lowest = trackStart_;
    const int highest = trackStart_ + trackLength_ - thumbSize_;
    const int position = std::clamp(Along(x, y) + grabOffset_, lowest, std::max(lowest, highest));
    if (position == dragPos_) {
        return false;
    }
    dragPos_ = position;
    target_ = ValueAtThumbPosition(position);
    animating_ = true;
    UpdateThumb();
    return true;
}

void ScrollbarModel::Release() {
    pressed_ = kNoPart;
    UpdateThumb();
}

} // namespace zelk
