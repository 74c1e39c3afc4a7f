#include "engine/memory_budget.h"

#include <algorithm>

namespace zelkan {

uint64_t DefaultStoreBudget() {
    constexpr uint64_t kGiB = uint64_t{1} << 30;
    const uint64_t physical = PhysicalMemory();
    return physical == 0 ? kGiB : std::min(physical / 4, 4 * kGiB);
}

}  // namespace zelkan
