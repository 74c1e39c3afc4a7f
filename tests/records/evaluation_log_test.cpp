#include "records/evaluation_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "geometry/file_io.h"
#include "support/parcels.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

RunMeasure DefaultMeasure(double menkei) {
    RunMeasure m;
    m.rounding = RunRounding{KetaMode::HalfUp, 2, KetaMode::HalfUp, 4, KetaMode::HalfUp, 2};
    m.scaleDenom = 1;
    m.menkei = menkei;
    return m;
}

TEST(EvaluationLog, RightTriangleMeasuredOnItsLongestSide) {
    auto t = std::make_unique<EngineTables>();
    sample::SetParcel(*t, {{0, 0}, {4, 0}, {0, 3}});
    LoadDivision(*t, sample::CandidatesOf(*t, {{1, 2, 3}}));
    std::string file;
    const RunMeasure m = DefaultMeasure(6.0);
    WriteTrsHeader(file, *t, m);
    WriteTrsDivision(file, 1, *t, m);
    EXPECT_EQ(file,
              "2,2,2,4,2,2\r\n"
              "3\r\n"
              "1, 0.000, 0.000\r\n"
              "2, 0.000, 4.000\r\n"
              "3, 3.000, 0.000\r\n"
              "   6.000000\r\n"
              "1\r\n"
              "1,1,2,3,  2.40,  5.00,12.0000,  4.00,  5.00,  3.00,6.0000\r\n"
              "0,1,  6.000000,6.0000,0.000000,  6.000000,6.0000\r\n");
}

TEST(EvaluationLog, EquilateralTriangleTakesJkAsItsBase) {
    auto t = std::make_unique<EngineTables>();
    // All three sides exactly 2: the base is jk and the apex vertex 1.
    sample::SetParcel(*t, {{0, 0}, {2, 0}, {1, 1.7320508075688772}});
    t->xy[2] = TAcadPoint{2, 0, 0};
    LoadDivision(*t, sample::CandidatesOf(*t, {{1, 2, 3}}));
    std::string file;
    RunMeasure m = DefaultMeasure(1.7320);
    // With 0 length decimals every side reads 2 whatever its last bit.
    m.rounding.lengthDigits = 0;
    WriteTrsDivision(file, 1, *t, m);
    EXPECT_EQ(file.substr(0, 29), "1,1,2,3,     2,     2,4.0000,");
}

TEST(EvaluationLog, SaveAsWritesEveryLogUnderTheChosenNameAndKeepsTheDrawnDivisionCurrent) {
    auto t = std::make_unique<EngineTables>();
    test::ScratchFolder folder;
    sample::SetParcel(*t, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    StoreDivision(*t, sample::CandidatesOf(*t, {{1, 2, 3}, {1, 3, 4}}));
    StoreDivision(*t, sample::CandidatesOf(*t, {{1, 2, 4}, {2, 3, 4}}));
    LoadTriset(*t, 1);  // the division drawn

    const LogPaths paths = SaveLogsAs(*t, folder.File("abc.txt"), DefaultMeasure(100.0));
    EXPECT_EQ(paths.trsFile, folder.File("abc.trs"));
    for (const char* name : {"abc.xy", "abc.can", "abc.mem", "abc.tri", "abc.trw", "abc.trs"})
        EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(folder.File(name)))) << name;
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(folder.File("abc.txt"))));
    // The division drawn stays current, so that the area table still belongs to it.
    EXPECT_EQ(t->trinum, 2);
    EXPECT_EQ(t->tritable[1].st, 1);

    // Each half of the square is measured on its diagonal, 14.14 x 7.07.
    const std::string trs = ReadFileBytes(paths.trsFile);
    EXPECT_NE(trs.find("4,10.000, 0.000\r\n 100.000000\r\n1\r\n"
                       "1,1,2,3,  7.07, 14.14,99.9698, 10.00, 10.00, 14.14,50.0000\r\n"),
              std::string::npos)
        << trs;
    EXPECT_NE(trs.find("0,1,100.000000,99.9698,0.030200,100.000000,100.0000\r\n"), std::string::npos) << trs;
    EXPECT_NE(trs.find("0,2,100.000000,99.9698,0.030200,100.000000,100.0000\r\n"), std::string::npos) << trs;
}

TEST(EvaluationLog, HistoryMessage) {
    EXPECT_EQ(HistoryDeletedMessage("C:\\u\\zelkan\\"), "C:\\u\\zelkan\\をゴミ箱に移しました");
}

#ifdef _WIN32
TEST(EvaluationLog, RecycleFolderMovesTheFolderAwayAndIgnoresAMissingOne) {
    test::ScratchFolder folder;
    const std::string work = folder.File("work") + "\\";
    std::filesystem::create_directories(PathFromUtf8(work));
    folder.Write("work/zelkan.Ini", "[a]\r\n");
    RecycleFolder(work);
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(folder.File("work"))));
    RecycleFolder(work);
}
#endif

}  // namespace
}  // namespace zelkan
