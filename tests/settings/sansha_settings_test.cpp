#include "settings/sansha_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/search_mode.h"
#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "settings/ini_file.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

using test::ScratchFolder;

SanshaSettings LoadFrom(const std::string& file) {
    SanshaSettings s;
    s.scaleDenom = -99;  // replaced by the file or the default
    LoadSettings(IniFile(file), s);
    return s;
}

std::string IniText(const std::string& utf8) { return Utf8ToCp932(utf8); }

TEST(Settings, MissingFileGivesEveryDefault) {
    ScratchFolder folder;
    const SanshaSettings s = LoadFrom(folder.File(kSettingsFileName));
    EXPECT_EQ(s.scaleDenom, 1);
    EXPECT_EQ(s.layerText, "S_TEXT");
    EXPECT_EQ(s.layerHen, "S_HEN");
    EXPECT_EQ(s.layerTakasa, "S_TAKASA");
    EXPECT_EQ(s.kyuLayer, "S_HYO");
    EXPECT_TRUE(s.useHeron);
    EXPECT_FALSE(s.saveRecords);
    EXPECT_EQ(s.noStepPos, 3);
    EXPECT_EQ(s.noStep, 100);
    EXPECT_EQ(s.colSanshaMen, 14);
    EXPECT_EQ(s.colHeronA, 8);
    // The coordinate-method table loses nothing of millimetres; 宅地, no 精度区分.
    EXPECT_EQ(s.zahyoKetaXY, 3);
    EXPECT_EQ(s.zahyoKetaSa, 3);
    EXPECT_EQ(s.zahyoKetaSeki, 6);
    EXPECT_EQ(s.zahyoKetaMen, 7);
    EXPECT_EQ(s.chimoku, 0);
    EXPECT_EQ(s.seidoKubun, 0);
    EXPECT_FALSE(s.zahyoCsv);
    EXPECT_FALSE(s.zahyoHyo);
    RunRounding r;
    TakeRoundingRules(s, r);
    EXPECT_EQ(r.lengthMode, KetaMode::HalfUp);
    EXPECT_EQ(r.lengthDigits, 2);
    EXPECT_EQ(r.areaMode, KetaMode::HalfUp);
    EXPECT_EQ(r.areaDigits, 4);
    EXPECT_EQ(r.resultMode, KetaMode::HalfUp);
    EXPECT_EQ(r.resultDigits, 2);
}

TEST(Settings, ValuesAsWrittenByHandOrByTheDialog) {
    ScratchFolder folder;
    const std::string file = folder.Write(kSettingsFileName, IniText(
        "[縮尺]\r\n分母=1000\r\n分母c=1,000\r\n"
        "[計測縮尺]\r\n分母=1,000\r\n"
        "[計算]\r\n計算制限値=abc\r\n"
        "[面積]\r\n検索=7\r\nヘロン=0\r\n"
        "[結果]\r\nログ保存=2\r\n"
        "[画層]\r\n文字=  \"文字 層\"  \r\n"
        "[no増加]\r\nmode=0x2\r\n"
        "[座標求積]\r\n座標小数点以下=2\r\n地目=1\r\n精度区分=5\r\nCSV=1\r\n面積表=1\r\n"));
    const SanshaSettings s = LoadFrom(file);
    EXPECT_EQ(s.scaleDenom, 1000);
    EXPECT_EQ(s.scaleDenomPos, 1) << "1,000 is no integer: the default";
    EXPECT_EQ(s.measureScaleDenom, 1);
    EXPECT_EQ(s.calcTimeLimit, 0) << "abc: no time limit";
    EXPECT_EQ(s.searchMode, SearchMode::Shape) << "7 is no mode: mode 0";
    EXPECT_EQ(SearchModeOf(3), SearchMode::Fast);
    EXPECT_FALSE(s.useHeron);
    EXPECT_TRUE(s.saveRecords) << "any integer but 0 is true";
    EXPECT_EQ(s.layerText, "文字 層") << "blanks and quotes around a value go";
    EXPECT_EQ(s.noMode, NumberingMode::Step) << "ASCII names match in any case; 0x is hexadecimal";
    EXPECT_EQ(s.zahyoKetaXY, 2);
    EXPECT_EQ(s.zahyoKetaMen, 7);
    EXPECT_EQ(s.chimoku, 1);
    EXPECT_EQ(s.seidoKubun, 5);
    EXPECT_TRUE(s.zahyoCsv);
    EXPECT_TRUE(s.zahyoHyo);
}

TEST(Settings, AllLengthFlagsOffKeepThePreviousMode) {
    ScratchFolder folder;
    const std::string file = folder.Write(kSettingsFileName, IniText(
        "[長さ]\r\n切り捨て=0\r\n四捨五入=0\r\n切り上げ=0\r\n五捨五入=0\r\n小数点以下=3\r\n"
        "[面積]\r\n五捨五入=1\r\n四捨五入=0\r\n"));
    const SanshaSettings s = LoadFrom(file);
    RunRounding r;
    TakeRoundingRules(s, r);
    EXPECT_EQ(r.lengthMode, KetaMode::None) << "nothing formats before the first run";
    EXPECT_EQ(r.lengthDigits, 3);
    EXPECT_EQ(r.areaMode, KetaMode::Even);
    std::string text = "unchanged";
    KetaFormat(r.lengthMode, r.lengthDigits, 1.5, text);
    EXPECT_EQ(text, "unchanged");

    RunRounding previous;
    previous.lengthMode = KetaMode::Up;
    TakeRoundingRules(s, previous);
    EXPECT_EQ(previous.lengthMode, KetaMode::Up);
}

