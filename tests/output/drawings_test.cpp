#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/tables.h"
#include "geometry/cp932.h"
#include "geometry/file_io.h"
#include "geometry/text_helpers.h"
#include "output/area_table.h"
#include "output/coordinate_table_csv.h"
#include "output/coordinate_table_drawing.h"
#include "output/drawn_sides.h"
#include "output/result_drawing.h"
#include "output/sample_drawings.h"
#include "support/parcels.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

// The entities of a DXF text, each as its group code / value pairs.
struct Entity {
    std::string type;
    std::multimap<int, std::string> values;
    std::string Get(int code) const {
        const auto it = values.find(code);
        return it == values.end() ? "" : it->second;
    }
    double Number(int code) const { return StrToReal(Get(code)); }
};

std::vector<Entity> Entities(const std::string& cp932) {
    const std::string text = Cp932ToUtf8(cp932);
    std::vector<std::string> lines;
    for (size_t p = 0; p < text.size();) {
        const size_t end = text.find("\r\n", p);
        lines.push_back(text.substr(p, end - p));
        p = end + 2;
    }
    std::vector<Entity> entities;
    bool inEntities = false;
    for (size_t n = 0; n + 1 < lines.size(); n += 2) {
        const int code = std::stoi(lines[n]);
        const std::string& value = lines[n + 1];
        if (code == 2 && value == "ENTITIES") inEntities = true;
        if (!inEntities) continue;
        if (code == 0) {
            if (value == "ENDSEC") break;
            entities.push_back(Entity{value, {}});
        } else if (!entities.empty()) {
            entities.back().values.emplace(code, value);
        }
    }
    return entities;
}

std::vector<Entity> OfType(const std::vector<Entity>& all, const std::string& type) {
    std::vector<Entity> v;
    for (const Entity& e : all)
        if (e.type == type) v.push_back(e);
    return v;
}

const Entity* TextNamed(const std::vector<Entity>& all, const std::string& text) {
    for (const Entity& e : all)
        if (e.type == "TEXT" && TrimSpaceNul(e.Get(1)) == text) return &e;
    return nullptr;
}

class Drawings : public testing::Test {
protected:
    std::string Write(const char* name) {
        written = test::WriteSampleDrawings(folder.File(""));
        return ReadFileBytes(folder.File(name));
    }
    test::ScratchFolder folder;
    std::vector<std::string> written;
};

TEST(DrawnSides, MatchInEitherOrderAndAreKeptOnce) {
    DrawnSides drawn;
    drawn.Add(7, 2);
    drawn.Add(3, 9);
    drawn.Add(2, 7);
    EXPECT_TRUE(drawn.Has(7, 2));
    EXPECT_TRUE(drawn.Has(2, 7));
    EXPECT_TRUE(drawn.Has(9, 3));
    EXPECT_FALSE(drawn.Has(1, 2));
    const std::vector<std::pair<int32_t, int32_t>> expected{{2, 7}, {3, 9}};
    EXPECT_EQ(drawn.sides(), expected);
}

TEST_F(Drawings, MatchTheReviewedFilesByteForByte) {
    written = test::WriteSampleDrawings(folder.File(""));
    for (const std::string& name : written) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadFileBytes(folder.File(name)), ReadFileBytes(test::FixturePath("output/" + name)));
    }
}

TEST_F(Drawings, SquareOnItsDiagonalDrawsTheDiagonalOnce) {
    const auto all = Entities(Write("square_res.dxf"));
    const auto lines = OfType(all, "LINE");
    ASSERT_EQ(lines.size(), 3u);  // two height lines and the diagonal
    EXPECT_EQ(lines[0].Get(8), "S_TAKASA");
    EXPECT_EQ(lines[1].Get(8), "S_TAKASA");
    EXPECT_EQ(lines[2].Get(8), "S_HEN");
    EXPECT_EQ(lines[2].Get(10), "0.000000");
    EXPECT_EQ(lines[2].Get(11), "10.000000");
    // Two height texts, one diagonal length, no boundary length; two numbers.
    int lengths = 0;
    for (const Entity& e : OfType(all, "TEXT")) lengths += e.Get(73) == "1";
    EXPECT_EQ(lengths, 3);
    EXPECT_EQ(OfType(all, "CIRCLE").size(), 2u);
    EXPECT_NE(TextNamed(all, "14.14"), nullptr);
    EXPECT_NE(TextNamed(all, "7.07"), nullptr);
}

TEST_F(Drawings, HeronVariantMeasuresEveryBoundarySideOnce) {
    const auto all = Entities(Write("square_heron_res.dxf"));
    EXPECT_EQ(OfType(all, "LINE").size(), 1u);
    EXPECT_EQ(OfType(all, "CIRCLE").size(), 2u);
    int lengths = 0;
    for (const Entity& e : OfType(all, "TEXT")) lengths += e.Get(73) == "1";
    EXPECT_EQ(lengths, 5);  // four boundary sides and the diagonal
}

