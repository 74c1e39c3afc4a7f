#pragma once
// The inner sides a result drawing has drawn so far: each is drawn once,
// though two triangles share it.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace zelkan {

class DrawnSides {
public:
    // Either order of the ends.
    bool Has(int32_t a, int32_t b) const {
        return std::find(sides_.begin(), sides_.end(), Ordered(a, b)) != sides_.end();
    }
    // Adds (a, b), smaller number first, unless it is there already.
    void Add(int32_t a, int32_t b) {
        // A division of at most 1000 triangles has fewer inner sides than that.
        if (Has(a, b) || sides_.size() >= kMaxSides) return;
        sides_.push_back(Ordered(a, b));
    }
    const std::vector<std::pair<int32_t, int32_t>>& sides() const { return sides_; }

private:
    static constexpr size_t kMaxSides = 1000;
    static std::pair<int32_t, int32_t> Ordered(int32_t a, int32_t b) { return a < b ? std::pair{a, b} : std::pair{b, a}; }
    std::vector<std::pair<int32_t, int32_t>> sides_;
};

}  // namespace zelkan
