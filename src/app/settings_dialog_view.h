#pragma once
// What the settings dialog's logic asks of the dialog window.
#include <cstdint>
#include <optional>
#include <string>

namespace zelkan {

enum class SetControl {
    ELengScale, EScale,                                   // spinner-bound: 計測縮尺, 設定縮尺
    SanshaRadio, HeronRadio, CLogOK,                      // 三斜, ヘロン, ログ保存
    EMojiDaka, EBTextHi, EBCirR,                          // 辺、高さ
    EText, EHen, ETakasa,                                 // 画層
    EKetaNaga, RKetaNaga1, RKetaNaga2, RKetaNaga3, RKetaNaga4,  // 長さ
    EKetaMen, RKetaMen1, RKetaMen2, RKetaMen3, RKetaMen4,       // 面積
    EKetaKeka, RKetaKeka1, RKetaKeka2, RKetaKeka3, RKetaKeka4,  // 結果
    EKyuMojiDaka, EKyuGyoDaka, EKyuLayer,                 // 求積表
    BGaso, SaveLogButton, ELimTime, ClearHistoryButton,   // 画層作成, ログ保存, 計算制限値, 履歴削除
    FixedNumberRadio, AfterLastNumberRadio, StepNumberRadio, NumberStepBox,  // 計測後のNo値
    ES1, ES2, ES3, ES4,                                   // 三斜表(横文字数)
    EH1, EH2, EH3, EH4, EH5,                              // ヘロン(横文字数)
    EZahyoXY, EZahyoSa, EZahyoSeki, EZahyoMen,            // 座標求積表: decimals of X Y, 差, 倍面積, 面積
    CChimoku, CSeidoKubun,                                // 地目, 精度区分 (drop-down lists)
    CZahyoCsv, CZahyoHyo,                                 // CSV, 面積表 beside the area table
};

// The three rounding groups of the dialog (長さ, 面積, 結果): the settings
// section each stands for and is titled by, its decimals box, and its four
// rules in the order of kRoundingKeys.
struct RoundingGroup {
    const char* section;
    SetControl edit;
    SetControl radios[4];
};
inline constexpr RoundingGroup kRoundingGroups[] = {
    {"長さ", SetControl::EKetaNaga,
     {SetControl::RKetaNaga1, SetControl::RKetaNaga2, SetControl::RKetaNaga3, SetControl::RKetaNaga4}},
    {"面積", SetControl::EKetaMen,
     {SetControl::RKetaMen1, SetControl::RKetaMen2, SetControl::RKetaMen3, SetControl::RKetaMen4}},
    {"結果", SetControl::EKetaKeka,
     {SetControl::RKetaKeka1, SetControl::RKetaKeka2, SetControl::RKetaKeka3, SetControl::RKetaKeka4}},
};
inline constexpr const char* kRoundingKeys[] = {"切り捨て", "四捨五入", "切り上げ", "五捨五入"};

class SettingsDialogView {
public:
    virtual ~SettingsDialogView() = default;
    virtual void SetText(SetControl control, const std::string& text) = 0;
    virtual std::string Text(SetControl control) const = 0;
    // The spinner bound to an edit box: setting it shows the position in the
    // box, with thousands separators from 1000 on.
    virtual void SetSpinner(SetControl edit, int32_t position) = 0;
    virtual int32_t Spinner(SetControl edit) const = 0;
    virtual void SetChecked(SetControl control, bool checked) = 0;
    virtual bool Checked(SetControl control) const = 0;
    virtual void SetEnabled(SetControl control, bool enabled) = 0;
    // A drop-down list: the item chosen, counted from 0 (-1: none).
    virtual void SetChoice(SetControl control, int32_t index) = 0;
    virtual int32_t Choice(SetControl control) const = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    // The dialog's status line: what a command could not do, which boxes'
    // texts were not taken.
    virtual void ShowStatus(const std::string& text) = 0;
    // A question answered はい or いいえ, いいえ the default; true for はい.
    virtual bool AskYesNo(const std::string& text) = 0;
    // The common save dialog; none when the user cancels.
    virtual std::optional<std::string> AskSaveName(const std::string& title) = 0;
};

}  // namespace zelkan
