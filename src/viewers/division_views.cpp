#include "viewers/division_views.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numeric>

#include "geometry/exact_format.h"
#include "geometry/rounding.h"
#include "geometry/text_helpers.h"

namespace zelkan {

namespace {

template <typename Key>
std::vector<int32_t> StableOrder(int32_t count, Key key) {
    std::vector<int32_t> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 1);
    std::vector<long double> keys(static_cast<size_t>(count) + 1);
    for (int32_t g = 1; g <= count; ++g) keys[static_cast<size_t>(g)] = key(g);
    std::stable_sort(order.begin(), order.end(), [&keys](int32_t a, int32_t b) {
        return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)];
    });
    return order;
}

// The text of a vertex number as the list compares it: blanks around it
// are left out, and otherwise only the decimal text of the number itself
// matches ("07" never does).
std::optional<int32_t> CanonicalNumber(const std::string& typed) {
    const std::string text(TrimSpaceNul(typed));
    int32_t value = 0;
    // A number beyond int32_t is no vertex number: it matches nothing.
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || std::to_string(value) != text) return std::nullopt;
    return value;
}

// A triangle as the set of its corners: the same three numbers in any order.
std::array<int32_t, 3> Corners(int32_t i, int32_t j, int32_t k) {
    std::array<int32_t, 3> corners{i, j, k};
    std::sort(corners.begin(), corners.end());
    return corners;
}

}  // namespace

double DivisionArea(const TriSetStore& store, int32_t g, bool useHeron) {
    const TTriSum& sum = store.sum(g);
    return useHeron ? sum.heronArea : sum.sanshaArea;
}

std::vector<int32_t> ShapeOrder(const TriSetStore& store) {
    return StableOrder(store.trisetnum(), [&store](int32_t g) { return static_cast<long double>(store.sum(g).shapeSum); });
}

std::vector<int32_t> AreaOrder(const TriSetStore& store, double menkei, bool useHeron) {
    return StableOrder(store.trisetnum(), [&](int32_t g) {
        return std::fabs(static_cast<long double>(DivisionArea(store, g, useHeron)) - menkei);
    });
}

int32_t NextThumbPage(int32_t page, bool forward, int32_t count) {
    if (forward) return page <= count - kThumbSlots ? page + kThumbSlots : page;
    return std::max(page - kThumbSlots, 1);
}

bool ThumbPageCanMove(int32_t page, bool forward, int32_t count) {
    return NextThumbPage(page, forward, count) != page;
}

std::string DivisionSourceLabel(DivisionSource source) {
    switch (source) {
        case DivisionSource::AllDivisions: return "全分割";
        case DivisionSource::BestByShape: return "全分割から: 形状の上位と面積差の最小";
        case DivisionSource::BestByShapeAndArea: return "全分割から: 形状の上位と面積差の上位";
        case DivisionSource::BestByShapeAndBandedArea: return "形状の上位と按分近傍の面積差の上位";
        case DivisionSource::SearchCut: break;
    }
    return "打ち切った検索で見つかった分割";
}

std::string ThumbPageLabel(int32_t page, int32_t count) {
    const int32_t pages = std::max<int32_t>(1, (count - 1) / kThumbSlots + 1);
    return "ページ " + std::to_string((page - 1) / kThumbSlots + 1) + " / " + std::to_string(pages);
}

std::vector<int32_t> PageSlots(const std::vector<int32_t>& order, int32_t page) {
    std::vector<int32_t> slots(kThumbSlots, 0);
    for (int32_t k = 1; k <= kThumbSlots; ++k) {
        const int64_t q = static_cast<int64_t>(page) + k - 1;
        if (q >= 1 && q <= static_cast<int64_t>(order.size())) slots[static_cast<size_t>(k - 1)] = order[static_cast<size_t>(q - 1)];
    }
    return slots;
}

std::optional<int32_t> PickedDivision(const std::vector<int32_t>& order, int32_t page, int32_t slot) {
    if (slot < 1 || slot > kThumbSlots) return std::nullopt;
    const int32_t g = PageSlots(order, page)[static_cast<size_t>(slot - 1)];
    return g == 0 ? std::nullopt : std::optional<int32_t>(g);
}

std::string ThumbLabel(double area, double menkei, double averageShape) {
    return FormatFixedWidth(10, 3, area) + ":" +
           FormatFixedWidth(7, 2, (static_cast<long double>(area) - menkei) * 100) + ":" +
           FormatFixedWidth(4, 2, averageShape);
}

bool ThumbMarked(double area, double menkei) { return (static_cast<long double>(area) - menkei) * 100 < 0; }

int32_t ThumbHue(double shape) {
    const long double hue = RoundTiesToEven(static_cast<long double>(shape) * 2);
    return static_cast<int32_t>(std::clamp<long double>(hue, 0, 240));
}

double AverageShape(const EngineTables& t, int32_t g) {
    const int32_t count = t.trisets.trinum(g);
    if (count == 0) return 0;
    long double sum = 0;
    for (int32_t m = 1; m <= count; ++m) sum += t.tritemp[static_cast<size_t>(t.trisets.tri(g, m).st)].shape;
    return static_cast<double>(sum / count);
}

