#pragma once
// Sets of whole-number totals as bitsets placed at a first total, and the
// sums of two such sets: the reachable totals of the parts of a parcel, one
// bit per unit of the printed areas' last decimal.
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/decimal_units.h"

namespace zelkan {

// A shift this far either way lands beyond any set: a set holds fewer than
// 2^40 bits.
inline constexpr Int128 kFarShift = static_cast<Int128>(1) << 60;

// The totals of one part that can still give a whole-parcel total inside
// the window being looked at.
struct TotalSet {
    bool divisible = false;            // the part has a division with the allowed candidates
    Int128 least = 0, most = 0;        // its smallest and largest total
    Int128 outLeast = 0, outMost = 0;  // the same for the rest of the parcel
    Int128 lo = 0;                     // the first total the bitset holds
    std::vector<uint64_t> words;       // bit x: total lo + x is reachable
    int64_t runs = 0;                  // runs of consecutive reachable totals

    bool Has(Int128 total) const;
    // The last total the bitset has room for.
    Int128 Last() const { return lo + static_cast<Int128>(words.size()) * 64 - 1; }
};

// The totals of a part with nothing to divide (a side of the parcel, or the
// rest beyond the whole parcel): 0 alone.
const TotalSet& OnlyZero();

// Runs of set bits as (first bit, length).
using BitRuns = std::vector<std::pair<uint64_t, uint64_t>>;
void ListRuns(const std::vector<uint64_t>& words, BitRuns& runs);

// Sets `set.runs` from its words.
void CountRuns(TotalSet& set, BitRuns& scratch);

// into |= from shifted by `shift` bits (either way); bits that fall outside
// into are dropped. The number of words of into written.
uint64_t OrShifted(std::vector<uint64_t>& into, const std::vector<uint64_t>& from, int64_t shift);

// into |= from, where both are placed.
void OrInto(TotalSet& into, const TotalSet& from);

// Sums of sets, counting the 64-bit words combined against a limit.
class TotalSums {
public:
    explicit TotalSums(uint64_t maxWordOperations) : limit_(maxWordOperations) {}

    // set |= left + right + units, for the totals set has room for; false
    // beyond the limit. Needs the runs of left and right counted.
    bool SumInto(TotalSet& set, const TotalSet& left, const TotalSet& right, Int128 units);

    // Counts other work against the same limit; false beyond it.
    bool Charge(uint64_t words) {
        work_ += words;
        return work_ <= limit_;
    }
    uint64_t work() const { return work_; }

private:
    void Widen(const std::vector<uint64_t>& words, uint64_t longest);

    uint64_t limit_;
    uint64_t work_ = 0;
    BitRuns runs_;
    std::vector<std::vector<uint64_t>> widened_;
};

}  // namespace zelkan
