#include "app/measurement_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

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

class Pipeline : public testing::Test {
protected:
    RunResult Measure(const std::string& parcel, int32_t mode, int32_t noStart) {
        RunRequest request;
        request.boundaryDxf = folder.Write("boundary.dxf", parcel);
        request.runScript = folder.File("170412093005.scr");
        request.searchMode = mode;
        request.noStart = noStart;
        SilentSearchControl control;
        SteadyMillisecondClock clock;
        return MeasureParcel(*state, settings, request, control, clock);
    }
    bool Exists(const char* name) const { return std::filesystem::exists(PathFromUtf8(folder.File(name))); }

    std::unique_ptr<MeasurementState> state = std::make_unique<MeasurementState>();
    SanshaSettings settings;
    test::ScratchFolder folder;
};

const std::string kHexagon = Export({{0, 0}, {10, 0}, {15, 8}, {10, 16}, {0, 16}, {-5, 8}});

TEST_F(Pipeline, NextTriangleNumberByTheNumberingMode) {
    settings.noMode = 0;
    EXPECT_EQ(Measure(kHexagon, 0, 5).nextNoStart, 5);
    settings.noMode = 1;  // after the last number drawn: 5 + 4 triangles
    const RunResult drawn = Measure(kHexagon, 0, 5);
    EXPECT_EQ(drawn.outcome, RunOutcome::Drawn);
    EXPECT_EQ(drawn.trinum, 4);
    EXPECT_EQ(drawn.nextNoStart, 9);
    settings.noMode = 2;
    EXPECT_EQ(Measure(kHexagon, 0, 5).nextNoStart, 105);
}

TEST_F(Pipeline, NotFoundInModeTwoStillAdvancesTheNumbers) {
    // Both halves of a 10 x 10 square measure 50.00 by Heron: the division is
    // not below the coordinate area 100, so mode 2 finds nothing.
    settings.noMode = 2;
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

TEST_F(Pipeline, FastModeWritesNoSelectionRecordAndKeepsTheNumbers) {
    settings.noMode = 1;
    const RunResult r = Measure(kHexagon, kModeFast, 5);
    EXPECT_EQ(r.outcome, RunOutcome::Drawn);
    EXPECT_EQ(r.trinum, 4);
    EXPECT_EQ(r.nextNoStart, 5);
    EXPECT_FALSE(Exists("170412093005.tri"));
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

}  // namespace
}  // namespace zelkan
