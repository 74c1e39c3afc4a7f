#pragma once
// Sizing a window's controls to the texts they show, measured at run time
// with the font in use: the designs were made at 96 DPI for one font, and
// Windows' own UI fonts and the IPA fonts are wider or narrower. A design
// is widened as a whole, every x and width by one factor, so that its order
// and places stay.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "app/win32/dpi_win32.h"

namespace zelkan::win32 {

// How a control frames its text, which decides the room it needs around it.
enum class TextFrame { Plain, PushButton, CheckBox, GroupBox, EditBox, SpinEdit, DropList };

// The frame of a control of that window class and style.
TextFrame FrameOf(const wchar_t* className, DWORD style);

// The width of text in font, in pixels.
int TextWidth(HFONT font, const std::wstring& text);

// The height of text in font wrapped at words to width.
int WrappedHeight(HFONT font, const std::wstring& text, int width);

// The width a control needs to show text in font at dpi.
int NeededWidth(TextFrame frame, HFONT font, const std::wstring& text, UINT dpi);

// What one control needs and what the design gives it, in pixels at the same DPI.
struct WidthNeed {
    int needed = 0;
    int designed = 0;
};

// The factor that makes every designed width hold what it needs: 1 or more.
double WideningFactor(const std::vector<WidthNeed>& needs);

// A design at 96 DPI placed at dpi and widened by `wide`.
struct DesignScale {
    UINT dpi = 96;
    double wide = 1.0;
    int X(int at96) const;
    int Y(int at96) const { return Scaled(at96, dpi); }
};

// A control of a window's design at 96 DPI: its class, text and style, its
// place, its tooltip, and the longest texts it shows besides its own.
struct ControlDesign {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int x, y, width, height;
    const wchar_t* hint = nullptr;
    std::vector<std::wstring> longest = {};
};

// The controls of a design made in window (hidden texts and places until
// PlaceControls), by id, with a tooltip each where the design gives one.
std::map<int, HWND> MakeControls(HWND window, HINSTANCE instance, const std::vector<ControlDesign>& design);

// Every control placed by scale, in font.
void PlaceControls(const std::vector<ControlDesign>& design, const std::map<int, HWND>& controls,
                   const DesignScale& scale, HFONT font);

// What each control needs for its own text and its longest ones, against
// what the design gives it.
void AddWidthNeeds(const ControlDesign& control, HFONT font, UINT dpi, std::vector<WidthNeed>& needs);

// The client width that shows a caption whole beside the caption buttons
// (`buttons` of them) of a window of that style.
int CaptionClientWidth(const std::wstring& caption, int buttons);

// The work area of the monitor a window is on (or would be on).
RECT WorkAreaOf(HWND window);

// The DPI a window is drawn at so that it fits the work area: its own, or
// less where its design would reach out of the area. outerAt(dpi) is the
// window's outer size when drawn at dpi.
template <typename OuterAt>
UINT FittingDpi(UINT dpi, const RECT& area, OuterAt outerAt) {
    const LONG width = area.right - area.left, height = area.bottom - area.top;
    while (dpi > 48) {
        const SIZE outer = outerAt(dpi);
        if (outer.cx <= width && outer.cy <= height) break;
        --dpi;
    }
    return dpi;
}

// Moves a window into the work area of its monitor where it reaches out of
// it; one larger than the area keeps its top left corner inside.
void KeepInWorkArea(HWND window);

// Sizes a window for the largest DPI, up to its own, at which it fits the
// work area of its monitor, and keeps it inside that area. measureAt(dpi)
// makes the window's fonts and scale for dpi and returns its outer size
// there; it has measured the DPI returned last.
template <typename MeasureAt>
UINT FitToWorkArea(HWND window, MeasureAt measureAt) {
    const UINT dpi = FittingDpi(WindowDpi(window), WorkAreaOf(window), measureAt);
    const SIZE outer = measureAt(dpi);
    SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    KeepInWorkArea(window);
    return dpi;
}

}  // namespace zelkan::win32
