#include "app/window_search_control.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelkan {
namespace {

// A clock that moves on by a fixed step at every reading.
class SteppingClock : public MillisecondClock {
public:
    explicit SteppingClock(uint32_t step) : step_(step) {}
    uint32_t NowMs() override {
        ++readings;
        return now += step_;
    }
    uint32_t now = 0;
    uint64_t readings = 0;

private:
    uint32_t step_;
};

struct CountingDisplay : SearchDisplay {
    void ProcessMessages() override { ++messages; }
    void ShowDivisionCount(int32_t n) override { shown.push_back(n); }
    int messages = 0;
    std::vector<int32_t> shown;
};

TEST(WindowSearchControl, ReadsTheClockRarelyAndHandsOverByTheClock) {
    CountingDisplay display;
    bool stop = false;
    // Fast calls: a reading moves the clock by less than a millisecond's worth.
    SteppingClock clock(0);
    WindowSearchControl control(display, clock, stop);
    SearchState s;
    for (int n = 0; n < 1'000'000; ++n) control.Pump(s);
    EXPECT_LT(clock.readings, 40u);  // the stride grew
    EXPECT_EQ(display.messages, 0);  // no time passed

    // Slow calls (a millisecond each): the stride stays short, messages every 20 ms.
    SteppingClock slow(1);
    WindowSearchControl paced(display, slow, stop);
    for (int32_t n = 1; n <= 1000; ++n) {
        paced.DivisionRecorded(n);
        paced.Pump(s);
    }
    EXPECT_GE(display.messages, 40);
    EXPECT_LE(display.messages, 50);
    EXPECT_GE(display.shown.size(), 15u);
    EXPECT_LE(display.shown.size(), 20u);
    stop = true;
    EXPECT_TRUE(paced.StopRequested());
}

}  // namespace
}  // namespace zelkan
