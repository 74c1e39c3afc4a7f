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

    // With `lookAtMs`, one look falls exactly that long after the start.
    PollPauses(int longestMs, int totalMs, int lookAtMs = 0)
        : longest_(longestMs), left_(totalMs), lookAt_(lookAtMs) {}

    // The pause before the next look; none when the wait has lasted its total.
    std::optional<int> Next() {
        if (left_ <= 0) return std::nullopt;
        int pause = std::min({next_, longest_, left_});
        if (waited_ < lookAt_) pause = std::min(pause, lookAt_ - waited_);
        left_ -= pause;
        waited_ += pause;
        next_ = std::min(next_ * 2, longest_);
        return pause;
    }

    // The pauses so far.
    int waitedMs() const { return waited_; }

private:
    int longest_;
    int left_;
    int lookAt_;
    int waited_ = 0;
    int next_ = kFirstMs;
};

// A CAD takes a sent command from its message queue when it gets to it, so
// the idle prompt seen soon after the send may still be the one from before
// the command, and the history's last line an older reply. An idle prompt
// ends a wait once the command was seen running (the prompt was not idle at
// some look), or once the wait has lasted as long as its first look always
// took.
class IdleTrust {
public:
    explicit IdleTrust(int afterMs) : afterMs_(afterMs) {}

    bool Ends(bool idle, int waitedMs) {
        if (!idle) {
            busySeen_ = true;
            return false;
        }
        return busySeen_ || waitedMs >= afterMs_;
    }

private:
    int afterMs_;
    bool busySeen_ = false;
};

// The first look of the prompt waits came 200 ms after the command, that of
// a variable's reply 100 ms: a command done before then is seen done then.
inline constexpr int kPromptIdleTrustedMs = 200;
inline constexpr int kVarIdleTrustedMs = 100;

// The wait for the idle prompt: pauses of up to 100 ms for two minutes, the
// time a user has to click in the parcel; a click is then seen within a
// tenth of a second, and a look costs the CAD one window text.
inline PollPauses PromptPollPauses() { return PollPauses(100, 120'000, kPromptIdleTrustedMs); }

}  // namespace zelkan
