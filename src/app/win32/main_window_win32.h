#pragma once
// The main window (TZelkanF) as a Win32 window: native controls at the
// places of the design, scaled to the monitor's DPI; events go to the
// window's logic, which works on the window through MainWindowView.
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "app/main_window_view.h"
#include "app/win32/notice_dialog_win32.h"
#include "app/win32/settings_dialog_win32.h"
#include "app/win32/text_fit_win32.h"
#include "app/win32/viewer_windows_win32.h"
#include "app/win32/window_common_win32.h"
#include "app/zelkan_form.h"
#include "cad/win32_cad_link.h"
#include "engine/search_control.h"
#include "records/run_names.h"

namespace zelkan::win32 {

class MainWindow : public Window, public MainWindowView {
public:
    MainWindow(HINSTANCE instance, std::string workFolder);
    ~MainWindow() override;

    // Creates the main window, then the notice dialog, and shows the main window.
    bool Create(int show);
    HWND window() const { return window_; }

    // MainWindowView
    void SetText(MainControl control, const std::string& text) override;
    std::string Text(MainControl control) const override;
    void SetEnabled(MainControl control, bool enabled) override;
    void SetBold(MainControl control, bool bold) override;
    int32_t SearchModeIndex() const override;
    void SetSearchModeIndex(int32_t index) override;
    void Minimize() override;
    void Restore() override;
    void ProcessMessages() override;
    void SleepMs(int milliseconds) override;
    void ShowMessage(const std::string& text) override;
    bool ShowNotice(const std::string& caption, const std::string& message) override;
    void Beep() override;
    void SetTimerEnabled(bool enabled) override;
    void ShowSettingsDialog() override;
    std::optional<int32_t> ShowThumbnails(const MeasurementState& state, const SanshaSettings& settings,
                                          SearchMode searchMode) override;
    std::optional<int32_t> ShowDivisionList(MeasurementState& state, const SanshaSettings& settings,
                                            int32_t chosen) override;
    void Close() override;

private:
    LRESULT Handle(UINT message, WPARAM wp, LPARAM lp) override;
    void CreateControls();
    void Layout() override;
    DesignScale FittedScale() const;
    HWND Control(MainControl control) const;

    HINSTANCE instance_;
    std::string workFolder_;
    std::map<int, HWND> controls_;  // by control id
    HWND upDown_ = nullptr;
    Font font_;
    Font boldFont_;
    std::map<int, bool> bold_;
    UINT dpi_ = 96;
    SettingsDialog settingsDialog_;
    ListWindow list_;
    NoticeDialog notice_;
    ThumbnailWindow thumbnails_;
    Win32CadLink cad_;
    SystemLocalClock localClock_;
    SteadyMillisecondClock clock_;
    std::unique_ptr<TZelkanF> form_;
};

}  // namespace zelkan::win32
