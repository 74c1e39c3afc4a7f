#include "output/area_table.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "engine/row_bound.h"
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

// Rounded to a double before the division by the measuring scale.
double MeasuredLength(const TAcadPoint& p, const TAcadPoint& q, int32_t s) {
    return static_cast<double>(Distance(p, q)) / s;
}

double Product(const std::string& a, const std::string& b) {
    return static_cast<double>(static_cast<long double>(StrToReal(a)) * StrToReal(b));
}

// The row's stray from the exact area of the triangle it measures.
void JudgeRow(AreaTableValues::Row& row, long double printedArea, long double exactArea, const RunRounding& r,
              int32_t measureScaleDenom, bool heron, double factor) {
    const RowBoundRules rules{MeasureRules{measureScaleDenom, r.lengthMode, r.lengthDigits, r.areaMode, r.areaDigits},
                              heron, factor};
    row.boundRatio = RowErrorRatio(printedArea, exactArea, rules);
    row.beyondBound = factor > 0 && row.boundRatio > 1;
}

}  // namespace

AreaTableValues SanshaTableValues(const EngineTables& t, int32_t firstNumber, const RunRounding& r,
                                  int32_t measureScaleDenom, double rowBoundFactor) {
    AreaTableValues v;
    double sum = 0;
    for (int32_t m = 1; m <= t.trinum; ++m) {
        const TTriHeight& h = t.triheights[static_cast<size_t>(m)];
        const std::string baseText = KetaText(r.lengthMode, r.lengthDigits, MeasuredLength(h.baseA, h.baseB, measureScaleDenom));
        const std::string heightText = KetaText(r.lengthMode, r.lengthDigits, MeasuredLength(h.apex, h.foot, measureScaleDenom));
        const std::string areaText = KetaText(r.areaMode, r.areaDigits, Product(baseText, heightText));
        sum += StrToReal(areaText);
        v.rows.push_back({firstNumber + m - 1, {baseText, heightText, areaText}});
        JudgeRow(v.rows.back(), static_cast<long double>(StrToReal(areaText)) / 2,
                 ExactTriangleArea(h.baseA, h.baseB, h.apex, measureScaleDenom), r, measureScaleDenom, false,
                 rowBoundFactor);
    }
    v.totalText = KetaText(r.areaMode, r.areaDigits, sum);
    v.halfText = KetaText(r.areaMode, r.areaDigits, StrToReal(v.totalText) / 2);
    v.resultText = KetaText(r.resultMode, r.resultDigits, StrToReal(v.halfText));
    return v;
}

AreaTableValues HeronTableValues(const EngineTables& t, int32_t firstNumber, const RunRounding& r,
                                 int32_t measureScaleDenom, double rowBoundFactor) {
    AreaTableValues v;
    v.heron = true;
    double sum = 0;
    for (int32_t m = 1; m <= t.trinum; ++m) {
        const TTri& tri = t.tritable[static_cast<size_t>(m)];
        const TAcadPoint& pi = t.xy[static_cast<size_t>(tri.i)];
        const TAcadPoint& pj = t.xy[static_cast<size_t>(tri.j)];
        const TAcadPoint& pk = t.xy[static_cast<size_t>(tri.k)];
        const std::string aText = KetaText(r.lengthMode, r.lengthDigits, MeasuredLength(pj, pi, measureScaleDenom));
        const std::string bText = KetaText(r.lengthMode, r.lengthDigits, MeasuredLength(pk, pj, measureScaleDenom));
        const std::string cText = KetaText(r.lengthMode, r.lengthDigits, MeasuredLength(pi, pk, measureScaleDenom));
        const std::string areaText =
            KetaText(r.areaMode, r.areaDigits, HeronArea(StrToReal(aText), StrToReal(bText), StrToReal(cText)));
        sum += StrToReal(areaText);
        v.rows.push_back({firstNumber + m - 1, {aText, bText, cText, areaText}});
        JudgeRow(v.rows.back(), StrToReal(areaText), ExactTriangleArea(pi, pj, pk, measureScaleDenom), r,
                 measureScaleDenom, true, rowBoundFactor);
    }
    v.totalText = KetaText(r.areaMode, r.areaDigits, sum);
    v.resultText = KetaText(r.resultMode, r.resultDigits, StrToReal(v.totalText));
    return v;
}

