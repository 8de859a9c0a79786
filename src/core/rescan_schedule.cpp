#include "core/rescan_schedule.h"

#include <algorithm>
#include <utility>

namespace zelk {

size_t RescanSchedule::Add() {
    toolbars_.emplace_back();
    return toolbars_.size() - 1;
}

void RescanSchedule::SetReadable(size_t toolbar) {
    toolbars_.at(toolbar).readable = true;
}

void RescanSchedule::Changed(size_t toolbar, uint64_t now) {
    Toolbar& t = toolbars_.at(toolbar);
    if (!t.waiting) {
        t.waiting = true;
        t.firstChange = now;
    }
    t.lastChange = now;
}

uint64_t RescanSchedule::DueAt(const Toolbar& toolbar) {
    return std::min(toolbar.lastChange + kQuietMs, toolbar.firstChange + kLongestWaitMs);
}

std::optional<uint64_t> RescanSchedule::NextDue() const {
    std::optional<uint64_t> next;
    for (const Toolbar& t : toolbars_) {
        // A toolbar reading, or holding a result the open menu keeps out, is looked at again
        // when that ends: a due time in the past would only wake the program for nothing.
        if (t.waiting && t.readable && !t.reading && !t.finished) {
            next = std::min(next.value_or(DueAt(t)), DueAt(t));
        }
    }
    return next;
}

std::vector<size_t> RescanSchedule::StartDue(uint64_t now) {
    std::vector<size_t> due;
    for (size_t i = 0; i < toolbars_.size(); ++i) {
        Toolbar& t = toolbars_[i];
        if (t.waiting && t.readable && !t.reading && !t.finished && DueAt(t) <= now) {
            // The reading covers every change seen so far; a change from now on waits anew.
            t.waiting = false;
            t.reading = true;
            ++started_;
            due.push_back(i);
        }
    }
    return due;
}

void RescanSchedule::Ended(size_t toolbar) {
    Toolbar& t = toolbars_.at(toolbar);
    if (t.reading) {
        t.reading = false;
        t.finished = true;
    }
}

std::vector<size_t> RescanSchedule::TakeFinished(bool menuOpen) {
    std::vector<size_t> finished;
    if (menuOpen) {
        return finished;
    }
    for (size_t i = 0; i < toolbars_.size(); ++i) {
        if (std::exchange(toolbars_[i].finished, false)) {
            finished.push_back(i);
        }
    }
    return finished;
}

} // namespace zelk
