#include "boundary/dxf_boundary_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

using test::FixturePath;
using test::ScratchFolder;

struct XY {
    double x;
    double y;
};

class BoundaryReader : public testing::Test {
protected:
    // Marks every slot, so that a coordinate the reader does not write shows.
    void FillTable(long double mark) {
        for (auto& p : t->xy) p = TAcadPoint{mark, mark, mark};
        t->xynum = -1;
    }

    void ExpectVertices(const std::vector<XY>& expected) {
        ASSERT_EQ(t->xynum, static_cast<int32_t>(expected.size()));
        for (size_t n = 0; n < expected.size(); ++n) {
            EXPECT_EQ(t->xy[n + 1].x, static_cast<long double>(expected[n].x)) << "vertex " << n + 1;
            EXPECT_EQ(t->xy[n + 1].y, static_cast<long double>(expected[n].y)) << "vertex " << n + 1;
        }
    }

    std::unique_ptr<EngineTables> t = std::make_unique<EngineTables>();
};

const std::vector<XY> kPentagon = {{100.0, 200.0}, {130.5, 195.25}, {140.125, 230.0}, {115.0, 250.75}, {95.5, 228.0}};

TEST_F(BoundaryReader, ClosedPolylineInFileOrderWithEitherLineEnd) {
    for (const char* name : {"boundary/pentagon_crlf.dxf", "boundary/pentagon_lf.dxf"}) {
        SCOPED_TRACE(name);
        FillTable(77.0L);
        EXPECT_TRUE(ReadBoundaryDxf(FixturePath(name), *t));
        ExpectVertices(kPentagon);
        EXPECT_EQ(t->xy[1].z, 77.0L) << "z is never written";
        EXPECT_EQ(t->xy[6].x, 77.0L) << "no closing vertex is added";
    }
}

TEST_F(BoundaryReader, PolylineInABlockDefinitionIsNotRead) {
    EXPECT_TRUE(ReadBoundaryDxf(FixturePath("boundary/block_then_entities.dxf"), *t));
    ExpectVertices(kPentagon);
}

