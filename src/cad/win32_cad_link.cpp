#include "cad/win32_cad_link.h"

#include <string>
#include <vector>

#include "cad/cad_procedures.h"
#include "cad/window_rules.h"
#include "geometry/wide_text.h"

namespace zelkan {

namespace {

constexpr int kNameLength = 256;  // titles and class names are compared on their first 255 characters
constexpr WPARAM kCopyHistoryCommand = 32781;
constexpr int kPromptPolls = 600;

std::string ToUtf8(const wchar_t* wide, int length) {
    return length > 0 ? WideToUtf8(std::wstring_view(wide, static_cast<size_t>(length))) : std::string();
}

// The caption as stored: what GetWindowTextW gives for another process's
// window, without asking the window (whose WM_GETTEXT may answer its content,
// as a command-line pane does).
std::string Title(HWND window) {
    wchar_t buffer[kNameLength] = {};
    return ToUtf8(buffer, InternalGetWindowText(window, buffer, kNameLength));
}

std::string ClassName(HWND window) {
    wchar_t buffer[kNameLength] = {};
    return ToUtf8(buffer, GetClassNameW(window, buffer, kNameLength));
}

bool Live(HWND window) { return window != nullptr && IsWindow(window); }

// Enumerates top-level windows until test() returns true; returns that window.
template <typename Test>
HWND FirstTopLevel(Test test) {
    struct Search {
        Test& test;
        HWND found = nullptr;
    } search{test};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            if (!s.test(window)) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The user's clipboard text, to be put back after the history was read.
class SavedClipboardText {
public:
    explicit SavedClipboardText(HWND owner) : owner_(owner) {
        if (!OpenClipboard(owner_)) return;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
                text_ = text;
                had_ = true;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    void Restore() const {
        if (!OpenClipboard(owner_)) return;
        EmptyClipboard();
        if (had_) {
            const size_t bytes = (text_.size() + 1) * sizeof(wchar_t);
            if (HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
                if (void* target = GlobalLock(copy)) {
                    memcpy(target, text_.c_str(), bytes);
                    GlobalUnlock(copy);
                    if (!SetClipboardData(CF_UNICODETEXT, copy)) GlobalFree(copy);
                } else {
                    GlobalFree(copy);
                }
            }
        }
        CloseClipboard();
    }

private:
    HWND owner_;
    std::wstring text_;
    bool had_ = false;
};

}  // namespace

std::string ReadWindowText(HWND window) {
    if (!Live(window)) return {};
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return ToUtf8(buffer.data(), static_cast<int>(copied));
}

HWND Win32CadLink::AcadFindFrame() {
    if (Live(mainFrame_)) return mainFrame_;
    if (HWND frame = FirstTopLevel([](HWND w) {
            const std::string title = Title(w);
            return !title.empty() && IsCadMainFrame(title, ClassName(w));
        })) {
        mainFrame_ = frame;
        GetWindowThreadProcessId(frame, &cadProcessId_);
    }
    return mainFrame_;
}

bool Win32CadLink::IsAlive() { return Live(AcadFindFrame()); }

bool Win32CadLink::Activate() {
    if (!IsAlive()) return false;
    SetForegroundWindow(mainFrame_);
    return true;
}

void Win32CadLink::SearchTextWindow() {
    const DWORD cadProcess = cadProcessId_;
    if (HWND window = FirstTopLevel([cadProcess](HWND w) {
            const std::string title = Title(w);
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            return !title.empty() && IsCadTextWindow(title, ClassName(w), process, cadProcess);
        }))
        textWindow_ = window;
}

HWND Win32CadLink::AcadFindTextWindow() {
    textWindow_ = nullptr;
    SearchTextWindow();
    return textWindow_;
}

std::string Win32CadLink::ReadTextHistory() {
    SearchTextWindow();
    if (!Live(textWindow_)) return {};
    textHistoryPane_ = nullptr;
    EnumChildWindows(
        textWindow_,
        [](HWND w, LPARAM data) -> BOOL {
            if (Title(w) != "MountTam") return TRUE;
            *reinterpret_cast<HWND*>(data) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&textHistoryPane_));
    return ReadWindowText(textHistoryPane_);
}

void Win32CadLink::SearchPanes(HWND parent) {
    if (parent == nullptr) return;  // no parent: nothing to search below
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM data) -> BOOL {
            auto* self = reinterpret_cast<Win32CadLink*>(data);
            switch (CommandLinePane(Title(w))) {
                case PaneRole::Input: self->inputPane_ = w; break;
                case PaneRole::History: self->historyPane_ = w; break;
                case PaneRole::None: break;
            }
            return !(self->inputPane_ != nullptr && self->historyPane_ != nullptr);
        },
        reinterpret_cast<LPARAM>(this));
}

HWND Win32CadLink::FindPane(HWND& pane) {
    AcadFindFrame();
    if (Live(mainFrame_) && !Live(pane)) {
        SearchPanes(mainFrame_);
        if (!Live(pane)) {
            floatingCommandLine_ = FirstTopLevel([](HWND w) { return IsFloatingCommandLine(Title(w), ClassName(w)); });
            if (Live(floatingCommandLine_)) {
                SearchPanes(floatingCommandLine_);
            } else {
                SearchPanes(AcadFindTextWindow());
            }
        }
    }
    return Live(pane) ? pane : nullptr;
}

HWND Win32CadLink::AcadFindHistoryPane() { return FindPane(historyPane_); }
HWND Win32CadLink::AcadFindInputPane() { return FindPane(inputPane_); }

void Win32CadLink::SendText(std::string_view text) {
    if (!Live(AcadFindFrame())) return;
    const std::wstring wide = Utf8ToWide(text);
    std::vector<char> bytes;
    if (IsWindowUnicode(mainFrame_)) {
        bytes.assign(reinterpret_cast<const char*>(wide.c_str()),
                     reinterpret_cast<const char*>(wide.c_str() + wide.size() + 1));
    } else {
        const int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
        bytes.assign(static_cast<size_t>(n) + 1, '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, nullptr);
    }
    COPYDATASTRUCT data{};
    data.dwData = 1;
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = bytes.data();
    SendMessageW(mainFrame_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    PostMessageW(mainFrame_, WM_NULL, 0, 0);
}

std::string Win32CadLink::ReadPrompt() { return ReadWindowText(AcadFindInputPane()); }

bool Win32CadLink::WaitPrompt() {
    for (int poll = 0; poll < kPromptPolls; ++poll) {
        Sleep(200);
        ProcessMessages();
        Sleep(1);
        const std::string prompt = ReadPrompt();
        if (prompt.empty() || prompt == kIdlePrompt) return true;
    }
    return false;
}

std::string Win32CadLink::AcadCopyHistory() {
    if (AcadFindTextWindow() == nullptr) return {};
    const SavedClipboardText saved(nullptr);
    std::string history;
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    SendMessageW(textWindow_, WM_COMMAND, kCopyHistoryCommand, 0);
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
                history = ToUtf8(text, static_cast<int>(wcslen(text)));
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    saved.Restore();
    return history;
}

std::string Win32CadLink::LastHistoryLine() { return LastNonEmptyLine(AcadCopyHistory()); }

void Win32CadLink::ProcessMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32CadLink::SleepMs(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

void AcadShowHint(HWND window, std::string_view text) {
    if (window == nullptr) return;
    RECT rect{};
    GetWindowRect(window, &rect);
    const int height = rect.bottom - rect.top;
    HDC dc = GetDC(window);
    if (dc == nullptr) return;
    const std::wstring wide = Utf8ToWide(text);
    SIZE extent{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    SetBkColor(dc, RGB(255, 127, 127));
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutW(dc, 0, height - extent.cy, wide.c_str(), static_cast<int>(wide.size()));
    ReleaseDC(window, dc);
}

}  // namespace zelkan
