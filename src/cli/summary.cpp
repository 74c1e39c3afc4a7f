#include "cli/summary.h"

#include <algorithm>
#include <vector>

#include "cli/registration_report.h"
#include "geometry/exact_format.h"
#include "geometry/text_helpers.h"

namespace zelkan::cli {

namespace {

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6);
}

std::string PadLeft(std::string_view text, size_t width) {
    const size_t w = DisplayWidth(text);
    std::string padded(width > w ? width - w : 0, ' ');
    padded += text;
    return padded;
}

std::string PadRight(std::string_view text, size_t width) {
    const size_t w = DisplayWidth(text);
    return std::string(text) + std::string(width > w ? width - w : 0, ' ');
}


// How many divisions were stored, and whether the search was cut or never ran.
std::string DivisionCountNote(const RunResult& result) {
    if (result.searchSkipped) return std::to_string(result.trisetnum) + "（形状の上位と面積差の上位、検索せず）";
    if (!result.gathered)
        return result.gatherRequested ? "集めず（候補三角形が多すぎます）" : "集めず（--divisions で記録）";
    const std::string count = std::to_string(result.trisetnum) + "（重複 " + std::to_string(result.dupnum) + "）";
    if (result.stopped) return count + " 中断";
    return result.searchComplete ? count : count + " 打ち切り";
}

// A factor as short as it is exact: 4, 2.5.
std::string FactorText(double factor) {
    std::string text = Trimmed(FormatFixed(6, factor));
    if (text.find('.') == std::string::npos) return text;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

std::string RowErrorText(const AreaTableValues& table) {
    const RowErrorSummary rows = SummarizeRowErrors(table);
    return Trimmed(FormatFixed(2, rows.worstRatio)) + " 倍、限度を超える行 " + std::to_string(rows.rowsBeyond);
}

std::string RowErrorNote(const RunResult& result, const AreaTableValues& table, bool useHeron) {
    const RowBoundChoice& bound = result.rowBound;
    std::string note = RowErrorText(table) + "（倍率 " + FactorText(ReferenceFactor(bound.factor));
    if (!(bound.factor > 0)) {
        note += " として。限度は切）";
        return note;
    }
    if (bound.removed > 0) note += "、除外した候補 " + std::to_string(bound.removed);
    note += "）";
    if (SummarizeRowErrors(table).rowsBeyond > 0 && !bound.honestDivision) {
        note += "。限度内の分割はありません";
        if (useHeron && bound.sanshaHonest) note += "。三斜 なら限度内で測れます";
    }
    return note;
}

size_t DisplayWidth(std::string_view utf8) {
    size_t width = 0;
    for (size_t n = 0; n < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[n]);
        size_t length = 1;
        char32_t c = lead;
        if (lead >= 0xF0) length = 4, c = lead & 0x07;
        else if (lead >= 0xE0) length = 3, c = lead & 0x0F;
        else if (lead >= 0xC0) length = 2, c = lead & 0x1F;
        for (size_t k = 1; k < length && n + k < utf8.size(); ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[n + k]) & 0x3F);
        width += IsWide(c) ? 2 : 1;
        n += length;
    }
    return width;
}

std::string FormatAreaTable(const AreaTableValues& v) {
    std::vector<std::vector<std::string>> rows;
    rows.push_back(v.heron ? std::vector<std::string>{"No.", "a", "b", "c", "面積"}
                           : std::vector<std::string>{"No.", "底辺", "高さ", "面積"});
    for (const auto& row : v.rows) {
        std::vector<std::string> cells{std::to_string(row.number)};
        for (const std::string& value : row.values) cells.push_back(Trimmed(value));
        rows.push_back(cells);
    }
    const size_t columns = rows[0].size();
    std::vector<size_t> widths(columns, 0);
    const std::vector<std::pair<std::string, std::string>> totals =
        v.heron ? std::vector<std::pair<std::string, std::string>>{{"合計", v.totalText}, {"面積", v.resultText}}
                : std::vector<std::pair<std::string, std::string>>{
                      {"合計", v.totalText}, {"１/２", v.halfText}, {"面積", v.resultText}};
    for (const auto& row : rows)
        for (size_t c = 0; c < columns; ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    for (const auto& [label, value] : totals) {
        widths[columns - 2] = std::max(widths[columns - 2], DisplayWidth(label));
        widths[columns - 1] = std::max(widths[columns - 1], DisplayWidth(Trimmed(value)));
    }
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string out;
        for (size_t c = 0; c < columns; ++c) {
            if (c > 0) out += "  ";
            out += PadLeft(cells[c], widths[c]);
        }
        out += '\n';
        return out;
    };
    std::string text = line(rows[0]);
    for (size_t r = 1; r < rows.size(); ++r) {
        text += line(rows[r]);
        if (v.rows[r - 1].beyondBound) text.insert(text.size() - 1, std::string("  ") + kRowBeyondBoundMark);
    }
    for (const auto& [label, value] : totals) {
        std::vector<std::string> cells(columns);
        cells[columns - 2] = label;
        cells[columns - 1] = Trimmed(value);
        text += line(cells);
    }
    return text;
}

