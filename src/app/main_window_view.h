#pragma once
// What the main window's logic asks of the window: texts, enabled states
// and fonts of its controls, the search-mode box, its window state, and the
// boxes and dialogs it shows. The Win32 window implements it; tests record
// it.
#include <cstdint>
#include <optional>
#include <string>

#include "app/measurement_run.h"
#include "settings/sansha_settings.h"

namespace zelkan {

enum class MainControl {
    RunButton,            // 三斜自動 / 指示待ち / 計算中 / 面積表
    SettingsButton,       // 設定 / 中断 / 断中
    EvaluationButton,     // 評
    HighestNumberButton,  // 最大
    ResetNumberButton,    // 初期
    CoordinateAreaLabel,  // 座標面計値, then the coordinate area
    DivisionsLabel,       // candidates, divisions, the evaluation value
    ProgressLabel,        // progress and counts
    FirstNumberBox,       // the first triangle number
    Status,               // what went wrong with the CAD, or why a search ended early
};

class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual void SetText(MainControl control, const std::string& text) = 0;
    virtual std::string Text(MainControl control) const = 0;
    virtual void SetEnabled(MainControl control, bool enabled) = 0;
    virtual void SetBold(MainControl control, bool bold) = 0;
    virtual int32_t SearchModeIndex() const = 0;
    virtual void SetSearchModeIndex(int32_t index) = 0;
    virtual void Minimize() = 0;
    virtual void Restore() = 0;
    // Handles the window messages that are waiting (clicks, the timer, paint).
    virtual void ProcessMessages() = 0;
    virtual void SleepMs(int milliseconds) = 0;
    // The standard message box with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // The notice dialog (TAMsg), in the topmost band, until it is closed;
    // true when its button confirmed it.
    virtual bool ShowNotice(const std::string& caption, const std::string& message) = 0;
    virtual void Beep() = 0;
    // The one-second progress timer.
    virtual void SetTimerEnabled(bool enabled) = 0;
    // The settings dialog, modally.
    virtual void ShowSettingsDialog() = 0;
    // The thumbnail window over the divisions of the last run, modally: the
    // division double-clicked, none when it was closed otherwise. It only
    // reads the stored divisions: the current division stays.
    virtual std::optional<int32_t> ShowThumbnails(const MeasurementState& state, const SanshaSettings& settings,
                                                  SearchMode searchMode) = 0;
    // The list window on division `chosen`, modally: the division that
    // 選択三斜置き換え accepted, which is then current; none when it was
    // closed otherwise.
    virtual std::optional<int32_t> ShowDivisionList(MeasurementState& state, const SanshaSettings& settings,
                                                    int32_t chosen) = 0;
    // Closes the window for good (the program ends).
    virtual void Close() = 0;
};

}  // namespace zelkan
