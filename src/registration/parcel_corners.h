#pragma once
// The corners the coordinate-method table lists, in X (north) and Y (east):
// a drawing's y is X and its x is Y, each divided by the measuring scale.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/acad_point.h"
#include "engine/tables.h"
#include "registration/coordinate_table.h"

namespace zelkan {

// Corners in boundary order named by names where one is given, else by
// their number from 1.
std::vector<CoordinateCorner> CornersOf(const std::vector<TAcadPoint>& corners, const std::vector<std::string>& names,
                                        int32_t measureScaleDenom);

// The measured boundary of the last run, xy[1..xynum] in working order,
// named by vertex number.
std::vector<CoordinateCorner> CornersOfTables(const EngineTables& t, int32_t measureScaleDenom);

}  // namespace zelkan
