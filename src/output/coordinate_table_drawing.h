#pragma once
// The coordinate-method table (座標求積表) as a DXF R12 drawing in the area
// table's style: lines and texts on one layer, the top-left corner at the
// origin, rows downward.
#include <string>

#include "registration/registration_figures.h"

namespace zelkan {

struct CoordinateTableStyle {
    std::string layer;      // the area table's layer
    double textHeight = 4;  // t, already times the drawing scale
    double rowHeight = 8;
};

// The table's width in drawing units: each column as many text heights as
// its longest text has characters, and two more.
double CoordinateTableWidth(const RegistrationFigures& f, double textHeight);

// Corner rows, then 倍面積, 面積 and 地積 with their labels in the fourth
// column. Nothing is written for a table with a problem.
void WriteCoordinateTable(const RegistrationFigures& f, const std::string& fileName, const CoordinateTableStyle& style);

}  // namespace zelkan
