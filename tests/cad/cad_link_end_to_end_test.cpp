// The link to a running CAD against the stand-in CAD as a separate process
// (under wine with a display): the frame among other programs' windows, the
// variable replies, the user's click, the boundary export the tool reads
// back, the layers and the clipboard. (Wine does not show what one process
// paints on another's window, so the hint's pixels are checked in process.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "boundary/drawing_number_scan.h"
#include "boundary/dxf_boundary_reader.h"
#include "cad/cad_procedures.h"
#include "cad/clipboard_text.h"
#include "cad/stand_in_process.h"
#include "cad/win32_cad_link.h"
#include "command_interpreter.h"
#include "geometry/wide_text.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

using test::ClipboardText;
using test::SetClipboardText;
using test::StandInProcess;
using test::WindowOf;
using Texts = std::vector<std::string>;

// The log spells control characters out.
Texts Escaped(const Texts& texts) {
    Texts escaped;
    for (const std::string& t : texts) escaped.push_back(standin::EscapeCommandText(t));
    return escaped;
}

constexpr const char* kDecoys =
    "frame.title =\n"
    "text.title = AutoCAD テキスト ウィンドウ - other.dwg\n"
    "decoy = Afx:00400000:b:00010003:00000000:00000000 | AutoCAD 2020 - [text window class].dwg\n"
    "decoy = Afx:00400000:8:00010003:00000000:00000000 | Autocad 2020 - [lower case].dwg\n"
    "decoy = AfxMDIFrame150u | ACAD 150u\n"
    "decoy = QWidget | DraftSight without the class\n";

TEST(CadLinkEndToEnd, FindsTheCadBehindDecoysAndReadsBothReplyForms) {
    test::ScratchFolder folder;
    StandInProcess cad(folder, "cad", "var.LASTPOINT = 10.5000,20.2500,0.0000\n");
    StandInProcess decoys(folder, "decoys", kDecoys);  // started later: in front
    ASSERT_TRUE(cad.started() && decoys.started());

    Win32CadLink link;
    EXPECT_EQ(link.AcadFindFrame(), WindowOf(cad.processId(), "AutoCAD 2020 - [parcel.dwg]"));
    ASSERT_TRUE(link.Activate());
    EXPECT_EQ(AcadGetVar(link, "UCSORG"), "0.0000,0.0000,0.0000");       // read-only form
    EXPECT_EQ(AcadGetVar(link, "LASTPOINT"), "10.5000,20.2500,0.0000");  // writable form
    EXPECT_EQ(cad.Received(), Escaped({"'SETVAR UCSORG\r", "'SETVAR LASTPOINT\r", "\003"}));
    // The other process's text window is passed over.
    EXPECT_NE(link.ReadTextHistory().find("LASTPOINT の新しい値を入力"), std::string::npos);
    EXPECT_TRUE(decoys.Received().empty());
}

