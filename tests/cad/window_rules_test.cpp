#include "cad/window_rules.h"

#include <gtest/gtest.h>

namespace zelkan {
namespace {

struct FrameCase {
    const char* title;
    const char* className;
    bool isFrame;
};

class MainFrame : public testing::TestWithParam<FrameCase> {};

TEST_P(MainFrame, RecognisedByTitleAndClass) {
    EXPECT_EQ(IsCadMainFrame(GetParam().title, GetParam().className), GetParam().isFrame)
        << GetParam().title << " / " << GetParam().className;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, MainFrame,
    testing::Values(FrameCase{"AutoCAD 2020 - [parcel.dwg]", "Afx:00400000:8:00010003:00000000:00000000", true},
                    FrameCase{"AutoCAD 2020 - [parcel.dwg]", "Afx:00400000:b:00010003:00000000:00000000", false},
                    FrameCase{"Autodesk Civil 3D 2021 - [a.dwg]", "Afx:1:8:2", true},
                    FrameCase{"ACAD2000", "AfxMDIFrame140u", true}, FrameCase{"ACAD2000", "AfxMDIFrame150u", false},
                    FrameCase{"ACADx", "xAfxMDIFrame70ux", true},
                    FrameCase{"Autocad 2020 - [parcel.dwg]", "Afx:00400000:8:0", false},
                    FrameCase{"AutoCAD", "Afx:00400000:8:0", false},  // no blank after the name
                    FrameCase{"DraftSight 2019", "QPopupMenu", true}, FrameCase{"DraftSight 2019", "QWidget", false},
                    FrameCase{"", "Afx:00400000:8:0", false}, FrameCase{"Notepad", "Afx:0:8:0", false}));

TEST(TextWindow, OfTheCadsProcessOnly) {
    const char* cls = "Afx:00400000:b:00010003";
    EXPECT_TRUE(IsCadTextWindow("AutoCAD テキスト ウィンドウ - parcel.dwg", cls, 42, 42));
    EXPECT_FALSE(IsCadTextWindow("AutoCAD テキスト ウィンドウ - parcel.dwg", cls, 43, 42));
    EXPECT_FALSE(IsCadTextWindow("AutoCAD テキスト ウィンドウ - parcel.dwg", "Afx:00400000:8:0", 42, 42));
    EXPECT_FALSE(IsCadTextWindow("AutoCAD 2020 - [parcel.dwg]", cls, 42, 42));
    EXPECT_TRUE(IsCadTextWindow("コマンド ウィンドウ", "anything", 7, 7));
    EXPECT_FALSE(IsCadTextWindow("コマンド ウィンドウ - x", "anything", 7, 7));
}

TEST(CommandLine, FloatingWindowAndPanes) {
    EXPECT_TRUE(IsFloatingCommandLine("コマンド ライン", "Afx:0:8:1"));
    EXPECT_FALSE(IsFloatingCommandLine("コマンド ライン", "Afx:0:b:1"));
    EXPECT_EQ(CommandLinePane("Headlands"), PaneRole::Input);
    EXPECT_EQ(CommandLinePane("input"), PaneRole::Input);
    EXPECT_EQ(CommandLinePane("MountTam"), PaneRole::History);
    EXPECT_EQ(CommandLinePane("output"), PaneRole::History);
    EXPECT_EQ(CommandLinePane("headlands"), PaneRole::None);
}

TEST(History, LastNonEmptyLine) {
    EXPECT_EQ(LastNonEmptyLine("コマンド: ID\r\n点を指定: X = 10.5  Y = 20.25  Z = 0.0\r\n\r\nコマンド: \r\n  \r\n"),
              "コマンド: ");
    EXPECT_EQ(LastNonEmptyLine("a\nb\n"), "b");
    EXPECT_EQ(LastNonEmptyLine(""), "");
    EXPECT_EQ(LastNonEmptyLine("\r\n\r\n"), "");
}

}  // namespace
}  // namespace zelkan
