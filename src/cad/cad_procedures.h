#pragma once
// The things the system asks of the CAD, over its command line, and every
// command text it sends.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "cad/cad_channel.h"
#include "engine/acad_point.h"
#include "settings/sansha_settings.h"

namespace zelkan {

inline constexpr const char* kIdlePrompt = "コマンド: ";

// What the user is told when the CAD cannot be talked to.
inline constexpr const char* kCadNotFoundStatus = "CAD が見つかりません";
inline constexpr const char* kCommandLineNotFoundStatus = "CAD のコマンドラインが見つかりません";

// The current value of a system variable, from either reply form: the
// writable one shows it in "<...>" (the prompt for a new value is then
// cancelled), the read-only one answers "NAME = value (読み込み専用)".
// Empty when there is no CAD or no value.
std::string AcadGetVar(CadChannel& cad, std::string_view name);

// The value a variable reply holds (steps without the CAD): what is between
// the last "<" and ">", or for a read-only reply between the last "=" and "(".
struct VarReply {
    std::string value;
    bool writable = false;  // the value came from "<...>": the prompt waits for a new one
};
VarReply ParseVarReply(std::string_view reply);

struct Ucs {
    TAcadPoint origin{};
    TAcadPoint xAxis{};
    TAcadPoint yAxis{};
};
Ucs AcadQueryUcs(CadChannel& cad);
TAcadPoint PointFromVarValue(std::string value);

void AcadRunCommand(CadChannel& cad, std::string_view text);

// How a wait for the idle prompt ended.
enum class PromptWait { Idle, GaveUp, Stopped };
// The wait of WaitPrompt (looks from 10 to 100 ms apart for two minutes,
// this program's messages handled between them) that ends early, Stopped, once `stop`
// says so: a window that is closing does not wait for the user's click.
PromptWait AcadWaitPromptUnless(CadChannel& cad, const std::function<bool()>& stop);
void AcadRunScript(CadChannel& cad, const std::string& scriptPath);

// The script that makes the CAD export the last object ("last") or the
// whole drawing ("all") as DXF R12 to scriptPath with ".dxf".
void AcadWriteDxfOutScript(const std::string& scriptPath, std::string_view selection);
std::string DxfOutScript(const std::string& scriptPath, std::string_view selection);  // UTF-8, CR LF

// Creates the label, side, height and table layers where the drawing lacks them.
void AcadEnsureLayers(CadChannel& cad, const SanshaSettings& settings);

// Command texts.
std::string PointCommand();                                   // the user picks a point
std::string BoundaryCommand();                                // the boundary command, asking for a point
std::string BoundaryPoint(std::string_view lastPoint);        // "x,y" of LASTPOINT and two line feeds
std::string EraseLastCommand(bool cancelFirst);
std::string FileDialogCommand(bool on);                       // around a result insertion
std::string InsertCommand(std::string_view fileName, bool atOrigin);
// The same, inserted at "x,y" of the current coordinate system.
std::string InsertAtCommand(std::string_view fileName, std::string_view point);
// "x,y" of a LASTPOINT reply ("x,y,z") moved dx to the right; none for a
// reply that holds no point.
std::optional<std::string> PointRightOf(std::string_view lastPoint, double dx);

}  // namespace zelkan
