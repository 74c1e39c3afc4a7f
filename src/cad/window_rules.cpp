#include "cad/window_rules.h"

namespace zelkan {

namespace {

bool BeginsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
bool Contains(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

constexpr std::string_view kFrameClasses[] = {
    "AfxMDIFrame10u",  "AfxMDIFrame20u",  "AfxMDIFrame30u",  "AfxMDIFrame40u",  "AfxMDIFrame50u",
    "AfxMDIFrame60u",  "AfxMDIFrame70u",  "AfxMDIFrame80u",  "AfxMDIFrame90u",  "AfxMDIFrame100u",
    "AfxMDIFrame110u", "AfxMDIFrame120u", "AfxMDIFrame130u", "AfxMDIFrame140u"};

}  // namespace

bool IsCadMainFrame(std::string_view title, std::string_view className) {
    if (title.empty()) return false;
    if (BeginsWith(title, "AutoCAD ") || BeginsWith(title, "Autodesk ") || BeginsWith(title, "ACAD")) {
        if (BeginsWith(className, "Afx:") && Contains(className, ":8:")) return true;
        for (std::string_view frame : kFrameClasses)
            if (Contains(className, frame)) return true;
        return false;
    }
    return BeginsWith(title, "DraftSight") && Contains(className, "QPopup");
}

bool IsCadTextWindow(std::string_view title, std::string_view className, unsigned long processId,
                     unsigned long cadProcessId) {
    if (title.empty() || processId != cadProcessId) return false;
    if (BeginsWith(title, "AutoCAD "))
        return BeginsWith(className, "Afx:") && Contains(className, ":b:") && Contains(title, "テキスト ウィンドウ");
    return title == "コマンド ウィンドウ";
}

bool IsFloatingCommandLine(std::string_view title, std::string_view className) {
    return Contains(title, "コマンド ライン") && BeginsWith(className, "Afx:") && Contains(className, ":8:");
}

PaneRole CommandLinePane(std::string_view title) {
    if (title == "Headlands" || title == "input") return PaneRole::Input;
    if (title == "MountTam" || title == "output") return PaneRole::History;
    return PaneRole::None;
}

std::string LastNonEmptyLine(std::string_view text) {
    std::string_view last;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (line.find_first_not_of(" \t") != std::string_view::npos) last = line;
        start = end + 1;
    }
    return std::string(last);
}

}  // namespace zelkan
