// The main window's workflow against the stand-in CAD in this process,
// with a window that records what is done to it.
#include "app/zelkan_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/recording_view.h"
#include "app/registration_run.h"
#include "cad/cad_procedures.h"
#include "command_interpreter.h"
#include "engine/evaluation.h"
#include "geometry/cp932.h"
#include "geometry/file_io.h"
#include "in_process_cad.h"
#include "settings/ini_file.h"
#include "support/test_files.h"
#include "viewers/division_views.h"

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

Drawing TwoParcels() { return Drawing::FromDxf(ReadFileBytes(test::FixturePath("cad/two_parcels_on_a_block.dxf"))); }

class Workflow : public testing::Test {
protected:
    void Start(std::string_view scenario, const std::string& ini = "", Drawing drawing = TwoParcels()) {
        if (!ini.empty()) folder.Write("zelkan.Ini", ini);
        cad = std::make_unique<CommandInterpreter>(ParseScenario(scenario), std::move(drawing));
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
        const SearchMode mode = SearchModeOf(GetParam());
        // The parcel, where the table goes, the parcel again.
        Start(std::string(kPickInside) + "pick = -33900,-11900\n" + kPickInside);
        view.searchMode = GetParam();
        form->RunButtonClick();
        const std::string run = folder.File("170412093005.scr");
        ASSERT_EQ(form->runScript(), run);
        EXPECT_EQ(Received(), RunCommands(run));
        EXPECT_EQ(view.Text(C::RunButton), "面積表");
        EXPECT_TRUE(view.Enabled(C::RunButton));
        EXPECT_EQ(view.Text(C::CoordinateAreaLabel), "403.430");
        EXPECT_EQ(form->evaluationEnabled(), mode != SearchMode::Fast);
        EXPECT_EQ(link->hints(), Texts{"筆の内側をクリックしてください"});
        EXPECT_TRUE(Exists("170412093005res.dxf"));
        EXPECT_TRUE(Exists("170412093005.tri"));  // every mode names its division
        EXPECT_FALSE(Exists("170412093005.xy"));  // records are off
        if (mode != SearchMode::Fast) {
            EXPECT_EQ(view.Text(C::ProgressLabel), std::to_string(form->state().tables.tritempnum) + ":" +
                                                 std::to_string(form->state().tables.trisets.trisetnum()));
        }
        // The minimised window comes back after the click; the search ran
        // with "中断" offered and "設定" came back.
        EXPECT_EQ(view.Text(C::SettingsButton), "設定");
        ASSERT_GE(view.events.size(), 2u);
        EXPECT_EQ(view.events[0], "minimize");
        EXPECT_EQ(view.events[1], "restore");

        const size_t entitiesAfterRun = cad->drawing().entities().size();
        // The second press writes the table and lets the user place it.
        const size_t sent = Received().size();
        form->RunButtonClick();
        const Texts after = Received();
        EXPECT_EQ(Texts(after.begin() + static_cast<std::ptrdiff_t>(sent), after.end()),
                  Texts{"\003-INSERT\r\"" + folder.File("170412093006seki.dxf") + "\"\rS \rR \r"});
        EXPECT_TRUE(Exists("170412093006seki.dxf"));
        EXPECT_EQ(view.Text(C::RunButton), "三斜自動");
        EXPECT_FALSE(form->evaluationEnabled());
        link->SleepMs(1000);  // the user clicks where the table goes
        EXPECT_EQ(cad->drawing().entities().size(), entitiesAfterRun + 1);
        // A third press measures again.
        form->RunButtonClick();
        EXPECT_EQ(view.Text(C::RunButton), "面積表");
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, EveryMode, testing::Values(0, 1, 3));

// A CAD whose point command answers without coordinates, or whose text
// window shows nothing.
class OddCad : public InProcessCad {
public:
    using InProcessCad::InProcessCad;
    std::string LastHistoryLine() override { return noX ? "点を指定:" : InProcessCad::LastHistoryLine(); }
    std::string ReadTextHistory() override { return noHistory ? "" : InProcessCad::ReadTextHistory(); }
    bool noX = false;
    bool noHistory = false;
};

TEST_F(Workflow, PressesThatEndBeforeTheBoundary) {
    const struct {
        const char* name;
        const char* scenario;
        bool running, noX, noHistory;
        Texts sent;
        const char* caption;
    } cases[] = {
        {"no CAD", kPickInside, false, false, false, {}, "三斜自動"},
        {"no history", kPickInside, true, false, true, {}, "三斜自動"},
        {"cancelled click", "pick = cancel\n", true, false, false,
         {"'SETVAR UCSORG\r", "'SETVAR UCSXDIR\r", "'SETVAR UCSYDIR\r", "\003ID "}, "三斜自動"},
        {"reply without X", kPickInside, true, true, false,
         {"'SETVAR UCSORG\r", "'SETVAR UCSXDIR\r", "'SETVAR UCSYDIR\r", "\003ID "}, "三斜自動"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view = RecordingView{};
        Start(c.scenario);
        OddCad odd(*cad, c.running);
        odd.noX = c.noX;
        odd.noHistory = c.noHistory;
        TZelkanF f(view, odd, stamp, clock, folder.File(""), MainWindowFeatures{true, true});
        f.FormCreate();
        f.RunButtonClick();
        EXPECT_EQ(Received(), c.sent);
        EXPECT_EQ(view.Text(C::RunButton), c.caption);
        EXPECT_TRUE(view.Enabled(C::RunButton));
        EXPECT_FALSE(f.evaluationEnabled());
        EXPECT_FALSE(Exists("170412093005res.dxf"));
        for (const std::string& e : view.events) EXPECT_EQ(e.find("message"), std::string::npos) << e;
    }
}

TEST_F(Workflow, TheCoordinateTableGoesBesideTheAreaTableWithTheSameClick) {
    const std::string ini = Utf8ToCp932("[座標求積]\r\n面積表=1\r\n精度区分=2\r\n");
    for (const bool cancelled : {false, true}) {
        SCOPED_TRACE(cancelled ? "cancelled" : "placed");
        view = RecordingView{};
        Start(std::string(kPickInside) + (cancelled ? "pick = cancel\n" : "pick = -33900,-11900\n"), ini);
        form->RunButtonClick();
        // The panel's status line: the coordinate 地積 and the 甲二 verdict of the 三斜 area.
        const RegistrationFigures figures = LastRunRegistration(form->state(), form->settings());
        // 403.4296 cut to 1/100 m² (the panel rounds it to 403.430).
        EXPECT_EQ(DecimalString(figures.coordinateChiseki), "403.42");
        ASSERT_TRUE(figures.sanshaWithin);
        EXPECT_EQ(view.Text(C::Status), RegistrationPanelText(figures));
        EXPECT_EQ(view.Text(C::Status).rfind("地積 403.42", 0), 0u) << view.Text(C::Status);
        EXPECT_NE(view.Text(C::Status).find("甲二 公差内"), std::string::npos) << view.Text(C::Status);

        const size_t entities = cad->drawing().entities().size();
        const size_t sent = Received().size();
        form->RunButtonClick();
        const Texts all = Received();
        const Texts after(all.begin() + static_cast<std::ptrdiff_t>(sent), all.end());
        const std::string seki = DeriveName(form->runScript(), "seki.dxf");
        const std::string zahyo = DeriveName(form->runScript(), "zahyo.dxf");
        if (cancelled) {
            EXPECT_EQ(after, Texts{"\003-INSERT\r\"" + seki + "\"\rS \rR \r"});  // nothing beside a table not placed
            continue;
        }
        // The Heron table is 3 + 8 + 8 + 8 + 14 characters of 4 wide: 164, and a gap of 8.
        EXPECT_EQ(after, (Texts{"\003-INSERT\r\"" + seki + "\"\rS \rR \r", "'SETVAR LASTPOINT \r", "\003",
                                "\003-INSERT\r\"" + zahyo + "\"\rS \rR \r-33728.0000,-11900.0000\r"}));
        EXPECT_EQ(cad->drawing().entities().size(), entities + 2);
        EXPECT_EQ(view.Text(C::RunButton), "三斜自動");
    }
}

TEST_F(Workflow, AClickOutsideEveryParcelGivesNoBoundary) {
    Start("pick = 0,0\n");
    form->RunButtonClick();
    EXPECT_EQ(view.events.back(), "message: 面の取得ができませんでした");
    EXPECT_EQ(view.Text(C::RunButton), "三斜自動");
    EXPECT_TRUE(view.Enabled(C::RunButton));
    EXPECT_EQ(Received().back(), "_filedia 1\n");  // nothing erased
}

// The parcels, then a closed polyline the user drew last, beside them.
Drawing WithTheUsersPolylineLast() {
    Drawing drawing = TwoParcels();
    standin::Entity square;
    square.kind = standin::EntityKind::Polyline;
    square.closed = true;
    square.points = {{-33940, -12000}, {-33930, -12000}, {-33930, -11990}, {-33940, -11990}};
    drawing.Add(square);
    return drawing;
}

// A CAD that answers the boundary command in words not known here.
class UnknownWordsCad : public InProcessCad {
public:
    using InProcessCad::InProcessCad;
    std::string ReadTextHistory() override {
        std::string history = InProcessCad::ReadTextHistory();
        for (size_t at; (at = history.find("BOUNDARY は")) != std::string::npos;) history.replace(at, 11, "境界作成:");
        return history;
    }
};

TEST_F(Workflow, AClickBesideEveryParcelErasesNothingOfTheUsers) {
    for (const bool knownWords : {true, false}) {
        SCOPED_TRACE(knownWords ? "the CAD's answer" : "the polyline alone");
        view = RecordingView{};
        // Outside every parcel and outside the user's square.
        Start("pick = -33900,-11900\n", Utf8ToCp932("[No増加]\r\nMode=1\r\n"), WithTheUsersPolylineLast());
        view.texts[C::FirstNumberBox] = "7";
        UnknownWordsCad unknown(*cad);
        CadChannel& channel = knownWords ? static_cast<CadChannel&>(*link) : unknown;
        TZelkanF f(view, channel, stamp, clock, folder.File(""), MainWindowFeatures{true, true});
        f.FormCreate();
        const size_t entities = cad->drawing().entities().size();
        f.RunButtonClick();
        EXPECT_EQ(view.events.back(), "message: 面の取得ができませんでした");
        for (const std::string& text : Received()) {
            EXPECT_EQ(text.find("ERASE"), std::string::npos) << text;
            EXPECT_EQ(text.find("-INSERT"), std::string::npos) << text;
        }
        ASSERT_EQ(cad->drawing().entities().size(), entities);
        EXPECT_EQ(cad->drawing().Last()->kind, standin::EntityKind::Polyline);
        EXPECT_EQ(view.Text(C::RunButton), "三斜自動");
        EXPECT_TRUE(view.Enabled(C::RunButton));
        EXPECT_FALSE(f.evaluationEnabled());
        EXPECT_EQ(view.Text(C::FirstNumberBox), "7");
        EXPECT_EQ(view.Text(C::CoordinateAreaLabel), "座標面計値");
        EXPECT_FALSE(Exists("170412093005res.dxf"));
    }
}

TEST_F(Workflow, AClickInsideTheUsersLastPolylineMeasuresItAndKeepsIt) {
    // The boundary the CAD traces is a copy of the square: that copy is
    // erased, the square stays.
    Start("pick = -33935,-11995\n", "", WithTheUsersPolylineLast());
    const size_t entities = cad->drawing().entities().size();
    form->RunButtonClick();
    EXPECT_EQ(view.Text(C::RunButton), "面積表");
    EXPECT_EQ(view.Text(C::CoordinateAreaLabel), "100.000");
    ASSERT_EQ(cad->drawing().entities().size(), entities + 1);  // the result inserted
    const auto& all = cad->drawing().entities();
    EXPECT_EQ(all[all.size() - 2].kind, standin::EntityKind::Polyline);
    EXPECT_EQ(all.back().kind, standin::EntityKind::Insert);
}

TEST_F(Workflow, ModeTwoFindingNothingTellsTheUserAndStillAdvancesTheNumbers) {
    // By Heron every division of the pentagon measures at least its
    // coordinate area.
    Start(kPickInside, Utf8ToCp932("[No増加]\r\nMode=2\r\n"));
    view.searchMode = ModeNumber(SearchMode::NotAbove);
    view.texts[C::FirstNumberBox] = "5";
    form->RunButtonClick();
    EXPECT_EQ(view.Text(C::RunButton), "三斜自動");
    ASSERT_GE(view.events.size(), 2u);
    EXPECT_EQ(view.events[view.events.size() - 2],
              "notice 三斜自動: 見つかりませんでした。設定[座標面計値を超えない]を確認してください");
    EXPECT_EQ(view.events.back(), "beep");
    EXPECT_EQ(view.Text(C::FirstNumberBox), "105");
    EXPECT_FALSE(form->evaluationEnabled());
    EXPECT_EQ(view.Text(C::DivisionsLabel), "");  // no evaluation value, nor the count of divisions in its place
    EXPECT_TRUE(Exists("170412093005.tri"));
    EXPECT_FALSE(Exists("170412093005res.dxf"));
}

TEST_F(Workflow, AFastRunLeavesNothingOfTheRunBeforeOnThePanel) {
    // The parcel, where the table goes, the parcel again.
    Start(std::string(kPickInside) + "pick = -33900,-11900\n" + kPickInside);
    form->RunButtonClick();
    ASSERT_EQ(view.Text(C::RunButton), "面積表");
    ASSERT_FALSE(view.Text(C::ProgressLabel).empty());
    std::string divisionsWhileWaiting = "?", progressWhileWaiting = "?";
    view.onPump = [&] {
        if (view.Text(C::RunButton) == "指示待ち" && divisionsWhileWaiting == "?") {
            divisionsWhileWaiting = view.Text(C::DivisionsLabel);
            progressWhileWaiting = view.Text(C::ProgressLabel);
        }
    };
    view.searchMode = ModeNumber(SearchMode::Fast);
    form->RunButtonClick();  // the area table
    link->SleepMs(1000);   // placed
    ASSERT_EQ(view.Text(C::RunButton), "三斜自動");
    form->RunButtonClick();
    EXPECT_EQ(divisionsWhileWaiting, "");
    EXPECT_EQ(progressWhileWaiting, "");
    EXPECT_EQ(view.Text(C::RunButton), "面積表");
    EXPECT_FALSE(form->evaluationEnabled());
    // Neither the evaluation value nor the counts of the run before.
    EXPECT_EQ(view.Text(C::DivisionsLabel), "");
    EXPECT_EQ(view.Text(C::ProgressLabel), "");
}

TEST_F(Workflow, TheCadGoneDuringTheSearchIsToldAndNothingIsOfferedForIt) {
    Start(kPickInside, Utf8ToCp932("[No増加]\r\nMode=1\r\n"));
    view.texts[C::FirstNumberBox] = "5";
    view.onPump = [&] {
        if (view.Text(C::SettingsButton) == "中断") link->SetRunning(false);
    };
    form->RunButtonClick();
    EXPECT_EQ(view.Text(C::RunButton), "三斜自動");
    EXPECT_FALSE(form->evaluationEnabled());
    EXPECT_NE(std::find(view.events.begin(), view.events.end(),
                        "message: " + ResultNotInsertedMessage(kCadNotFoundStatus)),
              view.events.end());
    for (const std::string& text : Received()) EXPECT_EQ(text.find("-INSERT"), std::string::npos) << text;
    EXPECT_EQ(view.Text(C::FirstNumberBox), "5");  // no number was drawn
}

TEST_F(Workflow, NoCadIsToldInTheStatusLine) {
    Start(kPickInside);
    link->SetRunning(false);
    form->RunButtonClick();
    EXPECT_EQ(view.Text(C::Status), kCadNotFoundStatus);
    view.texts[C::Status] = "";
    form->HighestNumberButtonClick();
    EXPECT_EQ(view.Text(C::Status), kCadNotFoundStatus);
    EXPECT_TRUE(Received().empty());
}

TEST_F(Workflow, NumberingAfterARunByTheNumberingMode) {
    const struct {
        const char* ini;
        const char* before;
        const char* after;
        int32_t mode = 0;
    } cases[] = {
        {"[No増加]\r\nMode=0\r\n", "5", "5"},
        {"[No増加]\r\nMode=1\r\n", "5", "8"},  // three triangles drawn: 5, 6, 7
        {"[No増加]\r\nMode=1\r\n", "1,005", "1008"},
        {"[No増加]\r\nMode=2\r\n増加量=100\r\n", "5", "105"},
        {"[No増加]\r\nMode=1\r\n", "abc", "4"},
        // The fast mode numbers on after what it drew, as the others do.
        {"[No増加]\r\nMode=1\r\n", "7", "10", 3},
        {"[No増加]\r\nMode=2\r\n増加量=100\r\n", "7", "107", 3},
        {"[No増加]\r\nMode=0\r\n", "7", "7", 3},
        {"[No増加]\r\nMode=1\r\n", "10,000", "10003"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.ini) + c.before + " mode " + std::to_string(c.mode));
        view = RecordingView{};
        Start(kPickInside, Utf8ToCp932(c.ini));
        view.searchMode = c.mode;
        view.texts[C::FirstNumberBox] = c.before;
        form->RunButtonClick();
        EXPECT_EQ(view.Text(C::FirstNumberBox), c.after);
        folder.Write("zelkan.Ini", "");
    }
}

TEST_F(Workflow, TheNoBoxRefusesWhatItsTooltipRefuses) {
    for (const char* text : {"99999", "10,001", "0", "-5", "99999999999"}) {
        SCOPED_TRACE(text);
        view = RecordingView{};
        Start(kPickInside);
        view.texts[C::FirstNumberBox] = text;
        form->RunButtonClick();
        EXPECT_EQ(view.events, Texts{"message: " + std::string(kNoOutOfRangeMessage)});
        EXPECT_TRUE(Received().empty());
        EXPECT_EQ(view.Text(C::RunButton), "三斜自動");
        EXPECT_TRUE(view.Enabled(C::RunButton));
        EXPECT_EQ(view.Text(C::FirstNumberBox), text);
    }
}

// A CAD link whose message handling runs what happens meanwhile.
class EventfulCad : public InProcessCad {
public:
    using InProcessCad::InProcessCad;
    void ProcessMessages() override {
        if (onMessages) onMessages();
    }
    std::function<void()> onMessages;
};

TEST_F(Workflow, ClosingTheWindowOrLosingTheCadDuringTheClickWaitEndsItAtOnce) {
    for (const bool close : {true, false}) {
        SCOPED_TRACE(close ? "the window closed" : "the CAD gone");
        view = RecordingView{};
        // The user would click only after a minute.
        Start("pick.delay = 60000\npick = -33990,-11990\n");
        EventfulCad events(*cad);
        TZelkanF f(view, events, stamp, clock, folder.File(""), MainWindowFeatures{true, true});
        f.FormCreate();
        int64_t askedAt = -1;
        events.onMessages = [&] {
            if (askedAt < 0 && !cad->received().empty() && cad->received().back() == "\003ID ") askedAt = events.nowMs();
            if (askedAt < 0 || events.nowMs() < askedAt + 1000) return;
            if (close) {
                EXPECT_FALSE(f.FormCloseQuery());
            } else {
                events.SetRunning(false);
            }
            events.onMessages = nullptr;
        };
        f.RunButtonClick();
        ASSERT_GE(askedAt, 0);
        EXPECT_LT(events.nowMs(), askedAt + 1500);  // within a poll, not after two minutes
        EXPECT_EQ(view.Text(C::RunButton), "三斜自動");
        EXPECT_FALSE(f.evaluationEnabled());
        EXPECT_FALSE(Exists("170412093005res.dxf"));
        for (const std::string& text : Received()) EXPECT_EQ(text.find("-boundary"), std::string::npos) << text;
        if (close) {
            // The CAD's prompt for the point is cancelled, and the window closes.
            EXPECT_EQ(Received().back(), "\003");
            EXPECT_EQ(cad->Prompt(), "コマンド: ");
            EXPECT_EQ(view.events.back(), "close");
            for (const std::string& e : view.events) EXPECT_EQ(e.find("message"), std::string::npos) << e;
        } else {
            EXPECT_EQ(view.Text(C::Status), kCadNotFoundStatus);
            EXPECT_NE(std::find(view.events.begin(), view.events.end(),
                                "message: " + std::string(kCadGoneDuringClickMessage)),
                      view.events.end());
            EXPECT_TRUE(view.Enabled(C::RunButton));
        }
    }
}

TEST_F(Workflow, StopDuringTheSearchGoesOnWithWhatWasFound) {
    Start(kPickInside);
    bool pressed = false;
    view.onPump = [&] {
        if (!pressed && view.Text(C::SettingsButton) == "中断") {
            pressed = true;
            form->SettingsButtonClick();
            EXPECT_EQ(view.Text(C::SettingsButton), "断中");
        }
    };
    form->RunButtonClick();
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(form->StopFlag);
    // The search stored nothing; the viewers get the best divisions by
    // shape and by area instead (all five of the pentagon), and the
    // selection, known without the search, is drawn.
    EXPECT_EQ(form->state().tables.trisets.trisetnum(), 5);
    EXPECT_EQ(form->state().divisionSource, DivisionSource::BestByShapeAndArea);
    EXPECT_EQ(form->state().tables.seltrinum, 3);
    EXPECT_EQ(view.Text(C::RunButton), "面積表");
    EXPECT_TRUE(view.Enabled(C::SettingsButton));
}

TEST_F(Workflow, StopWithNothingStoredAndNoExactSelectionSaysSo) {
    Start(kPickInside);
    form->state().selectionLimits = SelectionLimits{0, 0};  // the area modes cannot select without the search
    view.searchMode = 1;
    view.onPump = [&] {
        if (view.Text(C::SettingsButton) == "中断") form->SettingsButtonClick();
    };
    form->RunButtonClick();
    EXPECT_EQ(form->state().tables.trisets.trisetnum(), 0);
    // Nothing stored: the notice that nothing was found.
    const size_t n = view.events.size();
    ASSERT_GE(n, 1u);
    EXPECT_NE(std::find(view.events.begin(), view.events.end(), std::string("notice 三斜自動: ") + kNotFoundMessage),
              view.events.end());
    EXPECT_EQ(view.Text(C::SettingsButton), "設定");
    EXPECT_EQ(view.Text(C::RunButton), "三斜自動");
    EXPECT_TRUE(view.Enabled(C::RunButton));
    EXPECT_TRUE(view.Enabled(C::SettingsButton));
}

TEST_F(Workflow, ClosingDuringARunClosesOnceItHasUnwound) {
    Start(kPickInside);
    bool asked = false;
    view.onPump = [&] {
        if (!asked && view.Text(C::SettingsButton) == "中断") {
            asked = true;
            EXPECT_FALSE(form->FormCloseQuery());
            EXPECT_TRUE(form->running());
        }
    };
    form->RunButtonClick();
    EXPECT_TRUE(asked);
    // A close is a cancel: no division is inserted.
    for (const std::string& text : Received()) EXPECT_EQ(text.find("-INSERT"), std::string::npos) << text;
    EXPECT_EQ(view.events.back(), "close");
    EXPECT_FALSE(form->running());
    EXPECT_TRUE(form->FormCloseQuery());
}

// A CAD whose export cannot be read back: a folder stands where it wrote it.
class UnreadableExportCad : public InProcessCad {
public:
    UnreadableExportCad(CommandInterpreter& cad, std::string exportName) : InProcessCad(cad), export_(std::move(exportName)) {}
    void SendText(std::string_view text) override {
        InProcessCad::SendText(text);
        if (text.rfind("script", 0) == 0 && !done_) {
            done_ = true;
            std::filesystem::remove(PathFromUtf8(export_));
            std::filesystem::create_directories(PathFromUtf8(export_));
        }
    }

private:
    std::string export_;
    bool done_ = false;
};

TEST_F(Workflow, AnInputOutputErrorLeavesTheWindowReady) {
    Start(std::string(kPickInside) + kPickInside);
    UnreadableExportCad odd(*cad, folder.File("170412093005.dxf"));
    TZelkanF f(view, odd, stamp, clock, folder.File(""), MainWindowFeatures{true, true});
    f.FormCreate();
    f.RunButtonClick();
    ASSERT_FALSE(view.events.empty());
    EXPECT_EQ(view.events.back().rfind("message: ", 0), 0u);
    EXPECT_NE(view.events.back().find("170412093005.dxf"), std::string::npos) << view.events.back();
    EXPECT_EQ(view.Text(C::RunButton), "三斜自動");
    EXPECT_TRUE(view.Enabled(C::RunButton));
    EXPECT_EQ(view.Text(C::SettingsButton), "設定");
    // The next press works.
    f.RunButtonClick();
    EXPECT_EQ(view.Text(C::RunButton), "面積表");
}

TEST_F(Workflow, SettingsThatCannotGiveATableAreToldBeforeTheClick) {
    Start(kPickInside, Utf8ToCp932("[計測縮尺]\r\n分母=0\r\n"));
    form->RunButtonClick();
    EXPECT_EQ(view.events.back(), "message: 設定 [計測縮尺] 分母 は 1 以上にしてください");
    EXPECT_TRUE(Received().empty());
    EXPECT_EQ(view.Text(C::RunButton), "三斜自動");
    EXPECT_TRUE(view.Enabled(C::RunButton));
}

TEST_F(Workflow, AFullMemoryBudgetEndsTheSearchAndTheRunGoesOn) {
    Start(std::string(kPickInside) + kPickInside);
    form->state().tables.trisets.SetBudget(100);  // two divisions of the pentagon
    form->state().selectionLimits = SelectionLimits{0, 0};
    view.searchMode = 1;
    form->RunButtonClick();
    EXPECT_EQ(form->state().tables.trisets.trisetnum(), 2);
    EXPECT_EQ(view.Text(C::Status), "検索結果がメモリの上限に達したため、検索を打ち切りました");
    EXPECT_EQ(view.Text(C::RunButton), "面積表");
}

TEST_F(Workflow, WithTheSelectionKnownAFullBudgetOnlyLimitsWhatTheViewersSee) {
    Start(kPickInside);
    form->state().tables.trisets.SetBudget(56);  // one division of the pentagon
    form->RunButtonClick();
    const EngineTables& t = form->state().tables;
    EXPECT_EQ(view.Text(C::ProgressLabel), std::to_string(t.tritempnum) + ":" + std::to_string(t.trisets.trisetnum()));
    EXPECT_EQ(t.seltrinum, 3);
    EXPECT_EQ(view.Text(C::RunButton), "面積表");
}

TEST_F(Workflow, SearchModeFromAndToTheSettingsFile) {
    Start("", Utf8ToCp932("[面積]\r\n検索=3\r\n"));
    EXPECT_EQ(view.searchMode, 3);
    view.searchMode = 1;
    form->FormClose();
    EXPECT_EQ(ReadFileBytes(form->iniFile()), Utf8ToCp932("[面積]\r\n検索=1\r\n"));
    Start("", Utf8ToCp932("[面積]\r\n検索=7\r\n"));
    EXPECT_EQ(view.searchMode, 0);
}

TEST_F(Workflow, TheSettingsButtonStopsASearchOrOpensTheDialog) {
    Start(kPickInside);
    form->SettingsButtonClick();
    EXPECT_EQ(view.events, Texts{"settings"});
    EXPECT_TRUE(view.Enabled(C::SettingsButton));
    // During the search it reads 中断 and stops it.
    bool stopped = false;
    view.onPump = [&] {
        if (stopped || view.Text(C::SettingsButton) != "中断") return;
        stopped = true;
        form->SettingsButtonClick();
        EXPECT_TRUE(form->StopFlag);
        EXPECT_EQ(view.Text(C::SettingsButton), "断中");
    };
    form->RunButtonClick();
    EXPECT_TRUE(stopped);
    EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "settings"), 1);  // only the first press
    // During a press, before the search, the settings stay as they are.
    Start(kPickInside);
    bool pressed = false;
    view.onPump = [&] {
        if (!pressed && view.Text(C::RunButton) == "指示待ち") {
            pressed = true;
            form->SettingsButtonClick();
        }
    };
    form->RunButtonClick();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "settings"), 1);
    EXPECT_EQ(view.Text(C::RunButton), "面積表");
    view.onPump = nullptr;
    // Without the dialog in this build the button rests disabled.
    TZelkanF plain(view, *link, stamp, clock, folder.File(""), MainWindowFeatures{});
    plain.FormCreate();
    EXPECT_FALSE(view.Enabled(C::SettingsButton));
    EXPECT_FALSE(view.Enabled(C::EvaluationButton));
}

