#include "app/win32/ui_font_win32.h"

#include <string>

#include "app/win32/dpi_win32.h"
#include "app/win32/window_common_win32.h"

namespace zelkan::win32 {

namespace {

bool FontExists(const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    const ScreenDc screen;
    bool found = false;
    EnumFontFamiliesExW(
        screen, &query, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM data) -> int {
            *reinterpret_cast<bool*>(data) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

const std::wstring& FaceName() {
    static const std::wstring face = [] {
        for (const wchar_t* candidate : {L"ＭＳ Ｐゴシック", L"MS PGothic", L"Meiryo UI", L"Yu Gothic UI", L"IPAPGothic",
                                         L"IPAGothic"})
            if (FontExists(candidate)) return std::wstring(candidate);
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        return std::wstring(metrics.lfMessageFont.lfFaceName);
    }();
    return face;
}

}  // namespace

HFONT CreateUiFont(int pixelsAt96, bool bold, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = -Scaled(pixelsAt96, dpi);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(font.lfFaceName, FaceName().c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

}  // namespace zelkan::win32
