// The settings dialog's logic with a dialog that records what is done to it.
#include "app/settings_dialog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command_interpreter.h"
#include "geometry/cp932.h"
#include "geometry/file_io.h"
#include "geometry/text_helpers.h"
#include "in_process_cad.h"
#include "settings/ini_file.h"
#include "support/parcels.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

using C = SetControl;

// Thousands separators as the spinners show them.
std::string Grouped(int32_t value) {
    std::string digits = std::to_string(value), out;
    for (size_t n = 0; n < digits.size(); ++n) {
        if (n > 0 && (digits.size() - n) % 3 == 0) out += ',';
        out += digits[n];
    }
    return out;
}

class RecordingDialog : public SettingsDialogView {
public:
    void SetText(C c, const std::string& text) override { texts[c] = text; }
    std::string Text(C c) const override {
        const auto it = texts.find(c);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetSpinner(C c, int32_t position) override {
        spinners[c] = position;
        texts[c] = Grouped(position);
    }
    int32_t Spinner(C c) const override {
        const auto it = spinners.find(c);
        return it == spinners.end() ? 0 : it->second;
    }
    void SetChecked(C c, bool on) override { checked[c] = on; }
    bool Checked(C c) const override {
        const auto it = checked.find(c);
        return it != checked.end() && it->second;
    }
    void SetEnabled(C c, bool on) override { enabled[c] = on; }
    void SetChoice(C c, int32_t index) override { choices[c] = index; }
    int32_t Choice(C c) const override {
        const auto it = choices.find(c);
        return it == choices.end() ? -1 : it->second;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowStatus(const std::string& text) override { status = text; }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return answerYes;
    }
    std::optional<std::string> AskSaveName(const std::string& title) override {
        titles.push_back(title);
        return saveName;
    }
    // The user types into a spinner's box: the spinner follows what it can read.
    void Type(C c, const std::string& text) {
        texts[c] = text;
        const std::string digits = WithoutCommas(text);
        if (IsCountText(digits)) spinners[c] = std::stoi(digits);
    }
    // Choosing one radio button of a group clears the others.
    void Choose(std::initializer_list<C> group, C chosen) {
        for (C c : group) checked[c] = c == chosen;
    }

    std::map<C, std::string> texts;
    std::map<C, int32_t> spinners;
    std::vector<std::string> questions;
    std::string status;
    bool answerYes = true;
    std::map<C, bool> checked;
    std::map<C, bool> enabled;
    std::map<C, int32_t> choices;
    std::vector<std::string> messages;
    std::vector<std::string> titles;
    std::optional<std::string> saveName;
};

class SettingsDialog : public testing::Test {
protected:
    std::string Ini() const { return Cp932ToUtf8(ReadFileBytes(folder.File("zelkan.Ini"))); }
    SanshaSettings Reloaded() const {
        SanshaSettings s;
        LoadSettings(IniFile(folder.File("zelkan.Ini")), s);
        return s;
    }

