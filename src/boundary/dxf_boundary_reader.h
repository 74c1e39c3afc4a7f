#pragma once
// Reads the CAD's DXF R12 export of the parcel boundary into the vertex table.
#include <string>

#include "engine/tables.h"

namespace zelkan {

// Fills xy and xynum with the vertices of the polylines of the ENTITIES
// section, in file order; returns true once the whole file is read. xynum is
// 0 when the file holds no such polyline. A coordinate the file does not
// supply keeps the value the entry held before.
//
// Throws InputOutputError (naming the file) when the file cannot be read or
// a group-code line is not an integer, and CapacityError beyond 3980
// vertices; the vertex table is then left as it was.
bool ReadBoundaryDxf(const std::string& fileName, EngineTables& t);

}  // namespace zelkan
