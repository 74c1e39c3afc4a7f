#include "engine/exact_selection.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <utility>

#include "engine/area_units.h"
#include "engine/evaluation.h"
#include "engine/part_totals.h"
#include "engine/polygon_parts.h"
#include "engine/search.h"
#include "engine/total_sets.h"
#include "geometry/text_helpers.h"

namespace zelkan {

namespace {

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
    ShapeSelection(const EngineTables& t, const PolygonParts& model) : t_(t), model_(model), best_(model.parts.size()) {}

    std::optional<std::vector<int32_t>> Run() {
        if (model_.root == kNoPart) return std::nullopt;
        std::vector<int32_t> bestList, trial;
        for (size_t id = 0; id < model_.parts.size(); ++id) {
            const PolygonPart& chord = model_.parts[id];
            Best& best = best_[id];
            bool listed = false;
            for (size_t o = 0; o < chord.ways.size(); ++o) {
                const PartWay& option = chord.ways[o];
                if (!Feasible(option.left) || !Feasible(option.right)) continue;
                const int64_t cost = Shape(option.candidate) + Cost(option.left) + Cost(option.right);
                if (best.option >= 0 && cost > best.cost) continue;
                if (best.option >= 0 && cost == best.cost) {
                    // Equal sums: the first in search order stays.
                    if (!listed) ListOption(chord.ways[static_cast<size_t>(best.option)], bestList);
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
        if (!Feasible(model_.root)) return std::nullopt;
        std::vector<int32_t> division;
        ListPart(model_.root, division);
        std::sort(division.begin(), division.end());
        return division;
    }

private:
    struct Best {
        int64_t cost = 0;
        int32_t option = -1;  // none: the part cannot be divided
    };

    int64_t Shape(int32_t c) const { return std::llround(t_.tritemp[static_cast<size_t>(c)].shape); }
    bool Feasible(int32_t part) const { return part == kSidePart || (part >= 0 && best_[static_cast<size_t>(part)].option >= 0); }
    int64_t Cost(int32_t part) const { return part == kSidePart ? 0 : best_[static_cast<size_t>(part)].cost; }

    // The candidates of a part's best division, in no particular order.
    void ListPart(int32_t part, std::vector<int32_t>& out) const {
        std::vector<int32_t> pending;
        if (part != kSidePart) pending.push_back(part);
        while (!pending.empty()) {
            const auto id = static_cast<size_t>(pending.back());
            pending.pop_back();
            const PolygonPart& chord = model_.parts[id];
            const PartWay& option = chord.ways[static_cast<size_t>(best_[id].option)];
            out.push_back(option.candidate);
            if (option.left != kSidePart) pending.push_back(option.left);
            if (option.right != kSidePart) pending.push_back(option.right);
        }
    }

    void ListOption(const PartWay& option, std::vector<int32_t>& out) const {
        out.clear();
        out.push_back(option.candidate);
        ListPart(option.left, out);
        ListPart(option.right, out);
        std::sort(out.begin(), out.end());
    }

    const EngineTables& t_;
    const PolygonParts& model_;
    std::vector<Best> best_;
};

// ---- modes 1 and 2: the reachable totals of every part ----

// The parts' totals, and what the selection asks of them beyond the sums.
class ReachableTotals {
public:
    ReachableTotals(const PolygonParts& model, const std::vector<Int128>& units, const SelectionLimits& limits)
        : parts_(model, units, limits.maxBitsetBytes, limits.maxWordOperations) {}

    bool Compute(const std::vector<uint8_t>& allowed, Int128 windowLo, Int128 windowHi,
                 Pass pass = Pass::EveryTotal) {
        return parts_.Compute(allowed, windowLo, windowHi, pass);
    }

    const TotalSet& Root() const { return parts_.Root(); }

    // A division of the whole parcel with this total, from the sets the
    // last Compute left (with the same allowed candidates): every total a
    // set holds is an option's own plus totals its two parts hold. Options
    // are tried in candidate order, so the division leans to early ones.
    bool Witness(const std::vector<uint8_t>& allowed, Int128 total, std::vector<int32_t>& division) const {
        division.clear();
        return Root().Has(total) && Pick(allowed, parts_.model().root, total, division);
    }

    uint64_t work() const { return parts_.work(); }

    // After a pass over every total (Pass::EveryTotal) with these
    // candidates and this window: which candidates lie in some division
    // whose total is one of `wanted`. The rest of the parcel beyond each
    // part is summed from the whole downwards as the parts were summed
    // upwards; an option is in such a division when its own total, its
    // parts' and the rest's can add up to a wanted one. False beyond the
    // limits.
    bool Useful(const std::vector<uint8_t>& allowed, Int128 windowLo, Int128 windowHi,
                const std::vector<Int128>& wanted, std::vector<uint8_t>& useful) {
        useful.assign(allowed.size(), 0);
        if (!Root().divisible || Root().words.empty()) return true;
        const PolygonParts& model = parts_.model();
        std::vector<TotalSet> rest(model.parts.size());
        // Where the rest beyond a part can lie: what adds to a part's total
        // from its window to give a total in the parcel's window.
        const auto open = [&](TotalSet& into, const TotalSet& part) {
            if (!into.words.empty() || part.words.empty()) return true;
            const Int128 width = windowHi - windowLo + static_cast<Int128>(part.words.size()) * 64;
            if (width > static_cast<Int128>(parts_.maxBitsetBytes()) * 8) return false;
            into.lo = windowLo - (part.lo + static_cast<Int128>(part.words.size()) * 64 - 1);
            into.words.assign(static_cast<size_t>((width + 63) / 64), 0);
            return Charge(into.words.size());
        };
        const auto root = static_cast<size_t>(model.root);
        rest[root] = OnlyZero();
        TotalSet contribution;
        for (size_t id = model.parts.size(); id-- > 0;) {
            TotalSet& beyond = rest[id];
            const TotalSet& part = parts_.Set(static_cast<int32_t>(id));
            if (beyond.words.empty() || !part.divisible || part.words.empty()) continue;
            CountRuns(beyond, runs_);
            for (const PartWay& option : model.parts[id].ways) {
                if (!parts_.Usable(option, allowed)) continue;
                const TotalSet& left = parts_.Set(option.left);
                const TotalSet& right = parts_.Set(option.right);
                if (left.words.empty() || right.words.empty()) continue;
                // The rest beyond the left part through this option: the
                // rest beyond its chord, the triangle and the right part.
                contribution = TotalSet{};
                if (!open(contribution, left)) return false;
                if (!parts_.sums().SumInto(contribution, beyond, right, parts_.Units(option))) return false;
                CountRuns(contribution, runs_);
                uint8_t& isUseful = useful[static_cast<size_t>(option.candidate)];
                for (const Int128 total : wanted) {
                    if (isUseful == 0 && SplitOf(left, contribution, total)) isUseful = 1;
                }
                if (isUseful == 0) continue;
                if (option.left != kSidePart) {
                    TotalSet& into = rest[static_cast<size_t>(option.left)];
                    if (!open(into, left)) return false;
                    OrInto(into, contribution);
                }
                if (option.right != kSidePart) {
                    TotalSet& into = rest[static_cast<size_t>(option.right)];
                    if (!open(into, right)) return false;
                    if (!parts_.sums().SumInto(into, beyond, left, parts_.Units(option))) return false;
                }
            }
        }
        return true;
    }

    // Which candidates lie in some division whose total could lie in
    // [wantedLo, wantedHi] as far as the smallest and largest totals of the
    // parts around them tell: a necessary condition, decided for every
    // candidate in one pass over the options. Where the totals are dense
    // it is the only reason a candidate is passed over, and it costs no
    // bitset.
    // False beyond the limits.
    bool Plausible(const std::vector<uint8_t>& allowed, Int128 wantedLo, Int128 wantedHi,
                   std::vector<uint8_t>& plausible) {
        plausible.assign(allowed.size(), 0);
        if (!parts_.ComputeRanges(allowed)) return false;
        if (!Root().divisible) return true;
        const PolygonParts& model = parts_.model();
        for (size_t id = 0; id < model.parts.size(); ++id) {
            const TotalSet& set = parts_.Set(static_cast<int32_t>(id));
            if (!set.divisible) continue;
            for (const PartWay& option : model.parts[id].ways) {
                if (!parts_.Usable(option, allowed)) continue;
                const TotalSet& left = parts_.Set(option.left);
                const TotalSet& right = parts_.Set(option.right);
                const Int128 least = parts_.Units(option) + left.least + right.least + set.outLeast;
                const Int128 most = parts_.Units(option) + left.most + right.most + set.outMost;
                if (least <= wantedHi && most >= wantedLo) plausible[static_cast<size_t>(option.candidate)] = 1;
            }
        }
        return true;
    }

    // Counts other work against the same limit; false beyond it.
    bool Charge(uint64_t words) { return parts_.Charge(words); }

private:
    bool Pick(const std::vector<uint8_t>& allowed, int32_t part, Int128 total, std::vector<int32_t>& division) const {
        if (part == kSidePart) return total == 0;
        for (const PartWay& option : parts_.model().parts[static_cast<size_t>(part)].ways) {
            if (!parts_.Usable(option, allowed)) continue;
            const Int128 rest = total - parts_.Units(option);
            const std::optional<Int128> left = SplitOf(parts_.Set(option.left), parts_.Set(option.right), rest);
            if (!left) continue;
            division.push_back(option.candidate);
            return Pick(allowed, option.left, *left, division) && Pick(allowed, option.right, rest - *left, division);
        }
        return false;
    }

    // Some a in one set such that total - a is in the other, trying the
    // totals of the smaller set against the larger.
    static std::optional<Int128> SplitOf(const TotalSet& one, const TotalSet& other, Int128 total) {
        const bool oneSmaller = one.words.size() <= other.words.size();
        const TotalSet& tried = oneSmaller ? one : other;
        const TotalSet& looked = oneSmaller ? other : one;
        for (size_t w = 0; w < tried.words.size(); ++w) {
            for (uint64_t bits = tried.words[w]; bits != 0; bits &= bits - 1) {
                const Int128 x = tried.lo + static_cast<Int128>(w * 64 + static_cast<uint64_t>(std::countr_zero(bits)));
                if (looked.Has(total - x)) return oneSmaller ? x : total - x;
            }
        }
        return std::nullopt;
    }

    PartTotals parts_;
    BitRuns runs_;  // scratch
};

// The reachable totals that the evaluation's rule prefers: the closest to
// the coordinate area (in mode 2 only those below it in magnitude); two when
// the area lies exactly half-way between them.
std::vector<Int128> PreferredTotals(const TotalSet& root, const ExactTarget& target, bool below, Int128 windowLo,
                                    Int128 windowHi) {
    std::vector<Int128> preferred;
    for (size_t w = 0; w < root.words.size(); ++w) {
        for (uint64_t bits = root.words[w]; bits != 0; bits &= bits - 1) {
            const Int128 total = root.lo + static_cast<Int128>(w * 64 + static_cast<uint64_t>(std::countr_zero(bits)));
            if (total < windowLo || total > windowHi) continue;
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

// The whole numbers of units closest to the target (two when it lies
// half-way), in mode 2 the closest below it in magnitude.
std::vector<Int128> IdealTotals(const ExactTarget& target, bool below) {
    const std::optional<Int128> floor = FloorOf(target);
    if (!floor) return {};
    const bool whole = CompareWithTarget(*floor, target) == 0;
    if (below) {
        const int sign = CompareWithTarget(0, target);  // -1: the target is positive
        if (sign == 0) return {};
        const Int128 total = sign < 0 ? (whole ? *floor - 1 : *floor) : *floor + 1;
        if (!BelowInMagnitude(total, target)) return {};
        return {total};
    }
    if (whole) return {*floor};
    const Int128 up = *floor + 1;
    if (Closer(*floor, up, target)) return {*floor};
    if (Closer(up, *floor, target)) return {up};
    return {*floor, up};
}

// The reachable totals of the whole parcel that the rule prefers: status
// Selected with the totals, NoDivision, NothingQualifies, or Unavailable
// beyond the limits.
struct Preference {
    SelectionStatus status = SelectionStatus::Unavailable;
    std::vector<Int128> totals;
    Int128 least = 0;  // NothingQualifies: the smallest total of any division
};

Preference Found(std::vector<Int128> preferred) { return Preference{SelectionStatus::Selected, std::move(preferred)}; }

const Preference kNoDivision{SelectionStatus::NoDivision, {}};
const Preference kBeyondLimits;

// The whole numbers the rule would take first, if a division reaches them;
// the narrowed totals usually show one that does. Undecided (none) where
// no division reaches them.
std::optional<Preference> IdealTotalsReached(ReachableTotals& totals, const std::vector<uint8_t>& allowed,
                                             const ExactTarget& target, bool below) {
    const std::vector<Int128> ideal = IdealTotals(target, below);
    if (ideal.empty()) return std::nullopt;
    const auto reachesAll = [&totals](const std::vector<Int128>& wanted) {
        return std::all_of(wanted.begin(), wanted.end(), [&](Int128 total) { return totals.Root().Has(total); });
    };
    const auto [lo, hi] = std::minmax_element(ideal.begin(), ideal.end());
    // Where the totals are dense a narrow band around each part's share
    // already reaches them; a band that outgrows the limits is given up.
    for (const Pass band : kBandPasses) {
        if (!totals.Compute(allowed, *lo, *hi, band)) break;
        if (!totals.Root().divisible) return kNoDivision;
        if (reachesAll(ideal)) return Found(ideal);
    }
    if (!totals.Compute(allowed, *lo, *hi, Pass::Narrowed)) return kBeyondLimits;
    if (!totals.Root().divisible) return kNoDivision;
    if (reachesAll(ideal)) return Found(ideal);
    return std::nullopt;
}

// A total that the narrowed parts reach near the area bounds how far the
// best one can lie: every total as close lies between it and its mirror
// image about the area. Undecided where the narrowed parts reach none.
std::optional<Preference> BoundedByANearTotal(ReachableTotals& totals, const std::vector<uint8_t>& allowed,
                                              const ExactTarget& target, bool below) {
    const std::optional<Int128> floor = FloorOf(target);
    const std::optional<Int128> twice = FloorOf(ExactTarget{target.mantissa, target.exponent + 1, target.tenths});
    if (!floor || !twice) return std::nullopt;
    const Int128 spread = (totals.Root().most - totals.Root().least) / 16 + 64;
    if (!totals.Compute(allowed, *floor - spread, *floor + 1 + spread, Pass::Narrowed)) return kBeyondLimits;
    if (!totals.Root().divisible) return kNoDivision;
    const std::vector<Int128> near = PreferredTotals(totals.Root(), target, below, *floor - spread, *floor + 1 + spread);
    if (near.empty()) return std::nullopt;
    const Int128 mirror = *twice - near.front();
    const Int128 windowLo = std::min(near.front(), mirror);
    const Int128 windowHi = std::max(near.front(), mirror + 1);
    if (!totals.Compute(allowed, windowLo, windowHi)) return kBeyondLimits;
    return Found(PreferredTotals(totals.Root(), target, below, windowLo, windowHi));
}

// Every reachable total near the coordinate area: the parts keep only what
// can give a total in the window, which widens until it holds a total the
// rule accepts, or every total.
Preference EveryTotalNear(ReachableTotals& totals, const std::vector<uint8_t>& allowed, const ExactTarget& target,
                          bool below) {
    const std::optional<Int128> floor = FloorOf(target);
    for (Int128 reach = 64;; reach *= 8) {
        const bool everything = !floor || reach > kWidestReach;
        const Int128 windowLo = everything ? -kEveryTotal : *floor - reach;
        const Int128 windowHi = everything ? kEveryTotal : *floor + 1 + reach;
        if (!totals.Compute(allowed, windowLo, windowHi)) return kBeyondLimits;
        const TotalSet& root = totals.Root();
        if (!root.divisible) return kNoDivision;
        std::vector<Int128> preferred = PreferredTotals(root, target, below, windowLo, windowHi);
        if (!preferred.empty()) return Found(std::move(preferred));
        if (everything || (windowLo <= root.least && root.most <= windowHi))
            return {SelectionStatus::NothingQualifies, {}, root.least};
    }
}

// The three ways to the preferred totals, cheapest first.
Preference PreferredOverall(ReachableTotals& totals, const std::vector<uint8_t>& allowed, const ExactTarget& target,
                            bool below) {
    if (std::optional<Preference> p = IdealTotalsReached(totals, allowed, target, below)) return *std::move(p);
    if (std::optional<Preference> p = BoundedByANearTotal(totals, allowed, target, below)) return *std::move(p);
    return EveryTotalNear(totals, allowed, target, below);
}

// The first division in search order whose total is one of `preferred`:
// candidates are fixed in order while such a division remains, and a
// candidate that leaves none is passed over for good. Nothing beyond the
// limits; `found` then holds the last division with a preferred total seen
// on the way, if any.
std::optional<std::vector<int32_t>> FirstInSearchOrder(const EngineTables& t, ReachableTotals& totals,
                                                       std::vector<uint8_t> allowed, const std::vector<Int128>& preferred,
                                                       std::vector<int32_t>& found) {
    const auto [wantedLo, wantedHi] = std::minmax_element(preferred.begin(), preferred.end());
    const auto count = static_cast<size_t>(t.tritempnum);
    const auto triangles = static_cast<size_t>(t.xynum - 2);
    // A division with a preferred total that holds every candidate kept so
    // far: a candidate in it is kept without asking again. It holds the
    // kept ones because a division of the polygon covers each kept
    // triangle, and only the triangle itself can do so without overlapping it.
    std::vector<uint8_t> inWitness(count + 1, 0);
    std::vector<int32_t> witness;
    const auto takeWitness = [&](const std::vector<uint8_t>& with) {
        if (!totals.Root().divisible) return false;
        for (const Int128 total : preferred) {
            if (!totals.Witness(with, total, witness)) continue;
            found = witness;
            std::fill(inWitness.begin(), inWitness.end(), 0);
            for (const int32_t c : witness) inWitness[static_cast<size_t>(c)] = 1;
            return true;
        }
        return false;
    };
    // The sets of the pass that found the preferred totals may already give one.
    takeWitness(allowed);
    std::vector<int32_t> division;
    std::vector<uint8_t> trial, useful;
    const auto withOnly = [&](size_t c) {
        trial = allowed;
        for (size_t other = 1; other <= count; ++other) {
            if (trial[other] != 0 && other != c && Overlap(t.tritemp[c], t.tritemp[other])) trial[other] = 0;
        }
    };
    // The work of the last quick passes and of the last pass over every
    // total, to choose which to try first.
    uint64_t quickCost = 0, exactCost = UINT64_MAX;
    // Which candidates the ranges alone leave possible, for the candidates
    // kept so far; a candidate they rule out stays ruled out, as fewer
    // candidates are allowed from then on.
    std::vector<uint8_t> plausible;
    size_t plausibleFor = SIZE_MAX;
    for (size_t c = 1; c <= count && division.size() < triangles; ++c) {
        if (allowed[c] == 0) continue;
        if (plausibleFor != division.size()) {
            if (!totals.Plausible(allowed, *wantedLo, *wantedHi, plausible)) return std::nullopt;
            plausibleFor = division.size();
        }
        if (plausible[c] == 0) {
            allowed[c] = 0;
            continue;
        }
        if (!totals.Charge(count)) return std::nullopt;
        withOnly(c);
        bool reached = inWitness[c] != 0;
        // Bands answer most of the others at a fraction of the cost of every
        // total, and the narrowed totals some more, where totals are dense;
        // where they are sparse, every total costs less than those passes.
        const uint64_t before = totals.work();
        if (!reached && quickCost < exactCost) {
            for (size_t b = 0; b < std::size(kBandPasses) && !reached; ++b) {
                if (!totals.Compute(trial, *wantedLo, *wantedHi, kBandPasses[b])) break;
                reached = takeWitness(trial);
                if (!totals.Root().divisible) break;
            }
            if (!reached) {
                if (!totals.Compute(trial, *wantedLo, *wantedHi, Pass::Narrowed)) return std::nullopt;
                reached = takeWitness(trial);
            }
            quickCost = totals.work() - before;
        }
        if (!reached) {
            // Every total, over the candidates still allowed: those from c
            // on that lie in no division with a preferred total are passed
            // over for good, and the first that lies in one is kept.
            const uint64_t start = totals.work();
            if (!totals.Compute(allowed, *wantedLo, *wantedHi) ||
                !totals.Useful(allowed, *wantedLo, *wantedHi, preferred, useful))
                return std::nullopt;
            exactCost = totals.work() - start;
            for (; c <= count && (allowed[c] == 0 || useful[c] == 0); ++c) allowed[c] = 0;
            if (c > count) break;
            withOnly(c);
            // A known division without c no longer holds every kept candidate.
            if (inWitness[c] == 0) std::fill(inWitness.begin(), inWitness.end(), 0);
        }
        division.push_back(static_cast<int32_t>(c));
        allowed.swap(trial);
    }
    if (division.size() != triangles) return std::nullopt;  // cannot happen: a preferred total was reachable
    return division;
}

ExactSelection AreaSelection(EngineTables& t, const PolygonParts& model, double menkei, bool below, bool useHeron,
                             const SelectionLimits& limits) {
    // No candidate closes the chord 1-n: no division of the whole parcel.
    if (model.root == kNoPart) return {SelectionStatus::NoDivision, {}, {}, {}};
    const std::optional<AreaUnits> units = CandidateAreaUnits(t, useHeron, menkei);
    if (!units) return {};
    std::vector<uint8_t> allowed(static_cast<size_t>(t.tritempnum) + 1, 1);
    allowed[0] = 0;
    ReachableTotals totals(model, units->units, limits);
    const Preference preference = PreferredOverall(totals, allowed, units->target, below);
    if (preference.status == SelectionStatus::NothingQualifies) {
        // Base x height totals count twice the area: half of an odd one is
        // exact at one decimal more.
        const DecimalText least = useHeron || preference.least % 2 == 0
                                      ? DecimalText{useHeron ? preference.least : preference.least / 2, units->decimals}
                                      : DecimalText{preference.least * 5, units->decimals + 1};
        return {preference.status, {}, least, {}};
    }
    if (preference.status != SelectionStatus::Selected) return {preference.status, {}, {}, {}};
    std::vector<int32_t> found;
    std::optional<std::vector<int32_t>> division =
        FirstInSearchOrder(t, totals, std::move(allowed), preference.totals, found);
    if (!division) {
        std::sort(found.begin(), found.end());
        return {SelectionStatus::Unavailable, {}, {}, std::move(found)};
    }
    return {SelectionStatus::Selected, std::move(*division), {}, {}};
}

int32_t StoredEntry(EngineTables& t, const std::vector<int32_t>& division) {
    const auto triangles = static_cast<int32_t>(division.size());
    for (int32_t r = 1; r <= t.trisets.trisetnum(); ++r) {
        if (t.trisets.trinum(r) != triangles) continue;
        int32_t m = 1;
        while (m <= triangles && t.trisets.tri(r, m).st == division[static_cast<size_t>(m) - 1]) ++m;
        if (m > triangles) return r;
    }
    return 0;
}

}  // namespace

double ApplySelection(EngineTables& t, EvaluationState& e, const ExactSelection& selection, double menkei,
                      SearchMode searchMode, bool useHeron) {
    int32_t entry = 0;
    if (selection.status == SelectionStatus::Selected) {
        entry = StoredEntry(t, selection.division);
        if (entry == 0) entry = StoreDivision(t, selection.division);
    }
    Evaluate(t, e, menkei, searchMode, useHeron);  // the sums and ranges of every entry
    WinnerOf(e, searchMode, useHeron) = entry;
    e.calcFailed = false;
    if (entry == 0) {
        t.seltrinum = 0;
        return kNoDistance;
    }
    SelectTriset(t, entry);
    long double sum = 0;
    for (int32_t m = 1; m <= t.trisets.trinum(entry); ++m) {
        const TTriTemp& c = t.tritemp[static_cast<size_t>(t.trisets.tri(entry, m).st)];
        sum += useHeron ? StrToReal(c.heronText) : StrToReal(AreaTextOfBase(c, ChooseBase(c)));
    }
    if (!useHeron) sum /= 2;
    return static_cast<double>(std::fabs(sum - menkei));
}

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

ExactSelection SelectExactly(EngineTables& t, double menkei, SearchMode searchMode, bool useHeron,
                             const SelectionLimits& limits) {
    if (!IsEvaluated(searchMode)) return {};
    // The search cannot hold a division of more triangles either.
    if (t.xynum - 2 > kMaxTriangles) return {};
    const PolygonParts model = PartsOfPolygon(t);
    ExactSelection selection;
    if (!IsAreaMode(searchMode)) {
        std::optional<std::vector<int32_t>> division = ShapeSelection(t, model).Run();
        if (!division) return {SelectionStatus::NoDivision, {}, {}, {}};
        selection = {SelectionStatus::Selected, std::move(*division), {}, {}};
    } else {
        selection = AreaSelection(t, model, menkei, StaysBelowArea(searchMode), useHeron, limits);
    }
    if (selection.status == SelectionStatus::Selected && !PassesSearchCrossingTest(t, selection.division))
        return {};
    if (selection.status == SelectionStatus::NothingQualifies) {
        // The evaluation selects nothing only beside a complete division the
        // search stores; without one it would take a partial division.
        const std::optional<std::vector<int32_t>> any = ShapeSelection(t, model).Run();
        if (!any || !PassesSearchCrossingTest(t, *any)) return {};
    }
    return selection;
}

}  // namespace zelkan
