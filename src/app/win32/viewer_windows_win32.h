#pragma once
// The two windows that look through the divisions of the last run: the
// thumbnails (TZelkanDisp2F, 24 to a page in one of two orders) and the
// list (TZelkanDispF, every division by its area, one drawn large). Both
// draw what division_views computes, double-buffered, and are shown
// modally by 評.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/measurement_run.h"
#include "app/win32/text_fit_win32.h"
#include "app/win32/window_common_win32.h"
#include "settings/sansha_settings.h"
#include "viewers/division_views.h"

namespace zelkan::win32 {

class ThumbnailWindow : public Window {
public:
    bool Create(HINSTANCE instance, HWND owner);
    // The division double-clicked, none when the window was closed otherwise.
    std::optional<int32_t> ShowModal(const MeasurementState& state, const SanshaSettings& settings, SearchMode searchMode);
    HWND window() const { return window_; }

private:
    LRESULT Handle(UINT message, WPARAM wp, LPARAM lp) override;
    void Layout() override;
    void Measure(UINT dpi);
    RECT SlotRect(int slot) const;
    void ShowPage();
    void Paint(HDC dc);
    const std::vector<int32_t>& Order() const;

    HWND owner_ = nullptr;
    HWND shapeRadio_ = nullptr;
    HWND areaRadio_ = nullptr;
    HWND previousPage_ = nullptr;
    HWND nextPage_ = nullptr;
    std::vector<HWND> labels_;
    Font font_;
    Font slotFont_;
    UINT dpi_ = 96;
    DesignScale scale_;
    const MeasurementState* state_ = nullptr;
    bool useHeron_ = true;
    std::vector<int32_t> shapeOrder_;
    std::vector<int32_t> areaOrder_;
    int32_t page_ = 1;
    std::optional<int32_t> chosen_;
    bool open_ = false;
};

class ListWindow : public Window {
public:
    bool Create(HINSTANCE instance, HWND owner);
    // Lists every division, shows `chosen`: the division that 選択三斜置き換え
    // accepted, which is then current and selected; none when closed otherwise.
    std::optional<int32_t> ShowModal(MeasurementState& state, const SanshaSettings& settings, int32_t chosen);
    HWND window() const { return window_; }

private:
    LRESULT Handle(UINT message, WPARAM wp, LPARAM lp) override;
    void Layout() override;
    void Measure(UINT dpi);
    int PreviewLeft() const;
    HWND Control(int control) const;  // one of the column, by its place in the design
    void DisplayList(int32_t start, const std::vector<TriangleFilter>& filters);
    void Show(int32_t g);
    void LineClicked();
    void Paint(HDC dc);

    HWND owner_ = nullptr;
    HWND list_ = nullptr;
    std::map<int, HWND> controls_;  // by id
    Font font_;
    UINT dpi_ = 96;
    DesignScale scale_;
    MeasurementState* state_ = nullptr;
    bool useHeron_ = true;
    std::vector<int32_t> listed_;
    int32_t shown_ = 0;
    std::optional<int32_t> accepted_;
    bool open_ = false;
};

}  // namespace zelkan::win32
