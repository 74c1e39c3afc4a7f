#pragma once
// The windows' font: "ＭＳ Ｐゴシック" where it exists, else a Japanese UI
// font the system has, else the system's message font.
#include <windows.h>

namespace zelkan::win32 {

// A font of the given pixel height at 96 DPI, scaled to dpi. The caller
// deletes it.
HFONT CreateUiFont(int pixelsAt96, bool bold, UINT dpi);

}  // namespace zelkan::win32
