// Rows of the area table within the row bound: every mode chooses so, the
// table marks what it cannot avoid, and the factor 0 gives the old choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/measurement_run.h"
#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "support/parcels.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

constexpr SearchMode kEveryMode[] = {SearchMode::Shape, SearchMode::Closest, SearchMode::NotAbove, SearchMode::Fast};

class RowBoundRun : public testing::Test {
protected:
    RunResult Measure(const sample::Polygon& parcel, SearchMode mode, bool heron, const char* factor = "4",
                      bool gather = false) {
        settings.useHeron = heron;
        settings.rowBoundFactor = factor;
        RunRequest request;
        std::vector<TAcadPoint> corners;
        for (const auto& [x, y] : parcel) corners.push_back(TAcadPoint{x, y, 0});
        request.corners = corners;
        request.runScript = folder.File("170412093005.scr");
        request.searchMode = mode;
        request.gather = gather;
        SilentSearchControl control;
        SteadyMillisecondClock clock;
        return MeasureParcel(*state, settings, request, control, clock);
    }
    AreaTableValues Table() const { return LastRunTableValues(*state, settings); }

    std::unique_ptr<MeasurementState> state = std::make_unique<MeasurementState>();
    SanshaSettings settings;
    test::ScratchFolder folder;
};

// 24 corners over 300 m, most of them within a degree of straight, at survey
// coordinates: Heron prints its slivers far from their areas.
const sample::Polygon kStrip = sample::Shifted(sample::NearStraightStrip(24, 300, 24), -34000, -12000);

// The lowest corner a hair below the line of its neighbours, under a notch
// that reaches down to 0.15 m above it: every triangle at it is a sliver.
const sample::Polygon kNotchedLot = sample::Shifted(
    {{0, 0}, {30, -0.05}, {60, 0}, {60, 20}, {31, 20}, {30.5, 0.1}, {29.5, 0.1}, {29, 20}, {0, 20}}, -34000, -12000);

TEST_F(RowBoundRun, NoModePrintsARowBeyondTheBoundOnAStripAndOffTheOldRowsComeBack) {
    double worstOff = 0;
    for (const SearchMode mode : kEveryMode) {
        SCOPED_TRACE(ModeNumber(mode));
        const RunResult r = Measure(kStrip, mode, true);
        ASSERT_EQ(r.outcome, RunOutcome::Drawn);
        EXPECT_TRUE(r.rowBound.honestDivision);
        EXPECT_GT(r.rowBound.removed, 0);
        const AreaTableValues table = Table();
        for (const AreaTableValues::Row& row : table.rows) {
            EXPECT_LE(row.boundRatio, 1.0) << row.number;
            EXPECT_FALSE(row.beyondBound);
        }
        EXPECT_EQ(SummarizeRowErrors(table).rowsBeyond, 0);

        const RunResult off = Measure(kStrip, mode, true, "0");
        ASSERT_EQ(off.outcome, RunOutcome::Drawn);
        EXPECT_EQ(off.rowBound.removed, 0);
        const AreaTableValues old = Table();
        EXPECT_TRUE(std::none_of(old.rows.begin(), old.rows.end(), [](const auto& row) { return row.beyondBound; }));
        worstOff = std::max(worstOff, SummarizeRowErrors(old).worstRatio);
    }
    // Without the bound the area modes win by slivers again.
    EXPECT_GT(worstOff, 2.0);
}

TEST_F(RowBoundRun, AForcedSliverGivesTheLeastDishonestDivisionMarked) {
    for (const SearchMode mode : kEveryMode) {
        SCOPED_TRACE(ModeNumber(mode));
        const RunResult r = Measure(kNotchedLot, mode, true);
        if (mode == SearchMode::NotAbove && r.outcome == RunOutcome::NotFound) continue;
        ASSERT_EQ(r.outcome, RunOutcome::Drawn);
        EXPECT_FALSE(r.rowBound.honestDivision);
        EXPECT_TRUE(r.rowBound.sanshaHonest);
        const AreaTableValues table = Table();
        const RowErrorSummary rows = SummarizeRowErrors(table);
        // The worst row is the least any division allows, and it is marked.
        EXPECT_NEAR(rows.worstRatio, r.rowBound.leastWorst, 1e-9);
        EXPECT_GT(rows.rowsBeyond, 0);
        for (const AreaTableValues::Row& row : table.rows) EXPECT_EQ(row.beyondBound, row.boundRatio > 1) << row.number;
        // The drawn table marks the same rows beside them (※ in CP932).
        const std::string seki = ReadFileBytes(WriteLastRunAreaTable(*state, settings, r.logs.triFile));
        size_t marks = 0;
        for (size_t at = seki.find("\x81\xA6"); at != std::string::npos; at = seki.find("\x81\xA6", at + 2)) ++marks;
        EXPECT_EQ(marks, static_cast<size_t>(rows.rowsBeyond));

        // Base and height measures it honestly.
        const RunResult sansha = Measure(kNotchedLot, mode, false);
        ASSERT_EQ(sansha.outcome, RunOutcome::Drawn);
        EXPECT_TRUE(sansha.rowBound.honestDivision);
        EXPECT_EQ(SummarizeRowErrors(Table()).rowsBeyond, 0);
    }
}

