#pragma once
// What a test tells the stand-in CAD: how its windows are titled and
// classed, where its command line sits, its system variables and which
// reply form each gives, and what the user picks when asked for a point.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stand_in_drawing.h"

namespace zelkan::standin {

enum class PanePlace { Frame, Floating, TextWindow };

struct Variable {
    std::string name;  // upper case
    std::string value;
    bool readOnly = false;
};

struct Scenario {
    // An empty title means the window does not exist.
    std::string frameTitle = "AutoCAD 2020 - [parcel.dwg]";
    std::string frameClass = "Afx:00400000:8:00010003:00000000:00000000";
    bool frameUnicode = true;
    std::string textTitle = "AutoCAD テキスト ウィンドウ - parcel.dwg";
    std::string textClass = "Afx:00400000:b:00010003:00000006:00000000";
    std::string floatingTitle = "コマンド ライン";
    std::string floatingClass = "Afx:00400000:8:00010003:00000000:0001003F";
    PanePlace panes = PanePlace::Frame;
    std::string inputTitle = "Headlands";
    std::string historyTitle = "MountTam";
    std::vector<Variable> variables = {
        {"UCSORG", "0.0000,0.0000,0.0000", true},  {"UCSXDIR", "1.0000,0.0000,0.0000", true},
        {"UCSYDIR", "0.0000,1.0000,0.0000", true}, {"LASTPOINT", "0.0000,0.0000,0.0000", false},
        {"FILEDIA", "1", false},
    };
    // The user's answers to point prompts, in order: a point, or none for a cancel.
    std::vector<std::optional<Point2>> picks;
    int pickDelayMs = 300;
    // Other programs' windows, class and title, to stand in front of the CAD.
    struct Window {
        std::string className;
        std::string title;
    };
    std::vector<Window> decoys;
};

// "key = value" lines, "#" comments, UTF-8:
//   frame.title, frame.class, frame.unicode (yes/no), text.title, text.class,
//   floating.title, floating.class, panes (frame/floating/text),
//   input.title, history.title,
//   var.NAME = value, var.NAME.readonly = yes/no,
//   pick = x,y  or  pick = cancel,  pick.delay = milliseconds,
//   decoy = CLASS | TITLE (a top-level window of no use to the tool).
// Throws std::invalid_argument naming an unknown key or a bad value.
Scenario ParseScenario(std::string_view text);

// A number as typed: blanks around it and a leading "+" allowed. value is
// set only when the whole text is a number.
bool ParseNumber(std::string_view text, double& value);

// ASCII letters in upper case, for the CAD's case-blind names.
std::string UpperAscii(std::string_view s);

// "x,y" or "x,y,z" as typed on a command line; none for anything else.
std::optional<Point2> ParsePoint(std::string_view text);

}  // namespace zelkan::standin
