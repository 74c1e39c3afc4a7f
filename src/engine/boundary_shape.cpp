#include "engine/boundary_shape.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "geometry/errors.h"

namespace zelkan {

namespace {

struct Point {
    long double x;
    long double y;
};

bool SameXY(const TAcadPoint& a, const TAcadPoint& b) { return a.x == b.x && a.y == b.y; }

// Twice the signed area of abc: positive when c lies left of ab.
int Orientation(const Point& a, const Point& b, const Point& c) {
    const long double cross = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    return (cross > 0) - (cross < 0);
}

// p on the closed segment ab, given that the three are collinear.
bool WithinBox(const Point& a, const Point& b, const Point& p) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

enum class Contact { None, Cross, Touch };

Contact SegmentContact(const Point& a, const Point& b, const Point& c, const Point& d) {
    const int o1 = Orientation(a, b, c), o2 = Orientation(a, b, d);
    const int o3 = Orientation(c, d, a), o4 = Orientation(c, d, b);
    if (o1 * o2 < 0 && o3 * o4 < 0) return Contact::Cross;
    if ((o1 == 0 && WithinBox(a, b, c)) || (o2 == 0 && WithinBox(a, b, d)) || (o3 == 0 && WithinBox(c, d, a)) ||
        (o4 == 0 && WithinBox(c, d, b)))
        return Contact::Touch;
    return Contact::None;
}

std::string SideName(int32_t from, int32_t n) {
    return std::to_string(from) + "-" + std::to_string(from == n ? 1 : from + 1);
}

[[noreturn]] void Refuse(Contact contact, int32_t side1, int32_t side2, int32_t n) {
    const std::string sides = "辺 " + SideName(side1, n) + " と辺 " + SideName(side2, n);
    throw InvalidInputError(contact == Contact::Cross ? "筆界が交差しています: " + sides
                                                      : "筆界が接しています: " + sides);
}

// Two corners closer than the tolerance: a side between them has no length
// a survey could mean, and triangles on it have no area.
void RefuseNearCorners(const std::vector<Point>& p, int32_t n, long double tolerance) {
    std::vector<int32_t> order(static_cast<size_t>(n));
    for (int32_t v = 1; v <= n; ++v) order[static_cast<size_t>(v) - 1] = v;
    const auto at = [&p](int32_t v) -> const Point& { return p[static_cast<size_t>(v)]; };
    std::sort(order.begin(), order.end(),
              [&at](int32_t a, int32_t b) { return at(a).x < at(b).x || (at(a).x == at(b).x && a < b); });
    // Sorted by x, each corner is compared only with those within the
    // tolerance to its right.
    for (size_t a = 0; a < order.size(); ++a) {
        for (size_t b = a + 1; b < order.size() && at(order[b]).x - at(order[a]).x <= tolerance; ++b) {
            const long double gap = std::hypot(at(order[b]).x - at(order[a]).x, at(order[b]).y - at(order[a]).y);
            if (gap > tolerance) continue;
            char text[32];
            std::snprintf(text, sizeof text, "%.2g", static_cast<double>(gap));
            throw InvalidInputError("構成点が近すぎます: 構成点 " + std::to_string(std::min(order[a], order[b])) +
                                    " と構成点 " + std::to_string(std::max(order[a], order[b])) + "（間隔 " + text +
                                    "）");
        }
    }
}

}  // namespace

long double CoincidenceTolerance(const EngineTables& t) {
    if (t.xynum < 1) return 0;
    long double lowX = t.xy[1].x, highX = lowX, lowY = t.xy[1].y, highY = lowY;
    for (int32_t v = 2; v <= t.xynum; ++v) {
        const TAcadPoint& q = t.xy[static_cast<size_t>(v)];
        lowX = std::min(lowX, q.x);
        highX = std::max(highX, q.x);
        lowY = std::min(lowY, q.y);
        highY = std::max(highY, q.y);
    }
    return 1e-9L * std::max(highX - lowX, highY - lowY);
}

bool FlatTriangle(const TAcadPoint& a, const TAcadPoint& b, const TAcadPoint& c, long double tolerance) {
    const long double twiceArea = std::fabs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x));
    const long double longest = std::max({std::hypot(b.x - a.x, b.y - a.y), std::hypot(c.x - b.x, c.y - b.y),
                                          std::hypot(a.x - c.x, a.y - c.y)});
    return twiceArea <= tolerance * longest;
}

