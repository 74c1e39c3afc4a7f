#include "engine/total_sets.h"

#include <algorithm>
#include <bit>

namespace zelkan {

bool TotalSet::Has(Int128 total) const {
    if (total < lo) return false;
    const Int128 x = total - lo;
    if (x >= static_cast<Int128>(words.size()) * 64) return false;
    return (words[static_cast<size_t>(x / 64)] >> static_cast<unsigned>(x % 64) & 1) != 0;
}

const TotalSet& OnlyZero() {
    static const TotalSet kOnlyZero{true, 0, 0, 0, 0, 0, {1}, 1};
    return kOnlyZero;
}

void ListRuns(const std::vector<uint64_t>& words, BitRuns& runs) {
    runs.clear();
    bool open = false;
    for (size_t w = 0; w < words.size(); ++w) {
        uint64_t bits = words[w];
        if (open && bits == ~uint64_t{0}) {
            runs.back().second += 64;
            continue;
        }
        uint64_t position = 0;
        while (position < 64) {
            if (open) {
                const auto ones = static_cast<uint64_t>(std::countr_one(bits));
                runs.back().second += ones;
                position += ones;
                bits = ones >= 64 ? 0 : bits >> ones;
                if (position < 64) open = false;
            } else {
                if (bits == 0) break;
                const auto zeros = static_cast<uint64_t>(std::countr_zero(bits));
                position += zeros;
                bits >>= zeros;
                runs.emplace_back(w * 64 + position, 0);
                open = true;
            }
        }
    }
}

void CountRuns(TotalSet& set, BitRuns& scratch) {
    ListRuns(set.words, scratch);
    set.runs = static_cast<int64_t>(scratch.size());
}

// The loop runs only over the words that land inside into, each written
// once from its two sources, so that the compiler can keep it free of
// branches.
uint64_t OrShifted(std::vector<uint64_t>& into, const std::vector<uint64_t>& from, int64_t shift) {
    const auto intoSize = static_cast<int64_t>(into.size());
    const auto fromSize = static_cast<int64_t>(from.size());
    const int64_t words = shift >= 0 ? shift / 64 : -((-shift + 63) / 64);
    const auto bit = static_cast<unsigned>(shift - words * 64);  // 0..63
    // into[t] takes from[t - words] << bit and from[t - words - 1] >> (64 - bit).
    const int64_t first = std::max<int64_t>(0, words);
    const int64_t last = std::min<int64_t>(intoSize, fromSize + words + (bit != 0 ? 1 : 0));
    if (first >= last) return 0;
    uint64_t* out = into.data();
    const uint64_t* in = from.data();
    const auto combined = static_cast<uint64_t>(last - first);
    if (bit == 0) {
        for (int64_t t = first; t < last; ++t) out[t] |= in[t - words];
        return combined;
    }
    // The ends, where one of the two sources lies outside from.
    const auto low = [&](int64_t t) { return t - words < fromSize ? in[t - words] << bit : 0; };
    const auto high = [&](int64_t t) { return t - words - 1 >= 0 ? in[t - words - 1] >> (64 - bit) : 0; };
    int64_t t = first;
    if (t - words - 1 < 0) {
        out[t] |= low(t) | high(t);
        ++t;
    }
    const int64_t middleEnd = std::min(last, fromSize + words);
    for (; t < middleEnd; ++t) out[t] |= (in[t - words] << bit) | (in[t - words - 1] >> (64 - bit));
    for (; t < last; ++t) out[t] |= low(t) | high(t);
    return combined;
}

void OrInto(TotalSet& into, const TotalSet& from) {
    const Int128 shift = from.lo - into.lo;
    if (shift > kFarShift || shift < -kFarShift) return;
    OrShifted(into.words, from.words, static_cast<int64_t>(shift));
}

// Every run of reachable totals of the set with fewer runs shifts the other
// set, widened by the run's length.
bool TotalSums::SumInto(TotalSet& set, const TotalSet& left, const TotalSet& right, Int128 units) {
    if (left.words.empty() || right.words.empty() || set.words.empty()) return true;
    const Int128 shift = units + left.lo + right.lo - set.lo;
    if (shift > kFarShift || shift < -kFarShift) return true;
    const auto offset = static_cast<int64_t>(shift);
    const bool leftFewer = left.runs <= right.runs;
    const TotalSet& runs = leftFewer ? left : right;
    const TotalSet& other = leftFewer ? right : left;
    ListRuns(runs.words, runs_);
    uint64_t longest = 1;
    for (const auto& [start, length] : runs_) longest = std::max(longest, length);
    Widen(other.words, longest);
    // Reading the runs and copying the other set cost their words, whether
    // or not anything lands inside set.
    if (!Charge(runs.words.size() + widened_[0].size())) return false;
    for (const auto& [start, length] : runs_) {
        // A run of length L: the widening by the largest power of two
        // 2^k <= L, placed at both ends of the run.
        const auto k = static_cast<size_t>(std::bit_width(length) - 1);
        const int64_t first = offset + static_cast<int64_t>(start);
        uint64_t combined = OrShifted(set.words, widened_[k], first);
        if (length > (uint64_t{1} << k))
            combined += OrShifted(set.words, widened_[k], first + static_cast<int64_t>(length - (uint64_t{1} << k)));
        if (!Charge(combined + 1)) return false;  // a run far outside set combines nothing yet costs a look
    }
    return true;
}

// widened_[k] = words | words << 1 | ... | words << (2^k - 1), for 2^k <= longest.
void TotalSums::Widen(const std::vector<uint64_t>& words, uint64_t longest) {
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

}  // namespace zelkan
