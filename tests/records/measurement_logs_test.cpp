#include "records/measurement_logs.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "support/parcels.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

using sample::SetParcel;
using test::ScratchFolder;

class Records : public testing::Test {
protected:
    std::unique_ptr<EngineTables> t = std::make_unique<EngineTables>();
    ScratchFolder folder;
};

// The coordinate area, its table written to mem where a name is given.
double AreaWithTable(const EngineTables& t, int32_t scaleDenom, const std::string& mem) {
    const CoordinateArea area = MeasureCoordArea(t, scaleDenom);
    if (!mem.empty()) WriteMemLog(area, mem);
    return area.area;
}

const sample::Polygon kSquareCcw = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};

TEST_F(Records, SquareCounterClockwiseCoordinateAreaTable) {
    SetParcel(*t, kSquareCcw);
    NormalizeVertexOrder(*t);
    const std::string mem = folder.File("run.mem");
    EXPECT_EQ(AreaWithTable(*t, 1, mem), 100.0);
    EXPECT_EQ(ReadFileBytes(mem),
              "   1        0.000        0.000        0.000       10.000       10.000        0.000000\r\n"
              "   2        0.000       10.000       10.000        0.000       10.000     -100.000000\r\n"
              "   3       10.000       10.000        0.000      -10.000       10.000     -100.000000\r\n"
              "   4       10.000        0.000      -10.000        0.000       10.000        0.000000\r\n"
              "                                      0.000        0.000       40.000     -200.000000\r\n"
              "                                                                          -100.000\r\n");
}

TEST_F(Records, SquareClockwiseHasAPositiveSumAndTheSameArea) {
    SetParcel(*t, {{0, 0}, {0, 10}, {10, 10}, {10, 0}});
    NormalizeVertexOrder(*t);
    const std::string mem = folder.File("run.mem");
    EXPECT_EQ(AreaWithTable(*t, 1, mem), 100.0);
    const std::string text = ReadFileBytes(mem);
    EXPECT_NE(text.find("      200.000000\r\n"), std::string::npos);
    EXPECT_NE(text.find("           100.000\r\n"), std::string::npos);
}

TEST_F(Records, CoordinateAreaWithoutAPathWritesNothing) {
    SetParcel(*t, kSquareCcw);
    EXPECT_EQ(AreaWithTable(*t, 1, ""), 100.0);
    t->xynum = 0;
    EXPECT_EQ(AreaWithTable(*t, 1, folder.File("none.mem")), 0.0);
    EXPECT_THROW(ReadFileBytes(folder.File("none.mem")), InputOutputError);
}

TEST_F(Records, TermsAreRoundedToSixDecimalsBeforeTheyAreSummed) {
    // x * (y(v-1) - y(v+1)) of the second vertex is 0.00000015 * 10: its
    // seventh decimal rounds the term up to 0.000002.
    SetParcel(*t, {{0, 0}, {0.00000015, -5}, {0, 10}});
    EXPECT_EQ(AreaWithTable(*t, 1, ""), 0.000001);
}

TEST_F(Records, MeasuringScaleHalvesTheTableButNotTheVertexLog) {
    SetParcel(*t, kSquareCcw);
    NormalizeVertexOrder(*t);
    const std::string mem = folder.File("run.mem");
    EXPECT_EQ(AreaWithTable(*t, 2, mem), 25.0);
    const std::string text = ReadFileBytes(mem);
    EXPECT_EQ(text.substr(0, 87),
              "   1        0.000        0.000        0.000        5.000        5.000        0.000000\r\n");
    EXPECT_NE(text.find("      -25.000000\r\n"), std::string::npos);
    WriteXyLog(*t, folder.File("run.xy"));
    EXPECT_EQ(ReadFileBytes(folder.File("run.xy")), "1,0.000,0.000\r\n2,0.000,10.000\r\n3,10.000,10.000\r\n4,10.000,0.000\r\n");
}

struct OrderCase {
    sample::Polygon vertices;
    sample::Polygon expected;
};

class StartVertex : public testing::TestWithParam<OrderCase> {};

TEST_P(StartVertex, RotatesToTheStartAndDoublesTheTable) {
    auto t = std::make_unique<EngineTables>();
    SetParcel(*t, GetParam().vertices);
    NormalizeVertexOrder(*t);
    const auto& expected = GetParam().expected;
    const size_t n = expected.size();
    for (size_t v = 0; v < 2 * n; ++v) {
        EXPECT_EQ(t->xy[v + 1].x, static_cast<long double>(expected[v % n].first)) << v + 1;
        EXPECT_EQ(t->xy[v + 1].y, static_cast<long double>(expected[v % n].second)) << v + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Orders, StartVertex,
    testing::Values(
        // Smaller x, then the tie rule within the same whole unit of x.
        OrderCase{{{5, 0}, {0, 3}, {0, -4}}, {{0, -4}, {5, 0}, {0, 3}}},
        // The rule compares only with the vertex taken so far.
        OrderCase{{{10.1, 100}, {10.9, 5}, {10.5, 50}, {20, 60}}, {{10.5, 50}, {20, 60}, {10.1, 100}, {10.9, 5}}},
        OrderCase{{{10.5, 50}, {10.1, 100}, {10.9, 5}, {20, 60}}, {{10.9, 5}, {20, 60}, {10.5, 50}, {10.1, 100}}},
        OrderCase{{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}}));

TEST_F(Records, CandidateSelectionAndDivisionLogs) {
    SetParcel(*t, kSquareCcw);
    StoreDivision(*t, sample::CandidatesOf(*t, {{1, 2, 3}, {1, 3, 4}}));
    StoreDivision(*t, sample::CandidatesOf(*t, {{1, 3, 4}}));
    t->tritemp[2].shape = 105;  // both halves measure 60: set apart, the log shows whose shape it prints
    SelectTriset(*t, 1);

    WriteCanLog(*t, folder.File("r.can"));
    EXPECT_EQ(ReadFileBytes(folder.File("r.can")), "1,1,2,3,60.00\r\n2,1,3,4,105.00\r\n");
    WriteTriLog(*t, folder.File("r.tri"));
    EXPECT_EQ(ReadFileBytes(folder.File("r.tri")), "1,1,2,3\r\n2,1,3,4\r\n");
    WriteTrwLog(*t, folder.File("r.trw"));
    EXPECT_EQ(ReadFileBytes(folder.File("r.trw")), "1,1,1,1,2,3\r\n1,2,2,1,3,4\r\n2,1,2,1,3,4\r\n");
    EXPECT_EQ(t->trinum, 1) << "the current division is not touched";
}

TEST_F(Records, ALogThatCannotBeWrittenIsAnInputErrorNamingIt) {
    SetParcel(*t, kSquareCcw);
    const std::string name = folder.File("missing folder/r.xy");
    try {
        WriteXyLog(*t, name);
        FAIL() << "no error";
    } catch (const InputOutputError& e) {
        EXPECT_EQ(e.fileName(), name);
    }
}

TEST_F(Records, RewritingAFileReplacesItWhole) {
    const std::string name = folder.Write("r.tri", std::string(1000, 'x'));
    WriteTriLog(*t, name);
    EXPECT_EQ(ReadFileBytes(name), "");
}

}  // namespace
}  // namespace zelkan
