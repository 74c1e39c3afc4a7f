#include "registration/coordinate_table.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "engine/boundary_shape.h"
#include "geometry/exact_format.h"
#include "registration/decimal_steps.h"

namespace zelkan {

namespace {

DecimalText Product(const DecimalText& a, const DecimalText& b) {
    return DecimalText{a.units * b.units, a.decimals + b.decimals};
}

// The coordinate as the one formatter prints it, read back exactly. No
// measured boundary reaches beyond kMaxCoordinate; within it the sums of
// the table fit their units at the most decimals the columns allow.
std::optional<DecimalText> Printed(long double value, int32_t decimals) {
    if (!std::isfinite(value) || std::fabs(value) > kMaxCoordinate) return std::nullopt;
    return ParseDecimalText(FormatFixed(decimals, value));
}

}  // namespace

CoordinateColumns ClampedColumns(const CoordinateColumns& c) {
    return CoordinateColumns{std::clamp(c.coordinate, 0, kMaxCoordinateDecimals),
                             std::clamp(c.difference, 0, kMaxCoordinateDecimals),
                             std::clamp(c.product, 0, kMaxProductDecimals), std::clamp(c.area, 0, kMaxAreaDecimals)};
}

std::string TableText(const DecimalText& value) { return DecimalString(value); }

CoordinateTable CoordinateTableOf(const std::vector<CoordinateCorner>& corners, const CoordinateColumns& columns) {
    CoordinateTable table;
    table.columns = ClampedColumns(columns);
    const CoordinateColumns& c = table.columns;
    if (corners.size() < 3) {
        table.problem = "構成点が 3 点未満です";
        return table;
    }
    for (const CoordinateCorner& corner : corners) {
        const std::optional<DecimalText> x = Printed(corner.x, c.coordinate);
        const std::optional<DecimalText> y = Printed(corner.y, c.coordinate);
        if (!x || !y) {
            table.problem = "座標が大きすぎます: " + corner.name;
            table.rows.clear();
            return table;
        }
        table.rows.push_back(CoordinateTableRow{corner.name, *x, *y, {}, {}});
    }
    const size_t n = table.rows.size();
    Int128 sum = 0;
    for (size_t k = 0; k < n; ++k) {
        CoordinateTableRow& row = table.rows[k];
        const DecimalText& next = table.rows[(k + 1) % n].y;
        const DecimalText& previous = table.rows[(k + n - 1) % n].y;
        row.difference = RoundedTo(Difference(next, previous), c.difference);
        row.product = RoundedTo(Product(row.x, row.difference), c.product);
        sum += row.product.units;
    }
    table.doubleArea = DecimalText{sum, c.product};
    // Half of the magnitude, one decimal further, is exact; then to the area's decimals.
    const Int128 magnitude = sum < 0 ? -sum : sum;
    table.area = RoundedTo(DecimalText{magnitude * 5, c.product + 1}, c.area);
    return table;
}

}  // namespace zelkan