    test::ScratchFolder folder;
    RecordingDialog view;
    std::vector<std::string> recycled;
    TZelkanSet dialog{view, folder.File(""), [this](const std::string& f) {
                          recycled.push_back(f);
                          std::filesystem::remove_all(PathFromUtf8(f));
                      }};
    SanshaSettings settings;
};

// Every key, in the order the dialog writes them, with the defaults (the
// step shown by its spinner at position 3).
const char* const kDefaultsWritten =
    "[縮尺]\r\n分母c=1\r\n分母=1\r\n"
    "[画層]\r\n文字=S_TEXT\r\n辺の線分=S_HEN\r\n高さ線分=S_TAKASA\r\n"
    "[辺高さ]\r\n文字高=3\r\n番号文字高=4\r\n番号半径=5\r\n"
    "[長さ]\r\n小数点以下c=2\r\n小数点以下=2\r\n切り捨て=0\r\n四捨五入=1\r\n切り上げ=0\r\n五捨五入=0\r\n"
    "[面積]\r\n小数点以下c=4\r\n小数点以下=4\r\n切り捨て=0\r\n四捨五入=1\r\n切り上げ=0\r\n五捨五入=0\r\nヘロン=1\r\n"
    "[結果]\r\n小数点以下c=2\r\n小数点以下=2\r\n切り捨て=0\r\n四捨五入=1\r\n切り上げ=0\r\n五捨五入=0\r\nログ保存=0\r\n"
    "[求積表]\r\n文字高=4\r\n行高=8\r\n画層名=S_HYO\r\n"
    "[計算]\r\n計算制限値=0\r\n"
    "[計測縮尺]\r\n分母c=1\r\n分母=1\r\n"
    "[No増加]\r\nMode=0\r\n増加量=3\r\n増加c=3\r\n"
    "[表三斜]\r\nNo=3\r\n底辺=10\r\n高さ=10\r\n面積=14\r\n"
    "[表ヘロン]\r\nNo=3\r\na=8\r\nb=8\r\nc=8\r\n面積=14\r\n"
    "[座標求積]\r\n座標小数点以下=3\r\n差小数点以下=3\r\n倍面積小数点以下=6\r\n面積小数点以下=7\r\n"
    "地目=0\r\n精度区分=0\r\nCSV=0\r\n面積表=0\r\n";

TEST_F(SettingsDialog, OpenedAndClosedWithoutAFileWritesEveryKeyWithTheDefaults) {
    dialog.FormActivate(settings, 0);
    EXPECT_EQ(view.Text(C::EScale), "1");
    EXPECT_EQ(view.Text(C::NumberStepBox), "3");
    EXPECT_TRUE(view.Checked(C::HeronRadio));
    EXPECT_FALSE(view.Checked(C::SanshaRadio));
    EXPECT_TRUE(view.Checked(C::RKetaNaga2));
    EXPECT_TRUE(view.Checked(C::FixedNumberRadio));
    EXPECT_FALSE(view.enabled.at(C::SaveLogButton));  // no division stored
    EXPECT_TRUE(dialog.FormDeactivate(settings).empty());
    EXPECT_EQ(ReadFileBytes(folder.File("zelkan.Ini")), Utf8ToCp932(kDefaultsWritten));
    EXPECT_EQ(settings.noStep, 3);
    EXPECT_EQ(view.status, "");

    // Opening and closing again rewrites the same bytes.
    const SanshaSettings reloaded = Reloaded();
    dialog.FormActivate(reloaded, 5);
    EXPECT_TRUE(view.enabled.at(C::SaveLogButton));
    SanshaSettings again = reloaded;
    dialog.FormDeactivate(again);
    EXPECT_EQ(ReadFileBytes(folder.File("zelkan.Ini")), Utf8ToCp932(kDefaultsWritten));
}

TEST_F(SettingsDialog, TheCoordinateTableEntriesChooseTheLandClassAndThePrecisionClass) {
    EXPECT_EQ(LandClassItems(), (std::vector<std::string>{"宅地・鉱泉地", "その他"}));
    EXPECT_EQ(PrecisionClassItems(), (std::vector<std::string>{"なし", "甲一", "甲二", "甲三", "乙一", "乙二", "乙三"}));
    settings.seidoKubun = 9;  // hand-edited beyond the list: none
    dialog.FormActivate(settings, 0);
    EXPECT_EQ(view.Choice(C::CChimoku), 0);
    EXPECT_EQ(view.Choice(C::CSeidoKubun), 0);
    EXPECT_EQ(view.Text(C::EZahyoMen), "7");
    view.SetChoice(C::CChimoku, 1);
    view.SetChoice(C::CSeidoKubun, 4);
    view.SetChecked(C::CZahyoCsv, true);
    view.SetChecked(C::CZahyoHyo, true);
    view.SetText(C::EZahyoXY, "2");
    EXPECT_TRUE(dialog.FormDeactivate(settings).empty());
    EXPECT_NE(Ini().find("[座標求積]\r\n座標小数点以下=2\r\n差小数点以下=3\r\n倍面積小数点以下=6\r\n"
                         "面積小数点以下=7\r\n地目=1\r\n精度区分=4\r\nCSV=1\r\n面積表=1\r\n"),
              std::string::npos)
        << Ini();
    const SanshaSettings back = Reloaded();
    EXPECT_EQ(back.chimoku, 1);
    EXPECT_EQ(back.seidoKubun, 4);
    EXPECT_TRUE(back.zahyoCsv);
    EXPECT_TRUE(back.zahyoHyo);
    EXPECT_EQ(back.zahyoKetaXY, 2);
    // A list left without a choice keeps what it showed.
    view.choices.erase(C::CSeidoKubun);
    dialog.FormActivate(back, 0);
    view.choices.erase(C::CSeidoKubun);
    SanshaSettings again = back;
    dialog.FormDeactivate(again);
    EXPECT_EQ(Reloaded().seidoKubun, 4);
}

TEST_F(SettingsDialog, SpinnersShowThousandsAndTheFileHoldsTheNumbers) {
    dialog.FormActivate(settings, 1);
    view.SetSpinner(C::EScale, 1000);
    EXPECT_EQ(view.Text(C::EScale), "1,000");
    view.Type(C::NumberStepBox, "1,000");
    view.Type(C::ELengScale, "2,500");
    view.Choose({C::FixedNumberRadio, C::AfterLastNumberRadio, C::StepNumberRadio}, C::StepNumberRadio);
    view.Choose({C::HeronRadio, C::SanshaRadio}, C::SanshaRadio);
    view.Choose({C::RKetaMen1, C::RKetaMen2, C::RKetaMen3, C::RKetaMen4}, C::RKetaMen4);
    view.SetText(C::EText, "文字層");
    dialog.FormDeactivate(settings);
    const std::string ini = Ini();
    EXPECT_NE(ini.find("[縮尺]\r\n分母c=1000\r\n分母=1000\r\n"), std::string::npos);
    EXPECT_NE(ini.find("[計測縮尺]\r\n分母c=2500\r\n分母=2500\r\n"), std::string::npos);
    EXPECT_NE(ini.find("[No増加]\r\nMode=2\r\n増加量=1000\r\n増加c=1000\r\n"), std::string::npos);
    EXPECT_EQ(settings.noMode, NumberingMode::Step);
    EXPECT_EQ(settings.noStep, 1000);
    EXPECT_EQ(settings.noStepPos, 1000);
    const SanshaSettings back = Reloaded();
    EXPECT_EQ(back.scaleDenom, 1000);
    EXPECT_EQ(back.measureScaleDenom, 2500);
    EXPECT_FALSE(back.useHeron);
    EXPECT_TRUE(back.menGoshagonyu);
    EXPECT_FALSE(back.menShishagonyu);
    EXPECT_EQ(back.layerText, "文字層");
}

TEST_F(SettingsDialog, ANumberThatCannotBeUsedIsPointedOutAndItsKeyKeepsTheLastGoodValue) {
    const std::string longLayer(kMaxLayerNameLength + 1, 'L');
    const std::string longestLayer(kMaxLayerNameLength, 'L');
    const struct {
        C field;
        std::string typed;
        const char* stored;  // in the file after the bad text
        const char* shown;   // in the box after the warning: the value in force
        const char* named;   // the box, as the dialog labels it
    } cases[] = {
        {C::EScale, "abc", "[縮尺]\r\n分母c=500\r\n分母=500\r\n", "500", "設定縮尺"},
        {C::EScale, "0", "分母=500\r\n[画層]", "500", "設定縮尺"},
        {C::ELengScale, "-3", "[計測縮尺]\r\n分母c=500\r\n分母=500\r\n", "500", "計測縮尺"},
        {C::ELimTime, "-5", "計算制限値=3000\r\n", "3000", "計算制限値"},
        {C::ELimTime, "3 秒", "計算制限値=3000\r\n", "3000", "計算制限値"},
        {C::EMojiDaka, "abc", "[辺高さ]\r\n文字高=2.5\r\n", "2.5", "辺、高さ 文字高"},
        {C::EBCirR, "0", "番号半径=5\r\n", "5", "辺、高さ 番号半径"},
        {C::EKetaMen, "99", "[面積]\r\n小数点以下c=4\r\n小数点以下=4\r\n", "4", "面積 桁"},
        {C::EKyuGyoDaka, "", "行高=8\r\n", "8", "求積表 行高"},
        {C::ES2, "0", "底辺=10\r\n", "10", "三斜表 底辺"},
        {C::EH5, "x", "[表ヘロン]\r\nNo=3\r\na=8\r\nb=8\r\nc=8\r\n面積=14\r\n", "14", "ヘロン 面積"},
        {C::NumberStepBox, "many", "増加量=100\r\n", "100", "計測後のNo値 増加量"},
        {C::EText, longLayer, "[画層]\r\n文字=S_TEXT\r\n", "S_TEXT", "画層 文字"},
        {C::EKyuLayer, longLayer, "画層名=S_HYO\r\n", "S_HYO", "求積表 画層"},
        {C::EZahyoXY, "7", "[座標求積]\r\n座標小数点以下=3\r\n", "3", "座標求積 座標"},
        {C::EZahyoSeki, "-1", "倍面積小数点以下=6\r\n", "6", "座標求積 倍面積"},
        {C::EZahyoMen, "14", "面積小数点以下=7\r\n", "7", "座標求積 面積"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        settings = SanshaSettings{};
        settings.scaleDenom = settings.scaleDenomPos = 500;
        settings.measureScaleDenom = settings.measureScaleDenomPos = 500;
        settings.calcTimeLimit = 3000;
        settings.mojiDaka = "2.5";
        view = RecordingDialog{};
        dialog.FormActivate(settings, 0);
        if (c.field == C::NumberStepBox) view.SetText(C::NumberStepBox, "100");  // a step of 100 was stored before
        EXPECT_TRUE(dialog.FormDeactivate(settings).empty());
        view.SetText(c.field, c.typed);
        const std::vector<std::string> refused = dialog.FormDeactivate(settings);
        ASSERT_EQ(refused.size(), 1u);
        EXPECT_EQ(refused[0].find(std::string(c.named) + " の「" + c.typed + "」は使えません。"), 0u) << refused[0];
        EXPECT_EQ(view.status, refused[0]);
        EXPECT_NE(Ini().find(c.stored), std::string::npos) << Ini();
        EXPECT_EQ(view.Text(c.field), c.shown);
    }
    // Good values are stored as typed.
    view.SetText(C::EMojiDaka, " 1.25");
    view.SetText(C::ELimTime, "0");
    view.SetText(C::NumberStepBox, "100");
    view.SetText(C::EText, longestLayer);
    EXPECT_TRUE(dialog.FormDeactivate(settings).empty());
    EXPECT_NE(Ini().find("文字=" + longestLayer + "\r\n"), std::string::npos);
    EXPECT_NE(Ini().find("文字高= 1.25\r\n"), std::string::npos);
    EXPECT_EQ(Reloaded().mojiDaka, "1.25");
}

TEST_F(SettingsDialog, EveryBoxThatWasResetIsNamed) {
    settings.calcTimeLimit = 3000;
    dialog.FormActivate(settings, 0);
    view.SetText(C::EScale, "0");
    view.SetText(C::ELimTime, "-5");
    view.SetText(C::ES1, "x");
    const std::vector<std::string> refused = dialog.FormDeactivate(settings);
    EXPECT_EQ(refused, (std::vector<std::string>{
                           "設定縮尺 の「0」は使えません。1 以上の整数を入れてください（1 のままにします）",
                           "計算制限値 の「-5」は使えません。0 以上の整数（ミリ秒）を入れてください（3000 のままにします）",
                           "三斜表 No の「x」は使えません。1 以上の整数を入れてください（3 のままにします）"}));
    EXPECT_EQ(view.status, refused[0] + "\n" + refused[1] + "\n" + refused[2]);
    EXPECT_EQ(view.Text(C::EScale), "1");
    EXPECT_EQ(view.Text(C::ELimTime), "3000");
    EXPECT_EQ(view.Text(C::ES1), "3");
}

TEST_F(SettingsDialog, ABoxIsCheckedWhenTheUserLeavesIt) {
    settings.calcTimeLimit = 3000;
    dialog.FormActivate(settings, 0);
    // Left with a text it cannot use: told at once, the value in force shown.
    view.SetText(C::ELimTime, "-5");
    dialog.FieldLeft(C::ELimTime);
    EXPECT_EQ(view.status, "計算制限値 の「-5」は使えません。0 以上の整数（ミリ秒）を入れてください（3000 のままにします）");
    EXPECT_EQ(view.Text(C::ELimTime), "3000");
    // A good text is taken as it is; a later bad one goes back to it.
    view.status.clear();
    view.SetText(C::ELimTime, "500");
    dialog.FieldLeft(C::ELimTime);
    EXPECT_EQ(view.status, "");
    EXPECT_EQ(view.Text(C::ELimTime), "500");
    view.SetText(C::ELimTime, "abc");
    dialog.FieldLeft(C::ELimTime);
    EXPECT_EQ(view.Text(C::ELimTime), "500");
    // Spinner boxes with their thousands separators, and boxes that are no numbers.
    view.SetText(C::EScale, "1,000");
    dialog.FieldLeft(C::EScale);
    EXPECT_EQ(view.Text(C::EScale), "1,000");
    view.status.clear();
    dialog.FieldLeft(C::HeronRadio);
    dialog.FieldLeft(C::CLogOK);
    EXPECT_EQ(view.status, "");
    // Nothing is left to refuse when the dialog goes.
    EXPECT_TRUE(dialog.FormDeactivate(settings).empty());
    EXPECT_NE(Ini().find("計算制限値=500\r\n"), std::string::npos);
    EXPECT_NE(Ini().find("[縮尺]\r\n分母c=1\r\n分母=1000\r\n"), std::string::npos) << Ini();
}

TEST_F(SettingsDialog, SaveLogsAsWritesTheSixLogsUnderTheChosenName) {
    MeasurementState state;
    // A triangle as the only division.
    EngineTables& t = state.tables;
    sample::SetParcel(t, {{0, 0}, {4, 0}, {0, 3}});
    StoreDivision(t, sample::CandidatesOf(t, {{1, 2, 3}}));
    t.menkei = 6;
    state.rounding = RunRounding{KetaMode::HalfUp, 2, KetaMode::HalfUp, 4, KetaMode::HalfUp, 2};

    view.saveName.reset();
    dialog.SaveLogButtonClick(state, 1);  // cancelled
    EXPECT_EQ(view.titles, std::vector<std::string>{"三斜切りログ保存"});
    EXPECT_TRUE(std::filesystem::is_empty(PathFromUtf8(folder.File(""))));

    view.saveName = folder.File("abc.txt");
    dialog.SaveLogButtonClick(state, 1);
    for (const char* ext : {".xy", ".can", ".mem", ".tri", ".trw", ".trs"})
        EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(folder.File(std::string("abc") + ext)))) << ext;
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(folder.File("abc.txt"))));
    EXPECT_TRUE(view.messages.empty());

    // A log that cannot be written: the message names it, the ones before stay.
    std::filesystem::create_directories(PathFromUtf8(folder.File("def.tri")));
    view.saveName = folder.File("def");
    dialog.SaveLogButtonClick(state, 1);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].find("def.tri"), std::string::npos) << view.messages[0];
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(folder.File("def.mem"))));
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(folder.File("def.trs"))));
}

