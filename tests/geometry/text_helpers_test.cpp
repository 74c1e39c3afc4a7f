#include "geometry/text_helpers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "geometry/numbers.h"

namespace zelkan {
namespace {

using namespace std::string_literals;

TEST(TrimSpaceNul, RemovesSpacesAndNulsFromBothEndsOnly) {
    EXPECT_EQ(TrimSpaceNul("  12.5  \0\0"s), "12.5");
    EXPECT_EQ(TrimSpaceNul("\0 a b \0"s), "a b");
    EXPECT_EQ(TrimSpaceNul("    "), "");
    EXPECT_EQ(TrimSpaceNul(""), "");
    // Tabs and full-width spaces are not trimmed.
    EXPECT_EQ(TrimSpaceNul("\t1 "), "\t1");
    EXPECT_EQ(TrimSpaceNul("\u30001\u3000"), "\u30001\u3000");
}

struct StrToRealCase {
    std::string text;
    double value;
};

class StrToRealTest : public testing::TestWithParam<StrToRealCase> {};

TEST_P(StrToRealTest, Converts) {
    EXPECT_EQ(StrToReal(GetParam().text), GetParam().value) << "text: '" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(Texts, StrToRealTest,
                         testing::Values(StrToRealCase{"", 0.0}, StrToRealCase{"   ", 0.0},
                                         StrToRealCase{" 3.25", 3.25}, StrToRealCase{"3.25 \0"s, 3.25},
                                         StrToRealCase{"-12.5", -12.5}, StrToRealCase{"+7", 7.0},
                                         StrToRealCase{"1E3", 1000.0}, StrToRealCase{"2.5e-2", 0.025},
                                         StrToRealCase{".5", 0.5}, StrToRealCase{"5.", 5.0},
                                         StrToRealCase{"0.1", 0.1},
                                         StrToRealCase{"340.7727144396205", 340.7727144396205},
                                         // Not numbers: callers do not rely on the value; it is 0.
                                         StrToRealCase{"abc", 0.0}, StrToRealCase{"1,5", 0.0},
                                         StrToRealCase{"inf", 0.0}, StrToRealCase{"0x10", 0.0},
                                         StrToRealCase{"1e", 0.0}, StrToRealCase{"-", 0.0},
                                         StrToRealCase{"\t1", 0.0}));

TEST(StrToReal, IgnoresTheProcessLocale) {
    // A locale with a decimal comma, where one is installed.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    const bool switched = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr ||
                          std::setlocale(LC_ALL, "German_Germany.1252") != nullptr;
    EXPECT_EQ(StrToReal("1.5"), 1.5);
    EXPECT_EQ(StrToReal("1,5"), 0.0);
    std::setlocale(LC_ALL, saved.c_str());
    if (!switched) GTEST_SKIP() << "no locale with a decimal comma on this machine";
}

TEST(DecimalBeyondDouble, OnlyMagnitudesPastEveryDouble) {
    for (const char* text : {"1e400", "-1e400", " 1E+309 ", "123456789e301", "0.00001e320", "1e999999999999"})
        EXPECT_TRUE(DecimalBeyondDouble(text)) << text;
    for (const char* text : {"1e308", "1.7976931348623157e308", "1e-400", "0e999", "0.0", "-12016.087", "abc", "", "inf"})
        EXPECT_FALSE(DecimalBeyondDouble(text)) << text;
}

TEST(SplitAtComma, WalksAListFieldByField) {
    std::string s = "1.0,2.0,0.0";
    std::string head;
    SplitAtComma(s, head);
    EXPECT_EQ(head, "1.0");
    EXPECT_EQ(s, "2.0,0.0");
    SplitAtComma(s, head);
    EXPECT_EQ(head, "2.0");
    EXPECT_EQ(s, "0.0");
    SplitAtComma(s, head);
    EXPECT_EQ(head, "0.0");
    EXPECT_EQ(s, "");
}

TEST(SplitAtComma, EmptyFieldsAndNoSeparator) {
    std::string s = ",x";
    std::string head = "old";
    SplitAtComma(s, head);
    EXPECT_EQ(head, "");
    EXPECT_EQ(s, "x");

    s = "no comma";
    SplitAtComma(s, head);
    EXPECT_EQ(head, "no comma");
    EXPECT_EQ(s, "");
}

TEST(SplitAtColon, SplitsAtTheFirstColonOnly) {
    std::string s = "UCSORG:1:2";
    std::string head;
    SplitAtColon(s, head);
    EXPECT_EQ(head, "UCSORG");
    EXPECT_EQ(s, "1:2");
    s = "1,2";
    SplitAtColon(s, head);
    EXPECT_EQ(head, "1,2");
    EXPECT_EQ(s, "");
}

TEST(Numbers, TiesAndSwap) {
    EXPECT_EQ(MinReal(2, 2), 2);
    EXPECT_EQ(MaxReal(2, 2), 2);
    EXPECT_EQ(MinReal(-1, 3), -1);
    EXPECT_EQ(MaxReal(-1, 3), 3);
    EXPECT_EQ(MaxInt(-1, -1), -1);
    EXPECT_EQ(MaxInt(-5, 4), 4);
    int32_t a = 1, b = 2;
    SwapInt(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
    // MinReal and MaxReal keep their argument order rules for signed zeros.
    EXPECT_TRUE(std::signbit(MinReal(-0.0, 0.0)));
    EXPECT_FALSE(std::signbit(MaxReal(-0.0, 0.0)));
}

}  // namespace
}  // namespace zelkan
