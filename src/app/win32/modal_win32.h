#pragma once
// A window shown modally over its owner: the owner disabled, messages
// handled until `open` turns false, the owner enabled and brought back.
#include <windows.h>

#include <string>

namespace zelkan::win32 {

void RunModal(HWND window, HWND owner, const bool& open);

// The text of a window, in UTF-8.
std::string WindowTextOf(HWND window);

}  // namespace zelkan::win32