TEST_F(Workflow, ProgressTimerShowsTheSearchPosition) {
    Start(kPickInside);
    std::string shown;
    view.onPump = [&] {
        if (view.Text(C::SettingsButton) == "中断" && shown.empty()) {
            form->ProgressTimerTick();
            shown = view.Text(C::ProgressLabel);
        }
    };
    form->RunButtonClick();
    EXPECT_EQ(shown, "0:-1:0:10");  // before the first triangle: depth 0 of 10 candidates
}

TEST_F(Workflow, MaximumSetsTheNumberAfterTheLargestInTheDrawing) {
    Start(kPickInside);
    view.texts[C::FirstNumberBox] = "35";
    form->RunButtonClick();  // draws triangles 35, 36 and 37
    ASSERT_EQ(view.Text(C::RunButton), "面積表");
    const size_t sent = Received().size();
    form->HighestNumberButtonClick();
    EXPECT_EQ(view.Text(C::FirstNumberBox), "38");
    const Texts after = Received();
    const Texts expected = {"_filedia 0\n", "script \"" + folder.File("170412093006.scr") + "\"\n", "_filedia 1\n"};
    EXPECT_EQ(Texts(after.begin() + static_cast<std::ptrdiff_t>(sent), after.end()), expected);
    EXPECT_EQ(view.Text(C::RunButton), "面積表");  // the run's state is not touched
    form->ResetNumberButtonClick();
    EXPECT_EQ(view.Text(C::FirstNumberBox), "1");
    // Without a CAD nothing is sent and the number stays.
    link->SetRunning(false);
    form->HighestNumberButtonClick();
    EXPECT_EQ(view.Text(C::FirstNumberBox), "1");
    EXPECT_EQ(Received().size(), after.size());
}