// The workflow's dialogue over the CAD's windows, from the coordinate system
// to the erased boundary.
TEST(CadLinkEndToEnd, ClickBoundaryExportReadAndErase) {
    test::ScratchFolder folder;
    StandInProcess cad(folder, "cad",
                       "var.UCSORG = -34000.5000,-12000.2500,0.0000\n"
                       "var.UCSXDIR = 0.8660,0.5000,0.0000\n"
                       "var.UCSYDIR = -0.5000,0.8660,0.0000\n"
                       "pick = -33990,-11990\n",
                       test::FixturePath("cad/two_parcels_on_a_block.dxf"));
    ASSERT_TRUE(cad.started());
    Win32CadLink link;
    ASSERT_TRUE(link.Activate());
    ASSERT_FALSE(link.ReadTextHistory().empty());

    const Ucs ucs = AcadQueryUcs(link);
    EXPECT_EQ(ucs.origin.x, -34000.5L);
    EXPECT_EQ(ucs.origin.y, -12000.25L);
    EXPECT_EQ(ucs.xAxis.y, 0.5L);
    EXPECT_EQ(ucs.yAxis.x, -0.5L);

    AcadShowHint(link.AcadFindHistoryPane(), "筆の内側をクリックしてください");
    SetClipboardText(L"利用者のテキスト");
    link.SendText(PointCommand());
    EXPECT_TRUE(link.WaitPrompt());
    EXPECT_EQ(link.LastHistoryLine(), "X = -33990.0000     Y = -11990.0000     Z = 0.0000");
    EXPECT_EQ(ClipboardText(), L"利用者のテキスト");

    const std::string lastPoint = AcadGetVar(link, "LASTPOINT ");
    EXPECT_EQ(lastPoint, "-33990.0000,-11990.0000,0.0000");
    link.SendText(BoundaryCommand());
    link.SendText(BoundaryPoint(lastPoint));
    const std::string script = folder.File("run1.scr");
    AcadWriteDxfOutScript(script, "last");
    AcadRunScript(link, script);
    link.WaitPrompt();

    EngineTables t;
    ReadBoundaryDxf(folder.File("run1.dxf"), t);
    ASSERT_EQ(t.xynum, 5);
    EXPECT_EQ(t.xy[1].x, -34000.125L);
    EXPECT_EQ(t.xy[2].y, -12001.75L);
    EXPECT_EQ(t.xy[5].y, -11986.625L);

    link.SendText(EraseLastCommand(false));
    link.WaitPrompt();
    EXPECT_EQ(cad.Received(),
              Escaped({"'SETVAR UCSORG\r", "'SETVAR UCSXDIR\r", "'SETVAR UCSYDIR\r", "\003ID ", "'SETVAR LASTPOINT \r",
                       "\003", "\003-boundary ", "-33990.0000,-11990.0000\n\n", "_filedia 0\n",
                       "script \"" + script + "\"\n", "_filedia 1\n", "ERASE\nLAST\n\n"}));
}

TEST(CadLinkEndToEnd, LayersAreCreatedOnceThenOnlyListed) {
    test::ScratchFolder folder;
    StandInProcess cad(folder, "cad", "");
    ASSERT_TRUE(cad.started());
    Win32CadLink link;
    const SanshaSettings settings;
    AcadEnsureLayers(link, settings);
    AcadEnsureLayers(link, settings);
    EXPECT_EQ(cad.Received(), Escaped({"\003-LAYER ? *\r\r", "\003-LAYER N S_TEXT\r\r", "\003-LAYER N S_HEN\r\r",
                                       "\003-LAYER N S_TAKASA\r\r", "\003-LAYER N S_HYO\r\r", "\003-LAYER ? *\r\r"}));
}

// The result and the area table inserted, the numbering command's export of
// the whole drawing, and the re-evaluation's erase of the last insert.
TEST(CadLinkEndToEnd, InsertionsExportOfAllAndErase) {
    test::ScratchFolder folder;
    StandInProcess cad(folder, "cad", "pick = 100,50\n", test::FixturePath("cad/two_parcels_on_a_block.dxf"));
    ASSERT_TRUE(cad.started());
    Win32CadLink link;
    ASSERT_TRUE(link.Activate());
    const std::string result = test::FixturePath("output/pentagon_res.dxf");
    const std::string table = test::FixturePath("output/pentagon_seki.dxf");
    AcadRunCommand(link, FileDialogCommand(false));
    link.SendText(InsertCommand(result, true));
    link.WaitPrompt();
    AcadRunCommand(link, FileDialogCommand(true));
    link.SendText(InsertCommand(table, false));  // the user clicks where the table goes
    EXPECT_TRUE(link.WaitPrompt());

    const std::string script = folder.File("max.scr");
    AcadWriteDxfOutScript(script, "all");
    AcadRunScript(link, script);
    DrawingNumberScan scan;
    int32_t drawingMaxNo = 1;
    ScanDrawingNumbers(scan, folder.File("max.dxf"), "S_TEXT", drawingMaxNo);
    EXPECT_EQ(drawingMaxNo, 7);

    link.SendText(EraseLastCommand(true));
    link.WaitPrompt();
    EXPECT_EQ(cad.Received(),
              Escaped({"\003_filedia 0\n", "\003-INSERT\r\"" + result + "\"\rS \rR \r0,0\r", "\003_filedia 1\n",
                       "\003-INSERT\r\"" + table + "\"\rS \rR \r", "_filedia 0\n", "script \"" + script + "\"\n",
                       "_filedia 1\n", "\003ERASE\nLAST\n\n"}));
    EXPECT_NE(link.ReadTextHistory().find("1 個を検出"), std::string::npos);
}

