#pragma once
// The two ways a registration figure goes to fewer decimals: rounded half
// away from zero (a table's column) or cut (the 地積 as registered). Both
// are exact on decimal units; a value with fewer decimals is scaled up.
#include <cstdint>

#include "engine/decimal_units.h"

namespace zelkan {

// The value at `decimals`, rounded half away from zero where digits go.
DecimalText RoundedTo(const DecimalText& value, int32_t decimals);

// The magnitude at `decimals`, the digits beyond cut off.
DecimalText MagnitudeCutTo(const DecimalText& value, int32_t decimals);

}  // namespace zelkan
