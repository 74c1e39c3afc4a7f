#pragma once
// Sample parcels for tests and benchmarks.
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/candidates.h"
#include "engine/tables.h"

namespace zelkan::sample {

using Polygon = std::vector<std::pair<double, double>>;

// Vertices 1..n of the table, z = 0.
void SetParcel(EngineTables& t, const Polygon& vertices);

// The parcel set, its candidates enumerated, sorted and measured by the
// rules, as a run prepares them for the search.
void PrepareCandidates(EngineTables& t, const Polygon& vertices, const MeasureRules& rules);

// The candidate numbers of these triangles (vertex numbers, in any order),
// in the order given, for StoreDivision or LoadDivision. A triangle that
// has no candidate of the same corners yet is added as the enumeration adds
// it (edge flags from the parcel's sides, shape measured), whether or not
// it lies inside the parcel: tests divide as they please.
std::vector<int32_t> CandidatesOf(EngineTables& t, const std::vector<std::array<int32_t, 3>>& triangles);

// The fast search with no stop and no time limit; true when the store's
// memory budget ended it.
bool SearchEveryDivision(EngineTables& t);

// Candidate numbers, ascending, of each division the store holds.
std::vector<std::vector<int32_t>> EveryStoredDivision(const EngineTables& t);

// Small parcels of each kind, few enough corners that the search stores
// every division: to hold what is found without storing divisions against
// all of them.
struct NamedParcel {
    const char* name;
    Polygon parcel;
};
std::vector<NamedParcel> SmallParcelsOfEachKind();

// The polygon's area (shoelace, in extended precision).
double PolygonArea(const Polygon& vertices);

// A regular polygon counter-clockwise, the first vertex at angle `rotation`.
Polygon RegularPolygon(int n, double radius, double rotation);

// A convex polygon: n vertices on an ellipse of half-axes 100 and 60, at
// irregular angles fixed by the seed.
Polygon IrregularConvex(int n, uint32_t seed);

// A star-shaped polygon around the origin: n vertices at increasing angles,
// alternately far (radius 70 to 100) and near (5 to 12), fixed by the seed.
Polygon StarShaped(int n, uint32_t seed);

// A comb: a spine along the bottom and teeth with deep reflex notches
// between them; n is rounded to the nearest count the shape allows (>= 6).
Polygon Comb(int n, uint32_t seed);

// A convex-ish parcel with a run of exactly collinear vertices along its
// bottom side.
Polygon CollinearRun(int n, uint32_t seed);

// A rectilinear parcel (exactly vertical and horizontal sides) on a grid.
Polygon Rectilinear(int n, uint32_t seed);

// A lot on the outside of a road curve, in metres to the millimetre: about
// two thirds of the corners along the curve (radius 60 m over 50 degrees,
// wobbling by centimetres), the rest on a back boundary 16 to 20 m behind
// it, fixed by the seed.
Polygon RoadCurveLot(int n, uint32_t seed);

// A round-ish lot about 80 m by 60 m with corners at irregular angles and
// distances, in metres to the millimetre, fixed by the seed.
Polygon IrregularLot(int n, uint32_t seed);

// A strip `length` metres long whose width runs between 5 and 20 m, in
// metres to the millimetre: half its corners along a front that wobbles by
// centimetres, half along the back, so that most corners lie within a degree
// of straight; turned by an angle fixed by the seed.
Polygon NearStraightStrip(int n, double length, uint32_t seed);

// A round-ish parcel about 600 m by 400 m with corners at irregular angles
// and distances, in metres to the millimetre, fixed by the seed: its area
// runs to 10^9 units of the printed areas' fourth decimal.
Polygon LargeRoundParcel(int n, uint32_t seed);

// The polygon moved by (dx, dy), e.g. to survey coordinates.
Polygon Shifted(Polygon p, double dx, double dy);

}  // namespace zelkan::sample
