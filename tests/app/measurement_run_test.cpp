#include "app/measurement_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <climits>
#include <cmath>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "boundary/drawing_number_scan.h"
#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

// A closed polyline as the CAD exports it.
std::string Export(std::initializer_list<std::pair<double, double>> points) {
    std::string s = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOLYLINE\r\n 70\r\n1\r\n";
    for (const auto& [x, y] : points)
        s += "  0\r\nVERTEX\r\n 10\r\n" + std::to_string(x) + "\r\n 20\r\n" + std::to_string(y) + "\r\n";
    return s + "  0\r\nSEQEND\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
}

// The export with the first `from` replaced by `to`.
std::string WithText(std::string exported, const std::string& from, const std::string& to) {
    return exported.replace(exported.find(from), from.size(), to);
}

class Pipeline : public testing::Test {
protected:
    RunResult Measure(const std::string& parcel, SearchMode mode, int32_t noStart) {
        SteadyMillisecondClock clock;
        return Measure(parcel, mode, noStart, clock);
    }
    // The mode by its number, as the box and the settings file have it.
    RunResult Measure(const std::string& parcel, int32_t modeNumber, int32_t noStart) {
        return Measure(parcel, SearchModeOf(modeNumber), noStart);
    }
    RunResult Measure(const std::string& parcel, SearchMode mode, int32_t noStart, MillisecondClock& clock) {
        RunRequest request;
        request.boundaryDxf = folder.Write("boundary.dxf", parcel);
        request.runScript = folder.File("170412093005.scr");
        request.searchMode = mode;
        request.noStart = noStart;
        request.bestForViewers = bestForViewers;
        SilentSearchControl control;
        return MeasureParcel(*state, settings, request, control, clock);
    }
    std::vector<int32_t> Selected() const {
        std::vector<int32_t> division;
        for (int32_t m = 1; m <= state->tables.seltrinum; ++m)
            division.push_back(state->tables.seltri[static_cast<size_t>(m)].st);
        return division;
    }
    bool Exists(const char* name) const { return std::filesystem::exists(PathFromUtf8(folder.File(name))); }

    std::unique_ptr<MeasurementState> state = std::make_unique<MeasurementState>();
    SanshaSettings settings;
    test::ScratchFolder folder;
    bool bestForViewers = false;
};

const std::string kHexagon = Export({{0, 0}, {10, 0}, {15, 8}, {10, 16}, {0, 16}, {-5, 8}});

// A clock that moves on by a second each time it is read.
class RacingClock : public MillisecondClock {
public:
    uint32_t NowMs() override { return now_ += 1000; }

private:
    uint32_t now_ = 0;
};

TEST_F(Pipeline, ASearchCutShortKeepsTheSelectionOfTheFullSearch) {
    std::initializer_list<std::pair<double, double>> corners = {{0, 0},   {9, -1},  {17, 2},  {21, 8},  {20, 15},
                                                                {14, 19}, {6, 20},  {-1, 17}, {-4, 10}, {-3, 4}};
    const std::string decagon = Export(corners);
    for (const SearchMode mode : {SearchMode::Shape, SearchMode::Closest, SearchMode::NotAbove}) {
        SCOPED_TRACE(ModeNumber(mode));
        const RunResult full = Measure(decagon, mode, 1);
        ASSERT_EQ(full.outcome, RunOutcome::Drawn);
        EXPECT_TRUE(full.searchComplete && full.exactSelection);
        const std::vector<int32_t> chosen = Selected();

        // The store's budget: three divisions.
        state->tables.trisets.SetBudget(3 * (32 + 4 * 8));
        const RunResult budget = Measure(decagon, mode, 1);
        state->tables.trisets.SetBudget(UINT64_MAX);
        EXPECT_FALSE(budget.searchComplete || budget.memoryFull);
        EXPECT_TRUE(budget.exactSelection);
        EXPECT_EQ(Selected(), chosen);
        EXPECT_EQ(budget.evalDiff, full.evalDiff);
        EXPECT_LE(budget.trisetnum, 4);  // the selection is stored beside what was found

        // The run's time budget, on a clock that races.
        RacingClock racing;
        const RunResult late = Measure(decagon, mode, 1, racing);
        EXPECT_FALSE(late.searchComplete);
        EXPECT_TRUE(late.exactSelection);
        EXPECT_LT(late.trisetnum, full.trisetnum);
        EXPECT_EQ(Selected(), chosen);
        EXPECT_EQ(late.evalDiff, full.evalDiff);
    }
}

