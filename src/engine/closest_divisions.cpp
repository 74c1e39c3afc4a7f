#include "engine/closest_divisions.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <set>
#include <utility>

#include "engine/area_units.h"
#include "engine/decimal_units.h"
#include "engine/polygon_parts.h"

namespace zelkan {

namespace {

// The totals one part reaches, as far as they can still matter.
struct Totals {
    bool divisible = false;           // some division of the part lies in a division of the parcel
    Int128 least = 0, most = 0;       // its smallest and largest total
    Int128 outLeast = 0, outMost = 0; // the same for the rest of the parcel beyond its chord
    Int128 lo = 0;                    // the total of bit 0
    std::vector<uint64_t> words;      // bit x: total lo + x is reached
    size_t runs = 0;                  // runs of consecutive reached totals
    Int128 width = 0;                 // bits of its window; those beyond are cleared

    Int128 hi() const { return lo + static_cast<Int128>(words.size()) * 64 - 1; }
    bool Has(Int128 total) const {
        if (total < lo || total > hi()) return false;
        const Int128 x = total - lo;
        return (words[static_cast<size_t>(x / 64)] >> static_cast<unsigned>(x % 64) & 1) != 0;
    }
};

int64_t FloorDiv64(int64_t x) { return x >= 0 ? x / 64 : -((-x + 63) / 64); }

// into |= from shifted by `shift` bits either way; what falls outside into is
// dropped. The number of words combined.
uint64_t OrShifted(std::vector<uint64_t>& into, const std::vector<uint64_t>& from, int64_t shift) {
    const auto intoSize = static_cast<int64_t>(into.size());
    const auto fromSize = static_cast<int64_t>(from.size());
    const int64_t words = FloorDiv64(shift);
    const auto bit = static_cast<unsigned>(shift - words * 64);
    const int64_t first = std::max<int64_t>(0, -words - 1);
    const int64_t last = std::min<int64_t>(fromSize, intoSize - words);
    for (int64_t i = first; i < last; ++i) {
        const uint64_t w = from[static_cast<size_t>(i)];
        const int64_t at = i + words;
        if (at >= 0) into[static_cast<size_t>(at)] |= w << bit;
        if (bit != 0 && at + 1 < intoSize) into[static_cast<size_t>(at + 1)] |= w >> (64 - bit);
    }
    return static_cast<uint64_t>(std::max<int64_t>(0, last - first));
}

// The runs of set bits as (first bit, length).
void ListRuns(const std::vector<uint64_t>& words, std::vector<std::pair<uint64_t, uint64_t>>& runs) {
    runs.clear();
    bool open = false;
    for (size_t w = 0; w < words.size(); ++w) {
        const uint64_t bits = words[w];
        if (bits == ~uint64_t{0}) {
            if (open) {
                runs.back().second += 64;
            } else {
                runs.emplace_back(w * 64, 64);
                open = true;
            }
            continue;
        }
        uint64_t position = 0;
        while (position < 64) {
            const uint64_t rest = bits >> position;
            if (open) {
                const auto ones = static_cast<uint64_t>(std::countr_one(rest));
                runs.back().second += ones;
                position += ones;
                if (position < 64) open = false;
            } else {
                if (rest == 0) break;
                position += static_cast<uint64_t>(std::countr_zero(rest));
                runs.emplace_back(w * 64 + position, 0);
                open = true;
            }
        }
    }
}

class NearTotals {
public:
    NearTotals(const EngineTables& t, const std::vector<Int128>& units, uint64_t maxBitsetBytes, uint64_t maxWork)
        : units_(units), maxBitsetBytes_(maxBitsetBytes), maxWork_(maxWork), model_(PartsOfPolygon(t)),
          parts_(model_.parts), root_(model_.root) {
        sets_.resize(parts_.size());
    }

    bool HasRoot() const { return root_ != kNoPart; }
    const Totals& Root() const { return sets_[static_cast<size_t>(root_)]; }

