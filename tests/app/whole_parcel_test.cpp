// Parcels that once lost candidates or stacked triangles: every mode
// measures them whole, or refuses them with a true message.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/measurement_run.h"
#include "geometry/errors.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

using Corners = std::vector<std::pair<double, double>>;

// A closed polyline as the CAD exports it, every digit of the coordinates kept.
std::string Export(const Corners& corners) {
    std::string s = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOLYLINE\r\n 70\r\n1\r\n";
    char number[40];
    for (const auto& [x, y] : corners) {
        s += "  0\r\nVERTEX\r\n 10\r\n";
        std::snprintf(number, sizeof number, "%.17g", x);
        s += number;
        s += "\r\n 20\r\n";
        std::snprintf(number, sizeof number, "%.17g", y);
        s += number;
        s += "\r\n";
    }
    return s + "  0\r\nSEQEND\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
}

class Runs {
public:
    RunResult Measure(const Corners& corners, SearchMode mode, bool heron) {
        settings.useHeron = heron;
        RunRequest request;
        request.boundaryDxf = folder.Write("boundary.dxf", Export(corners));
        request.runScript = folder.File("170412093005.scr");
        request.searchMode = mode;
        SilentSearchControl control;
        SteadyMillisecondClock clock;
        return MeasureParcel(*state, settings, request, control, clock);
    }

    std::unique_ptr<MeasurementState> state = std::make_unique<MeasurementState>();
    SanshaSettings settings;
    test::ScratchFolder folder;
};

struct ParcelCase {
    const char* name;
    Corners corners;
};

// A U of 36 x 25 with a notch of 12 x 15 (area 720), corners on straight
// runs along the bottom and the notch, and survey points 0.17 m and 0.35 m
// apart on its vertical sides.
const Corners kSurveyedU = {{0, 0},      {18, 0},  {36, 0},  {36, 12},    {36, 12.17}, {36, 25},
                            {24, 25},    {24, 20}, {24, 19.65}, {24, 10}, {18, 10},    {12, 10},
                            {12, 15},    {12, 15.35}, {12, 25}, {0, 25},  {0, 12.17},  {0, 12}};

class WholeParcel : public testing::TestWithParam<ParcelCase> {};

TEST_P(WholeParcel, IsMeasuredWholeInEveryMode) {
    const Corners& corners = GetParam().corners;
    Runs runs;
    for (const SearchMode mode : {SearchMode::Shape, SearchMode::Closest, SearchMode::NotAbove, SearchMode::Fast}) {
        for (const bool heron : {true, false}) {
            SCOPED_TRACE("mode " + std::to_string(ModeNumber(mode)) + (heron ? " heron" : " sansha"));
            const RunResult r = runs.Measure(corners, mode, heron);
            // Below the area in magnitude, mode 2 may find nothing, and says so.
            if (mode == SearchMode::NotAbove && r.outcome == RunOutcome::NotFound) continue;
            ASSERT_EQ(r.outcome, RunOutcome::Drawn) << NotCoveredMessage(r.cover);
            EXPECT_EQ(r.trinum, static_cast<int32_t>(corners.size()) - 2);
            EXPECT_TRUE(r.cover.covers);
            EXPECT_NEAR(static_cast<double>(r.cover.divisionArea), static_cast<double>(r.cover.parcelArea), 1e-9 * r.menkei);
            if (mode != SearchMode::Fast) {
                EXPECT_TRUE(r.exactSelection);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WholeParcel,
    testing::Values(
        // Three corners on the line x = 200: the sides beside them lost their
        // triangles to a margin of half a drawing unit.
        ParcelCase{"three_corners_on_a_vertical_line",
                   {{195.914, 0.0}, {195.544, 12.587}, {199.875, 2.131}, {200.0, 1.78}, {200.0, 0.0}, {200.0, -0.792}}},
        ParcelCase{"both_diagonals_inside_beside_a_vertical_side",
                   {{0.0, 0.0}, {4.331, -10.456}, {4.456, -10.807}, {4.456, -12.587}}},
        ParcelCase{"surveyed_u_with_close_points_on_vertical_sides", kSurveyedU},
        ParcelCase{"no_candidate_on_the_first_and_last_corner_once",
                   {{0, 0}, {0.027, 0}, {0.027, 0.0097}, {0.0258, 0.0096}}},
        ParcelCase{"a_corner_a_micrometre_off_the_top", {{0, 0}, {100, 0}, {100, 100}, {0.000001, 100.000001}, {0, 100}}},
        ParcelCase{"five_corners_on_a_slanted_line",
                   {{0, 0}, {10, 10}, {20, 20}, {30, 30}, {40, 40}, {60, 20}, {50, -10}}},
        ParcelCase{"four_corners_on_a_slanted_side", {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 0}}},
        // 9 cm across at a million: the search stored a stack of 7 triangles.
        ParcelCase{"seven_corners_9_cm_across_at_a_million",
                   {{998999.999, -998999.972}, {998999.974, -998999.976}, {998999.974, -998999.989},
                    {998999.963, -999000.002}, {999000.001, -999000.042}, {999000.009, -999000.038},
                    {999000.023, -999000.019}}}),
    [](const testing::TestParamInfo<ParcelCase>& info) { return std::string(info.param.name); });

TEST(WholeParcelRefused, TwoCornersCloserThanASurveyCouldMean) {
    // Survey coordinates, one corner doubled 8e-7 m away.
    const Corners parcel = {{-34120.512, -11950.204}, {-32880.306, -12010.775}, {-31955.911, -10980.420},
                            {-32310.004, -9740.118},  {-32310.0040008, -9740.118}, {-33560.637, -9402.993},
                            {-34480.150, -10560.062}};
    Runs runs;
    for (const SearchMode mode : {SearchMode::Shape, SearchMode::Closest, SearchMode::NotAbove, SearchMode::Fast}) {
        try {
            runs.Measure(parcel, mode, true);
            ADD_FAILURE() << "measured in mode " << ModeNumber(mode);
        } catch (const InvalidInputError& e) {
            EXPECT_STREQ(e.what(), "構成点が近すぎます: 構成点 4 と構成点 5（間隔 8e-07）");
        }
    }
}

}  // namespace
}  // namespace zelkan
