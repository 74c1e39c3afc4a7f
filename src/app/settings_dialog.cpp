#include "app/settings_dialog.h"

#include <optional>
#include <utility>
#include <vector>

#include "cad/cad_procedures.h"
#include "geometry/errors.h"
#include "geometry/text_helpers.h"
#include "records/evaluation_log.h"
#include "records/work_folder.h"
#include "registration/area_tolerance.h"
#include "registration/coordinate_table.h"
#include "registration/registered_area.h"
#include "settings/ini_file.h"

namespace zelkan {

namespace {

using C = SetControl;

constexpr const char* kCountRule = "1 以上の整数を入れてください";
constexpr const char* kDecimalsRule = "0 から 15 までの整数を入れてください";
constexpr const char* kSizeRule = "0 より大きい数を入れてください";
constexpr const char* kTimeRule = "0 以上の整数（ミリ秒）を入れてください";
constexpr const char* kLayerRule = "画層名は 255 文字までです";
constexpr const char* kCoordinateDecimalsRule = "0 から 6 までの整数を入れてください";
constexpr const char* kProductDecimalsRule = "0 から 12 までの整数を入れてください";
constexpr const char* kAreaDecimalsRule = "0 から 13 までの整数を入れてください";

const C kSanshaWidths[] = {C::ES1, C::ES2, C::ES3, C::ES4};
const C kHeronWidths[] = {C::EH1, C::EH2, C::EH3, C::EH4, C::EH5};

bool IsInteger(const std::string& text, int32_t low, int32_t high) {
    const std::string t = Trimmed(text);
    if (t.empty()) return false;
    for (size_t n = 0; n < t.size(); ++n)
        if (!(t[n] >= '0' && t[n] <= '9') && !(n == 0 && t[n] == '-')) return false;
    const int32_t value = ParseSettingInteger(t, INT32_MIN);
    return value != INT32_MIN && value >= low && value <= high;
}

struct Rounding {
    const std::string& digits;
    int32_t position;
    bool flags[4];
};

Rounding RoundingOf(const SanshaSettings& s, int group) {
    switch (group) {
        case 0: return {s.ketaNaga, s.ketaNagaPos, {s.nagaKirisute, s.nagaShishagonyu, s.nagaKiriage, s.nagaGoshagonyu}};
        case 1: return {s.ketaMen, s.ketaMenPos, {s.menKirisute, s.menShishagonyu, s.menKiriage, s.menGoshagonyu}};
        default: break;
    }
    return {s.ketaKeka, s.ketaKekaPos, {s.kekaKirisute, s.kekaShishagonyu, s.kekaKiriage, s.kekaGoshagonyu}};
}

// A field the dialog checks before it is written: its box, its key in the
// settings file, the check and the rule the user is told, and the member of
// the settings that holds it (a number or a text).
struct CheckedField {
    CheckedField(C c, const char* n, const char* sec, const char* k, bool (*check)(const std::string&), const char* r,
                 int32_t SanshaSettings::*member)
        : control(c), name(n), section(sec), key(k), valid(check), rule(r), number(member) {}
    CheckedField(C c, const char* n, const char* sec, const char* k, bool (*check)(const std::string&), const char* r,
                 std::string SanshaSettings::*member)
        : control(c), name(n), section(sec), key(k), valid(check), rule(r), text(member) {}
    std::string ValueIn(const SanshaSettings& s) const { return number != nullptr ? std::to_string(s.*number) : s.*text; }

