#pragma once
// Reads the CAD's DXF R12 export of the parcel boundary into the vertex table.
#include <string>

#include "engine/tables.h"

namespace zelkan {

// Fills xy and xynum with the vertices of the first polyline of the
// ENTITIES section, in file order, each from its own VERTEX record; returns
// true once the whole file is read. Later polylines and other entities are
// passed over. xynum is 0 when the file holds no such polyline. A coordinate
// the file does not supply (an empty value) keeps the value the entry held
// before; an all-blank one reads as 0.
//
// Throws InputOutputError (naming the file) when the file cannot be read, a
// group-code line is not an integer, a vertex coordinate is not a number
// (both naming the line), or the file ends before the polyline's SEQEND;
// InvalidInputError naming the vertex for an arc (a bulge, group 42, not
// zero), which the polygon through the vertices would leave out;
// CapacityError beyond 3980 vertices. The vertex table is then left as it was.
bool ReadBoundaryDxf(const std::string& fileName, EngineTables& t);

}  // namespace zelkan
