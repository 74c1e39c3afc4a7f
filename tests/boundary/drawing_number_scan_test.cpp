#include "boundary/drawing_number_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/tables.h"
#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "geometry/unicode_text.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::string Dxf(const Pairs& pairs) {
    std::string s;
    for (const auto& [code, value] : pairs) s += code + "\r\n" + value + "\r\n";
    return Utf8ToCp932(s);
}

Pairs Text(const std::string& layer, const std::string& value, const char* type = "TEXT") {
    return {{"  0", type}, {"  8", layer}, {" 10", "0.0"}, {" 20", "0.0"}, {" 40", "4.0"}, {"  1", value}};
}

Pairs Section(const char* name, const Pairs& body) {
    Pairs p{{"  0", "SECTION"}, {"  2", name}};
    p.insert(p.end(), body.begin(), body.end());
    p.push_back({"  0", "ENDSEC"});
    return p;
}

Pairs Tables() { return Section("TABLES", {{"  0", "TABLE"}, {"  2", "STYLE"}, {"  0", "ENDTAB"}}); }

Pairs Join(std::initializer_list<Pairs> parts) {
    Pairs all;
    for (const Pairs& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

class Scan : public testing::Test {
protected:
    int32_t Next(const Pairs& drawing, std::string_view layer = "S_TEXT") {
        int32_t maxNo = 1;
        ScanDrawingNumbers(scan, folder.Write("d.dxf", Dxf(drawing)), layer, maxNo);
        return maxNo + 1;
    }
    DrawingNumberScan scan;
    test::ScratchFolder folder;
};

TEST_F(Scan, NumbersInBlockDefinitionsCount) {
    Pairs blocks{{"  0", "BLOCK"}, {"  2", "A"}};
    for (int n = 1; n <= 4; ++n) blocks = Join({blocks, Text("S_TEXT", std::to_string(n))});
    blocks = Join({blocks, {{"  0", "ENDBLK"}, {"  0", "BLOCK"}, {"  2", "B"}}});
    for (int n = 5; n <= 9; ++n) blocks = Join({blocks, Text("S_TEXT", std::to_string(n))});
    blocks.push_back({"  0", "ENDBLK"});
    EXPECT_EQ(Next(Join({Tables(), Section("BLOCKS", blocks), Section("ENTITIES", {{"  0", "LINE"}, {"  8", "0"}})})), 10);
}

TEST_F(Scan, OnlyWholeNumbersOnTheLabelLayer) {
    const Pairs entities = Join({Text("S_TEXT", "  12.35"), Text("S_TEXT", "    12"), Text("S_TEXT", "7 "),
                                 Text("s_text", "40"), Text("OTHER", "50"), Text("S_TEXT", "-3")});
    EXPECT_EQ(Next(Join({Tables(), Section("ENTITIES", entities)})), 13);
    EXPECT_EQ(Next(Join({Tables(), Section("ENTITIES", Text("S_TEXT", " 7"))})), 8);
    EXPECT_EQ(Next(Join({Tables(), Section("ENTITIES", Text("S_TEXT", "7 "))})), 2);
}

// A triangle number as the result drawing draws it: a circle on the label
// layer, then the number centred on its centre.
Pairs Circled(const std::string& layer, const std::string& value, const char* x, const char* y = "10.0") {
    return {{"  0", "CIRCLE"}, {"  8", layer}, {" 10", x},  {" 20", y},  {" 40", "5.0"}, {"  0", "TEXT"}, {"  8", "S_TEXT"},
            {" 10", x},        {" 20", y},     {" 11", x},  {" 21", y},  {"  1", value},  {" 40", "4.0"}, {" 72", "1"},
            {" 73", "2"}};
}

TEST_F(Scan, WhereNumbersStandInCirclesLengthsWithoutDecimalsDoNotCount) {
    // A 40 x 30 rectangle measured with lengths of 0 decimals.
    const Pairs block = Join({{{"  0", "BLOCK"}}, Circled("S_TEXT", "1", "20.0"), Text("S_TEXT", "    50"),
                              Circled("S_TEXT", "2", "30.0"), Text("S_TEXT", "    40"), Text("S_TEXT", "    30"),
                              {{"  0", "ENDBLK"}}});
    EXPECT_EQ(Next(Join({Tables(), Section("BLOCKS", block), Section("ENTITIES", {})})), 3);
    // A circle on another layer, or away from the number, marks nothing: by
    // every number then, as in a drawing without circles.
    EXPECT_EQ(Next(Join({Tables(), Section("ENTITIES", Join({Circled("OTHER", "1", "20.0"), Text("S_TEXT", "50")}))})), 51);
    Pairs away = Circled("S_TEXT", "1", "20.0");
    away[2].second = "80.0";  // the circle's centre
    EXPECT_EQ(Next(Join({Tables(), Section("ENTITIES", Join({away, Text("S_TEXT", "50")}))})), 51);
    EXPECT_EQ(Next(Join({Tables(), Section("ENTITIES", Join({Text("S_TEXT", "12"), Text("S_TEXT", "50")}))})), 51);
}

TEST_F(Scan, TextsAfterTheEntitiesSectionAreNotRead) {
    const Pairs drawing =
        Join({Tables(), Section("ENTITIES", Text("S_TEXT", "3")), Section("OBJECTS", Text("S_TEXT", "99"))});
    EXPECT_EQ(Next(drawing), 4);
}

TEST_F(Scan, MultilineTextsCountInTheEntitiesOnlyAndUnchanged) {
    Pairs blocks = Join({{{"  0", "BLOCK"}}, Text("S_TEXT", "20", "MTEXT"), {{"  0", "ENDBLK"}}});
    const Pairs entities = Join({Text("S_TEXT", "11", "MTEXT"), Text("S_TEXT", "\\A1;15", "MTEXT")});
    EXPECT_EQ(Next(Join({Tables(), Section("BLOCKS", blocks), Section("ENTITIES", entities)})), 12);
}

TEST_F(Scan, JapaneseLayerNamesAndTheLayerThatPersistsBetweenScans) {
    EXPECT_EQ(Next(Join({Tables(), Section("ENTITIES", Text("三斜番号", "21"))}), "三斜番号"), 22);
    // A text without its own layer group takes the layer last met, even in
    // the previous scan.
    const Pairs noLayer = {{"  0", "TEXT"}, {"  1", "30"}};
    EXPECT_EQ(Next(Join({Tables(), Section("ENTITIES", noLayer)}), "三斜番号"), 31);
}

TEST_F(Scan, MissingFileChangesNothingAndABadGroupCodeIsAnInputError) {
    int32_t maxNo = 1;
    ScanDrawingNumbers(scan, folder.File("none.dxf"), "S_TEXT", maxNo);
    EXPECT_EQ(maxNo, 1);
    EXPECT_THROW(ScanDrawingNumbers(scan, folder.Write("bad.dxf", Dxf({{"  0", "SECTION"}, {"x", "y"}})), "S_TEXT", maxNo),
                 InputOutputError);
    const Pairs good = Join({Tables(), {{"  0", "SECTION"}, {"  2", "ENTITIES"}}, Text("S_TEXT", "5")});
    EXPECT_THROW(ScanDrawingNumbers(scan, folder.Write("late.dxf", Dxf(good) + "zero\r\nTEXT\r\n"), "S_TEXT", maxNo),
                 InputOutputError);
    EXPECT_EQ(maxNo, 5) << "what was reached stays";
}

using test::WithLineEnds;

TEST_F(Scan, NumbersTooLargeToFollowCountAsTheLargestThatCan) {
    EXPECT_EQ(Next(Join({Tables(), Section("ENTITIES", Join({Text("S_TEXT", "2147483647"), Text("S_TEXT", "12")}))})),
              kMaxFirstNumber);
    EXPECT_EQ(Next(Join({Tables(), Section("ENTITIES", Text("S_TEXT", "2147482646"))})), kMaxFirstNumber);
}

TEST_F(Scan, DrawingsSavedAsUtf8OrUtf16) {
    std::string utf8;
    for (const auto& [code, value] : Join({Tables(), Section("ENTITIES", Join({Text("三斜番号", "41"), Text("S_TEXT", "90")}))}))
        utf8 += code + "\r\n" + value + "\r\n";
    const std::pair<const char*, std::string> files[] = {
        {"UTF-8", "\xEF\xBB\xBF" + utf8},
        {"UTF-16 LE", "\xFF\xFE" + Utf8ToUtf16(utf8, false)},
        {"UTF-16 BE", "\xFE\xFF" + Utf8ToUtf16(utf8, true)},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        int32_t maxNo = 1;
        ScanDrawingNumbers(scan, folder.Write("encoded.dxf", bytes), "三斜番号", maxNo);
        EXPECT_EQ(maxNo, 41);
        EXPECT_EQ(scan.currentTextLayer, "S_TEXT");
    }
}

TEST_F(Scan, EveryLineEndAndAFileWithoutItsLastOne) {
    Pairs blocks{{"  0", "BLOCK"}, {"  2", "A"}};
    blocks = Join({blocks, Text("三斜番号", "8"), {{"  0", "ENDBLK"}}});
    const Pairs entities = Join({Text("三斜番号", "12"), Text("OTHER", "50"), Text("三斜番号", "7")});
    const std::string crlf = Dxf(Join({Tables(), Section("BLOCKS", blocks), Section("ENTITIES", entities)}));
    for (const char* end : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(end[0] == '\r' ? (end[1] ? "CR LF" : "CR") : "LF");
        std::string text = WithLineEnds(crlf, end);
        for (const bool lastEnded : {true, false}) {
            if (!lastEnded) text.resize(text.size() - std::string(end).size());
            int32_t maxNo = 1;
            ScanDrawingNumbers(scan, folder.Write("ends.dxf", text), "三斜番号", maxNo);
            EXPECT_EQ(maxNo, 12);
        }
    }
    // A bad group code is reported on its line whatever the line ends.
    for (const char* end : {"\r\n", "\n", "\r"}) {
        int32_t maxNo = 1;
        try {
            ScanDrawingNumbers(scan, folder.Write("bad.dxf", WithLineEnds(Dxf({{"  0", "SECTION"}, {"x", "y"}}), end)),
                               "S_TEXT", maxNo);
            ADD_FAILURE() << "accepted";
        } catch (const InputOutputError& e) {
            EXPECT_NE(std::string(e.what()).find("DXF の3行目のグループコードが整数ではありません"), std::string::npos)
                << e.what();
        }
    }
}

TEST_F(Scan, ALargeGeneratedDrawingGivesWhatItsSmallEquivalentGives) {
    // Texts on other layers and long texts between the numbered ones: many
    // times the reader's buffer, with lines longer than it.
    const Pairs numbered = Join({Text("S_TEXT", "17"), Text("S_TEXT", "230"), Text("S_TEXT", "4")});
    const std::string small = Dxf(Join({Tables(), Section("ENTITIES", numbered)}));
    std::string large = Dxf(Join({Tables(), {{"  0", "SECTION"}, {"  2", "ENTITIES"}}}));
    const std::string filler = Dxf(Join({Text("OTHER", "999999"), Text("S_TEXT", "1.5"), Text("S_TEXT", std::string(70000, '7') + "x")}));
    const std::string ordinary = Dxf(Text("OTHER", "12345"));
    for (int n = 0; n < 60; ++n) {
        large += filler;
        for (int k = 0; k < 2000; ++k) large += ordinary;
        if (n == 30) large += Dxf(numbered);
    }
    large += Dxf({{"  0", "ENDSEC"}, {"  0", "EOF"}});
    ASSERT_GT(large.size(), 8'000'000u);
    int32_t fromSmall = 1, fromLarge = 1;
    ScanDrawingNumbers(scan, folder.Write("small.dxf", small), "S_TEXT", fromSmall);
    ScanDrawingNumbers(scan, folder.Write("large.dxf", large), "S_TEXT", fromLarge);
    EXPECT_EQ(fromSmall, 230);
    EXPECT_EQ(fromLarge, fromSmall);
}

}  // namespace
}  // namespace zelkan