int32_t DropRepeatedVertices(EngineTables& t) {
    int32_t kept = 0;
    for (int32_t n = 1; n <= t.xynum; ++n) {
        const TAcadPoint& p = t.xy[static_cast<size_t>(n)];
        if (kept > 0 && SameXY(p, t.xy[static_cast<size_t>(kept)])) continue;
        t.xy[static_cast<size_t>(++kept)] = p;
    }
    while (kept > 1 && SameXY(t.xy[static_cast<size_t>(kept)], t.xy[1])) --kept;
    const int32_t dropped = t.xynum - kept;
    t.xynum = kept;
    return dropped;
}

std::string RepeatedVerticesNote(int32_t dropped) {
    return "重複した構成点 " + std::to_string(dropped) + " 点を除きました";
}

void CheckBoundaryShape(const EngineTables& t) {
    const int32_t n = t.xynum;
    std::vector<Point> p(static_cast<size_t>(n) + 2);
    for (int32_t v = 1; v <= n; ++v) {
        const TAcadPoint& q = t.xy[static_cast<size_t>(v)];
        // Beyond the bound first: a number beyond every double is read as infinite.
        if (std::fabs(q.x) > kMaxCoordinate || std::fabs(q.y) > kMaxCoordinate)
            throw InvalidInputError("構成点 " + std::to_string(v) + " の座標が大きすぎます（±1e10 まで）");
        if (!std::isfinite(q.x) || !std::isfinite(q.y))
            throw InvalidInputError("構成点 " + std::to_string(v) + " の座標が数ではありません");
        p[static_cast<size_t>(v)] = Point{q.x, q.y};
    }
    if (n < 3) return;
    p[static_cast<size_t>(n) + 1] = p[1];
    const auto at = [&p](int32_t v) -> const Point& { return p[static_cast<size_t>(v)]; };

    // A side that runs back along the one before it (a spike) overlaps it.
    for (int32_t v = 1; v <= n; ++v) {
        const int32_t before = v == 1 ? n : v - 1;
        const Point &a = at(before), &b = at(v), &c = at(v + 1);
        const long double dot = (a.x - b.x) * (c.x - b.x) + (a.y - b.y) * (c.y - b.y);
        if (Orientation(a, b, c) == 0 && dot > 0) Refuse(Contact::Touch, before, v, n);
    }
    // Sides that share no corner must have no point in common. Sorted by
    // their lowest x, each side is compared only with those that start
    // before it ends.
    std::vector<int32_t> order(static_cast<size_t>(n));
    for (int32_t s = 1; s <= n; ++s) order[static_cast<size_t>(s) - 1] = s;
    const auto lowX = [&at](int32_t s) { return std::min(at(s).x, at(s + 1).x); };
    const auto highX = [&at](int32_t s) { return std::max(at(s).x, at(s + 1).x); };
    std::sort(order.begin(), order.end(), [&lowX](int32_t a, int32_t b) { return lowX(a) < lowX(b) || (lowX(a) == lowX(b) && a < b); });
    for (size_t a = 0; a < order.size(); ++a) {
        const int32_t s1 = order[a];
        for (size_t b = a + 1; b < order.size() && lowX(order[b]) <= highX(s1); ++b) {
            const int32_t s2 = order[b];
            const int32_t gap = std::abs(s1 - s2);
            if (gap == 1 || gap == n - 1) continue;  // neighbours share a corner
            const Contact contact = SegmentContact(at(s1), at(s1 + 1), at(s2), at(s2 + 1));
            if (contact != Contact::None) Refuse(contact, std::min(s1, s2), std::max(s1, s2), n);
        }
    }
    RefuseNearCorners(p, n, CoincidenceTolerance(t));
    // Three corners all but on one line make a parcel too thin to divide:
    // no triangle of it is a candidate, and no division could be found.
    if (n == 3 && FlatTriangle(t.xy[1], t.xy[2], t.xy[3], CoincidenceTolerance(t))) throw InvalidInputError(kTooThinMessage);
}

}  // namespace zelkan
