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

// Clipboard formats whose data is a memory block, which can be copied and
// put back; the others hold GDI handles or are drawn by their owner.
bool MemoryFormat(UINT format) {
    switch (format) {
        case CF_BITMAP: case CF_METAFILEPICT: case CF_PALETTE: case CF_ENHMETAFILE: case CF_OWNERDISPLAY:
        case CF_DSPBITMAP: case CF_DSPMETAFILEPICT: case CF_DSPENHMETAFILE:
            return false;
        default:
            return !(format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST);
    }
}

// What the user had on the clipboard (text, pictures as device-independent
// bitmaps, rich text, copied files: every format held in memory), put back
// after the history was read through it.
class SavedClipboard {
public:
    explicit SavedClipboard(HWND owner) : owner_(owner) {
        if (!OpenClipboard(owner_)) return;
        for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
            if (!MemoryFormat(format)) continue;
            HANDLE data = GetClipboardData(format);
            const SIZE_T size = data != nullptr ? GlobalSize(data) : 0;
            const void* bytes = size > 0 ? GlobalLock(data) : nullptr;
            if (bytes == nullptr) continue;
            const auto* first = static_cast<const char*>(bytes);
            formats_.push_back(Format{format, std::string(first, first + size)});
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    void Restore() const {
        if (!OpenClipboard(owner_)) return;
        EmptyClipboard();
        for (const Format& f : formats_) {
            HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, f.bytes.size());
            void* target = copy != nullptr ? GlobalLock(copy) : nullptr;
            if (target == nullptr) {
                if (copy != nullptr) GlobalFree(copy);
                continue;
            }
            memcpy(target, f.bytes.data(), f.bytes.size());
            GlobalUnlock(copy);
            if (!SetClipboardData(f.format, copy)) GlobalFree(copy);
        }
        CloseClipboard();
    }

private:
    struct Format {
        UINT format;
        std::string bytes;
    };
    HWND owner_;
    std::vector<Format> formats_;
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
    const HWND knownFrame = mainFrame_;
    AcadFindFrame();
    // The search stops once both panes are set: a dead handle left in either
    // (a CAD closed and started again, a command line recreated) would end it
    // at the first child window.
    const bool newFrame = mainFrame_ != knownFrame;
    if (newFrame || !Live(inputPane_)) inputPane_ = nullptr;
    if (newFrame || !Live(historyPane_)) historyPane_ = nullptr;
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

bool Win32CadLink::WaitPrompt() { return AcadWaitPromptUnless(*this, [] { return false; }) == PromptWait::Idle; }

HWND Win32CadLink::ClipboardOwner() {
    // EmptyClipboard gives the clipboard to the window that opened it; with
    // none, the data set afterwards may be refused. A message-only window of
    // this program owns it.
    if (!Live(clipboardOwner_))
        clipboardOwner_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          GetModuleHandleW(nullptr), nullptr);
    return clipboardOwner_;
}

Win32CadLink::~Win32CadLink() {
    if (Live(clipboardOwner_)) DestroyWindow(clipboardOwner_);
}

std::string Win32CadLink::AcadCopyHistory() {
    if (AcadFindTextWindow() == nullptr) return {};
    HWND owner = ClipboardOwner();
    const SavedClipboard saved(owner);
    std::string history;
    if (OpenClipboard(owner)) {
        EmptyClipboard();
        CloseClipboard();
    }
    SendMessageW(textWindow_, WM_COMMAND, kCopyHistoryCommand, 0);
    if (OpenClipboard(owner)) {
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

void Win32CadLink::ShowHint(std::string_view text) { AcadShowHint(AcadFindHistoryPane(), text); }

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
