#include "engine/exact_selection.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <utility>

#include "engine/area_units.h"
#include "engine/evaluation.h"
#include "engine/search.h"

namespace zelkan {

namespace {

constexpr int32_t kSide = -1;     // the part is a boundary side: nothing to divide
constexpr int32_t kNoChord = -2;  // no candidate closes the chord: the part cannot be divided

// One way to divide a part: the candidate on its chord and the two smaller
// parts beside it.
struct Option {
    int32_t candidate = 0;
    int32_t left = kSide;
    int32_t right = kSide;
};

struct Chord {
    int32_t a = 0, b = 0;
    std::vector<Option> options;
};

// Every chord that closes a candidate, shorter chords first, so that a
// part's smaller parts come before it.
class ChordModel {
public:
    explicit ChordModel(const EngineTables& t) : n_(t.xynum) {
        std::unordered_map<int64_t, int32_t> ids;
        std::vector<std::pair<int32_t, int32_t>> keys;
        for (int32_t c = 1; c <= t.tritempnum; ++c) {
            const TTriTemp& candidate = t.tritemp[static_cast<size_t>(c)];
            if (ids.emplace(Key(candidate.i, candidate.k), 0).second) keys.emplace_back(candidate.i, candidate.k);
        }
        std::sort(keys.begin(), keys.end(), [](const auto& x, const auto& y) {
            return std::pair(x.second - x.first, x.first) < std::pair(y.second - y.first, y.first);
        });
        chords_.resize(keys.size());
        for (size_t id = 0; id < keys.size(); ++id) {
            chords_[id].a = keys[id].first;
            chords_[id].b = keys[id].second;
            ids[Key(keys[id].first, keys[id].second)] = static_cast<int32_t>(id);
        }
        const auto part = [&ids](int32_t a, int32_t b) {
            if (b == a + 1) return kSide;
            const auto found = ids.find(Key(a, b));
            return found == ids.end() ? kNoChord : found->second;
        };
        for (int32_t c = 1; c <= t.tritempnum; ++c) {
            const TTriTemp& candidate = t.tritemp[static_cast<size_t>(c)];
            const Option option{c, part(candidate.i, candidate.j), part(candidate.j, candidate.k)};
            if (option.left == kNoChord || option.right == kNoChord) continue;
            chords_[static_cast<size_t>(ids[Key(candidate.i, candidate.k)])].options.push_back(option);
        }
        const auto whole = ids.find(Key(1, n_));
        root_ = whole == ids.end() ? kNoChord : whole->second;
    }

    const std::vector<Chord>& chords() const { return chords_; }
    int32_t root() const { return root_; }  // the chord 1-n: the whole parcel

private:
    static int64_t Key(int32_t a, int32_t b) { return static_cast<int64_t>(a) << 32 | static_cast<uint32_t>(b); }

    int32_t n_;
    std::vector<Chord> chords_;
    int32_t root_ = kNoChord;
};

// Whether two triangles of the polygon overlap: a side of one crosses a side
// of the other, which for diagonals of a simple polygon is when their
// corners alternate along the boundary.
bool Overlap(const TTriTemp& x, const TTriTemp& y) {
    const std::pair<int32_t, int32_t> xs[3] = {{x.i, x.j}, {x.j, x.k}, {x.i, x.k}};
    const std::pair<int32_t, int32_t> ys[3] = {{y.i, y.j}, {y.j, y.k}, {y.i, y.k}};
    for (const auto& [p, q] : xs) {
        for (const auto& [r, s] : ys) {
            if ((p < r && r < q && q < s) || (r < p && p < s && s < q)) return true;
        }
    }
    return false;
}

// ---- mode 0: the smallest shape sum, the first in search order ----

class ShapeSelection {
public:
    ShapeSelection(const EngineTables& t, const ChordModel& model) : t_(t), model_(model), best_(model.chords().size()) {}

