#pragma once
// What the two windows that look through the divisions found show, as plain
// values: the orderings and pages of the thumbnails, the lines and filters
// of the list, the labels, the colours and the drawing transform. The
// windows only draw these and forward events.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/best_divisions.h"
#include "engine/search_mode.h"
#include "engine/tables.h"

namespace zelkan {

inline constexpr int32_t kThumbSlots = 24;

// The area a viewer shows for division g: Heron's when useHeron, else the
// base-and-height one.
double DivisionArea(const TriSetStore& store, int32_t g, bool useHeron);

// Division numbers 1..trisetnum ordered by ascending shape sum, or by
// ascending |area - menkei|; equal values keep the order of the store, as
// repeated passes of neighbour swaps on "strictly greater" leave them (a
// stable sort gives exactly that order).
std::vector<int32_t> ShapeOrder(const TriSetStore& store);
std::vector<int32_t> AreaOrder(const TriSetStore& store, double menkei, bool useHeron);

// The thumbnails open ordered by shape after a run in mode 0, by the
// distance from the coordinate area after the others.
inline bool ThumbnailsStartByShape(SearchMode searchMode) { return searchMode == SearchMode::Shape; }

// The first ordering position of the page after one press of an arrow over
// `count` divisions: never past the last page, never before the first.
int32_t NextThumbPage(int32_t page, bool forward, int32_t count);

// Whether an arrow leads anywhere from that page: the arrow that would stay
// is greyed.
bool ThumbPageCanMove(int32_t page, bool forward, int32_t count);

// The thumbnails' header: how the divisions shown were found.
std::string DivisionSourceLabel(DivisionSource source);

// "ページ k / n" for the page starting at ordering position page.
std::string ThumbPageLabel(int32_t page, int32_t count);

// The division of each of the 24 slots of the page starting at position
// page, 0 for a slot past the end of the ordering.
std::vector<int32_t> PageSlots(const std::vector<int32_t>& order, int32_t page);

// The division a double click on slot k (1..24) picks, none for an empty slot.
std::optional<int32_t> PickedDivision(const std::vector<int32_t>& order, int32_t page, int32_t slot);

// "%10.3f:%7.2f:%4.2f" of the area, 100 x (area - menkei) and the average
// shape deviation of the division's triangles.
std::string ThumbLabel(double area, double menkei, double averageShape);
// A slot whose area is below the coordinate area carries a red square.
bool ThumbMarked(double area, double menkei);
// The hue (0..240) of a triangle's fill in a thumbnail: twice its shape
// deviation, rounded.
int32_t ThumbHue(double shape);

// Sum of the shape deviations of division g's triangles over their number.
double AverageShape(const EngineTables& t, int32_t g);

// The list window: "%8.3f" of the area.
std::string ListLine(double area);

// One filter: a triangle's three corner numbers, in any order; each is
// compared as the decimal text of a number, blanks around it left out.
struct TriangleFilter {
    std::string i, j, k;
    bool active() const { return !k.empty(); }
};

// The filter an edit box holds ("1,2,5", "5, 2, 1"): three parts split at
// commas and trimmed; missing parts are empty, anything after a third comma
// is left out. An all-blank box gives an empty filter.
TriangleFilter ParseTriangleFilter(const std::string& text);

// Why a filter box's text names no triangle (letters, fewer than three
// numbers), to be told instead of listing every division; none for a blank
// box or three whole numbers.
std::optional<std::string> FilterRefusal(const std::string& text);

// The divisions the list shows, in the order of the store: those that
// contain every active filter's triangle (a division of no triangles never);
// with no active filter, every division. One pass over the store.
std::vector<int32_t> ListedDivisions(const EngineTables& t, const std::vector<TriangleFilter>& filters);

// "不一致率:" + "%6.4f" of (menkei - the line's area) x 100 / menkei; "---"
// for a zero coordinate area, where no rate exists.
std::string MismatchLabel(const std::string& line, double menkei);

// The blue intensity (0..255) of a triangle's fill in the list's preview.
int32_t PreviewBlue(double shape);

// The division 選択三斜置き換え accepts: current (tritable, trinum) and
// selected (seltri) from then on.
void AcceptDivision(EngineTables& t, int32_t g);

// The list line that the 平均 label selects: line minShapeNo, counted from
// 1, when the list has it.
std::optional<size_t> AverageShapeLine(int32_t minShapeNo, size_t lines);

// The drawing transform of a preview or thumbnail of width W (the images
// are square): X = Round((x - ox) x sc), Y = Round(W - (y - oy) x sc),
// halves to even. The parcel is centred with 5 % of its larger extent
// around it; a boundary without extent in one direction is scaled by the
// other, and a single point is drawn at the centre.
struct ViewTransform {
    double sc = 1;
    double ox = 0;
    double oy = 0;
    int32_t W = 0;
    int32_t X(long double x) const;
    int32_t Y(long double y) const;
};
ViewTransform AlignView(const EngineTables& t, int32_t W, int32_t H);

}  // namespace zelkan
