#pragma once
// Per-monitor DPI: what a window's positions and font sizes, designed at 96
// DPI, become on its monitor. The functions of newer Windows versions are
// looked up at run time, so that the program starts on older ones too.
#include <windows.h>

namespace zelkan::win32 {

// The window's DPI, or the screen's where the system cannot tell per window.
UINT WindowDpi(HWND window);

// value at 96 DPI scaled to dpi, rounded to the nearest pixel.
inline int Scaled(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), 96); }

// The outer size of a window whose client area is width x height at dpi.
SIZE OuterSize(int width, int height, DWORD style, DWORD exStyle, UINT dpi);
// The same for a client area given in pixels at dpi.
SIZE OuterSizeOfClient(int width, int height, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace zelkan::win32