// The CAD closed after the link found it: the dead handles are noticed,
// nothing is sent, nothing is read and no wait lingers.
TEST(CadLinkEndToEnd, ClosedCadIsNoticed) {
    test::ScratchFolder folder;
    Win32CadLink link;
    {
        StandInProcess cad(folder, "cad", "");
        ASSERT_TRUE(cad.started());
        ASSERT_TRUE(link.Activate());
        ASSERT_NE(link.AcadFindInputPane(), nullptr);
    }
    EXPECT_FALSE(link.IsAlive());
    EXPECT_FALSE(link.Activate());
    EXPECT_EQ(AcadGetVar(link, "UCSORG"), "");
    EXPECT_EQ(link.ReadPrompt(), "");
    EXPECT_EQ(link.ReadTextHistory(), "");
    EXPECT_EQ(link.LastHistoryLine(), "");
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(link.WaitPrompt());
    EXPECT_LT(GetTickCount64() - start, 5000u);
}

// Other products' windows and other places of the command line.
TEST(CadLinkEndToEnd, OtherFramesAndCommandLines) {
    const char* scenarios[] = {
        "frame.title = DraftSight 2019 - [parcel.dwg]\nframe.class = QPopupFrame\ntext.title = コマンド ウィンドウ\n",
        "frame.title = ACAD Map - [parcel.dwg]\nframe.class = AfxMDIFrame140u\n",
        "frame.title = Autodesk Civil 3D 2020 - [parcel.dwg]\n",
        "panes = floating\n",
        "panes = text\n",
        "frame.unicode = no\n",
    };
    for (const char* scenario : scenarios) {
        SCOPED_TRACE(scenario);
        test::ScratchFolder folder;
        StandInProcess cad(folder, "cad", std::string(scenario) + "var.LASTPOINT = 1.0000,2.0000,0.0000\n");
        ASSERT_TRUE(cad.started());
        Win32CadLink link;
        ASSERT_TRUE(link.Activate());
        EXPECT_EQ(AcadGetVar(link, "LASTPOINT"), "1.0000,2.0000,0.0000");
        EXPECT_EQ(AcadGetVar(link, "UCSXDIR"), "1.0000,0.0000,0.0000");
        EXPECT_EQ(cad.Received(), Escaped({"'SETVAR LASTPOINT\r", "\003", "'SETVAR UCSXDIR\r"}));
    }
}

TEST(CadLinkEndToEnd, WithTwoCadsTheFrontOneIsTaken) {
    test::ScratchFolder folder;
    StandInProcess first(folder, "first", "frame.title = AutoCAD 2020 - [first.dwg]\n");
    StandInProcess second(folder, "second", "frame.title = AutoCAD 2020 - [second.dwg]\n");
    ASSERT_TRUE(first.started() && second.started());
    const HWND firstFrame = WindowOf(first.processId(), "AutoCAD 2020 - [first.dwg]");
    const HWND secondFrame = WindowOf(second.processId(), "AutoCAD 2020 - [second.dwg]");
    HWND front = nullptr;
    for (HWND w = GetTopWindow(nullptr); w != nullptr && front == nullptr; w = GetWindow(w, GW_HWNDNEXT))
        if (w == firstFrame || w == secondFrame) front = w;
    ASSERT_NE(front, nullptr);

    Win32CadLink link;
    EXPECT_EQ(link.AcadFindFrame(), front);
    link.SendText("\003");
    EXPECT_EQ((front == firstFrame ? first : second).Received(), Escaped({"\003"}));
    EXPECT_TRUE((front == firstFrame ? second : first).Received().empty());
}

}  // namespace
}  // namespace zelkan