TEST_F(Workflow, ReEvaluationReplacesTheDrawnDivision) {
    // The parcel, then where the area table goes.
    Start(std::string(kPickInside) + "pick = -33900,-11900\n");
    form->RunButtonClick();
    ASSERT_TRUE(form->evaluationEnabled());
    EngineTables& t = form->state().tables;
    ASSERT_GE(t.trisets.trisetnum(), 2);
    const TriangleSlots drawn = t.tritable;
    const int32_t drawnCount = t.trinum;
    const std::string drawnEvaluation = view.Text(C::DivisionsLabel);
    const size_t sent = Received().size();

    // Cancelled in the thumbnails: the current division exactly as before.
    view.thumbnailPick.reset();
    form->EvaluationButtonClick();
    EXPECT_EQ(view.events.back(), "thumbnails 0");
    EXPECT_EQ(t.trinum, drawnCount);
    for (int32_t m = 1; m <= kMaxTriangles; ++m) EXPECT_EQ(t.tritable[m].st, drawn[m].st) << m;
    // Cancelled in the list: nothing is sent, and the drawn division stays current.
    view.thumbnailPick = 2;
    view.listAccepts = 0;
    form->EvaluationButtonClick();
    EXPECT_EQ(view.events.back(), "list 2");
    EXPECT_EQ(Received().size(), sent);
    EXPECT_EQ(t.trinum, drawnCount);
    for (int32_t m = 1; m <= kMaxTriangles; ++m) EXPECT_EQ(t.tritable[m].st, drawn[m].st) << m;

    // A division stored part-way is refused with what it leaves out; the
    // drawn one stays, and nothing is sent.
    {
        const CurrentDivisionGuard drawnStays(t);
        StoreDivision(t, {t.trisets.tri(1, 1).st});
    }
    view.listAccepts = t.trisets.trisetnum();
    form->EvaluationButtonClick();
    EXPECT_EQ(Received().size(), sent);
    EXPECT_TRUE(view.events.back().starts_with("message: 分割が筆全体を覆っていません: 三角形 1 個（必要 "))
        << view.events.back();
    EXPECT_EQ(t.trinum, drawnCount);
    for (int32_t m = 1; m <= kMaxTriangles; ++m) EXPECT_EQ(t.tritable[m].st, drawn[m].st) << m;

    // Accepted: the last object, exported first, is the result drawn; it is
    // erased and the new result inserted at the origin.
    const int32_t other = t.trisets.trisetnum() - 1;
    view.listAccepts = other;
    const size_t entities = cad->drawing().entities().size();
    form->EvaluationButtonClick();
    const Texts after = Received();
    const std::string drawing = folder.File("170412093006res.dxf");
    const std::string script = folder.File("170412093006.scr");
    EXPECT_EQ(Texts(after.begin() + static_cast<std::ptrdiff_t>(sent), after.end()),
              (Texts{"_filedia 0\n", "script \"" + script + "\"\n", "_filedia 1\n", "\003ERASE\nLAST\n\n",
                     "\003_filedia 0\n", "\003-INSERT\r\"" + drawing + "\"\rS \rR \r0,0\r", "\003_filedia 1\n"}));
    EXPECT_TRUE(Exists("170412093006res.dxf"));
    ASSERT_EQ(cad->drawing().entities().size(), entities);
    EXPECT_EQ(cad->drawing().Last()->text, "170412093006res");
    // The panel's evaluation value is the new division's.
    EXPECT_EQ(view.Text(C::DivisionsLabel),
              EvaluationLabel(std::fabs(DivisionArea(t.trisets, other, form->settings().useHeron) - t.menkei)));
    EXPECT_NE(view.Text(C::DivisionsLabel), drawnEvaluation);

    // Whatever the user draws after the result is never erased: nothing is
    // replaced, the user is told why, and the drawn division stays current.
    const TriangleSlots replacedDivision = t.tritable;
    cad->Type("LINE\n0,0\n10,10\n\n");
    const size_t beforeRefusal = Received().size();
    view.listAccepts = 1;
    form->EvaluationButtonClick();
    const Texts refused = Received();
    for (size_t n = beforeRefusal; n < refused.size(); ++n) EXPECT_EQ(refused[n].find("ERASE"), std::string::npos) << refused[n];
    EXPECT_EQ(cad->drawing().entities().size(), entities + 1);
    EXPECT_EQ(cad->drawing().Last()->kind, standin::EntityKind::Line);
    EXPECT_EQ(view.events.back(), "message: " + NotReplacedMessage("170412093006res"));
    for (int32_t m = 1; m <= kMaxTriangles; ++m) EXPECT_EQ(t.tritable[m].st, replacedDivision[m].st) << m;
    // The next area-table press draws the new division.
    form->RunButtonClick();
    ASSERT_EQ(view.Text(C::RunButton), "三斜自動");
    const AreaTableValues table = LastRunTableValues(form->state(), form->settings());
    ASSERT_EQ(static_cast<int32_t>(table.rows.size()), t.trisets.trinum(other));
    for (int32_t m = 1; m <= t.trinum; ++m) EXPECT_EQ(t.tritable[m].st, t.trisets.tri(other, m).st);
}

}  // namespace
}  // namespace zelkan
