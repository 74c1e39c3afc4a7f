#include "registration/decimal_steps.h"

namespace zelkan {

namespace {

Int128 Power10(int32_t n) {
    Int128 p = 1;
    for (int32_t i = 0; i < n; ++i) p *= 10;
    return p;
}

Int128 Magnitude(Int128 v) { return v < 0 ? -v : v; }

}  // namespace

DecimalText RoundedTo(const DecimalText& value, int32_t decimals) {
    if (decimals >= value.decimals) return DecimalText{UnitsAt(value, decimals), decimals};
    const Int128 divisor = Power10(value.decimals - decimals);
    const Int128 rounded = (Magnitude(value.units) + divisor / 2) / divisor;
    return DecimalText{value.units < 0 ? -rounded : rounded, decimals};
}

DecimalText MagnitudeCutTo(const DecimalText& value, int32_t decimals) {
    const Int128 magnitude = Magnitude(value.units);
    if (decimals >= value.decimals) return DecimalText{magnitude * Power10(decimals - value.decimals), decimals};
    return DecimalText{magnitude / Power10(value.decimals - decimals), decimals};
}

}  // namespace zelkan
