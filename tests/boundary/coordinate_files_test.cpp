// Parcels read from SIMA files and coordinate lists written here.
#include "boundary/coordinate_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

// A SIMA file as survey software writes it: padded fields, CP932 names,
// B01 by number and by name, an unknown point, a parcel of two corners, and
// no D99 after the last parcel.
const char* const kSima =
    "G00,04,筆界確認,\r\n"
    "Z01, 9 ,\r\n"
    "A00,\r\n"
    "A01, 1 , 北１ , -11990.000 , -33990.000 ,,\r\n"
    "A01,2,北２,-11990.000,-33970.000,12.5,\r\n"
    "A01,3,南１,-11970.000,-33970.000,,\r\n"
    "A01,4,南２,-11970.000,-33990.000,,\r\n"
    "A99,\r\n"
    "D00,1,一番,1,\r\n"
    "B01,1,北１,\r\n"
    "C03,1,2,20.000,90.0000,\r\n"
    "B01,,北２,\r\n"
    "B01,3,南１,\r\n"
    "B01,4,南２,\r\n"
    "B01,1,北１,\r\n"
    "D99,\r\n"
    "D00,2,二番,1,\r\n"
    "B01,1,北１,\r\n"
    "B01,77,どこにもない,\r\n"
    "B01,3,南１,\r\n"
    "D99,\r\n"
    "D00,3,三番,1,\r\n"
    "B01,1,北１,\r\n"
    "B01,2,北２\n";

TEST(CoordinateFiles, EveryParcelOfASimaFile) {
    test::ScratchFolder folder;
    const std::string path = folder.Write("lots.sim", Utf8ToCp932(kSima));
    EXPECT_EQ(KindOfParcelFile(path), ParcelFileKind::Sima);
    const CoordinateFile file = ReadSimaFile(path);
    EXPECT_EQ(file.zone, "9");
    ASSERT_EQ(file.parcels.size(), 3u);
    const ParcelRecord& first = file.parcels[0];
    EXPECT_EQ(first.number, "1");
    EXPECT_EQ(first.name, "一番");
    EXPECT_TRUE(first.problem.empty()) << first.problem;
    ASSERT_EQ(first.corners.size(), 4u);  // the repeated first corner closes it
    // X is north: the drawing's y.
    EXPECT_EQ(first.corners[0].x, -33990.0L);
    EXPECT_EQ(first.corners[0].y, -11990.0L);
    EXPECT_EQ(first.corners[1].x, -33970.0L);  // found by its name
    // The coordinate-method table names each corner as the file does: by the
    // point's name, whether B01 gave its number or its name; the closing
    // repeat goes with its name.
    EXPECT_EQ(first.cornerNames, (std::vector<std::string>{"北１", "北２", "南１", "南２"}));
    EXPECT_NE(file.parcels[1].problem.find("どこにもない"), std::string::npos) << file.parcels[1].problem;
    EXPECT_NE(file.parcels[2].problem.find("2 点"), std::string::npos) << file.parcels[2].problem;
    // The same file in UTF-8 reads the same.
    const CoordinateFile utf8 = ReadSimaFile(folder.Write("lots-utf8.sim", kSima));
    EXPECT_EQ(utf8.parcels[0].name, "一番");
    EXPECT_EQ(utf8.parcels[0].corners.size(), 4u);
}

TEST(CoordinateFiles, APointWhoseCoordinatesAreNoNumbersNamesItsLine) {
    test::ScratchFolder folder;
    const std::string path = folder.Write("bad.sim", "G00,04,x,\r\nA00,\r\nA01,1,P,abc,1.0,,\r\n");
    try {
        ReadSimaFile(path);
        FAIL() << "read";
    } catch (const InputOutputError& e) {
        EXPECT_NE(std::string(e.what()).find("3 行目"), std::string::npos) << e.what();
    }
}

