#pragma once
// The search control of a window program: the windows stay alive while the
// search runs, at a cost the search does not notice. The clock is read only
// every so many calls (the stride adapts, so that it is read about every
// millisecond whatever the search is doing), messages are processed at most
// every 20 ms, and the count of stored divisions shown at most every 50 ms.
#include <cstdint>

#include "engine/search_control.h"

namespace zelkan {

class SearchDisplay {
public:
    virtual ~SearchDisplay() = default;
    virtual void ProcessMessages() = 0;
    virtual void ShowDivisionCount(int32_t trisetnum) = 0;
};

class WindowSearchControl : public SearchControl {
public:
    static constexpr uint32_t kMessageIntervalMs = 20;
    static constexpr uint32_t kCountIntervalMs = 50;

    WindowSearchControl(SearchDisplay& display, MillisecondClock& clock, const bool& stopFlag);

    void Pump(const SearchState& state) override {
        if (--countdown_ > 0) return;
        Check(state);
    }
    bool StopRequested() override { return stopFlag_; }
    void DivisionRecorded(int32_t trisetnum) override { divisions_ = trisetnum; }

    // The search's position when the clock was last read, for the progress timer.
    const SearchState& lastState() const { return last_; }

private:
    void Check(const SearchState& state);

    SearchDisplay& display_;
    MillisecondClock& clock_;
    const bool& stopFlag_;
    SearchState last_;
    uint32_t stride_ = 1;
    uint32_t countdown_ = 1;
    uint32_t lastCheck_;
    uint32_t lastMessages_;
    uint32_t lastCount_;
    int32_t divisions_ = 0;
    int32_t shown_ = 0;
};

}  // namespace zelkan
