#include "support/parcels.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "engine/fast_search.h"

namespace zelkan::sample {

void SetParcel(EngineTables& t, const Polygon& vertices) {
    t.xynum = static_cast<int32_t>(vertices.size());
    for (size_t n = 0; n < vertices.size(); ++n)
        t.xy[n + 1] = TAcadPoint{vertices[n].first, vertices[n].second, 0.0L};
}

void PrepareCandidates(EngineTables& t, const Polygon& vertices, const MeasureRules& rules) {
    SetParcel(t, vertices);
    ResetForRun(t);
    EnumerateCandidates(t);
    SortCandidates(t);
    CandidateMetrics(t, rules);
}

namespace {
int32_t FindCandidate(const EngineTables& t, int32_t i, int32_t j, int32_t k) {
    for (int32_t c = 1; c <= t.tritempnum; ++c) {
        const TTriTemp& candidate = t.tritemp[static_cast<size_t>(c)];
        if (candidate.i == i && candidate.j == j && candidate.k == k) return c;
    }
    return 0;
}
}  // namespace

std::vector<int32_t> CandidatesOf(EngineTables& t, const std::vector<std::array<int32_t, 3>>& triangles) {
    std::vector<int32_t> candidates;
    for (auto [i, j, k] : triangles) {
        Sort3(i, j, k);
        int32_t c = FindCandidate(t, i, j, k);
        if (c == 0) {
            AddCandidate(t, i, j, k, IsPolygonSide(t, i, j), IsPolygonSide(t, j, k), IsPolygonSide(t, i, k));
            c = t.tritempnum;
        }
        candidates.push_back(c);
    }
    return candidates;
}

bool SearchEveryDivision(EngineTables& t) {
    SilentSearchControl control;
    SteadyMillisecondClock clock;
    FastTriangulationSearch search(t, control, clock, 0);
    search.trianproc();
    return search.memoryFull();
}

std::vector<std::vector<int32_t>> EveryStoredDivision(const EngineTables& t) {
    std::vector<std::vector<int32_t>> every;
    for (int32_t r = 1; r <= t.trisets.trisetnum(); ++r) every.push_back(StoredDivision(t, r));
    return every;
}

std::vector<NamedParcel> SmallParcelsOfEachKind() {
    return {
        {"regular octagon", RegularPolygon(8, 50, 0.1)},
        {"irregular convex 10", IrregularConvex(10, 7)},
        {"star 12", StarShaped(12, 3)},
        {"comb", Comb(10, 5)},
        {"collinear run", CollinearRun(9, 2)},
        {"rectilinear", Rectilinear(10, 4)},
        {"road curve 11", RoadCurveLot(11, 7)},
    };
}

double PolygonArea(const Polygon& p) {
    long double twice = 0;
    for (size_t v = 0; v < p.size(); ++v) {
        const auto& [x1, y1] = p[v];
        const auto& [x2, y2] = p[(v + 1) % p.size()];
        twice += static_cast<long double>(x1) * y2 - static_cast<long double>(x2) * y1;
    }
    return static_cast<double>(std::fabs(twice) / 2);
}

Polygon RegularPolygon(int n, double radius, double rotation) {
    Polygon p;
    for (int v = 0; v < n; ++v) {
        const double a = rotation + 2 * std::numbers::pi * v / n;
        p.emplace_back(radius * std::cos(a), radius * std::sin(a));
    }
    return p;
}

Polygon IrregularConvex(int n, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> spread(-0.35, 0.35);
    Polygon p;
    for (int v = 0; v < n; ++v) {
        const double a = 2 * std::numbers::pi * (v + spread(random)) / n;
        p.emplace_back(100 * std::cos(a), 60 * std::sin(a));
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

Polygon Comb(int n, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> jitter(-0.4, 0.4);
    std::uniform_real_distribution<double> depth(4.0, 9.0);
    const int teeth = std::max(2, (n - 2) / 4 + 1);
    const double width = 3.0 * (2 * teeth - 1);
    Polygon p{{0.0, 0.0}, {width, 0.0}};
    for (int k = teeth - 1; k >= 0; --k) {
        const double right = 3.0 * (2 * k + 1), left = 3.0 * (2 * k);
        p.emplace_back(right + jitter(random), 10.0 + jitter(random));
        p.emplace_back(left + jitter(random), 10.0 + jitter(random));
        if (k > 0) {
            const double notch = 10.0 - depth(random);
            p.emplace_back(left - 0.2 + jitter(random) * 0.3, notch);
            p.emplace_back(left - 2.8 + jitter(random) * 0.3, notch + jitter(random));
        }
    }
    p[2].first = width;  // the last tooth's outer side stands exactly vertical
    p.back().first = 0.0;
    return p;
}

Polygon CollinearRun(int n, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> radius(20.0, 30.0);
    const int run = std::max(2, n / 2);
    Polygon p;
    for (int v = 0; v < run; ++v) p.emplace_back(-20.0 + 40.0 * v / (run - 1), 0.0);
    const int rest = n - run;
    for (int v = 1; v <= rest; ++v) {
        const double a = std::numbers::pi * v / (rest + 1);
        p.emplace_back(radius(random) * std::cos(a), radius(random) * std::sin(a));
    }
    return p;
}

Polygon Rectilinear(int n, uint32_t seed) {
    // A staircase: up and right in unit steps of random size, then back
    // along the axes; always an even count of corners.
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> step(1, 4);
    const int steps = std::max(1, (n - 2) / 2);
    Polygon p{{0.0, 0.0}};
    double x = 0, y = 0;
    for (int k = 0; k < steps; ++k) {
        x += step(random);
        p.emplace_back(x, y);
        y += step(random);
        p.emplace_back(x, y);
    }
    p.emplace_back(0.0, y);  // back along the top and down the left side
    return p;
}

namespace {
double Millimetres(double metres) { return std::round(metres * 1000) / 1000; }
}  // namespace

Polygon RoadCurveLot(int n, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> wobble(-0.05, 0.05);
    std::uniform_real_distribution<double> depth(16.0, 20.0);
    const int front = std::max(2, n * 2 / 3), back = std::max(1, n - front);
    const double radius = 60.0, degree = std::numbers::pi / 180;
    Polygon p;
    for (int k = 0; k < front; ++k) {
        const double a = (200 + 50.0 * k / (front - 1)) * degree, r = radius + wobble(random);
        p.emplace_back(Millimetres(r * std::cos(a)), Millimetres(r * std::sin(a)));
    }
    for (int k = 0; k < back; ++k) {
        const double a = (250 - 50.0 * (k + 0.5) / back) * degree, r = radius + depth(random);
        p.emplace_back(Millimetres(r * std::cos(a)), Millimetres(r * std::sin(a)));
    }
    return p;
}

namespace {
// Corners at irregular angles, each `radius` times `nearest` to 1 from the
// centre, stretched along x and y, to the millimetre.
Polygon RoundLot(int n, uint32_t seed, double radius, double xStretch, double yStretch, double nearest) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> turn(0, 2 * std::numbers::pi);
    std::uniform_real_distribution<double> reach(nearest, 1.0);
    std::vector<double> angles(static_cast<size_t>(n));
    for (double& a : angles) a = turn(random);
    std::sort(angles.begin(), angles.end());
    Polygon p;
    for (const double a : angles) {
        const double r = radius * reach(random);
        p.emplace_back(Millimetres(xStretch * r * std::cos(a)), Millimetres(yStretch * r * std::sin(a)));
    }
    return p;
}
}  // namespace

Polygon IrregularLot(int n, uint32_t seed) { return RoundLot(n, seed, 30, 1.4, 1, 0.8); }

Polygon NearStraightStrip(int n, double length, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> wobble(-0.05, 0.05), slide(-1.0, 1.0), turn(0, 2 * std::numbers::pi);
    const double phase = turn(random), period = (0.6 + 0.9 * std::uniform_real_distribution<double>(0, 1)(random)) * length;
    const auto width = [&](double x) { return 12.5 + 7.5 * std::sin(phase + 2 * std::numbers::pi * x / period); };
    const int front = n / 2, back = n - front;
    Polygon p;
    for (int k = 0; k < front; ++k) {
        const double x = length * k / (front - 1) + (k > 0 && k < front - 1 ? slide(random) : 0);
        p.emplace_back(x, wobble(random));
    }
    for (int k = 0; k < back; ++k) {
        const double x = length * (back - 1 - k) / (back - 1) + (k > 0 && k < back - 1 ? slide(random) : 0);
        p.emplace_back(x, width(x) + wobble(random));
    }
    const double angle = turn(random), c = std::cos(angle), s = std::sin(angle);
    for (auto& [x, y] : p) {
        const double turnedX = x * c - y * s, turnedY = x * s + y * c;
        x = Millimetres(turnedX);
        y = Millimetres(turnedY);
    }
    return p;
}

Polygon LargeRoundParcel(int n, uint32_t seed) { return RoundLot(n, seed, 1, 300, 200, 0.85); }

Polygon Shifted(Polygon p, double dx, double dy) {
    for (auto& v : p) v.first += dx, v.second += dy;
    return p;
}

}  // namespace zelkan::sample
