#pragma once
// The tolerance (公差) of an area by the 精度区分 of the survey: the limit
// within which two measurements of one parcel may differ.
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/decimal_units.h"

namespace zelkan {

// Numbered as the settings file holds them; None asks for no tolerance.
enum class PrecisionClass : int32_t {
    None = 0,
    Kou1 = 1,   // 甲一
    Kou2 = 2,   // 甲二
    Kou3 = 3,   // 甲三
    Otsu1 = 4,  // 乙一
    Otsu2 = 5,  // 乙二
    Otsu3 = 6,  // 乙三
};

// A number outside 0..6 is None.
PrecisionClass PrecisionClassOf(int32_t number);
inline int32_t PrecisionClassNumber(PrecisionClass c) { return static_cast<int32_t>(c); }

// "甲一" .. "乙三", "なし" for None.
const char* PrecisionClassName(PrecisionClass c);

// The class of a name as PrecisionClassName writes it (also 甲1 .. 乙3 and
// "なし"); nothing for any other text.
std::optional<PrecisionClass> PrecisionClassOfName(std::string_view name);

// The tolerance in m² for an area F in m² (its magnitude): (a + b F^¼) √F
// with the class's a and b, printed to 1/100 m² half away from zero; nothing
// for None.
std::optional<DecimalText> AreaTolerance(PrecisionClass c, const DecimalText& area);

// |a - b| <= tolerance, exactly.
bool WithinTolerance(const DecimalText& a, const DecimalText& b, const DecimalText& tolerance);

}  // namespace zelkan
