#pragma once
// A buffer of tens of megabytes to be filled whole (a file read in one
// piece), not cleared first. Where the system offers large pages it is
// asked for them: a buffer of 4 KB pages costs a page fault every 4 KB
// touched, which on a virtual machine took longer than reading the file.
#include <cstddef>
#include <memory>
#include <memory_resource>
#include <vector>

namespace zelkan {

struct LargeBufferRelease {
    void operator()(char* bytes) const;
};

using LargeBuffer = std::unique_ptr<char[], LargeBufferRelease>;

// Throws std::bad_alloc when the memory is not there.
LargeBuffer AllocateLargeBuffer(size_t size);

// Large buffers for the arena of tables that are built once and dropped
// whole (std::pmr::monotonic_buffer_resource above it): tens of
// megabytes of small entries, which from the heap took a page fault for
// every 4 KB and a call of malloc for every entry.
class LargeBufferResource : public std::pmr::memory_resource {
private:
    void* do_allocate(size_t bytes, size_t alignment) override;
    void do_deallocate(void* p, size_t bytes, size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

    std::vector<LargeBuffer> buffers_;
};

}  // namespace zelkan
