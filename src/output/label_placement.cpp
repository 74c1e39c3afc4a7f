#include "output/label_placement.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zelkan {

namespace {

// Labels keep this far from each other and from the lines (millimetres).
constexpr double kClearance = 0.3;

PageBox Grown(const PageBox& b, double by) { return {b.left - by, b.top - by, b.right + by, b.bottom + by}; }

PagePoint Clamped(PagePoint p, const PageBox& b) {
    return {std::clamp(p.x, b.left, b.right), std::clamp(p.y, b.top, b.bottom)};
}

bool Within(const PageBox& inner, const PageBox& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

}  // namespace

bool BoxesOverlap(const PageBox& a, const PageBox& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool SegmentMeetsBox(const PageSegment& s, const PageBox& box) {
    // Liang-Barsky: clip the segment's parameter range to the box.
    const double dx = s.second.x - s.first.x, dy = s.second.y - s.first.y;
    double t0 = 0, t1 = 1;
    const auto clip = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double r = q / p;
        if (p < 0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    return clip(-dx, s.first.x - box.left) && clip(dx, box.right - s.first.x) && clip(-dy, s.first.y - box.top) &&
           clip(dy, box.bottom - s.first.y) && t0 <= t1;
}

bool InsidePolygon(const std::vector<PagePoint>& polygon, PagePoint p) {
    bool inside = false;
    for (size_t a = 0, b = polygon.size() - 1; a < polygon.size(); b = a++) {
        const PagePoint &u = polygon[a], &v = polygon[b];
        if ((u.y > p.y) != (v.y > p.y) && p.x < (v.x - u.x) * (p.y - u.y) / (v.y - u.y) + u.x) inside = !inside;
    }
    return inside;
}

PagePoint PageLabel::LeaderEnd() const { return Clamped(anchor, box); }

CellIndex::CellIndex(const PageBox& area, double cell)
    : area_(area),
      cell_(cell),
      columns_(std::max(1, static_cast<int>(std::ceil(area.Width() / cell)))),
      rows_(std::max(1, static_cast<int>(std::ceil(area.Height() / cell)))),
      cells_(static_cast<size_t>(columns_) * static_cast<size_t>(rows_)) {}

CellIndex::Span CellIndex::Cells(const PageBox& box) const {
    const auto column = [this](double x) { return std::clamp(static_cast<int>(std::floor((x - area_.left) / cell_)), 0, columns_ - 1); };
    const auto row = [this](double y) { return std::clamp(static_cast<int>(std::floor((y - area_.top) / cell_)), 0, rows_ - 1); };
    return {column(box.left), row(box.top), column(box.right), row(box.bottom)};
}

void CellIndex::Note(int32_t item) {
    if (seen_.size() <= static_cast<size_t>(item)) seen_.resize(static_cast<size_t>(item) + 1, 0);
}

void CellIndex::Add(const PageBox& reach, int32_t item) {
    Note(item);
    const auto [c0, r0, c1, r1] = Cells(reach);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) cells_[static_cast<size_t>(r * columns_ + c)].push_back(item);
}

void CellIndex::Add(const PageSegment& s, double margin, int32_t item) {
    Note(item);
    const PageBox reach{std::min(s.first.x, s.second.x), std::min(s.first.y, s.second.y),
                        std::max(s.first.x, s.second.x), std::max(s.first.y, s.second.y)};
    const auto [c0, r0, c1, r1] = Cells(reach);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const PageBox cell{area_.left + c * cell_, area_.top + r * cell_, area_.left + (c + 1) * cell_,
                               area_.top + (r + 1) * cell_};
            // The outermost cells reach to the page's edge.
            const PageBox wide{c == 0 ? -1e9 : cell.left - margin, r == 0 ? -1e9 : cell.top - margin,
                               c == columns_ - 1 ? 1e9 : cell.right + margin, r == rows_ - 1 ? 1e9 : cell.bottom + margin};
            if (SegmentMeetsBox(s, wide)) cells_[static_cast<size_t>(r * columns_ + c)].push_back(item);
        }
}

namespace {

constexpr double kCell = 4;  // millimetres

// The directions a leader is tried in, every 15 degrees.
const std::vector<PagePoint>& RingDirections() {
    static const std::vector<PagePoint> directions = [] {
        std::vector<PagePoint> d;
        for (int k = 0; k < 24; ++k) {
            const double angle = 2 * 3.14159265358979323846 * k / 24;
            d.push_back({std::cos(angle), std::sin(angle)});
        }
        return d;
    }();
    return directions;
}

}  // namespace

LabelPlacer::LabelPlacer(PageBox area, std::vector<PageSegment> lines, std::vector<PagePoint> outline)
    : area_(area), lines_(std::move(lines)), outline_(std::move(outline)), nearLines_(area, kCell), nearLabels_(area, kCell) {
    for (size_t n = 0; n < lines_.size(); ++n) nearLines_.Add(lines_[n], kClearance, static_cast<int32_t>(n));
}

bool LabelPlacer::OffLines(const PageBox& box) const {
    if (!Within(box, area_)) return false;
    const PageBox wide = Grown(box, kClearance);
    return !nearLines_.AnyNear(wide, [&](int32_t n) { return SegmentMeetsBox(lines_[static_cast<size_t>(n)], wide); });
}

bool LabelPlacer::Free(const PageBox& box) const {
    if (!Within(box, area_)) return false;
    const PageBox wide = Grown(box, kClearance);
    if (nearLabels_.AnyNear(wide, [&](int32_t n) { return BoxesOverlap(wide, labels_[static_cast<size_t>(n)].box); }))
        return false;
    return OffLines(box);
}

bool LabelPlacer::FitsAlone(const LabelRequest& r) const {
    for (const PagePoint& spot : r.spots) {
        const PageBox box = PageBox::Around(spot, r.width, r.height);
        if (OffLines(box) && (!r.outside || Outside(box))) return true;
    }
    return false;
}

void LabelPlacer::PlaceAll(const std::vector<LabelRequest>& requests) {
    std::vector<bool> fits;
    for (const LabelRequest& r : requests) fits.push_back(FitsAlone(r));
    for (size_t n = 0; n < requests.size(); ++n)
        if (!fits[n]) Place(requests[n]);
    for (size_t n = 0; n < requests.size(); ++n)
        if (fits[n]) Place(requests[n]);
}

bool LabelPlacer::LeaderClear(const PageSegment& leader) const {
    const PageBox reach{std::min(leader.first.x, leader.second.x), std::min(leader.first.y, leader.second.y),
                        std::max(leader.first.x, leader.second.x), std::max(leader.first.y, leader.second.y)};
    return !nearLabels_.AnyNear(reach, [&](int32_t n) { return SegmentMeetsBox(leader, labels_[static_cast<size_t>(n)].box); });
}

// Off the parcel: a box off every line whose centre is outside lies wholly outside.
bool LabelPlacer::Outside(const PageBox& box) const { return outline_.size() < 3 || !InsidePolygon(outline_, box.Centre()); }

const PageLabel& LabelPlacer::Keep(PageLabel label) {
    if (label.leader) {
        lines_.push_back({label.anchor, label.LeaderEnd()});
        nearLines_.Add(lines_.back(), kClearance, static_cast<int32_t>(lines_.size() - 1));
    }
    nearLabels_.Add(label.box, static_cast<int32_t>(labels_.size()));
    labels_.push_back(std::move(label));
    return labels_.back();
}

const PageLabel& LabelPlacer::Place(std::string text, double width, double height,
                                    const std::vector<PagePoint>& anchors, const std::vector<PagePoint>& spots,
                                    bool outside, bool circled) {
    const PagePoint anchor = anchors.front();
    PageLabel label{std::move(text), {}, anchor, false, circled};
    for (const PagePoint& spot : spots) {
        const PageBox box = PageBox::Around(spot, width, height);
        if (Free(box) && (!outside || Outside(box))) {
            label.box = box;
            return Keep(std::move(label));
        }
    }
    // Rings around the anchor, nearest first, further apart the further out:
    // a free face close by, else outside the parcel, else anywhere; a leader
    // across other labels only where no way past them is left.
    label.leader = true;
    const double first = std::max(width, height) / 2 + 1.5;
    const double base = std::max(1.0, std::min(width, height) / 2);
    const double reach = std::hypot(area_.Width(), area_.Height());
    constexpr double kNear = 10;
    const auto rings = [&](double far, auto&& tryBox) {
        for (double r = first; r < far; r += std::max(base, r * 0.1))
            for (const PagePoint& d : RingDirections()) {
                label.box = PageBox::Around({anchor.x + r * d.x, anchor.y + r * d.y}, width, height);
                if (Free(label.box) && tryBox()) return true;
            }
        return false;
    };
    const auto clearFrom = [&] {
        for (const PagePoint& from : anchors) {
            label.anchor = from;
            if (LeaderClear({from, label.LeaderEnd()})) return true;
        }
        return false;
    };
    if (rings(first + kNear, clearFrom)) return Keep(std::move(label));
    // One walk out for the three choices left, the best found so far kept.
    std::optional<PageLabel> inside, across;
    const bool placedOutside = rings(reach, [&] {
        const bool off = Outside(label.box);
        if (!off && inside) return false;
        if (clearFrom()) {
            if (off) return true;
            inside = label;
        } else if (off && !across) {
            across = label;
            across->anchor = anchor;
        }
        return false;
    });
    if (placedOutside) return Keep(std::move(label));
    if (inside) return Keep(std::move(*inside));
    if (across) return Keep(std::move(*across));
    label.leader = false;
    label.anchor = anchor;
    label.box = PageBox::Around(spots.empty() ? anchor : spots.front(), width, height);
    return Keep(std::move(label));
}

}  // namespace zelkan
