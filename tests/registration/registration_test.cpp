#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/boundary_shape.h"
#include "engine/tables.h"
#include "registration/area_tolerance.h"
#include "registration/coordinate_table.h"
#include "registration/parcel_corners.h"
#include "registration/registered_area.h"
#include "registration/registration_figures.h"
#include "registration/registration_settings.h"

namespace zelkan {
namespace {

DecimalText D(const char* text) { return *ParseDecimalText(text); }

TEST(RegisteredArea, CutsByTheLandClass) {
    struct Case {
        const char* area;
        LandClass landClass;
        const char* registered;
    };
    const Case cases[] = {
        {"100.053245", LandClass::Residential, "100.05"},
        {"100.053245", LandClass::Other, "100"},
        {"9.053245", LandClass::Residential, "9.05"},
        {"9.053245", LandClass::Other, "9.05"},
        {"10.000000", LandClass::Other, "10.00"},  // exactly 10 m² is not more than 10
        {"10", LandClass::Other, "10.00"},
        {"10.000001", LandClass::Other, "10"},      // just above: whole metres
        {"10.009", LandClass::Residential, "10.00"},
        {"100.05", LandClass::Residential, "100.05"},  // nothing below 1/100 to cut
        {"100.05", LandClass::Other, "100"},
        {"99.999999", LandClass::Residential, "99.99"},  // cut, never rounded up
        {"0.004", LandClass::Residential, "0.00"},
        {"-100.053245", LandClass::Residential, "100.05"},  // a boundary that turns the other way
        {"441.0329000", LandClass::Other, "441"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.area) + " " + LandClassName(c.landClass));
        EXPECT_EQ(DecimalString(RegisteredArea(D(c.area), c.landClass)), c.registered);
    }
    EXPECT_EQ(LandClassOf(1), LandClass::Other);
    EXPECT_EQ(LandClassOf(7), LandClass::Residential);
}

TEST(AreaTolerance, SixClassesAgainstExactDecimals) {
    // Each tolerance from the formula in 50-digit decimal arithmetic,
    // rounded half up to 1/100 m².
    struct Case {
        const char* area;
        const char* kou1;
        const char* kou2;
        const char* kou3;
        const char* otsu1;
        const char* otsu2;
        const char* otsu3;
    };
    const Case cases[] = {
        {"200", "0.51", "1.24", "2.48", "3.54", "7.26", "14.52"},
        {"100", "0.34", "0.82", "1.63", "2.26", "4.71", "9.43"},
        {"441.0329", "0.81", "2.01", "4.02", "5.95", "11.99", "23.97"},
        {"1", "0.03", "0.06", "0.12", "0.14", "0.32", "0.64"},
        {"0.5", "0.02", "0.04", "0.08", "0.09", "0.22", "0.44"},
        {"1000", "1.32", "3.36", "6.72", "10.28", "20.35", "40.71"},
        {"10000.00", "5.50", "15.00", "30.00", "50.00", "95.00", "190.00"},
        {"-200", "0.51", "1.24", "2.48", "3.54", "7.26", "14.52"},
        {"0", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00"},
    };
    for (const Case& c : cases) {
        const char* expected[] = {c.kou1, c.kou2, c.kou3, c.otsu1, c.otsu2, c.otsu3};
        for (int32_t k = 1; k <= 6; ++k) {
            const PrecisionClass pc = PrecisionClassOf(k);
            SCOPED_TRACE(std::string(c.area) + " " + PrecisionClassName(pc));
            const auto tolerance = AreaTolerance(pc, D(c.area));
            ASSERT_TRUE(tolerance);
            EXPECT_EQ(DecimalString(*tolerance), expected[k - 1]);
        }
    }
    EXPECT_FALSE(AreaTolerance(PrecisionClass::None, D("200")));
    EXPECT_EQ(PrecisionClassOf(7), PrecisionClass::None);
    EXPECT_EQ(PrecisionClassOf(-1), PrecisionClass::None);
}

TEST(AreaTolerance, NamesAndTheEdgeOfTheTolerance) {
    EXPECT_EQ(PrecisionClassOfName("甲二"), PrecisionClass::Kou2);
    EXPECT_EQ(PrecisionClassOfName("乙3"), PrecisionClass::Otsu3);
    EXPECT_EQ(PrecisionClassOfName("なし"), PrecisionClass::None);
    EXPECT_FALSE(PrecisionClassOfName("丙一"));
    for (int32_t k = 0; k <= 6; ++k)
        EXPECT_EQ(PrecisionClassOfName(PrecisionClassName(PrecisionClassOf(k))), PrecisionClassOf(k));

    const DecimalText tolerance = D("1.24");
    EXPECT_TRUE(WithinTolerance(D("201.24"), D("200"), tolerance));   // on the edge is within
    EXPECT_TRUE(WithinTolerance(D("198.76"), D("200.000"), tolerance));
    EXPECT_FALSE(WithinTolerance(D("201.2400001"), D("200"), tolerance));
    EXPECT_FALSE(WithinTolerance(D("198.75"), D("200"), tolerance));
}

std::vector<CoordinateCorner> FourCorners() {
    return {{"K1", 3.02, -12.11}, {"K2", 13.18, -12.73}, {"K3", 23.81, 10.11}, {"K4", 0.86, 16.53}};
}

struct RowTexts {
    const char* name;
    const char* x;
    const char* y;
    const char* difference;
    const char* product;
};

void ExpectRows(const CoordinateTable& table, const std::vector<RowTexts>& expected) {
    ASSERT_EQ(table.rows.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        SCOPED_TRACE(k);
        const CoordinateTableRow& row = table.rows[k];
        EXPECT_EQ(row.name, expected[k].name);
        EXPECT_EQ(TableText(row.x), expected[k].x);
        EXPECT_EQ(TableText(row.y), expected[k].y);
        EXPECT_EQ(TableText(row.difference), expected[k].difference);
        EXPECT_EQ(TableText(row.product), expected[k].product);
    }
}

// The printed products, read back, add up to the printed double area.
void ExpectRowsAddUp(const CoordinateTable& table) {
    Int128 sum = 0;
    for (const CoordinateTableRow& row : table.rows) sum += UnitsAt(D(TableText(row.product).c_str()), table.columns.product);
    EXPECT_TRUE(sum == UnitsAt(D(TableText(table.doubleArea).c_str()), table.columns.product));
}

TEST(CoordinateTable, FourCornersToTheCentimetreEveryDigit) {
    // 2A = 3.02(-12.73-16.53) + 13.18(10.11+12.11) + 23.81(16.53+12.73) + 0.86(-12.11-10.11) = 882.0658
    const CoordinateTable table = CoordinateTableOf(FourCorners(), CoordinateColumns{});
    ASSERT_EQ(table.problem, "");
    ExpectRows(table, {{"K1", "3.020", "-12.110", "-29.260", "-88.365200"},
                       {"K2", "13.180", "-12.730", "22.220", "292.859600"},
                       {"K3", "23.810", "10.110", "29.260", "696.680600"},
                       {"K4", "0.860", "16.530", "-22.220", "-19.109200"}});
    EXPECT_EQ(TableText(table.doubleArea), "882.065800");
    EXPECT_EQ(TableText(table.area), "441.0329000");
    ExpectRowsAddUp(table);
}

TEST(CoordinateTable, FewerDecimalsRoundEachColumnAndStillAddUp) {
    const CoordinateTable table = CoordinateTableOf(FourCorners(), CoordinateColumns{2, 2, 1, 2});
    ExpectRows(table, {{"K1", "3.02", "-12.11", "-29.26", "-88.4"},
                       {"K2", "13.18", "-12.73", "22.22", "292.9"},
                       {"K3", "23.81", "10.11", "29.26", "696.7"},
                       {"K4", "0.86", "16.53", "-22.22", "-19.1"}});
    EXPECT_EQ(TableText(table.doubleArea), "882.1");
    EXPECT_EQ(TableText(table.area), "441.05");  // 441.05 exactly: no rounding below it
    ExpectRowsAddUp(table);
}

TEST(CoordinateTable, TheOtherWayRoundTheDoubleAreaIsNegative) {
    std::vector<CoordinateCorner> corners = FourCorners();
    std::reverse(corners.begin(), corners.end());
    const CoordinateTable table = CoordinateTableOf(corners, CoordinateColumns{});
    EXPECT_EQ(TableText(table.doubleArea), "-882.065800");
    EXPECT_EQ(TableText(table.area), "441.0329000");
    ExpectRowsAddUp(table);
}

TEST(CoordinateTable, MillimetreCornersAgreeWithWholeMillimetreArithmetic) {
    // Plane-rectangular coordinates far from the origin, to the millimetre:
    // the double area in square millimetres by whole-number cross products.
    const int64_t mm[][2] = {{-34567123, 12345987}, {-34560001, 12346789}, {-34554321, 12360003},
                             {-34561234, 12371111}, {-34570999, 12366666}, {-34572345, 12355555}};
    std::vector<CoordinateCorner> corners;
    std::vector<TAcadPoint> points;
    for (const auto& c : mm) points.push_back(TAcadPoint{c[1] / 1000.0L, c[0] / 1000.0L, 0});  // drawing x east, y north
    corners = CornersOf(points, {"A", "", "C"}, 1);
    EXPECT_EQ(corners[1].name, "2");
    Int128 twiceArea = 0;
    const size_t n = std::size(mm);
    for (size_t k = 0; k < n; ++k) twiceArea += static_cast<Int128>(mm[k][0]) * (mm[(k + 1) % n][1] - mm[(k + n - 1) % n][1]);
    const CoordinateTable table = CoordinateTableOf(corners, CoordinateColumns{});
    ASSERT_EQ(table.problem, "");
    EXPECT_TRUE(table.doubleArea.units == twiceArea);
    EXPECT_EQ(TableText(table.rows[0].x), "-34567.123");
    EXPECT_EQ(TableText(table.rows[0].y), "12345.987");
    ExpectRowsAddUp(table);
}

TEST(CoordinateTable, TheLargestBoundaryAtTheMostDecimalsStillFits) {
    // As many corners as a boundary may have, as far out as one may lie,
    // every column at its most decimals: the exact sums stay within their units.
    std::vector<CoordinateCorner> corners;
    const int32_t n = kMaxVertices;
    for (int32_t k = 0; k < n; ++k) {
        const long double turn = 2 * 3.14159265358979323846L * k / n;
        corners.push_back({std::to_string(k + 1), (kMaxCoordinate - 1) * std::cos(turn) + 0.123456L,
                           (kMaxCoordinate - 1) * -std::sin(turn) + 0.654321L});
    }
    const CoordinateTable table =
        CoordinateTableOf(corners, CoordinateColumns{kMaxCoordinateDecimals, kMaxCoordinateDecimals,
                                                     kMaxProductDecimals, kMaxAreaDecimals});
    ASSERT_EQ(table.problem, "");
    // Beyond what a printed text is read back as here: the units themselves add up.
    Int128 sum = 0;
    for (const CoordinateTableRow& row : table.rows) sum += row.product.units;
    EXPECT_TRUE(sum == table.doubleArea.units);
    EXPECT_TRUE(table.area.units * 2 == (table.doubleArea.units < 0 ? -table.doubleArea.units : table.doubleArea.units) * 10);
    // Close to the circle's: pi r^2 less what the polygon cuts off.
    const long double area = static_cast<long double>(table.area.units) / 1e13L;
    EXPECT_NEAR(area / (3.14159265358979323846L * kMaxCoordinate * kMaxCoordinate), 1.0L, 1e-6L);
}

TEST(CoordinateTable, RefusesWhatItCannotTabulate) {
    EXPECT_EQ(CoordinateTableOf({{"1", 0, 0}, {"2", 1, 0}}, {}).problem, "構成点が 3 点未満です");
    const CoordinateTable far = CoordinateTableOf({{"1", 0, 0}, {"P9", 2e10L, 0}, {"3", 0, 1}}, {});
    EXPECT_EQ(far.problem, "座標が大きすぎます: P9");
    EXPECT_TRUE(far.rows.empty());
    const CoordinateColumns clamped = ClampedColumns(CoordinateColumns{-1, 9, 40, 40});
    EXPECT_EQ(clamped.coordinate, 0);
    EXPECT_EQ(clamped.difference, kMaxCoordinateDecimals);
    EXPECT_EQ(clamped.product, kMaxProductDecimals);
    EXPECT_EQ(clamped.area, kMaxAreaDecimals);
}

TEST(RegistrationFigures, TiesTheTwoAreasAndTheTolerance) {
    struct Case {
        const char* sansha;
        LandClass landClass;
        PrecisionClass precision;
        const char* registered;  // "" for none
        const char* coordinateChiseki;
        const char* sanshaChiseki;
        bool agree;
        const char* tolerance;  // "" for none
        int sanshaWithin;       // -1 unknown
        int registeredWithin;
    };
    const Case cases[] = {
        {"441.03", LandClass::Residential, PrecisionClass::Kou2, "", "441.03", "441.03", true, "2.01", 1, -1},
        {"441.04", LandClass::Residential, PrecisionClass::Kou2, "", "441.03", "441.04", false, "2.01", 1, -1},
        {"441.04", LandClass::Other, PrecisionClass::Kou2, "439.03", "441", "441", true, "2.01", 1, 1},
        {"443.05", LandClass::Other, PrecisionClass::Kou2, "439.00", "441", "443", false, "2.01", 0, 0},
        {"441.0", LandClass::Residential, PrecisionClass::None, "400", "441.03", "441.00", false, "", -1, -1},
        {"", LandClass::Residential, PrecisionClass::Otsu1, "", "441.03", "", false, "5.95", -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.sansha) + " " + PrecisionClassName(c.precision));
        RegistrationInput input{c.landClass, c.precision, std::nullopt};
        if (*c.registered) input.registeredArea = D(c.registered);
        const RegistrationFigures f =
            RegistrationFiguresOf(CoordinateTableOf(FourCorners(), CoordinateColumns{}), c.sansha, input);
        EXPECT_EQ(DecimalString(f.coordinateChiseki), c.coordinateChiseki);
        EXPECT_EQ(f.sanshaChiseki ? DecimalString(*f.sanshaChiseki) : "", c.sanshaChiseki);
        EXPECT_EQ(f.chisekiAgree, c.agree);
        EXPECT_EQ(f.tolerance ? DecimalString(*f.tolerance) : "", c.tolerance);
        EXPECT_EQ(f.sanshaWithin ? int(*f.sanshaWithin) : -1, c.sanshaWithin);
        EXPECT_EQ(f.registeredWithin ? int(*f.registeredWithin) : -1, c.registeredWithin);
    }
}

TEST(RegistrationInput, TheSettingsAndWhatAParcelSaysOverThem) {
    SanshaSettings s;
    s.chimoku = 1;
    s.seidoKubun = 5;
    s.zahyoKetaMen = 99;
    EXPECT_EQ(CoordinateColumnsOf(s).area, kMaxAreaDecimals);
    struct Case {
        const char* precision;
        const char* registered;
        PrecisionClass expected;
        const char* registeredExpected;  // "" for none
    };
    const Case cases[] = {
        {"", "", PrecisionClass::Otsu2, ""},
        {"甲一", "120.5", PrecisionClass::Kou1, "120.5"},
        {"乙3", " 98 ", PrecisionClass::Otsu3, "98"},
        {"なし", "", PrecisionClass::None, ""},
        {"丙", "-3", PrecisionClass::Otsu2, ""},  // no class, no area: the settings' stay
        {"", "abc", PrecisionClass::Otsu2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.precision) + "/" + c.registered);
        const RegistrationInput input = ParcelRegistrationInput(s, c.precision, c.registered);
        EXPECT_EQ(input.landClass, LandClass::Other);
        EXPECT_EQ(input.precision, c.expected);
        EXPECT_EQ(input.registeredArea ? DecimalString(*input.registeredArea) : "", c.registeredExpected);
    }
}

}  // namespace
}  // namespace zelkan