TEST_F(Drawings, NumbersStartAtTheFirstTriangleNumber) {
    const auto all = Entities(Write("pentagon_res.dxf"));
    EXPECT_NE(TextNamed(all, "5"), nullptr);
    EXPECT_NE(TextNamed(all, "6"), nullptr);
    EXPECT_NE(TextNamed(all, "7"), nullptr);
    EXPECT_EQ(TextNamed(all, "8"), nullptr);
    // The fan's last triangle (1,4,5) stands on the closing side 1-5: its
    // length text but no line of its own.
    for (const Entity& e : OfType(all, "LINE")) {
        const bool closing = e.Get(10) == "0.000000" && e.Get(20) == "0.000000" && e.Get(11) == "-10.000000";
        EXPECT_FALSE(closing);
    }
    EXPECT_NE(TextNamed(all, "26.00"), nullptr);
}

TEST_F(Drawings, AreaTableColumnsAndTheTotalsFromPrintedTexts) {
    // Two triangles on a base of 10.00 with heights 5.00 and 3.00.
    auto t = std::make_unique<EngineTables>();
    t->trinum = 2;
    t->triheights[1] = TTriHeight{{0, 5, 0}, {0, 0, 0}, {0, 0, 0}, {10, 0, 0}};
    t->triheights[2] = TTriHeight{{4, 3, 0}, {4, 0, 0}, {10, 0, 0}, {0, 0, 0}};
    TableStyle style;
    style.layer = "S_HYO";
    style.rounding = RunRounding{KetaMode::HalfUp, 2, KetaMode::HalfUp, 4, KetaMode::HalfUp, 2};
    WriteAreaTable(*t, folder.File("seki.dxf"), 1, style, SanshaColumns{});
    const auto all = Entities(ReadFileBytes(folder.File("seki.dxf")));

    // Borders 0, 12, 52, 92, 148: the top line spans them all.
    EXPECT_EQ(OfType(all, "LINE")[0].Get(11), "148.000000");
    const auto at = [&all](const char* text) { return TextNamed(all, text); };
    ASSERT_NE(at("50.0000"), nullptr);
    EXPECT_EQ(at("50.0000")->Get(10), "144.0000");
    ASSERT_NE(at("30.0000"), nullptr);
    ASSERT_NE(at("80.0000"), nullptr);
    ASSERT_NE(at("40.0000"), nullptr);
    ASSERT_NE(at("40.00"), nullptr);
    EXPECT_EQ(at("40.00")->Get(10), "136.0000");
    EXPECT_EQ(at("40.00")->Get(20), "-44.0000");  // row 5 of header, 2 triangles, 合計, １/２, 面積
    EXPECT_EQ(at("合計")->Get(10), "88.0000");
    EXPECT_EQ(at("底辺")->Get(10), "32.0000");
    EXPECT_EQ(at("1")->Get(10), "6.0000");
}

TEST_F(Drawings, ResultRoundsTheAlreadyRoundedHalfAndMovesWithTheDigits) {
    auto t = std::make_unique<EngineTables>();
    t->trinum = 1;
    t->triheights[1] = TTriHeight{{0, 9, 0}, {0, 0, 0}, {0, 0, 0}, {9, 0, 0}};  // 81.00
    TableStyle style;
    style.layer = "S_HYO";
    // Areas cut at one decimal, the result half away from zero at none.
    style.rounding = RunRounding{KetaMode::HalfUp, 2, KetaMode::Cut, 1, KetaMode::HalfUp, 0};
    WriteAreaTable(*t, folder.File("a.dxf"), 1, style, SanshaColumns{});
    const auto cut = Entities(ReadFileBytes(folder.File("a.dxf")));
    ASSERT_NE(TextNamed(cut, "40.5"), nullptr);
    ASSERT_NE(TextNamed(cut, "41"), nullptr);
    EXPECT_EQ(TextNamed(cut, "41")->Get(10), "140.0000");  // 148 - 4 * (1 - 0 + 1)

    // Fewer area than result decimals: the result ends right of the border.
    style.rounding = RunRounding{KetaMode::HalfUp, 2, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4};
    WriteAreaTable(*t, folder.File("b.dxf"), 1, style, SanshaColumns{});
    const auto wide = Entities(ReadFileBytes(folder.File("b.dxf")));
    ASSERT_NE(TextNamed(wide, "40.5000"), nullptr);
    EXPECT_EQ(TextNamed(wide, "40.5000")->Get(10), "152.0000");
}

