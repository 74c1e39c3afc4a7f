// The main window's workflow against the stand-in CAD in this process,
// with a window that records what is done to it.
#include "app/zelkan_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/recording_view.h"
#include "command_interpreter.h"
#include "engine/evaluation.h"
#include "geometry/file_io.h"
#include "in_process_cad.h"
#include "settings/ini_file.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

using standin::CommandInterpreter;
using standin::Drawing;
using standin::InProcessCad;
using standin::ParseScenario;
using test::RecordingView;
using Texts = std::vector<std::string>;
using C = MainControl;

class StampClock : public LocalClock {
public:
    std::tm Now() override {
        std::tm t{};
        t.tm_year = 117, t.tm_mon = 3, t.tm_mday = 12, t.tm_hour = 9, t.tm_min = 30, t.tm_sec = 5;
        return t;
    }
};

// Time moves only when asked: the search's clock readings are free.
class StillClock : public MillisecondClock {
public:
    uint32_t NowMs() override { return now += 1; }
    uint32_t now = 0;
};

class Workflow : public testing::Test {
protected:
    void Start(std::string_view scenario, const std::string& ini = "") {
        if (!ini.empty()) folder.Write("zelkan.Ini", ini);
        cad = std::make_unique<CommandInterpreter>(
            ParseScenario(scenario), Drawing::FromDxf(ReadFileBytes(test::FixturePath("cad/two_parcels_on_a_block.dxf"))));
        link = std::make_unique<InProcessCad>(*cad);
        form = std::make_unique<TZelkanF>(view, *link, stamp, clock, folder.File(""), MainWindowFeatures{true, true});
        form->FormCreate();
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(PathFromUtf8(folder.File(name))); }
    Texts Received() const { return cad->received(); }

    test::ScratchFolder folder;
    RecordingView view;
    StampClock stamp;
    StillClock clock;
    std::unique_ptr<CommandInterpreter> cad;
    std::unique_ptr<InProcessCad> link;
    std::unique_ptr<TZelkanF> form;
};

constexpr const char* kPickInside = "pick = -33990,-11990\n";

// What the CAD is sent for one measurement and the insertion of its result.
Texts RunCommands(const std::string& runScript) {
    const std::string base = runScript.substr(0, runScript.size() - 4);
    return {"'SETVAR UCSORG\r", "'SETVAR UCSXDIR\r", "'SETVAR UCSYDIR\r", "\003ID ", "'SETVAR LASTPOINT \r",
            "\003", "\003-boundary ", "-33990.0000,-11990.0000\n\n", "_filedia 0\n",
            "script \"" + runScript + "\"\n", "_filedia 1\n", "ERASE\nLAST\n\n", "\003_filedia 0\n",
            "\003-INSERT\r\"" + base + "res.dxf\"\rS \rR \r0,0\r", "\003_filedia 1\n"};
}

class EveryMode : public Workflow, public testing::WithParamInterface<int32_t> {};

TEST_P(EveryMode, MeasuresThenPressesTheAreaTableThenMeasuresAgain) {
    {
        const int32_t mode = GetParam();
        // The parcel, where the table goes, the parcel again.
        Start(std::string(kPickInside) + "pick = -33900,-11900\n" + kPickInside);
        view.searchMode = mode;
        form->Button3Click();
        const std::string run = folder.File("170412093005.scr");
        ASSERT_EQ(form->runScript(), run);
        EXPECT_EQ(Received(), RunCommands(run));
        EXPECT_EQ(view.Text(C::Button3), "面積表");
        EXPECT_TRUE(view.Enabled(C::Button3));
        EXPECT_EQ(view.Text(C::Label1), "403.430");
        EXPECT_EQ(form->evaluationEnabled(), mode != kModeFast);
        EXPECT_EQ(link->hints(), Texts{"筆の内側をクリックしてください"});
        EXPECT_TRUE(Exists("170412093005res.dxf"));
        EXPECT_EQ(Exists("170412093005.tri"), mode != kModeFast);
        EXPECT_FALSE(Exists("170412093005.xy"));  // records are off
        if (mode != kModeFast) {
            EXPECT_EQ(view.Text(C::Label4), std::to_string(form->state().tables.tritempnum) + ":" +
                                                 std::to_string(form->state().tables.trisets.trisetnum()));
        }
        // The minimised window comes back after the click; the search ran
        // with "中断" offered and "設定" came back.
        EXPECT_EQ(view.Text(C::Button1), "設定");
        ASSERT_GE(view.events.size(), 2u);
        EXPECT_EQ(view.events[0], "minimize");
        EXPECT_EQ(view.events[1], "restore");

        const size_t entitiesAfterRun = cad->drawing().entities().size();
        // The second press writes the table and lets the user place it.
        const size_t sent = Received().size();
        form->Button3Click();
        const Texts after = Received();
        EXPECT_EQ(Texts(after.begin() + static_cast<std::ptrdiff_t>(sent), after.end()),
                  Texts{"\003-INSERT\r\"" + folder.File("170412093006seki.dxf") + "\"\rS \rR \r"});
        EXPECT_TRUE(Exists("170412093006seki.dxf"));
        EXPECT_EQ(view.Text(C::Button3), "三斜自動");
        EXPECT_FALSE(form->evaluationEnabled());
        link->SleepMs(1000);  // the user clicks where the table goes
        EXPECT_EQ(cad->drawing().entities().size(), entitiesAfterRun + 1);
        // A third press measures again.
        form->Button3Click();
        EXPECT_EQ(view.Text(C::Button3), "面積表");
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, EveryMode, testing::Values(0, 1, 3));

}  // namespace
}  // namespace zelkan