TEST_F(BoundaryReader, OnlyTheFirstPolylineIsTheBoundaryAndNothingAfterItMovesItsCorners) {
    // The second polyline and its own point are passed over.
    EXPECT_TRUE(ReadBoundaryDxf(FixturePath("boundary/two_polylines.dxf"), *t));
    ExpectVertices({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    // Texts and lines after the polyline, as in any real drawing.
    ScratchFolder folder;
    std::string text = ReadFileBytes(FixturePath("boundary/pentagon_crlf.dxf"));
    const size_t end = text.find("ENDSEC", text.find("SEQEND"));
    ASSERT_NE(end, std::string::npos);
    text.insert(text.rfind("  0\r\n", end),
                "  0\r\nTEXT\r\n  8\r\nS_TEXT\r\n 10\r\n500.0\r\n 20\r\n600.0\r\n  1\r\n12\r\n"
                "  0\r\nLINE\r\n 10\r\n1.0\r\n 20\r\n2.0\r\n 11\r\n3.0\r\n 21\r\n4.0\r\n");
    EXPECT_TRUE(ReadBoundaryDxf(folder.Write("with_entities.dxf", text), *t));
    ExpectVertices(kPentagon);
}

TEST_F(BoundaryReader, ACoordinateThatIsNoNumberOrAFileCutShortIsRefused) {
    ScratchFolder folder;
    const std::string whole = ReadFileBytes(FixturePath("boundary/pentagon_crlf.dxf"));
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {[&] {
             std::string s = whole;
             const size_t at = s.find("130.5");
             return s.replace(at, 5, "nan");
         }(),
         "行目の座標が数ではありません"},
        // Cut inside a coordinate, and inside a group code.
        {whole.substr(0, whole.find("130.5") + 3), "DXF がポリラインの途中で終わっています"},
        {whole.substr(0, whole.find(" 20", whole.find("130.5")) + 2), "DXF がポリラインの途中で終わっています"},
    };
    for (const auto& c : cases) {
        FillTable(3.0L);
        t->xynum = 4;
        try {
            ReadBoundaryDxf(folder.Write("bad.dxf", c.text), *t);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const InputOutputError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(t->xynum, 4) << "nothing is written";
    }
    // The line is named: the value "nan" stands on its own line of the fixture.
    std::string s = whole;
    const size_t at = s.find("130.5");
    const int line = 1 + static_cast<int>(std::count(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    s.replace(at, 5, "nan");
    try {
        ReadBoundaryDxf(folder.Write("nan.dxf", s), *t);
    } catch (const InputOutputError& e) {
        EXPECT_NE(std::string(e.what()).find("DXF の" + std::to_string(line) + "行目"), std::string::npos) << e.what();
    }
}

TEST_F(BoundaryReader, BlankCoordinatesReadAsNumbersAndEmptyOnesKeepTheOldValue) {
    FillTable(55.0L);
    EXPECT_TRUE(ReadBoundaryDxf(FixturePath("boundary/blank_and_empty_coordinates.dxf"), *t));
    ExpectVertices({{12.5, -3.25}, {0.0, 4.0}, {55.0, 55.0}});
}

TEST_F(BoundaryReader, LowerCaseKeywordsAreNotRecognised) {
    // "section" does not end the entities, "vertex" is no vertex.
    EXPECT_TRUE(ReadBoundaryDxf(FixturePath("boundary/lower_case_section_and_vertex.dxf"), *t));
    ExpectVertices({{1.0, 2.0}});
    // "entities" starts no entities section.
    EXPECT_TRUE(ReadBoundaryDxf(FixturePath("boundary/lower_case_entities.dxf"), *t));
    EXPECT_EQ(t->xynum, 0);
}

TEST_F(BoundaryReader, NoPolylineGivesNoVertices) {
    FillTable(1.0L);
    EXPECT_TRUE(ReadBoundaryDxf(FixturePath("boundary/no_polyline.dxf"), *t));
    EXPECT_EQ(t->xynum, 0);
}

TEST_F(BoundaryReader, RealExportOfThirtyPolylines) {
    // Written by a CAD program: handles, widths, bulges, extrusion vectors,
    // and a 3DFACE after the last polyline. The first polyline is the boundary.
    EXPECT_TRUE(ReadBoundaryDxf(FixturePath("real-dxf/POLI-ALL210_12.DXF"), *t));
    ASSERT_EQ(t->xynum, 5);
    EXPECT_EQ(t->xy[1].x, static_cast<long double>(-6.255607057780904));
    EXPECT_EQ(t->xy[1].y, static_cast<long double>(-5.5557016588601824));
    // Its last vertex keeps its own point.
    EXPECT_EQ(t->xy[5].x, static_cast<long double>(-10.29003406845268));
    EXPECT_EQ(t->xy[5].y, static_cast<long double>(-1.1084667157673469));
}

std::string PolylineFile(int vertices) {
    std::string s = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOLYLINE\r\n 66\r\n1\r\n";
    for (int n = 1; n <= vertices; ++n)
        s += "  0\r\nVERTEX\r\n 10\r\n" + std::to_string(n) + ".5\r\n 20\r\n" + std::to_string(-n) + "\r\n";
    return s + "  0\r\nSEQEND\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
}

TEST_F(BoundaryReader, AcceptsTheCapacityAndRefusesOneVertexMore) {
    ScratchFolder folder;
    EXPECT_TRUE(ReadBoundaryDxf(folder.Write("full.dxf", PolylineFile(kMaxVertices)), *t));
    ASSERT_EQ(t->xynum, 3980);
    EXPECT_EQ(t->xy[3980].x, 3980.5L);
    EXPECT_EQ(t->xy[3980].y, -3980.0L);

    FillTable(9.0L);
    t->xynum = 4;
    try {
        ReadBoundaryDxf(folder.Write("over.dxf", PolylineFile(kMaxVertices + 1)), *t);
        FAIL() << "no capacity error";
    } catch (const CapacityError& e) {
        EXPECT_STREQ(e.what(), "xynumが制限を越えました");
    }
    EXPECT_EQ(t->xynum, 4) << "nothing is written";
    EXPECT_EQ(t->xy[1].x, 9.0L);
}

TEST_F(BoundaryReader, MissingFileIsAnInputErrorNamingItAndTouchesNothing) {
    FillTable(3.0L);
    t->xynum = 4;
    const std::string name = FixturePath("boundary/no_such_file.dxf");
    try {
        ReadBoundaryDxf(name, *t);
        FAIL() << "no input error";
    } catch (const InputOutputError& e) {
        EXPECT_EQ(e.fileName(), name);
        EXPECT_NE(std::string(e.what()).find(name), std::string::npos);
    }
    EXPECT_EQ(t->xynum, 4);
    EXPECT_EQ(t->xy[1].x, 3.0L);
}

TEST_F(BoundaryReader, GroupCodeThatIsNotAnIntegerIsAnInputErrorAndTouchesNothing) {
    FillTable(3.0L);
    t->xynum = 4;
    const std::string name = FixturePath("boundary/group_code_not_integer.dxf");
    EXPECT_THROW(ReadBoundaryDxf(name, *t), InputOutputError);
    EXPECT_EQ(t->xynum, 4);
    EXPECT_EQ(t->xy[1].x, 3.0L);
}

// The CAD traces an arc of the boundary as a vertex with a bulge: the
// polygon through the vertices is not the parcel.
TEST_F(BoundaryReader, AVertexWithAnArcIsRefusedNamingItAndTouchesNothing) {
    ScratchFolder folder;
    const auto square = [](const char* bulge3) {
        std::string dxf = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOLYLINE\r\n 66\r\n1\r\n 70\r\n1\r\n";
        const char* bulges[] = {"0.0", "0", bulge3, ""};
        const double xy[][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
        for (int v = 0; v < 4; ++v) {
            dxf += "  0\r\nVERTEX\r\n 10\r\n" + std::to_string(xy[v][0]) + "\r\n 20\r\n" + std::to_string(xy[v][1]) + "\r\n";
            if (*bulges[v] != '\0') dxf += " 42\r\n" + std::string(bulges[v]) + "\r\n";
        }
        return dxf + "  0\r\nSEQEND\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    };
    FillTable(3.0L);
    t->xynum = 4;
    for (const char* bulge : {"1.0", "-0.25", "1e-9"}) {
        try {
            ReadBoundaryDxf(folder.Write("arc.dxf", square(bulge)), *t);
            ADD_FAILURE() << "measured without its arc: " << bulge;
        } catch (const InvalidInputError& e) {
            EXPECT_NE(std::string(e.what()).find("頂点 3 に円弧があります"), std::string::npos) << e.what();
        }
        EXPECT_EQ(t->xynum, 4);
    }
    EXPECT_THROW(ReadBoundaryDxf(folder.Write("arc.dxf", square("half")), *t), InputOutputError);
    // Bulges of 0 are straight sides.
    EXPECT_TRUE(ReadBoundaryDxf(folder.Write("straight.dxf", square("0.000")), *t));
    EXPECT_EQ(t->xynum, 4);
}

TEST_F(BoundaryReader, ADrawingWithAByteOrderMarkIsReadPastIt) {
    ScratchFolder folder;
    const std::string text = "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nPOLYLINE\r\n0\r\nVERTEX\r\n10\r\n1.5\r\n20\r\n2.5\r\n0\r\nSEQEND\r\n";
    EXPECT_TRUE(ReadBoundaryDxf(folder.Write("bom.dxf", "\xEF\xBB\xBF" + text), *t));
    ExpectVertices({{1.5, 2.5}});
}

TEST_F(BoundaryReader, AGroupCodeIsAnIntegerAndNothingLikeOne) {
    ScratchFolder folder;
    for (const char* code : {"1e1", "1e10", "10.0", "+-10", "99999999999", "0x0A"}) {
        const std::string text = std::string("0\nSECTION\n2\nENTITIES\n0\nPOLYLINE\n0\nVERTEX\n") + code + "\n1.5\n0\nSEQEND\n";
        try {
            ReadBoundaryDxf(folder.Write("code.dxf", text), *t);
            ADD_FAILURE() << "accepted " << code;
        } catch (const InputOutputError& e) {
            EXPECT_NE(std::string(e.what()).find("DXF の9行目のグループコードが整数ではありません"), std::string::npos) << e.what();
        }
    }
}

TEST_F(BoundaryReader, GroupCodesWithBlanksAndTrailingTextAndAFileWithoutFinalLineEnd) {
    ScratchFolder folder;
    // Blank lines before a code and text after it on its line are skipped;
    // the last value has no line end.
    const std::string text =
        "0\nSECTION\n\n  2\nENTITIES\n0 trailing words\nPOLYLINE\n0\nVERTEX\n10\n1.5\n20\n2.5\n0\nSEQEND";
    EXPECT_TRUE(ReadBoundaryDxf(folder.Write("loose.dxf", text), *t));
    ExpectVertices({{1.5, 2.5}});
}

TEST_F(BoundaryReader, FileNameInJapanese) {
    ScratchFolder folder;
    const std::string name = folder.Write("筆界.dxf", PolylineFile(3));
    EXPECT_TRUE(ReadBoundaryDxf(name, *t));
    EXPECT_EQ(t->xynum, 3);
}

using test::WithLineEnds;

TEST_F(BoundaryReader, EveryLineEndAndAFileWithoutItsLastOne) {
    const std::string crlf = ReadFileBytes(FixturePath("boundary/pentagon_crlf.dxf"));
    ScratchFolder folder;
    for (const char* end : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(end[0] == '\r' ? (end[1] ? "CR LF" : "CR") : "LF");
        std::string text = WithLineEnds(crlf, end);
        for (const bool lastEnded : {true, false}) {
            if (!lastEnded) text.resize(text.size() - std::string(end).size());
            FillTable(77.0L);
            EXPECT_TRUE(ReadBoundaryDxf(folder.Write("ends.dxf", text), *t));
            ExpectVertices(kPentagon);
        }
        try {
            ReadBoundaryDxf(folder.Write("bad.dxf", WithLineEnds("  0\r\nSECTION\r\n\r\n  x\r\nENTITIES\r\n", end)), *t);
            ADD_FAILURE() << "accepted";
        } catch (const InputOutputError& e) {
            EXPECT_NE(std::string(e.what()).find("DXF の4行目のグループコードが整数ではありません"), std::string::npos)
                << e.what();
        }
    }
}

TEST_F(BoundaryReader, ALargeGeneratedExportGivesWhatItsSmallEquivalentGives) {
    // Blocks of many lines and long texts before the parcel's polyline.
    const std::string small = ReadFileBytes(FixturePath("boundary/pentagon_crlf.dxf"));
    const size_t entities = small.find("ENTITIES");
    ASSERT_NE(entities, std::string::npos);
    std::string blocks = "  0\r\nSECTION\r\n  2\r\nBLOCKS\r\n  0\r\nBLOCK\r\n  2\r\nFILL\r\n";
    const std::string line = "  0\r\nLINE\r\n  8\r\n0\r\n 10\r\n1.0\r\n 20\r\n2.0\r\n 11\r\n3.0\r\n 21\r\n4.0\r\n";
    const std::string text = "  0\r\nTEXT\r\n  8\r\n0\r\n  1\r\n" + std::string(70000, 'a') + "\r\n";
    for (int n = 0; n < 150000; ++n) blocks += n % 1000 == 0 ? text : line;
    blocks += "  0\r\nENDBLK\r\n  0\r\nENDSEC\r\n";
    const size_t sectionStart = small.rfind("  0\r\nSECTION", entities);
    std::string large = small.substr(0, sectionStart) + blocks + small.substr(sectionStart);
    ASSERT_GT(large.size(), 8'000'000u);
    ScratchFolder folder;
    FillTable(77.0L);
    EXPECT_TRUE(ReadBoundaryDxf(folder.Write("large.dxf", large), *t));
    ExpectVertices(kPentagon);
}

}  // namespace
}  // namespace zelkan