    // Every part's totals that can give a whole-parcel total in
    // [windowLo, windowHi]: each bit is a total a division of the part
    // reaches, and every such total in the part's window is there, since a
    // part's window holds whatever the rest of the parcel can complete to
    // the parcel's window. Banded, a part keeps only the totals within
    // `band` units of its share of the window's middle. False beyond the
    // limits.
    bool Compute(Int128 windowLo, Int128 windowHi, int64_t band) {
        if (!Charge(parts_.size())) return false;
        InsideRanges();
        if (!Root().divisible) return true;
        OutsideRanges();
        if (!PlaceWindows(windowLo, windowHi, band)) return false;
        for (size_t id = 0; id < parts_.size(); ++id) {
            Totals& set = sets_[id];
            if (set.words.empty()) continue;
            for (const PartWay& way : parts_[id].ways) {
                if (!SumInto(set, Set(way.left), Set(way.right), Units(way))) return false;
            }
            ClearFrom(set.words, set.width);
            ListRuns(set.words, runs_);
            set.runs = runs_.size();
        }
        return true;
    }

    // The root's totals in the window of the last Compute.
    std::vector<Int128> RootTotals() {
        std::vector<Int128> totals;
        const Totals& root = Root();
        for (size_t w = 0; w < root.words.size(); ++w) {
            for (uint64_t bits = root.words[w]; bits != 0; bits &= bits - 1)
                totals.push_back(root.lo + static_cast<Int128>(w * 64 + static_cast<uint64_t>(std::countr_zero(bits))));
        }
        Charge(root.words.size());
        return totals;
    }

    // Appends the divisions of the parcel with this total (one the last
    // Compute holds) until `out` holds `count`. False when the work bound
    // ended it.
    bool ListDivisions(Int128 total, size_t count, std::vector<std::vector<int32_t>>& out) {
        pending_.assign(1, Task{root_, total});
        chosen_.clear();
        return List(count, out);
    }

private:
    struct Task {
        int32_t part = 0;
        Int128 total = 0;
    };

    const Totals& Set(int32_t part) const {
        static const Totals kNothingToDivide{true, 0, 0, 0, 0, 0, {1}, 1};
        return part == kSidePart ? kNothingToDivide : sets_[static_cast<size_t>(part)];
    }
    Totals& Mutable(int32_t part) { return sets_[static_cast<size_t>(part)]; }
    Int128 Units(const PartWay& way) const { return units_[static_cast<size_t>(way.candidate)]; }
    bool Usable(const PartWay& way) const { return Set(way.left).divisible && Set(way.right).divisible; }

    bool Charge(uint64_t work) {
        work_ += work;
        return work_ <= maxWork_;
    }

    void InsideRanges() {
        for (size_t id = 0; id < parts_.size(); ++id) {
            Totals& set = sets_[id];
            set.divisible = false;
            set.words.clear();
            for (const PartWay& way : parts_[id].ways) {
                if (!Usable(way)) continue;
                const Int128 least = Units(way) + Set(way.left).least + Set(way.right).least;
                const Int128 most = Units(way) + Set(way.left).most + Set(way.right).most;
                if (!set.divisible || least < set.least) set.least = least;
                if (!set.divisible || most > set.most) set.most = most;
                set.divisible = true;
            }
        }
    }

    // The rest beyond a smaller part is the rest beyond its chord, the
    // triangle and the part on the triangle's other side; a part that no
    // division of the parcel uses reaches nothing.
    void OutsideRanges() {
        std::vector<uint8_t> reached(parts_.size(), 0);
        reached[static_cast<size_t>(root_)] = 1;
        Mutable(root_).outLeast = Mutable(root_).outMost = 0;
        for (size_t id = parts_.size(); id-- > 0;) {
            if (reached[id] == 0 || !sets_[id].divisible) continue;
            const Totals& set = sets_[id];
            for (const PartWay& way : parts_[id].ways) {
                if (!Usable(way)) continue;
                const auto reach = [&](int32_t part, int32_t beside) {
                    if (part == kSidePart) return;
                    Totals& inner = Mutable(part);
                    const Int128 least = set.outLeast + Units(way) + Set(beside).least;
                    const Int128 most = set.outMost + Units(way) + Set(beside).most;
                    uint8_t& seen = reached[static_cast<size_t>(part)];
                    if (seen == 0 || least < inner.outLeast) inner.outLeast = least;
                    if (seen == 0 || most > inner.outMost) inner.outMost = most;
                    seen = 1;
                };
                reach(way.left, way.right);
                reach(way.right, way.left);
            }
        }
        for (size_t id = 0; id < parts_.size(); ++id)
            if (reached[id] == 0) sets_[id].divisible = false;
    }

