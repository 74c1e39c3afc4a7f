#pragma once
// The settings dialog (TZelkanSet) as a Win32 window: its controls at the
// places of the design scaled to the monitor's DPI, spinners bound to their
// boxes, hints as tooltips; shown modally by the main window.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/measurement_run.h"
#include "app/settings_dialog.h"
#include "app/win32/text_fit_win32.h"
#include "app/win32/window_common_win32.h"
#include "app/settings_dialog_view.h"
#include "cad/cad_channel.h"
#include "settings/sansha_settings.h"

namespace zelkan::win32 {

class SettingsDialog : public Window, public SettingsDialogView {
public:
    SettingsDialog(HINSTANCE instance, std::string workFolder);
    ~SettingsDialog() override;

    // Created hidden at the start, after the main window.
    bool Create(HWND owner);
    // Shows the settings in memory until the dialog is closed; every key is
    // written to the settings file whenever it loses activation.
    void ShowModal(const SanshaSettings& settings, MeasurementState& state, CadChannel& cad);
    HWND window() const { return window_; }

    // SettingsDialogView
    void SetText(SetControl control, const std::string& text) override;
    std::string Text(SetControl control) const override;
    void SetSpinner(SetControl edit, int32_t position) override;
    int32_t Spinner(SetControl edit) const override;
    void SetChecked(SetControl control, bool checked) override;
    bool Checked(SetControl control) const override;
    void SetEnabled(SetControl control, bool enabled) override;
    void SetChoice(SetControl control, int32_t index) override;
    int32_t Choice(SetControl control) const override;
    void ShowMessage(const std::string& text) override;
    void ShowStatus(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> AskSaveName(const std::string& title) override;

private:
    LRESULT Handle(UINT message, WPARAM wp, LPARAM lp) override;
    void CreateControls();
    void Layout() override;
    DesignScale FittedScale() const;
    // The refusals of the boxes whose texts were not taken.
    std::vector<std::string> WriteSettings();
    void Close();
    HWND Control(SetControl control) const;

    HINSTANCE instance_;
    HWND owner_ = nullptr;
    std::map<int, HWND> controls_;  // by control id: the design's controls, labels and group boxes
    std::map<int, HWND> spinners_;  // by the id of the box each is bound to
    Font font_;
    UINT dpi_ = 96;
    TZelkanSet logic_;
    SanshaSettings settings_;
    MeasurementState* state_ = nullptr;
    CadChannel* cad_ = nullptr;
    bool open_ = false;
    bool writing_ = false;
};

}  // namespace zelkan::win32
