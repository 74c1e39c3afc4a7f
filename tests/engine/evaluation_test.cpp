#include "engine/evaluation.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>
#include <string>

namespace zelkan {
namespace {

struct BaseCase {
    double ij, jk, ki;
    Base base;
};

class BaseChoice : public testing::TestWithParam<BaseCase> {};

TEST_P(BaseChoice, LongestSideWithItsTies) {
    TTriTemp c;
    c.lenIJ = GetParam().ij;
    c.lenJK = GetParam().jk;
    c.lenKI = GetParam().ki;
    EXPECT_EQ(ChooseBase(c), GetParam().base) << c.lenIJ << " " << c.lenJK << " " << c.lenKI;
}

INSTANTIATE_TEST_SUITE_P(Sides, BaseChoice,
                         testing::Values(BaseCase{5, 4, 3, Base::IJ}, BaseCase{3, 5, 4, Base::JK},
                                         BaseCase{4, 4, 4, Base::JK}, BaseCase{4, 3, 5, Base::KI},
                                         BaseCase{4, 4, 3, Base::JK},   // ij = jk longest: jk
                                         BaseCase{5, 3, 5, Base::IJ},   // ki equals the longer: that one
                                         BaseCase{3, 5, 5, Base::JK}));

// Divisions of one triangle each, with given area texts (base x height),
// Heron texts and shapes.
class Evaluation : public testing::Test {
protected:
    // Adds a candidate whose longest side is ij and stores it as a division.
    int32_t AddDivision(const char* baseTimesHeight, const char* heron, double shape) {
        const int32_t st = ++t->tritempnum;
        TTriTemp& c = t->tritemp[st];
        c.i = 1, c.j = 2, c.k = 3;
        c.lenIJ = 5, c.lenJK = 4, c.lenKI = 3;
        c.ij.areaText = baseTimesHeight;
        c.jk.areaText = "999999.0000";  // never chosen
        c.ki.areaText = "999999.0000";
        c.heronText = heron;
        c.shape = shape;
        return StoreDivision(*t, {st});
    }

