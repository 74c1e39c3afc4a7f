#include "app/win32/dpi_win32.h"

#include "app/win32/window_common_win32.h"

namespace zelkan::win32 {

namespace {

template <typename Function>
Function UserFunction(const char* name) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

}  // namespace

UINT WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = UserFunction<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    }
    const ScreenDc screen;
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

SIZE OuterSize(int width, int height, DWORD style, DWORD exStyle, UINT dpi) {
    return OuterSizeOfClient(Scaled(width, dpi), Scaled(height, dpi), style, exStyle, dpi);
}

SIZE OuterSizeOfClient(int width, int height, DWORD style, DWORD exStyle, UINT dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = UserFunction<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, width, height};
    if (adjustForDpi == nullptr || !adjustForDpi(&rect, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace zelkan::win32
