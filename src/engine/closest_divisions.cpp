#include "engine/closest_divisions.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <set>
#include <utility>

#include "engine/area_units.h"
#include "engine/decimal_units.h"
#include "engine/part_totals.h"
#include "engine/polygon_parts.h"

namespace zelkan {

namespace {

// The parts' totals near the coordinate area, and the divisions that reach
// one of them, listed part by part.
class NearTotals {
public:
    NearTotals(const EngineTables& t, const std::vector<Int128>& units, uint64_t maxBitsetBytes, uint64_t maxWork)
        : model_(PartsOfPolygon(t)), parts_(model_, units, maxBitsetBytes, maxWork),
          every_(static_cast<size_t>(t.tritempnum) + 1, 1) {
        every_[0] = 0;
    }

    bool HasRoot() const { return model_.root != kNoPart; }
    const TotalSet& Root() const { return parts_.Root(); }

    // Every part's totals that can give a whole-parcel total in
    // [windowLo, windowHi]: each bit is a total a division of the part
    // reaches, and every such total in the part's window is there, since a
    // part's window holds whatever the rest of the parcel can complete to
    // the parcel's window. Banded, a part keeps only the totals within the
    // band of its share of the window's middle. False beyond the limits.
    bool Compute(Int128 windowLo, Int128 windowHi, Pass pass) {
        return parts_.Compute(every_, windowLo, windowHi, pass);
    }

    // The root's totals in the window of the last Compute.
    std::vector<Int128> RootTotals() {
        std::vector<Int128> totals;
        const TotalSet& root = Root();
        for (size_t w = 0; w < root.words.size(); ++w) {
            for (uint64_t bits = root.words[w]; bits != 0; bits &= bits - 1)
                totals.push_back(root.lo + static_cast<Int128>(w * 64 + static_cast<uint64_t>(std::countr_zero(bits))));
        }
        parts_.Charge(root.words.size());
        return totals;
    }

    // Appends the divisions of the parcel with this total (one the last
    // Compute holds) until `out` holds `count`. False when the work bound
    // ended it.
    bool ListDivisions(Int128 total, size_t count, std::vector<std::vector<int32_t>>& out) {
        pending_.assign(1, Task{model_.root, total});
        chosen_.clear();
        return List(count, out);
    }

private:
    struct Task {
        int32_t part = 0;
        Int128 total = 0;
    };

    // The next part waiting is divided every way that reaches its total:
    // each way's triangle, and each split of the rest between the parts
    // beside it that both reach. Every split taken leads to a division, so
    // the work follows the divisions listed.
    bool List(size_t count, std::vector<std::vector<int32_t>>& out) {
        if (out.size() >= count) return true;
        if (pending_.empty()) {
            std::vector<int32_t> division = chosen_;
            std::sort(division.begin(), division.end());
            out.push_back(std::move(division));
            return parts_.Charge(chosen_.size());
        }
        const Task task = pending_.back();
        pending_.pop_back();
        bool ok = true;
        for (const PartWay& way : model_.parts[static_cast<size_t>(task.part)].ways) {
            if (!ok || out.size() >= count) break;
            const TotalSet& left = parts_.Set(way.left);
            const TotalSet& right = parts_.Set(way.right);
            if (left.words.empty() || right.words.empty()) continue;
            ok = ListSplits(way, task.total - parts_.Units(way), left, right, count, out);
        }
        pending_.push_back(task);
        return ok;
    }

