#include "engine/memory_budget.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zelkan {

namespace {

uint64_t PhysicalMemory() {
#ifdef _WIN32
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
#else
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long size = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && size > 0 ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(size) : 0;
#endif
}

}  // namespace

uint64_t DefaultStoreBudget() {
    constexpr uint64_t kGiB = uint64_t{1} << 30;
    const uint64_t physical = PhysicalMemory();
    return physical == 0 ? kGiB : std::min(physical / 4, 4 * kGiB);
}

}  // namespace zelkan
