// The stand-in CAD as a Windows program: a main frame that takes command
// texts by WM_COPYDATA, command-line panes whose text is the prompt or the
// history, a text window that copies its history to the clipboard, all
// titled and classed as the scenario says.
//
//   cad-stand-in SCENARIO DRAWING.dxf LOG
//
// DRAWING may be "-" for an empty drawing. LOG is created once the windows
// exist (tests wait for it) and gets one line per command text received,
// with control characters spelled out.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "command_interpreter.h"
#include "geometry/file_io.h"
#include "geometry/wide_text.h"

namespace {

using zelkan::Utf8ToWide;
using zelkan::WideToUtf8;
using namespace zelkan::standin;

constexpr WPARAM kCopyHistoryCommand = 32781;
constexpr UINT_PTR kClockTimer = 1;

struct StandIn {
    CommandInterpreter* cad = nullptr;
    std::ofstream log;
    HWND frame = nullptr, textWindow = nullptr, floating = nullptr;
    HWND inputPane = nullptr, historyPane = nullptr, textPane = nullptr;
    HWND clock = nullptr;  // the window whose timer lets the user's clicks happen
};

StandIn app;

void Repaint() {
    for (HWND w : {app.inputPane, app.historyPane, app.textPane})
        if (w != nullptr) InvalidateRect(w, nullptr, TRUE);
}

// Lets the user's click happen when it is due; the panes are repainted
// only when something changed (a hint painted on them stays until then).
void Advance() {
    const std::string before = app.cad->Prompt();
    const size_t historyBefore = app.cad->HistoryLines();
    app.cad->AdvanceTo(static_cast<int64_t>(GetTickCount64()));
    if (app.cad->Prompt() != before || app.cad->HistoryLines() != historyBefore) Repaint();
}

std::wstring PaneContent(HWND pane) {
    if (pane == app.inputPane) return Utf8ToWide(app.cad->Prompt());
    return Utf8ToWide(app.cad->History());
}

// The last lines of a text, as many as the pane shows.
std::wstring VisibleLines(const std::wstring& text, int count) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == L'\n' || text[end - 1] == L'\r')) --end;
    size_t start = end;
    for (int lines = 0; start > 0 && lines < count; --start)
        if (text[start - 1] == L'\n' && ++lines == count) break;
    return text.substr(start, end - start);
}

LRESULT CALLBACK PaneProc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(PaneContent(w).size());
        case WM_GETTEXT: {
            if (wp == 0) return 0;
            const std::wstring content = PaneContent(w);
            const size_t n = std::min(content.size(), static_cast<size_t>(wp) - 1);
            wmemcpy(reinterpret_cast<wchar_t*>(lp), content.c_str(), n);
            reinterpret_cast<wchar_t*>(lp)[n] = L'\0';
            return static_cast<LRESULT>(n);
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(w, &ps);
            RECT r;
            GetClientRect(w, &r);
            FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            static HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                                            L"IPAGothic");
            HGDIOBJ old = SelectObject(dc, font);
            const std::wstring text = VisibleLines(PaneContent(w), r.bottom / 16);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_NOPREFIX);
            SelectObject(dc, old);
            EndPaint(w, &ps);
            return 0;
        }
        default: return DefWindowProcW(w, message, wp, lp);
    }
}

void SetClipboardText(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        memcpy(GlobalLock(copy), text.c_str(), bytes);
        GlobalUnlock(copy);
        if (!SetClipboardData(CF_UNICODETEXT, copy)) GlobalFree(copy);
    }
    CloseClipboard();
}

std::string ReceivedText(const COPYDATASTRUCT& data, bool unicode) {
    if (data.lpData == nullptr || data.cbData == 0) return {};
    if (unicode) {
        const auto* text = static_cast<const wchar_t*>(data.lpData);
        return WideToUtf8(std::wstring_view(text, wcsnlen(text, data.cbData / sizeof(wchar_t))));
    }
    const auto* bytes = static_cast<const char*>(data.lpData);
    const int length = static_cast<int>(strnlen(bytes, data.cbData));
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, bytes, length, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes, length, wide.data(), static_cast<int>(wide.size()));
    return WideToUtf8(wide);
}

