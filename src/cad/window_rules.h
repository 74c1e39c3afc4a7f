#pragma once
// How the CAD's windows are recognised by their titles and class names
// (exact, case-sensitive; "begins with" compares that many characters).
#include <string>
#include <string_view>

namespace zelkan {

// The CAD's main frame: an AutoCAD, Autodesk or ACAD title with an MFC
// frame class, or a DraftSight title with a "QPopup" class.
bool IsCadMainFrame(std::string_view title, std::string_view className);

// The CAD's text window (command history), of the CAD's own process.
bool IsCadTextWindow(std::string_view title, std::string_view className, unsigned long processId,
                     unsigned long cadProcessId);

// A floating command line.
bool IsFloatingCommandLine(std::string_view title, std::string_view className);

enum class PaneRole { None, Input, History };
PaneRole CommandLinePane(std::string_view title);

// The last line of a text that holds more than blanks, without its line end.
std::string LastNonEmptyLine(std::string_view text);

}  // namespace zelkan
