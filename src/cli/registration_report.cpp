#include "cli/registration_report.h"

#include <algorithm>
#include <array>
#include <vector>

#include "cli/summary.h"

namespace zelkan::cli {

namespace {

constexpr size_t kLabelWidth = 14;

std::string Padded(std::string_view text, size_t width, bool left) {
    const size_t w = DisplayWidth(text);
    const std::string blanks(width > w ? width - w : 0, ' ');
    return left ? blanks + std::string(text) : std::string(text) + blanks;
}

std::string Line(std::string_view label, const std::string& value) {
    return Padded(label, kLabelWidth, false) + value + "\n";
}

// A difference without the zeros its decimals end in (two decimals kept).
std::string DifferenceText(const DecimalText& a, const DecimalText& b) {
    DecimalText d = Difference(a, b);
    while (d.decimals > 2 && d.units % 10 == 0) d = DecimalText{d.units / 10, d.decimals - 1};
    return DecimalString(d);
}

}  // namespace

std::string FormatCoordinateTable(const RegistrationFigures& f) {
    if (!f.table.problem.empty()) return "座標求積表なし: " + f.table.problem + "\n";
    constexpr size_t kColumns = std::size(kCoordinateTableHeadings);
    std::vector<std::array<std::string, kColumns>> rows;
    rows.push_back({});
    for (size_t c = 0; c < kColumns; ++c) rows.back()[c] = kCoordinateTableHeadings[c];
    for (const CoordinateTableRow& r : f.table.rows)
        rows.push_back({r.name, TableText(r.x), TableText(r.y), TableText(r.difference), TableText(r.product)});
    const std::array<std::array<std::string, 2>, 3> totals{{{"倍面積", TableText(f.table.doubleArea)},
                                                            {"面積", TableText(f.table.area)},
                                                            {"地積", DecimalString(f.coordinateChiseki)}}};
    for (const auto& [label, value] : totals) {
        rows.push_back({});
        rows.back()[kColumns - 2] = label;
        rows.back()[kColumns - 1] = value;
    }
    std::array<size_t, kColumns> widths{};
    for (const auto& row : rows)
        for (size_t c = 0; c < kColumns; ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    std::string text = "座標求積表\n";
    for (const auto& row : rows) {
        std::string line;
        for (size_t c = 0; c < kColumns; ++c) line += (c > 0 ? "  " : "") + Padded(row[c], widths[c], true);
        text += line + "\n";
    }
    return text;
}

std::string FormatRegistration(const RegistrationFigures& f, SearchMode searchMode) {
    if (!f.table.problem.empty()) return {};
    std::string text;
    text += Line("地積（座標）", DecimalString(f.coordinateChiseki) + "（" + LandClassName(f.input.landClass) + "）");
    if (f.sanshaChiseki) {
        text += Line("地積（三斜）",
                     DecimalString(*f.sanshaChiseki) + (f.chisekiAgree ? "（座標と一致）" : "（座標と異なる）"));
        // What the area modes are after: a division that registers the coordinate 地積.
        if (f.chisekiAgree && IsAreaMode(searchMode))
            text += Line("", "選択した分割の地積は座標の地積と一致します");
    }
    if (!f.tolerance) {
        text += Line("精度区分", "なし（公差を比べません）");
        return text;
    }
    text += Line("精度区分", std::string(PrecisionClassName(f.input.precision)) + "（公差 " +
                                 DecimalString(*f.tolerance) + " m²）");
    if (f.sanshaWithin)
        text += Line("公差内", std::string(YesNo(*f.sanshaWithin)) + "（三斜 − 座標 " +
                                   DifferenceText(*f.sanshaArea, f.table.area) + "）");
    if (f.registeredWithin)
        text += Line("登記地積", DecimalString(*f.input.registeredArea) + "　公差内 " + YesNo(*f.registeredWithin) +
                                     "（座標 − 登記 " + DifferenceText(f.table.area, *f.input.registeredArea) + "）");
    return text;
}

std::string RegistrationCsvColumns(const RegistrationFigures* f) {
    if (f == nullptr || !f->table.problem.empty()) return ",,,,,,,";
    const auto verdict = [](const std::optional<bool>& v) { return v ? std::string(YesNo(*v)) : std::string(); };
    std::string columns;
    const auto add = [&columns](const std::string& value) {
        columns += ',';
        columns += value;
    };
    add(TableText(f->table.doubleArea));
    add(DecimalString(f->coordinateChiseki));
    add(f->sanshaChiseki ? DecimalString(*f->sanshaChiseki) : std::string());
    add(f->sanshaChiseki ? std::string(YesNo(f->chisekiAgree)) : std::string());
    add(PrecisionClassName(f->input.precision));
    add(f->tolerance ? DecimalString(*f->tolerance) : std::string());
    add(verdict(f->sanshaWithin));
    return columns;
}

}  // namespace zelkan::cli
