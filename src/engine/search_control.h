#pragma once
// What the search needs from its surroundings: somewhere to hand control
// while it works (a window program pumps its messages and refreshes its
// progress display there), a stop request, and a millisecond clock.
#include <cstdint>

namespace zelkan {

// The search's position, for a progress display.
struct SearchState {
    int32_t hhh = 0;       // current depth
    int32_t hhhmax = 0;    // deepest depth at which a triangle was placed
    int32_t curstart = 0;  // scan position just after the current first triangle
    int32_t curpos = 0;    // scan position at the current depth
    uint32_t StartTime = 0;
};

class SearchControl {
public:
    virtual ~SearchControl() = default;
    // Called for every candidate the search reads (well under a millisecond
    // apart) and after every placed triangle. Must not sleep.
    virtual void Pump(const SearchState& state) = 0;
    // Asked before each first triangle and on entry to each level.
    virtual bool StopRequested() = 0;
    // A division was recorded (stored or counted as a duplicate).
    virtual void DivisionRecorded(int32_t trisetnum) = 0;
};

// A control that never stops and shows nothing.
class SilentSearchControl : public SearchControl {
public:
    void Pump(const SearchState&) override {}
    bool StopRequested() override { return false; }
    void DivisionRecorded(int32_t) override {}
};

// A wrapping millisecond counter (timeGetTime on Windows).
class MillisecondClock {
public:
    virtual ~MillisecondClock() = default;
    virtual uint32_t NowMs() = 0;
};

// The platform's steady clock.
class SteadyMillisecondClock : public MillisecondClock {
public:
    uint32_t NowMs() override;
};

}  // namespace zelkan