std::string ListLine(double area) { return FormatFixedWidth(8, 3, area); }

TriangleFilter ParseTriangleFilter(const std::string& text) {
    TriangleFilter f;
    if (TrimSpaceNul(text).empty()) return f;
    std::string rest = text;
    SplitAtComma(rest, f.i);
    SplitAtComma(rest, f.j);
    SplitAtComma(rest, f.k);
    f.i = std::string(TrimSpaceNul(f.i));
    f.j = std::string(TrimSpaceNul(f.j));
    f.k = std::string(TrimSpaceNul(f.k));
    return f;
}

std::optional<std::string> FilterRefusal(const std::string& text) {
    if (TrimSpaceNul(text).empty()) return std::nullopt;
    const TriangleFilter f = ParseTriangleFilter(text);
    const auto whole = [](const std::string& part) {
        return !part.empty() && part.find_first_not_of("0123456789") == std::string::npos;
    };
    if (whole(f.i) && whole(f.j) && whole(f.k)) return std::nullopt;
    return "「" + std::string(TrimSpaceNul(text)) +
           "」は三角形ではありません。頂点番号を 3 つ、1,2,5 のようにカンマで区切って入れてください";
}

std::vector<int32_t> ListedDivisions(const EngineTables& t, const std::vector<TriangleFilter>& filters) {
    std::vector<std::array<int32_t, 3>> wanted;
    bool impossible = false;
    for (const TriangleFilter& f : filters) {
        if (!f.active()) continue;
        const auto i = CanonicalNumber(f.i), j = CanonicalNumber(f.j), k = CanonicalNumber(f.k);
        if (!i || !j || !k) {
            impossible = true;  // no vertex number is written that way
            continue;
        }
        wanted.push_back(Corners(*i, *j, *k));
    }
    std::vector<int32_t> listed;
    if (impossible) return listed;
    const TriSetStore& store = t.trisets;
    for (int32_t g = 1; g <= store.trisetnum(); ++g) {
        const int32_t count = store.trinum(g);
        if (count == 0) continue;
        bool all = true;
        for (const auto& w : wanted) {
            bool found = false;
            for (int32_t m = 1; m <= count && !found; ++m) {
                const TTri tri = store.tri(g, m);
                found = Corners(tri.i, tri.j, tri.k) == w;
            }
            all = all && found;
            if (!all) break;
        }
        if (all) listed.push_back(g);
    }
    return listed;
}

std::string MismatchLabel(const std::string& line, double menkei) {
    std::string rest = line, head;
    SplitAtColon(rest, head);
    const long double a = StrToReal(head);
    if (menkei == 0) return "不一致率:---";
    return "不一致率:" + FormatFixedWidth(6, 4, (static_cast<long double>(menkei) - a) * 100 / menkei);
}

int32_t PreviewBlue(double shape) {
    const long double c = RoundTiesToEven(static_cast<long double>(shape) * 10);
    return static_cast<int32_t>(std::clamp<long double>(c, 0, 255));
}

std::optional<size_t> AverageShapeLine(int32_t minShapeNo, size_t lines) {
    if (minShapeNo < 1 || static_cast<size_t>(minShapeNo) > lines) return std::nullopt;
    return static_cast<size_t>(minShapeNo) - 1;
}

int32_t ViewTransform::X(long double x) const {
    return static_cast<int32_t>(RoundTiesToEven((x - ox) * sc));
}

int32_t ViewTransform::Y(long double y) const {
    return static_cast<int32_t>(RoundTiesToEven(W - (y - oy) * sc));
}

ViewTransform AlignView(const EngineTables& t, int32_t W, int32_t H) {
    long double minX = 1e14L, minY = 1e14L, maxX = -1e14L, maxY = -1e14L;
    for (int32_t v = 1; v <= t.xynum; ++v) {
        const TAcadPoint& p = t.xy[static_cast<size_t>(v)];
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    ViewTransform view;
    view.W = W;
    if (t.xynum < 1) return view;
    const long double rangeX = (maxX - minX) * 1.1L, rangeY = (maxY - minY) * 1.1L;
    const long double cx = (maxX + minX) * 0.5L, cy = (maxY + minY) * 0.5L;
    // A range of zero leaves the other to set the scale; with neither, the
    // point is drawn at the centre at scale 1.
    long double sc = 1;
    if (rangeX > 0 && rangeY > 0) {
        sc = std::min(W / rangeX, H / rangeY);
    } else if (rangeX > 0) {
        sc = W / rangeX;
    } else if (rangeY > 0) {
        sc = H / rangeY;
    }
    view.sc = static_cast<double>(sc);
    view.ox = static_cast<double>(cx - (W / sc) * 0.5L);
    view.oy = static_cast<double>(cy - (H / sc) * 0.5L);
    return view;
}

void AcceptDivision(EngineTables& t, int32_t g) {
    LoadTriset(t, g);
    SelectTriset(t, g);
}

}  // namespace zelkan
