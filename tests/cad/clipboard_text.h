#pragma once
// The clipboard's Unicode text, for the tests of the link's clipboard use.
#include <string>

namespace zelkan::test {

void SetClipboardText(const std::wstring& text);
std::wstring ClipboardText();

}  // namespace zelkan::test
