#include "geometry/large_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory_resource>
#include <string>
#include <unordered_map>

namespace zelkan {
namespace {

// Sizes on either side of a large page: every byte can be written and read
// back, and the buffer is aligned for any object.
TEST(LargeBuffer, HoldsEveryByteOfItsSize) {
    for (const size_t size : {size_t{0}, size_t{1}, size_t{4096}, (size_t{2} << 20) - 1, (size_t{2} << 20) + 1,
                              size_t{5} << 20}) {
        const LargeBuffer buffer = AllocateLargeBuffer(size);
        ASSERT_NE(buffer.get(), nullptr) << size;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.get()) % alignof(std::max_align_t), 0u) << size;
        for (size_t n = 0; n < size; ++n) buffer[n] = static_cast<char>(n * 7);
        size_t wrong = 0;
        for (size_t n = 0; n < size; ++n) wrong += buffer[n] != static_cast<char>(n * 7);
        EXPECT_EQ(wrong, 0u) << size;
    }
}

std::string Key(size_t n) {
    std::string key = "P";
    key += std::to_string(n);
    return key;
}

// A table of a few hundred thousand entries in an arena over the
// resource: built, read back, and dropped with the arena.
TEST(LargeBuffer, AnArenaOverTheResourceHoldsATableOfManyEntries) {
    LargeBufferResource buffers;
    std::pmr::monotonic_buffer_resource arena(size_t{1} << 16, &buffers);
    {
        std::pmr::unordered_map<std::string, size_t> table(&arena);
        for (size_t n = 0; n < 300000; ++n) table.emplace(Key(n), n);
        ASSERT_EQ(table.size(), 300000u);
        size_t wrong = 0;
        for (size_t n = 0; n < 300000; n += 7) wrong += table.at(Key(n)) != n;
        EXPECT_EQ(wrong, 0u);
    }
    arena.release();  // the buffers given back before the resource goes
}

}  // namespace
}  // namespace zelkan
