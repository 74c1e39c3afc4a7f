#pragma once

#include <cmath>

namespace zelkan {

// A parcel vertex or a coordinate-system vector, in extended precision.
struct TAcadPoint {
    long double x = 0.0L;
    long double y = 0.0L;
    long double z = 0.0L;
};

// Distance in the plane (x, y), in extended precision.
inline long double Distance(const TAcadPoint& p, const TAcadPoint& q) {
    const long double dx = p.x - q.x, dy = p.y - q.y;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace zelkan
