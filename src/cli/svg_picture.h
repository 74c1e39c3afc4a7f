#pragma once
// A picture of the parcel and its chosen division, for people who would
// rather look than read.
#include <string>

#include "engine/tables.h"

namespace zelkan::cli {

// The boundary, the inner sides, the height lines (when triheights describe
// the division) and the triangle numbers, as an SVG document.
std::string DivisionSvg(const EngineTables& t, int32_t firstNumber, bool withHeights);

}  // namespace zelkan::cli
