#pragma once
#include <cstdint>

namespace zelkan {

inline constexpr const char* kMemoryFullMessage = "検索結果がメモリの上限に達したため、検索を打ち切りました";

// How much the stored divisions may take: a quarter of the machine's
// physical memory, at most 4 GiB (1 GiB when the platform cannot tell).
uint64_t DefaultStoreBudget();

// The machine's physical memory in bytes, 0 when the platform cannot tell
// (one file per platform).
uint64_t PhysicalMemory();

}  // namespace zelkan