// Both of the viewers' orderings: the first 300 of each are those of all
// 1 430 divisions, and no division is offered twice.
TEST_F(Pipeline, ASearchCutShortLeavesTheViewersTheBestByShapeAndTheClosest) {
    const std::string decagon = Export({{0, 0}, {9, -1}, {17, 2}, {21, 8}, {20, 15},
                                        {14, 19}, {6, 20}, {-1, 17}, {-4, 10}, {-3, 4}});
    bestForViewers = true;
    Measure(decagon, SearchMode::Closest, 1);
    const std::vector<int32_t> closest = Selected();
    const auto stored = [this](const std::vector<int32_t>& division) {
        const EngineTables& t = state->tables;
        for (int32_t r = 1; r <= t.trisets.trisetnum(); ++r) {
            std::vector<int32_t> entry;
            for (int32_t m = 1; m <= t.trisets.trinum(r); ++m) entry.push_back(t.trisets.tri(r, m).st);
            if (entry == division) return true;
        }
        return false;
    };
    for (const SearchMode mode : {SearchMode::Shape, SearchMode::Closest}) {
        SCOPED_TRACE(ModeNumber(mode));
        const RunResult full = Measure(decagon, mode, 1);
        EXPECT_EQ(full.divisionSource, DivisionSource::AllDivisions);
        EXPECT_EQ(full.trisetnum, 1430);
        const std::vector<int32_t> chosen = Selected();
        // The best shape sums and the nearest areas of all 1 430, in order.
        std::vector<double> shapes, distances;
        const auto distance = [this](int32_t r) {
            const TTriSum& sum = state->tables.trisets.sum(r);
            return std::fabs((settings.useHeron ? sum.heronArea : sum.sanshaArea) - state->tables.menkei);
        };
        for (int32_t r = 1; r <= state->tables.trisets.trisetnum(); ++r) {
            shapes.push_back(state->tables.trisets.sum(r).shapeSum);
            distances.push_back(distance(r));
        }
        std::sort(shapes.begin(), shapes.end());
        std::sort(distances.begin(), distances.end());

        RacingClock racing;
        const RunResult late = Measure(decagon, mode, 1, racing);
        EXPECT_FALSE(late.searchComplete);
        EXPECT_EQ(late.divisionSource, DivisionSource::BestByShapeAndArea);
        EXPECT_EQ(state->divisionSource, DivisionSource::BestByShapeAndArea);
        EXPECT_EQ(Selected(), chosen);
        EXPECT_EQ(late.evalDiff, full.evalDiff);
        const EngineTables& t = state->tables;
        const auto viewers = static_cast<int32_t>(kViewerDivisions);
        ASSERT_GE(t.trisets.trisetnum(), viewers);
        // The closest by area and the selection beside them.
        ASSERT_LE(t.trisets.trisetnum(), 2 * viewers + 1);
        for (int32_t r = 1; r <= viewers; ++r)
            EXPECT_EQ(t.trisets.sum(r).shapeSum, shapes[static_cast<size_t>(r - 1)]) << r;
        std::vector<double> offered;
        std::set<std::vector<int32_t>> distinct;
        for (int32_t r = 1; r <= t.trisets.trisetnum(); ++r) {
            offered.push_back(distance(r));
            const std::vector<int32_t> division = StoredDivision(t, r);
            EXPECT_EQ(division.size(), 8u) << r;
            distinct.insert(division);
        }
        EXPECT_EQ(distinct.size(), static_cast<size_t>(t.trisets.trisetnum()));
        std::sort(offered.begin(), offered.end());
        for (size_t k = 0; k < kViewerDivisions; ++k) EXPECT_DOUBLE_EQ(offered[k], distances[k]) << k;
        EXPECT_TRUE(stored(chosen));
        EXPECT_TRUE(stored(closest));
    }
    // Without the viewers (zelkan-cli) what the search found stays.
    bestForViewers = false;
    RacingClock racing;
    const RunResult cut = Measure(decagon, SearchMode::Shape, 1, racing);
    EXPECT_EQ(cut.divisionSource, DivisionSource::SearchCut);
    EXPECT_LT(cut.trisetnum, 300);
}