    std::optional<std::vector<int32_t>> Run() {
        if (model_.root() == kNoChord) return std::nullopt;
        std::vector<int32_t> bestList, trial;
        for (size_t id = 0; id < model_.chords().size(); ++id) {
            const Chord& chord = model_.chords()[id];
            Best& best = best_[id];
            bool listed = false;
            for (size_t o = 0; o < chord.options.size(); ++o) {
                const Option& option = chord.options[o];
                if (!Feasible(option.left) || !Feasible(option.right)) continue;
                const int64_t cost = Shape(option.candidate) + Cost(option.left) + Cost(option.right);
                if (best.option >= 0 && cost > best.cost) continue;
                if (best.option >= 0 && cost == best.cost) {
                    // Equal sums: the first in search order stays.
                    if (!listed) ListOption(chord.options[static_cast<size_t>(best.option)], bestList);
                    listed = true;
                    ListOption(option, trial);
                    if (!(trial < bestList)) continue;
                    std::swap(trial, bestList);
                } else {
                    listed = false;
                }
                best.cost = cost;
                best.option = static_cast<int32_t>(o);
            }
        }
        if (!Feasible(model_.root())) return std::nullopt;
        std::vector<int32_t> division;
        ListPart(model_.root(), division);
        std::sort(division.begin(), division.end());
        return division;
    }

private:
    struct Best {
        int64_t cost = 0;
        int32_t option = -1;  // none: the part cannot be divided
    };

    int64_t Shape(int32_t c) const { return std::llround(t_.tritemp[static_cast<size_t>(c)].shape); }
    bool Feasible(int32_t part) const { return part == kSide || (part >= 0 && best_[static_cast<size_t>(part)].option >= 0); }
    int64_t Cost(int32_t part) const { return part == kSide ? 0 : best_[static_cast<size_t>(part)].cost; }

    // The candidates of a part's best division, in no particular order.
    void ListPart(int32_t part, std::vector<int32_t>& out) const {
        std::vector<int32_t> pending;
        if (part != kSide) pending.push_back(part);
        while (!pending.empty()) {
            const auto id = static_cast<size_t>(pending.back());
            pending.pop_back();
            const Chord& chord = model_.chords()[id];
            const Option& option = chord.options[static_cast<size_t>(best_[id].option)];
            out.push_back(option.candidate);
            if (option.left != kSide) pending.push_back(option.left);
            if (option.right != kSide) pending.push_back(option.right);
        }
    }

    void ListOption(const Option& option, std::vector<int32_t>& out) const {
        out.clear();
        out.push_back(option.candidate);
        ListPart(option.left, out);
        ListPart(option.right, out);
        std::sort(out.begin(), out.end());
    }

    const EngineTables& t_;
    const ChordModel& model_;
    std::vector<Best> best_;
};

// ---- modes 1 and 2: the reachable totals of every part ----

struct TotalSet {
    bool feasible = false;
    Int128 lo = 0, hi = 0;
    std::vector<uint64_t> words;  // bit x: total lo + x is reachable
    int64_t count = 0;            // reachable totals

    bool Has(Int128 total) const {
        if (!feasible || total < lo || total > hi) return false;
        const auto x = static_cast<uint64_t>(total - lo);
        return (words[x / 64] >> (x % 64) & 1) != 0;
    }
};

class ReachableTotals {
public:
    ReachableTotals(const ChordModel& model, const std::vector<Int128>& units, const SelectionLimits& limits)
        : model_(model), units_(units), limits_(limits), sets_(model.chords().size()) {}

    // The totals of every part with the allowed candidates; false beyond the limits.
    bool Compute(const std::vector<uint8_t>& allowed) {
        if (!Ranges(allowed)) return false;
        for (size_t id = 0; id < sets_.size(); ++id) {
            TotalSet& set = sets_[id];
            if (!set.feasible) continue;
            std::fill(set.words.begin(), set.words.end(), 0);
            for (const Option& option : model_.chords()[id].options) {
                if (!Usable(option, allowed)) continue;
                if (!AddOption(set, option)) return false;
            }
            set.count = 0;
            for (const uint64_t w : set.words) set.count += std::popcount(w);
        }
        return true;
    }

