#pragma once
// Sample parcels for tests and benchmarks.
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/tables.h"

namespace zelkan::sample {

using Polygon = std::vector<std::pair<double, double>>;

// Vertices 1..n of the table, z = 0.
void SetParcel(EngineTables& t, const Polygon& vertices);

// A regular polygon counter-clockwise, the first vertex at angle `rotation`.
Polygon RegularPolygon(int n, double radius, double rotation);

// A star-shaped polygon around the origin: n vertices at increasing angles,
// alternately far (radius 70 to 100) and near (5 to 12), fixed by the seed.
Polygon StarShaped(int n, uint32_t seed);

}  // namespace zelkan::sample
