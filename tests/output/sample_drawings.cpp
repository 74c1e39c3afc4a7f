#include "output/sample_drawings.h"

#include <array>
#include <memory>
#include <vector>

#include "engine/tables.h"
#include "output/area_table.h"
#include "output/coordinate_table_drawing.h"
#include "output/result_drawing.h"
#include "support/parcels.h"

namespace zelkan::test {

namespace {

DrawingStyle DefaultDrawingStyle() {
    DrawingStyle s;
    s.layerHen = "S_HEN";
    s.layerTakasa = "S_TAKASA";
    s.layerText = "S_TEXT";
    s.labelHeight = 3;
    s.numberHeight = 4;
    s.numberRadius = 5;
    s.lengthMode = KetaMode::HalfUp;
    s.lengthDigits = 2;
    s.measureScaleDenom = 1;
    return s;
}

TableStyle DefaultTableStyle() {
    TableStyle s;
    s.layer = "S_HYO";
    s.textHeight = 4;
    s.rowHeight = 8;
    s.rounding = RunRounding{KetaMode::HalfUp, 2, KetaMode::HalfUp, 4, KetaMode::HalfUp, 2};
    return s;
}

// The division as the search leaves it: the parcel's own candidates with
// their edge flags (none of a parcel drawn before), in ascending order.
void Divide(EngineTables& t, const std::vector<std::array<int32_t, 3>>& triangles) {
    t.tritempnum = 0;
    LoadDivision(t, sample::CandidatesOf(t, triangles));
}

}  // namespace

RegistrationFigures FourCornerFigures() {
    const std::vector<CoordinateCorner> corners{
        {"K1", 3.02, -12.11}, {"K2", 13.18, -12.73}, {"K3", 23.81, 10.11}, {"K4", 0.86, 16.53}};
    return RegistrationFiguresOf(CoordinateTableOf(corners, CoordinateColumns{}), "441.04",
                                 RegistrationInput{LandClass::Residential, PrecisionClass::Kou2, std::nullopt});
}

std::vector<std::string> WriteSampleDrawings(const std::string& folder) {
    auto t = std::make_unique<EngineTables>();
    const DrawingStyle drawing = DefaultDrawingStyle();
    const TableStyle table = DefaultTableStyle();
    const auto path = [&folder](const char* name) { return folder + "/" + name; };

    // A square 1..4 divided on its diagonal 1-3.
    sample::SetParcel(*t, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    Divide(*t, {{1, 2, 3}, {1, 3, 4}});
    WriteResultDrawing(*t, path("square_res.dxf"), 1, drawing);
    WriteAreaTable(*t, path("square_seki.dxf"), 1, table, SanshaColumns{});
    WriteHeronResultDrawing(*t, path("square_heron_res.dxf"), 1, drawing);
    WriteHeronAreaTable(*t, path("square_heron_seki.dxf"), 1, table, HeronColumns{});

    // A pentagon in three triangles numbered from 5, with a fan from vertex 1
    // whose last triangle has the closing side as its base.
    sample::SetParcel(*t, {{0, 0}, {20, -4}, {26, 10}, {14, 20}, {-10, 24}});
    Divide(*t, {{1, 2, 3}, {1, 3, 4}, {1, 4, 5}});
    WriteResultDrawing(*t, path("pentagon_res.dxf"), 5, drawing);
    WriteAreaTable(*t, path("pentagon_seki.dxf"), 5, table, SanshaColumns{});

    // No triangle: the header and the summary rows only.
    t->trinum = 0;
    WriteHeronAreaTable(*t, path("empty_heron_seki.dxf"), 1, table, HeronColumns{});

    // The coordinate-method table of four corners given to the centimetre.
    const RegistrationFigures four = FourCornerFigures();
    WriteCoordinateTable(four, path("four_corners_zahyo.dxf"), CoordinateTableStyle{"S_HYO", 4, 8});

    return {"square_res.dxf",   "square_seki.dxf",   "square_heron_res.dxf", "square_heron_seki.dxf",
            "pentagon_res.dxf", "pentagon_seki.dxf", "empty_heron_seki.dxf", "four_corners_zahyo.dxf"};
}

}  // namespace zelkan::test