    const TotalSet& Root() const { return sets_[static_cast<size_t>(model_.root())]; }

private:
    bool Feasible(int32_t part) const { return part == kSide || sets_[static_cast<size_t>(part)].feasible; }
    Int128 Lo(int32_t part) const { return part == kSide ? 0 : sets_[static_cast<size_t>(part)].lo; }
    Int128 Hi(int32_t part) const { return part == kSide ? 0 : sets_[static_cast<size_t>(part)].hi; }

    bool Usable(const Option& option, const std::vector<uint8_t>& allowed) const {
        return allowed[static_cast<size_t>(option.candidate)] != 0 && Feasible(option.left) && Feasible(option.right);
    }

    // The smallest and largest total of every part, and room for its bitset.
    bool Ranges(const std::vector<uint8_t>& allowed) {
        uint64_t bytes = 0;
        for (size_t id = 0; id < sets_.size(); ++id) {
            TotalSet& set = sets_[id];
            set.feasible = false;
            for (const Option& option : model_.chords()[id].options) {
                if (!Usable(option, allowed)) continue;
                const Int128 u = units_[static_cast<size_t>(option.candidate)];
                const Int128 lo = u + Lo(option.left) + Lo(option.right);
                const Int128 hi = u + Hi(option.left) + Hi(option.right);
                if (!set.feasible || lo < set.lo) set.lo = lo;
                if (!set.feasible || hi > set.hi) set.hi = hi;
                set.feasible = true;
            }
            if (!set.feasible) continue;
            const Int128 width = set.hi - set.lo + 1;
            if (width > static_cast<Int128>(limits_.maxBitsetBytes) * 8) return false;
            const auto words = static_cast<size_t>((width + 63) / 64);
            bytes += words * sizeof(uint64_t);
            if (bytes > limits_.maxBitsetBytes) return false;
            set.words.resize(words);
        }
        return true;
    }

    // set |= (left + right) shifted to the option's own total.
    bool AddOption(TotalSet& set, const Option& option) {
        static const TotalSet kZero{true, 0, 0, {1}, 1};
        const TotalSet& left = option.left == kSide ? kZero : sets_[static_cast<size_t>(option.left)];
        const TotalSet& right = option.right == kSide ? kZero : sets_[static_cast<size_t>(option.right)];
        const auto offset = static_cast<uint64_t>(units_[static_cast<size_t>(option.candidate)] + left.lo + right.lo - set.lo);
        // Each reachable total of the sparser part shifts the denser one.
        const bool leftSparser = left.count <= right.count;
        const TotalSet& sparse = leftSparser ? left : right;
        const TotalSet& dense = leftSparser ? right : left;
        for (size_t w = 0; w < sparse.words.size(); ++w) {
            for (uint64_t bits = sparse.words[w]; bits != 0; bits &= bits - 1) {
                const uint64_t x = w * 64 + static_cast<uint64_t>(std::countr_zero(bits));
                OrShifted(set.words, dense.words, offset + x);
                work_ += dense.words.size() + 1;
                if (work_ > limits_.maxWordOperations) return false;
            }
        }
        return true;
    }

    static void OrShifted(std::vector<uint64_t>& into, const std::vector<uint64_t>& from, uint64_t shift) {
        const size_t first = static_cast<size_t>(shift / 64);
        const unsigned bit = static_cast<unsigned>(shift % 64);
        for (size_t w = 0; w < from.size(); ++w) {
            if (from[w] == 0) continue;
            into[first + w] |= from[w] << bit;
            if (bit != 0 && first + w + 1 < into.size()) into[first + w + 1] |= from[w] >> (64 - bit);
        }
    }

