#include "cad/cad_procedures.h"

#include "cad/poll_pauses.h"

#include "geometry/cp932.h"
#include "geometry/exact_format.h"
#include "geometry/file_io.h"
#include "geometry/text_helpers.h"
#include "records/run_names.h"

namespace zelkan {

namespace {

constexpr const char* kReadOnly = "(読み込み専用)";
// A variable's reply is read for up to a second, at most 100 ms apart.
constexpr int kVarPollLongestMs = 100;
constexpr int kVarPollTotalMs = 1000;

std::string Trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return std::string(s);
}

// The trimmed text strictly between the last `open` and the last `close`,
// when that `open` comes before that `close`.
std::string Between(std::string_view s, char open, char close) {
    const size_t last = s.rfind(close);
    if (last == std::string_view::npos) return {};
    const size_t first = s.rfind(open);
    if (first == std::string_view::npos || first >= last) return {};
    return Trimmed(s.substr(first + 1, last - first - 1));
}

bool IsIdleOrEmpty(const std::string& reply) { return reply.empty() || reply == kIdlePrompt; }

std::string Concat(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces) text += piece;
    return text;
}

}  // namespace

VarReply ParseVarReply(std::string_view reply) {
    VarReply r;
    r.value = Between(reply, '<', '>');
    r.writable = !r.value.empty();
    if (r.value.empty() && reply.size() > 1 && reply.find(kReadOnly) != std::string_view::npos)
        r.value = Between(reply, '=', '(');
    return r;
}

std::string AcadGetVar(CadChannel& cad, std::string_view name) {
    if (!cad.IsAlive()) return {};
    cad.SendText(Concat({"'SETVAR ", name, "\r"}));
    std::string reply;
    PollPauses pauses(kVarPollLongestMs, kVarPollTotalMs, kVarIdleTrustedMs);
    IdleTrust trust(kVarIdleTrustedMs);
    while (const std::optional<int> pause = pauses.Next()) {
        cad.SleepMs(*pause);
        cad.ProcessMessages();
        reply = cad.ReadPrompt();
        if (reply.empty() || trust.Ends(reply == kIdlePrompt, pauses.waitedMs())) break;
    }
    if (IsIdleOrEmpty(reply)) reply = cad.LastHistoryLine();
    const VarReply r = ParseVarReply(reply);
    if (!r.value.empty()) {
        // Only the writable form leaves a prompt open for a new value.
        if (r.writable) cad.SendText("\003");
        return r.value;
    }
    if (reply.empty() || reply.find(kIdlePrompt) != std::string::npos) reply = cad.LastHistoryLine();
    return Between(reply, '=', '(');
}

TAcadPoint PointFromVarValue(std::string value) {
    std::string x, y, z;
    SplitAtComma(value, x);
    SplitAtComma(value, y);
    SplitAtComma(value, z);
    return TAcadPoint{StrToReal(x), StrToReal(y), StrToReal(z)};
}

Ucs AcadQueryUcs(CadChannel& cad) {
    Ucs ucs;
    ucs.origin = PointFromVarValue(AcadGetVar(cad, "UCSORG"));
    ucs.xAxis = PointFromVarValue(AcadGetVar(cad, "UCSXDIR"));
    ucs.yAxis = PointFromVarValue(AcadGetVar(cad, "UCSYDIR"));
    return ucs;
}

void AcadRunCommand(CadChannel& cad, std::string_view text) {
    cad.SendText(text);
    cad.WaitPrompt();
}

PromptWait AcadWaitPromptUnless(CadChannel& cad, const std::function<bool()>& stop) {
    PollPauses pauses = PromptPollPauses();
    IdleTrust trust(kPromptIdleTrustedMs);
    while (const std::optional<int> pause = pauses.Next()) {
        cad.SleepMs(*pause);
        cad.ProcessMessages();
        cad.SleepMs(1);
        if (stop()) return PromptWait::Stopped;
        const std::string prompt = cad.ReadPrompt();
        if (prompt.empty() || trust.Ends(prompt == kIdlePrompt, pauses.waitedMs())) return PromptWait::Idle;
    }
    return PromptWait::GaveUp;
}