    bool PlaceWindows(Int128 windowLo, Int128 windowHi, int64_t band) {
        const long double middle = static_cast<long double>(windowLo / 2 + windowHi / 2);
        uint64_t bytes = 0;
        for (size_t id = 0; id < sets_.size(); ++id) {
            Totals& set = sets_[id];
            if (!set.divisible) continue;
            Int128 lo = std::max(set.least, windowLo - set.outMost);
            Int128 hi = std::min(set.most, windowHi - set.outLeast);
            if (band > 0) {
                const auto centre = static_cast<Int128>(std::floor(middle * parts_[id].share));
                lo = std::max(lo, centre - band);
                hi = std::min(hi, centre + band);
            }
            if (lo > hi) continue;  // nothing this part reaches can matter
            const Int128 width = hi - lo + 1;
            if (width > static_cast<Int128>(maxBitsetBytes_) * 8) return false;
            const auto words = static_cast<size_t>((width + 63) / 64);
            bytes += words * sizeof(uint64_t);
            if (bytes > maxBitsetBytes_) return false;
            set.lo = lo;
            set.width = width;
            set.words.assign(words, 0);
        }
        return true;
    }

    // Bits from `keep` on are totals beyond the part's window.
    static void ClearFrom(std::vector<uint64_t>& words, Int128 keep) {
        if (keep >= static_cast<Int128>(words.size()) * 64) return;
        const auto bit = static_cast<size_t>(std::max<Int128>(keep, 0));
        if (bit % 64 != 0) words[bit / 64] &= (uint64_t{1} << (bit % 64)) - 1;
        std::fill(words.begin() + static_cast<ptrdiff_t>((bit + 63) / 64), words.end(), 0);
    }

    // set |= left + right + units: each run of the set with fewer runs adds
    // the other set widened by the run's length, as two copies of the other
    // widened by the largest power of two within that length.
    bool SumInto(Totals& set, const Totals& left, const Totals& right, Int128 units) {
        if (left.words.empty() || right.words.empty()) return true;
        const bool leftFewer = left.runs <= right.runs;
        const Totals& runSet = leftFewer ? left : right;
        const Totals& other = leftFewer ? right : left;
        const Int128 base = units + runSet.lo + other.lo - set.lo;
        const Int128 reach = static_cast<Int128>(set.words.size() + other.words.size() + 1) * 64;
        ListRuns(runSet.words, runs_);
        uint64_t longest = 1;
        for (const auto& run : runs_) longest = std::max(longest, run.second);
        Widen(other.words, longest);
        for (const auto& [start, length] : runs_) {
            const Int128 shift = base + static_cast<Int128>(start);
            if (shift > reach || shift < -reach - static_cast<Int128>(length)) continue;
            const auto k = static_cast<size_t>(std::bit_width(length) - 1);
            work_ += OrShifted(set.words, widened_[k], static_cast<int64_t>(shift));
            if (length > (uint64_t{1} << k))
                work_ += OrShifted(set.words, widened_[k], static_cast<int64_t>(shift) + static_cast<int64_t>(length - (uint64_t{1} << k)));
            if (work_ > maxWork_) return false;
        }
        return true;
    }

