#pragma once
// The settings dialog's logic (TZelkanSet): the settings shown in the
// controls when it opens, every key written to the settings file whenever
// it loses activation, and its three commands (画層作成, ログ保存, 履歴削除).
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/measurement_run.h"
#include "app/settings_dialog_view.h"
#include "cad/cad_channel.h"
#include "settings/sansha_settings.h"

namespace zelkan {

inline constexpr const char* kSettingsDialogCaption = "三斜条件設定";
inline constexpr const char* kSaveLogsTitle = "三斜切りログ保存";

class TZelkanSet {
public:
    // recycle moves a folder to the recycle bin (the platform's shell).
    TZelkanSet(SettingsDialogView& view, std::string workFolder, std::function<void(const std::string&)> recycle);

    // The settings in memory into the controls; ログ保存 only when the last
    // search stored a division.
    void FormActivate(const SanshaSettings& settings, int32_t trisetnum);
    // Every control into the settings file, in the order of the dialog; a
    // box whose text cannot be used shows the value in force again and its
    // key keeps it. What each such box held is returned, one line naming
    // each, and shown in the status line. noMode, noStep and noStepPos are
    // also set in settings. Throws InputOutputError when the file cannot be
    // written.
    std::vector<std::string> FormDeactivate(SanshaSettings& settings);
    // The user left a box: a text it cannot use is told in the status line,
    // naming the box, and the box shows the value in force again.
    void FieldLeft(SetControl control);

    void bGasoClick(CadChannel& cad, const SanshaSettings& settings);    // 画層作成
    void SaveLogButtonClick(MeasurementState& state, int32_t measureScaleDenom);  // ログ保存
    void ClearHistoryButtonClick();                                                  // 履歴削除

    const std::string& iniFile() const { return iniFile_; }

private:
    // The box's text checked: none when it can be used; otherwise the box is
    // reset and the refusal, naming it, returned.
    std::optional<std::string> Check(SetControl control);

    std::string workFolder_;
    std::string iniFile_;
    SettingsDialogView& view_;
    std::function<void(const std::string&)> recycle_;
    std::map<SetControl, std::string> lastValid_;  // the last text each checked field was written with
};

// The checks of the dialog's number fields: the text as it is to be stored,
// or none when it cannot be used.
bool IsCountText(const std::string& text);     // a whole number, 1 or more
bool IsDecimalsText(const std::string& text);  // a whole number, 0 to kMaxDecimals
bool IsSizeText(const std::string& text);      // a number above 0
bool IsTimeLimitText(const std::string& text); // a whole number of milliseconds, 0 or more
inline constexpr size_t kMaxLayerNameLength = 255;  // the CAD's limit, in characters
bool IsLayerText(const std::string& text);      // a layer name the CAD takes
// Decimals of the coordinate-method table's columns.
bool IsCoordinateDecimalsText(const std::string& text);  // X, Y and 差: 0 to 6
bool IsProductDecimalsText(const std::string& text);     // 倍面積: 0 to 12
bool IsAreaDecimalsText(const std::string& text);        // 面積: 0 to 13

// The items of the 地目 and 精度区分 lists, in the order of their numbers in the settings file.
std::vector<std::string> LandClassItems();
std::vector<std::string> PrecisionClassItems();

}  // namespace zelkan
