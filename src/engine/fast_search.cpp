#include "engine/fast_search.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

#include "engine/candidates.h"
#include "geometry/errors.h"
#include "geometry/numbers.h"

namespace zelkan {

namespace {

constexpr long double kTwoPi = 2 * std::numbers::pi_v<long double>;
// Wedges narrower than this are left out of the angle bound on both sides.
constexpr long double kNegligibleAngle = 1e-12L;
// Work allowed for checking that the candidates covering a wedge conflict.
constexpr uint64_t kMaxWedgeCheckPairs = 50'000'000;
// Memory allowed for the candidates' wedge masks: 64 MB.
constexpr uint64_t kMaxWedgeMaskWords = uint64_t{1} << 23;

// Without a popcount instruction in the baseline x86-64 set, std::popcount
// is a library call; this stays inline.
inline int32_t BitCount(uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555u);
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<int32_t>((x * 0x0101010101010101u) >> 56);
}

// The number of set bits, counted until it reaches cap.
int32_t CountUpTo(const uint64_t* bits, size_t words, int32_t cap) {
    int32_t count = 0;
    for (size_t k = 0; k < words && count < cap; ++k)
        if (bits[k] != 0) count += BitCount(bits[k]);
    return count;
}

bool TestBit(const uint64_t* bits, int32_t n) { return (bits[n >> 6] >> (n & 63)) & 1u; }
void SetBit(uint64_t* bits, int32_t n) { bits[n >> 6] |= uint64_t{1} << (n & 63); }

// Does candidate c, tested against the placed candidate q, conflict with it?
// The same tests in the same argument order as the search makes them.
bool PairConflict(const EngineTables& t, const TTriTemp& c, const TTriTemp& q) {
    const auto P = [&t](int32_t v) -> const TAcadPoint& { return t.xy[static_cast<size_t>(v)]; };
    const int32_t side[3][2] = {{c.i, c.j}, {c.j, c.k}, {c.i, c.k}};
    const int32_t placed[3][2] = {{q.i, q.j}, {q.i, q.k}, {q.j, q.k}};
    for (const auto& s : side)
        for (const auto& e : placed)
            if (!IsPolygonSide(t, e[0], e[1]) && SidesCross(P(e[0]), P(e[1]), P(s[0]), P(s[1]))) return true;
    return false;
}

}  // namespace

struct FastTriangulationSearch::Tables {
    int32_t n = 0;       // candidates
    size_t words = 0;    // 64-bit words of a candidate set (bit c for candidate c)
    std::vector<uint64_t> compatible;  // row q: candidates c > q that q does not exclude
    std::vector<uint64_t> scratch;     // one candidate set per depth

    // The angle bound: the candidates' corners cover wedges of the interior
    // angles; pairwise compatible candidates never share a wedge, so no
    // more of them fit than the covered angle over the smallest angle a
    // candidate covers.
    bool wedgeValid = false;
    std::vector<long double> wedgeAngle;
    std::vector<std::vector<int32_t>> wedgesOf;  // per candidate
    long double minCovered = 0;
    size_t wedgeWords = 0;
    std::vector<uint64_t> wedgeMaskOf;          // per candidate, wedgeWords each
    // Angles in units of 2^-40 rad, each wedge's raised by one to two units
    // and the smallest cover lowered by one to two: far more than the
    // rounding of the computed angles (about 1e-18 rad), so the exact
    // integer sums can only raise the bound, never lower it.
    uint64_t minCoveredUnits = 0;
    std::vector<uint64_t> byteUnits;            // per byte of a wedge mask: the angle of its set bits
    mutable std::vector<uint64_t> wedgeMask;

    const uint64_t* Row(int32_t q) const { return &compatible[static_cast<size_t>(q) * words]; }
    uint64_t* Scratch(int32_t depth) { return &scratch[static_cast<size_t>(depth) * words]; }
};

