#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/measurement_run.h"
#include "boundary/coordinate_files.h"
#include "output/label_placement.h"
#include "output/markup_text.h"
#include "output/parcel_index.h"
#include "output/sheet_input.h"
#include "output/sheet_layout.h"
#include "output/svg_sheet.h"
#include "geometry/text_helpers.h"
#include "support/parcels.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

// A parcel measured as zelkan-cli measures it, and its sheet laid out.
struct Sheet {
    std::unique_ptr<MeasurementState> state = std::make_unique<MeasurementState>();
    AreaTableValues table;
    SheetInput input;
    SheetLayout layout;
};

// corners, or the CAD's export in boundaryDxf where corners is empty.
Sheet MeasuredSheet(const std::vector<TAcadPoint>& corners, bool heron, const std::vector<std::string>& names = {},
                    int32_t measureScaleDenom = 1, const std::string& boundaryDxf = {}) {
    Sheet s;
    const test::ScratchFolder folder;
    SanshaSettings settings;
    settings.useHeron = heron;
    settings.measureScaleDenom = measureScaleDenom;
    RunRequest request;
    if (boundaryDxf.empty()) request.corners = corners;
    request.boundaryDxf = boundaryDxf;
    request.runScript = folder.File("sheet.scr");
    request.gather = false;
    SilentSearchControl control;
    SteadyMillisecondClock clock;
    const RunResult result = MeasureParcel(*s.state, settings, request, control, clock);
    EXPECT_EQ(result.outcome, RunOutcome::Drawn);
    s.table = LastRunTableValues(*s.state, settings);
    s.input = SheetInputOf(s.state->tables, s.table, measureScaleDenom,
                           names.empty() ? names : CornerNamesInTableOrder(s.state->tables, corners, names));
    EXPECT_EQ(s.input.corners.size(), static_cast<size_t>(result.xynum));
    s.layout = LayOutSheet(s.input);
    return s;
}

std::vector<TAcadPoint> Corners(const sample::Polygon& polygon) {
    std::vector<TAcadPoint> corners;
    for (const auto& [x, y] : polygon) corners.push_back(TAcadPoint{x, y, 0});
    return corners;
}

