#pragma once
// The coordinate-method table (座標求積表) as surveyors file it: one row a
// corner with X (north), Y (east), Yn+1 - Yn-1 and Xn(Yn+1 - Yn-1), then
// the double area (their sum) and the area (half of it). Every figure is an
// exact decimal formed from the printed coordinates, so the printed rows add
// up to the printed double area to the last digit.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/decimal_units.h"

namespace zelkan {

// A corner in boundary order: its name (the file's, else its number) and its
// coordinates in metres.
struct CoordinateCorner {
    std::string name;
    long double x = 0;  // north
    long double y = 0;  // east
};

// Decimals of each column. The defaults lose nothing for corners given to
// the millimetre: products of millimetres have six decimals, their halves
// seven.
struct CoordinateColumns {
    int32_t coordinate = 3;  // X, Y
    int32_t difference = 3;  // Yn+1 - Yn-1
    int32_t product = 6;     // Xn(Yn+1 - Yn-1) and the double area
    int32_t area = 7;        // the area
};
inline constexpr int32_t kMaxCoordinateDecimals = 6;
inline constexpr int32_t kMaxProductDecimals = 12;
inline constexpr int32_t kMaxAreaDecimals = 13;

// The decimals taken within their limits.
CoordinateColumns ClampedColumns(const CoordinateColumns& c);

// One row as printed, and as figures. A column with fewer decimals than its
// exact value is rounded half away from zero.
struct CoordinateTableRow {
    std::string name;
    DecimalText x, y, difference, product;
};

struct CoordinateTable {
    CoordinateColumns columns;
    std::vector<CoordinateTableRow> rows;
    DecimalText doubleArea;  // the sum of the printed products; negative for a boundary that turns the other way
    DecimalText area;        // |doubleArea| / 2 at the area's decimals
    // Empty when the table could be formed; otherwise why not (nothing else is set).
    std::string problem;
};

// The table of corners in boundary order (three or more).
CoordinateTable CoordinateTableOf(const std::vector<CoordinateCorner>& corners, const CoordinateColumns& columns);

// A figure as the table prints it ("-12.110").
std::string TableText(const DecimalText& value);

// The column headings, in order: "点名", "X", "Y", "Yn+1－Yn-1", "Xn(Yn+1－Yn-1)".
inline constexpr const char* kCoordinateTableHeadings[] = {"点名", "X", "Y", "Yn+1－Yn-1", "Xn(Yn+1－Yn-1)"};

}  // namespace zelkan
