#include "geometry/cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace zelkan {
namespace {

struct CodecCase {
    const char* utf8;
    const char* cp932;
};

class Cp932Texts : public testing::TestWithParam<CodecCase> {};

TEST_P(Cp932Texts, ConvertsBothWays) {
    EXPECT_EQ(Utf8ToCp932(GetParam().utf8), GetParam().cp932);
    EXPECT_EQ(Cp932ToUtf8(GetParam().cp932), GetParam().utf8);
}

// The texts the system writes into its drawings, scripts and logs.
INSTANTIATE_TEST_SUITE_P(
    SystemTexts, Cp932Texts,
    testing::Values(CodecCase{"", ""}, CodecCase{"LINE\r\n 10\r\n", "LINE\r\n 10\r\n"},
                    CodecCase{"底辺", "\x92\xea\x95\xd3"}, CodecCase{"高さ", "\x8d\x82\x82\xb3"},
                    CodecCase{"面積", "\x96\xca\x90\xcf"}, CodecCase{"合計", "\x8d\x87\x8c\x76"},
                    CodecCase{"１/２", "\x82\x50/\x82\x51"},
                    CodecCase{"計測中のログを保存します",
                              "\x8c\x76\x91\xaa\x92\x86\x82\xcc\x83\x8d\x83\x4f\x82\xf0\x95\xdb\x91\xb6\x82"
                              "\xb5\x82\xdc\x82\xb7"},
                    // A trail byte that is the backslash, and a half-width katakana.
                    CodecCase{"面積表", "\x96\xca\x90\xcf\x95\x5c"}, CodecCase{"ｱ", "\xb1"},
                    CodecCase{"xynumが制限を越えました",
                              "xynum\x82\xaa\x90\xa7\x8c\xc0\x82\xf0\x89\x7a\x82\xa6\x82\xdc\x82\xb5\x82\xbd"}));

TEST(Cp932, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp932("a\u00e9b"), "a?b");
    EXPECT_EQ(Utf8ToCp932("x\U0001F600y"), "x?y");
}

TEST(Cp932, BrokenSequencesDecodeToReplacementCharacters) {
    EXPECT_EQ(Cp932ToUtf8("a\x82"), "a\uFFFD");           // cut after a lead byte
    EXPECT_EQ(Cp932ToUtf8("\x82 b"), "\uFFFD b");          // a lead byte before a blank
}

// Drawings are almost all ASCII: every byte below 0x80 is its own character
// in both encodings, the backslash and the tilde included.
TEST(Cp932, AsciiBytesStayAsTheyAre) {
    std::string ascii;
    for (int c = 0; c < 0x80; ++c) ascii += static_cast<char>(c);
    EXPECT_EQ(Utf8ToCp932(ascii), ascii);
    EXPECT_EQ(Utf8ToCp932(ascii + "面積" + ascii), ascii + "\x96\xca\x90\xcf" + ascii);
}

// Broken UTF-8 among ASCII: one "?" for each broken sequence, and the ASCII
// around it kept.
TEST(Cp932, BrokenUtf8BecomesOneQuestionMarkEach) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\xE3\x81" "b", "a?b"},          // cut short before ASCII
        {"a\xE3\x81", "a?"},                // cut short at the end
        {"\x80x", "?x"},                     // a stray continuation byte
        {"\x80\x80x", "??x"},               // two of them
        {"x\xE3\x81\xE9\x9D\xA2y", "x?\x96\xca" "y"},  // cut short before a whole character
        {"\xFF\xFE", "??"},
    };
    for (const auto& [utf8, cp932] : cases) EXPECT_EQ(Utf8ToCp932(utf8), cp932) << utf8;
}

}  // namespace
}  // namespace zelkan
