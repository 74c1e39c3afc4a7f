#include "app/win32/main_window_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "app/registration_run.h"
#include "app/win32/dpi_win32.h"
#include "app/win32/text_fit_win32.h"
#include "app/win32/window_common_win32.h"
#include "app/win32/ui_font_win32.h"
#include "cad/cad_procedures.h"
#include "engine/memory_budget.h"
#include "geometry/wide_text.h"
#include "settings/sansha_settings.h"

namespace zelkan::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TZelkanF";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
constexpr int kClientWidth = 119;
constexpr int kClientHeight = 119;
constexpr int kStatusTop = 114;  // the status line below the design, as tall as its longest text needs
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressTimerIntervalMs = 1000;

enum ControlId : int {
    kRunButton = 101, kSettingsButton, kCoordinateAreaLabel, kDivisionsLabel, kEvaluationButton, kSearchModeBox, kHighestNumberButton, kFirstNumberBox, kFirstNumberSpinner, kResetNumberButton,
    kNumberCaption, kProgressLabel, kStatus,
};

// The search mode box's entries, its longest texts.
std::vector<std::wstring> SearchModeTexts() {
    std::vector<std::wstring> texts;
    for (int32_t n = 0; n < kSearchModeCount; ++n) texts.push_back(Utf8ToWide(SearchModeName(SearchModeOf(n))));
    return texts;
}

// The design at 96 DPI, in the order of the window's fields.
const std::vector<ControlDesign>& DesignOfWindow() {
    static const std::vector<ControlDesign> design = {
        {kRunButton, L"BUTTON", L"三斜自動", BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 62, 25, nullptr,
         {L"指示待ち", L"計算中", L"面積表"}},
        {kSettingsButton, L"BUTTON", L"設定", BS_PUSHBUTTON | WS_TABSTOP, 82, 0, 34, 25, nullptr, {L"中断", L"断中"}},
        // A seven-digit coordinate area.
        {kCoordinateAreaLabel, L"STATIC", L"座標面計値", SS_LEFT | SS_NOPREFIX, 4, 29, 64, 14, nullptr, {L"9999999.999"}},
        // Candidates, divisions (up to seven digits) or the evaluation value.
        {kDivisionsLabel, L"STATIC", L"", SS_RIGHT | SS_NOPREFIX, 64, 29, 48, 14, nullptr, {L"9999999", L"-9999.99"}},
        {kEvaluationButton, L"BUTTON", L"評", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 61, 0, 22, 25},
        {kSearchModeBox, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 2, 45, 111, 120, nullptr,
         SearchModeTexts()},
        {kHighestNumberButton, L"BUTTON", L"最大", BS_PUSHBUTTON | WS_TABSTOP, 81, 69, 33, 19},
        {kFirstNumberBox, L"EDIT", L"1", ES_LEFT | ES_AUTOHSCROLL | ES_NUMBER | WS_BORDER | WS_TABSTOP, 21, 69, 39, 20,
         L"次の計測で最初の三角形に付ける番号（1 から 10,000）", {L"10,000"}},
        {kFirstNumberSpinner, UPDOWN_CLASSW, L"", UDS_SETBUDDYINT | UDS_ARROWKEYS, 60, 69, 16, 20},
        {kResetNumberButton, L"BUTTON", L"初期", BS_PUSHBUTTON | WS_TABSTOP, 6, 93, 33, 19},
        {kNumberCaption, L"STATIC", L"No", SS_LEFT, 2, 72, 18, 14},
        // The search position (first level : position : start : candidates),
        // then candidates : divisions. Right edge at 112, clear of 初期.
        {kProgressLabel, L"STATIC", L"", SS_RIGHT | SS_NOPREFIX, 42, 96, 70, 14, nullptr,
         {L"99:9999:99:99999", L"99999:9999999"}},
        {kStatus, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 4, kStatusTop, 111, 14},
    };
    return design;
}

// The texts the status line shows, for its height.
const char* const kStatusTexts[] = {kCadNotFoundStatus, kCommandLineNotFoundStatus, kClickWaitEndedStatus,
                                    kMemoryFullMessage, kLongestRegistrationPanelText};

