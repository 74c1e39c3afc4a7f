#pragma once
// How a wait for the CAD spaces its looks. Most commands are done within a
// few milliseconds, so the first look comes soon after the command was sent
// and each pause is twice the one before, up to the longest; the wait gives
// up when its pauses add up to its total, as long as it always has.
#include <algorithm>
#include <optional>

namespace zelkan {

class PollPauses {
public:
    static constexpr int kFirstMs = 10;

    PollPauses(int longestMs, int totalMs) : longest_(longestMs), left_(totalMs) {}

    // The pause before the next look; none when the wait has lasted its total.
    std::optional<int> Next() {
        if (left_ <= 0) return std::nullopt;
        const int pause = std::min({next_, longest_, left_});
        left_ -= pause;
        next_ = std::min(next_ * 2, longest_);
        return pause;
    }

private:
    int longest_;
    int left_;
    int next_ = kFirstMs;
};

// The wait for the idle prompt: pauses of up to 100 ms for two minutes, the
// time a user has to click in the parcel; a click is then seen within a
// tenth of a second, and a look costs the CAD one window text.
inline PollPauses PromptPollPauses() { return PollPauses(100, 120'000); }

}  // namespace zelkan