std::string SelectionNote(const RunResult& result) {
    if (result.outcome == RunOutcome::NotCovered) return "なし（筆全体を覆う分割がありません）";
    if (result.searchComplete) return "厳密（全分割を記録）";
    if (result.exactSelection) return "厳密（全分割から選択、記録は一部）";
    return "記録した分割から（厳密ではありません）";
}

std::string FormatSummary(const std::string& parcel, SearchMode searchMode, const RunResult& result,
                          const AreaTableValues* table) {
    const auto row = [](std::string_view label, const std::string& value) {
        std::string line = PadRight(label, 12);
        line += value;
        line += '\n';
        return line;
    };
    std::string text;
    text += row("筆", parcel);
    text += row("構成点", std::to_string(result.xynum) +
                              (result.droppedVertices > 0
                                   ? "（重複 " + std::to_string(result.droppedVertices) + " 点を除く）"
                                   : ""));
    text += row("座標面計値", Trimmed(FormatFixedWidth(0, 3, result.menkei)));
    const int32_t modeNumber = ModeNumber(searchMode);
    text += row("検索", std::to_string(modeNumber) + " " + SearchModeName(searchMode));
    text += row("候補三角形", std::to_string(result.tritempnum));
    if (IsEvaluated(searchMode)) {
        text += row("分割", DivisionCountNote(result));
        text += row("選択", SelectionNote(result));
    }
    if (table != nullptr) {
        text += '\n';
        text += FormatAreaTable(*table);
        text += '\n';
        const long double difference = static_cast<long double>(result.menkei) - StrToReal(table->resultText);
        text += row("差", Trimmed(FormatFixedWidth(0, 3, difference)) + "（座標面計値 − 面積）");
        text += row("行誤差", RowErrorNote(result, *table, table->heron));
    }
    return text;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string SummaryCsvHeading() {
    // After the outcome: the plane-rectangular zone a SIMA file names (a
    // registry map's 座標系), the name the parcel's drawings begin with, how
    // far its rows stray, and the registration figures.
    return std::string("番号,名前,構成点,座標面積,表の合計,面積,差,モード,厳密,結果,系,図面,行誤差") +
           kRegistrationCsvHeadings;
}

std::string SummaryCsvLine(const SummaryRow& row) {
    std::string line;
    bool first = true;
    const auto add = [&line, &first](const std::string& field) {
        if (!first) line += ',';
        first = false;
        line += field;
    };
    add(CsvField(row.number));
    add(CsvField(row.name));
    add(row.corners);
    add(row.coordinateArea);
    add(row.tableTotal);
    add(row.area);
    add(row.difference);
    add(std::to_string(ModeNumber(row.mode)));
    add(row.exact ? std::string(*row.exact ? "はい" : "いいえ") : std::string());
    add(CsvField(row.outcome));
    add(CsvField(row.zone));
    add(CsvField(row.drawings));
    add(CsvField(row.rowError));
    // Each registration column brings its own comma.
    line += row.registration ? RegistrationCsvColumns(&*row.registration)
                             : ",,,,," + CsvField(row.precisionClass) + ",,";
    return line + "\r\n";
}

}  // namespace zelkan::cli
