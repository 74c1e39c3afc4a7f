#include "output/dxf_writer.h"

#include <cmath>
#include <numbers>

#include "geometry/cp932.h"
#include "geometry/exact_format.h"
#include "geometry/file_io.h"
#include "geometry/lines.h"

namespace zelkan {

namespace {

std::string Coordinate(long double v) { return FormatFixedWidth(6, 6, v); }    // "%6.6f"
std::string MarkPosition(long double v) { return FormatFixedWidth(6, 5, v); }  // "%6.5f"
std::string CellPosition(long double v) { return FormatFixedWidth(6, 4, v); }  // "%6.4f"
std::string Size(long double v) { return FormatFixedWidth(3, 2, v); }          // "%3.2f"

void Lines(DxfFile& file, std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines) file.Line(line);
}

// The ten lines every entity starts with.
void BeginEntity(DxfFile& file, std::string_view type, std::string_view layer) {
    Lines(file, {"  0", type, "  8", layer, "  6", "BYLAYER", " 62", "256", " 48", "1.0"});
}

void Text(DxfFile& file, std::string_view layer, const std::string& x, const std::string& y, std::string_view text,
          double height, std::string_view angle, std::string_view horizontal, std::string_view vertical) {
    BeginEntity(file, "TEXT", layer);
    Lines(file, {" 10", x, " 20", y, " 11", x, " 21", y, "  1", text, " 40", Size(height), " 41", "1.0", " 50", angle,
                 " 72", horizontal, " 73", vertical});
}

void NumberMarkAt(DxfFile& file, std::string_view layer, long double cx, long double cy, double textHeight,
                  double radius, int32_t number) {
    const std::string x = MarkPosition(cx), y = MarkPosition(cy);
    BeginEntity(file, "CIRCLE", layer);
    Lines(file, {" 10", x, " 20", y, " 40", Size(radius)});
    Text(file, layer, x, y, std::to_string(number), textHeight, "0", "1", "2");
}

const TAcadPoint& P(const EngineTables& t, int32_t v) { return t.xy[static_cast<size_t>(v)]; }

}  // namespace

void DxfFile::Line(std::string_view text) {
    text_ += text;
    text_ += "\r\n";
}

void DxfFile::Save(const std::string& fileName) const { WriteFileAtomically(fileName, Utf8ToCp932(text_)); }

void WriteDxfHeader(DxfFile& file) {
    Lines(file, {"  0", "SECTION", "  2", "HEADER", "  9", "$ACADVER", "  1", "AC1009", "  0", "ENDSEC", "  0",
                 "SECTION", "  2", "TABLES", "  0", "ENDSEC", "  0", "SECTION", "  2", "BLOCKS", "  0", "ENDSEC", "  0",
                 "SECTION", " 2", "ENTITIES"});
}

void WriteDxfTableHeader(DxfFile& file) {
    Lines(file, {"  0", "SECTION", "  2", "HEADER", "  9", "$ACADVER", "  1", "AC1009", "  0", "ENDSEC", "  0",
                 "SECTION", "  2", "TABLES", "  0", "ENDSEC", "  0", "SECTION", "  2", "ENTITIES"});
}

void WriteDxfFooter(DxfFile& file) { Lines(file, {" 0", "ENDSEC", " 0", "EOF"}); }

void DxfLine(DxfFile& file, std::string_view layer, long double x1, long double y1, long double x2, long double y2) {
    BeginEntity(file, "LINE", layer);
    Lines(file, {" 10", Coordinate(x1), " 20", Coordinate(y1), " 30", "0.0", " 11", Coordinate(x2), " 21",
                 Coordinate(y2), " 31", "0.0"});
}

void DxfLengthText(DxfFile& file, std::string_view layer, KetaMode mode, long double x1, long double y1,
                   long double x2, long double y2, double height, int32_t digits, int32_t measureScaleDenom) {
    const long double dx = x2 - x1;
    const long double dy = y2 - y1;
    const double theta = DirectionAngle(static_cast<double>(dx), static_cast<double>(dy));
    double angle = static_cast<double>(theta * 180.0L / std::numbers::pi_v<long double>);
    if (angle > 90 && angle < 270) angle -= 180;  // never upside down
    const double length = static_cast<double>(std::sqrt(dx * dx + dy * dy)) / measureScaleDenom;
    std::string text;
    KetaFormat(mode, digits, length, text);
    const std::string mx = Coordinate((x1 + x2) * 0.5L), my = Coordinate((y1 + y2) * 0.5L);
    Text(file, layer, mx, my, text, height, Coordinate(angle), "1", "1");
}

void DxfCellText(DxfFile& file, std::string_view layer, std::string_view text, double x1, double y1, double x2,
                 double y2, double height) {
    const std::string mx = CellPosition((x1 + x2) * 0.5), my = CellPosition((y1 + y2) * 0.5);
    Text(file, layer, mx, my, text, height, "0", "1", "2");
}

void DxfCellTextRight(DxfFile& file, std::string_view layer, std::string_view text, double /*x1*/, double y1,
                      double x2, double y2, double height) {
    const std::string x = CellPosition(x2), my = CellPosition((y1 + y2) * 0.5);
    Text(file, layer, x, my, text, height, "0", "2", "2");
}

void DxfNumberMark(DxfFile& file, const EngineTables& t, std::string_view layer, int32_t vertexA, int32_t vertexB,
                   int32_t vertexC, double textHeight, double radius, int32_t number) {
    const TAcadPoint &a = P(t, vertexA), &b = P(t, vertexB), &c = P(t, vertexC);
    NumberMarkAt(file, layer, (a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, textHeight, radius, number);
}

void DxfHeightNumberMark(DxfFile& file, const EngineTables& t, std::string_view layer, int32_t apex, double footX,
                         double footY, int32_t va, int32_t vb, double textHeight, double radius, int32_t number) {
    const TAcadPoint &top = P(t, apex), &a = P(t, va), &b = P(t, vb);
    const long double da = std::hypot(a.x - footX, a.y - footY);
    const long double db = std::hypot(b.x - footX, b.y - footY);
    const TAcadPoint& side = da > db ? a : b;  // ties go to the vb side
    NumberMarkAt(file, layer, (top.x + side.x + footX) / 3, (top.y + side.y + footY) / 3, textHeight, radius, number);
}

}  // namespace zelkan
