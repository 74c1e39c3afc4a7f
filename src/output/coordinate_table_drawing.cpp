#include "output/coordinate_table_drawing.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "output/dxf_writer.h"

namespace zelkan {

namespace {

constexpr size_t kColumns = std::size(kCoordinateTableHeadings);
const char* const kSummaryLabels[] = {"倍面積", "面積", "地積"};

// Characters, not bytes: a Japanese character is about one text height wide.
size_t CharacterCount(std::string_view utf8) {
    return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::array<std::string, kColumns> CellsOf(const CoordinateTableRow& row) {
    return {row.name, TableText(row.x), TableText(row.y), TableText(row.difference), TableText(row.product)};
}

std::array<std::string, 3> SummaryValues(const RegistrationFigures& f) {
    return {TableText(f.table.doubleArea), TableText(f.table.area), DecimalString(f.coordinateChiseki)};
}

// Column borders x0 = 0 .. x5.
std::vector<double> Borders(const RegistrationFigures& f, double t) {
    std::array<size_t, kColumns> widest{};
    const auto widen = [&widest](size_t column, std::string_view text) {
        widest[column] = std::max(widest[column], CharacterCount(text));
    };
    for (size_t c = 0; c < kColumns; ++c) widen(c, kCoordinateTableHeadings[c]);
    for (const CoordinateTableRow& row : f.table.rows) {
        const auto cells = CellsOf(row);
        for (size_t c = 0; c < kColumns; ++c) widen(c, cells[c]);
    }
    for (const char* label : kSummaryLabels) widen(kColumns - 2, label);
    for (const std::string& value : SummaryValues(f)) widen(kColumns - 1, value);
    std::vector<double> borders{0.0};
    for (size_t c = 0; c < kColumns; ++c) borders.push_back(borders.back() + static_cast<double>(widest[c] + 2) * t);
    return borders;
}

}  // namespace

double CoordinateTableWidth(const RegistrationFigures& f, double textHeight) { return Borders(f, textHeight).back(); }

void WriteCoordinateTable(const RegistrationFigures& f, const std::string& fileName, const CoordinateTableStyle& s) {
    if (!f.table.problem.empty()) return;
    const double t = s.textHeight;
    const std::vector<double> x = Borders(f, t);
    const auto top = [&s](int32_t row) { return -row * s.rowHeight; };
    const auto bottom = [&s](int32_t row) { return -(row + 1) * s.rowHeight; };
    DxfFile file;
    WriteDxfTableHeader(file);
    const auto horizontal = [&](double y) { DxfLine(file, s.layer, 0, y, x.back(), y); };
    const auto vertical = [&](size_t n, double toY) { DxfLine(file, s.layer, x[n], 0, x[n], toY); };
    // Values one text height inside the right border of their column.
    const auto value = [&](int32_t row, size_t column, std::string_view text) {
        DxfCellTextRight(file, s.layer, text, 0, top(row), x[column + 1] - t, bottom(row), t);
    };

    horizontal(0);
    for (size_t c = 0; c < kColumns; ++c)
        DxfCellText(file, s.layer, kCoordinateTableHeadings[c], x[c], top(0), x[c + 1], bottom(0), t);
    horizontal(bottom(0));
    int32_t row = 0;
    for (const CoordinateTableRow& corner : f.table.rows) {
        ++row;
        horizontal(bottom(row));
        const auto cells = CellsOf(corner);
        DxfCellText(file, s.layer, cells[0], x[0], top(row), x[1], bottom(row), t);
        for (size_t c = 1; c < kColumns; ++c) value(row, c, cells[c]);
    }
    for (size_t n = 1; n <= 3; ++n) vertical(n, bottom(row));
    const auto values = SummaryValues(f);
    for (size_t k = 0; k < std::size(kSummaryLabels); ++k) {
        ++row;
        horizontal(bottom(row));
        value(row, kColumns - 2, kSummaryLabels[k]);
        value(row, kColumns - 1, values[k]);
    }
    for (size_t n : {size_t{0}, kColumns - 1, kColumns}) vertical(n, bottom(row));
    WriteDxfFooter(file);
    file.Save(fileName);
}

}  // namespace zelkan