    C control;
    const char* name;  // as the dialog labels the box
    const char* section;
    const char* key;
    bool (*valid)(const std::string&);
    const char* rule;
    int32_t SanshaSettings::*number = nullptr;
    std::string SanshaSettings::*text = nullptr;
};

const CheckedField kCheckedFields[] = {
    {C::EScale, "設定縮尺", "縮尺", "分母", IsCountText, kCountRule, &SanshaSettings::scaleDenom},
    {C::ELengScale, "計測縮尺", "計測縮尺", "分母", IsCountText, kCountRule, &SanshaSettings::measureScaleDenom},
    {C::EText, "画層 文字", "画層", "文字", IsLayerText, kLayerRule, &SanshaSettings::layerText},
    {C::EHen, "画層 辺の線分", "画層", "辺の線分", IsLayerText, kLayerRule, &SanshaSettings::layerHen},
    {C::ETakasa, "画層 高さ線分", "画層", "高さ線分", IsLayerText, kLayerRule, &SanshaSettings::layerTakasa},
    {C::EKyuLayer, "求積表 画層", "求積表", "画層名", IsLayerText, kLayerRule, &SanshaSettings::kyuLayer},
    {C::EMojiDaka, "辺、高さ 文字高", "辺高さ", "文字高", IsSizeText, kSizeRule, &SanshaSettings::mojiDaka},
    {C::EBTextHi, "辺、高さ 番号字高", "辺高さ", "番号文字高", IsSizeText, kSizeRule, &SanshaSettings::bTextHi},
    {C::EBCirR, "辺、高さ 番号半径", "辺高さ", "番号半径", IsSizeText, kSizeRule, &SanshaSettings::bCirR},
    {C::EKetaNaga, "長さ 桁", "長さ", "小数点以下", IsDecimalsText, kDecimalsRule, &SanshaSettings::ketaNaga},
    {C::EKetaMen, "面積 桁", "面積", "小数点以下", IsDecimalsText, kDecimalsRule, &SanshaSettings::ketaMen},
    {C::EKetaKeka, "結果 桁", "結果", "小数点以下", IsDecimalsText, kDecimalsRule, &SanshaSettings::ketaKeka},
    {C::EKyuMojiDaka, "求積表 文字高", "求積表", "文字高", IsSizeText, kSizeRule, &SanshaSettings::kyuMojiDaka},
    {C::EKyuGyoDaka, "求積表 行高", "求積表", "行高", IsSizeText, kSizeRule, &SanshaSettings::kyuGyoDaka},
    {C::ELimTime, "計算制限値", "計算", "計算制限値", IsTimeLimitText, kTimeRule, &SanshaSettings::calcTimeLimit},
    {C::NumberStepBox, "計測後のNo値 増加量", "No増加", "増加量", IsCountText, kCountRule, &SanshaSettings::noStep},
    {C::ES1, "三斜表 No", "表三斜", "No", IsCountText, kCountRule, &SanshaSettings::colSanshaNo},
    {C::ES2, "三斜表 底辺", "表三斜", "底辺", IsCountText, kCountRule, &SanshaSettings::colSanshaTeihen},
    {C::ES3, "三斜表 高さ", "表三斜", "高さ", IsCountText, kCountRule, &SanshaSettings::colSanshaTakasa},
    {C::ES4, "三斜表 面積", "表三斜", "面積", IsCountText, kCountRule, &SanshaSettings::colSanshaMen},
    {C::EH1, "ヘロン No", "表ヘロン", "No", IsCountText, kCountRule, &SanshaSettings::colHeronNo},
    {C::EH2, "ヘロン a", "表ヘロン", "a", IsCountText, kCountRule, &SanshaSettings::colHeronA},
    {C::EH3, "ヘロン b", "表ヘロン", "b", IsCountText, kCountRule, &SanshaSettings::colHeronB},
    {C::EH4, "ヘロン c", "表ヘロン", "c", IsCountText, kCountRule, &SanshaSettings::colHeronC},
    {C::EH5, "ヘロン 面積", "表ヘロン", "面積", IsCountText, kCountRule, &SanshaSettings::colHeronMen},
    {C::EZahyoXY, "座標求積 座標", "座標求積", "座標小数点以下", IsCoordinateDecimalsText, kCoordinateDecimalsRule,
     &SanshaSettings::zahyoKetaXY},
    {C::EZahyoSa, "座標求積 差", "座標求積", "差小数点以下", IsCoordinateDecimalsText, kCoordinateDecimalsRule,
     &SanshaSettings::zahyoKetaSa},
    {C::EZahyoSeki, "座標求積 倍面積", "座標求積", "倍面積小数点以下", IsProductDecimalsText, kProductDecimalsRule,
     &SanshaSettings::zahyoKetaSeki},
    {C::EZahyoMen, "座標求積 面積", "座標求積", "面積小数点以下", IsAreaDecimalsText, kAreaDecimalsRule,
     &SanshaSettings::zahyoKetaMen},
};
const C kZahyoDecimals[] = {C::EZahyoXY, C::EZahyoSa, C::EZahyoSeki, C::EZahyoMen};

const CheckedField* FindField(C control) {
    for (const CheckedField& f : kCheckedFields)
        if (f.control == control) return &f;
    return nullptr;
}

const CheckedField& FieldOf(C control) {
    const CheckedField* f = FindField(control);
    return f != nullptr ? *f : kCheckedFields[0];  // every caller names a field of the table
}

// The text a box holds as it is checked and stored: counts without their
// thousands separators.
std::string CheckedText(const CheckedField& f, const std::string& shown) {
    return f.valid == IsCountText ? WithoutCommas(shown) : shown;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace

bool IsCountText(const std::string& text) { return IsInteger(WithoutCommas(text), 1, INT32_MAX); }
bool IsDecimalsText(const std::string& text) { return IsInteger(text, 0, kMaxDecimals); }
bool IsSizeText(const std::string& text) {
    const std::string t = Trimmed(text);
    return IsDecimalNumber(t) && StrToReal(t) > 0;
}
bool IsTimeLimitText(const std::string& text) { return IsInteger(text, 0, INT32_MAX); }
bool IsCoordinateDecimalsText(const std::string& text) { return IsInteger(text, 0, kMaxCoordinateDecimals); }
bool IsProductDecimalsText(const std::string& text) { return IsInteger(text, 0, kMaxProductDecimals); }
bool IsAreaDecimalsText(const std::string& text) { return IsInteger(text, 0, kMaxAreaDecimals); }

std::vector<std::string> LandClassItems() {
    return {LandClassName(LandClass::Residential), LandClassName(LandClass::Other)};
}

std::vector<std::string> PrecisionClassItems() {
    std::vector<std::string> items;
    for (int32_t n = 0; n <= 6; ++n) items.push_back(PrecisionClassName(PrecisionClassOf(n)));
    return items;
}

bool IsLayerText(const std::string& text) {
    size_t characters = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++characters;  // UTF-8 lead bytes
    return characters <= kMaxLayerNameLength;
}

TZelkanSet::TZelkanSet(SettingsDialogView& view, std::string workFolder, std::function<void(const std::string&)> recycle)
    : workFolder_(std::move(workFolder)),
      iniFile_(workFolder_ + kSettingsFileName),
      view_(view),
      recycle_(std::move(recycle)) {}

void TZelkanSet::FormActivate(const SanshaSettings& s, int32_t trisetnum) {
    view_.SetSpinner(C::EScale, s.scaleDenomPos);
    view_.SetSpinner(C::EKetaNaga, s.ketaNagaPos);
    view_.SetSpinner(C::EKetaMen, s.ketaMenPos);
    view_.SetSpinner(C::EKetaKeka, s.ketaKekaPos);
    view_.SetSpinner(C::ELengScale, s.measureScaleDenomPos);
    view_.SetSpinner(C::NumberStepBox, s.noStepPos);

    view_.SetText(C::EText, s.layerText);
    view_.SetText(C::EHen, s.layerHen);
    view_.SetText(C::ETakasa, s.layerTakasa);
    view_.SetText(C::EMojiDaka, s.mojiDaka);
    view_.SetText(C::EBTextHi, s.bTextHi);
    view_.SetText(C::EBCirR, s.bCirR);
    view_.SetText(C::EKyuMojiDaka, s.kyuMojiDaka);
    view_.SetText(C::EKyuGyoDaka, s.kyuGyoDaka);
    view_.SetText(C::EKyuLayer, s.kyuLayer);
    view_.SetText(C::ELimTime, std::to_string(s.calcTimeLimit));
    const int32_t sansha[] = {s.colSanshaNo, s.colSanshaTeihen, s.colSanshaTakasa, s.colSanshaMen};
    for (int n = 0; n < 4; ++n) view_.SetText(kSanshaWidths[n], std::to_string(sansha[n]));
    const int32_t heron[] = {s.colHeronNo, s.colHeronA, s.colHeronB, s.colHeronC, s.colHeronMen};
    for (int n = 0; n < 5; ++n) view_.SetText(kHeronWidths[n], std::to_string(heron[n]));
    const int32_t zahyo[] = {s.zahyoKetaXY, s.zahyoKetaSa, s.zahyoKetaSeki, s.zahyoKetaMen};
    for (int n = 0; n < 4; ++n) view_.SetText(kZahyoDecimals[n], std::to_string(zahyo[n]));
    view_.SetChoice(C::CChimoku, LandClassNumber(LandClassOf(s.chimoku)));
    view_.SetChoice(C::CSeidoKubun, PrecisionClassNumber(PrecisionClassOf(s.seidoKubun)));
    view_.SetChecked(C::CZahyoCsv, s.zahyoCsv);
    view_.SetChecked(C::CZahyoHyo, s.zahyoHyo);

    for (int g = 0; g < 3; ++g) {
        const Rounding r = RoundingOf(s, g);
        for (int n = 0; n < 4; ++n) view_.SetChecked(kRoundingGroups[g].radios[n], r.flags[n]);
    }
    view_.SetChecked(C::CLogOK, s.saveRecords);
    view_.SetChecked(C::HeronRadio, s.useHeron);
    view_.SetChecked(C::SanshaRadio, !s.useHeron);
    view_.SetChecked(C::FixedNumberRadio, s.noMode == NumberingMode::Fixed);
    view_.SetChecked(C::AfterLastNumberRadio, s.noMode == NumberingMode::AfterLast);
    view_.SetChecked(C::StepNumberRadio, s.noMode == NumberingMode::Step);
    view_.SetEnabled(C::SaveLogButton, trisetnum >= 1);

    // What a field that cannot be used keeps: the value in memory, or the
    // default where that cannot be used either.
    const SanshaSettings defaults;
    for (const CheckedField& f : kCheckedFields) {
        const std::string value = f.ValueIn(s);
        lastValid_[f.control] = f.valid(value) ? value : f.ValueIn(defaults);
    }
}

std::optional<std::string> TZelkanSet::Check(SetControl control) {
    const CheckedField& f = FieldOf(control);
    const std::string shown = view_.Text(control);
    std::string& last = lastValid_[control];
    const std::string text = CheckedText(f, shown);
    if (f.valid(text)) {
        // The step is kept trimmed: it is read back into the settings.
        if (control != C::NumberStepBox) last = text;
        return std::nullopt;
    }
    view_.SetText(control, last);  // the box shows what is in force
    return std::string(f.name) + " の「" + shown + "」は使えません。" + f.rule + "（" + last + " のままにします）";
}

void TZelkanSet::FieldLeft(SetControl control) {
    if (FindField(control) == nullptr) return;
    if (const std::optional<std::string> refusal = Check(control)) view_.ShowStatus(*refusal);
}

std::vector<std::string> TZelkanSet::FormDeactivate(SanshaSettings& s) {
    IniFile ini(iniFile_);
    std::vector<std::string> refusals;
    const auto put = [&ini](const char* section, const char* key, const std::string& text) {
        ini.WriteString(section, key, text);
    };
    // A checked field: its text when it can be used, else the last one that could.
    const auto checked = [&](C control) {
        const CheckedField& f = FieldOf(control);
        if (std::optional<std::string> refusal = Check(control)) refusals.push_back(std::move(*refusal));
        put(f.section, f.key, lastValid_[control]);
    };
    const auto flag = [this](C control) { return std::string(view_.Checked(control) ? "1" : "0"); };
    const auto spinner = [this](C control) { return std::to_string(view_.Spinner(control)); };
    const auto text = [this](C control) { return view_.Text(control); };

    put("縮尺", "分母c", spinner(C::EScale));
    checked(C::EScale);
    checked(C::EText);
    checked(C::EHen);
    checked(C::ETakasa);
    checked(C::EMojiDaka);
    checked(C::EBTextHi);
    checked(C::EBCirR);
    for (const RoundingGroup& g : kRoundingGroups) {
        put(g.section, "小数点以下c", spinner(g.edit));
        checked(g.edit);
        for (int n = 0; n < 4; ++n) put(g.section, kRoundingKeys[n], flag(g.radios[n]));
    }
    checked(C::EKyuMojiDaka);
    checked(C::EKyuGyoDaka);
    checked(C::EKyuLayer);
    put("結果", "ログ保存", flag(C::CLogOK));
    put("面積", "ヘロン", flag(C::HeronRadio));
    checked(C::ELimTime);
    put("計測縮尺", "分母c", spinner(C::ELengScale));
    checked(C::ELengScale);

    if (view_.Checked(C::FixedNumberRadio)) {
        s.noMode = NumberingMode::Fixed;
    } else if (view_.Checked(C::AfterLastNumberRadio)) {
        s.noMode = NumberingMode::AfterLast;
    } else if (view_.Checked(C::StepNumberRadio)) {
        s.noMode = NumberingMode::Step;
    }
    // The step is read back into the settings as well, trimmed.
    std::string& keptStep = lastValid_[C::NumberStepBox];
    if (std::optional<std::string> refusal = Check(C::NumberStepBox)) {
        refusals.push_back(std::move(*refusal));
    } else {
        keptStep = Trimmed(WithoutCommas(text(C::NumberStepBox)));
    }
    s.noStep = ParseSettingInteger(keptStep, 100);
    s.noStepPos = view_.Spinner(C::NumberStepBox);
    put("No増加", "Mode", std::to_string(ModeNumber(s.noMode)));
    put("No増加", "増加量", std::to_string(s.noStep));
    put("No増加", "増加c", std::to_string(s.noStepPos));
    for (const C width : kSanshaWidths) checked(width);
    for (const C width : kHeronWidths) checked(width);
    for (const C decimals : kZahyoDecimals) checked(decimals);
    // A list with nothing chosen keeps the class it showed.
    const auto choice = [this](C control, int32_t shown) {
        const int32_t chosen = view_.Choice(control);
        return std::to_string(chosen >= 0 ? chosen : shown);
    };
    put("座標求積", "地目", choice(C::CChimoku, LandClassNumber(LandClassOf(s.chimoku))));
    put("座標求積", "精度区分", choice(C::CSeidoKubun, PrecisionClassNumber(PrecisionClassOf(s.seidoKubun))));
    put("座標求積", "CSV", flag(C::CZahyoCsv));
    put("座標求積", "面積表", flag(C::CZahyoHyo));
    ini.Save();
    // Every box that was reset is named, not only the first.
    if (!refusals.empty()) view_.ShowStatus(Joined(refusals));
    return refusals;
}

void TZelkanSet::bGasoClick(CadChannel& cad, const SanshaSettings& settings) {
    if (!cad.Activate()) {
        view_.ShowStatus(kCadNotFoundStatus);
        return;
    }
    if (cad.ReadTextHistory().empty()) {
        view_.ShowStatus(kCommandLineNotFoundStatus);
        return;
    }
    view_.ShowStatus("");
    AcadEnsureLayers(cad, settings);
}

void TZelkanSet::SaveLogButtonClick(MeasurementState& state, int32_t measureScaleDenom) {
    const std::optional<std::string> name = view_.AskSaveName(kSaveLogsTitle);
    if (!name) return;
    try {
        SaveLogsAs(state.tables, *name, RunMeasure{state.rounding, measureScaleDenom, state.tables.menkei});
    } catch (const InputOutputError& e) {
        view_.ShowMessage(e.what());  // the files written before stay
    }
}

void TZelkanSet::ClearHistoryButtonClick() {
    if (!view_.AskYesNo(HistoryDeletionQuestion(workFolder_))) return;
    if (recycle_) recycle_(workFolder_);
    ForceDirectories(workFolder_);
    view_.ShowMessage(HistoryDeletedMessage(workFolder_));
}

}  // namespace zelkan