    bool ListSplits(const PartWay& way, Int128 rest, const TotalSet& left, const TotalSet& right, size_t count,
                    std::vector<std::vector<int32_t>>& out) {
        const bool leftTried = left.words.size() <= right.words.size();
        const TotalSet& tried = leftTried ? left : right;
        const TotalSet& looked = leftTried ? right : left;
        // Only totals whose complement the other part can hold.
        const Int128 from = std::max(tried.lo, rest - looked.Last());
        const Int128 to = std::min(tried.Last(), rest - looked.lo);
        if (from > to) return true;
        const auto firstWord = static_cast<size_t>((from - tried.lo) / 64);
        const auto lastWord = static_cast<size_t>((to - tried.lo) / 64);
        for (size_t w = firstWord; w <= lastWord; ++w) {
            if (!parts_.Charge(1)) return false;
            for (uint64_t bits = tried.words[w]; bits != 0; bits &= bits - 1) {
                const Int128 x = tried.lo + static_cast<Int128>(w * 64 + static_cast<uint64_t>(std::countr_zero(bits)));
                if (x < from || x > to || !looked.Has(rest - x)) continue;
                const Int128 leftTotal = leftTried ? x : rest - x;
                chosen_.push_back(way.candidate);
                const size_t mark = pending_.size();
                if (way.right != kSidePart) pending_.push_back(Task{way.right, rest - leftTotal});
                if (way.left != kSidePart) pending_.push_back(Task{way.left, leftTotal});
                const bool ok = List(count, out);
                pending_.resize(mark);
                chosen_.pop_back();
                if (!ok) return false;
                if (out.size() >= count) return true;
            }
        }
        return true;
    }

    PolygonParts model_;
    PartTotals parts_;
    std::vector<uint8_t> every_;  // every candidate allowed
    std::vector<Task> pending_;
    std::vector<int32_t> chosen_;
};

// |total - target| <= radius.
bool Within(Int128 total, Int128 radius, const ExactTarget& target) {
    return CompareWithTarget(total + radius, target) >= 0 && CompareWithTarget(total - radius, target) <= 0;
}

// The divisions nearest the target, nearest first, into `result`: the
// window widens until it holds `count` divisions, or every total the parts
// keep. False when the work bound ended it.
bool ListNearest(NearTotals& near, const ExactTarget& target, Int128 floor, size_t count, Pass pass,
                 ClosestDivisions& result) {
    // Totals already listed whole, in an earlier, narrower window.
    std::set<Int128> listed;
    const auto nearer = [&target](Int128 a, Int128 b) { return Closer(a, b, target) || (!Closer(b, a, target) && a < b); };
    for (Int128 radius = 64;; radius *= 8) {
        const bool everything = radius > kWidestReach;
        const Int128 windowLo = everything ? -kEveryTotal : floor - radius;
        const Int128 windowHi = everything ? kEveryTotal : floor + 1 + radius;
        if (!near.Compute(windowLo, windowHi, pass)) return false;
        const TotalSet& root = near.Root();
        if (!root.divisible) return true;
        const Int128 band = BandOf(pass);
        const bool whole = everything || (windowLo <= root.least && root.most <= windowHi) || (band > 0 && radius > band);
        // Every total within the radius is in this window with all its
        // divisions; one farther may have nearer ones beyond it.
        std::vector<Int128> totals;
        for (const Int128 total : near.RootTotals())
            if ((whole || Within(total, radius, target)) && listed.count(total) == 0) totals.push_back(total);
        std::sort(totals.begin(), totals.end(), nearer);
        for (const Int128 total : totals) {
            if (!near.ListDivisions(total, count, result.divisions)) return false;
            if (result.divisions.size() >= count) return true;
            listed.insert(total);
        }
        if (whole) return true;
    }
}

}  // namespace

ClosestDivisions DivisionsClosestToArea(const EngineTables& t, double menkei, bool useHeron, size_t count,
                                        const ClosestLimits& limits) {
    ClosestDivisions result;
    if (t.xynum < 3 || count == 0) return result;
    const std::optional<AreaUnits> units = CandidateAreaUnits(t, useHeron, menkei);
    if (!units) return result;
    const std::optional<Int128> floor = FloorOf(units->target);
    if (!floor) return result;
    {
        NearTotals every(t, units->units, limits.maxBitsetBytes, limits.maxExactWork);
        if (!every.HasRoot()) return result;
        if (ListNearest(every, units->target, *floor, count, Pass::EveryTotal, result)) {
            result.complete = result.exact = true;
            return result;
        }
    }
    for (const Pass band : {limits.narrowBand, limits.wideBand}) {
        result = ClosestDivisions{};
        NearTotals banded(t, units->units, limits.maxBitsetBytes, limits.maxBandWork);
        result.complete = ListNearest(banded, units->target, *floor, count, band, result);
        if (result.divisions.size() >= count) break;
    }
    return result;
}

}  // namespace zelkan
