#include "geometry/lines.h"

#include <cmath>
#include <numbers>

namespace zelkan {

namespace {
constexpr double kCoincidence = 1e-11;
constexpr double kParallel = 1e-11;
constexpr double kCoordinateLimit = 2147483647.0;
constexpr double kThreeHalvesPi = 4.71238898038469;
}  // namespace

bool LineThrough(TLine& L, double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double len = std::sqrt(dx * dx + dy * dy);
    if (std::fabs(len) <= kCoincidence) return false;
    const double inv = 1.0 / len;
    L.a = -dy * inv;
    L.b = dx * inv;
    L.c = x1 * inv * y2 - x2 * inv * y1;
    return true;
}

void PerpendicularThrough(TLine& L, double px, double py) {
    const double a0 = L.a;
    const double b0 = L.b;
    L.a = b0;
    L.b = -a0;
    L.c = a0 * py - b0 * px;
}

bool IntersectLines(const TLine& L1, const TLine& L2, double& x, double& y) {
    x = 0.0;
    y = 0.0;
    const double det = L1.a * L2.b - L2.a * L1.b;
    if (std::fabs(det) <= kParallel) return false;
    const double inv = 1.0 / det;
    const double X = (L1.b * L2.c - L2.b * L1.c) * inv;
    const double Y = (L2.a * L1.c - L1.a * L2.c) * inv;
    if (!(std::fabs(X) < kCoordinateLimit && std::fabs(Y) < kCoordinateLimit)) return false;
    x = X;
    y = Y;
    return true;
}

bool FootOfPerpendicular(double& fx, double& fy, double x1, double y1, double x2, double y2,
                         double px, double py) {
    TLine base;
    if (!LineThrough(base, x1, y1, x2, y2)) return false;
    TLine normal = base;
    PerpendicularThrough(normal, px, py);
    return IntersectLines(normal, base, fx, fy);
}

double DirectionAngle(double dx, double dy) {
    if (dx != 0.0) {
        const double angle = std::atan(dy / dx);
        return dx < 0.0 ? angle + std::numbers::pi : angle;
    }
    if (dy > 0.0) return std::numbers::pi / 2.0;
    if (dy < 0.0) return kThreeHalvesPi;
    return 0.0;
}

}  // namespace zelkan
