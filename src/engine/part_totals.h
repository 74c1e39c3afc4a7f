#pragma once
// The whole-number totals that the divisions of each part of a parcel's
// polygon reach, as bitsets, with the smallest and largest total of each
// part and of the rest of the parcel beyond it. The exact selection and the
// list of divisions nearest the coordinate area both build on them.
#include <cstdint>
#include <vector>

#include "engine/decimal_units.h"
#include "engine/polygon_parts.h"
#include "engine/total_sets.h"

namespace zelkan {

// What each part keeps of its totals in a pass over the parts (see
// PartTotals::Compute).
enum class Pass : uint8_t {
    EveryTotal = 0,  // all that can still give a total in the window: a total not found is not reachable
    Narrowed = 1,    // a sixteenth of its range either side of where the window lies in the whole range
    // Its share of the window, give or take 2^k units.
    Band256 = 8, Band512, Band1024, Band2048, Band4096, Band8192, Band16384, Band32768, Band65536,
};

// The bands of the quick passes, each twice the one before: the band that
// finds a total is at most twice as wide as it needs to be.
inline constexpr Pass kBandPasses[] = {Pass::Band256,   Pass::Band512,   Pass::Band1024,
                                       Pass::Band2048,  Pass::Band4096,  Pass::Band8192,
                                       Pass::Band16384, Pass::Band32768, Pass::Band65536};

// The units either side of a part's share that a banded pass keeps; 0 for
// the others.
Int128 BandOf(Pass pass);

// The window of every total, far beyond any total the printed areas can add
// up to; a window that would reach further than kWidestReach either way is
// taken as that one.
inline constexpr Int128 kEveryTotal = static_cast<Int128>(1) << 120;
inline constexpr Int128 kWidestReach = static_cast<Int128>(1) << 100;

class PartTotals {
public:
    // units[c]: candidate c's printed area in whole units; the model and the
    // units are kept by reference and must outlive the totals. The parts'
    // bitsets together stay within maxBitsetBytes; the words they combine
    // are counted against maxWordOperations.
    PartTotals(const PolygonParts& model, const std::vector<Int128>& units, uint64_t maxBitsetBytes,
               uint64_t maxWordOperations);
    // Neither copied nor moved: an owner of the model would leave the copy
    // pointing at its own.
    PartTotals(const PartTotals&) = delete;
    PartTotals& operator=(const PartTotals&) = delete;

    // The totals of every part with the allowed candidates (allowed[c] != 0),
    // as far as they can give a whole-parcel total in [windowLo, windowHi];
    // a set holds no total beyond its part's window. False beyond the
    // limits.
    // Narrowed or banded, each part keeps only some of its totals: fewer
    // totals, all of them reachable, so a total found then is reachable; one
    // not found may still be.
    bool Compute(const std::vector<uint8_t>& allowed, Int128 windowLo, Int128 windowHi,
                 Pass pass = Pass::EveryTotal);

    // The smallest and largest totals only, of every part and of the rest
    // beyond it, with no bitset. False beyond the limits.
    bool ComputeRanges(const std::vector<uint8_t>& allowed);

    const PolygonParts& model() const { return model_; }
    const TotalSet& Root() const { return sets_[static_cast<size_t>(model_.root)]; }
    const TotalSet& Set(int32_t part) const {
        return part == kSidePart ? OnlyZero() : sets_[static_cast<size_t>(part)];
    }
    Int128 Units(const PartWay& way) const { return units_[static_cast<size_t>(way.candidate)]; }
    // The way's candidate is allowed and both parts beside it divisible.
    bool Usable(const PartWay& way, const std::vector<uint8_t>& allowed) const {
        return allowed[static_cast<size_t>(way.candidate)] != 0 && Set(way.left).divisible &&
               Set(way.right).divisible;
    }

    uint64_t maxBitsetBytes() const { return maxBitsetBytes_; }
    TotalSums& sums() { return sums_; }
    // Counts other work against the same limit; false beyond it.
    bool Charge(uint64_t words) { return sums_.Charge(words); }
    uint64_t work() const { return sums_.work(); }

private:
    TotalSet& Part(int32_t part) { return sets_[static_cast<size_t>(part)]; }
    void InsideRanges(const std::vector<uint8_t>& allowed);
    void OutsideRanges(const std::vector<uint8_t>& allowed);
    bool Windows(Int128 windowLo, Int128 windowHi, Pass pass);

    const PolygonParts& model_;
    const std::vector<Int128>& units_;
    uint64_t maxBitsetBytes_;
    std::vector<TotalSet> sets_;
    std::vector<Int128> widths_;  // of each part's window, in totals
    TotalSums sums_;
    BitRuns runs_;  // scratch
};

}  // namespace zelkan
