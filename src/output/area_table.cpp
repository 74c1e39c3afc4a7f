#include "output/area_table.h"

#include <cmath>
#include <string_view>
#include <vector>

#include "geometry/text_helpers.h"
#include "output/dxf_writer.h"

namespace zelkan {

namespace {

// Rows run downward from y = 0; row r spans -(r+1)B .. -rB. Column border
// n is the previous one plus its width in text heights.
class TableGrid {
public:
    TableGrid(DxfFile& file, const TableStyle& style, std::initializer_list<int32_t> widths)
        : file_(file), style_(style) {
        borders_.push_back(0.0);
        for (int32_t w : widths) borders_.push_back(borders_.back() + w * style.textHeight);
    }

    double x(size_t n) const { return borders_[n]; }
    double right() const { return borders_.back(); }
    double top(int32_t row) const { return -row * style_.rowHeight; }
    double bottom(int32_t row) const { return -(row + 1) * style_.rowHeight; }

    void HorizontalLine(double y) { DxfLine(file_, style_.layer, 0, y, right(), y); }
    void VerticalLine(size_t n, double toY) { DxfLine(file_, style_.layer, x(n), 0, x(n), toY); }

    // Centred in column n (between borders n-1 and n).
    void Centred(int32_t row, size_t n, std::string_view text) {
        DxfCellText(file_, style_.layer, text, x(n - 1), top(row), x(n), bottom(row), style_.textHeight);
    }
    // Right end at rightEnd.
    void RightAligned(int32_t row, double rightEnd, std::string_view text) {
        DxfCellTextRight(file_, style_.layer, text, 0, top(row), rightEnd, bottom(row), style_.textHeight);
    }
    // One text height inside the right border of column n.
    void InColumn(int32_t row, size_t n, std::string_view text) { RightAligned(row, x(n) - style_.textHeight, text); }

