#pragma once
// Whether what the CAD exported as its last object is the boundary of the
// region the user clicked in: besides the boundary command's answer
// (cad/boundary_answer.h), the polyline read must surround the picked
// point. Anything else is an object of the user's, never erased nor measured.
#include <string_view>

#include "cad/cad_procedures.h"
#include "engine/tables.h"

namespace zelkan {

// The boundary read into t (drawing coordinates) surrounds the point of
// LASTPOINT (coordinates of the user's system ucs, as the CAD gives it).
bool BoundarySurroundsPick(const EngineTables& t, const Ucs& ucs, std::string_view lastPoint);

}  // namespace zelkan
