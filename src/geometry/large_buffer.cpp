#include "geometry/large_buffer.h"

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

}  // namespace zelkan
