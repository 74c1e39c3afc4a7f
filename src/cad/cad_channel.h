#pragma once
// What the CAD procedures need of the CAD's command line: the window
// discovery and the command-line channel. The Win32 implementation talks to
// a running CAD; tests use a scripted one.
#include <string>
#include <string_view>

namespace zelkan {

class CadChannel {
public:
    virtual ~CadChannel() = default;
    virtual bool IsAlive() = 0;                         // the cached main frame still exists
    virtual bool Activate() = 0;                        // find the main frame and bring it forward
    virtual std::string ReadTextHistory() = 0;          // the text window's whole history
    virtual void SendText(std::string_view text) = 0;   // one command text, no waiting
    virtual std::string ReadPrompt() = 0;               // the command line's input pane
    virtual bool WaitPrompt() = 0;                      // until the idle prompt shows, or it gives up
    virtual std::string LastHistoryLine() = 0;          // the last non-empty history line
    virtual void ProcessMessages() = 0;                 // pending window messages of this program
    virtual void SleepMs(int milliseconds) = 0;
    // Paints a hint on the command line's history pane, where the user looks.
    virtual void ShowHint(std::string_view text) = 0;
};

}  // namespace zelkan