namespace {

struct Direction {
    long double angle;
    int32_t other;
};

// The directions from each corner to the corners it shares a candidate
// with, sorted by angle; wedge k at v lies between directions k and k+1
// (circularly). Fills the wedges' angles and returns each corner's first
// wedge.
std::vector<int32_t> CornerWedges(const EngineTables& t, int32_t n, FastTriangulationSearch::Tables& tb,
                                  std::vector<std::vector<Direction>>& directions) {
    directions.assign(static_cast<size_t>(t.xynum) + 1, {});
    const auto angleTo = [&t](int32_t v, int32_t u) {
        const TAcadPoint &a = t.xy[static_cast<size_t>(v)], &b = t.xy[static_cast<size_t>(u)];
        return std::atan2(b.y - a.y, b.x - a.x);
    };
    const auto addDirection = [&](int32_t v, int32_t u) {
        auto& list = directions[static_cast<size_t>(v)];
        if (std::none_of(list.begin(), list.end(), [u](const Direction& d) { return d.other == u; }))
            list.push_back({angleTo(v, u), u});
    };
    for (int32_t c = 1; c <= n; ++c) {
        const TTriTemp& tri = t.tritemp[static_cast<size_t>(c)];
        addDirection(tri.i, tri.j), addDirection(tri.i, tri.k);
        addDirection(tri.j, tri.i), addDirection(tri.j, tri.k);
        addDirection(tri.k, tri.i), addDirection(tri.k, tri.j);
    }
    std::vector<int32_t> firstWedge(static_cast<size_t>(t.xynum) + 2, 0);
    for (int32_t v = 1; v <= t.xynum; ++v) {
        auto& list = directions[static_cast<size_t>(v)];
        std::sort(list.begin(), list.end(), [](const Direction& a, const Direction& b) {
            return a.angle < b.angle || (a.angle == b.angle && a.other < b.other);
        });
        firstWedge[static_cast<size_t>(v)] = static_cast<int32_t>(tb.wedgeAngle.size());
        for (size_t k = 0; k < list.size(); ++k) {
            long double next = k + 1 < list.size() ? list[k + 1].angle : list[0].angle + kTwoPi;
            tb.wedgeAngle.push_back(next - list[k].angle);
        }
    }
    return firstWedge;
}

// The wedges each candidate's three corners cover, and the smallest angle a
// candidate covers; false when a corner is exactly pi (no bound then) or
// stop() asked for a stop.
template <typename Stop>
bool CoverWedges(const EngineTables& t, int32_t n, FastTriangulationSearch::Tables& tb,
                 const std::vector<std::vector<Direction>>& directions, const std::vector<int32_t>& firstWedge,
                 Stop stop) {
    tb.wedgesOf.assign(static_cast<size_t>(n) + 1, {});
    tb.minCovered = kTwoPi;
    for (int32_t c = 1; c <= n; ++c) {
        if (stop()) return false;
        const TTriTemp& tri = t.tritemp[static_cast<size_t>(c)];
        const int32_t corners[3][3] = {{tri.i, tri.j, tri.k}, {tri.j, tri.i, tri.k}, {tri.k, tri.i, tri.j}};
        long double covered = 0;
        for (const auto& corner : corners) {
            const auto& list = directions[static_cast<size_t>(corner[0])];
            const auto position = [&list](int32_t u) {
                return static_cast<int32_t>(std::find_if(list.begin(), list.end(),
                                                         [u](const Direction& d) { return d.other == u; }) -
                                            list.begin());
            };
            int32_t from = position(corner[1]), to = position(corner[2]);
            long double sweep = list[static_cast<size_t>(to)].angle - list[static_cast<size_t>(from)].angle;
            if (sweep < 0) sweep += kTwoPi;
            if (std::fabs(sweep - std::numbers::pi_v<long double>) < 1e-9L) return false;
            if (sweep > std::numbers::pi_v<long double>) std::swap(from, to);
            if (sweep < kNegligibleAngle || kTwoPi - sweep < kNegligibleAngle) continue;
            const int32_t count = static_cast<int32_t>(list.size());
            for (int32_t k = from; k != to; k = (k + 1) % count) {
                const int32_t w = firstWedge[static_cast<size_t>(corner[0])] + k;
                if (tb.wedgeAngle[static_cast<size_t>(w)] <= kNegligibleAngle) continue;
                tb.wedgesOf[static_cast<size_t>(c)].push_back(w);
                covered += tb.wedgeAngle[static_cast<size_t>(w)];
            }
        }
        tb.minCovered = std::min(tb.minCovered, covered);
    }
    return true;
}

// The bound holds only if candidates sharing a wedge exclude each other in
// the search's own conflict relation.
template <typename Stop>
bool CoverersExcludeEachOther(int32_t n, const FastTriangulationSearch::Tables& tb, Stop stop) {
    std::vector<std::vector<int32_t>> coverers(tb.wedgeAngle.size());
    for (int32_t c = 1; c <= n; ++c)
        for (int32_t w : tb.wedgesOf[static_cast<size_t>(c)]) coverers[static_cast<size_t>(w)].push_back(c);
    uint64_t pairs = 0;
    for (const auto& list : coverers) pairs += static_cast<uint64_t>(list.size()) * list.size() / 2;
    if (pairs > kMaxWedgeCheckPairs) return false;
    for (const auto& list : coverers) {
        if (stop()) return false;
        for (size_t a = 0; a < list.size(); ++a)
            for (size_t b = a + 1; b < list.size(); ++b)
                if (TestBit(tb.Row(list[a]), list[b])) return false;
    }
    return true;
}

// Each candidate's wedges as a mask, and the angle of every byte of a mask
// in integer units; false where the masks would take too much.
bool BuildWedgeMasks(int32_t n, FastTriangulationSearch::Tables& tb) {
    tb.wedgeWords = (tb.wedgeAngle.size() + 63) / 64;
    // Large parcels would need too much for the masks; the count bound remains.
    if (static_cast<uint64_t>(n + 1) * tb.wedgeWords > kMaxWedgeMaskWords) return false;
    tb.wedgeMask.assign(tb.wedgeWords, 0);
    tb.wedgeMaskOf.assign(static_cast<size_t>(n + 1) * tb.wedgeWords, 0);
    for (int32_t c = 1; c <= n; ++c)
        for (int32_t w : tb.wedgesOf[static_cast<size_t>(c)]) SetBit(&tb.wedgeMaskOf[static_cast<size_t>(c) * tb.wedgeWords], w);
    // Each byte of a mask looks its angle up at once.
    constexpr long double kUnitsPerRadian = 1099511627776.0L;  // 2^40
    tb.minCoveredUnits = static_cast<uint64_t>(std::floor(tb.minCovered * kUnitsPerRadian)) - 1;
    tb.byteUnits.assign(tb.wedgeWords * 8 * 256, 0);
    for (size_t b = 0; b < tb.wedgeWords * 8; ++b)
        for (unsigned value = 1; value < 256; ++value)
            for (unsigned bit = 0; bit < 8; ++bit)
                if ((value >> bit) & 1u && b * 8 + bit < tb.wedgeAngle.size())
                    tb.byteUnits[b * 256 + value] +=
                        static_cast<uint64_t>(std::floor(tb.wedgeAngle[b * 8 + bit] * kUnitsPerRadian)) + 2;
    return true;
}

// Builds the wedges and the candidates' covers; false when the geometry
// does not allow the bound (a corner of exactly pi), or when goOn() asked
// for a stop (stopped is then set). goOn is called once per candidate and
// per wedge checked.
template <typename GoOn>
bool BuildWedges(const EngineTables& t, FastTriangulationSearch::Tables& tb, GoOn goOn, bool& stopped) {
    const auto stop = [&goOn, &stopped] { return stopped = !goOn(); };
    const int32_t n = tb.n;
    std::vector<std::vector<Direction>> directions;
    const std::vector<int32_t> firstWedge = CornerWedges(t, n, tb, directions);
    if (!CoverWedges(t, n, tb, directions, firstWedge, stop)) return false;
    if (tb.minCovered < 1.0L) return false;
    if (!CoverersExcludeEachOther(n, tb, stop)) return false;
    return BuildWedgeMasks(n, tb);
}

}  // namespace

