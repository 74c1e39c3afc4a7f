#include "output/sheet_input.h"

#include <utility>

#include "engine/decimal_units.h"
#include "geometry/text_helpers.h"
#include "registration/area_tolerance.h"
#include "registration/coordinate_table.h"
#include "registration/registered_area.h"

namespace zelkan {

namespace {

// The vertex a point was copied from, or -1 (a height record left over from
// a triangle that could not be measured).
int32_t CornerAt(const std::vector<TAcadPoint>& corners, const TAcadPoint& p) {
    for (size_t n = 0; n < corners.size(); ++n)
        if (corners[n].x == p.x && corners[n].y == p.y) return static_cast<int32_t>(n);
    return -1;
}

}  // namespace

std::vector<SheetBlock> RegistrationBlocks(const RegistrationFigures& f) {
    if (!f.table.problem.empty()) return {};
    SheetBlock table{"座標求積表", {}, {}};
    for (const char* heading : kCoordinateTableHeadings) table.headings.emplace_back(heading);
    for (const CoordinateTableRow& r : f.table.rows)
        table.rows.push_back({r.name, TableText(r.x), TableText(r.y), TableText(r.difference), TableText(r.product)});
    const std::pair<const char*, std::string> totals[] = {{"倍面積", TableText(f.table.doubleArea)},
                                                          {"面積", TableText(f.table.area)},
                                                          {"地積", DecimalString(f.coordinateChiseki)}};
    for (const auto& [label, value] : totals) table.rows.push_back({"", "", "", label, value});
    SheetBlock registration{"地積", {"項目", "値"}, {}};
    registration.rows.push_back({"地積（座標）", DecimalString(f.coordinateChiseki) + "（" +
                                                    LandClassName(f.input.landClass) + "）"});
    if (f.sanshaChiseki)
        registration.rows.push_back({"地積（三斜）", DecimalString(*f.sanshaChiseki) +
                                                         (f.chisekiAgree ? "（座標と一致）" : "（座標と異なる）")});
    if (f.tolerance) {
        registration.rows.push_back({"精度区分", PrecisionClassName(f.input.precision)});
        registration.rows.push_back({"公差", DecimalString(*f.tolerance) + " m²"});
        if (f.sanshaWithin) registration.rows.push_back({"公差内", YesNo(*f.sanshaWithin)});
    }
    return {table, registration};
}

SheetBlock AreaTableBlock(const AreaTableValues& table) {
    SheetBlock block;
    block.title = table.heron ? "求積表（ヘロン）" : "求積表（三斜）";
    block.headings = table.heron ? std::vector<std::string>{"No.", "a", "b", "c", "面積"}
                                 : std::vector<std::string>{"No.", "底辺", "高さ", "面積"};
    for (const AreaTableValues::Row& row : table.rows) {
        std::vector<std::string> cells{std::to_string(row.number)};
        for (const std::string& value : row.values) cells.push_back(Trimmed(value));
        block.rows.push_back(std::move(cells));
    }
    const size_t columns = block.headings.size();
    const auto summary = [&](const char* label, const std::string& value) {
        std::vector<std::string> cells(columns);
        cells[columns - 2] = label;
        cells[columns - 1] = Trimmed(value);
        block.rows.push_back(std::move(cells));
    };
    summary("合計", table.totalText);
    if (!table.heron) summary("１/２", table.halfText);
    summary("面積", table.resultText);
    return block;
}

SheetInput SheetInputOf(const EngineTables& t, const AreaTableValues& table, int32_t measureScaleDenom,
                        const std::vector<std::string>& cornerNames) {
    SheetInput sheet;
    sheet.heron = table.heron;
    sheet.measureScaleDenom = measureScaleDenom;
    for (int32_t v = 1; v <= t.xynum; ++v) {
        sheet.corners.push_back(t.xy[static_cast<size_t>(v)]);
        const size_t n = static_cast<size_t>(v - 1);
        sheet.cornerNames.push_back(n < cornerNames.size() && !cornerNames[n].empty() ? cornerNames[n]
                                                                                      : std::to_string(v));
    }
    for (size_t m = 0; m < table.rows.size() && m < static_cast<size_t>(t.trinum); ++m) {
        const TTri& tri = t.tritable[m + 1];
        const AreaTableValues::Row& row = table.rows[m];
        SheetTriangle triangle;
        triangle.number = row.number;
        triangle.corners = {tri.i - 1, tri.j - 1, tri.k - 1};
        if (table.heron) {
            for (size_t s = 0; s < 3; ++s) triangle.sideTexts[s] = Trimmed(row.values[s]);
        } else {
            const TTriHeight& h = t.triheights[m + 1];
            const int32_t a = CornerAt(sheet.corners, h.baseA), b = CornerAt(sheet.corners, h.baseB);
            if (a >= 0 && b >= 0)
                triangle.height = SheetTriangle::Height{a, b, h.apex, h.foot, Trimmed(row.values[0]), Trimmed(row.values[1])};
        }
        sheet.triangles.push_back(std::move(triangle));
    }
    sheet.blocks.push_back(AreaTableBlock(table));
    return sheet;
}

std::vector<std::string> CornerNamesInTableOrder(const EngineTables& t, const std::vector<TAcadPoint>& corners,
                                                 const std::vector<std::string>& names) {
    std::vector<std::string> inOrder;
    for (int32_t v = 1; v <= t.xynum; ++v) {
        const int32_t from = CornerAt(corners, t.xy[static_cast<size_t>(v)]);
        const bool named = from >= 0 && static_cast<size_t>(from) < names.size() && !names[static_cast<size_t>(from)].empty();
        inOrder.push_back(named ? names[static_cast<size_t>(from)] : std::to_string(v));
    }
    return inOrder;
}

}  // namespace zelkan
