#include "support/parcels.h"

#include <cmath>
#include <numbers>
#include <random>

namespace zelkan::sample {

void SetParcel(EngineTables& t, const Polygon& vertices) {
    t.xynum = static_cast<int32_t>(vertices.size());
    for (size_t n = 0; n < vertices.size(); ++n)
        t.xy[n + 1] = TAcadPoint{vertices[n].first, vertices[n].second, 0.0L};
}

Polygon RegularPolygon(int n, double radius, double rotation) {
    Polygon p;
    for (int v = 0; v < n; ++v) {
        const double a = rotation + 2 * std::numbers::pi * v / n;
        p.emplace_back(radius * std::cos(a), radius * std::sin(a));
    }
    return p;
}

Polygon StarShaped(int n, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> outer(70.0, 100.0);
    std::uniform_real_distribution<double> inner(5.0, 12.0);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3);
    Polygon p;
    for (int v = 0; v < n; ++v) {
        const double a = 2 * std::numbers::pi * (v + jitter(random)) / n;
        const double r = v % 2 == 0 ? outer(random) : inner(random);
        p.emplace_back(r * std::cos(a), r * std::sin(a));
    }
    return p;
}

}  // namespace zelkan::sample
