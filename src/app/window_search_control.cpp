#include "app/window_search_control.h"

namespace zelkan {

namespace {
// Calls between clock readings never exceed this, so that a burst of slow
// calls (the conflict table's rows) is noticed within a few of them.
constexpr uint32_t kMaxStride = 1u << 16;
}  // namespace

WindowSearchControl::WindowSearchControl(SearchDisplay& display, MillisecondClock& clock, const bool& stopFlag)
    : display_(display), clock_(clock), stopFlag_(stopFlag) {
    lastCheck_ = lastMessages_ = lastCount_ = clock_.NowMs();
}

void WindowSearchControl::Check(const SearchState& state) {
    const uint32_t now = clock_.NowMs();
    const uint32_t elapsed = now - lastCheck_;
    lastCheck_ = now;
    // Aim at one clock reading per millisecond or two.
    if (elapsed == 0 && stride_ < kMaxStride) {
        stride_ *= 2;
    } else if (elapsed > 2 && stride_ > 1) {
        stride_ /= 2;
    }
    countdown_ = stride_;
    last_ = state;
    if (now - lastMessages_ < kMessageIntervalMs) return;
    lastMessages_ = now;
    if (divisions_ != shown_ && now - lastCount_ >= kCountIntervalMs) {
        shown_ = divisions_;
        lastCount_ = now;
        display_.ShowDivisionCount(divisions_);
    }
    display_.ProcessMessages();
}

}  // namespace zelkan