TEST_F(RowBoundRun, TheSameParcelGivesTheSameTableTwiceAndWithTheDivisionsGathered) {
    const sample::Polygon small = sample::Shifted({{-0.001, 0.028}, {-0.026, 0.024}, {-0.026, 0.011}, {-0.037, -0.002},
                                                   {0.001, -0.042}, {0.009, -0.038}, {0.023, -0.019}},
                                                  999000, -999000);
    for (const sample::Polygon* parcel : {&kStrip, &small}) {
        for (const SearchMode mode : kEveryMode) {
            SCOPED_TRACE(std::to_string(parcel->size()) + " corners, mode " + std::to_string(ModeNumber(mode)));
            std::vector<std::string> tables;
            for (const bool gather : {false, false, true}) {
                const RunResult r = Measure(*parcel, mode, true, "4", gather);
                if (mode == SearchMode::NotAbove && r.outcome == RunOutcome::NotFound) {
                    tables.push_back("nothing below the area");
                    continue;
                }
                ASSERT_EQ(r.outcome, RunOutcome::Drawn) << NotCoveredMessage(r.cover);
                tables.push_back(ReadFileBytes(WriteLastRunAreaTable(*state, settings, r.logs.triFile)));
            }
            EXPECT_EQ(tables[1], tables[0]);
            EXPECT_EQ(tables[2], tables[0]);
        }
    }
}

TEST_F(RowBoundRun, BeyondTheSelectionsLimitsTheFallbackGivesTheSameWholeTableEveryTime) {
    // Limits that no area selection fits: on the short strip the search
    // chooses within its counted work, beside the division of the smallest
    // shape sum; the long one has too many candidates for the search's
    // tables, and the best divisions by shape and by area are chosen from
    // instead.
    state->selectionLimits = SelectionLimits{64, 1};
    const sample::Polygon longStrip = sample::Shifted(sample::NearStraightStrip(64, 720, 3), -34000, -12000);
    for (const auto& [parcel, skipped] : {std::pair(&kStrip, false), std::pair(&longStrip, true)}) {
        for (const SearchMode mode : {SearchMode::Closest, SearchMode::NotAbove}) {
            SCOPED_TRACE(std::to_string(parcel->size()) + " corners, mode " + std::to_string(ModeNumber(mode)));
            std::vector<std::string> tables;
            for (int run = 0; run < 2; ++run) {
                const RunResult r = Measure(*parcel, mode, true, "4", false);
                if (r.outcome == RunOutcome::NotFound) {
                    tables.push_back("nothing below the area");
                    continue;
                }
                ASSERT_EQ(r.outcome, RunOutcome::Drawn) << NotCoveredMessage(r.cover);
                EXPECT_FALSE(r.exactSelection);
                EXPECT_EQ(r.searchSkipped, skipped);
                EXPECT_EQ(r.divisionSource == DivisionSource::SearchCut, !skipped);
                EXPECT_EQ(SummarizeRowErrors(Table()).rowsBeyond, 0);
                tables.push_back(ReadFileBytes(WriteLastRunAreaTable(*state, settings, r.logs.triFile)));
            }
            EXPECT_EQ(tables[1], tables[0]);
        }
    }
}

TEST_F(RowBoundRun, AFactorThatIsNoNumberIsRefused) {
    for (const char* factor : {"-1", "abc", "", "1e999"}) {
        settings.rowBoundFactor = factor;
        EXPECT_THROW(Measure(kNotchedLot, SearchMode::Shape, true, factor), InvalidInputError) << factor;
    }
}

}  // namespace
}  // namespace zelkan
