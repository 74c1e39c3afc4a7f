// Parcels read from SIMA files and coordinate lists written here.
#include "boundary/coordinate_files.h"

#include <gtest/gtest.h>

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
    // Each corner keeps its point's name beside it; the closing repeat goes with its corner.
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

}  // namespace
}  // namespace zelkan