TEST(CoordinateFiles, ACoordinateListWithOrWithoutItsHeaderInEitherEncoding) {
    test::ScratchFolder folder;
    const std::string text = "点名,X,Y\r\n北１,-11990.0,-33990.0\r\n北２,-11990.0,-33970.0\r\n南１,-11970.0,-33970.0\r\n";
    for (const std::string& bytes : {text, Utf8ToCp932(text), text.substr(text.find('\n') + 1)}) {
        const std::string path = folder.Write("lot.csv", bytes);
        EXPECT_EQ(KindOfParcelFile(path), ParcelFileKind::CoordinateList);
        const CoordinateFile file = ReadCoordinateList(path);
        ASSERT_EQ(file.parcels.size(), 1u);
        EXPECT_EQ(file.parcels[0].name, "lot");
        ASSERT_EQ(file.parcels[0].corners.size(), 3u);
        EXPECT_EQ(file.parcels[0].corners[2].x, -33970.0L);
        EXPECT_EQ(file.parcels[0].corners[2].y, -11970.0L);
        EXPECT_EQ(file.parcels[0].cornerNames, (std::vector<std::string>{"北１", "北２", "南１"}));
    }
    const std::string bad = folder.Write("bad.csv", "点名,X,Y\r\nP1,1,2\r\nP2,x,2\r\n");
    EXPECT_THROW(ReadCoordinateList(bad), InputOutputError);
}