TEST_F(Pipeline, NextTriangleNumberByTheNumberingMode) {
    settings.noMode = NumberingMode::Fixed;
    EXPECT_EQ(Measure(kHexagon, 0, 5).nextNoStart, 5);
    settings.noMode = NumberingMode::AfterLast;  // after the last number drawn: 5 + 4 triangles
    const RunResult drawn = Measure(kHexagon, 0, 5);
    EXPECT_EQ(drawn.outcome, RunOutcome::Drawn);
    EXPECT_EQ(drawn.trinum, 4);
    EXPECT_EQ(drawn.nextNoStart, 9);
    settings.noMode = NumberingMode::Step;
    EXPECT_EQ(Measure(kHexagon, 0, 5).nextNoStart, 105);
}

TEST_F(Pipeline, TriangleNumbersNeverOverflow) {
    settings.noMode = NumberingMode::Step;
    settings.noStep = INT32_MAX;
    EXPECT_EQ(Measure(kHexagon, 0, 5).nextNoStart, kMaxFirstNumber);
    settings.noMode = NumberingMode::AfterLast;
    const RunResult r = Measure(kHexagon, 0, INT32_MAX);
    EXPECT_EQ(r.outcome, RunOutcome::Drawn);
    EXPECT_EQ(state->noStart, kMaxFirstNumber);
    EXPECT_EQ(r.nextNoStart, kMaxFirstNumber);
    EXPECT_EQ(LastRunTableValues(*state, settings).rows.back().number, kMaxFirstNumber + 3);
}