int IdOf(MainControl control) {
    switch (control) {
        case MainControl::RunButton: return kRunButton;
        case MainControl::SettingsButton: return kSettingsButton;
        case MainControl::EvaluationButton: return kEvaluationButton;
        case MainControl::HighestNumberButton: return kHighestNumberButton;
        case MainControl::ResetNumberButton: return kResetNumberButton;
        case MainControl::CoordinateAreaLabel: return kCoordinateAreaLabel;
        case MainControl::DivisionsLabel: return kDivisionsLabel;
        case MainControl::ProgressLabel: return kProgressLabel;
        case MainControl::FirstNumberBox: return kFirstNumberBox;
        case MainControl::Status: return kStatus;
    }
    return 0;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, std::string workFolder)
    : instance_(instance), workFolder_(std::move(workFolder)), settingsDialog_(instance, workFolder_) {}

MainWindow::~MainWindow() = default;

bool MainWindow::Create(int show) {
    if (!Register(instance_, kClassName, 0, LoadIconW(instance_, MAKEINTRESOURCEW(1)))) return false;
    CreateFor(kExStyle, kClassName, Utf8ToWide(kMainCaption).c_str(), kStyle, 191, 135, 200, 200, nullptr, instance_);
    if (window_ == nullptr) return false;
    CreateControls();
    Layout();
    form_ = std::make_unique<TZelkanF>(*this, cad_, localClock_, clock_, workFolder_,
                                       MainWindowFeatures{true, true});
    form_->FormCreate();
    // The other windows, in the order of the design: the settings dialog, the
    // list, the notice, the thumbnails.
    if (!settingsDialog_.Create(window_) || !list_.Create(instance_, window_) || !notice_.Create(instance_, window_) ||
        !thumbnails_.Create(instance_, window_))
        return false;
    ShowWindow(window_, show);
    UpdateWindow(window_);
    return true;
}

void MainWindow::CreateControls() {
    controls_ = MakeControls(window_, instance_, DesignOfWindow());
    HWND combo = controls_[kSearchModeBox];
    for (const std::wstring& name : SearchModeTexts())
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    upDown_ = controls_[kFirstNumberSpinner];
    SendMessageW(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(controls_[kFirstNumberBox]), 0);
    SendMessageW(upDown_, UDM_SETRANGE32, 1, 10000);
    SendMessageW(upDown_, UDM_SETPOS32, 0, 1);
    bold_[kRunButton] = true;
}

void MainWindow::Layout() {
    dpi_ = WindowDpi(window_);
    font_.Reset(CreateUiFont(12, false, dpi_));
    boldFont_.Reset(CreateUiFont(12, true, dpi_));
    const DesignScale scale = FittedScale();
    const int clientWidth = scale.X(kClientWidth);
    // The status line takes as many lines as its longest text needs.
    const int statusWidth = scale.X(115) - scale.X(4);
    int statusHeight = scale.Y(14);
    for (const char* text : kStatusTexts)
        statusHeight = std::max(statusHeight, WrappedHeight(font_, Utf8ToWide(text), statusWidth));
    const SIZE outer = OuterSizeOfClient(clientWidth, scale.Y(kStatusTop) + statusHeight + scale.Y(4), kStyle, kExStyle, dpi_);
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceControls(DesignOfWindow(), controls_, scale, font_);
    for (const auto& [id, bold] : bold_)
        if (bold) SendMessageW(controls_[id], WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), TRUE);
    // The status line as tall as its longest text.
    MoveWindow(controls_[kStatus], scale.X(4), scale.Y(kStatusTop), statusWidth, statusHeight, TRUE);
    // The up-down control keeps its place beside the edit box it is bound to.
    SendMessageW(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(controls_[kFirstNumberBox]), 0);
    MoveWindow(upDown_, scale.X(60), scale.Y(69), scale.X(76) - scale.X(60), scale.Y(20), TRUE);
    // The drop list as wide as its longest mode name.
    int listWidth = 0;
    for (const std::wstring& name : SearchModeTexts())
        listWidth = std::max(listWidth, NeededWidth(TextFrame::Plain, font_, name, dpi_) + Scaled(8, dpi_));
    SendMessageW(controls_[kSearchModeBox], CB_SETDROPPEDWIDTH, static_cast<WPARAM>(listWidth), 0);
}

// The design widened until every control holds the longest text it shows,
// in the fonts in use, and the caption shows whole.
DesignScale MainWindow::FittedScale() const {
    std::vector<WidthNeed> needs;
    for (const ControlDesign& d : DesignOfWindow()) {
        if (d.id == kStatus || d.id == kFirstNumberSpinner) continue;  // the status line wraps
        // The run and settings buttons turn bold.
        AddWidthNeeds(d, d.id == kRunButton || d.id == kSettingsButton ? boldFont_ : font_, dpi_, needs);
    }
    needs.push_back({CaptionClientWidth(Utf8ToWide(kMainCaption), 3), Scaled(kClientWidth, dpi_)});
    return DesignScale{dpi_, WideningFactor(needs)};
}