    std::unique_ptr<EngineTables> t = std::make_unique<EngineTables>();
    EvaluationState e;
};

TEST_F(Evaluation, SumsAndRangesOfEveryDivision) {
    AddDivision("200.0000", "100.5000", 30);
    AddDivision("199.9600", "  99.9800", 12);
    AddDivision("180.0000", "90.0000", 45);
    Evaluate(*t, e, 100.0, SearchMode::Shape, false);
    EXPECT_EQ(t->trisets.sum(1).sanshaArea, 100.0);
    EXPECT_EQ(t->trisets.sum(1).heronArea, 100.5);
    EXPECT_EQ(t->trisets.sum(1).shapeSum, 30);
    EXPECT_EQ(t->trisets.sum(2).sanshaArea, 99.98);
    EXPECT_EQ(e.minShape, 12);
    EXPECT_EQ(e.maxShape, 45);
    EXPECT_EQ(e.minShapeNo, 2);
    EXPECT_EQ(e.maxShapeNo, 3);
    EXPECT_EQ(e.minSansha, 90);
    EXPECT_EQ(e.maxSansha, 100);
    EXPECT_EQ(e.minHeron, 90);
    EXPECT_EQ(e.maxHeron, 100.5);
}

TEST_F(Evaluation, ModeTwoRejectsAnAreaEqualToTheCoordinateArea) {
    AddDivision("200.0000", "200.0000", 10);  // 100.00
    AddDivision("199.9600", "199.9600", 10);  // 99.98
    EXPECT_NEAR(Evaluate(*t, e, 100.00, SearchMode::NotAbove, false), 0.02, 1e-12);
    EXPECT_EQ(e.bestSanshaNo, 2);
    ASSERT_EQ(t->seltrinum, 1);
    EXPECT_EQ(t->seltri[1].st, 2);

    EXPECT_EQ(Evaluate(*t, e, 100.00, SearchMode::Closest, false), 0.0);
    EXPECT_EQ(e.bestSanshaNo, 1);
    EXPECT_EQ(t->seltri[1].st, 1);
}

TEST_F(Evaluation, ModeTwoWithEveryAreaTooLargeSelectsNothing) {
    AddDivision("200.0000", "200.0000", 10);
    AddDivision("202.0000", "202.0000", 10);
    t->seltrinum = 5;
    EXPECT_EQ(Evaluate(*t, e, 100.00, SearchMode::NotAbove, true), 1e16);
    EXPECT_EQ(t->seltrinum, 0);
    EXPECT_FALSE(e.calcFailed);
}

TEST_F(Evaluation, TiesGoToTheDivisionStoredFirst) {
    AddDivision("196.0000", "98.0000", 20);   // 98, one below 99
    AddDivision("200.0000", "100.0000", 20);  // 100, one above
    EXPECT_EQ(Evaluate(*t, e, 99.0, SearchMode::Closest, false), 1.0);
    EXPECT_EQ(t->seltri[1].st, 1);
    EXPECT_EQ(Evaluate(*t, e, 99.0, SearchMode::Closest, true), 1.0);
    EXPECT_EQ(e.bestHeronNo, 1);
    EXPECT_EQ(Evaluate(*t, e, 99.0, SearchMode::Shape, false), 1.0);
    EXPECT_EQ(e.bestShapeNo, 1);
}

TEST_F(Evaluation, HeronAreaDecidesWhenChosen) {
    AddDivision("200.0000", "97.0000", 10);  // 三斜 100, Heron 97
    AddDivision("190.0000", "99.5000", 10);  // 三斜 95, Heron 99.5
    EXPECT_EQ(Evaluate(*t, e, 100.0, SearchMode::Closest, true), 0.5);
    EXPECT_EQ(t->seltri[1].st, 2);
    EXPECT_EQ(Evaluate(*t, e, 100.0, SearchMode::Closest, false), 0.0);
    EXPECT_EQ(t->seltri[1].st, 1);
}

TEST_F(Evaluation, ModeZeroSelectsByShapeAndReturnsTheDistanceOfTheChosenMeasure) {
    AddDivision("200.0000", "100.0000", 50);
    AddDivision("180.0000", "97.0000", 15);  // 三斜 90, Heron 97
    EXPECT_EQ(Evaluate(*t, e, 100.0, SearchMode::Shape, true), 3.0);
    EXPECT_EQ(t->seltri[1].st, 2);
    EXPECT_EQ(Evaluate(*t, e, 100.0, SearchMode::Shape, false), 10.0);
    EXPECT_EQ(t->seltri[1].st, 2);
}

TEST_F(Evaluation, NoDivisionEmptiesTheSelection) {
    t->seltrinum = 3;
    Evaluate(*t, e, 100.0, SearchMode::Shape, false);
    EXPECT_TRUE(e.calcFailed);
    EXPECT_EQ(t->seltrinum, 0);
    EXPECT_EQ(Evaluate(*t, e, 100.0, SearchMode::Closest, false), 1e16);
    EXPECT_FALSE(e.calcFailed);
    EXPECT_EQ(t->seltrinum, 0);
}

TEST_F(Evaluation, NegativeCoordinateAreaComparesMagnitudes) {
    AddDivision("-199.9600", "-99.9800", 10);
    EXPECT_NEAR(Evaluate(*t, e, -100.0, SearchMode::NotAbove, false), 0.02, 1e-12);
    EXPECT_EQ(t->seltrinum, 1);
}

// Divisions of three triangles each, with the given Heron texts.
class ThreeTriangleDivisions : public Evaluation {
protected:
    void Division(std::initializer_list<const char*> herons, double shape = 0) {
        std::vector<int32_t> candidates;
        for (const char* heron : herons) {
            const int32_t st = ++t->tritempnum;
            TTriTemp& candidate = t->tritemp[st];
            candidate.i = 1, candidate.j = 2, candidate.k = 3;
            candidate.lenIJ = 5, candidate.lenJK = 4, candidate.lenKI = 3;
            candidate.ij.areaText = "0.0000";
            candidate.heronText = heron;
            candidate.shape = shape;
            candidates.push_back(st);
        }
        StoreDivision(*t, candidates);
    }
};

TEST_F(ThreeTriangleDivisions, EqualPrintedTotalsAreEquallyCloseWhateverTheirBinarySums) {
    // Both total 213.4530. Their sums in binary differ in the last bits
    // (in double the first is closer, in extended the second); the printed
    // totals are equal, so the first in search order is selected.
    Division({"41.7022", "99.7184", "72.0324"});
    Division({"93.2557", "0.0115", "120.1858"});
    Evaluate(*t, e, 213.45303, SearchMode::Closest, true);
    EXPECT_EQ(e.bestHeronNo, 1);
    // What each division keeps is its sum in extended precision, rounded to a double.
    long double second = 0;
    for (double heron : {93.2557, 0.0115, 120.1858}) second += heron;
    EXPECT_EQ(t->trisets.sum(2).heronArea, static_cast<double>(second));
}

TEST_F(ThreeTriangleDivisions, TotalsExactlyHalfWayAreEquallyClose) {
    Division({"0.25", "0.25", "0.25"});  // 0.75
    Division({"0.50", "0.50", "0.25"});  // 1.25
    Evaluate(*t, e, 1.0, SearchMode::Closest, true);
    EXPECT_EQ(e.bestHeronNo, 1);
}

TEST_F(ThreeTriangleDivisions, ModeTwoRefusesAPrintedTotalEqualToTheCoordinateArea) {
    // 0.1 + 0.2 + 0.3 is a little below 0.6 in binary; printed it is 0.6.
    Division({"0.1", "0.2", "0.3"});
    Division({"0.1", "0.2", "0.2"});
    EXPECT_NEAR(Evaluate(*t, e, 0.6, SearchMode::NotAbove, true), 0.1, 1e-12);
    EXPECT_EQ(e.bestHeronNo, 2);
}

TEST_F(ThreeTriangleDivisions, APartialDivisionIsNeverSelectedBesideACompleteOne) {
    t->xynum = 5;  // a complete division has three triangles
    Division({"50.0", "50.0"});              // 1: two triangles, shape 0, area 100 exactly
    Division({"40.0", "40.0", "40.0"}, 30);  // 2: complete, shape 90, area 120
    for (const SearchMode mode : {SearchMode::Shape, SearchMode::Closest, SearchMode::NotAbove}) {
        Evaluate(*t, e, 130.0, mode, true);
        EXPECT_EQ(t->seltrinum, 3) << "mode " << ModeNumber(mode);
    }
    EXPECT_EQ(e.minShapeNo, 1);  // the ranges still cover every stored division
    // With no complete division stored, the partial ones are what there is.
    t->xynum = 6;
    Evaluate(*t, e, 130.0, SearchMode::Shape, true);
    EXPECT_EQ(e.bestShapeNo, 1);
}

}  // namespace
}  // namespace zelkan
