// Code page 932 through the Win32 conversion functions.
#include <windows.h>

#include "geometry/cp932.h"
#include "geometry/wide_text.h"

namespace zelkan {

std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string WideToUtf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr,
                        nullptr);
    return utf8;
}

namespace {

constexpr UINT kCodePage = 932;

// One character (one or two UTF-16 units) into code page 932, or "?".
void AppendCp932(std::string& out, const wchar_t* unit, int count) {
    char buffer[8];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, unit, count, buffer, sizeof buffer,
                                      "?", &usedDefault);
    if (n <= 0 || usedDefault) {
        out += '?';
        return;
    }
    out.append(buffer, static_cast<size_t>(n));
}

// One code page 932 character of length 1 or 2 into UTF-16; false when the
// bytes are not a character of the code page.
bool DecodeOne(std::wstring& out, const char* bytes, int length) {
    wchar_t buffer[4];
    const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, length, buffer, 4);
    if (n <= 0) return false;
    out.append(buffer, static_cast<size_t>(n));
    return true;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
    const std::wstring wide = Utf8ToWide(utf8);
    std::string out;
    out.reserve(wide.size() * 2);
    for (size_t i = 0; i < wide.size();) {
        const bool pair = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]);
        const int count = pair ? 2 : 1;
        if (wide[i] < 0x80) out += static_cast<char>(wide[i]);
        else AppendCp932(out, wide.data() + i, count);
        i += static_cast<size_t>(count);
    }
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    std::wstring wide;
    wide.reserve(cp932.size());
    for (size_t i = 0; i < cp932.size();) {
        const auto lead = static_cast<unsigned char>(cp932[i]);
        if (lead < 0x80) {
            wide += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        if (IsDBCSLeadByteEx(kCodePage, lead) && i + 1 < cp932.size() && DecodeOne(wide, cp932.data() + i, 2)) {
            i += 2;
            continue;
        }
        if (!DecodeOne(wide, cp932.data() + i, 1)) wide += L'\xFFFD';
        ++i;
    }
    return WideToUtf8(wide);
}

}  // namespace zelkan