TEST_F(Pipeline, NotFoundInModeTwoStillAdvancesTheNumbers) {
    // Both halves of a 10 x 10 square measure 50.00 by Heron: the division is
    // not below the coordinate area 100, so mode 2 finds nothing.
    settings.noMode = NumberingMode::Step;
    const RunResult r = Measure(Export({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), 2, 5);
    EXPECT_EQ(r.outcome, RunOutcome::NotFound);
    EXPECT_EQ(r.menkei, 100.0);
    EXPECT_EQ(r.trisetnum, 2);
    EXPECT_EQ(r.nextNoStart, 105);
    EXPECT_FALSE(Exists("170412093005res.dxf"));
}

TEST_F(Pipeline, RecordsOnlyWhenAskedExceptTheSelection) {
    Measure(kHexagon, 0, 1);
    EXPECT_TRUE(Exists("170412093005.tri"));
    EXPECT_TRUE(Exists("170412093005res.dxf"));
    EXPECT_FALSE(Exists("170412093005.xy"));
    EXPECT_FALSE(Exists("170412093005.trw"));
    settings.saveRecords = true;
    Measure(kHexagon, 0, 1);
    for (const char* name : {"170412093005.xy", "170412093005.can", "170412093005.mem", "170412093005.trw"})
        EXPECT_TRUE(Exists(name)) << name;
}

TEST_F(Pipeline, FastModeRecordsItsDivisionAndNumbersOnAfterWhatItDrew) {
    settings.noMode = NumberingMode::AfterLast;
    const RunResult r = Measure(kHexagon, SearchMode::Fast, 5);
    EXPECT_EQ(r.outcome, RunOutcome::Drawn);
    EXPECT_EQ(r.trinum, 4);
    EXPECT_EQ(r.nextNoStart, 9);  // 5 to 8 drawn
    // Its table traces back to corners as the other modes' do.
    std::string expected;
    for (int32_t m = 1; m <= 4; ++m) {
        const TTri& tri = state->tables.tritable[static_cast<size_t>(m)];
        expected += std::to_string(m) + "," + std::to_string(tri.i) + "," + std::to_string(tri.j) + "," +
                    std::to_string(tri.k) + "\r\n";
    }
    EXPECT_EQ(ReadFileBytes(folder.File("170412093005.tri")), expected);
    settings.noMode = NumberingMode::Step;
    EXPECT_EQ(Measure(kHexagon, SearchMode::Fast, 5).nextNoStart, 105);
    settings.noMode = NumberingMode::Fixed;
    EXPECT_EQ(Measure(kHexagon, SearchMode::Fast, 5).nextNoStart, 5);
}

TEST_F(Pipeline, TooFewVerticesIsNoBoundary) {
    const RunResult r = Measure(Export({{0, 0}, {10, 0}}), 0, 1);
    EXPECT_EQ(r.outcome, RunOutcome::NoBoundary);
    EXPECT_EQ(r.xynum, 2);
    EXPECT_TRUE(r.filesWritten.empty());
}

TEST_F(Pipeline, AreaTableOfTheLastRun) {
    settings.useHeron = false;
    Measure(kHexagon, 0, 7);
    const AreaTableValues v = LastRunTableValues(*state, settings);
    ASSERT_EQ(v.rows.size(), 4u);
    EXPECT_EQ(v.rows[0].number, 7);
    EXPECT_FALSE(v.heron);
    const std::string seki = WriteLastRunAreaTable(*state, settings, folder.File("170412093006.scr"));
    EXPECT_EQ(seki, folder.File("170412093006seki.dxf"));
    EXPECT_TRUE(Exists("170412093006seki.dxf"));
}

const std::string kOctagon = Export({{0, 0}, {4, -1}, {8, 0}, {9, 4}, {8, 8}, {4, 9}, {0, 8}, {-1, 4}});

// A table's rows, side by side, for comparing two runs.
std::string TableText(const AreaTableValues& v) {
    std::string text;
    for (const auto& row : v.rows) {
        text += std::to_string(row.number);
        for (const std::string& value : row.values) text += "|" + value;
        text += "\n";
    }
    return text + v.totalText + "|" + v.resultText;
}

TEST_F(Pipeline, RepeatedCornersAreDroppedAndMeasureAsTheParcel) {
    const RunResult plain = Measure(kOctagon, 0, 1);
    const std::string plainTable = TableText(LastRunTableValues(*state, settings));
    ASSERT_EQ(plain.outcome, RunOutcome::Drawn);
    EXPECT_EQ(plain.droppedVertices, 0);
    EXPECT_EQ(plain.trinum, 6);
    // The closing point repeated, and a doubled corner.
    const RunResult repeated = Measure(
        Export({{0, 0}, {4, -1}, {8, 0}, {8, 0}, {9, 4}, {8, 8}, {4, 9}, {0, 8}, {-1, 4}, {0, 0}}), 0, 1);
    ASSERT_EQ(repeated.outcome, RunOutcome::Drawn);
    EXPECT_EQ(repeated.droppedVertices, 2);
    EXPECT_EQ(repeated.xynum, 8);
    EXPECT_EQ(repeated.trinum, 6);
    EXPECT_EQ(repeated.menkei, plain.menkei);
    EXPECT_EQ(TableText(LastRunTableValues(*state, settings)), plainTable);
}

TEST_F(Pipeline, ATriangularParcelIsItsOwnDivisionInEveryMode) {
    const std::string triangle = Export({{0, 0}, {10, 0}, {0, 10}});
    settings.useHeron = false;
    for (const SearchMode mode : {SearchMode::Shape, SearchMode::Closest, SearchMode::NotAbove, SearchMode::Fast}) {
        settings.noMode = NumberingMode::AfterLast;
        const RunResult r = Measure(triangle, mode, 1);
        // Base 14.14 and height 7.07 (both rounded down) measure below 50:
        // mode 2 finds it too.
        ASSERT_EQ(r.outcome, RunOutcome::Drawn) << "mode " << ModeNumber(mode);
        EXPECT_EQ(r.trinum, 1);
        EXPECT_EQ(r.menkei, 50.0);
        EXPECT_EQ(LastRunTableValues(*state, settings).rows.size(), 1u);
        if (mode != SearchMode::Fast) {
            EXPECT_EQ(r.nextNoStart, 2);
        }
    }
}

TEST_F(Pipeline, BoundariesThatCrossOrTouchThemselvesAreRefused) {
    const struct {
        std::string parcel;
        const char* message;
    } cases[] = {
        // A bow tie: sides 1-2 and 3-4 cross.
        {Export({{0, 0}, {10, 10}, {10, 0}, {0, 10}}), "筆界が交差しています: 辺 1-2 と辺 3-4"},
        // Two squares meeting at one corner (the corner listed twice).
        {Export({{0, 0}, {5, 0}, {5, 5}, {10, 5}, {10, 10}, {5, 10}, {5, 5}, {0, 5}}), "筆界が接しています: 辺 2-3 と辺 7-8"},
        // A corner lying on another side.
        {Export({{0, 0}, {10, 0}, {10, 10}, {5, 0.0}, {0, 10}}), "筆界が接しています: 辺 1-2 と辺 4-5"},
        // A side running back along the one before it.
        {Export({{0, 0}, {10, 0}, {5, 0}, {5, 8}}), "筆界が接しています: 辺 1-2 と辺 2-3"},
        {Export({{0, 0}, {1e11, 0}, {0, 10}}), "構成点 2 の座標が大きすぎます（±1e10 まで）"},
        // Beyond every double: once read as 0, a 10 x 10 square.
        {WithText(Export({{7, 0}, {10, 0}, {10, 10}, {0, 10}}), "7.000000", "1e400"),
         "構成点 1 の座標が大きすぎます（±1e10 まで）"},
        {WithText(Export({{7, 0}, {10, 0}, {10, 10}, {0, 10}}), "7.000000", "-1e400"),
         "構成点 1 の座標が大きすぎます（±1e10 まで）"},
        // 133 km long and 3 micrometres wide: too thin for any triangle.
        {Export({{0, 0}, {133000, 0}, {66500, 0.000003}}),
         "筆が細すぎて分割できません: 構成点 1, 2, 3 がほぼ一直線上にあります（面積のない三角形）"},
    };
    for (const auto& c : cases) {
        try {
            Measure(c.parcel, 0, 1);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const InvalidInputError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_FALSE(Exists("170412093005res.dxf"));
    }
}

TEST_F(Pipeline, TheNextNumberAfterAResultDrawingWithLengthsOfNoDecimals) {
    settings.ketaNaga = "0";
    settings.ketaNagaPos = 0;
    for (const bool heron : {true, false}) {
        settings.useHeron = heron;
        ASSERT_EQ(Measure(Export({{0, 0}, {40, 0}, {40, 30}, {0, 30}}), 0, 1).outcome, RunOutcome::Drawn);
        DrawingNumberScan scan;
        int32_t maxNo = 1;
        ScanDrawingNumbers(scan, folder.File("170412093005res.dxf"), settings.layerText, maxNo);
        EXPECT_EQ(maxNo + 1, 3) << (heron ? "heron" : "sansha");
    }
}

TEST_F(Pipeline, ATotalEqualToTheCoordinateAreaIsNotBelowIt) {
    // Two rectangles of 0.3 x 0.4: every division totals 0.1200, and the
    // coordinate area is 0.12 exactly; as a double it comes out a hair above
    // 0.12 for the first and a hair below for the second.
    for (const auto& corners : {Export({{0.1, 0}, {0.4, 0}, {0.4, 0.4}, {0.1, 0.4}}),
                                Export({{0, 0}, {0.3, 0}, {0.3, 0.4}, {0, 0.4}})}) {
        for (const bool heron : {true, false}) {
            settings.useHeron = heron;
            EXPECT_EQ(Measure(corners, SearchMode::NotAbove, 1).outcome, RunOutcome::NotFound);
            const RunResult closest = Measure(corners, SearchMode::Closest, 1);
            EXPECT_EQ(closest.outcome, RunOutcome::Drawn);
            EXPECT_NEAR(closest.evalDiff, 0, 1e-12);
        }
    }
}

TEST_F(Pipeline, CornersOnAStraightRunStayValid) {
    // A road side with three corners on one line.
    const RunResult r = Measure(Export({{0, 0}, {5, 0}, {10, 0}, {15, 0}, {15, 10}, {0, 10}}), 0, 1);
    EXPECT_EQ(r.outcome, RunOutcome::Drawn);
    EXPECT_EQ(r.menkei, 150.0);
}

TEST_F(Pipeline, SettingsThatWouldPrintZerosAreRefused) {
    const struct {
        void (*change)(SanshaSettings&);
        const char* message;
    } cases[] = {
        {[](SanshaSettings& s) { s.measureScaleDenom = 0; }, "設定 [計測縮尺] 分母 は 1 以上にしてください"},
        {[](SanshaSettings& s) { s.measureScaleDenom = -500; }, "設定 [計測縮尺] 分母 は 1 以上にしてください"},
        {[](SanshaSettings& s) { s.scaleDenom = 0; }, "設定 [縮尺] 分母 は 1 以上にしてください"},
        {[](SanshaSettings& s) { s.nagaShishagonyu = false; },
         "設定 [長さ] の切り捨て・四捨五入・切り上げ・五捨五入のどれかを 1 にしてください"},
        {[](SanshaSettings& s) { s.kekaShishagonyu = false; },
         "設定 [結果] の切り捨て・四捨五入・切り上げ・五捨五入のどれかを 1 にしてください"},
    };
    for (const auto& c : cases) {
        state = std::make_unique<MeasurementState>();
        settings = SanshaSettings{};
        c.change(settings);
        try {
            Measure(kHexagon, 0, 1);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const InvalidInputError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_FALSE(Exists("170412093005res.dxf"));
    }
    // A rule switched off after a run keeps the mode of that run.
    state = std::make_unique<MeasurementState>();
    settings = SanshaSettings{};
    ASSERT_EQ(Measure(kHexagon, 0, 1).outcome, RunOutcome::Drawn);
    settings.nagaShishagonyu = false;
    EXPECT_EQ(Measure(kHexagon, 0, 1).outcome, RunOutcome::Drawn);
    EXPECT_EQ(state->rounding.lengthMode, KetaMode::HalfUp);
}

TEST_F(Pipeline, HugeDecimalCountsAreBounded) {
    // Two billion decimals would multiply by ten that often for every value.
    settings.ketaNaga = "2000000000";
    settings.ketaMen = "2147483647";
    settings.menShishagonyu = false;
    settings.menGoshagonyu = true;  // the rounding that looks one decimal further
    EXPECT_EQ(Measure(kHexagon, 0, 1).outcome, RunOutcome::Drawn);
    EXPECT_EQ(state->rounding.lengthDigits, kMaxDecimals);
    EXPECT_EQ(state->rounding.areaDigits, kMaxDecimals);
}

}  // namespace
}  // namespace zelkan
