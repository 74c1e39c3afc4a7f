#include "records/run_names.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "geometry/file_io.h"
#include "records/work_folder.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

std::tm Local(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

class FixedClock : public LocalClock {
public:
    explicit FixedClock(std::tm t) : t_(t) {}
    std::tm Now() override { return t_; }

private:
    std::tm t_;
};

TEST(RunStamp, TwelveZeroPaddedDigits) {
    EXPECT_EQ(FormatRunStamp(Local(2020, 1, 1, 0, 0, 0)), "200101000000");
    EXPECT_EQ(FormatRunStamp(Local(2017, 12, 31, 23, 59, 59)), "171231235959");
    EXPECT_EQ(FormatRunStamp(Local(2017, 4, 12, 9, 30, 5)), "170412093005");
    FixedClock clock(Local(2017, 4, 12, 9, 30, 5));
    EXPECT_EQ(MakeRunScript("C:\\Users\\a\\AppData\\Roaming\\zelkan\\", clock),
              "C:\\Users\\a\\AppData\\Roaming\\zelkan\\170412093005.scr");
}

struct DeriveCase {
    const char* path;
    const char* suffix;
    const char* result;
};

class DeriveNameTable : public testing::TestWithParam<DeriveCase> {};

TEST_P(DeriveNameTable, ReplacesTheExtensionOfTheFileNameOnly) {
    EXPECT_EQ(DeriveName(GetParam().path, GetParam().suffix), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DeriveNameTable,
    testing::Values(DeriveCase{"C:\\u\\zelkan\\170412093005.scr", "res.dxf", "C:\\u\\zelkan\\170412093005res.dxf"},
                    DeriveCase{"C:\\u\\zelkan\\170412093005.scr", ".xy", "C:\\u\\zelkan\\170412093005.xy"},
                    DeriveCase{"C:\\temp\\run1", ".xy", "C:\\temp\\run1.xy"},
                    DeriveCase{"C:\\temp.d\\run1", ".xy", "C:\\temp.d\\run1.xy"},
                    DeriveCase{"C:\\temp\\abc.txt", ".trs", "C:\\temp\\abc.trs"},
                    DeriveCase{"C:\\temp\\a.b.c", ".xy", "C:\\temp\\a.b.xy"},
                    DeriveCase{"D:run.1", ".xy", "D:run.xy"}, DeriveCase{"x.d:run", ".xy", "x.d:run.xy"},
                    DeriveCase{"run", "seki.dxf", "runseki.dxf"}));

#ifndef _WIN32
TEST(DeriveName, SlashEndsTheFolderPartOutsideWindows) {
    EXPECT_EQ(DeriveName("/home/u/x.d/run1", ".xy"), "/home/u/x.d/run1.xy");
}
#endif

TEST(RunNames, LogPathsAndTheDrawingsOfANewBaseName) {
    test::ScratchFolder folder;
    const std::string script = folder.File("170412093005.scr");
    const LogPaths paths = DeriveLogPaths(script);
    EXPECT_EQ(paths.xyFile, folder.File("170412093005.xy"));
    EXPECT_EQ(paths.trsFile, folder.File("170412093005.trs"));
    for (const char* name : {"170412093005.dxf", "170412093005seki.dxf", "170412093005res.dxf", "170412093005.xy"})
        folder.Write(name, "x");
    DeleteRunDrawings(script);
    DeleteRunDrawings(script);  // missing files are no error
    const auto exists = [&folder](const char* name) { return std::filesystem::exists(PathFromUtf8(folder.File(name))); };
    EXPECT_FALSE(exists("170412093005.dxf"));
    EXPECT_FALSE(exists("170412093005seki.dxf"));
    EXPECT_FALSE(exists("170412093005res.dxf"));
    EXPECT_TRUE(exists("170412093005.xy"));
}

TEST(WorkFolder, IsCreatedWithItsParents) {
#ifdef _WIN32
    const std::string folder = SetUpWorkFolder();
    ASSERT_GE(folder.size(), 8u);
    EXPECT_EQ(folder.substr(folder.size() - 8), "\\zelkan\\");
#else
    test::ScratchFolder scratch;
    const std::string dataHome = scratch.File("deep/data");
    ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    const std::string folder = SetUpWorkFolder();
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(folder, dataHome + "/zelkan/");
#endif
    EXPECT_TRUE(std::filesystem::is_directory(PathFromUtf8(folder)));
}

TEST(RunNames, ARunInTheSameSecondTakesTheNextFreeOne) {
    test::ScratchFolder folder;
    const std::string work = folder.File("");
    FixedClock clock(Local(2017, 12, 31, 23, 59, 58));
    EXPECT_EQ(MakeRunScript(work, clock), work + "171231235958.scr");
    // Any file of a run marks its name as taken: a drawing, a record.
    folder.Write("171231235958res.dxf", "");
    folder.Write("171231235959.tri", "");
    EXPECT_EQ(MakeRunScript(work, clock), work + "180101000000.scr");
    EXPECT_TRUE(RunNameTaken(work + "171231235959.scr"));
    EXPECT_FALSE(RunNameTaken(work + "180101000000.scr"));
}

}  // namespace
}  // namespace zelkan