FastTriangulationSearch::FastTriangulationSearch(EngineTables& tables, SearchControl& control,
                                                 MillisecondClock& clock, uint32_t calcTimeLimit)
    : t_(tables), control_(control), clock_(clock), calcTimeLimit_(calcTimeLimit) {}

FastTriangulationSearch::~FastTriangulationSearch() = default;

bool FastTriangulationSearch::wedgeBound() const { return tables_ && tables_->wedgeValid; }

int32_t FastTriangulationSearch::Bound(const uint64_t* available, int32_t count) const {
    const Tables& tb = *tables_;
    if (!tb.wedgeValid) return count;
    uint64_t* mask = tb.wedgeMask.data();
    std::fill(mask, mask + tb.wedgeWords, 0);
    for (size_t w = 0; w < tb.words; ++w) {
        for (uint64_t bits = available[w]; bits != 0; bits &= bits - 1) {
            const size_t c = w * 64 + static_cast<size_t>(std::countr_zero(bits));
            const uint64_t* of = &tb.wedgeMaskOf[c * tb.wedgeWords];
            for (size_t k = 0; k < tb.wedgeWords; ++k) mask[k] |= of[k];
        }
    }
    // Four running sums let the additions overlap.
    uint64_t covered[4] = {0, 0, 0, 0};
    const uint64_t* units = tb.byteUnits.data();
    for (size_t k = 0; k < tb.wedgeWords; ++k, units += 8 * 256) {
        const uint64_t m = mask[k];
        for (size_t b = 0; b < 8; b += 4) {
            covered[0] += units[b * 256 + ((m >> (8 * b)) & 0xFF)];
            covered[1] += units[(b + 1) * 256 + ((m >> (8 * b + 8)) & 0xFF)];
            covered[2] += units[(b + 2) * 256 + ((m >> (8 * b + 16)) & 0xFF)];
            covered[3] += units[(b + 3) * 256 + ((m >> (8 * b + 24)) & 0xFF)];
        }
    }
    const uint64_t total = covered[0] + covered[1] + covered[2] + covered[3];
    const auto byAngle = static_cast<int32_t>(total / tb.minCoveredUnits);
    return std::min(count, byAngle);
}

