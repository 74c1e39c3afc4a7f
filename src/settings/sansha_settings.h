#pragma once
// Every user-adjustable value of the tool, with its INI section, key and
// default. Several sizes are kept as the text the user typed and turned into
// numbers only where they are used.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/search_mode.h"
#include "geometry/rounding.h"

namespace zelkan {

class IniFile;

// The first triangle number after a run ([No増加] Mode).
enum class NumberingMode : int32_t {
    Fixed = 0,      // 1　に固定: unchanged
    AfterLast = 1,  // 最大値+1: after the last number drawn
    Step = 2,       // 定量値で増加: by the step
};

// The mode from its number in the settings file (any other number: Fixed),
// and its number.
inline NumberingMode NumberingModeOf(int32_t number) {
    return number == 1 ? NumberingMode::AfterLast : number == 2 ? NumberingMode::Step : NumberingMode::Fixed;
}
inline int32_t ModeNumber(NumberingMode mode) { return static_cast<int32_t>(mode); }

struct SanshaSettings {
    int32_t scaleDenomPos = 1;
    int32_t scaleDenom = 1;
    std::string layerText = "S_TEXT";
    std::string layerHen = "S_HEN";
    std::string layerTakasa = "S_TAKASA";
    std::string mojiDaka = "3";
    std::string bTextHi = "4";
    std::string bCirR = "5";
    int32_t ketaNagaPos = 2;
    std::string ketaNaga = "2";
    bool nagaKirisute = false, nagaShishagonyu = true, nagaKiriage = false, nagaGoshagonyu = false;
    int32_t ketaMenPos = 4;
    std::string ketaMen = "4";
    bool menKirisute = false, menShishagonyu = true, menKiriage = false, menGoshagonyu = false;
    int32_t ketaKekaPos = 2;
    std::string ketaKeka = "2";
    bool kekaKirisute = false, kekaShishagonyu = true, kekaKiriage = false, kekaGoshagonyu = false;
    std::string kyuMojiDaka = "4";
    std::string kyuGyoDaka = "8";
    std::string kyuLayer = "S_HYO";
    SearchMode searchMode = SearchMode::Shape;
    bool saveRecords = false;
    int32_t calcTimeLimit = 0;  // milliseconds; 0 or less: none
    bool useHeron = true;
    int32_t measureScaleDenomPos = 1;
    int32_t measureScaleDenom = 1;
    NumberingMode noMode = NumberingMode::Fixed;
    int32_t noStep = 100;
    int32_t noStepPos = 3;
    int32_t colSanshaNo = 3, colSanshaTeihen = 10, colSanshaTakasa = 10, colSanshaMen = 14;
    int32_t colHeronNo = 3, colHeronA = 8, colHeronB = 8, colHeronC = 8, colHeronMen = 14;
    // How far a row of the area table may stray from its triangle's exact
    // area, in multiples of what rounding the lengths can explain; 0: no bound.
    std::string rowBoundFactor = "4";
    // The coordinate-method table (座標求積表): decimals of X and Y, of
    // Yn+1 - Yn-1, of the products and the double area, and of the area.
    int32_t zahyoKetaXY = 3, zahyoKetaSa = 3, zahyoKetaSeki = 6, zahyoKetaMen = 7;
    int32_t chimoku = 0;       // the 地目 class of the 地積: 0 宅地・鉱泉地, 1 その他
    int32_t seidoKubun = 0;    // 精度区分: 0 none, 1..6 甲一, 甲二, 甲三, 乙一, 乙二, 乙三
    bool zahyoCsv = false;     // a CSV of the table beside the drawings
    bool zahyoHyo = false;     // 面積表 also places the table beside the area table
};

// The name of the settings file in the work folder: the windows program's
// file name with ".Ini" (the command-line tool shares it).
inline constexpr const char* kSettingsFileName = "zelkan.Ini";

// Reads every key (missing or unreadable values take their defaults).
void LoadSettings(const IniFile& ini, SanshaSettings& s);

// Writes every key into the file's contents (IniFile::Save writes the file).
void WriteSettings(IniFile& ini, const SanshaSettings& s);

// [面積] 検索, which the main window writes when it closes.
void WriteSearchMode(IniFile& ini, SearchMode searchMode);

// An integer the way the settings read it: the whole text as a decimal
// integer, or hexadecimal after "0x"/"0X"; anything else gives fallback.
int32_t ParseSettingInteger(std::string_view text, int32_t fallback);

// The rounding rules of one run, taken from the settings at each press of
// the run button. A rule whose four flags are all off keeps its previous
// mode (0, which formats nothing, before the first run). Decimals are taken
// within 0..kMaxDecimals.
inline constexpr int32_t kMaxDecimals = 15;
struct RunRounding {
    KetaMode lengthMode = KetaMode::None;
    int32_t lengthDigits = 0;
    KetaMode areaMode = KetaMode::None;
    int32_t areaDigits = 0;
    KetaMode resultMode = KetaMode::None;
    int32_t resultDigits = 0;
};

void TakeRoundingRules(const SanshaSettings& s, RunRounding& r);

// The row bound's factor as a number; none where the text is no decimal
// number of 0 or more.
std::optional<double> RowBoundFactorOf(const SanshaSettings& s);

}  // namespace zelkan
