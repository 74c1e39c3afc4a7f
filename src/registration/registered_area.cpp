#include "registration/registered_area.h"

#include "registration/decimal_steps.h"

namespace zelkan {

const char* LandClassName(LandClass c) { return c == LandClass::Other ? "その他" : "宅地・鉱泉地"; }

DecimalText RegisteredArea(const DecimalText& area, LandClass landClass) {
    // "More than 10 m²" is the area as measured, before anything is cut.
    const DecimalText exact = MagnitudeCutTo(area, area.decimals);
    const bool aboveTen = Difference(exact, DecimalText{10, 0}).units > 0;
    return MagnitudeCutTo(area, landClass == LandClass::Other && aboveTen ? 0 : 2);
}

}  // namespace zelkan
