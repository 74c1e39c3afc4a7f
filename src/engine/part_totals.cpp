#include "engine/part_totals.h"

#include <algorithm>
#include <cmath>

namespace zelkan {

namespace {

// Clears the bits from `keep` on: totals beyond the window that the
// bitset's last word has room for.
void ClearFrom(std::vector<uint64_t>& words, Int128 keep) {
    if (keep >= static_cast<Int128>(words.size()) * 64) return;
    const auto bit = static_cast<size_t>(std::max<Int128>(keep, 0));
    if (bit % 64 != 0) words[bit / 64] &= (uint64_t{1} << (bit % 64)) - 1;
    std::fill(words.begin() + static_cast<ptrdiff_t>((bit + 63) / 64), words.end(), 0);
}

}  // namespace

Int128 BandOf(Pass pass) {
    return pass >= Pass::Band256 ? static_cast<Int128>(1) << static_cast<unsigned>(pass) : 0;
}

PartTotals::PartTotals(const PolygonParts& model, const std::vector<Int128>& units, uint64_t maxBitsetBytes,
                       uint64_t maxWordOperations)
    : model_(model), units_(units), maxBitsetBytes_(maxBitsetBytes), sets_(model.parts.size()),
      widths_(model.parts.size()), sums_(maxWordOperations) {}

bool PartTotals::ComputeRanges(const std::vector<uint8_t>& allowed) {
    if (!Charge(allowed.size() + sets_.size())) return false;
    InsideRanges(allowed);
    if (Root().divisible) OutsideRanges(allowed);
    return true;
}

bool PartTotals::Compute(const std::vector<uint8_t>& allowed, Int128 windowLo, Int128 windowHi, Pass pass) {
    if (!ComputeRanges(allowed)) return false;
    if (!Root().divisible) return true;
    if (!Windows(windowLo, windowHi, pass)) return false;
    for (size_t id = 0; id < sets_.size(); ++id) {
        TotalSet& set = sets_[id];
        if (set.words.empty()) continue;
        for (const PartWay& way : model_.parts[id].ways) {
            if (!Usable(way, allowed)) continue;
            if (!sums_.SumInto(set, Set(way.left), Set(way.right), Units(way))) return false;
        }
        ClearFrom(set.words, widths_[id]);
        CountRuns(set, runs_);
    }
    return true;
}

// Smallest and largest totals of every part, smaller parts first.
void PartTotals::InsideRanges(const std::vector<uint8_t>& allowed) {
    for (size_t id = 0; id < sets_.size(); ++id) {
        TotalSet& set = sets_[id];
        set.divisible = false;
        set.words.clear();
        for (const PartWay& way : model_.parts[id].ways) {
            if (!Usable(way, allowed)) continue;
            const Int128 least = Units(way) + Set(way.left).least + Set(way.right).least;
            const Int128 most = Units(way) + Set(way.left).most + Set(way.right).most;
            if (!set.divisible || least < set.least) set.least = least;
            if (!set.divisible || most > set.most) set.most = most;
            set.divisible = true;
        }
    }
}

// The same for the rest of the parcel beyond each chord, larger parts
// first: the rest beyond a smaller part is the rest beyond its chord, the
// triangle and the part on the triangle's other side.
void PartTotals::OutsideRanges(const std::vector<uint8_t>& allowed) {
    std::vector<uint8_t> reached(sets_.size(), 0);
    reached[static_cast<size_t>(model_.root)] = 1;
    Part(model_.root).outLeast = Part(model_.root).outMost = 0;
    for (size_t id = sets_.size(); id-- > 0;) {
        if (reached[id] == 0 || !sets_[id].divisible) continue;
        const TotalSet& set = sets_[id];
        for (const PartWay& way : model_.parts[id].ways) {
            if (!Usable(way, allowed)) continue;
            const auto reach = [&](int32_t part, int32_t beside) {
                if (part == kSidePart) return;
                TotalSet& inner = Part(part);
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
    // A part no division of the parcel uses holds nothing.
    for (size_t id = 0; id < sets_.size(); ++id)
        if (reached[id] == 0) sets_[id].divisible = false;
}

// Room for each part's totals that can still matter. Narrowed, each part
// keeps a sixteenth of its range on either side of the point that lies
// where the window lies in the whole parcel's range: rounding that leans
// one way leans so in every part. Banded, each part keeps `band` units on
// either side of its area's share of the window: the shares of a
// division's parts add up to the window, and the printed areas of a part
// stray from its share only by their rounding, so that where the totals
// are dense this finds the ones near the coordinate area with little room
// per part.
bool PartTotals::Windows(Int128 windowLo, Int128 windowHi, Pass pass) {
    constexpr Int128 kNarrowFrom = 256;  // narrower parts are kept whole
    const TotalSet& root = Root();
    long double position = 0.5L;
    if (root.most > root.least) {
        const Int128 middle = windowLo / 2 + windowHi / 2;
        position = static_cast<long double>(std::clamp(middle, root.least, root.most) - root.least) /
                   static_cast<long double>(root.most - root.least);
    }
    const long double middle = static_cast<long double>(windowLo / 2 + windowHi / 2);
    uint64_t bytes = 0;
    for (size_t id = 0; id < sets_.size(); ++id) {
        TotalSet& set = sets_[id];
        if (!set.divisible) continue;
        Int128 lo = std::max(set.least, windowLo - set.outMost);
        Int128 hi = std::min(set.most, windowHi - set.outLeast);
        if (const Int128 band = BandOf(pass); band > 0) {
            const auto centre = static_cast<Int128>(std::floor(middle * model_.parts[id].share));
            lo = std::max(lo, centre - band);
            hi = std::min(hi, centre + band);
        }
        const Int128 range = set.most - set.least;
        if (pass == Pass::Narrowed && range > kNarrowFrom) {
            const Int128 centre = set.least + static_cast<Int128>(position * static_cast<long double>(range));
            lo = std::max(lo, centre - range / 16);
            hi = std::min(hi, centre + range / 16);
        }
        if (lo > hi) continue;  // nothing this part reaches can matter
        const Int128 width = hi - lo + 1;
        if (width > static_cast<Int128>(maxBitsetBytes_) * 8) return false;
        const auto words = static_cast<size_t>((width + 63) / 64);
        bytes += words * sizeof(uint64_t);
        if (bytes > maxBitsetBytes_) return false;
        set.lo = lo;
        set.words.assign(words, 0);
        widths_[id] = width;
    }
    return true;
}

}  // namespace zelkan