bool FastTriangulationSearch::Futile(int32_t depth, const uint64_t* available, int32_t count) const {
    // With count >= 1 the bound is at least 1, so it can only prune where the
    // count does not from two levels above hhhmax.
    return count == 0 || depth + count < state_.hhhmax ||
           (depth + 1 < state_.hhhmax && depth + Bound(available, count) < state_.hhhmax);
}

bool FastTriangulationSearch::EnterLevel() {
    if (memoryFull_ || control_.StopRequested()) return false;
    if (calcTimeLimit_ > 0 && static_cast<uint32_t>(clock_.NowMs() - state_.StartTime) > calcTimeLimit_) {
        timedOut_ = true;
        return false;
    }
    return true;
}

void FastTriangulationSearch::Record(int32_t depth) {
    if (t_.trisets.WouldExceedBudget(depth)) {
        memoryFull_ = true;  // from here on as if stopped
        return;
    }
    // A stored division is never a prefix of a later path: its subtree was
    // searched before it was recorded. So no duplicate can occur, and the
    // path is in ascending candidate order already.
    for (int32_t m = 1; m <= depth; ++m) {
        const int32_t c = path_[static_cast<size_t>(m)];
        const TTriTemp& tri = t_.tritemp[static_cast<size_t>(c)];
        t_.tritable[static_cast<size_t>(m)] = TTri{c, tri.i, tri.j, tri.k};
    }
    t_.trinum = depth;
    StoreTriset(t_);
    control_.DivisionRecorded(t_.trisets.trisetnum());
}