LRESULT Common(HWND w, UINT message, WPARAM wp, LPARAM lp, bool unicode) {
    switch (message) {
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            if (data->dwData != 1) return FALSE;
            const std::string text = ReceivedText(*data, unicode);
            app.log << EscapeCommandText(text) << '\n' << std::flush;
            app.cad->AdvanceTo(static_cast<int64_t>(GetTickCount64()));
            app.cad->Type(text);
            Repaint();
            return TRUE;
        }
        case WM_COMMAND:
            if (wp == kCopyHistoryCommand) {
                SetClipboardText(w, Utf8ToWide(app.cad->History()));
                return 0;
            }
            break;
        case WM_TIMER:
            if (wp == kClockTimer) Advance();
            return 0;
        case WM_CLOSE: PostQuitMessage(0); return 0;
        default: break;
    }
    return unicode ? DefWindowProcW(w, message, wp, lp) : DefWindowProcA(w, message, wp, lp);
}

LRESULT CALLBACK UnicodeProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return Common(w, m, wp, lp, true); }
LRESULT CALLBACK AnsiProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return Common(w, m, wp, lp, false); }

HWND TopLevel(const std::string& className, const std::string& title, int x, int y) {
    const std::wstring wideClass = Utf8ToWide(className);
    WNDCLASSW wc{};
    wc.lpfnWndProc = UnicodeProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = wideClass.c_str();
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wideClass.c_str(), Utf8ToWide(title).c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                             520, 260, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    return w;
}

// A frame that is not a Unicode window: its command texts come in the ANSI code page.
HWND AnsiTopLevel(const std::string& className, const std::string& title, int x, int y) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = AnsiProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = className.c_str();
    RegisterClassA(&wc);
    return CreateWindowExA(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 520, 260,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND Pane(HWND parent, const std::string& title, int y, int height) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PaneProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZelkanStandInPane";
    RegisterClassW(&wc);
    return CreateWindowExW(0, L"ZelkanStandInPane", Utf8ToWide(title).c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER, 0, y,
                           500, height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

int Run(const std::vector<std::string>& args) {
    if (args.size() != 4) {
        fprintf(stderr, "usage: cad-stand-in SCENARIO DRAWING.dxf|- LOG\n");
        return 2;
    }
    Scenario scenario = ParseScenario(zelkan::ReadFileBytes(args[1]));
    Drawing drawing = args[2] == "-" ? Drawing() : Drawing::FromDxf(zelkan::ReadFileBytes(args[2]));
    CommandInterpreter cad(scenario, std::move(drawing));
    app.cad = &cad;

    if (!scenario.frameTitle.empty())
        app.frame = scenario.frameUnicode ? TopLevel(scenario.frameClass, scenario.frameTitle, 40, 40)
                                          : AnsiTopLevel(scenario.frameClass, scenario.frameTitle, 40, 40);
    if (!scenario.textTitle.empty()) {
        app.textWindow = TopLevel(scenario.textClass, scenario.textTitle, 80, 320);
        app.textPane = Pane(app.textWindow, scenario.historyTitle, 0, 200);
    }
    for (const Scenario::Window& decoy : scenario.decoys) TopLevel(decoy.className, decoy.title, 120, 120);
    HWND paneParent = app.frame;
    if (scenario.panes == PanePlace::Floating) {
        app.floating = TopLevel(scenario.floatingClass, scenario.floatingTitle, 40, 600);
        paneParent = app.floating;
    } else if (scenario.panes == PanePlace::TextWindow) {
        paneParent = app.textWindow;
    }
    if (paneParent != nullptr) {
        if (paneParent != app.textWindow) app.historyPane = Pane(paneParent, scenario.historyTitle, 100, 80);
        app.inputPane = Pane(paneParent, scenario.inputTitle, 190, 24);
    }
    app.clock = app.frame != nullptr ? app.frame : app.textWindow;
    if (app.clock != nullptr) SetTimer(app.clock, kClockTimer, 50, nullptr);

    app.log.open(zelkan::PathFromUtf8(args[3]), std::ios::binary | std::ios::trunc);
    if (!app.log) return 2;
    app.log << std::flush;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    for (HWND w : {app.floating, app.textWindow, app.frame})
        if (w != nullptr) DestroyWindow(w);
    return 0;
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) args.push_back(WideToUtf8(wide[i]));
    LocalFree(wide);
    try {
        return Run(args);
    } catch (const std::exception& e) {
        fprintf(stderr, "cad-stand-in: %s\n", e.what());
        return 2;
    }
}
