#pragma once
// UTF-8 (all text in memory) to and from the UTF-16 of the Win32 W functions.
#ifdef _WIN32
#include <string>
#include <string_view>

namespace zelkan {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace zelkan
#endif