    const ChordModel& model_;
    const std::vector<Int128>& units_;
    SelectionLimits limits_;
    std::vector<TotalSet> sets_;
    uint64_t work_ = 0;
};

// The reachable totals that the evaluation's rule prefers: the closest to
// the coordinate area (in mode 2 only those below it in magnitude); two when
// the area lies exactly half-way between them.
std::vector<Int128> PreferredTotals(const TotalSet& root, const ExactTarget& target, bool below) {
    std::vector<Int128> preferred;
    for (size_t w = 0; w < root.words.size(); ++w) {
        for (uint64_t bits = root.words[w]; bits != 0; bits &= bits - 1) {
            const Int128 total = root.lo + static_cast<Int128>(w * 64 + static_cast<uint64_t>(std::countr_zero(bits)));
            if (below && !BelowInMagnitude(total, target)) continue;
            if (preferred.empty() || Closer(total, preferred.front(), target)) {
                preferred.assign(1, total);
            } else if (!Closer(preferred.front(), total, target)) {
                preferred.push_back(total);
            }
        }
    }
    return preferred;
}

ExactSelection AreaSelection(EngineTables& t, const ChordModel& model, double menkei, bool below, bool useHeron,
                             const SelectionLimits& limits) {
    ExactSelection none;
    const std::optional<AreaUnits> units = CandidateAreaUnits(t, useHeron, menkei);
    if (!units) return none;
    const auto count = static_cast<size_t>(t.tritempnum);
    std::vector<uint8_t> allowed(count + 1, 1);
    allowed[0] = 0;
    ReachableTotals totals(model, units->units, limits);
    if (!totals.Compute(allowed)) return none;
    if (!totals.Root().feasible) return {SelectionStatus::NoDivision, {}};
    const std::vector<Int128> preferred = PreferredTotals(totals.Root(), units->target, below);
    if (preferred.empty()) return {SelectionStatus::NothingQualifies, {}};

    // Fix candidates in search order while a division with a preferred
    // total remains; a candidate that leaves none is passed over for good.
    const auto hasPreferred = [&] {
        return totals.Root().feasible && std::any_of(preferred.begin(), preferred.end(),
                                                     [&](Int128 total) { return totals.Root().Has(total); });
    };
    std::vector<int32_t> division;
    std::vector<uint8_t> trial;
    const auto triangles = static_cast<size_t>(t.xynum - 2);
    for (size_t c = 1; c <= count && division.size() < triangles; ++c) {
        if (allowed[c] == 0) continue;
        trial = allowed;
        for (size_t other = 1; other <= count; ++other) {
            if (trial[other] != 0 && other != c && Overlap(t.tritemp[c], t.tritemp[other])) trial[other] = 0;
        }
        if (!totals.Compute(trial)) return none;
        if (hasPreferred()) {
            division.push_back(static_cast<int32_t>(c));
            allowed.swap(trial);
        } else {
            allowed[c] = 0;
        }
    }
    if (division.size() != triangles) return none;  // cannot happen: a preferred total was reachable
    return {SelectionStatus::Selected, division};
}

}  // namespace

bool PassesSearchCrossingTest(EngineTables& t, const std::vector<int32_t>& division) {
    if (division.size() > static_cast<size_t>(kMaxTriangles)) return false;
    BuildSideList(t);
    const TriangleSlots saved = t.tritable;
    const int32_t savedCount = t.trinum;
    t.trinum = 0;
    bool passes = true;
    int32_t n = 0;
    for (const int32_t c : division) {
        const TTriTemp& candidate = t.tritemp[static_cast<size_t>(c)];
        if (ConflictsWithTriTable(t, candidate.i, candidate.j, candidate.k)) {
            passes = false;
            break;
        }
        AddTriangle(t, c, candidate.i, candidate.j, n, candidate.k);
    }
    t.tritable = saved;
    t.trinum = savedCount;
    return passes;
}

ExactSelection SelectExactly(EngineTables& t, double menkei, int32_t searchMode, bool useHeron,
                             const SelectionLimits& limits) {
    if (searchMode != kModeShape && searchMode != kModeClosest && searchMode != kModeNotAbove) return {};
    const ChordModel model(t);
    ExactSelection selection;
    if (searchMode == kModeShape) {
        std::optional<std::vector<int32_t>> division = ShapeSelection(t, model).Run();
        if (!division) return {SelectionStatus::NoDivision, {}};
        selection = {SelectionStatus::Selected, std::move(*division)};
    } else {
        selection = AreaSelection(t, model, menkei, searchMode == kModeNotAbove, useHeron, limits);
    }
    if (selection.status == SelectionStatus::Selected && !PassesSearchCrossingTest(t, selection.division))
        return {};
    return selection;
}

}  // namespace zelkan
