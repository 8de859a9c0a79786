#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zelk {

// When each toolbar's folder tree is read again after changes on disk. A quiet period lets a
// burst of changes (an unzip, a copy of many files) cost one reading; a longest wait keeps a
// steady trickle from putting the reading off for ever; one reading per toolbar runs at a time,
// and what a reading found goes into the menu only while the menu is closed, never under the
// pointer. Times are in milliseconds of any steady clock.
class RescanSchedule {
public:
    static constexpr uint64_t kQuietMs = 300;
    static constexpr uint64_t kLongestWaitMs = 2000;

    // Forgets every toolbar (the menu is being built again from scratch).
    void Clear() { toolbars_.clear(); }
    // A new toolbar, not readable until its first reading is in the menu; returns its number.
    size_t Add();
    // Its first reading is in the menu: changes may now be read.
    void SetReadable(size_t toolbar);
    // Something changed under the toolbar's folder at time now.
    void Changed(size_t toolbar, uint64_t now);
    // When the next reading falls due, if one is waiting for its time.
    std::optional<uint64_t> NextDue() const;
    // The toolbars whose reading starts now.
    std::vector<size_t> StartDue(uint64_t now);
    // The toolbar's reading has ended; its result waits to be put into the menu.
    void Ended(size_t toolbar);
    // The ended readings to put into the menu now: none while the menu is open.
    std::vector<size_t> TakeFinished(bool menuOpen);
    uint64_t ReadingsStarted() const { return started_; }

private:
    struct Toolbar {
        bool readable = false;
        bool waiting = false; // changes not yet covered by a reading
        uint64_t firstChange = 0, lastChange = 0;
        bool reading = false;
        bool finished = false; // ended, not yet in the menu
    };
    static uint64_t DueAt(const Toolbar& toolbar);

    std::vector<Toolbar> toolbars_;
    uint64_t started_ = 0;
};

} // namespace zelk
