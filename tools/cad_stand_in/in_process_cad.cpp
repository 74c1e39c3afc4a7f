#include "in_process_cad.h"

#include "cad/poll_pauses.h"
#include "cad/window_rules.h"

namespace zelkan::standin {

std::string InProcessCad::ReadTextHistory() { return running_ ? cad_.History() : std::string(); }

void InProcessCad::SendText(std::string_view text) {
    if (running_) cad_.Type(text);
}

std::string InProcessCad::ReadPrompt() { return running_ ? cad_.Prompt() : std::string(); }

// The same looks as the link to a real CAD.
bool InProcessCad::WaitPrompt() {
    PollPauses pauses = PromptPollPauses();
    IdleTrust trust(kPromptIdleTrustedMs);
    while (const std::optional<int> pause = pauses.Next()) {
        SleepMs(*pause);
        SleepMs(1);
        const std::string prompt = ReadPrompt();
        if (prompt.empty() || trust.Ends(prompt == kIdle, pauses.waitedMs())) return true;
    }
    return false;
}

std::string InProcessCad::LastHistoryLine() { return running_ ? LastNonEmptyLine(cad_.History()) : std::string(); }

void InProcessCad::ShowHint(std::string_view text) {
    if (running_) hints_.emplace_back(text);
}

void InProcessCad::SleepMs(int milliseconds) {
    nowMs_ += milliseconds;
    cad_.AdvanceTo(nowMs_);
}

}  // namespace zelkan::standin
