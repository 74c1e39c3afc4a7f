#include "output/svg_sheet.h"

#include "output/markup_text.h"

namespace zelkan {

namespace {

std::string N(double v) { return PageNumber(v); }

std::string Line(PagePoint a, PagePoint b, const char* style) {
    return "<line x1=\"" + N(a.x) + "\" y1=\"" + N(a.y) + "\" x2=\"" + N(b.x) + "\" y2=\"" + N(b.y) + "\" " + style +
           "/>\n";
}

std::string Rect(const PageBox& b, const char* style) {
    return "<rect x=\"" + N(b.left) + "\" y=\"" + N(b.top) + "\" width=\"" + N(b.Width()) + "\" height=\"" +
           N(b.Height()) + "\" " + style + "/>\n";
}

// Text whose box is given by its left, right or centre and its baseline;
// the style gives the size of most.
std::string Text(double x, double baseline, const std::string& text, const char* anchor, double size) {
    std::string svg = "<text x=\"" + N(x) + "\" y=\"" + N(baseline) + "\" text-anchor=\"" + anchor + "\"";
    if (size != kSheetLabelText) svg += " font-size=\"" + N(size) + "\"";
    return svg + ">" + XmlEscaped(text) + "</text>\n";
}

// The baseline that centres a line of text of that size in a box.
double Baseline(const PageBox& b, double size) { return b.Centre().y + size * 0.36; }

std::string Division(const SheetInput& sheet, const SheetLayout& layout) {
    std::string svg = "<g id=\"division\" fill=\"none\">\n";
    for (const SheetTriangle& t : sheet.triangles) {
        for (size_t s = 0; s < 3; ++s)
            svg += Line(layout.corners[static_cast<size_t>(t.corners[s])],
                        layout.corners[static_cast<size_t>(t.corners[(s + 1) % 3])],
                        "stroke=\"#4a7bd0\" stroke-width=\"0.25\"");
        if (t.height)
            svg += Line(layout.OnPage(t.height->apex), layout.OnPage(t.height->foot),
                        "stroke=\"#c03030\" stroke-width=\"0.25\" stroke-dasharray=\"1.2 0.8\"");
    }
    svg += "<polygon id=\"parcel-outline\" points=\"";
    for (const PagePoint& p : layout.corners) svg += N(p.x) + "," + N(p.y) + " ";
    svg += "\" stroke=\"" + std::string(kSheetOutlineColour) + "\" stroke-width=\"0.5\" stroke-linejoin=\"round\"/>\n";
    for (const PagePoint& p : layout.corners)
        svg += "<circle cx=\"" + N(p.x) + "\" cy=\"" + N(p.y) + "\" r=\"0.5\" fill=\"black\"/>\n";
    return svg + "</g>\n";
}

std::string Labels(const SheetLayout& layout) {
    std::string svg = "<g id=\"labels\">\n";
    // Leaders first: where a crowded parcel leaves one no way but across
    // another label, it passes under that label's white ground.
    for (const PageLabel& l : layout.labels)
        if (l.leader) svg += Line(l.anchor, l.LeaderEnd(), "stroke=\"#707070\" stroke-width=\"0.2\"");
    for (const PageLabel& l : layout.labels) {
        if (l.circled) {
            const PagePoint c = l.box.Centre();
            svg += "<circle cx=\"" + N(c.x) + "\" cy=\"" + N(c.y) + "\" r=\"" + N(kSheetNumberRadius) +
                   "\" fill=\"white\" stroke=\"black\" stroke-width=\"0.25\"/>\n";
            svg += Text(c.x, Baseline(l.box, kSheetLabelText * 0.9), l.text, "middle", kSheetLabelText * 0.9);
        } else {
            svg += Rect(l.box, "fill=\"white\"");
            svg += Text(l.box.Centre().x, Baseline(l.box, kSheetLabelText), l.text, "middle", kSheetLabelText);
        }
    }
    return svg + "</g>\n";
}

std::string Tables(const SheetInput& sheet, const SheetLayout& layout) {
    std::string svg = "<g id=\"tables\">\n";
    const char* rule = "stroke=\"black\" stroke-width=\"0.2\"";
    for (const TablePiece& piece : layout.tables) {
        const SheetBlock& block = sheet.blocks[piece.block];
        svg += Text(piece.left, piece.top + kSheetTableText + 0.8, piece.title, "start", kSheetTableText * 1.1);
        const double top = piece.top + 5.5, right = piece.left + piece.Width();
        const auto row = [&](size_t r, const std::vector<std::string>& cells, bool heading) {
            const PageBox line{piece.left, top + static_cast<double>(r) * kSheetRowHeight, right,
                               top + static_cast<double>(r + 1) * kSheetRowHeight};
            double x = piece.left;
            for (size_t c = 0; c < cells.size() && c < piece.columnWidths.size(); ++c) {
                const double w = piece.columnWidths[c];
                if (heading || c == 0)
                    svg += Text(x + w / 2, Baseline(line, kSheetTableText), cells[c], "middle", kSheetTableText);
                else
                    svg += Text(x + w - 1.2, Baseline(line, kSheetTableText), cells[c], "end", kSheetTableText);
                x += w;
            }
            svg += Line({piece.left, line.bottom}, {right, line.bottom}, rule);
        };
        svg += Line({piece.left, top}, {right, top}, rule);
        row(0, block.headings, true);
        for (size_t r = 0; r < piece.rowCount; ++r) row(r + 1, block.rows[piece.firstRow + r], false);
        const double bottom = top + static_cast<double>(piece.rowCount + 1) * kSheetRowHeight;
        double x = piece.left;
        svg += Line({x, top}, {x, bottom}, rule);
        for (double w : piece.columnWidths) {
            x += w;
            svg += Line({x, top}, {x, bottom}, rule);
        }
    }
    return svg + "</g>\n";
}

std::string TitleBlock(const SheetInput& sheet, const SheetLayout& layout) {
    const PageBox& b = layout.titleBlock;
    const std::string scale = "1/" + std::to_string(layout.scale);
    const std::pair<const char*, std::string> rows[] = {{"筆", sheet.title.parcel},
                                                        {"方法", sheet.title.method},
                                                        {"検索", sheet.title.mode},
                                                        {"日付", sheet.title.date},
                                                        {"縮尺", scale + "（" + layout.paper.name + "）"}};
    std::string svg = "<g id=\"title-block\">\n" + Rect(b, "fill=\"none\" stroke=\"black\" stroke-width=\"0.35\"");
    const double rowHeight = (b.Height()) / 5, labelWidth = 16;
    for (size_t r = 0; r < 5; ++r) {
        const PageBox line{b.left, b.top + rowHeight * static_cast<double>(r), b.right,
                           b.top + rowHeight * static_cast<double>(r + 1)};
        if (r > 0) svg += Line({b.left, line.top}, {b.right, line.top}, "stroke=\"black\" stroke-width=\"0.2\"");
        svg += Text(b.left + labelWidth / 2, Baseline(line, kSheetTableText), rows[r].first, "middle", kSheetTableText);
        svg += Text(b.left + labelWidth + 2, Baseline(line, kSheetTableText), rows[r].second, "start", kSheetTableText);
    }
    svg += Line({b.left + labelWidth, b.top}, {b.left + labelWidth, b.bottom}, "stroke=\"black\" stroke-width=\"0.2\"");
    return svg + "</g>\n";
}

}  // namespace

std::string SheetSvg(const SheetInput& sheet, const SheetLayout& layout) {
    const std::string w = N(layout.paper.width), h = N(layout.paper.height);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      w + "mm\" height=\"" + h + "mm\" viewBox=\"0 0 " + w + " " + h + "\" data-scale=\"" +
                      std::to_string(layout.scale) + "\">\n";
    svg += "<title>" + XmlEscaped("求積図 " + sheet.title.parcel) + "</title>\n";
    svg += "<style>text { font-family: " + std::string(kSheetFontFamily) + "; font-size: " + N(kSheetLabelText) +
           "px; fill: black; }</style>\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    svg += Rect(layout.frame, "fill=\"none\" stroke=\"black\" stroke-width=\"0.5\"");
    const PageBox& area = layout.drawingArea;
    svg += Text(area.left, layout.frame.top + 8, "求積図", "start", 5);
    svg += Text(area.left + 24, layout.frame.top + 8, "縮尺 1/" + std::to_string(layout.scale), "start", 3);
    svg += Division(sheet, layout);
    svg += Labels(layout);
    svg += Tables(sheet, layout);
    svg += TitleBlock(sheet, layout);
    return svg + "</svg>\n";
}

}  // namespace zelkan