bool Inside(const PageBox& inner, const PageBox& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

// What a reader of the sheet relies on: no two labels overlap, none leaves
// the drawing area, none sits on a line of the drawing, and every triangle
// number and every length of the table is there. A leader crosses no other
// label where leadersClear (a crowded parcel may leave a label no way out
// but under another's white ground).
void ExpectReadableLabels(const Sheet& s, const std::string& what, bool leadersClear = true) {
    const std::vector<PageLabel>& labels = s.layout.labels;
    for (size_t a = 0; a < labels.size(); ++a) {
        EXPECT_TRUE(Inside(labels[a].box, s.layout.drawingArea)) << what << ": " << labels[a].text;
        for (size_t b = a + 1; b < labels.size(); ++b)
            EXPECT_FALSE(BoxesOverlap(labels[a].box, labels[b].box))
                << what << ": " << labels[a].text << " and " << labels[b].text;
    }
    std::vector<PageSegment> lines;
    const auto& corners = s.layout.corners;
    for (const SheetTriangle& t : s.input.triangles) {
        for (size_t k = 0; k < 3; ++k)
            lines.push_back({corners[static_cast<size_t>(t.corners[k])], corners[static_cast<size_t>(t.corners[(k + 1) % 3])]});
        if (t.height) lines.push_back({s.layout.OnPage(t.height->apex), s.layout.OnPage(t.height->foot)});
    }
    for (const PageLabel& l : labels) {
        for (const PageSegment& line : lines)
            EXPECT_FALSE(SegmentMeetsBox(line, l.box)) << what << ": " << l.text << " on a line";
        if (!leadersClear) continue;
        for (const PageLabel& other : labels) {
            const bool across = other.leader && &other != &l && SegmentMeetsBox({other.anchor, other.LeaderEnd()}, l.box);
            EXPECT_FALSE(across) << what << ": the leader of " << other.text << " across " << l.text;
        }
    }

    std::multiset<std::string> circled, texts;
    for (const PageLabel& l : labels) (l.circled ? circled : texts).insert(l.text);
    for (const AreaTableValues::Row& row : s.table.rows) {
        EXPECT_EQ(circled.count(std::to_string(row.number)), 1u) << what << ": triangle " << row.number;
        for (size_t v = 0; v + 1 < row.values.size(); ++v)  // the lengths, not the area
            EXPECT_GE(texts.count(Trimmed(row.values[v])), 1u) << what << ": " << row.values[v];
    }
    for (const std::string& name : s.input.cornerNames) EXPECT_GE(texts.count(name), 1u) << what << ": corner " << name;
    // The parcel lies inside its drawing area, clear of the tables and the title block.
    EXPECT_TRUE(Inside(s.layout.outlineBox, s.layout.drawingArea)) << what;
    EXPECT_FALSE(BoxesOverlap(s.layout.drawingArea, s.layout.titleBlock)) << what;
    for (const TablePiece& piece : s.layout.tables) {
        const PageBox box{piece.left, piece.top, piece.left + piece.Width(), piece.top + piece.Height()};
        EXPECT_FALSE(BoxesOverlap(s.layout.drawingArea, box)) << what << ": " << piece.title;
        EXPECT_FALSE(BoxesOverlap(s.layout.titleBlock, box)) << what << ": " << piece.title;
        EXPECT_TRUE(Inside(box, s.layout.frame)) << what << ": " << piece.title;
    }
}

TEST(RoundScale, TheLargestRoundScaleAtWhichTheParcelFits) {
    struct Case {
        double widthMetres, heightMetres;
        int64_t scale;
    } cases[] = {
        {5, 5, 100},        {20, 15, 100},       {20.01, 15, 200},  {40, 10, 200},      {45, 10, 250},
        {60, 10, 300},      {60.01, 10, 500},    {10, 90, 600},     {10, 90.01, 1000},  {1000, 100, 5000},
        {1000.5, 100, 6000}, {1300, 10, 10000},  {0, 0, 100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundScaleToFit(c.widthMetres, c.heightMetres, 200, 150), c.scale) << c.widthMetres << " x " << c.heightMetres;
}

TEST(SheetLayout, LabelsNeverOverlapOnTheSamplesAndOnSlivers) {
    struct Case {
        const char* name;
        sample::Polygon polygon;
        bool leadersClear;
    } cases[] = {
        {"road curve of 40 corners (slivers)", sample::Shifted(sample::RoadCurveLot(40, 40), -34000, -12000), false},
        {"irregular lot of 40 corners", sample::IrregularLot(40, 7), false},
        {"star of 24 corners", sample::StarShaped(24, 3), false},
        {"comb", sample::Comb(20, 5), true},
        {"square", {{0, 0}, {12, 0}, {12, 12}, {0, 12}}, true},
    };
    for (const Case& c : cases)
        for (bool heron : {true, false}) {
            const Sheet s = MeasuredSheet(Corners(c.polygon), heron);
            ExpectReadableLabels(s, std::string(c.name) + (heron ? " (Heron)" : " (base and height)"), c.leadersClear);
        }
}

TEST(SheetLayout, TheSampleParcelFilesToo) {
    const std::pair<const char*, bool> drawings[] = {
        {"residential.dxf", true}, {"roadside.dxf", true}, {"reflex_corner.dxf", true}, {"curved_lot.dxf", false}};
    for (const auto& [drawing, leadersClear] : drawings)
        for (bool heron : {true, false})
            ExpectReadableLabels(MeasuredSheet({}, heron, {}, 1, test::FixturePath(std::string("../../samples/") + drawing)),
                                 drawing, leadersClear);
    const CoordinateFile file = ReadSimaFile(test::FixturePath("../../samples/subdivision.sim"));
    ASSERT_EQ(file.parcels.size(), 3u);
    for (const ParcelRecord& parcel : file.parcels)
        for (bool heron : {true, false})
            ExpectReadableLabels(MeasuredSheet(parcel.corners, heron, parcel.cornerNames), parcel.name);
}

TEST(SheetLayout, ASlenderTrianglesNumberGoesOutsideWithALeader) {
    // A sliver 30 m long and 5 cm high at 1/200: no room for a circle inside.
    const Sheet s = MeasuredSheet({{0, 0, 0}, {30, 0, 0}, {15, 0.05L, 0}}, true);
    ASSERT_EQ(s.input.triangles.size(), 1u);
    const auto number = std::find_if(s.layout.labels.begin(), s.layout.labels.end(), [](const PageLabel& l) { return l.circled; });
    ASSERT_NE(number, s.layout.labels.end());
    EXPECT_TRUE(number->leader);
    EXPECT_FALSE(InsidePolygon(s.layout.corners, number->box.Centre()));
    ExpectReadableLabels(s, "sliver");
}

TEST(SheetLayout, TheScaleOnThePageIsTheScaleOfTheDrawing) {
    // 24 m by 18 m in drawing units of millimetres (計測縮尺 1/1000).
    const Sheet s = MeasuredSheet({{0, 0, 0}, {24000, 0, 0}, {24000, 18000, 0}, {0, 18000, 0}}, true, {}, 1000);
    EXPECT_EQ(s.layout.paper.name, std::string("A4"));
    EXPECT_EQ(s.layout.scale, 200);
    EXPECT_NEAR(s.layout.outlineBox.Width(), 24.0 * 1000 / 200, 1e-9);
    EXPECT_NEAR(s.layout.outlineBox.Height(), 18.0 * 1000 / 200, 1e-9);
    // North up: the corner with the larger y is higher on the page.
    EXPECT_LT(s.layout.OnPage({0, 18000, 0}).y, s.layout.OnPage({0, 0, 0}).y);
}

TEST(SheetLayout, ALongTableGoesOnB4AndIsCarriedOnInColumns) {
    const Sheet s = MeasuredSheet(Corners(sample::IrregularLot(100, 11)), true);
    ASSERT_EQ(s.table.rows.size(), 98u);
    EXPECT_EQ(s.layout.paper.name, std::string("B4"));
    ASSERT_GE(s.layout.tables.size(), 2u);
    EXPECT_EQ(s.layout.tables[1].title, "求積表（ヘロン）（続き）");
    size_t rows = 0;
    for (const TablePiece& piece : s.layout.tables) {
        EXPECT_EQ(piece.firstRow, rows);
        rows += piece.rowCount;
    }
    EXPECT_EQ(rows, s.input.blocks[0].rows.size());  // 98 triangles, 合計 and 面積
    ExpectReadableLabels(s, "100 corners", false);
}

TEST(SheetLayout, MoreBlocksFollowTheAreaTable) {
    Sheet s = MeasuredSheet(Corners(sample::IrregularLot(12, 3)), false);
    s.input.blocks.push_back(SheetBlock{"座標求積表", {"点名", "X", "Y"}, {{"1", "10.000", "20.000"}}});
    const SheetLayout layout = LayOutSheet(s.input);
    ASSERT_EQ(layout.tables.size(), 2u);
    EXPECT_EQ(layout.tables[1].block, 1u);
    EXPECT_GT(layout.tables[1].top, layout.tables[0].top + layout.tables[0].Height());
    const std::string svg = SheetSvg(s.input, layout);
    EXPECT_NE(svg.find(">座標求積表</text>"), std::string::npos);
    EXPECT_NE(svg.find(">10.000</text>"), std::string::npos);
}

TEST(SheetInput, CornerNamesFollowTheirCornersIntoTheTablesOrder) {
    const CoordinateFile file = ReadSimaFile(test::FixturePath("../../samples/subdivision.sim"));
    const ParcelRecord& lot = file.parcels[2];  // P3 P5 P7 P8 P9
    ASSERT_EQ(lot.cornerNames, (std::vector<std::string>{"P3", "P5", "P7", "P8", "P9"}));
    const Sheet s = MeasuredSheet(lot.corners, true, lot.cornerNames);
    std::map<std::string, std::pair<long double, long double>> where;
    for (size_t n = 0; n < lot.corners.size(); ++n) where[lot.cornerNames[n]] = {lot.corners[n].x, lot.corners[n].y};
    ASSERT_EQ(s.input.cornerNames.size(), lot.corners.size());
    for (size_t v = 0; v < s.input.corners.size(); ++v) {
        const auto& [x, y] = where.at(s.input.cornerNames[v]);
        EXPECT_EQ(s.input.corners[v].x, x);
        EXPECT_EQ(s.input.corners[v].y, y);
    }
}

TEST(SvgSheet, TextFromFilesIsEscapedAndEveryValueComesFromTheTable) {
    Sheet s = MeasuredSheet({{0, 0, 0}, {10, 0, 0}, {10, 8, 0}, {0, 8, 0}}, false, {"<A>", "B&C", "\"D\"", "E'"});
    s.input.title.parcel = "1 <東>&\"西\"";
    const std::string svg = SheetSvg(s.input, s.layout);
    EXPECT_EQ(svg.find("<A>"), std::string::npos);
    EXPECT_NE(svg.find("&lt;A&gt;"), std::string::npos);
    EXPECT_NE(svg.find("B&amp;C"), std::string::npos);
    EXPECT_NE(svg.find("1 &lt;東&gt;&amp;&quot;西&quot;"), std::string::npos);
    // The 面積 row prints the table's result text and nothing of our own.
    EXPECT_NE(svg.find(">" + Trimmed(s.table.resultText) + "</text>"), std::string::npos);
    EXPECT_NE(svg.find(kSheetFontFamily), std::string::npos);
}

}  // namespace
}  // namespace zelkan

