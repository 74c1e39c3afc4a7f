#include "engine/candidates.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "engine/boundary_shape.h"
#include "geometry/errors.h"
#include "geometry/lines.h"
#include "geometry/numbers.h"
#include "geometry/text_helpers.h"

namespace zelkan {

namespace {

constexpr double kOnLine = 1e-10;
constexpr double kStillOnLine = 1e-9;
constexpr long double kDegreesPerRadian = 57.295779513082320877L;
constexpr long double kPi = std::numbers::pi_v<long double>;

const TAcadPoint& P(const EngineTables& t, int32_t v) { return t.xy[static_cast<size_t>(v)]; }

struct Point2 {
    double x;
    double y;
};

// A point as the point test reads it: from the parcel's first corner, so
// that its tolerances act at survey coordinates as they do at the origin.
Point2 FromOrigin(const TAcadPoint& p, const TAcadPoint& origin) {
    return {static_cast<double>(p.x - origin.x), static_cast<double>(p.y - origin.y)};
}

// An interior angle from the difference of two direction angles, brought
// into [0, pi].
double InteriorAngle(const TAcadPoint& at, const TAcadPoint& from1, const TAcadPoint& from2) {
    const double a1 = DirectionAngle(static_cast<double>(at.x - from1.x), static_cast<double>(at.y - from1.y));
    const double a2 = DirectionAngle(static_cast<double>(at.x - from2.x), static_cast<double>(at.y - from2.y));
    double theta = a1 - a2;
    if (theta < 0) theta = static_cast<double>(theta + 2 * kPi);
    if (theta > static_cast<double>(2 * kPi)) theta = static_cast<double>(theta - 2 * kPi);
    if (theta >= static_cast<double>(kPi)) theta = static_cast<double>(2 * kPi - theta);
    return theta;
}

bool InClosedRange(double a, double b, double value) { return MinReal(a, b) <= value && value <= MaxReal(a, b); }

// The crossing test when segment VW is exactly vertical and PQ is not,
// decided as the general case decides: PQ reaches VW's x and meets its
// line within VW, both ranges inclusive and without margin.
bool CrossesVertical(const TAcadPoint& V, const TAcadPoint& W, const TAcadPoint& P, const TAcadPoint& Q) {
    const double x = static_cast<double>(V.x);
    if (!InClosedRange(static_cast<double>(P.x), static_cast<double>(Q.x), x)) return false;
    const long double slope = (P.y - Q.y) / (P.x - Q.x);
    const double y = static_cast<double>(P.y + (x - P.x) * slope);
    return InClosedRange(static_cast<double>(V.y), static_cast<double>(W.y), y);
}

bool SamePoint(const TAcadPoint& p, const TAcadPoint& q) { return p.x == q.x && p.y == q.y; }

// Whether corner u lies within `tolerance` of the segment ab. A side through
// a corner it does not own is no diagonal: where the corner's own sides run
// along it (corners on a straight run) no crossing test can tell.
bool PassesThroughCorner(const TAcadPoint& a, const TAcadPoint& b, const TAcadPoint& u, long double tolerance) {
    const long double dx = b.x - a.x, dy = b.y - a.y;
    const long double length2 = dx * dx + dy * dy;
    long double along = length2 > 0 ? ((u.x - a.x) * dx + (u.y - a.y) * dy) / length2 : 0;
    along = std::clamp(along, 0.0L, 1.0L);
    const long double ex = u.x - (a.x + along * dx), ey = u.y - (a.y + along * dy);
    return ex * ex + ey * ey <= tolerance * tolerance;
}

// One base-and-height variant: base from `from` to `to`, apex `apex`.
void MeasureBase(TBaseVariant& variant, const TAcadPoint& from, const TAcadPoint& to, const TAcadPoint& apex,
                 const std::string& baseText, const MeasureRules& rules) {
    double fx = 0, fy = 0;
    if (!FootOfPerpendicular(fx, fy, static_cast<double>(from.x), static_cast<double>(from.y),
                             static_cast<double>(to.x), static_cast<double>(to.y), static_cast<double>(apex.x),
                             static_cast<double>(apex.y)))
        return;
    const double height = static_cast<double>(Distance(apex, TAcadPoint{fx, fy, 0}) / static_cast<long double>(rules.scale));
    std::string heightText;
    KetaFormat(rules.lengthMode, rules.lengthDigits, height, heightText);
    // base x height from the full texts, not the stored (cut) ones
    const double product = static_cast<double>(static_cast<long double>(StrToReal(heightText)) * StrToReal(baseText));
    std::string areaText;
    KetaFormat(rules.areaMode, rules.areaDigits, product, areaText);
    variant.footX = fx;
    variant.footY = fy;
    variant.height = height;
    variant.heightText = heightText;
    variant.areaText = areaText;
}

// Ray casting towards +x over vertices 1..m (m = xynum + 1 holds vertex 1
// again), read through vertex(i) as doubles.
template <typename Vertex>
bool PointInRing(int32_t m, Vertex vertex, double px, double py) {
    int32_t count = 0;
    int32_t i = 1;
    Point2 prev = vertex(1);
    bool wrapped = false;
    do {
        ++i;
        Point2 cur = vertex(i);

        const double lo = MinReal(prev.y, cur.y) + kOnLine;
        const double hi = MaxReal(prev.y, cur.y) - kOnLine;
        if (lo < py && py < hi) {
            const double xs = (cur.x - prev.x) * (py - prev.y) / (cur.y - prev.y) + prev.x;
            if (xs > px) ++count;
        }

        // A vertex on the ray's line: follow the run of vertices on it and
        // count once if the boundary passes to the other side.
        if (std::fabs(cur.y - py) < kOnLine && std::fabs(prev.y - py) > 0) {
            const double xon = cur.x;
            const bool above = py - prev.y <= 0;
            for (;;) {
                ++i;
                if (i > m) {
                    if (wrapped) break;
                    wrapped = true;
                    i = 0;
                    continue;
                }
                const Point2 next = vertex(i);
                if (std::fabs(next.y - py) < kStillOnLine) continue;
                cur = next;
                if (xon > px && ((cur.y < py && above) || (cur.y >= py && !above))) ++count;
                break;
            }
        }
        prev = cur;
    } while (!wrapped && i < m);
    return count > 0 && count % 2 == 1;
}

// The tests of a triple that depend on one of its pairs alone: the
// midpoint inside the parcel (not for a boundary side) and no crossing of a
// boundary side other than the pair itself. The point test is a template
// parameter so that it is inlined.
template <typename Inside>
bool PairRejected(EngineTables& t, int32_t a, int32_t b, bool boundarySide, long double tolerance, const Inside& inside) {
    const TAcadPoint pa = P(t, a), pb = P(t, b);
    if (!boundarySide && !inside((pa.x + pb.x) * 0.5L, (pa.y + pb.y) * 0.5L)) return true;
    // Two segments can only cross, and a corner can only lie on the pair,
    // where their x ranges meet; the slack covers the tolerance and the
    // rounding of the crossing test to doubles.
    const long double slack = tolerance + 1e-12L * (1 + std::fabs(pa.x) + std::fabs(pb.x));
    const long double lowX = std::min(pa.x, pb.x) - slack, highX = std::max(pa.x, pb.x) + slack;
    for (int32_t s = 1; s <= t.sidenum; ++s) {
        const TSidePair side = t.sidelist[static_cast<size_t>(s)];
        const TAcadPoint &pu = P(t, side.a), &pv = P(t, side.b);
        if (std::max(pu.x, pv.x) < lowX || std::min(pu.x, pv.x) > highX) continue;
        if (!(side.a == a && side.b == b) && SidesCross(pu, pv, pa, pb)) return true;
        // Every corner starts one side.
        if (!boundarySide && side.a != a && side.a != b && PassesThroughCorner(pa, pb, pu, tolerance)) return true;
    }
    return false;
}

template <typename Inside>
bool CentroidInside(const EngineTables& t, int32_t i, int32_t j, int32_t k, const Inside& inside) {
    const TAcadPoint pi = P(t, i), pj = P(t, j), pk = P(t, k);
    return inside((pi.x + pj.x + pk.x) / 3, (pi.y + pj.y + pk.y) / 3);
}

}  // namespace

void EnumerateCandidates(EngineTables& t) {
    BuildSideList(t);
    t.tritempnum = 0;
    const int32_t n = t.xynum;
    // The midpoint and boundary tests of a triple depend only on its pairs:
    // each pair is tested once, when a triple first needs it. A pair excluded
    // by either excludes every triple through it, before its centroid is
    // tested (all tests are pure, so the order does not change which triples
    // are admitted). Testing lazily also lets a parcel with more candidates
    // than the table holds fail after the pairs its first 99999 need, not
    // after all of them.
    enum : uint8_t { kUntested = 0, kPairOk = 1, kPairRejected = 2 };
    std::vector<uint8_t> pairState(static_cast<size_t>(n + 1) * static_cast<size_t>(n + 1), kUntested);
    // The vertices as the point tests read them, converted once.
    t.xy[static_cast<size_t>(n) + 1] = t.xy[1];
    const TAcadPoint origin = t.xy[1];
    std::vector<Point2> ring(static_cast<size_t>(n) + 2);
    for (int32_t v = 1; v <= n + 1; ++v) ring[static_cast<size_t>(v)] = FromOrigin(t.xy[static_cast<size_t>(v)], origin);
    const auto inside = [&ring, n, &origin](long double px, long double py) {
        const Point2 p = FromOrigin(TAcadPoint{px, py, 0}, origin);
        return PointInRing(n + 1, [&ring](int32_t i) { return ring[static_cast<size_t>(i)]; }, p.x, p.y);
    };
    const long double tolerance = CoincidenceTolerance(t);
    const auto ok = [&](int32_t a, int32_t b) {
        uint8_t& state = pairState[static_cast<size_t>(a) * static_cast<size_t>(n + 1) + static_cast<size_t>(b)];
        if (state == kUntested)
            state = PairRejected(t, a, b, IsPolygonSide(t, a, b), tolerance, inside) ? kPairRejected : kPairOk;
        return state == kPairOk;
    };
    for (int32_t i = 1; i <= n - 2; ++i) {
        for (int32_t j = i + 1; j <= n - 1; ++j) {
            if (!ok(i, j)) continue;
            for (int32_t k = j + 1; k <= n; ++k) {
                if (!ok(i, k) || !ok(j, k) || FlatTriangle(P(t, i), P(t, j), P(t, k), tolerance) ||
                    !CentroidInside(t, i, j, k, inside))
                    continue;
                AddCandidate(t, i, j, k, j - i == 1, k - j == 1, k == n && i == 1);
            }
        }
    }
}

void EnumerateCandidatesLiterally(EngineTables& t) {
    BuildSideList(t);
    t.tritempnum = 0;
    const int32_t n = t.xynum;
    for (int32_t i = 1; i <= n - 2; ++i) {
        for (int32_t j = i + 1; j <= n - 1; ++j) {
            for (int32_t k = j + 1; k <= n; ++k) {
                const uint8_t ijEdge = j - i == 1;
                const uint8_t jkEdge = k - j == 1;
                const uint8_t kiEdge = k == n && i == 1;
                if (!TriangleRejected(t, i, j, k, ijEdge, jkEdge, kiEdge)) AddCandidate(t, i, j, k, ijEdge, jkEdge, kiEdge);
            }
        }
    }
}

void AddCandidate(EngineTables& t, int32_t i, int32_t j, int32_t k, uint8_t ijEdge, uint8_t jkEdge,
                  uint8_t kiEdge) {
    if (t.tritempnum >= kMaxCandidates) throw CapacityError(kTritempnumOverflow);
    ++t.tritempnum;
    TTriTemp& c = t.tritemp[static_cast<size_t>(t.tritempnum)];
    c.i = i;
    c.j = j;
    c.k = k;
    c.ijEdge = ijEdge;
    c.jkEdge = jkEdge;
    c.kiEdge = kiEdge;
    c.shape = ShapeDeviation(t, i, j, k);
}

void SortCandidates(EngineTables& t) {
    // A stable sort gives exactly the order of repeated adjacent swaps on
    // "strictly greater", without their quadratic cost.
    const auto first = t.tritemp.begin() + 1;
    std::stable_sort(first, first + t.tritempnum,
                     [](const TTriTemp& a, const TTriTemp& b) { return a.shape < b.shape; });
}

void CandidateMetrics(EngineTables& t, const MeasureRules& rules) {
    const long double scale = rules.scale;
    std::string ijText, jkText, kiText, heronText;
    for (int32_t m = 1; m <= t.tritempnum; ++m) {
        TTriTemp& c = t.tritemp[static_cast<size_t>(m)];
        const TAcadPoint& pi = P(t, c.i);
        const TAcadPoint& pj = P(t, c.j);
        const TAcadPoint& pk = P(t, c.k);
        const double lenIJ = static_cast<double>(Distance(pi, pj) / scale);
        const double lenJK = static_cast<double>(Distance(pj, pk) / scale);
        const double lenKI = static_cast<double>(Distance(pk, pi) / scale);
        KetaFormat(rules.lengthMode, rules.lengthDigits, lenIJ, ijText);
        KetaFormat(rules.lengthMode, rules.lengthDigits, lenJK, jkText);
        KetaFormat(rules.lengthMode, rules.lengthDigits, lenKI, kiText);
        const double heron = HeronArea(StrToReal(ijText), StrToReal(jkText), StrToReal(kiText));
        KetaFormat(rules.areaMode, rules.areaDigits, heron, heronText);

        c.lenIJ = lenIJ;
        c.lenIJText = ijText;
        c.lenJK = lenJK;
        c.lenJKText = jkText;
        c.lenKI = lenKI;
        c.lenKIText = kiText;
        c.heron = heron;
        c.heronText = heronText;

        MeasureBase(c.ij, pi, pj, pk, ijText, rules);
        MeasureBase(c.jk, pj, pk, pi, jkText, rules);
        MeasureBase(c.ki, pk, pi, pj, kiText, rules);
    }
}

bool PointInParcel(EngineTables& t, long double px, long double py) {
    const int32_t m = t.xynum + 1;
    t.xy[static_cast<size_t>(m)] = t.xy[1];
    const TAcadPoint origin = t.xy[1];
    const Point2 p = FromOrigin(TAcadPoint{px, py, 0}, origin);
    return PointInRing(m, [&t, &origin](int32_t i) { return FromOrigin(t.xy[static_cast<size_t>(i)], origin); }, p.x, p.y);
}

namespace {

// The crossing test on points near the origin, where doubles hold their digits.
bool LocalSidesCross(const TAcadPoint& A, const TAcadPoint& B, const TAcadPoint& C, const TAcadPoint& D) {
    const double dx1 = static_cast<double>(A.x - B.x);
    const double dy1 = static_cast<double>(A.y - B.y);
    const double dx2 = static_cast<double>(C.x - D.x);
    const double dy2 = static_cast<double>(C.y - D.y);
    if (dx1 == 0 && dx2 == 0) return false;  // parallel
    if (dx1 == 0) return CrossesVertical(A, B, C, D);
    if (dx2 == 0) return CrossesVertical(C, D, A, B);
    const double s1 = dy1 / dx1;
    const double s2 = dy2 / dx2;
    if (s1 - s2 == 0) return false;
    const double X = static_cast<double>(((C.y - A.y) - C.x * s2 + A.x * s1) / (static_cast<long double>(s1) - s2));
    return InClosedRange(static_cast<double>(A.x), static_cast<double>(B.x), X) &&
           InClosedRange(static_cast<double>(C.x), static_cast<double>(D.x), X);
}

}  // namespace

bool SidesCross(const TAcadPoint& A, const TAcadPoint& B, const TAcadPoint& C, const TAcadPoint& D) {
    if (SamePoint(A, C) || SamePoint(A, D) || SamePoint(B, C) || SamePoint(B, D)) return false;
    // Decided from A, as at the origin: at survey coordinates the crossing's
    // abscissa, formed from products of coordinates near a million, would
    // lose the digits that tell a parcel a few centimetres across.
    const auto local = [&A](const TAcadPoint& p) { return TAcadPoint{p.x - A.x, p.y - A.y, 0}; };
    return LocalSidesCross(local(A), local(B), local(C), local(D));
}

bool TriangleRejected(EngineTables& t, int32_t i, int32_t j, int32_t k, uint8_t ijEdge, uint8_t jkEdge,
                      uint8_t kiEdge) {
    const TAcadPoint pi = P(t, i), pj = P(t, j), pk = P(t, k);
    if (!PointInParcel(t, (pi.x + pj.x + pk.x) / 3, (pi.y + pj.y + pk.y) / 3)) return true;

    const auto midpointInside = [&t](const TAcadPoint& a, const TAcadPoint& b) {
        return PointInParcel(t, (a.x + b.x) * 0.5L, (a.y + b.y) * 0.5L);
    };
    if (!ijEdge && !midpointInside(pi, pj)) return true;
    if (!kiEdge && !midpointInside(pi, pk)) return true;
    if (!jkEdge && !midpointInside(pj, pk)) return true;

    for (int32_t s = 1; s <= t.sidenum; ++s) {
        const TSidePair side = t.sidelist[static_cast<size_t>(s)];
        const TAcadPoint& pu = P(t, side.a);
        const TAcadPoint& pv = P(t, side.b);
        if (!(side.a == i && side.b == j) && SidesCross(pu, pv, pi, pj)) return true;
        if (!(side.a == j && side.b == k) && SidesCross(pu, pv, pj, pk)) return true;
        if (!(side.a == i && side.b == k) && SidesCross(pu, pv, pi, pk)) return true;
    }

    const long double tolerance = CoincidenceTolerance(t);
    const auto throughCorner = [&t, tolerance](int32_t a, int32_t b) {
        for (int32_t v = 1; v <= t.xynum; ++v)
            if (v != a && v != b && PassesThroughCorner(P(t, a), P(t, b), P(t, v), tolerance)) return true;
        return false;
    };
    if (!ijEdge && throughCorner(i, j)) return true;
    if (!kiEdge && throughCorner(i, k)) return true;
    if (!jkEdge && throughCorner(j, k)) return true;
    return FlatTriangle(pi, pj, pk, tolerance);
}

double ShapeDeviation(const EngineTables& t, int32_t i, int32_t j, int32_t k) {
    const TAcadPoint& pi = P(t, i);
    const TAcadPoint& pj = P(t, j);
    const TAcadPoint& pk = P(t, k);
    const double thetaK = InteriorAngle(pk, pi, pj);
    const double thetaJ = InteriorAngle(pj, pi, pk);
    const double thetaI = InteriorAngle(pi, pk, pj);
    const long double third = kPi / 3;
    const long double sum = std::fabs(std::fabs(static_cast<long double>(thetaI)) - third) +
                            std::fabs(std::fabs(static_cast<long double>(thetaJ)) - third) +
                            std::fabs(std::fabs(static_cast<long double>(thetaK)) - third);
    return static_cast<double>(RoundTiesToEven(sum * kDegreesPerRadian));
}

}  // namespace zelkan
