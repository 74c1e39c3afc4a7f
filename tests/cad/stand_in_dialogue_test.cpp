// The CAD procedures in a whole dialogue with the stand-in CAD's
// interpreter, in this process: what the CAD is sent, what it answers, and
// the files it exports and the tool reads back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "boundary/drawing_number_scan.h"
#include "boundary/dxf_boundary_reader.h"
#include "cad/cad_procedures.h"
#include "cad/poll_pauses.h"
#include "command_interpreter.h"
#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "in_process_cad.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

using standin::CommandInterpreter;
using standin::Drawing;
using standin::InProcessCad;
using standin::ParseScenario;
using Texts = std::vector<std::string>;

Drawing ParcelDrawing() {
    return Drawing::FromDxf(ReadFileBytes(test::FixturePath("cad/two_parcels_on_a_block.dxf")));
}

struct Dialogue {
    explicit Dialogue(std::string_view scenario, Drawing drawing = ParcelDrawing())
        : cad(ParseScenario(scenario), std::move(drawing)), link(cad) {}
    CommandInterpreter cad;
    InProcessCad link;
};

TEST(StandInDialogue, VariableRepliesOfBothForms) {
    struct Case {
        const char* scenario;
        const char* name;
        const char* value;
        Texts sent;
    } cases[] = {
        // Read-only: the answer ends the command and is read from the history.
        {"", "UCSORG", "0.0000,0.0000,0.0000", {"'SETVAR UCSORG\r"}},
        // Writable: the prompt shows the value and waits; it is cancelled.
        {"var.UCSORG = 12.5000,3.0000,0.0000\nvar.UCSORG.readonly = no\n", "UCSORG", "12.5000,3.0000,0.0000",
         {"'SETVAR UCSORG\r", "\003"}},
        // The trailing blank of the workflow's "LASTPOINT " enters the name;
        // the line end then keeps the value and ends the command, so the
        // value comes from the history's last line.
        {"var.LASTPOINT = 10.5000,20.2500,0.0000\n", "LASTPOINT ", "10.5000,20.2500,0.0000",
         {"'SETVAR LASTPOINT \r", "\003"}},
        {"", "NOSUCHVAR", "", {"'SETVAR NOSUCHVAR\r"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dialogue d(c.scenario);
        EXPECT_EQ(AcadGetVar(d.link, c.name), c.value);
        EXPECT_EQ(d.cad.received(), c.sent);
        EXPECT_TRUE(d.cad.Idle());
    }
}

TEST(StandInDialogue, RotatedUserCoordinateSystem) {
    Dialogue d(
        "var.UCSORG = -34000.5000,-12000.2500,0.0000\n"
        "var.UCSXDIR = 0.8660,0.5000,0.0000\n"
        "var.UCSYDIR = -0.5000,0.8660,0.0000\n");
    const Ucs ucs = AcadQueryUcs(d.link);
    EXPECT_EQ(ucs.origin.x, -34000.5L);
    EXPECT_EQ(ucs.origin.y, -12000.25L);
    EXPECT_EQ(ucs.xAxis.x, static_cast<long double>(0.866));
    EXPECT_EQ(ucs.xAxis.y, 0.5L);
    EXPECT_EQ(ucs.yAxis.x, -0.5L);
    EXPECT_EQ(ucs.yAxis.y, static_cast<long double>(0.866));
    EXPECT_EQ(d.cad.received(), (Texts{"'SETVAR UCSORG\r", "'SETVAR UCSXDIR\r", "'SETVAR UCSYDIR\r"}));
}

// The workflow's part of the dialogue, from the click to the erased boundary.
TEST(StandInDialogue, ClickBoundaryExportReadAndErase) {
    test::ScratchFolder folder;
    Dialogue d("pick = -33990,-11990\n");
    const size_t objectsBefore = d.cad.drawing().entities().size();

    d.link.SendText(PointCommand());
    d.link.WaitPrompt();
    const std::string reply = d.link.LastHistoryLine();
    EXPECT_NE(reply.find('X'), std::string::npos) << reply;
    const std::string lastPoint = AcadGetVar(d.link, "LASTPOINT ");
    EXPECT_EQ(lastPoint, "-33990.0000,-11990.0000,0.0000");
    d.link.SendText(BoundaryCommand());
    d.link.SendText(BoundaryPoint(lastPoint));
    EXPECT_EQ(d.cad.drawing().entities().size(), objectsBefore + 1);

    const std::string script = folder.File("run1.scr");
    AcadWriteDxfOutScript(script, "last");
    AcadRunScript(d.link, script);
    d.link.WaitPrompt();

    EngineTables t;
    ReadBoundaryDxf(folder.File("run1.dxf"), t);
    ASSERT_EQ(t.xynum, 5);
    EXPECT_EQ(t.xy[1].x, -34000.125L);
    EXPECT_EQ(t.xy[1].y, -12000.5L);
    EXPECT_EQ(t.xy[3].x, -33978.5L);
    EXPECT_EQ(t.xy[3].y, -11985.125L);
    EXPECT_EQ(t.xy[5].x, -34002.375L);
    EXPECT_EQ(t.xy[5].y, -11986.625L);

    d.link.SendText(EraseLastCommand(false));
    d.link.WaitPrompt();
    EXPECT_EQ(d.cad.drawing().entities().size(), objectsBefore);
    EXPECT_EQ(d.cad.received(), (Texts{"\003ID ", "'SETVAR LASTPOINT \r", "\003", "\003-boundary ",
                                       "-33990.0000,-11990.0000\n\n", "_filedia 0\n", "script \"" + script + "\"\n",
                                       "_filedia 1\n", "ERASE\nLAST\n\n"}));
    EXPECT_EQ(d.cad.Variable("FILEDIA"), "1");
}

TEST(StandInDialogue, ExportNeedsTheFileDialogsOff) {
    test::ScratchFolder folder;
    Dialogue d("");
    const std::string script = folder.File("run1.scr");
    AcadWriteDxfOutScript(script, "all");
    d.link.SendText("script \"" + script + "\"\n");
    d.link.WaitPrompt();
    EngineTables t;
    EXPECT_THROW(ReadBoundaryDxf(folder.File("run1.dxf"), t), InputOutputError);
}

TEST(StandInDialogue, CancelledClickAndClickOutsideEveryParcel) {
    Dialogue cancelled("pick = cancel\n");
    cancelled.link.SendText(PointCommand());
    cancelled.link.WaitPrompt();
    EXPECT_NE(cancelled.link.LastHistoryLine().find("キャンセル"), std::string::npos);

    Dialogue outside("pick = 0,0\n");
    const size_t objects = outside.cad.drawing().entities().size();
    outside.link.SendText(PointCommand());
    outside.link.WaitPrompt();
    outside.link.SendText(BoundaryCommand());
    outside.link.SendText(BoundaryPoint(AcadGetVar(outside.link, "LASTPOINT ")));
    EXPECT_EQ(outside.cad.drawing().entities().size(), objects);
    EXPECT_TRUE(outside.cad.Idle());
}

TEST(StandInDialogue, EnsureLayersListsThenCreatesOnlyTheMissing) {
    SanshaSettings settings;
    Dialogue d("");
    AcadEnsureLayers(d.link, settings);
    EXPECT_EQ(d.cad.received(), (Texts{"\003-LAYER ? *\r\r", "\003-LAYER N S_TEXT\r\r", "\003-LAYER N S_HEN\r\r",
                                       "\003-LAYER N S_TAKASA\r\r", "\003-LAYER N S_HYO\r\r"}));
    for (const char* layer : {"S_TEXT", "S_HEN", "S_TAKASA", "S_HYO"}) EXPECT_TRUE(d.cad.drawing().HasLayer(layer));

    Dialogue again("");
    AcadEnsureLayers(again.link, settings);
    const size_t first = again.cad.received().size();
    AcadEnsureLayers(again.link, settings);
    EXPECT_EQ(again.cad.received().size(), first + 1);
    EXPECT_EQ(again.cad.received().back(), "\003-LAYER ? *\r\r");
}

// The numbering command's dialogue: a result drawing inserted as a block, the
// whole drawing exported, its numbers found in the block definition.
TEST(StandInDialogue, InsertedResultIsFoundInTheExportOfAll) {
    test::ScratchFolder folder;
    Dialogue d("");
    d.link.SendText(FileDialogCommand(false));
    d.link.WaitPrompt();
    d.link.SendText(InsertCommand(test::FixturePath("output/pentagon_res.dxf"), true));
    d.link.WaitPrompt();
    d.link.SendText(FileDialogCommand(true));
    EXPECT_TRUE(d.cad.Idle());
    ASSERT_EQ(d.cad.drawing().blocks().size(), 1u);
    EXPECT_EQ(d.cad.drawing().blocks()[0].name, "pentagon_res");

    const std::string script = folder.File("max.scr");
    AcadWriteDxfOutScript(script, "all");
    AcadRunScript(d.link, script);
    DrawingNumberScan scan;
    int32_t maxNo = 1;
    ScanDrawingNumbers(scan, folder.File("max.dxf"), "S_TEXT", maxNo);
    EXPECT_EQ(maxNo, 7);
    // The parcel text on its own layer is exported too, in code page 932.
    EXPECT_NE(ReadFileBytes(folder.File("max.dxf")).find("\x92\x6e\x94\xd4 12-3"), std::string::npos);
}

TEST(StandInDialogue, InsertWithoutAPointWaitsForTheUsersClick) {
    Dialogue d("pick = 5,6\npick.delay = 1000\n");
    d.link.SendText(InsertCommand(test::FixturePath("output/pentagon_seki.dxf"), false));
    EXPECT_FALSE(d.cad.Idle());
    d.link.WaitPrompt();
    EXPECT_TRUE(d.cad.Idle());
    const standin::Entity* insert = d.cad.drawing().Last();
    ASSERT_NE(insert, nullptr);
    EXPECT_EQ(insert->kind, standin::EntityKind::Insert);
    EXPECT_EQ(insert->points.at(0).x, 5);
    EXPECT_EQ(insert->points.at(0).y, 6);
    EXPECT_GE(d.link.nowMs(), 1000);
}

TEST(StandInDialogue, WithoutACadNothingIsSent) {
    Dialogue d("");
    d.link.SetRunning(false);
    EXPECT_EQ(AcadGetVar(d.link, "UCSORG"), "");
    const Ucs ucs = AcadQueryUcs(d.link);
    EXPECT_EQ(ucs.xAxis.x, 0);
    AcadEnsureLayers(d.link, SanshaSettings{});
    d.link.SendText(PointCommand());
    EXPECT_TRUE(d.link.WaitPrompt());
    EXPECT_EQ(d.link.nowMs(), PollPauses::kFirstMs + 1);  // an empty prompt ends the wait at the first look
    EXPECT_TRUE(d.cad.received().empty());
}

TEST(StandInScenario, RejectsWhatItDoesNotKnow) {
    for (const char* bad : {"frame.titel = x\n", "pick = here\n", "frame.unicode = maybe\n", "no equals sign\n",
                            "panes = nowhere\n", "decoy = no bar\n"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ParseScenario(bad), std::invalid_argument);
    }
}

}  // namespace
}  // namespace zelkan
