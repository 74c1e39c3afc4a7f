#pragma once
// What every window of the program does alike: its class registered, the
// object behind a window found from its handle, its move to the size the
// system suggests for a new DPI, and being shown modally.
#include <windows.h>

#include <string>

namespace zelkan::win32 {

// A window class with the arrow cursor and the dialog background.
bool RegisterWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC proc, UINT style = 0,
                         HICON icon = nullptr);

// The object a window was created for (the creation parameter), kept with
// the window from WM_NCCREATE on; none before.
template <typename Window>
Window* WindowObject(HWND window, UINT message, LPARAM lp) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    return reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// WM_DPICHANGED: the window takes the place and size the system suggests.
void MoveToSuggestedRect(HWND window, LPARAM suggestedRect);

// Shows the window over its owner, the owner disabled, handling messages
// until `open` turns false; then the owner is enabled and brought back.
void RunModal(HWND window, HWND owner, const bool& open);

// The text of a window, in UTF-8.
std::string WindowTextOf(HWND window);

}  // namespace zelkan::win32
