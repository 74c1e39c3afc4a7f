#include "app/win32/text_fit_win32.h"

#include <algorithm>
#include <cmath>

#include <commctrl.h>

#include "app/win32/window_common_win32.h"

namespace zelkan::win32 {

namespace {

// The room around the text, at 96 DPI: borders, the focus rectangle, the
// check box and its gap, the group box's indent, the edit margins, the drop
// arrow.
int FrameRoom(TextFrame frame) {
    switch (frame) {
        case TextFrame::Plain: return 2;
        case TextFrame::PushButton: return 14;
        case TextFrame::CheckBox: return 22;
        case TextFrame::GroupBox: return 20;
        case TextFrame::EditBox: return 10;
        case TextFrame::SpinEdit: return 28;  // the up-down control sits inside the box
        case TextFrame::DropList: return 30;
    }
    return 0;
}

}  // namespace

TextFrame FrameOf(const wchar_t* className, DWORD style) {
    if (lstrcmpiW(className, L"EDIT") == 0) return TextFrame::EditBox;
    if (lstrcmpiW(className, L"COMBOBOX") == 0) return TextFrame::DropList;
    if (lstrcmpiW(className, L"BUTTON") != 0) return TextFrame::Plain;
    switch (style & BS_TYPEMASK) {
        case BS_GROUPBOX: return TextFrame::GroupBox;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return TextFrame::CheckBox;
        default: break;
    }
    return TextFrame::PushButton;
}

int TextWidth(HFONT font, const std::wstring& text) {
    if (text.empty()) return 0;
    const ScreenDc dc;
    const Selection measured(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int WrappedHeight(HFONT font, const std::wstring& text, int width) {
    const ScreenDc dc;
    const Selection measured(dc, font);
    RECT r{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return r.bottom;
}

int NeededWidth(TextFrame frame, HFONT font, const std::wstring& text, UINT dpi) {
    return TextWidth(font, text) + Scaled(FrameRoom(frame), dpi);
}

double WideningFactor(const std::vector<WidthNeed>& needs) {
    double factor = 1.0;
    for (const WidthNeed& n : needs)
        if (n.designed > 0) factor = std::max(factor, static_cast<double>(n.needed) / n.designed);
    return factor;
}

int DesignScale::X(int at96) const { return static_cast<int>(std::lround(Scaled(at96, dpi) * wide)); }

int CaptionClientWidth(const std::wstring& caption, int buttons) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const GdiObject<HFONT> font(CreateFontIndirectW(&metrics.lfCaptionFont));
    const int text = TextWidth(font, caption);
    const int icon = GetSystemMetrics(SM_CXSMICON) + GetSystemMetrics(SM_CXFRAME) * 2;
    return text + icon + buttons * GetSystemMetrics(SM_CXSIZE) + GetSystemMetrics(SM_CXSIZE) / 2;
}

RECT WorkAreaOf(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) return info.rcWork;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

std::map<int, HWND> MakeControls(HWND window, HINSTANCE instance, const std::vector<ControlDesign>& design) {
    std::map<int, HWND> controls;
    HWND toolTip = nullptr;
    for (const ControlDesign& d : design) {
        HWND control = CreateWindowExW(0, d.className, d.text, WS_CHILD | WS_VISIBLE | d.style, 0, 0, 0, 0, window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(d.id)), instance, nullptr);
        controls[d.id] = control;
        if (d.hint == nullptr) continue;
        if (toolTip == nullptr)
            toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<wchar_t*>(d.hint);
        SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return controls;
}

void PlaceControls(const std::vector<ControlDesign>& design, const std::map<int, HWND>& controls,
                   const DesignScale& scale, HFONT font) {
    for (const ControlDesign& d : design) {
        HWND control = controls.at(d.id);
        MoveWindow(control, scale.X(d.x), scale.Y(d.y), scale.X(d.x + d.width) - scale.X(d.x), scale.Y(d.height), TRUE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

void AddWidthNeeds(const ControlDesign& control, HFONT font, UINT dpi, std::vector<WidthNeed>& needs) {
    const TextFrame frame = FrameOf(control.className, control.style);
    needs.push_back({NeededWidth(frame, font, control.text, dpi), Scaled(control.width, dpi)});
    for (const std::wstring& text : control.longest)
        needs.push_back({NeededWidth(frame, font, text, dpi), Scaled(control.width, dpi)});
}

void KeepInWorkArea(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const RECT area = WorkAreaOf(window);
    int x = r.left, y = r.top;
    if (r.right > area.right) x -= r.right - area.right;
    if (r.bottom > area.bottom) y -= r.bottom - area.bottom;
    x = std::max(x, static_cast<int>(area.left));
    y = std::max(y, static_cast<int>(area.top));
    if (x != r.left || y != r.top) SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace zelkan::win32
