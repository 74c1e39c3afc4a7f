#include "engine/polygon_parts.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace zelkan {

namespace {

int64_t Key(int32_t a, int32_t b) { return static_cast<int64_t>(a) << 32 | static_cast<uint32_t>(b); }

// Each part's area by prefix sums of the shoelace terms, from the first
// corner so that survey coordinates keep their digits.
void SetShares(const EngineTables& t, std::vector<PolygonPart>& parts) {
    const int32_t n = t.xynum;
    const TAcadPoint& origin = t.xy[1];
    const auto x = [&](int32_t v) { return t.xy[static_cast<size_t>(v)].x - origin.x; };
    const auto y = [&](int32_t v) { return t.xy[static_cast<size_t>(v)].y - origin.y; };
    std::vector<long double> prefix(static_cast<size_t>(n) + 1, 0);
    for (int32_t v = 1; v < n; ++v)
        prefix[static_cast<size_t>(v) + 1] = prefix[static_cast<size_t>(v)] + x(v) * y(v + 1) - x(v + 1) * y(v);
    const auto twiceArea = [&](int32_t a, int32_t b) {
        return prefix[static_cast<size_t>(b)] - prefix[static_cast<size_t>(a)] + x(b) * y(a) - x(a) * y(b);
    };
    const long double whole = n >= 3 ? twiceArea(1, n) : 0;
    for (PolygonPart& part : parts) part.share = whole != 0 ? twiceArea(part.a, part.b) / whole : 0;
}

}  // namespace

PolygonParts PartsOfPolygon(const EngineTables& t) {
    PolygonParts result;
    if (t.xynum < 3) return result;
    std::unordered_map<int64_t, int32_t> ids;
    std::vector<std::pair<int32_t, int32_t>> chords;
    for (int32_t c = 1; c <= t.tritempnum; ++c) {
        const TTriTemp& candidate = t.tritemp[static_cast<size_t>(c)];
        if (ids.emplace(Key(candidate.i, candidate.k), 0).second) chords.emplace_back(candidate.i, candidate.k);
    }
    std::sort(chords.begin(), chords.end(), [](const auto& x, const auto& y) {
        return std::pair(x.second - x.first, x.first) < std::pair(y.second - y.first, y.first);
    });
    result.parts.resize(chords.size());
    for (size_t id = 0; id < chords.size(); ++id) {
        result.parts[id].a = chords[id].first;
        result.parts[id].b = chords[id].second;
        ids[Key(chords[id].first, chords[id].second)] = static_cast<int32_t>(id);
    }
    const auto part = [&ids](int32_t a, int32_t b) {
        if (b == a + 1) return kSidePart;
        const auto found = ids.find(Key(a, b));
        return found == ids.end() ? kNoPart : found->second;
    };
    for (int32_t c = 1; c <= t.tritempnum; ++c) {
        const TTriTemp& candidate = t.tritemp[static_cast<size_t>(c)];
        const PartWay way{c, part(candidate.i, candidate.j), part(candidate.j, candidate.k)};
        if (way.left == kNoPart || way.right == kNoPart) continue;
        result.parts[static_cast<size_t>(ids[Key(candidate.i, candidate.k)])].ways.push_back(way);
    }
    const auto whole = ids.find(Key(1, t.xynum));
    result.root = whole == ids.end() ? kNoPart : whole->second;
    SetShares(t, result.parts);
    return result;
}

}  // namespace zelkan