TEST_F(SettingsDialog, DeletingTheHistoryRecyclesTheWorkFolderAndMakesItAgain) {
    folder.Write("zelkan.Ini", "[縮尺]\r\n分母=500\r\n");
    folder.Write("170412093005res.dxf", "");
    // Asked first, naming the folder: いいえ leaves everything.
    view.answerYes = false;
    dialog.ClearHistoryButtonClick();
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_NE(view.questions[0].find(folder.File("")), std::string::npos) << view.questions[0];
    EXPECT_TRUE(recycled.empty());
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(folder.File("170412093005res.dxf"))));
    EXPECT_TRUE(view.messages.empty());
    view.answerYes = true;
    dialog.ClearHistoryButtonClick();
    EXPECT_EQ(recycled, std::vector<std::string>{folder.File("")});
    EXPECT_TRUE(std::filesystem::is_directory(PathFromUtf8(folder.File(""))));
    EXPECT_TRUE(std::filesystem::is_empty(PathFromUtf8(folder.File(""))));
    EXPECT_EQ(view.messages, std::vector<std::string>{folder.File("") + "をゴミ箱に移しました"});
    // The settings come back when the dialog loses activation.
    dialog.FormActivate(settings, 0);
    dialog.FormDeactivate(settings);
    EXPECT_EQ(ReadFileBytes(folder.File("zelkan.Ini")), Utf8ToCp932(kDefaultsWritten));
}

