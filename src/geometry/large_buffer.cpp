#include "geometry/large_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zelkan {

namespace {

// The size of a large page on x86-64 Linux; elsewhere the buffer is plain.
constexpr size_t kLargePage = size_t{2} << 20;

}  // namespace

void LargeBufferRelease::operator()(char* bytes) const { std::free(bytes); }

LargeBuffer AllocateLargeBuffer(size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (size >= kLargePage) {
        const size_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
        if (void* bytes = std::aligned_alloc(kLargePage, rounded)) {
            // Only advice: without large pages the buffer works the same.
            madvise(bytes, rounded, MADV_HUGEPAGE);
            return LargeBuffer(static_cast<char*>(bytes));
        }
        throw std::bad_alloc();
    }
#endif
    void* bytes = std::malloc(size == 0 ? 1 : size);
    if (bytes == nullptr) throw std::bad_alloc();
    return LargeBuffer(static_cast<char*>(bytes));
}

void* LargeBufferResource::do_allocate(size_t bytes, size_t alignment) {
    if (alignment > alignof(std::max_align_t)) throw std::bad_alloc();
    buffers_.push_back(AllocateLargeBuffer(bytes));
    return buffers_.back().get();
}

void LargeBufferResource::do_deallocate(void* p, size_t, size_t) {
    const auto found =
        std::find_if(buffers_.begin(), buffers_.end(), [p](const LargeBuffer& b) { return b.get() == p; });
    if (found != buffers_.end()) buffers_.erase(found);
}

}  // namespace zelkan