TEST(Settings, WrittenFileIsShiftJisWithCrLfAndReadsBack) {
    ScratchFolder folder;
    const std::string file = folder.File(kSettingsFileName);
    SanshaSettings s;
    s.scaleDenom = 500;
    s.layerText = "文字";
    s.nagaShishagonyu = false;
    s.nagaGoshagonyu = true;
    s.calcTimeLimit = 3000;
    IniFile ini(file);
    WriteSettings(ini, s);
    ini.Save();

    const std::string bytes = ReadFileBytes(file);
    const std::string head = IniText("[縮尺]\r\n分母c=1\r\n分母=500\r\n");
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
    EXPECT_NE(bytes.find(IniText("[画層]\r\n文字=文字\r\n")), std::string::npos);
    EXPECT_EQ(bytes.find("\xef\xbb\xbf"), std::string::npos) << "no byte-order mark";

    const SanshaSettings back = LoadFrom(file);
    EXPECT_EQ(back.scaleDenom, 500);
    EXPECT_EQ(back.layerText, "文字");
    EXPECT_FALSE(back.nagaShishagonyu);
    EXPECT_TRUE(back.nagaGoshagonyu);
    EXPECT_EQ(back.calcTimeLimit, 3000);
    EXPECT_EQ(back.noStep, 100);
}

TEST(Settings, SearchModeWriteKeepsTheOtherLinesInPlace) {
    ScratchFolder folder;
    const std::string file = folder.Write(kSettingsFileName, IniText(
        "; comment\r\n[面積]\r\nヘロン=0\r\n検索=1\r\n\r\n[結果]\r\nログ保存=1\r\n"));
    IniFile ini(file);
    WriteSearchMode(ini, SearchMode::NotAbove);
    ini.WriteString("結果", "小数点以下", "3");
    ini.WriteString("新", "鍵", "x");
    ini.Save();
    EXPECT_EQ(ReadFileBytes(file), IniText("; comment\r\n[面積]\r\nヘロン=0\r\n検索=2\r\n\r\n[結果]\r\nログ保存=1\r\n"
                                           "小数点以下=3\r\n[新]\r\n鍵=x\r\n"));
}

TEST(Settings, AFileThatCannotBeWrittenIsReportedAndLeftAsItWas) {
    ScratchFolder folder;
    IniFile ini(folder.File("no such folder/zelkan.Ini"));
    ini.WriteString("面積", "検索", "1");
    try {
        ini.Save();
        FAIL() << "no error";
    } catch (const InputOutputError& e) {
        EXPECT_EQ(e.fileName(), ini.fileName());
    }
}

struct IntegerCase {
    const char* text;
    int32_t value;
};

class SettingInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(SettingInteger, ParsesTheWholeTextOrFallsBack) {
    EXPECT_EQ(ParseSettingInteger(GetParam().text, -7), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, SettingInteger,
                         testing::Values(IntegerCase{"12", 12}, IntegerCase{"-3", -3}, IntegerCase{"+4", 4},
                                         IntegerCase{"0x1F", 31}, IntegerCase{"0X10", 16}, IntegerCase{"-0x10", -16},
                                         IntegerCase{"", -7}, IntegerCase{"1,000", -7}, IntegerCase{"abc", -7},
                                         IntegerCase{"1.5", -7}, IntegerCase{"12 ", -7}, IntegerCase{"0x", -7},
                                         IntegerCase{"2147483647", 2147483647}, IntegerCase{"2147483648", -7},
                                         IntegerCase{"--1", -7}));

TEST(Settings, DecimalsAreTakenWithinTheirRange) {
    const struct {
        const char* text;
        int32_t digits;
    } cases[] = {{"0", 0}, {"3", 3}, {"15", 15}, {"16", 15}, {"2000000000", 15}, {"-1", 0}, {"-2147483648", 0}};
    for (const auto& c : cases) {
        SanshaSettings s;
        s.ketaNaga = s.ketaMen = s.ketaKeka = c.text;
        RunRounding r;
        TakeRoundingRules(s, r);
        EXPECT_EQ(r.lengthDigits, c.digits) << c.text;
        EXPECT_EQ(r.areaDigits, c.digits) << c.text;
        EXPECT_EQ(r.resultDigits, c.digits) << c.text;
    }
}

// The same settings file as an editor may save it.
struct EncodedIni {
    const char* name;
    std::string (*encode)(const std::string& utf8);
};

std::string Utf16Le(const std::string& utf8, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (size_t n = 0; n < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[n]);
        char32_t c = lead;
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (length > 1) c = lead & (0xFF >> (length + 1));
        for (size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[n + k]) & 0x3F);
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
        n += length;
    }
    return out;
}

