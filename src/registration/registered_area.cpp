#include "registration/registered_area.h"

namespace zelkan {

namespace {

Int128 Power10(int32_t n) {
    Int128 p = 1;
    for (int32_t i = 0; i < n; ++i) p *= 10;
    return p;
}

// The magnitude cut to `decimals` (never more decimals than it has).
DecimalText CutTo(const DecimalText& value, int32_t decimals) {
    const Int128 magnitude = value.units < 0 ? -value.units : value.units;
    if (value.decimals <= decimals) return DecimalText{magnitude * Power10(decimals - value.decimals), decimals};
    return DecimalText{magnitude / Power10(value.decimals - decimals), decimals};
}

}  // namespace

const char* LandClassName(LandClass c) { return c == LandClass::Other ? "その他" : "宅地・鉱泉地"; }

DecimalText RegisteredArea(const DecimalText& area, LandClass landClass) {
    const Int128 magnitude = area.units < 0 ? -area.units : area.units;
    // "More than 10 m²" is the area as measured, before anything is cut.
    const bool aboveTen = magnitude > 10 * Power10(area.decimals);
    return CutTo(area, landClass == LandClass::Other && aboveTen ? 0 : 2);
}

}  // namespace zelkan
