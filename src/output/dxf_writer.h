#pragma once
// The DXF R12 text the tool hands to the CAD: the file frames and the LINE,
// TEXT and CIRCLE records, byte for byte. Texts are held in UTF-8 and the
// file is written in code page 932 with CR LF, whole or not at all.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/tables.h"
#include "geometry/rounding.h"

namespace zelkan {

class DxfFile {
public:
    void Line(std::string_view text);
    const std::string& text() const { return text_; }
    // Encodes and writes the file whole; InputOutputError naming it on failure.
    void Save(const std::string& fileName) const;

private:
    std::string text_;
};

void WriteDxfHeader(DxfFile& file);       // result drawing: HEADER, TABLES, BLOCKS, ENTITIES
void WriteDxfTableHeader(DxfFile& file);  // area tables: HEADER, TABLES, ENTITIES
void WriteDxfFooter(DxfFile& file);

void DxfLine(DxfFile& file, std::string_view layer, long double x1, long double y1, long double x2, long double y2);

// The rounded length of the segment P1-P2 (divided by the measuring scale),
// bottom-centred at its middle and laid along it, never upside down.
void DxfLengthText(DxfFile& file, std::string_view layer, KetaMode mode, long double x1, long double y1,
                   long double x2, long double y2, double height, int32_t digits, int32_t measureScaleDenom);

// A text centred in the rectangle (x1, y1)-(x2, y2).
void DxfCellText(DxfFile& file, std::string_view layer, std::string_view text, double x1, double y1, double x2,
                 double y2, double height);

// A text whose right end is at x2, centred between y1 and y2.
void DxfCellTextRight(DxfFile& file, std::string_view layer, std::string_view text, double x1, double y1,
                      double x2, double y2, double height);

// A number in a circle at the centroid of three vertices.
void DxfNumberMark(DxfFile& file, const EngineTables& t, std::string_view layer, int32_t vertexA, int32_t vertexB,
                   int32_t vertexC, double textHeight, double radius, int32_t number);

// A number in a circle in the larger of the two right triangles into which
// the height from apex (foot on base va-vb) divides the triangle.
void DxfHeightNumberMark(DxfFile& file, const EngineTables& t, std::string_view layer, int32_t apex, double footX,
                         double footY, int32_t va, int32_t vb, double textHeight, double radius, int32_t number);

}  // namespace zelkan