// The level that places triangle depth+1 from the candidates available to
// the path of depth triangles; returns how many it placed.
int32_t FastTriangulationSearch::Level(int32_t depth, const uint64_t* available, bool& recorded) {
    Tables& tb = *tables_;
    ++nodes_;
    const int32_t hhh = depth + 1;
    if (hhh > kMaxTriangles) throw CapacityError(kTrinumOverflow);
    state_.hhh = hhh;
    control_.Pump(state_);
    uint64_t* child = tb.Scratch(hhh);
    int32_t placed = 0;
    int32_t sub = 0;
    bool anyRecorded = false;
    for (size_t w = 0; w < tb.words; ++w) {
        for (uint64_t bits = available[w]; bits != 0; bits &= bits - 1) {
            const int32_t c = static_cast<int32_t>(w * 64) + std::countr_zero(bits);
            state_.hhh = hhh;
            state_.curpos = c + 1;
            control_.Pump(state_);
            ++placed;
            path_[static_cast<size_t>(hhh)] = c;
            state_.hhhmax = MaxInt(state_.hhhmax, hhh);
            if (EnterLevel()) {
                const uint64_t* row = tb.Row(c);
                uint64_t any = 0;
                for (size_t k = 0; k < tb.words; ++k) any |= (child[k] = available[k] & row[k]);
                // Only whether fewer than the levels still missing to hhhmax
                // remain matters, so the count stops there.
                const int32_t count = any == 0 ? 0 : CountUpTo(child, tb.words, std::max(state_.hhhmax - hhh, 1));
                if (Futile(hhh, child, count)) {
                    sub = count;  // zero exactly when the skipped level would have placed nothing
                } else {
                    bool below = false;
                    sub = Level(hhh, child, below);
                    anyRecorded = anyRecorded || below;
                }
            }
            if (sub == 0 && hhh == state_.hhhmax) {
                Record(hhh);
                anyRecorded = true;
            }
        }
    }
    state_.hhh = depth;
    if (anyRecorded) ++usefulNodes_;
    recorded = anyRecorded;
    return placed;
}

void FastTriangulationSearch::trianproc() {
    BuildSideList(t_);
    state_.hhhmax = 0;
    tables_ = std::make_unique<Tables>();
    Tables& tb = *tables_;
    const int32_t n = t_.tritempnum;
    tb.n = n;
    tb.words = static_cast<size_t>(n) / 64 + 1;
    tb.compatible.assign(static_cast<size_t>(n + 1) * tb.words, 0);
    // Building the tables takes seconds on large parcels: the control is
    // handed the time and asked for a stop on every row.
    for (int32_t q = 1; q <= n; ++q) {
        control_.Pump(state_);
        if (control_.StopRequested()) return;
        uint64_t* row = &tb.compatible[static_cast<size_t>(q) * tb.words];
        const TTriTemp& placed = t_.tritemp[static_cast<size_t>(q)];
        for (int32_t c = q + 1; c <= n; ++c)
            if (!PairConflict(t_, t_.tritemp[static_cast<size_t>(c)], placed)) SetBit(row, c);
    }
    // A path holds candidates in ascending order, so never more than there
    // are candidates, and a level beyond kMaxTriangles throws before it
    // writes: the deepest path the tables allow, whatever the boundary.
    const int32_t maxDepth = std::min<int32_t>(n, kMaxTriangles) + 2;
    tb.scratch.assign(static_cast<size_t>(maxDepth + 1) * tb.words, 0);
    const auto pump = [this] {
        control_.Pump(state_);
        return !control_.StopRequested();
    };
    bool stopped = false;
    tb.wedgeValid = BuildWedges(t_, tb, pump, stopped);
    if (stopped) return;
    path_.assign(static_cast<size_t>(maxDepth) + 1, 0);

    bool lastTaken = false;  // the last candidate is still in tritable: the driver skips it
    for (int32_t p = 1; p <= n; ++p) {
        control_.Pump(state_);
        if (lastTaken && p == n) break;
        if (memoryFull_ || control_.StopRequested()) break;
        state_.curstart = p + 1;
        state_.hhh = 1;
        path_[1] = p;
        control_.Pump(state_);
        state_.StartTime = clock_.NowMs();
        lastTaken = false;
        if (EnterLevel()) {
            // A first triangle whose level could reach no division as deep
            // as hhhmax is passed over like any other such level.
            const uint64_t* available = tb.Row(p);
            if (!Futile(1, available, CountUpTo(available, tb.words, std::max(state_.hhhmax - 1, 1)))) {
                bool recorded = false;
                Level(1, available, recorded);
            }
            lastTaken = p < n && TestBit(tb.Row(p), n);
        }
    }
}

}  // namespace zelkan