    void Headings(std::initializer_list<std::string_view> headings) {
        size_t n = 1;
        for (std::string_view h : headings) Centred(0, n++, h);
        HorizontalLine(bottom(0));
    }

private:
    DxfFile& file_;
    const TableStyle& style_;
    std::vector<double> borders_;
};

std::string Keta(KetaMode mode, int32_t digits, double value) {
    std::string text;
    KetaFormat(mode, digits, value, text);
    return text;
}

// Rounded to a double before the division by the measuring scale.
double Distance(const TAcadPoint& p, const TAcadPoint& q, int32_t s) {
    const long double dx = p.x - q.x, dy = p.y - q.y;
    return static_cast<double>(std::sqrt(dx * dx + dy * dy)) / s;
}

double Product(const std::string& a, const std::string& b) {
    return static_cast<double>(static_cast<long double>(StrToReal(a)) * StrToReal(b));
}

// The parcel area in the result rounding, ending (areaDigits - resultDigits
// + 1) text heights inside the right border so that its decimal point lines
// up with the areas above.
void ResultRow(TableGrid& grid, int32_t row, const TableStyle& s, size_t labelColumn, double area) {
    const RunRounding& r = s.rounding;
    grid.HorizontalLine(grid.bottom(row));
    grid.InColumn(row, labelColumn, "面積");
    grid.RightAligned(row, grid.right() - s.textHeight * (r.areaDigits - r.resultDigits + 1),
                      Keta(r.resultMode, r.resultDigits, area));
}

}  // namespace

SanshaColumns SanshaColumnsOf(const SanshaSettings& s) {
    return SanshaColumns{s.colSanshaNo, s.colSanshaTeihen, s.colSanshaTakasa, s.colSanshaMen};
}

HeronColumns HeronColumnsOf(const SanshaSettings& s) {
    return HeronColumns{s.colHeronNo, s.colHeronA, s.colHeronB, s.colHeronC, s.colHeronMen};
}

void WriteAreaTable(const EngineTables& t, const std::string& fileName, int32_t firstNumber, const TableStyle& s,
                    const SanshaColumns& c) {
    const RunRounding& r = s.rounding;
    DxfFile file;
    WriteDxfTableHeader(file);
    TableGrid grid(file, s, {c.no, c.teihen, c.takasa, c.men});
    grid.HorizontalLine(0);
    grid.Headings({"No.", "底辺", "高さ", "面積"});

    double sum = 0;
    for (int32_t m = 1; m <= t.trinum; ++m) {
        const TTriHeight& h = t.triheights[static_cast<size_t>(m)];
        grid.HorizontalLine(grid.bottom(m));
        grid.Centred(m, 1, std::to_string(firstNumber + m - 1));
        const std::string baseText = Keta(r.lengthMode, r.lengthDigits, Distance(h.baseA, h.baseB, s.measureScaleDenom));
        grid.InColumn(m, 2, baseText);
        const std::string heightText = Keta(r.lengthMode, r.lengthDigits, Distance(h.apex, h.foot, s.measureScaleDenom));
        grid.InColumn(m, 3, heightText);
        const std::string areaText = Keta(r.areaMode, r.areaDigits, Product(baseText, heightText));
        grid.InColumn(m, 4, areaText);
        sum += StrToReal(areaText);
    }
    const double lastTriangleRow = grid.bottom(t.trinum);
    grid.VerticalLine(1, lastTriangleRow);
    grid.VerticalLine(2, lastTriangleRow);

    const int32_t totalRow = t.trinum + 1;
    grid.HorizontalLine(grid.bottom(totalRow));
    grid.InColumn(totalRow, 3, "合計");
    const std::string totalText = Keta(r.areaMode, r.areaDigits, sum);
    grid.InColumn(totalRow, 4, totalText);

    const int32_t halfRow = totalRow + 1;
    grid.HorizontalLine(grid.bottom(halfRow));
    grid.InColumn(halfRow, 3, "１/２");
    const std::string halfText = Keta(r.areaMode, r.areaDigits, StrToReal(totalText) / 2);
    grid.InColumn(halfRow, 4, halfText);

    const int32_t resultRow = halfRow + 1;
    ResultRow(grid, resultRow, s, 3, StrToReal(halfText));
    for (size_t n : {0, 3, 4}) grid.VerticalLine(n, grid.bottom(resultRow));
    WriteDxfFooter(file);
    file.Save(fileName);
}

void WriteHeronAreaTable(const EngineTables& t, const std::string& fileName, int32_t firstNumber,
                         const TableStyle& s, const HeronColumns& c) {
    const RunRounding& r = s.rounding;
    DxfFile file;
    WriteDxfTableHeader(file);
    TableGrid grid(file, s, {c.no, c.a, c.b, c.c, c.men});
    grid.HorizontalLine(0);
    grid.Headings({"No.", "a", "b", "c", "面積"});

    double sum = 0;
    for (int32_t m = 1; m <= t.trinum; ++m) {
        const TTri& tri = t.tritable[static_cast<size_t>(m)];
        const TAcadPoint& pi = t.xy[static_cast<size_t>(tri.i)];
        const TAcadPoint& pj = t.xy[static_cast<size_t>(tri.j)];
        const TAcadPoint& pk = t.xy[static_cast<size_t>(tri.k)];
        grid.HorizontalLine(grid.bottom(m));
        grid.Centred(m, 1, std::to_string(firstNumber + m - 1));
        const std::string aText = Keta(r.lengthMode, r.lengthDigits, Distance(pj, pi, s.measureScaleDenom));
        grid.InColumn(m, 2, aText);
        const std::string bText = Keta(r.lengthMode, r.lengthDigits, Distance(pk, pj, s.measureScaleDenom));
        grid.InColumn(m, 3, bText);
        const std::string cText = Keta(r.lengthMode, r.lengthDigits, Distance(pi, pk, s.measureScaleDenom));
        grid.InColumn(m, 4, cText);
        const std::string areaText =
            Keta(r.areaMode, r.areaDigits, HeronArea(StrToReal(aText), StrToReal(bText), StrToReal(cText)));
        grid.InColumn(m, 5, areaText);
        sum += StrToReal(areaText);
    }
    const double lastTriangleRow = grid.bottom(t.trinum);
    grid.VerticalLine(1, lastTriangleRow);
    grid.VerticalLine(2, lastTriangleRow);

    const int32_t totalRow = t.trinum + 1;
    grid.HorizontalLine(grid.bottom(totalRow));
    grid.InColumn(totalRow, 3, "合計");
    const std::string totalText = Keta(r.areaMode, r.areaDigits, sum);
    grid.InColumn(totalRow, 5, totalText);

    const int32_t resultRow = totalRow + 1;
    ResultRow(grid, resultRow, s, 3, StrToReal(totalText));
    for (size_t n : {0, 3, 4, 5}) grid.VerticalLine(n, grid.bottom(resultRow));
    WriteDxfFooter(file);
    file.Save(fileName);
}

}  // namespace zelkan
