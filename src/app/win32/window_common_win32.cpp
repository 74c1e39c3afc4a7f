#include "app/win32/window_common_win32.h"

#include "geometry/wide_text.h"

namespace zelkan::win32 {

bool RegisterWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC proc, UINT style, HICON icon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0;
}

void MoveToSuggestedRect(HWND window, LPARAM suggestedRect) {
    const auto* r = reinterpret_cast<const RECT*>(suggestedRect);
    SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top, SWP_NOZORDER | SWP_NOACTIVATE);
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