namespace zelkan {
namespace {

TEST(ParcelIndex, RowsLinkTheirSheetsAndMarkWhatWasNotMeasuredCleanly) {
    ParcelIndex index;
    index.title = "lots.sim";
    IndexRow clean;
    clean.number = "1";
    clean.name = "一号地";
    clean.state = IndexRow::State::Clean;
    clean.sheet = RelativeAddress("sheets/一号地 #1.svg");
    IndexRow notExact = clean;
    notExact.number = "2";
    notExact.name = "A&B";
    notExact.state = IndexRow::State::NotExact;
    notExact.sheet = RelativeAddress("sheets\\A&B.svg");
    IndexRow failed;
    failed.number = "3";
    failed.name = "<三>";
    failed.outcome = "3 行目の点 99 が座標にありません";
    const std::string html = [&] {
        index.rows = {clean, notExact, failed};
        return ParcelIndexHtml(index);
    }();
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(html.find("<a href=\"sheets/%E4%B8%80%E5%8F%B7%E5%9C%B0%20%231.svg\">一号地</a>"), std::string::npos);
    EXPECT_NE(html.find("<a href=\"sheets/A%26B.svg\">A&amp;B</a>"), std::string::npos);
    EXPECT_NE(html.find("<tr class=\"not-exact\">"), std::string::npos);
    EXPECT_NE(html.find("<tr class=\"failed\"><td>3</td><td>&lt;三&gt;</td>"), std::string::npos);  // no sheet, no link
    EXPECT_EQ(html.find("<三>"), std::string::npos);
    EXPECT_EQ(html.find("http"), std::string::npos);  // nothing fetched
    // A sheet on another drive is reached by its whole path.
    EXPECT_EQ(FileAddress("D:/区画/1 #.svg"), "file:///D:/%E5%8C%BA%E7%94%BB/1%20%23.svg");
    EXPECT_EQ(FileAddress("/srv/lots/1.svg"), "file:///srv/lots/1.svg");
}

}  // namespace
}  // namespace zelkan