TEST(CoordinateFiles, ClosedPolylinesOfADrawingOnALayer) {
    test::ScratchFolder folder;
    const auto square = [](const char* layer, int closed, double x0) {
        std::string dxf = std::string("  0\r\nPOLYLINE\r\n  8\r\n") + layer + "\r\n 66\r\n1\r\n 70\r\n" +
                          std::to_string(closed) + "\r\n";
        for (const auto& [x, y] : {std::pair{x0, 0.0}, {x0 + 10, 0.0}, {x0 + 10, 10.0}, {x0, 10.0}})
            dxf += "  0\r\nVERTEX\r\n 10\r\n" + std::to_string(x) + "\r\n 20\r\n" + std::to_string(y) + "\r\n";
        return dxf + "  0\r\nSEQEND\r\n";
    };
    const std::string path = folder.Write(
        "lots.dxf", "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n" + square("\\U+7b46\\U+754c", 1, 0) + square("X", 1, 20) +
                        square("\\U+7b46\\U+754c", 0, 40) + square("\\U+7b46\\U+754c", 1, 60) +
                        "  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
    EXPECT_TRUE(NeedsPolylineReader(path, ""));
    const CoordinateFile all = ReadDxfPolylines(path, "");
    EXPECT_EQ(all.parcels.size(), 3u);  // the open one is no parcel
    const CoordinateFile onLayer = ReadDxfPolylines(path, "筆界");
    ASSERT_EQ(onLayer.parcels.size(), 2u);
    EXPECT_EQ(onLayer.parcels[1].corners.size(), 4u);
    EXPECT_EQ(onLayer.parcels[1].corners[0].x, 60.0L);
}

TEST(CoordinateFiles, ACadExportIsNoCoordinateFile) {
    test::ScratchFolder folder;
    const std::string path = folder.Write("parcel.dxf", "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
    EXPECT_EQ(KindOfParcelFile(path), ParcelFileKind::BoundaryDxf);
    EXPECT_FALSE(NeedsPolylineReader(path, ""));
    // The polylines of block definitions are none of the drawing's parcels.
    const std::string polyline = "  0\r\nPOLYLINE\r\n 70\r\n1\r\n  0\r\nVERTEX\r\n 10\r\n0\r\n 20\r\n0\r\n  0\r\nSEQEND\r\n";
    const std::string withBlocks = folder.Write(
        "with-blocks.dxf", "  0\r\nSECTION\r\n  2\r\nBLOCKS\r\n  0\r\nBLOCK\r\n" + polyline + polyline +
                               "  0\r\nENDBLK\r\n  0\r\nENDSEC\r\n  0\r\nSECTION\r\n  2\r\nENTITIES\r\n" + polyline +
                               "  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
    EXPECT_FALSE(NeedsPolylineReader(withBlocks, ""));
}

// What a reader made of a file, or the message it refused it with.
template <typename Read>
std::string MessageOf(Read read) {
    try {
        read();
    } catch (const RunError& e) {
        return e.what();
    }
    return "(read)";
}

std::string Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos ? "" : "「" + part + "」 not in 「" + text + "」";
}

// A 10 x 10 square as each kind of file writes it, one of its numbers
// replaced by the text given.
std::string SimaSquare(const std::string& x3) {
    return "G00,04,x,\r\nA00,\r\nA01,1,P1,0.000,0.000,,\r\nA01,2,P2,0.000,10.000,,\r\nA01,3,P3," + x3 +
           ",10.000,,\r\nA01,4,P4,10.000,0.000,,\r\nA99,\r\nD00,1,lot,1,\r\nB01,1,P1,\r\nB01,2,P2,\r\nB01,3,P3,\r\n"
           "B01,4,P4,\r\nD99,\r\n";
}
std::string ListSquare(const std::string& x3) { return "P1,0.0,0.0\r\nP2,0.0,10.0\r\nP3," + x3 + ",10.0\r\nP4,10.0,0.0\r\n"; }
std::string LightSquare(const std::string& x3, const std::string& closed = "1", const char* layer = "0") {
    return std::string("  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLWPOLYLINE\r\n  8\r\n") + layer +
           "\r\n 90\r\n4\r\n 70\r\n" + closed + "\r\n 10\r\n0.0\r\n 20\r\n0.0\r\n 10\r\n10.0\r\n 20\r\n0.0\r\n 10\r\n10.0\r\n 20\r\n" +
           x3 + "\r\n 10\r\n0.0\r\n 20\r\n10.0\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
}
std::string HeavySquare(const std::string& x3) {
    std::string dxf = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOLYLINE\r\n 70\r\n1\r\n";
    for (const auto& [x, y] : {std::pair<std::string, std::string>{"0", "0"}, {"10", "0"}, {"10", x3}, {"0", "10"}})
        dxf += "  0\r\nVERTEX\r\n 10\r\n" + x + "\r\n 20\r\n" + y + "\r\n";
    return dxf + "  0\r\nSEQEND\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
}

CoordinateFile ReadAnyParcelFile(const std::string& path) {
    switch (KindOfParcelFile(path)) {
        case ParcelFileKind::Sima: return ReadSimaFile(path);
        case ParcelFileKind::CoordinateList: return ReadCoordinateList(path);
        case ParcelFileKind::BoundaryDxf: break;
    }
    return ReadDxfPolylines(path, "");
}

TEST(CoordinateFiles, ACoordinateBeyondEveryDoubleIsNeverReadAsZero) {
    test::ScratchFolder folder;
    const struct {
        const char* name;
        std::string (*square)(const std::string&);
    } kinds[] = {{"lot.sim", SimaSquare}, {"lot.csv", ListSquare}, {"lot.dxf", [](const std::string& v) {
                                                                          return LightSquare(v);
                                                                      }},
                 {"heavy.dxf", HeavySquare}};
    for (const auto& kind : kinds) {
        for (const char* text : {"1e400", "-1e400", "10.0"}) {
            SCOPED_TRACE(std::string(kind.name) + " " + text);
            const CoordinateFile file = ReadAnyParcelFile(folder.Write(kind.name, kind.square(text)));
            ASSERT_EQ(file.parcels.size(), 1u);
            ASSERT_EQ(file.parcels[0].corners.size(), 4u);
            const TAcadPoint& third = file.parcels[0].corners[2];
            // The third corner's north (SIMA and lists) or drawing y.
            const long double value = third.y;
            if (std::string(text) == "10.0")
                EXPECT_EQ(value, 10.0L);
            else
                EXPECT_TRUE(std::isinf(value) && (value < 0) == (text[0] == '-')) << static_cast<double>(value);
        }
    }
}

TEST(CoordinateFiles, AFirstLineWithANumberInItIsABrokenCornerNotAHeader) {
    test::ScratchFolder folder;
    const std::string rest = "P2,0.0,10.0\r\nP3,10.0,10.0\r\nP4,10.0,0.0\r\n";
    for (const char* first : {"1,1O.000,0.000", "P1,nan,0", "P1,0.0", "P1,0.0,1e"}) {
        const std::string message = MessageOf([&] { ReadCoordinateList(folder.Write("lot.csv", first + std::string("\r\n") + rest)); });
        EXPECT_EQ(Contains(message, "1 行目: 「点名,X,Y」の行ではありません"), "") << first;
    }
    for (const char* header : {"点名,X,Y", "No,X（北）,Y（東）", "name"}) {
        const CoordinateFile file = ReadCoordinateList(folder.Write("lot.csv", header + std::string("\r\nP1,0.0,0.0\r\n") + rest));
        EXPECT_EQ(file.parcels.at(0).corners.size(), 4u) << header;
    }
}

TEST(CoordinateFiles, APointDefinedTwiceWithOtherCoordinatesNamesBothLines) {
    test::ScratchFolder folder;
    const std::string points = "G00,04,x,\r\nA00,\r\nA01,1,P1,0.000,0.000,,\r\nA01,2,P2,0.000,10.000,,\r\n"
                               "A01,3,P3,10.000,10.000,,\r\nA01,4,P4,10.000,0.000,,\r\n";
    const std::string parcel = "D00,1,lot,1,\r\nB01,1,P1,\r\nB01,2,P2,\r\nB01,3,P3,\r\nB01,4,P4,\r\nD99,\r\n";
    const std::string byName = "D00,1,lot,1,\r\nB01,,P1,\r\nB01,,P2,\r\nB01,,P3,\r\nB01,,P4,\r\nD99,\r\n";
    const struct {
        std::string text;
        const char* problem;  // empty: measured as the square
    } cases[] = {
        {points + "A01,3,P3,20.000,20.000,,\r\n" + parcel, "11 行目の点 3 P3 の座標が 5 行目と 7 行目で異なります"},
        {points + "A01,9,P3,20.000,20.000,,\r\n" + byName, "11 行目の点  P3 の座標が 5 行目と 7 行目で異なります"},
        // The same point twice, and a name repeated where corners are named by number.
        {points + "A01,3,P3,10.000,10.000,,\r\n" + parcel, ""},
        {points + "A01,9,P3,20.000,20.000,,\r\n" + parcel, ""},
        // A point defined after the parcel that names it.
        {"G00,04,x,\r\n" + parcel + points.substr(9), ""},
    };
    for (const auto& c : cases) {
        const CoordinateFile file = ReadSimaFile(folder.Write("lots.sim", c.text));
        ASSERT_EQ(file.parcels.size(), 1u);
        const ParcelRecord& lot = file.parcels[0];
        EXPECT_EQ(lot.problem, c.problem) << c.text;
        if (*c.problem == '\0') {
            ASSERT_EQ(lot.corners.size(), 4u);
            EXPECT_EQ(lot.corners[2].x, 10.0L);
            EXPECT_EQ(lot.corners[2].y, 10.0L);
        } else {
            EXPECT_EQ(lot.corners.size() + lot.unknownCorners, 4u);
        }
    }
}

TEST(CoordinateFiles, GroupCodesAndFlagsAreIntegersByOneRuleInEveryDrawingReader) {
    test::ScratchFolder folder;
    const std::string good = LightSquare("10.0");
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {[&] { std::string s = good; return s.replace(s.find(" 10\r\n"), 5, "1e1\r\n"); }(), "13行目のグループコードが整数ではありません"},
        {[&] { std::string s = good; return s.replace(s.find(" 10\r\n"), 5, "1e10\r\n"); }(), "13行目のグループコードが整数ではありません"},
        {[&] { std::string s = good; return s.replace(s.find(" 10\r\n"), 5, "99999999999\r\n"); }(), "グループコードが整数ではありません"},
        {LightSquare("10.0", "1e10"), "12 行目: ポリラインのフラグ（グループ 70）が整数ではありません"},
        {LightSquare("10.0", "1.0"), "12 行目: ポリラインのフラグ（グループ 70）が整数ではありません"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.Write("bad.dxf", c.text);
        EXPECT_EQ(Contains(MessageOf([&] { ReadDxfPolylines(path, ""); }), c.message), "");
    }
    // Signs and blanks around a code are an integer's.
    std::string loose = good;
    loose.replace(loose.find(" 10\r\n"), 5, "+10 \r\n");
    EXPECT_EQ(ReadDxfPolylines(folder.Write("loose.dxf", loose), "").parcels.at(0).corners.size(), 4u);
}

TEST(CoordinateFiles, AListWhosePointsAreNamedLikeSimaRecordsIsAList) {
    test::ScratchFolder folder;
    for (const char* first : {"A01", "A00", "Z00", "G00", "D00"}) {
        const std::string path = folder.Write(
            "lot.csv", std::string(first) + ",0.000,0.000\r\nA02,0.000,10.000\r\nA03,10.000,10.000\r\nA04,10.000,0.000,12.5\r\n");
        EXPECT_EQ(KindOfParcelFile(path), ParcelFileKind::CoordinateList) << first;
        EXPECT_EQ(ReadCoordinateList(path).parcels.at(0).corners.size(), 4u) << first;
    }
    // A broken corner named like a record of no parcel file is still the list's line.
    const std::string broken = folder.Write("lot.csv", "P21,0.0,0.0\r\nP22,1O.0,10.0\r\nP23,10.0,10.0\r\n");
    EXPECT_EQ(KindOfParcelFile(broken), ParcelFileKind::CoordinateList);
    EXPECT_EQ(Contains(MessageOf([&] { ReadCoordinateList(broken); }), "2 行目: 「点名,X,Y」の行ではありません"), "");
    for (const std::string& sima : {SimaSquare("10.000"), SimaSquare("10.000").substr(SimaSquare("").find("A01"))})
        EXPECT_EQ(KindOfParcelFile(folder.Write("lot.sim", sima)), ParcelFileKind::Sima) << sima;
}

TEST(CoordinateFiles, AFileOfNoParcelSaysWhy) {
    test::ScratchFolder folder;
    const std::string open = LightSquare("10.0", "0");
    const std::string openTwice = open.substr(0, open.find("  0\r\nENDSEC")) + open.substr(open.find("  0\r\nLWPOLYLINE"));
    const struct {
        std::function<void(const std::string&)> read;
        std::string text;
        const char* message;
    } cases[] = {
        {[](const std::string& p) { ReadDxfPolylines(p, ""); }, openTwice,
         "閉じたポリラインがありません（開いたポリライン 2 本は筆として読みません）"},
        {[](const std::string& p) { ReadDxfPolylines(p, "筆界"); }, LightSquare("10.0"), "画層「筆界」の図形がありません"},
        {[](const std::string& p) { ReadDxfPolylines(p, "筆界"); }, LightSquare("10.0", "0", "筆界"),
         "画層「筆界」に閉じたポリラインがありません（開いたポリライン 1 本"},
        {[](const std::string& p) { ReadSimaFile(p); }, "G00,04,x,\r\nA00,\r\nA01,1,P1,0.000,0.000,,\r\nA99,\r\n",
         "画地（D00）がありません"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.Write("nothing.dxf", c.text);
        const std::string message = MessageOf([&] { c.read(path); });
        EXPECT_EQ(Contains(message, c.message), "");
        EXPECT_EQ(Contains(message, path), "");
    }
}

TEST(CoordinateFiles, AnOpenPolylineEndingOnItsFirstVertexIsClosed) {
    test::ScratchFolder folder;
    std::string closedByItsEnd = LightSquare("10.0", "0");
    closedByItsEnd.replace(closedByItsEnd.find("  0\r\nENDSEC"), 0, " 10\r\n0.0\r\n 20\r\n0.0\r\n");
    const CoordinateFile file = ReadDxfPolylines(folder.Write("lot.dxf", closedByItsEnd), "");
    ASSERT_EQ(file.parcels.size(), 1u);
    EXPECT_EQ(file.parcels[0].corners.size(), 4u);
    EXPECT_EQ(file.parcels[0].problem, "");
}

}  // namespace
}  // namespace zelkan
