#include "output/dxf_writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "support/parcels.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

// The lines of a file joined with "|" for readable comparisons.
std::string Joined(const DxfFile& file) {
    std::string s = file.text();
    std::string out;
    for (size_t p = 0; p < s.size(); ++p) {
        if (s.compare(p, 2, "\r\n") == 0) {
            out += '|';
            ++p;
        } else {
            out += s[p];
        }
    }
    return out;
}

const char* const kCommon = "|  8|S_TEXT|  6|BYLAYER| 62|256| 48|1.0";

TEST(DxfWriter, FramesWithTheirTwoAndThreeCharacterCodes) {
    DxfFile file;
    WriteDxfHeader(file);
    WriteDxfFooter(file);
    EXPECT_EQ(Joined(file),
              "  0|SECTION|  2|HEADER|  9|$ACADVER|  1|AC1009|  0|ENDSEC|  0|SECTION|  2|TABLES|  0|ENDSEC|"
              "  0|SECTION|  2|BLOCKS|  0|ENDSEC|  0|SECTION| 2|ENTITIES| 0|ENDSEC| 0|EOF|");
    DxfFile table;
    WriteDxfTableHeader(table);
    EXPECT_EQ(Joined(table),
              "  0|SECTION|  2|HEADER|  9|$ACADVER|  1|AC1009|  0|ENDSEC|  0|SECTION|  2|TABLES|  0|ENDSEC|"
              "  0|SECTION|  2|ENTITIES|");
}

TEST(DxfWriter, LineWithSixDecimalsAndZ) {
    DxfFile file;
    DxfLine(file, "S_HEN", 1.5L, -2, 10.0000005L, 123456.789L);
    EXPECT_EQ(Joined(file),
              "  0|LINE|  8|S_HEN|  6|BYLAYER| 62|256| 48|1.0| 10|1.500000| 20|-2.000000| 30|0.0|"
              " 11|10.000001| 21|123456.789000| 31|0.0|");
}

struct LengthCase {
    const char* name;
    long double x1, y1, x2, y2;
    int32_t scale;
    const char* expected;  // the lines after the common ten
};

void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class LengthText : public testing::TestWithParam<LengthCase> {};

