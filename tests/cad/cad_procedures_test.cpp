#include "cad/cad_procedures.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "cad/poll_pauses.h"
#include "geometry/cp932.h"
#include "geometry/file_io.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

// A CAD whose replies are written in advance; it records what it is sent.
class ScriptedCad : public CadChannel {
public:
    bool IsAlive() override { return alive; }
    bool Activate() override { return alive; }
    std::string ReadTextHistory() override { return alive ? history : std::string(); }
    void SendText(std::string_view text) override {
        sent.emplace_back(text);
        if (text == "\003-LAYER ? *\r\r") history += listing;
    }
    std::string ReadPrompt() override {
        ++prompts;
        if (replies.empty()) return kIdlePrompt;
        std::string r = replies.front();
        if (replies.size() > 1) replies.pop_front();
        return r;
    }
    bool WaitPrompt() override {
        sent.emplace_back("<wait>");
        return true;
    }
    std::string LastHistoryLine() override {
        if (lastLines.empty()) return {};
        std::string line = lastLines.front();
        lastLines.pop_front();
        return line;
    }
    void ProcessMessages() override {}
    void SleepMs(int ms) override { slept += ms; }
    void ShowHint(std::string_view) override {}

    bool alive = true;
    std::deque<std::string> replies;    // successive input-pane texts; the last one repeats
    std::deque<std::string> lastLines;  // successive last history lines
    std::string history = "コマンド: \n";
    std::string listing;                // what the layer listing adds to the history
    std::vector<std::string> sent;
    int prompts = 0;
    int slept = 0;
};

TEST(AcadGetVar, WritableReplyGivesTheValueAndCancelsThePrompt) {
    ScriptedCad cad;
    cad.replies = {"UCSORG の新しい値を入力 <12.5000,3.0000,0.0000>: "};
    EXPECT_EQ(AcadGetVar(cad, "UCSORG"), "12.5000,3.0000,0.0000");
    EXPECT_EQ(cad.sent, (std::vector<std::string>{"'SETVAR UCSORG\r", "\003"}));
    EXPECT_EQ(cad.prompts, 13) << "the prompt never went idle: it is looked at for a second";
    EXPECT_EQ(cad.slept, 1000);
}