TEST_F(SettingsDialog, MakingTheLayersUsesTheNamesFromBeforeTheDialogOpened) {
    standin::CommandInterpreter cad(standin::ParseScenario(""), standin::Drawing{});
    standin::InProcessCad link(cad);
    settings.layerText = "文字層";
    dialog.FormActivate(settings, 0);
    view.SetText(C::EText, "まだ保存していない名前");
    // No CAD running: told in the status line, nothing made.
    link.SetRunning(false);
    dialog.bGasoClick(link, settings);
    EXPECT_EQ(view.status, "CAD が見つかりません");
    EXPECT_FALSE(cad.drawing().HasLayer("文字層"));
    link.SetRunning(true);
    dialog.bGasoClick(link, settings);
    EXPECT_EQ(view.status, "");
    EXPECT_TRUE(cad.drawing().HasLayer("文字層"));
    EXPECT_FALSE(cad.drawing().HasLayer("まだ保存していない名前"));
    EXPECT_TRUE(cad.drawing().HasLayer("S_HYO"));
}

TEST_F(SettingsDialog, SaveLogsAsAfterARunWritesEveryDivisionFound) {
    // A regular decagon as the CAD exports it: 1 430 divisions.
    std::string dxf = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOLYLINE\r\n 70\r\n1\r\n";
    for (int k = 0; k < 10; ++k)
        dxf += "  0\r\nVERTEX\r\n 10\r\n" + std::to_string(100 * std::cos(0.1 + k * 0.6283185307179586)) +
               "\r\n 20\r\n" + std::to_string(100 * std::sin(0.1 + k * 0.6283185307179586)) + "\r\n";
    dxf += "  0\r\nSEQEND\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    MeasurementState state;
    RunRequest request;
    request.boundaryDxf = folder.Write("decagon.dxf", dxf);
    request.runScript = folder.File("run.scr");
    SilentSearchControl control;
    SteadyMillisecondClock clock;
    ASSERT_EQ(MeasureParcel(state, settings, request, control, clock).outcome, RunOutcome::Drawn);
    ASSERT_EQ(state.tables.trisets.trisetnum(), 1430);

    dialog.FormActivate(settings, state.tables.trisets.trisetnum());
    EXPECT_TRUE(view.enabled.at(C::SaveLogButton));
    view.saveName = folder.File("decagon-logs");
    dialog.SaveLogButtonClick(state, settings.measureScaleDenom);
    const std::string trs = ReadFileBytes(folder.File("decagon-logs.trs"));
    size_t summaries = 0;
    for (size_t at = trs.find("\r\n0,"); at != std::string::npos; at = trs.find("\r\n0,", at + 1)) ++summaries;
    EXPECT_EQ(summaries, 1430u);
}

}  // namespace
}  // namespace zelkan
