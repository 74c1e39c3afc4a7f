#pragma once
// The 地積 as the registry records it: square metres with the digits below
// 1/100 m² cut off, and below 1 m² for land other than 宅地 and 鉱泉地 of
// more than 10 m².
#include <cstdint>
#include <string>

#include "engine/decimal_units.h"

namespace zelkan {

// The 地目 classes the rule tells apart, numbered as the settings file holds them.
enum class LandClass : int32_t {
    Residential = 0,  // 宅地・鉱泉地: to 1/100 m² at any size
    Other = 1,        // every other 地目: to 1 m² above 10 m²
};

// Any number but 1 is Residential, the class that cuts the least.
inline LandClass LandClassOf(int32_t number) { return number == 1 ? LandClass::Other : LandClass::Residential; }
inline int32_t LandClassNumber(LandClass c) { return static_cast<int32_t>(c); }

// "宅地・鉱泉地" or "その他".
const char* LandClassName(LandClass c);

// The registered 地積 of an area in m² (its magnitude): two decimals, or none
// where the whole metres are kept.
DecimalText RegisteredArea(const DecimalText& area, LandClass landClass);

}  // namespace zelkan