RowErrorSummary SummarizeRowErrors(const AreaTableValues& v) {
    RowErrorSummary summary;
    const bool marked = std::any_of(v.rows.begin(), v.rows.end(), [](const auto& row) { return row.beyondBound; });
    for (const AreaTableValues::Row& row : v.rows) {
        summary.worstRatio = std::max(summary.worstRatio, row.boundRatio);
        if (marked ? row.beyondBound : row.boundRatio > 1) ++summary.rowsBeyond;
    }
    return summary;
}

SanshaColumns SanshaColumnsOf(const SanshaSettings& s) {
    return SanshaColumns{s.colSanshaNo, s.colSanshaTeihen, s.colSanshaTakasa, s.colSanshaMen};
}

HeronColumns HeronColumnsOf(const SanshaSettings& s) {
    return HeronColumns{s.colHeronNo, s.colHeronA, s.colHeronB, s.colHeronC, s.colHeronMen};
}

namespace {

// Draws the table: the rows, the inner borders down to the last triangle,
// the summary rows with their labels in the third column, the outer and
// later borders down to the last row. Each row's bottom line comes first.
void DrawTable(const AreaTableValues& v, const std::string& fileName, const TableStyle& s,
               std::initializer_list<int32_t> widths, std::initializer_list<std::string_view> headings) {
    const RunRounding& r = s.rounding;
    DxfFile file;
    WriteDxfTableHeader(file);
    TableGrid grid(file, s, widths);
    const size_t lastColumn = widths.size();
    grid.HorizontalLine(0);
    grid.Headings(headings);

    int32_t row = 0;
    for (const AreaTableValues::Row& values : v.rows) {
        ++row;
        grid.HorizontalLine(grid.bottom(row));
        grid.Centred(row, 1, std::to_string(values.number));
        size_t column = 2;
        for (const std::string& text : values.values) grid.InColumn(row, column++, text);
        // Outside the table, so that its columns stay as they are.
        if (values.beyondBound) grid.RightAligned(row, grid.right() + 2 * s.textHeight, kRowBeyondBoundMark);
    }
    grid.VerticalLine(1, grid.bottom(row));
    grid.VerticalLine(2, grid.bottom(row));

    const auto summary = [&](std::string_view label, const std::string& text) {
        ++row;
        grid.HorizontalLine(grid.bottom(row));
        grid.InColumn(row, 3, label);
        grid.InColumn(row, lastColumn, text);
    };
    summary("合計", v.totalText);
    if (!v.heron) summary("１/２", v.halfText);

    // The result ends (areaDigits - resultDigits + 1) text heights inside the
    // right border, so that its decimal point lines up with the areas above.
    ++row;
    grid.HorizontalLine(grid.bottom(row));
    grid.InColumn(row, 3, "面積");
    grid.RightAligned(row, grid.right() - s.textHeight * (r.areaDigits - r.resultDigits + 1), v.resultText);
    grid.VerticalLine(0, grid.bottom(row));
    for (size_t n = 3; n <= lastColumn; ++n) grid.VerticalLine(n, grid.bottom(row));
    WriteDxfFooter(file);
    file.Save(fileName);
}

}  // namespace

void WriteAreaTable(const EngineTables& t, const std::string& fileName, int32_t firstNumber, const TableStyle& s,
                    const SanshaColumns& c) {
    DrawTable(SanshaTableValues(t, firstNumber, s.rounding, s.measureScaleDenom, s.rowBoundFactor), fileName, s,
              {c.no, c.teihen, c.takasa, c.men}, {"No.", "底辺", "高さ", "面積"});
}

void WriteHeronAreaTable(const EngineTables& t, const std::string& fileName, int32_t firstNumber,
                         const TableStyle& s, const HeronColumns& c) {
    DrawTable(HeronTableValues(t, firstNumber, s.rounding, s.measureScaleDenom, s.rowBoundFactor), fileName, s,
              {c.no, c.a, c.b, c.c, c.men}, {"No.", "a", "b", "c", "面積"});
}

}  // namespace zelkan