// The waits look soon after the command and back off, and last as long as
// they always have: two minutes for the prompt, a second for a variable.
TEST(PollPauses, FirstLookSoonThenBackingOffToTheLongestUntilTheTotal) {
    const struct {
        int longest, total;
        std::vector<int> first;
    } cases[] = {
        {200, 120'000, {10, 20, 40, 80, 160, 200, 200}},
        {100, 1000, {10, 20, 40, 80, 100, 100}},
        {200, 25, {10, 15}},
    };
    for (const auto& c : cases) {
        PollPauses pauses(c.longest, c.total);
        std::vector<int> all;
        while (const std::optional<int> pause = pauses.Next()) all.push_back(*pause);
        ASSERT_GE(all.size(), c.first.size());
        EXPECT_EQ(std::vector<int>(all.begin(), all.begin() + static_cast<ptrdiff_t>(c.first.size())), c.first);
        int sum = 0;
        for (const int pause : all) sum += pause;
        EXPECT_EQ(sum, c.total);
        EXPECT_FALSE(pauses.Next());
    }
}

TEST(AcadGetVar, ReadOnlyReplyComesFromTheHistoryAndSendsNothingMore) {
    ScriptedCad cad;
    cad.replies = {kIdlePrompt};
    cad.lastLines = {"UCSORG = 0.0000,0.0000,0.0000 (読み込み専用)"};
    EXPECT_EQ(AcadGetVar(cad, "UCSORG"), "0.0000,0.0000,0.0000");
    EXPECT_EQ(cad.sent, (std::vector<std::string>{"'SETVAR UCSORG\r"}));
    // Looks at 10, 30, 70 and 100 ms: the idle prompt may still be the one
    // from before the command until 100 ms have passed.
    EXPECT_EQ(cad.prompts, 4) << "the idle prompt ends the polling";
}

// An idle prompt ends a wait at once only after the command was seen
// running: until then it may be the prompt from before the command, and
// the history's last line an older reply.
TEST(IdleTrust, AnIdlePromptEndsTheWaitOnceTheCommandWasSeenOrItsFirstLookHasPassed) {
    const struct {
        std::deque<std::string> replies;
        int prompts, slept;
    } cases[] = {
        {{kIdlePrompt}, 5, 205},                                    // looks at 10, 30, 70, 150 and 200 ms
        {{"点を指定: ", kIdlePrompt}, 2, 32},                        // running at 10 ms, done at 30
        {{"点を指定: ", "点を指定: ", "点を指定: ", kIdlePrompt}, 4, 154},
        {{""}, 1, 11},                                              // no CAD: at once
    };
    for (const auto& c : cases) {
        ScriptedCad cad;
        cad.replies = c.replies;
        EXPECT_EQ(AcadWaitPromptUnless(cad, [] { return false; }), PromptWait::Idle);
        EXPECT_EQ(cad.prompts, c.prompts) << c.replies.front();
        EXPECT_EQ(cad.slept, c.slept) << c.replies.front();
    }
    ScriptedCad cad;
    cad.lastLines = {"UCSORG = 1.0000,2.0000,0.0000 (読み込み専用)"};
    cad.replies = {"'SETVAR", kIdlePrompt};  // running at 10 ms: its reply is in the history at 30
    EXPECT_EQ(AcadGetVar(cad, "UCSORG"), "1.0000,2.0000,0.0000");
    EXPECT_EQ(cad.prompts, 2);
}

TEST(AcadGetVar, RepliesOfNeitherFormAndNoCad) {
    EXPECT_EQ(ParseVarReply("abc > def <12").value, "");
    EXPECT_EQ(ParseVarReply("X = 5 (something else)").value, "") << "no read-only mark";
    EXPECT_EQ(ParseVarReply("LASTPOINT の新しい値を入力 <10.5,20.25,0.0>: ").value, "10.5,20.25,0.0");
    EXPECT_TRUE(ParseVarReply("<1>").writable);

    ScriptedCad cad;
    cad.replies = {""};
    cad.lastLines = {"", "X = 7 (読み込み専用"};  // the history is read again in the last step
    EXPECT_EQ(AcadGetVar(cad, "X"), "7");

    ScriptedCad none;
    none.alive = false;
    EXPECT_EQ(AcadGetVar(none, "UCSORG"), "");
    EXPECT_TRUE(none.sent.empty());
    const Ucs ucs = AcadQueryUcs(none);
    EXPECT_EQ(ucs.origin.x, 0.0L);
    EXPECT_EQ(ucs.xAxis.x, 0.0L);
}

TEST(AcadQueryUcs, RotatedSystemFromThreeReplies) {
    ScriptedCad cad;
    cad.replies = {kIdlePrompt};
    cad.lastLines = {"UCSORG = -12000.5,-34000.25,0.0000 (読み込み専用)",
                     "UCSXDIR = 0.8660,0.5000,0.0000 (読み込み専用)", "UCSYDIR = -0.5000,0.8660 (読み込み専用)"};
    const Ucs ucs = AcadQueryUcs(cad);
    EXPECT_EQ(ucs.origin.x, static_cast<long double>(-12000.5));
    EXPECT_EQ(ucs.origin.y, static_cast<long double>(-34000.25));
    EXPECT_EQ(ucs.xAxis.x, static_cast<long double>(0.866));
    EXPECT_EQ(ucs.xAxis.y, 0.5L);
    EXPECT_EQ(ucs.yAxis.x, -0.5L);
    EXPECT_EQ(ucs.yAxis.z, 0.0L) << "a missing field reads as 0";
    EXPECT_EQ(cad.sent, (std::vector<std::string>{"'SETVAR UCSORG\r", "'SETVAR UCSXDIR\r", "'SETVAR UCSYDIR\r"}));
}

TEST(AcadRunScript, EachCommandWaitsForThePrompt) {
    ScriptedCad cad;
    AcadRunScript(cad, "C:\\u\\zelkan\\170412093005.scr");
    EXPECT_EQ(cad.sent, (std::vector<std::string>{"_filedia 0\n", "<wait>",
                                                  "script \"C:\\u\\zelkan\\170412093005.scr\"\n", "<wait>",
                                                  "_filedia 1\n", "<wait>"}));
}

TEST(AcadWriteDxfOutScript, TenLinesInShiftJisWithTheSelectionLineEndingTwice) {
    test::ScratchFolder folder;
    const std::string script = folder.File("170412093005.scr");
    AcadWriteDxfOutScript(script, "last");
    EXPECT_EQ(ReadFileBytes(script),
              Utf8ToCp932("; ファイルダイアログボックスを非表示\r\nfiledia 0\r\n; DXFファイル書き出し\r\ndxfout\r\n\"" +
                          folder.File("170412093005.dxf") +
                          "\"\r\n; DXF形式をR12，精度を16\r\nv r12 o last\n\r\n16\r\n; "
                          "ファイルダイアログボックスを表示\r\nfiledia 1\r\n"));
    EXPECT_NE(DxfOutScript(script, "all").find("\r\nv r12 o all\n\r\n"), std::string::npos);
}

TEST(AcadEnsureLayers, CreatesOnlyTheMissingLayersInOrder) {
    SanshaSettings settings;  // S_TEXT, S_HEN, S_TAKASA, S_HYO
    ScriptedCad all;
    all.listing = "\"0\" オン\n\"S_TEXT\"\n\"S_HEN\"\n\"S_TAKASA\"\n\"S_HYO\"\n";
    AcadEnsureLayers(all, settings);
    EXPECT_EQ(all.sent, (std::vector<std::string>{"\003-LAYER ? *\r\r"}));

    ScriptedCad some;
    some.listing = "\"0\"\n\"S_HEN\"\n\"S_TEXT_OLD\"\n";
    AcadEnsureLayers(some, settings);
    EXPECT_EQ(some.sent, (std::vector<std::string>{"\003-LAYER ? *\r\r", "\003-LAYER N S_TEXT\r\r",
                                                   "\003-LAYER N S_TAKASA\r\r", "\003-LAYER N S_HYO\r\r"}));

    ScriptedCad none;
    none.alive = false;
    AcadEnsureLayers(none, settings);
    EXPECT_TRUE(none.sent.empty());
}

TEST(CommandTexts, AsTheCadReadsThem) {
    EXPECT_EQ(PointCommand(), "\003ID ");
    EXPECT_EQ(BoundaryCommand(), "\003-boundary ");
    EXPECT_EQ(BoundaryPoint("10.5,20.25,0.0"), "10.5,20.25\n\n");
    EXPECT_EQ(BoundaryPoint("10.5,20.25"), "10.5,20.25\n\n");
    EXPECT_EQ(BoundaryPoint("10.5"), "\n\n");
    EXPECT_EQ(EraseLastCommand(false), "ERASE\nLAST\n\n");
    EXPECT_EQ(EraseLastCommand(true), "\003ERASE\nLAST\n\n");
    EXPECT_EQ(FileDialogCommand(false), "\003_filedia 0\n");
    EXPECT_EQ(FileDialogCommand(true), "\003_filedia 1\n");
    EXPECT_EQ(InsertCommand("C:\\z\\1res.dxf", true), "\003-INSERT\r\"C:\\z\\1res.dxf\"\rS \rR \r0,0\r");
    EXPECT_EQ(InsertCommand("C:\\z\\1seki.dxf", false), "\003-INSERT\r\"C:\\z\\1seki.dxf\"\rS \rR \r");
}

TEST(CommandTexts, ATableBesideTheLastPoint) {
    EXPECT_EQ(InsertAtCommand("C:\\z\\1zahyo.dxf", "-33728.0000,-11900.0000"),
              "\003-INSERT\r\"C:\\z\\1zahyo.dxf\"\rS \rR \r-33728.0000,-11900.0000\r");
    EXPECT_EQ(PointRightOf("-33900.0000,-11900.0000,0.0000", 172), "-33728.0000,-11900.0000");
    EXPECT_EQ(PointRightOf(" 10.5 , 20.25 ", 0.25), "10.7500,20.25");
    EXPECT_EQ(PointRightOf("10.5", 1), std::nullopt);
    EXPECT_EQ(PointRightOf("", 1), std::nullopt);
    EXPECT_EQ(PointRightOf("abc,1,0", 1), std::nullopt);
}

}  // namespace
}  // namespace zelkan
