#pragma once
// A buffer of tens of megabytes to be filled whole (a file read in one
// piece), not cleared first. Where the system offers large pages it is
// asked for them: a buffer of 4 KB pages costs a page fault every 4 KB
// touched, which on a virtual machine took longer than reading the file.
#include <cstddef>
#include <memory>

namespace zelkan {

struct LargeBufferRelease {
    void operator()(char* bytes) const;
};

using LargeBuffer = std::unique_ptr<char[], LargeBufferRelease>;

// Throws std::bad_alloc when the memory is not there.
LargeBuffer AllocateLargeBuffer(size_t size);

}  // namespace zelkan
