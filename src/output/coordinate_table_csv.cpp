#include "output/coordinate_table_csv.h"

#include "geometry/file_io.h"

namespace zelkan {

namespace {

// Quoted where a corner's name holds a comma, a quote or a line end.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

std::string CoordinateTableCsv(const RegistrationFigures& f) {
    std::string csv = "\xEF\xBB\xBF";
    for (size_t c = 0; c < std::size(kCoordinateTableHeadings); ++c) {
        if (c > 0) csv += ',';
        csv += kCoordinateTableHeadings[c];
    }
    csv += "\r\n";
    for (const CoordinateTableRow& row : f.table.rows)
        csv += Field(row.name) + "," + TableText(row.x) + "," + TableText(row.y) + "," + TableText(row.difference) +
               "," + TableText(row.product) + "\r\n";
    csv += ",,,倍面積," + TableText(f.table.doubleArea) + "\r\n";
    csv += ",,,面積," + TableText(f.table.area) + "\r\n";
    csv += ",,,地積," + DecimalString(f.coordinateChiseki) + "\r\n";
    return csv;
}

void WriteCoordinateTableCsv(const RegistrationFigures& f, const std::string& fileName) {
    if (!f.table.problem.empty()) return;
    WriteFileAtomically(fileName, CoordinateTableCsv(f));
}

}  // namespace zelkan
