#pragma once
// The notice dialog (TAMsg): a bold message and its "確　認" button, shown
// modally over its owner in the topmost band.
#include <windows.h>

#include <string>

#include "app/win32/window_common_win32.h"

namespace zelkan::win32 {

class NoticeDialog : public Window {
public:
    // Creates the dialog hidden (it is made once, at the start).
    bool Create(HINSTANCE instance, HWND owner);
    // Shows the message until the dialog is closed; true when its button
    // confirmed it.
    bool ShowModal(const std::string& caption, const std::string& message);
    HWND window() const { return window_; }

private:
    LRESULT Handle(UINT message, WPARAM wp, LPARAM lp) override;
    void Layout() override;
    void Place();

    HWND owner_ = nullptr;
    HWND label_ = nullptr;
    HWND button_ = nullptr;
    Font labelFont_;
    Font buttonFont_;
    UINT dpi_ = 96;
    bool open_ = false;
    bool confirmed_ = false;
};

// SetWindowPos into (or out of) the topmost band, without moving or sizing.
void SetTopmost(HWND window, bool onTop);

}  // namespace zelkan::win32