TEST_P(LengthText, CentredAlongTheSegmentNeverUpsideDown) {
    const LengthCase& c = GetParam();
    DxfFile file;
    DxfLengthText(file, "S_TEXT", KetaMode::HalfUp, c.x1, c.y1, c.x2, c.y2, 3, 2, c.scale);
    EXPECT_EQ(Joined(file), std::string("  0|TEXT") + kCommon + c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Segments, LengthText,
    testing::Values(
        LengthCase{"leftwards folds 180 back to 0", 0, 0, -10, 0, 1,
                   "| 10|-5.000000| 20|0.000000| 11|-5.000000| 21|0.000000|  1| 10.00| 40|3.00| 41|1.0| 50|0.000000"
                   "| 72|1| 73|1|"},
        LengthCase{"up is 90", 0, 0, 0, 10, 1,
                   "| 10|0.000000| 20|5.000000| 11|0.000000| 21|5.000000|  1| 10.00| 40|3.00| 41|1.0| 50|90.000000"
                   "| 72|1| 73|1|"},
        LengthCase{"down is 270", 0, 10, 0, 0, 1,
                   "| 10|0.000000| 20|5.000000| 11|0.000000| 21|5.000000|  1| 10.00| 40|3.00| 41|1.0| 50|270.000000"
                   "| 72|1| 73|1|"},
        LengthCase{"down to the right is -45", 0, 0, 10, -10, 1,
                   "| 10|5.000000| 20|-5.000000| 11|5.000000| 21|-5.000000|  1| 14.14| 40|3.00| 41|1.0| 50|-45.000000"
                   "| 72|1| 73|1|"},
        LengthCase{"length as the rounding prints it", 0, 0, 12.3456L, 0, 1,
                   "| 10|6.172800| 20|0.000000| 11|6.172800| 21|0.000000|  1| 12.35| 40|3.00| 41|1.0| 50|0.000000"
                   "| 72|1| 73|1|"},
        LengthCase{"divided by the measuring scale", 0, 0, 12.3456L, 0, 2,
                   "| 10|6.172800| 20|0.000000| 11|6.172800| 21|0.000000|  1|  6.17| 40|3.00| 41|1.0| 50|0.000000"
                   "| 72|1| 73|1|"}),
    [](const testing::TestParamInfo<LengthCase>& info) { return "case" + std::to_string(info.index); });

TEST(DxfWriter, CellTextsCentredAndRightAligned) {
    DxfFile file;
    DxfCellText(file, "S_HYO", "底辺", 12, 0, 52, -8, 4);
    EXPECT_EQ(Joined(file), "  0|TEXT|  8|S_HYO|  6|BYLAYER| 62|256| 48|1.0| 10|32.0000| 20|-4.0000| 11|32.0000"
                            "| 21|-4.0000|  1|底辺| 40|4.00| 41|1.0| 50|0| 72|1| 73|2|");
    DxfFile right;
    DxfCellTextRight(right, "S_HYO", "50.0000", 999, -8, 144, -16, 12.5);
    EXPECT_EQ(Joined(right), "  0|TEXT|  8|S_HYO|  6|BYLAYER| 62|256| 48|1.0| 10|144.0000| 20|-12.0000| 11|144.0000"
                             "| 21|-12.0000|  1|50.0000| 40|12.50| 41|1.0| 50|0| 72|2| 73|2|");
}

TEST(DxfWriter, NumberMarksAtTheCentroidAndBesideTheHeight) {
    auto t = std::make_unique<EngineTables>();
    // Apex 3 above the middle of base 1-2: the foot halves the base, and
    // the mark goes to the side of vb.
    sample::SetParcel(*t, {{0, 0}, {12, 0}, {6, 9}});
    DxfFile file;
    DxfNumberMark(file, *t, "S_TEXT", 1, 2, 3, 4, 5, 7);
    DxfHeightNumberMark(file, *t, "S_TEXT", 3, 6, 0, 1, 2, 4, 5, 8);
    EXPECT_EQ(Joined(file),
              std::string("  0|CIRCLE") + kCommon + "| 10|6.00000| 20|3.00000| 40|5.00|  0|TEXT" + kCommon +
                  "| 10|6.00000| 20|3.00000| 11|6.00000| 21|3.00000|  1|7| 40|4.00| 41|1.0| 50|0| 72|1| 73|2|"
                  "  0|CIRCLE" + kCommon + "| 10|8.00000| 20|3.00000| 40|5.00|  0|TEXT" + kCommon +
                  "| 10|8.00000| 20|3.00000| 11|8.00000| 21|3.00000|  1|8| 40|4.00| 41|1.0| 50|0| 72|1| 73|2|");
    // With the foot nearer to vb the mark goes to the va side.
    DxfFile other;
    DxfHeightNumberMark(other, *t, "S_TEXT", 3, 9, 0, 1, 2, 4, 5, 8);
    EXPECT_NE(Joined(other).find("| 10|5.00000| 20|3.00000|"), std::string::npos) << Joined(other);
}

TEST(DxfWriter, SavedInShiftJisAndReplacedWhole) {
    test::ScratchFolder folder;
    const std::string name = folder.Write("t.dxf", std::string(5000, 'x'));
    DxfFile file;
    DxfCellText(file, "S_HYO", "面積", 0, 0, 2, 2, 4);
    file.Save(name);
    const std::string bytes = ReadFileBytes(name);
    EXPECT_EQ(bytes, Utf8ToCp932(file.text()));
    EXPECT_NE(bytes.find("\r\n\x96\xca\x90\xcf\r\n"), std::string::npos);
    EXPECT_THROW(file.Save(folder.File("missing/t.dxf")), InputOutputError);
}

}  // namespace
}  // namespace zelkan