    // widened_[k] = words | words << 1 | ... | words << (2^k - 1).
    void Widen(const std::vector<uint64_t>& words, uint64_t longest) {
        const auto levels = static_cast<size_t>(std::bit_width(longest));
        const size_t size = words.size() + static_cast<size_t>(longest / 64) + 1;
        if (widened_.size() < levels) widened_.resize(levels);
        widened_[0].assign(size, 0);
        std::copy(words.begin(), words.end(), widened_[0].begin());
        for (size_t k = 1; k < levels; ++k) {
            widened_[k] = widened_[k - 1];
            work_ += OrShifted(widened_[k], widened_[k - 1], int64_t{1} << (k - 1));
        }
    }

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
            return Charge(chosen_.size());
        }
        const Task task = pending_.back();
        pending_.pop_back();
        bool ok = true;
        for (const PartWay& way : parts_[static_cast<size_t>(task.part)].ways) {
            if (!ok || out.size() >= count) break;
            const Totals& left = Set(way.left);
            const Totals& right = Set(way.right);
            if (left.words.empty() || right.words.empty()) continue;
            ok = ListSplits(way, task.total - Units(way), left, right, count, out);
        }
        pending_.push_back(task);
        return ok;
    }

    bool ListSplits(const PartWay& way, Int128 rest, const Totals& left, const Totals& right, size_t count,
                    std::vector<std::vector<int32_t>>& out) {
        const bool leftTried = left.words.size() <= right.words.size();
        const Totals& tried = leftTried ? left : right;
        const Totals& looked = leftTried ? right : left;
        // Only totals whose complement the other part can hold.
        const Int128 from = std::max(tried.lo, rest - looked.hi());
        const Int128 to = std::min(tried.hi(), rest - looked.lo);
        if (from > to) return true;
        const auto firstWord = static_cast<size_t>((from - tried.lo) / 64);
        const auto lastWord = static_cast<size_t>((to - tried.lo) / 64);
        for (size_t w = firstWord; w <= lastWord; ++w) {
            if (!Charge(1)) return false;
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

    const std::vector<Int128>& units_;
    uint64_t maxBitsetBytes_;
    uint64_t maxWork_;
    PolygonParts model_;
    const std::vector<PolygonPart>& parts_;
    int32_t root_;
    std::vector<Totals> sets_;
    std::vector<std::pair<uint64_t, uint64_t>> runs_;
    std::vector<std::vector<uint64_t>> widened_;
    std::vector<Task> pending_;
    std::vector<int32_t> chosen_;
    uint64_t work_ = 0;
};

// |total - target| <= radius.
bool Within(Int128 total, Int128 radius, const ExactTarget& target) {
    return CompareWithTarget(total + radius, target) >= 0 && CompareWithTarget(total - radius, target) <= 0;
}

// The divisions nearest the target, nearest first, into `result`: the
// window widens until it holds `count` divisions, or every total the parts
// keep. False when the work bound ended it.
bool ListNearest(NearTotals& near, const ExactTarget& target, Int128 floor, size_t count, int64_t band,
                 ClosestDivisions& result) {
    // Totals already listed whole, in an earlier, narrower window.
    std::set<Int128> listed;
    const auto nearer = [&target](Int128 a, Int128 b) { return Closer(a, b, target) || (!Closer(b, a, target) && a < b); };
    for (Int128 radius = 64;; radius *= 8) {
        const bool everything = radius > (static_cast<Int128>(1) << 100);
        const Int128 windowLo = everything ? -(static_cast<Int128>(1) << 120) : floor - radius;
        const Int128 windowHi = everything ? static_cast<Int128>(1) << 120 : floor + 1 + radius;
        if (!near.Compute(windowLo, windowHi, band)) return false;
        const Totals& root = near.Root();
        if (!root.divisible) return true;
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
        if (ListNearest(every, units->target, *floor, count, 0, result)) {
            result.complete = result.exact = true;
            return result;
        }
    }
    for (const int64_t band : {limits.narrowBand, limits.wideBand}) {
        result = ClosestDivisions{};
        NearTotals banded(t, units->units, limits.maxBitsetBytes, limits.maxBandWork);
        result.complete = ListNearest(banded, units->target, *floor, count, band, result);
        if (result.divisions.size() >= count) break;
    }
    return result;
}

}  // namespace zelkan
