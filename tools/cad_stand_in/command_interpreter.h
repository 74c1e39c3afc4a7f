#pragma once
// The stand-in CAD's command line: typed text in, a prompt and a command
// history out, acting on its drawing. It knows the commands the tool sends
// (SETVAR and variable names, ID, -BOUNDARY, SCRIPT, DXFOUT, ERASE,
// -INSERT, -LAYER), LINE for what the user draws by hand, and answers with the prompts and replies of a Japanese
// CAD. The user's clicks come from the scenario, each after a delay.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "stand_in_drawing.h"
#include "stand_in_scenario.h"

namespace zelkan::standin {

inline constexpr const char* kIdle = "コマンド: ";

class CommandInterpreter {
public:
    CommandInterpreter(Scenario scenario, Drawing drawing);

    // One command text as the CAD receives it: Ctrl+C cancels, a carriage
    // return, line feed or blank (outside double quotes) ends one input.
    void Type(std::string_view text);
    // Lets the time pass: the user's click is made when it is due.
    void AdvanceTo(int64_t nowMs);

    // The input pane: the current prompt followed by what is typed so far.
    std::string Prompt() const;
    // The finished history lines, each ended by CR LF (the current prompt is
    // not part of it).
    std::string History() const;
    size_t HistoryLines() const { return history_.size(); }
    bool Idle() const { return steps_.empty(); }

    // Every command text received, in order.
    const std::vector<std::string>& received() const { return received_; }
    const Drawing& drawing() const { return drawing_; }
    std::string Variable(std::string_view name) const;

private:
    using Handler = std::function<void(const std::string& input)>;
    struct Step {
        std::string prompt;
        Handler onInput;
        bool waitsForPick = false;
        int64_t pickDueMs = 0;
    };

    void Key(char c);
    void Enter();
    void Cancel();
    void Say(std::string line);
    void Ask(std::string prompt, Handler onInput);
    void AskPoint(std::string prompt, Handler onInput);
    void Start(const std::string& command);

    void SetVariablePrompt(const std::string& name);
    void PointCommand();
    void BoundaryCommand(int created = 0);
    void ScriptCommand();
    void DxfOutCommand();
    void DxfOutOptions(const std::string& file, const std::string& version, bool selected, bool last);
    void SelectObjects(std::function<void(bool any, bool last)> then, bool any = false, bool last = false);
    void EraseCommand();
    void InsertCommand();
    void InsertPoint(const std::string& block, std::shared_ptr<Drawing> source, double scale, double angle);
    void LayerCommand();
    void LineCommand();
    void NextLinePoint(Point2 from);
    void RunScript(const std::string& path);

    ::zelkan::standin::Variable* FindVariable(std::string_view name);
    bool FileDialogsOn() const;

    Scenario scenario_;
    Drawing drawing_;
    std::vector<Step> steps_;  // the command in progress, transparent commands on top
    std::vector<std::string> history_;
    std::vector<std::string> received_;
    std::string typed_;
    bool inQuotes_ = false;
    size_t nextPick_ = 0;
    int64_t nowMs_ = 0;
};

// A command text with its control characters spelled out (\003, \r, \n,
// and a backslash doubled), for a one-line log entry.
std::string EscapeCommandText(std::string_view text);

}  // namespace zelkan::standin
