#include "output/sheet_layout.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "output/markup_text.h"

namespace zelkan {

namespace {

constexpr double kPageMargin = 10;      // paper edge to frame
constexpr double kGap = 4;              // frame to contents, and between parts
constexpr double kHeadingHeight = 12;   // 求積図 and the scale above the drawing
constexpr double kTitleBlockWidth = 100;
constexpr double kTitleRowHeight = 5.5;
constexpr int kTitleRows = 5;           // 筆, 方法, 検索, 日付, 縮尺
constexpr double kTableTitleHeight = 5.5;
constexpr double kCellPadding = 1.2;
// Room around the parcel for corner names and the boundary's lengths.
constexpr double kDrawingMargin = 16;

double LabelWidth(const std::string& text) { return TextWidthEm(text) * kSheetLabelText + 1.0; }
constexpr double kLabelHeight = kSheetLabelText * 1.3;

std::vector<double> ColumnWidths(const SheetBlock& block) {
    std::vector<double> widths;
    for (size_t c = 0; c < block.headings.size(); ++c) {
        double em = TextWidthEm(block.headings[c]);
        for (const auto& row : block.rows)
            if (c < row.size()) em = std::max(em, TextWidthEm(row[c]));
        widths.push_back(em * kSheetTableText + 2 * kCellPadding);
    }
    return widths;
}

// The blocks flowed down columns of that height, a block carried on into the
// next column (under its title with （続き） and its headings again) where it
// does not fit; a column holds one row of a block at least.
std::vector<std::vector<TablePiece>> FlowTables(const std::vector<SheetBlock>& blocks, double columnHeight) {
    std::vector<std::vector<TablePiece>> columns(1);
    double used = 0;
    for (size_t b = 0; b < blocks.size(); ++b) {
        const std::vector<double> widths = ColumnWidths(blocks[b]);
        size_t row = 0;
        do {
            const double room = columnHeight - used - kTableTitleHeight - kSheetRowHeight;
            size_t fits = room <= 0 ? 0 : static_cast<size_t>(room / kSheetRowHeight);
            if (fits == 0 && used > 0) {
                columns.emplace_back();
                used = 0;
                continue;
            }
            fits = std::max<size_t>(fits, 1);
            TablePiece piece;
            piece.block = b;
            piece.title = row == 0 ? blocks[b].title : blocks[b].title + "（続き）";
            piece.firstRow = row;
            piece.rowCount = std::min(fits, blocks[b].rows.size() - row);
            piece.columnWidths = widths;
            columns.back().push_back(piece);
            used += piece.Height() + kGap;
            row += piece.rowCount;
        } while (row < blocks[b].rows.size());
    }
    return columns;
}

struct Frame {
    PageBox frame, titleBlock;
    double columnHeight;
};

Frame FrameOf(const PaperSize& paper) {
    Frame f;
    f.frame = {kPageMargin, kPageMargin, paper.width - kPageMargin, paper.height - kPageMargin};
    f.titleBlock = {f.frame.right - kTitleBlockWidth, f.frame.bottom - kTitleRows * kTitleRowHeight - 2, f.frame.right,
                    f.frame.bottom};
    f.columnHeight = f.titleBlock.top - kGap - (f.frame.top + kGap);
    return f;
}

PagePoint Add(PagePoint p, PagePoint v, double k) { return {p.x + v.x * k, p.y + v.y * k}; }

PagePoint Unit(PagePoint from, PagePoint to) {
    const double dx = to.x - from.x, dy = to.y - from.y, length = std::hypot(dx, dy);
    return length > 0 ? PagePoint{dx / length, dy / length} : PagePoint{1, 0};
}

// Spots beside a segment for a label of that size: off the segment by half
// the box across it, at the middle first and then along it, on the side
// first given first.
std::vector<PagePoint> SpotsBeside(PagePoint p, PagePoint q, double width, double height, bool firstSideLeft) {
    const PagePoint u = Unit(p, q), n{-u.y, u.x};
    const double length = std::hypot(q.x - p.x, q.y - p.y);
    const double off = width / 2 * std::abs(n.x) + height / 2 * std::abs(n.y) + 0.6;
    const PagePoint mid{(p.x + q.x) / 2, (p.y + q.y) / 2};
    std::vector<PagePoint> spots;
    for (double along : {0.0, -0.2, 0.2, -0.35, 0.35})
        for (double side : {firstSideLeft ? 1.0 : -1.0, firstSideLeft ? -1.0 : 1.0})
            spots.push_back(Add(Add(mid, u, along * length), n, side * off));
    return spots;
}

// Where a leader to a line's label may start: its middle first.
std::vector<PagePoint> PointsAlong(PagePoint p, PagePoint q) {
    std::vector<PagePoint> points;
    for (double t : {0.5, 0.3, 0.7, 0.15, 0.85}) points.push_back({p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t});
    return points;
}

// The sides of the division to label once each, with their texts: every
// side for Heron, the bases for base and height.
std::map<std::pair<int32_t, int32_t>, std::string> SideTexts(const SheetInput& sheet) {
    std::map<std::pair<int32_t, int32_t>, std::string> sides;
    const auto add = [&sides](int32_t a, int32_t b, const std::string& text) {
        sides.emplace(std::pair{std::min(a, b), std::max(a, b)}, text);
    };
    for (const SheetTriangle& t : sheet.triangles) {
        if (sheet.heron) {
            add(t.corners[0], t.corners[1], t.sideTexts[0]);
            add(t.corners[1], t.corners[2], t.sideTexts[1]);
            add(t.corners[2], t.corners[0], t.sideTexts[2]);
        } else if (t.height) {
            add(t.height->baseA, t.height->baseB, t.height->baseText);
        }
    }
    return sides;
}

bool BoundarySide(int32_t a, int32_t b, size_t corners) {
    const int32_t n = static_cast<int32_t>(corners);
    return std::abs(a - b) == 1 || std::abs(a - b) == n - 1;
}

void NumberLabels(const SheetInput& sheet, const SheetLayout& layout, std::vector<LabelRequest>& labels) {
    const double size = 2 * kSheetNumberRadius + 0.4;
    for (const SheetTriangle& t : sheet.triangles) {
        const PagePoint a = layout.corners[static_cast<size_t>(t.corners[0])];
        const PagePoint b = layout.corners[static_cast<size_t>(t.corners[1])];
        const PagePoint c = layout.corners[static_cast<size_t>(t.corners[2])];
        const PagePoint centroid{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3};
        const double la = std::hypot(b.x - c.x, b.y - c.y), lb = std::hypot(a.x - c.x, a.y - c.y),
                     lc = std::hypot(a.x - b.x, a.y - b.y), sum = std::max(la + lb + lc, 1e-9);
        const PagePoint incentre{(la * a.x + lb * b.x + lc * c.x) / sum, (la * a.y + lb * b.y + lc * c.y) / sum};
        std::vector<PagePoint> spots{centroid, incentre};
        for (const PagePoint& v : {a, b, c}) spots.push_back(Add(centroid, {v.x - centroid.x, v.y - centroid.y}, 0.3));
        // A leader may start anywhere inside the triangle.
        std::vector<PagePoint> anchors{centroid};
        for (const PagePoint& v : {a, b, c}) anchors.push_back(Add(centroid, {v.x - centroid.x, v.y - centroid.y}, 0.6));
        labels.push_back({std::to_string(t.number), size, size, anchors, spots, false, true});
    }
}

void LengthLabels(const SheetInput& sheet, const SheetLayout& layout, std::vector<LabelRequest>& labels) {
    for (const auto& [side, text] : SideTexts(sheet)) {
        const PagePoint p = layout.corners[static_cast<size_t>(side.first)];
        const PagePoint q = layout.corners[static_cast<size_t>(side.second)];
        const double width = LabelWidth(text);
        // A boundary length goes outside the parcel where it can.
        bool left = true;
        if (BoundarySide(side.first, side.second, layout.corners.size())) {
            const PagePoint u = Unit(p, q);
            const PagePoint probe = Add({(p.x + q.x) / 2, (p.y + q.y) / 2}, {-u.y, u.x}, 0.5);
            left = !InsidePolygon(layout.corners, probe);
        }
        labels.push_back({text, width, kLabelHeight, PointsAlong(p, q), SpotsBeside(p, q, width, kLabelHeight, left)});
    }
    for (const SheetTriangle& t : sheet.triangles) {
        if (!t.height) continue;
        const PagePoint apex = layout.OnPage(t.height->apex), foot = layout.OnPage(t.height->foot);
        const double width = LabelWidth(t.height->heightText);
        labels.push_back({t.height->heightText, width, kLabelHeight, PointsAlong(apex, foot),
                          SpotsBeside(apex, foot, width, kLabelHeight, true)});
    }
}

void CornerNameLabels(const SheetInput& sheet, const SheetLayout& layout, std::vector<LabelRequest>& labels) {
    const size_t n = layout.corners.size();
    for (size_t v = 0; v < n; ++v) {
        const PagePoint p = layout.corners[v];
        const PagePoint back = Unit(layout.corners[(v + n - 1) % n], p), on = Unit(layout.corners[(v + 1) % n], p);
        PagePoint out = Unit({0, 0}, {back.x + on.x, back.y + on.y});
        if (back.x + on.x == 0 && back.y + on.y == 0) out = {-back.y, back.x};  // a straight run
        if (InsidePolygon(layout.corners, Add(p, out, 0.5))) out = {-out.x, -out.y};
        const std::string& name = sheet.cornerNames[v];
        const double width = LabelWidth(name);
        const double reach = std::hypot(width, kLabelHeight) / 2 + 0.8;
        std::vector<PagePoint> spots{Add(p, out, reach), Add(p, out, reach + 1.5)};
        for (int d = 0; d < 8; ++d) {
            const double angle = 3.14159265358979323846 / 4 * d;
            spots.push_back(Add(p, {std::cos(angle), std::sin(angle)}, reach));
        }
        labels.push_back({name, width, kLabelHeight, {p}, spots, true});
    }
}

std::vector<PageSegment> DrawnLines(const SheetInput& sheet, const SheetLayout& layout) {
    std::vector<PageSegment> lines;
    const size_t n = layout.corners.size();
    for (size_t v = 0; v < n; ++v) lines.push_back({layout.corners[v], layout.corners[(v + 1) % n]});
    for (const SheetTriangle& t : sheet.triangles) {
        for (size_t s = 0; s < 3; ++s)
            lines.push_back({layout.corners[static_cast<size_t>(t.corners[s])],
                             layout.corners[static_cast<size_t>(t.corners[(s + 1) % 3])]});
        if (t.height) lines.push_back({layout.OnPage(t.height->apex), layout.OnPage(t.height->foot)});
    }
    return lines;
}

}  // namespace

int64_t RoundScaleToFit(double widthMetres, double heightMetres, double widthMm, double heightMm) {
    static constexpr int64_t kSteps[] = {100, 200, 250, 300, 500, 600};
    for (int64_t power = 1;; power *= 10) {
        for (int64_t step : kSteps) {
            const int64_t scale = step * power;
            if (widthMetres * 1000 / static_cast<double>(scale) <= widthMm &&
                heightMetres * 1000 / static_cast<double>(scale) <= heightMm)
                return scale;
        }
        if (power > 1000000000000LL) return 600 * power;  // no parcel is this large
    }
}

double TablePiece::Width() const {
    double w = 0;
    for (double c : columnWidths) w += c;
    return w;
}

double TablePiece::Height() const { return kTableTitleHeight + static_cast<double>(rowCount + 1) * kSheetRowHeight; }

PagePoint SheetLayout::OnPage(const TAcadPoint& p) const {
    const PagePoint centre = drawingArea.Centre();
    return {centre.x + static_cast<double>(p.x - centreX) * mmPerUnit,
            centre.y - static_cast<double>(p.y - centreY) * mmPerUnit};
}

SheetLayout LayOutSheet(const SheetInput& sheet) {
    SheetLayout layout;
    std::vector<std::vector<TablePiece>> columns = FlowTables(sheet.blocks, FrameOf(kPaperA4).columnHeight);
    if (columns.size() > 1) {
        layout.paper = kPaperB4;
        columns = FlowTables(sheet.blocks, FrameOf(kPaperB4).columnHeight);
    }
    const Frame f = FrameOf(layout.paper);
    layout.frame = f.frame;
    layout.titleBlock = f.titleBlock;

    double tablesWidth = 0;
    for (const auto& column : columns) {
        double w = 0;
        for (const TablePiece& piece : column) w = std::max(w, piece.Width());
        tablesWidth += w + (tablesWidth > 0 ? kGap : 0);
    }
    double left = f.frame.right - kGap - tablesWidth;
    const double tablesLeft = left;
    for (auto& column : columns) {
        double top = f.frame.top + kGap, w = 0;
        for (TablePiece& piece : column) {
            piece.left = left;
            piece.top = top;
            top += piece.Height() + kGap;
            w = std::max(w, piece.Width());
            layout.tables.push_back(piece);
        }
        left += w + kGap;
    }
    layout.drawingArea = {f.frame.left + kGap, f.frame.top + kHeadingHeight,
                          std::min(tablesLeft, f.titleBlock.left) - kGap, f.frame.bottom - kGap};

    long double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (size_t v = 0; v < sheet.corners.size(); ++v) {
        const TAcadPoint& p = sheet.corners[v];
        if (v == 0 || p.x < minX) minX = p.x;
        if (v == 0 || p.x > maxX) maxX = p.x;
        if (v == 0 || p.y < minY) minY = p.y;
        if (v == 0 || p.y > maxY) maxY = p.y;
    }
    const double denom = std::max(sheet.measureScaleDenom, 1);
    layout.scale = RoundScaleToFit(static_cast<double>(maxX - minX) / denom, static_cast<double>(maxY - minY) / denom,
                                   std::max(20.0, layout.drawingArea.Width() - 2 * kDrawingMargin),
                                   std::max(20.0, layout.drawingArea.Height() - 2 * kDrawingMargin));
    layout.mmPerUnit = 1000.0 / (denom * static_cast<double>(layout.scale));
    layout.centreX = (minX + maxX) / 2;
    layout.centreY = (minY + maxY) / 2;
    for (const TAcadPoint& p : sheet.corners) layout.corners.push_back(layout.OnPage(p));
    if (!layout.corners.empty()) {
        layout.outlineBox = {layout.corners[0].x, layout.corners[0].y, layout.corners[0].x, layout.corners[0].y};
        for (const PagePoint& p : layout.corners) {
            layout.outlineBox.left = std::min(layout.outlineBox.left, p.x);
            layout.outlineBox.right = std::max(layout.outlineBox.right, p.x);
            layout.outlineBox.top = std::min(layout.outlineBox.top, p.y);
            layout.outlineBox.bottom = std::max(layout.outlineBox.bottom, p.y);
        }
    }
    if (layout.corners.size() < 3) return layout;

    LabelPlacer placer(layout.drawingArea, DrawnLines(sheet, layout), layout.corners);
    std::vector<LabelRequest> labels;
    NumberLabels(sheet, layout, labels);
    LengthLabels(sheet, layout, labels);
    CornerNameLabels(sheet, layout, labels);
    placer.PlaceAll(labels);
    layout.labels = placer.labels();
    return layout;
}

}  // namespace zelkan
