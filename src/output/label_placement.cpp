#include "output/label_placement.h"

#include <algorithm>
#include <cmath>

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

LabelPlacer::LabelPlacer(PageBox area, std::vector<PageSegment> lines, std::vector<PagePoint> outline)
    : area_(area), lines_(std::move(lines)), outline_(std::move(outline)) {}

bool LabelPlacer::OffLines(const PageBox& box) const {
    if (!Within(box, area_)) return false;
    const PageBox wide = Grown(box, kClearance);
    for (const PageSegment& s : lines_)
        if (SegmentMeetsBox(s, wide)) return false;
    return true;
}

bool LabelPlacer::Free(const PageBox& box) const {
    const PageBox wide = Grown(box, kClearance);
    for (const PageLabel& l : labels_)
        if (BoxesOverlap(wide, l.box)) return false;
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
    for (const PageLabel& l : labels_)
        if (SegmentMeetsBox(leader, l.box)) return false;
    return true;
}

// Off the parcel: a box off every line whose centre is outside lies wholly outside.
bool LabelPlacer::Outside(const PageBox& box) const { return outline_.size() < 3 || !InsidePolygon(outline_, box.Centre()); }

const PageLabel& LabelPlacer::Keep(PageLabel label) {
    if (label.leader) lines_.push_back({label.anchor, label.LeaderEnd()});
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
    // Rings around the anchor, nearest first.
    label.leader = true;
    constexpr int kDirections = 24;
    const double step = std::max(1.0, std::min(width, height) / 2);
    const double reach = std::hypot(area_.Width(), area_.Height());
    // A free face close by, else outside the parcel, else anywhere; a leader
    // across other labels only where no way past them is left.
    enum class Pass { Near, Outside, Anywhere, AcrossLabels };
    constexpr double kNear = 10;
    for (Pass pass : {Pass::Near, Pass::Outside, Pass::Anywhere, Pass::AcrossLabels}) {
        const double far = pass == Pass::Near ? std::max(width, height) / 2 + kNear : reach;
        for (double r = std::max(width, height) / 2 + 1.5; r < far; r += step) {
            for (int d = 0; d < kDirections; ++d) {
                const double angle = 2 * 3.14159265358979323846 * d / kDirections;
                label.box =
                    PageBox::Around({anchor.x + r * std::cos(angle), anchor.y + r * std::sin(angle)}, width, height);
                const bool anywhere = pass == Pass::Near || pass == Pass::Anywhere;
                if (!Free(label.box) || (!anywhere && !Outside(label.box))) continue;
                for (const PagePoint& from : anchors) {
                    label.anchor = from;
                    if (pass == Pass::AcrossLabels || LeaderClear({from, label.LeaderEnd()})) return Keep(std::move(label));
                }
            }
        }
    }
    label.leader = false;
    label.anchor = anchor;
    label.box = PageBox::Around(spots.empty() ? anchor : spots.front(), width, height);
    return Keep(std::move(label));
}

}  // namespace zelkan
