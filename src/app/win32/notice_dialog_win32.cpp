#include "app/win32/notice_dialog_win32.h"

#include <algorithm>

#include "app/win32/dpi_win32.h"
#include "app/win32/text_fit_win32.h"
#include "app/win32/window_common_win32.h"
#include "app/win32/ui_font_win32.h"
#include "geometry/wide_text.h"

namespace zelkan::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TAMsg";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_DLGFRAME;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr int kButtonId = 1;

}  // namespace

void SetTopmost(HWND window, bool onTop) {
    SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool NoticeDialog::Create(HINSTANCE instance, HWND owner) {
    Register(instance, kClassName);
    owner_ = owner;
    CreateFor(kExStyle, kClassName, L"正常終了", kStyle, 192, 114, 320, 160, owner, instance);
    if (window_ == nullptr) return false;
    label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0, window_, nullptr, instance, nullptr);
    button_ = CreateWindowExW(0, L"BUTTON", L"確　認", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0,
                              window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), instance, nullptr);
    Layout();
    return true;
}

void NoticeDialog::Layout() {
    dpi_ = WindowDpi(window_);
    labelFont_.Reset(CreateUiFont(15, true, dpi_));
    buttonFont_.Reset(CreateUiFont(12, false, dpi_));
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.get()), TRUE);
    SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), TRUE);
    Place();
}

// The message takes as many lines as it needs (two in the design), and the
// button and the window's bottom move down with it.
void NoticeDialog::Place() {
    const auto s = [this](int v) { return Scaled(v, dpi_); };
    const int needed = WrappedHeight(labelFont_, Utf8ToWide(WindowTextOf(label_)), s(297));
    const int extra = std::max(0, needed - s(41));
    const SIZE outer = OuterSizeOfClient(s(311), s(123) + extra, kStyle, kExStyle, dpi_);
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(label_, s(8), s(8), s(297), s(41) + extra, TRUE);
    MoveWindow(button_, s(112), s(88) + extra, s(75), s(25), TRUE);
    KeepInWorkArea(window_);
}

bool NoticeDialog::ShowModal(const std::string& caption, const std::string& message) {
    SetWindowTextW(window_, Utf8ToWide(caption).c_str());
    SetWindowTextW(label_, Utf8ToWide(message).c_str());
    Place();
    open_ = true;
    confirmed_ = false;
    SetTopmost(window_, true);
    SetFocus(button_);
    RunModal(window_, owner_, open_);
    return confirmed_;
}

LRESULT NoticeDialog::Handle(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wp) == kButtonId || LOWORD(wp) == IDOK) {
                confirmed_ = true;
                open_ = false;
                return 0;
            }
            if (LOWORD(wp) == IDCANCEL) {
                open_ = false;
                return 0;
            }
            break;
        case WM_CLOSE:
            open_ = false;
            return 0;
        case WM_DESTROY:
            labelFont_.Reset(nullptr);
            buttonFont_.Reset(nullptr);
            break;
        default:
            break;
    }
    return Default(message, wp, lp);
}

}  // namespace zelkan::win32
