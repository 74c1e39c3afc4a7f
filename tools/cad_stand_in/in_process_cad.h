#pragma once
// The stand-in CAD in this process, behind the same interface as the link
// to a real one: commands go straight to its interpreter, and time passes
// only when the caller sleeps, so a whole dialogue with the CAD runs in
// microseconds.
#include <cstdint>
#include <string>
#include <vector>

#include "cad/cad_channel.h"
#include "command_interpreter.h"

namespace zelkan::standin {

class InProcessCad : public CadChannel {
public:
    explicit InProcessCad(CommandInterpreter& cad, bool running = true) : cad_(cad), running_(running) {}

    void SetRunning(bool running) { running_ = running; }
    int64_t nowMs() const { return nowMs_; }

    bool IsAlive() override { return running_; }
    bool Activate() override { return running_; }
    std::string ReadTextHistory() override;
    void SendText(std::string_view text) override;
    std::string ReadPrompt() override;
    bool WaitPrompt() override;
    std::string LastHistoryLine() override;
    void ProcessMessages() override {}
    void SleepMs(int milliseconds) override;
    void ShowHint(std::string_view text) override;

    // The hints painted, in order.
    const std::vector<std::string>& hints() const { return hints_; }

private:
    CommandInterpreter& cad_;
    bool running_;
    int64_t nowMs_ = 0;
    std::vector<std::string> hints_;
};

}  // namespace zelkan::standin
