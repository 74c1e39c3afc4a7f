#pragma once
// The candidate triangles: every triangle of three parcel vertices that lies
// inside the parcel without crossing its boundary, sorted so that the most
// nearly equilateral come first, and measured for the area table.
#include <cstdint>

#include "engine/tables.h"
#include "geometry/rounding.h"

namespace zelkan {

// Rebuilds the side list and fills tritemp with every admissible triple
// (i < j < k, lexicographic order). Throws CapacityError beyond 99999.
void EnumerateCandidates(EngineTables& t);

// The same candidates in the same order, triple by triple with every test
// of TriangleRejected: the reference for EnumerateCandidates.
void EnumerateCandidatesLiterally(EngineTables& t);

// Appends one candidate with its shape deviation.
void AddCandidate(EngineTables& t, int32_t i, int32_t j, int32_t k, uint8_t ijEdge, uint8_t jkEdge,
                  uint8_t kiEdge);

// Stable ascending order of shape; equal shapes keep their enumeration order.
void SortCandidates(EngineTables& t);

// The rounding rules of one run for lengths (sides, bases, heights) and for
// triangle areas.
struct MeasureRules {
    int32_t scale = 1;  // drawing units per measure unit
    KetaMode lengthMode = KetaMode::None;
    int32_t lengthDigits = 0;
    KetaMode areaMode = KetaMode::None;
    int32_t areaDigits = 0;
};

// Side lengths, Heron area and the three base-and-height variants of every
// candidate, with their rounded texts.
void CandidateMetrics(EngineTables& t, const MeasureRules& rules);

// Ray casting towards +x, from vertex 1 so that survey coordinates decide
// as the origin does; vertices on the ray's line are handled as the
// boundary passing through or touching. Writes vertex 1 into slot xynum+1.
bool PointInParcel(EngineTables& t, long double px, long double py);

// Do segments AB and CD cross? Segments with a common end point never do,
// nor parallel ones; touching counts as crossing. Exactly vertical segments
// are decided as any other, without margin. Decided from A, so that survey
// coordinates decide as the origin does.
bool SidesCross(const TAcadPoint& A, const TAcadPoint& B, const TAcadPoint& C, const TAcadPoint& D);

// True when the triple is not a candidate: centroid or an inner side's
// midpoint outside the parcel, a side crossing the boundary, an inner side
// running through another corner, or three corners on one line (within
// CoincidenceTolerance).
bool TriangleRejected(EngineTables& t, int32_t i, int32_t j, int32_t k, uint8_t ijEdge, uint8_t jkEdge,
                      uint8_t kiEdge);

// Sum of |angle - 60 deg| over the three angles, in whole degrees.
double ShapeDeviation(const EngineTables& t, int32_t i, int32_t j, int32_t k);

}  // namespace zelkan
