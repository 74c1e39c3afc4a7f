#include "engine/division_cover.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "engine/boundary_shape.h"
#include "geometry/exact_format.h"

namespace zelkan {

namespace {

struct Corner {
    long double x;
    long double y;
};

// Twice the signed area of abc.
long double Cross(const Corner& a, const Corner& b, const Corner& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// A triangle counter-clockwise, with its bounding box.
struct Triangle {
    std::array<Corner, 3> c;
    long double lowX, highX, lowY, highY;
};

Triangle MakeTriangle(Corner a, Corner b, Corner c) {
    if (Cross(a, b, c) < 0) std::swap(b, c);
    return {{a, b, c},
            std::min({a.x, b.x, c.x}), std::max({a.x, b.x, c.x}),
            std::min({a.y, b.y, c.y}), std::max({a.y, b.y, c.y})};
}

// Separated when every corner of `other` lies outside one side of `own`, or
// on it within the tolerance (triangles sharing a side or a corner touch
// and do not overlap).
bool SeparatedBySideOf(const Triangle& own, const Triangle& other, long double tolerance) {
    for (size_t s = 0; s < 3; ++s) {
        const Corner& a = own.c[s];
        const Corner& b = own.c[(s + 1) % 3];
        const long double length = std::hypot(b.x - a.x, b.y - a.y);
        bool allOutside = true;
        for (const Corner& p : other.c) {
            // Inside lies left of a counter-clockwise side.
            if (Cross(a, b, p) > tolerance * length) {
                allOutside = false;
                break;
            }
        }
        if (allOutside) return true;
    }
    return false;
}

bool Overlap(const Triangle& x, const Triangle& y, long double tolerance) {
    if (x.highX <= y.lowX + tolerance || y.highX <= x.lowX + tolerance || x.highY <= y.lowY + tolerance ||
        y.highY <= x.lowY + tolerance)
        return false;
    return !SeparatedBySideOf(x, y, tolerance) && !SeparatedBySideOf(y, x, tolerance);
}

}  // namespace

DivisionCover CheckDivisionCover(const EngineTables& t, int32_t measureScaleDenom) {
    DivisionCover cover;
    cover.triangles = t.trinum;
    cover.needed = t.xynum - 2;
    if (t.xynum < 3) return cover;
    // Coordinates from the first corner: survey coordinates far from the
    // origin keep their digits.
    const TAcadPoint& origin = t.xy[1];
    const auto corner = [&t, &origin](int32_t v) {
        const TAcadPoint& p = t.xy[static_cast<size_t>(v)];
        return Corner{p.x - origin.x, p.y - origin.y};
    };
    long double twiceParcel = 0;
    for (int32_t v = 1; v <= t.xynum; ++v) {
        const Corner a = corner(v), b = corner(v == t.xynum ? 1 : v + 1);
        twiceParcel += a.x * b.y - b.x * a.y;
    }
    const long double tolerance = CoincidenceTolerance(t);
    std::vector<Triangle> triangles;
    long double twiceDivision = 0;
    for (int32_t m = 1; m <= t.trinum; ++m) {
        const TTri& tri = t.tritable[static_cast<size_t>(m)];
        triangles.push_back(MakeTriangle(corner(tri.i), corner(tri.j), corner(tri.k)));
        const Triangle& made = triangles.back();
        twiceDivision += Cross(made.c[0], made.c[1], made.c[2]);
        const auto point = [](const Corner& c) { return TAcadPoint{c.x, c.y, 0}; };
        if (cover.flatTriangle == 0 && FlatTriangle(point(made.c[0]), point(made.c[1]), point(made.c[2]), tolerance))
            cover.flatTriangle = m;
    }
    const long double scale2 = static_cast<long double>(measureScaleDenom) * measureScaleDenom;
    cover.parcelArea = std::fabs(twiceParcel) / 2 / scale2;
    cover.divisionArea = twiceDivision / 2 / scale2;
    for (size_t a = 0; a < triangles.size() && cover.overlapFirst == 0; ++a) {
        for (size_t b = a + 1; b < triangles.size(); ++b) {
            if (Overlap(triangles[a], triangles[b], tolerance)) {
                cover.overlapFirst = static_cast<int32_t>(a) + 1;
                cover.overlapSecond = static_cast<int32_t>(b) + 1;
                break;
            }
        }
    }
    // Far below any printed decimal: rounding of the sums alone.
    const bool areasAgree = std::fabs(cover.divisionArea - cover.parcelArea) <= 1e-9L * cover.parcelArea;
    cover.covers = cover.triangles == cover.needed && cover.flatTriangle == 0 && cover.overlapFirst == 0 && areasAgree;
    return cover;
}

std::string NotCoveredMessage(const DivisionCover& cover) {
    std::string message = "分割が筆全体を覆っていません: 三角形 " + std::to_string(cover.triangles) + " 個（必要 " +
                          std::to_string(cover.needed) + " 個）";
    if (cover.overlapFirst != 0)
        message += "、三角形 " + std::to_string(cover.overlapFirst) + " と " + std::to_string(cover.overlapSecond) +
                   " が重なっています";
    if (cover.flatTriangle != 0) message += "、三角形 " + std::to_string(cover.flatTriangle) + " に面積がありません";
    const long double missing = cover.parcelArea - cover.divisionArea;
    const auto area = [](long double value) { return FormatFixedWidth(0, 3, value); };
    message += "、座標面積 " + area(cover.parcelArea) + " のうち" +
               (missing >= 0 ? "覆っていない面積 " + area(missing) : "重なった面積 " + area(-missing));
    return message;
}

}  // namespace zelkan
