#include "app/win32/window_common_win32.h"

#include "geometry/wide_text.h"

namespace zelkan::win32 {

bool Window::Register(HINSTANCE instance, const wchar_t* className, UINT style, HICON icon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0;
}

HWND Window::CreateFor(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                       int width, int height, HWND owner, HINSTANCE instance) {
    return CreateWindowExW(exStyle, className, title, style, x, y, width, height, owner, nullptr, instance, this);
}

LRESULT CALLBACK Window::Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        created->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wp, lp);
    if (message == WM_DPICHANGED) {
        // The place and size the system suggests, then the controls anew.
        const auto* r = reinterpret_cast<const RECT*>(lp);
        SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        self->Layout();
        return 0;
    }
    return self->Handle(message, wp, lp);
}

void RunModal(HWND window, HWND owner, const bool& open) {
    EnableWindow(owner, FALSE);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG msg;
    while (open) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the main loop
            break;
        }
        if (IsDialogMessageW(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EnableWindow(owner, TRUE);
    ShowWindow(window, SW_HIDE);
    SetForegroundWindow(owner);
}

std::string WindowTextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return WideToUtf8(text);
}

}  // namespace zelkan::win32