TEST_F(Drawings, HeronTableOfARightTriangle) {
    auto t = std::make_unique<EngineTables>();
    sample::SetParcel(*t, {{0, 0}, {3, 0}, {3, 4}});
    LoadDivision(*t, sample::CandidatesOf(*t, {{1, 2, 3}}));
    TableStyle style;
    style.layer = "S_HYO";
    style.rounding = RunRounding{KetaMode::HalfUp, 2, KetaMode::HalfUp, 4, KetaMode::HalfUp, 2};
    WriteHeronAreaTable(*t, folder.File("h.dxf"), 1, style, HeronColumns{});
    const auto all = Entities(ReadFileBytes(folder.File("h.dxf")));
    ASSERT_NE(TextNamed(all, "6.0000"), nullptr);
    EXPECT_EQ(TextNamed(all, "6.0000")->Get(10), "160.0000");  // borders 0, 12, 44, 76, 108, 164
    EXPECT_NE(TextNamed(all, "3.00"), nullptr);
    EXPECT_NE(TextNamed(all, "4.00"), nullptr);
    EXPECT_NE(TextNamed(all, "5.00"), nullptr);
    EXPECT_EQ(TextNamed(all, "１/２"), nullptr);
}

TEST_F(Drawings, CoordinateTableRowsTotalsAndColumns) {
    const auto all = Entities(Write("four_corners_zahyo.dxf"));
    std::vector<std::string> texts;
    for (const Entity& e : OfType(all, "TEXT")) {
        texts.push_back(e.Get(1));
        EXPECT_EQ(e.Get(8), "S_HYO");
    }
    const std::vector<std::string> expected{
        "点名", "X", "Y", "Yn+1－Yn-1", "Xn(Yn+1－Yn-1)",
        "K1", "3.020", "-12.110", "-29.260", "-88.365200",
        "K2", "13.180", "-12.730", "22.220", "292.859600",
        "K3", "23.810", "10.110", "29.260", "696.680600",
        "K4", "0.860", "16.530", "-22.220", "-19.109200",
        "倍面積", "882.065800", "面積", "441.0329000", "地積", "441.03"};
    EXPECT_EQ(texts, expected);
    // Each column its longest text and two characters wide: 4, 8, 9, 11 and 15 text heights.
    EXPECT_EQ(TextNamed(all, "292.859600")->Get(10), "184.0000");
    EXPECT_EQ(TextNamed(all, "22.220")->Get(10), "124.0000");
    EXPECT_EQ(TextNamed(all, "倍面積")->Get(10), "124.0000");
    EXPECT_EQ(TextNamed(all, "倍面積")->Get(20), "-44.0000");
    EXPECT_EQ(TextNamed(all, "441.03")->Get(20), "-60.0000");
    EXPECT_EQ(TextNamed(all, "K3")->Get(10), "8.0000");  // centred in its column
    EXPECT_DOUBLE_EQ(CoordinateTableWidth(test::FourCornerFigures(), 4), 188);
    // The outer borders reach the 地積 row, the inner ones the last corner.
    std::vector<std::string> verticalEnds;
    for (const Entity& e : OfType(all, "LINE"))
        if (e.Get(10) == e.Get(11)) verticalEnds.push_back(e.Get(10) + " " + e.Get(21));
    EXPECT_EQ(verticalEnds, (std::vector<std::string>{"16.000000 -40.000000", "48.000000 -40.000000",
                                                      "84.000000 -40.000000", "0.000000 -64.000000",
                                                      "128.000000 -64.000000", "188.000000 -64.000000"}));
}

TEST_F(Drawings, CoordinateTableCsvAsPrinted) {
    RegistrationFigures f = test::FourCornerFigures();
    f.table.rows[0].name = "K,1";
    EXPECT_EQ(CoordinateTableCsv(f),
              "\xEF\xBB\xBF点名,X,Y,Yn+1－Yn-1,Xn(Yn+1－Yn-1)\r\n"
              "\"K,1\",3.020,-12.110,-29.260,-88.365200\r\n"
              "K2,13.180,-12.730,22.220,292.859600\r\n"
              "K3,23.810,10.110,29.260,696.680600\r\n"
              "K4,0.860,16.530,-22.220,-19.109200\r\n"
              ",,,倍面積,882.065800\r\n,,,面積,441.0329000\r\n,,,地積,441.03\r\n");
    // A table that could not be formed writes nothing, neither drawing nor CSV.
    f.table.problem = "構成点が 3 点未満です";
    WriteCoordinateTable(f, folder.File("none.dxf"), CoordinateTableStyle{"S_HYO", 4, 8});
    WriteCoordinateTableCsv(f, folder.File("none.csv"));
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(folder.File("none.dxf"))));
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(folder.File("none.csv"))));
}

}  // namespace
}  // namespace zelkan
