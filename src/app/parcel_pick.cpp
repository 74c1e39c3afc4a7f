#include "app/parcel_pick.h"

#include <string>

namespace zelkan {

namespace {

struct PlanePoint {
    long double x = 0;
    long double y = 0;
};

// A drawing point in the plane of the user's system, as the run turns the
// boundary's corners.
PlanePoint InUcs(const TAcadPoint& p, const Ucs& ucs) {
    const long double dx = p.x - ucs.origin.x, dy = p.y - ucs.origin.y, dz = p.z - ucs.origin.z;
    return {ucs.xAxis.x * dx + ucs.xAxis.y * dy + ucs.xAxis.z * dz, ucs.yAxis.x * dx + ucs.yAxis.y * dy + ucs.yAxis.z * dz};
}

}  // namespace

bool BoundarySurroundsPick(const EngineTables& t, const Ucs& ucs, std::string_view lastPoint) {
    if (t.xynum < 3) return false;
    const TAcadPoint picked = PointFromVarValue(std::string(lastPoint));
    bool inside = false;
    PlanePoint a = InUcs(t.xy[static_cast<size_t>(t.xynum)], ucs);
    for (int32_t v = 1; v <= t.xynum; ++v) {
        const PlanePoint b = InUcs(t.xy[static_cast<size_t>(v)], ucs);
        // Even-odd: the sides that a ray from the point to the right crosses.
        if ((a.y > picked.y) != (b.y > picked.y)) {
            const long double crossing = a.x + (picked.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (picked.x < crossing) inside = !inside;
        }
        a = b;
    }
    return inside;
}

}  // namespace zelkan
