#include "engine/coordinate_area.h"

#include <cmath>

#include "geometry/exact_format.h"
#include "geometry/text_helpers.h"

namespace zelkan {

void NormalizeVertexOrder(EngineTables& t) {
    const int32_t n = t.xynum;
    long double minX = 1e14L, minY = 1e14L;
    int32_t start = 1;  // when no vertex qualifies, the order stays
    for (int32_t v = 1; v <= n; ++v) {
        const TAcadPoint& p = t.xy[static_cast<size_t>(v)];
        if (p.x < minX || (std::trunc(p.x) == std::trunc(minX) && p.y < minY)) {
            start = v;
            minX = p.x;
            minY = p.y;
        }
        t.xy[static_cast<size_t>(n + v)] = p;
    }
    // Vertex start+v-1 lies at that index, or in the copy beyond n; both are
    // unchanged when vertex v is written.
    for (int32_t v = 1; v <= n; ++v) t.xy[static_cast<size_t>(v)] = t.xy[static_cast<size_t>(start + v - 1)];
    for (int32_t v = 1; v <= n; ++v) t.xy[static_cast<size_t>(n + v)] = t.xy[static_cast<size_t>(v)];
}

CoordinateArea MeasureCoordArea(const EngineTables& t, int32_t scaleDenom) {
    CoordinateArea a;
    const int32_t n = t.xynum;
    if (n == 0) return a;
    const auto x = [&t, n](int32_t v) { return static_cast<double>(t.xy[static_cast<size_t>((v + n - 1) % n + 1)].x); };
    const auto y = [&t, n](int32_t v) { return static_cast<double>(t.xy[static_cast<size_t>((v + n - 1) % n + 1)].y); };
    const double scale = scaleDenom;
    std::optional<DecimalText> exactSum = DecimalText{0, 6};
    for (int32_t v = 1; v <= n; ++v) {
        const double term = x(v) * (y(v - 1) - y(v + 1)) / scale / scale;
        ShoelaceRow row;
        row.vertex = v;
        row.term = FormatFixedWidth(16, 6, term);
        a.S += StrToReal(row.term);
        const std::optional<DecimalText> termDecimal = ParseDecimalText(row.term);
        if (exactSum && termDecimal && termDecimal->decimals <= 6)
            exactSum->units += UnitsAt(*termDecimal, 6);
        else
            exactSum.reset();
        row.dx = (x(v + 1) - x(v)) / scale;
        row.dy = (y(v + 1) - y(v)) / scale;
        row.d = std::sqrt(row.dx * row.dx + row.dy * row.dy);
        a.sumDx += row.dx;
        a.sumDy += row.dy;
        a.sumD += row.d;
        const TAcadPoint& p = t.xy[static_cast<size_t>(v)];
        row.x = p.x / scaleDenom;
        row.y = p.y / scaleDenom;
        a.rows.push_back(std::move(row));
    }
    // |S| / 2 at seven decimals: exact, as every half of a sixth decimal is.
    if (exactSum) exactSum = DecimalText{(exactSum->units < 0 ? -exactSum->units : exactSum->units) * 5, 7};
    a.exact = exactSum;
    a.area = std::fabs(a.S / 2);
    return a;
}

}  // namespace zelkan
