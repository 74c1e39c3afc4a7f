#include "output/parcel_index.h"

#include "output/markup_text.h"

namespace zelkan {

namespace {

constexpr const char* kStyle = R"(body { font-family: 'Yu Gothic', Meiryo, 'Hiragino Sans', 'Noto Sans CJK JP', 'IPAexGothic', 'IPAGothic', sans-serif; margin: 1.5em; }
table { border-collapse: collapse; }
th, td { border: 1px solid #999; padding: 0.2em 0.6em; }
th { background: #eef; cursor: pointer; user-select: none; white-space: nowrap; }
th[aria-sort=ascending]::after { content: " ▲"; }
th[aria-sort=descending]::after { content: " ▼"; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
tr.failed { background: #fde8e8; }
tr.not-exact { background: #fff6d8; }
.mark { font-weight: bold; color: #b00000; }
tr.not-exact .mark { color: #8a6d00; }
)";

// A click on a heading sorts the rows by that column, again the other way;
// rows without a number in a column of numbers stay last either way.
constexpr const char* kScript = R"(for (const th of document.querySelectorAll('thead th')) th.addEventListener('click', () => {
  const col = th.cellIndex, numeric = th.dataset.type === 'number', up = th.getAttribute('aria-sort') !== 'ascending';
  for (const other of document.querySelectorAll('thead th')) other.removeAttribute('aria-sort');
  th.setAttribute('aria-sort', up ? 'ascending' : 'descending');
  const key = row => { const t = row.cells[col].dataset.v ?? row.cells[col].textContent.trim(); return numeric ? (t === '' ? NaN : Number(t)) : t; };
  const order = (x, y) => !numeric ? x.localeCompare(y, 'ja', { numeric: true }) * (up ? 1 : -1)
    : isNaN(x) || isNaN(y) ? isNaN(x) - isNaN(y) : (x - y) * (up ? 1 : -1);
  const body = document.querySelector('tbody');
  body.append(...[...body.rows].sort((a, b) => order(key(a), key(b))));
});
)";

std::string Cell(const std::string& text, bool number) {
    return std::string(number ? "<td class=\"n\">" : "<td>") + XmlEscaped(text) + "</td>";
}

std::string RowClass(IndexRow::State state) {
    switch (state) {
        case IndexRow::State::Clean: return "";
        case IndexRow::State::NotExact: return " class=\"not-exact\"";
        case IndexRow::State::Failed: return " class=\"failed\"";
    }
    return "";
}

std::string Mark(IndexRow::State state) {
    switch (state) {
        case IndexRow::State::Clean: return "";
        case IndexRow::State::NotExact: return "<span class=\"mark\" title=\"厳密な選択ではありません\">△</span> ";
        case IndexRow::State::Failed: return "<span class=\"mark\" title=\"計測できませんでした\">×</span> ";
    }
    return "";
}

// A table a surveyor cannot sign as it is: rows that rounding made stray
// from their triangles beyond the bound.
std::string RowsBeyondMark(const IndexRow& row) {
    return row.rowsBeyond ? "<span class=\"mark\" title=\"限度を超える行があります\">!</span> " : "";
}

}  // namespace

std::string RelativeAddress(const std::string& utf8Path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string address;
    for (char ch : utf8Path) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '/' || c == '\\') {
            address += '/';
        } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                   c == '_' || c == '.' || c == '~') {
            address += ch;
        } else {
            address += '%';
            address += kHex[c >> 4];
            address += kHex[c & 15];
        }
    }
    return address;
}

std::string FileAddress(const std::string& utf8AbsolutePath) {
    std::string address = RelativeAddress(utf8AbsolutePath);
    // A drive's colon stays as it is.
    if (address.size() >= 4 && address.compare(1, 3, "%3A") == 0) address.replace(1, 3, ":");
    return address.front() == '/' ? "file://" + address : "file:///" + address;
}

std::string ParcelIndexHtml(const ParcelIndex& index) {
    size_t failed = 0, notExact = 0, rowsBeyond = 0;
    for (const IndexRow& row : index.rows) {
        failed += row.state == IndexRow::State::Failed;
        notExact += row.state == IndexRow::State::NotExact;
        rowsBeyond += row.rowsBeyond;
    }
    std::string html = "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                       XmlEscaped(index.title) + " の画地</title>\n<style>\n" + kStyle + "</style>\n</head>\n<body>\n";
    html += "<h1>" + XmlEscaped(index.title) + "</h1>\n<p>画地 " + std::to_string(index.rows.size()) + "（計測できず " +
            std::to_string(failed) + "、厳密でない選択 " + std::to_string(notExact) + "、限度を超える行のある表 " +
            std::to_string(rowsBeyond) + "）。見出しをクリックすると並べ替えます。</p>\n";
    html += "<table>\n<thead><tr><th>番号</th><th>名前</th><th data-type=\"number\">構成点</th>"
            "<th data-type=\"number\">座標面積</th><th data-type=\"number\">表の合計</th>"
            "<th data-type=\"number\">面積</th><th data-type=\"number\">差</th><th>結果</th>";
    for (const std::string& heading : index.extraHeadings) html += "<th>" + XmlEscaped(heading) + "</th>";
    html += "</tr></thead>\n<tbody>\n";
    for (const IndexRow& row : index.rows) {
        html += "<tr" + RowClass(row.state) + ">" + Cell(row.number, false) + "<td>";
        const std::string name = row.name.empty() ? row.number : row.name;
        html += row.sheet.empty() ? XmlEscaped(name)
                                  : "<a href=\"" + XmlEscaped(row.sheet) + "\">" + XmlEscaped(name) + "</a>";
        html += "</td>" + Cell(row.corners, true) + Cell(row.coordinateArea, true) + Cell(row.tableTotal, true) +
                Cell(row.area, true) + Cell(row.difference, true) + "<td data-v=\"" + XmlEscaped(row.outcome) +
                "\">" + Mark(row.state) + RowsBeyondMark(row) + XmlEscaped(row.outcome) + "</td>";
        for (const std::string& value : row.extra) html += Cell(value, false);
        html += "</tr>\n";
    }
    return html + "</tbody>\n</table>\n<script>\n" + kScript + "</script>\n</body>\n</html>\n";
}

}  // namespace zelkan