const EncodedIni kEncodings[] = {
    {"code page 932", [](const std::string& u) { return Utf8ToCp932(u); }},
    {"UTF-8", [](const std::string& u) { return u; }},
    {"UTF-8 with BOM", [](const std::string& u) { return "\xEF\xBB\xBF" + u; }},
    {"UTF-16 LE", [](const std::string& u) { return Utf16Le(u, false); }},
    {"UTF-16 BE", [](const std::string& u) { return Utf16Le(u, true); }},
};

TEST(Settings, FilesSavedAsUtf8OrUtf16AreReadAndKeepTheirBytes) {
    // One line ends in LF alone and the last has no line end: an editor's
    // file, which the program rewrites only where it changes a value.
    const std::string before = "; 測量事務所の設定\r\n[縮尺]\r\n分母=500\n[面積]\r\n検索=1\r\nヘロン=0";
    const std::string after = "; 測量事務所の設定\r\n[縮尺]\r\n分母=500\n[面積]\r\n検索=3\r\nヘロン=0\r\n[新]\r\n鍵=値\r\n";
    for (const EncodedIni& encoding : kEncodings) {
        SCOPED_TRACE(encoding.name);
        ScratchFolder folder;
        const std::string file = folder.Write(kSettingsFileName, encoding.encode(before));
        const SanshaSettings s = LoadFrom(file);
        EXPECT_EQ(s.scaleDenom, 500);
        EXPECT_EQ(s.searchMode, SearchMode::Closest);
        EXPECT_FALSE(s.useHeron);
        IniFile ini(file);
        WriteSearchMode(ini, SearchMode::Fast);
        ini.WriteString("新", "鍵", "値");
        ini.Save();
        EXPECT_EQ(ReadFileBytes(file), encoding.encode(after));
    }
}

// Every line end an editor may leave, last line with one or without, in
// every encoding, UTF-16 also with an odd byte at the end: a save reads
// back as the settings saved, and the lines it does not change keep their
// bytes.
TEST(Settings, ASaveReadsBackWhateverTheLineEnds) {
    const char* const kEnds[] = {"\r\n", "\n", "\r"};
    for (const EncodedIni& encoding : kEncodings) {
        const bool wide = std::string(encoding.name).starts_with("UTF-16");
        for (const char* end : kEnds) {
            for (const bool lastEnded : {true, false}) {
                for (const bool oddByte : {false, true}) {
                    if (oddByte && !wide) continue;
                    SCOPED_TRACE(std::string(encoding.name) + " end " + (end[0] == '\n' ? "LF" : end[1] ? "CR LF" : "CR") +
                                 (lastEnded ? "" : ", last line open") + (oddByte ? ", odd byte" : ""));
                    const std::string mark = encoding.encode("");
                    const std::string comment = encoding.encode("; 測量事務所" + std::string(end)).substr(mark.size());
                    std::string text = "; 測量事務所" + std::string(end) + "[縮尺]" + end + "分母=500";
                    if (lastEnded) text += end;
                    std::string bytes = encoding.encode(text);
                    if (oddByte) bytes += '\x7F';
                    ScratchFolder folder;
                    const std::string file = folder.Write(kSettingsFileName, bytes);

                    SanshaSettings s = LoadFrom(file);
                    ASSERT_EQ(s.scaleDenom, 500);
                    s.layerText = "文字層";
                    s.searchMode = SearchMode::NotAbove;
                    IniFile ini(file);
                    WriteSettings(ini, s);
                    ini.Save();

                    const SanshaSettings back = LoadFrom(file);
                    EXPECT_EQ(back.scaleDenom, 500);
                    EXPECT_EQ(back.layerText, "文字層");
                    EXPECT_EQ(back.searchMode, SearchMode::NotAbove);
                    const std::string saved = ReadFileBytes(file);
                    EXPECT_TRUE(saved.starts_with(mark + comment));
                    if (oddByte) {
                        EXPECT_EQ(saved.back(), '\x7F');
                    }
                    if (wide) {
                        EXPECT_EQ(saved.size() % 2, oddByte ? 1u : 0u);
                    }
                }
            }
        }
    }
}

TEST(Settings, ALastLineEndingInALoneCrKeepsItsValue) {
    // "[縮尺]\r\n分母=500\r" in code page 932, as a user's file had it.
    const std::string bytes = "\x5b\x8f\x6b\x8e\xda\x5d\x0d\x0a\x95\xaa\x95\xea\x3d\x35\x30\x30\x0d";
    ScratchFolder folder;
    const std::string file = folder.Write(kSettingsFileName, bytes);
    IniFile ini(file);
    ini.WriteString("縮尺", "分母c", "1");
    ini.Save();
    EXPECT_EQ(ReadFileBytes(file), bytes + "\x95\xaa\x95\xea\x63\x3d\x31\x0d\x0a");
    EXPECT_EQ(LoadFrom(file).scaleDenom, 500);
}

}  // namespace
}  // namespace zelkan