void AcadRunScript(CadChannel& cad, const std::string& scriptPath) {
    AcadRunCommand(cad, "_filedia 0\n");
    AcadRunCommand(cad, Concat({"script \"", scriptPath, "\"\n"}));
    AcadRunCommand(cad, "_filedia 1\n");
}

std::string DxfOutScript(const std::string& scriptPath, std::string_view selection) {
    const char* const lineEnd = "\r\n";
    std::string text;
    for (const std::string& line :
         {std::string("; ファイルダイアログボックスを非表示"), std::string("filedia 0"),
          std::string("; DXFファイル書き出し"), std::string("dxfout"),
          Concat({"\"", DeriveName(scriptPath, ".dxf"), "\""}), std::string("; DXF形式をR12，精度を16"),
          // Its own line feed: the CAD reads an empty line after it, which
          // ends the object selection.
          Concat({"v r12 o ", selection, "\n"}), std::string("16"),
          std::string("; ファイルダイアログボックスを表示"), std::string("filedia 1")}) {
        text += line;
        text += lineEnd;
    }
    return text;
}

void AcadWriteDxfOutScript(const std::string& scriptPath, std::string_view selection) {
    WriteFileAtomically(scriptPath, Utf8ToCp932(DxfOutScript(scriptPath, selection)));
}

void AcadEnsureLayers(CadChannel& cad, const SanshaSettings& settings) {
    if (!cad.Activate()) return;
    if (cad.ReadTextHistory().empty()) return;
    cad.SendText("\003-LAYER ? *\r\r");
    const std::string history = cad.ReadTextHistory();
    for (const std::string* layer : {&settings.layerText, &settings.layerHen, &settings.layerTakasa, &settings.kyuLayer}) {
        if (history.find(Concat({"\"", *layer, "\""})) == std::string::npos)
            cad.SendText(Concat({"\003-LAYER N ", *layer, "\r\r"}));
    }
}

std::string PointCommand() { return "\003ID "; }

std::string BoundaryCommand() { return "\003-boundary "; }

std::string BoundaryPoint(std::string_view lastPoint) {
    std::string point;
    const size_t first = lastPoint.find(',');
    if (first != std::string_view::npos) {
        const size_t second = lastPoint.find(',', first + 1);
        point = std::string(lastPoint.substr(0, first + 1));
        point += lastPoint.substr(first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1);
    }
    point += "\n\n";
    return point;
}

std::string EraseLastCommand(bool cancelFirst) { return Concat({cancelFirst ? "\003" : "", "ERASE\nLAST\n\n"}); }

std::string FileDialogCommand(bool on) { return on ? "\003_filedia 1\n" : "\003_filedia 0\n"; }

std::string InsertAtCommand(std::string_view fileName, std::string_view point) {
    return InsertCommand(fileName, false) + std::string(point) + "\r";
}

std::optional<std::string> PointRightOf(std::string_view lastPoint, double dx) {
    const size_t first = lastPoint.find(',');
    if (first == std::string_view::npos) return std::nullopt;
    const size_t second = lastPoint.find(',', first + 1);
    const std::string x(TrimSpaceNul(lastPoint.substr(0, first)));
    const std::string y(TrimSpaceNul(lastPoint.substr(first + 1, second == std::string_view::npos ? std::string_view::npos
                                                                                                  : second - first - 1)));
    if (!IsDecimalNumber(x) || !IsDecimalNumber(y)) return std::nullopt;
    return std::string(TrimSpaceNul(FormatFixed(4, static_cast<long double>(StrToReal(x)) + dx))) + "," + y;
}

std::string InsertCommand(std::string_view fileName, bool atOrigin) {
    std::string text = "\003-INSERT\r\"";
    text += fileName;
    text += "\"\rS \rR \r";
    if (atOrigin) text += "0,0\r";
    return text;
}

}  // namespace zelkan
