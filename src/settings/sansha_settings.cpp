#include "settings/sansha_settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "geometry/text_helpers.h"
#include "settings/ini_file.h"

namespace zelkan {

namespace {

// Calls f(section, key, field) for every setting, in the order of the file.
template <typename Settings, typename F>
void ForEachSetting(Settings& s, F&& f) {
    f("縮尺", "分母c", s.scaleDenomPos);
    f("縮尺", "分母", s.scaleDenom);
    f("画層", "文字", s.layerText);
    f("画層", "辺の線分", s.layerHen);
    f("画層", "高さ線分", s.layerTakasa);
    f("辺高さ", "文字高", s.mojiDaka);
    f("辺高さ", "番号文字高", s.bTextHi);
    f("辺高さ", "番号半径", s.bCirR);
    f("長さ", "小数点以下c", s.ketaNagaPos);
    f("長さ", "小数点以下", s.ketaNaga);
    f("長さ", "切り捨て", s.nagaKirisute);
    f("長さ", "四捨五入", s.nagaShishagonyu);
    f("長さ", "切り上げ", s.nagaKiriage);
    f("長さ", "五捨五入", s.nagaGoshagonyu);
    f("面積", "小数点以下c", s.ketaMenPos);
    f("面積", "小数点以下", s.ketaMen);
    f("面積", "切り捨て", s.menKirisute);
    f("面積", "四捨五入", s.menShishagonyu);
    f("面積", "切り上げ", s.menKiriage);
    f("面積", "五捨五入", s.menGoshagonyu);
    f("結果", "小数点以下c", s.ketaKekaPos);
    f("結果", "小数点以下", s.ketaKeka);
    f("結果", "切り捨て", s.kekaKirisute);
    f("結果", "四捨五入", s.kekaShishagonyu);
    f("結果", "切り上げ", s.kekaKiriage);
    f("結果", "五捨五入", s.kekaGoshagonyu);
    f("求積表", "文字高", s.kyuMojiDaka);
    f("求積表", "行高", s.kyuGyoDaka);
    f("求積表", "画層名", s.kyuLayer);
    f("面積", "検索", s.searchMode);
    f("結果", "ログ保存", s.saveRecords);
    f("計算", "計算制限値", s.calcTimeLimit);
    f("面積", "ヘロン", s.useHeron);
    f("計測縮尺", "分母c", s.measureScaleDenomPos);
    f("計測縮尺", "分母", s.measureScaleDenom);
    f("No増加", "Mode", s.noMode);
    f("No増加", "増加量", s.noStep);
    f("No増加", "増加c", s.noStepPos);
    f("表三斜", "No", s.colSanshaNo);
    f("表三斜", "底辺", s.colSanshaTeihen);
    f("表三斜", "高さ", s.colSanshaTakasa);
    f("表三斜", "面積", s.colSanshaMen);
    f("表ヘロン", "No", s.colHeronNo);
    f("表ヘロン", "a", s.colHeronA);
    f("表ヘロン", "b", s.colHeronB);
    f("表ヘロン", "c", s.colHeronC);
    f("表ヘロン", "面積", s.colHeronMen);
    f("行誤差", "倍率", s.rowBoundFactor);
    f("座標求積", "座標小数点以下", s.zahyoKetaXY);
    f("座標求積", "差小数点以下", s.zahyoKetaSa);
    f("座標求積", "倍面積小数点以下", s.zahyoKetaSeki);
    f("座標求積", "面積小数点以下", s.zahyoKetaMen);
    f("座標求積", "地目", s.chimoku);
    f("座標求積", "精度区分", s.seidoKubun);
    f("座標求積", "CSV", s.zahyoCsv);
    f("座標求積", "面積表", s.zahyoHyo);
}

std::string ToText(int32_t v) { return std::to_string(v); }
std::string ToText(NumberingMode v) { return std::to_string(ModeNumber(v)); }
std::string ToText(SearchMode v) { return std::to_string(ModeNumber(v)); }
std::string ToText(bool v) { return v ? "1" : "0"; }
const std::string& ToText(const std::string& v) { return v; }

KetaMode ModeOf(bool cut, bool halfUp, bool up, bool even, KetaMode previous) {
    if (cut) return KetaMode::Cut;
    if (halfUp) return KetaMode::HalfUp;
    if (up) return KetaMode::Up;
    if (even) return KetaMode::Even;
    return previous;
}

}  // namespace

int32_t ParseSettingInteger(std::string_view text, int32_t fallback) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.front() == '-' || text.front() == '+') return fallback;
    int64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (ec != std::errc() || end != text.data() + text.size()) return fallback;
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return fallback;
    return static_cast<int32_t>(value);
}

void LoadSettings(const IniFile& ini, SanshaSettings& s) {
    SanshaSettings loaded;  // each key falls back to its default
    auto read = [&ini](const char* section, const char* key, auto& field) {
        using Field = std::decay_t<decltype(field)>;
        if constexpr (std::is_same_v<Field, std::string>) {
            field = ini.ReadString(section, key, field);
        } else {
            const std::string text = ini.ReadString(section, key, "");
            if constexpr (std::is_same_v<Field, bool>) {
                field = ParseSettingInteger(text, field ? 1 : 0) != 0;
            } else if constexpr (std::is_same_v<Field, NumberingMode>) {
                field = NumberingModeOf(ParseSettingInteger(text, ModeNumber(field)));
            } else if constexpr (std::is_same_v<Field, SearchMode>) {
                field = SearchModeOf(ParseSettingInteger(text, ModeNumber(field)));
            } else {
                field = ParseSettingInteger(text, field);
            }
        }
    };
    ForEachSetting(loaded, read);
    s = loaded;
}

void WriteSettings(IniFile& ini, const SanshaSettings& s) {
    ForEachSetting(s, [&ini](const char* section, const char* key, const auto& field) {
        ini.WriteString(section, key, ToText(field));
    });
}

void WriteSearchMode(IniFile& ini, SearchMode searchMode) { ini.WriteString("面積", "検索", ToText(searchMode)); }

void TakeRoundingRules(const SanshaSettings& s, RunRounding& r) {
    r.lengthMode = ModeOf(s.nagaKirisute, s.nagaShishagonyu, s.nagaKiriage, s.nagaGoshagonyu, r.lengthMode);
    r.areaMode = ModeOf(s.menKirisute, s.menShishagonyu, s.menKiriage, s.menGoshagonyu, r.areaMode);
    r.resultMode = ModeOf(s.kekaKirisute, s.kekaShishagonyu, s.kekaKiriage, s.kekaGoshagonyu, r.resultMode);
    // Each decimal costs the rounding a multiplication; a double has no more
    // than 17 significant digits to show anyway.
    const auto decimals = [](const std::string& text, int32_t fallback) {
        return std::clamp(ParseSettingInteger(text, fallback), 0, kMaxDecimals);
    };
    r.lengthDigits = decimals(s.ketaNaga, 2);
    r.areaDigits = decimals(s.ketaMen, 4);
    r.resultDigits = decimals(s.ketaKeka, 2);
}

std::optional<double> RowBoundFactorOf(const SanshaSettings& s) {
    const std::string text = Trimmed(s.rowBoundFactor);
    if (!IsDecimalNumber(text) || DecimalBeyondDouble(text)) return std::nullopt;
    const double factor = StrToReal(text);
    if (!(factor >= 0) || !std::isfinite(factor)) return std::nullopt;
    return factor;
}

}  // namespace zelkan
