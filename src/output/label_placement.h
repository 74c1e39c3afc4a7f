#pragma once
// Labels on a page that never overlap: each label tries the spots beside
// what it names, in order, and where none is free (a small triangle, a
// crowded corner) goes outside the parcel with a leader line back to it.
// Page units are millimetres, y downward.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zelkan {

struct PagePoint {
    double x = 0, y = 0;
};

struct PageBox {
    double left = 0, top = 0, right = 0, bottom = 0;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
    PagePoint Centre() const { return {(left + right) / 2, (top + bottom) / 2}; }
    static PageBox Around(PagePoint centre, double width, double height) {
        return {centre.x - width / 2, centre.y - height / 2, centre.x + width / 2, centre.y + height / 2};
    }
};

using PageSegment = std::pair<PagePoint, PagePoint>;

// Whether two boxes share more than an edge.
bool BoxesOverlap(const PageBox& a, const PageBox& b);
// Whether a segment passes through (or touches) a box.
bool SegmentMeetsBox(const PageSegment& s, const PageBox& box);
// Whether a point lies inside a polygon (even-odd rule).
bool InsidePolygon(const std::vector<PagePoint>& polygon, PagePoint p);

struct PageLabel {
    std::string text;
    PageBox box;
    PagePoint anchor;     // what the label names
    bool leader = false;  // away from its anchor, a line drawn between
    bool circled = false;
    // The leader's end on the label's box.
    PagePoint LeaderEnd() const;
};

// Which items (lines, labels) lie near each cell of a page area, so that a
// box is checked against its neighbours only.
class CellIndex {
public:
    CellIndex(const PageBox& area, double cell);
    // The item near every cell that reach touches.
    void Add(const PageBox& reach, int32_t item);
    // The item near the cells that the segment, widened by margin, passes.
    void Add(const PageSegment& s, double margin, int32_t item);
    // Whether test holds for any item near box, each item tried once.
    template <typename Test>
    bool AnyNear(const PageBox& box, Test test) const {
        ++stamp_;
        const auto [c0, r0, c1, r1] = Cells(box);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                for (int32_t item : cells_[static_cast<size_t>(r * columns_ + c)]) {
                    if (seen_[static_cast<size_t>(item)] == stamp_) continue;
                    seen_[static_cast<size_t>(item)] = stamp_;
                    if (test(item)) return true;
                }
        return false;
    }

private:
    struct Span {
        int c0, r0, c1, r1;
    };
    Span Cells(const PageBox& box) const;
    void Note(int32_t item);

    PageBox area_;
    double cell_;
    int columns_, rows_;
    std::vector<std::vector<int32_t>> cells_;
    mutable std::vector<uint32_t> seen_;
    mutable uint32_t stamp_ = 0;
};

// A label to place: its size, the points a leader may start from (the
// first is the label's own point), and the spots beside what it names.
struct LabelRequest {
    std::string text;
    double width = 0, height = 0;
    std::vector<PagePoint> anchors;
    std::vector<PagePoint> spots;
    bool outside = false;  // its spots lie off the parcel
    bool circled = false;
};

class LabelPlacer {
public:
    // Labels stay inside area and off the lines; outline is the parcel on
    // the page, where labels with leaders do not go.
    LabelPlacer(PageBox area, std::vector<PageSegment> lines, std::vector<PagePoint> outline);

    // The first free spot of spots (box centres), off the parcel when
    // outside is set; else the nearest free place outside the parcel, with
    // a leader from whichever of anchors (the first is the label's own
    // point, the others points of what it names) reaches it past every other
    // label; else any such place in the area; else the nearest free place
    // outside with a leader across other labels. Only a page with no free
    // place left puts the label at its first spot regardless.
    const PageLabel& Place(std::string text, double width, double height, const std::vector<PagePoint>& anchors,
                           const std::vector<PagePoint>& spots, bool outside, bool circled = false);

    const PageLabel& Place(const LabelRequest& r) {
        return Place(r.text, r.width, r.height, r.anchors, r.spots, r.outside, r.circled);
    }

    // Every label: first those that would fit none of their spots on an
    // empty page (too small a triangle, too short a side), each with a
    // leader whose way out nothing blocks yet; then the others in order.
    void PlaceAll(const std::vector<LabelRequest>& requests);

    const std::vector<PageLabel>& labels() const { return labels_; }

private:
    bool Free(const PageBox& box) const;
    bool OffLines(const PageBox& box) const;
    bool FitsAlone(const LabelRequest& r) const;
    bool LeaderClear(const PageSegment& leader) const;
    bool Outside(const PageBox& box) const;
    const PageLabel& Keep(PageLabel label);

    PageBox area_;
    std::vector<PageSegment> lines_;
    std::vector<PagePoint> outline_;
    std::vector<PageLabel> labels_;
    CellIndex nearLines_, nearLabels_;
};

}  // namespace zelkan
