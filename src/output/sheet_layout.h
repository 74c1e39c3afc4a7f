#pragma once
// Where everything of a parcel's sheet goes: the paper (A4 landscape, or B4
// when the tables need more than one column on A4), the round scale at which
// the parcel fits its drawing area, the labels of the drawing, the tables
// beside it and the title block. Millimetres on the page, y downward.
#include <cstdint>
#include <string>
#include <vector>

#include "output/label_placement.h"
#include "output/sheet_input.h"

namespace zelkan {

struct PaperSize {
    const char* name;
    double width, height;  // landscape
};
inline constexpr PaperSize kPaperA4{"A4", 297, 210};
inline constexpr PaperSize kPaperB4{"B4", 364, 257};

// Text sizes on the sheet (millimetres).
inline constexpr double kSheetLabelText = 2.5;
inline constexpr double kSheetNumberRadius = 2.2;
inline constexpr double kSheetTableText = 2.5;
inline constexpr double kSheetRowHeight = 4.2;

// The denominator of the largest of the round scales 1/100, 1/200, 1/250,
// 1/300, 1/500, 1/600, 1/1000, ... (the same steps times each power of ten)
// at which an extent of that many metres fits that many millimetres.
int64_t RoundScaleToFit(double widthMetres, double heightMetres, double widthMm, double heightMm);

// A piece of a block in one column of the tables: its title (the block's,
// or the block's with （続き） on the pieces that carry it on), the headings
// and the rows first..first+count-1.
struct TablePiece {
    size_t block = 0;
    std::string title;
    size_t firstRow = 0, rowCount = 0;
    double left = 0, top = 0;
    std::vector<double> columnWidths;
    double Width() const;
    double Height() const;
};

struct SheetLayout {
    PaperSize paper = kPaperA4;
    int64_t scale = 100;  // 1/scale
    PageBox frame, drawingArea, titleBlock;
    std::vector<PagePoint> corners;  // the parcel's corners on the page
    PageBox outlineBox;              // and their bounding box
    std::vector<PageLabel> labels;   // corner names, triangle numbers, lengths
    std::vector<TablePiece> tables;
    // A corner of the drawing on the page.
    PagePoint OnPage(const TAcadPoint& p) const;
    double mmPerUnit = 1;
    long double centreX = 0, centreY = 0;  // drawing units at the drawing area's centre
};

SheetLayout LayOutSheet(const SheetInput& sheet);

}  // namespace zelkan