HWND MainWindow::Control(MainControl control) const {
    const auto it = controls_.find(IdOf(control));
    return it == controls_.end() ? nullptr : it->second;
}

void MainWindow::SetText(MainControl control, const std::string& text) {
    if (control == MainControl::FirstNumberBox) {
        // Through the spinner, which shows thousands separators.
        const int32_t value = ParseSettingInteger(text, 0);
        if (value >= 1 && value <= 10000) {
            SendMessageW(upDown_, UDM_SETPOS32, 0, value);
            return;
        }
    }
    SetWindowTextW(Control(control), Utf8ToWide(text).c_str());
}

std::string MainWindow::Text(MainControl control) const { return WindowTextOf(Control(control)); }

void MainWindow::SetEnabled(MainControl control, bool enabled) { EnableWindow(Control(control), enabled ? TRUE : FALSE); }

void MainWindow::SetBold(MainControl control, bool bold) {
    const int id = IdOf(control);
    bold_[id] = bold;
    SendMessageW(Control(control), WM_SETFONT, reinterpret_cast<WPARAM>(bold ? boldFont_.get() : font_.get()), TRUE);
}

int32_t MainWindow::SearchModeIndex() const {
    const LRESULT index = SendMessageW(controls_.at(kSearchModeBox), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? 0 : static_cast<int32_t>(index);
}

void MainWindow::SetSearchModeIndex(int32_t index) { SendMessageW(controls_.at(kSearchModeBox), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void MainWindow::Minimize() { ShowWindow(window_, SW_MINIMIZE); }

void MainWindow::Restore() { ShowWindow(window_, SW_RESTORE); }

void MainWindow::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the main loop, once the run has unwound
            return;
        }
        if (IsWindow(window_) && IsDialogMessageW(window_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void MainWindow::SleepMs(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

void MainWindow::ShowMessage(const std::string& text) {
    MessageBoxW(window_, Utf8ToWide(text).c_str(), Utf8ToWide(kApplicationTitle).c_str(), MB_OK);
}

bool MainWindow::ShowNotice(const std::string& caption, const std::string& message) {
    return notice_.ShowModal(caption, message);
}

void MainWindow::Beep() { MessageBeep(MB_OK); }

void MainWindow::ShowSettingsDialog() { settingsDialog_.ShowModal(form_->settings(), form_->state(), cad_); }

std::optional<int32_t> MainWindow::ShowThumbnails(const MeasurementState& state, const SanshaSettings& settings,
                                                  SearchMode searchMode) {
    return thumbnails_.ShowModal(state, settings, searchMode);
}

std::optional<int32_t> MainWindow::ShowDivisionList(MeasurementState& state, const SanshaSettings& settings,
                                                    int32_t chosen) {
    return list_.ShowModal(state, settings, chosen);
}

void MainWindow::SetTimerEnabled(bool enabled) {
    if (enabled) {
        SetTimer(window_, kProgressTimer, kProgressTimerIntervalMs, nullptr);
    } else {
        KillTimer(window_, kProgressTimer);
    }
}

void MainWindow::Close() {
    form_->FormClose();
    DestroyWindow(window_);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_COMMAND:
            if (form_ && HIWORD(wp) == BN_CLICKED) {
                switch (LOWORD(wp)) {
                    case kRunButton: form_->RunButtonClick(); return 0;
                    case kSettingsButton: form_->SettingsButtonClick(); return 0;
                    case kResetNumberButton: form_->ResetNumberButtonClick(); return 0;
                    case kHighestNumberButton: form_->HighestNumberButtonClick(); return 0;
                    case kEvaluationButton: form_->EvaluationButtonClick(); return 0;
                    default: break;
                }
            }
            break;
        case WM_TIMER:
            if (form_ && wp == kProgressTimer) form_->ProgressTimerTick();
            return 0;
        case WM_CLOSE:
            if (!form_ || form_->FormCloseQuery()) Close();
            return 0;
        case WM_DESTROY:
            KillTimer(window_, kProgressTimer);
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return Default(message, wp, lp);
}

}  // namespace zelkan::win32
