#include "engine/total_sets.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace zelkan {
namespace {

std::vector<uint64_t> RandomWords(std::mt19937_64& random, size_t count, int density) {
    std::vector<uint64_t> words(count);
    for (uint64_t& w : words) {
        w = random();
        for (int d = 0; d < density; ++d) w &= random();  // sparser with each pass
    }
    return words;
}

bool Bit(const std::vector<uint64_t>& words, int64_t x) {
    return x >= 0 && x < static_cast<int64_t>(words.size()) * 64 &&
           (words[static_cast<size_t>(x / 64)] >> (x % 64) & 1) != 0;
}

std::vector<uint64_t> Words(size_t count, const std::set<int64_t>& bits) {
    std::vector<uint64_t> words(count);
    for (const int64_t x : bits)
        if (x >= 0 && x < static_cast<int64_t>(count) * 64) words[static_cast<size_t>(x / 64)] |= uint64_t{1} << (x % 64);
    return words;
}

TEST(TotalSets, OrShiftedMovesEveryBitDropsThoseOutsideAndCountsTheWordsItWrites) {
    std::mt19937_64 random(7);
    for (const size_t intoSize : {1u, 3u, 7u}) {
        for (const size_t fromSize : {1u, 2u, 5u}) {
            for (const int64_t shift : {-449, -320, -65, -64, -63, -1, 0, 1, 63, 64, 65, 127, 128, 200, 449}) {
                SCOPED_TRACE(std::to_string(intoSize) + " " + std::to_string(fromSize) + " " + std::to_string(shift));
                const std::vector<uint64_t> from = RandomWords(random, fromSize, 0);
                std::vector<uint64_t> into = RandomWords(random, intoSize, 2);
                std::set<int64_t> expected;
                for (int64_t x = 0; x < static_cast<int64_t>(intoSize) * 64; ++x)
                    if (Bit(into, x) || Bit(from, x - shift)) expected.insert(x);
                // The words counted are those of into that from, shifted, overlaps.
                int64_t overlapped = 0;
                for (int64_t t = 0; t < static_cast<int64_t>(intoSize); ++t)
                    if (t * 64 + 63 >= shift && t * 64 <= shift + static_cast<int64_t>(fromSize) * 64 - 1) ++overlapped;
                EXPECT_EQ(OrShifted(into, from, shift), static_cast<uint64_t>(overlapped));
                EXPECT_EQ(into, Words(intoSize, expected));
            }
        }
    }
}

TEST(TotalSets, ListRunsFollowsRunsAcrossWords) {
    std::mt19937_64 random(11);
    std::vector<std::vector<uint64_t>> cases = {
        {},
        {0},
        {~uint64_t{0}},
        {~uint64_t{0}, ~uint64_t{0}, 1},                        // one run over two words and a bit
        {uint64_t{1} << 63, 1, 0, uint64_t{3} << 62, ~uint64_t{0}},  // runs that cross word ends
    };
    for (int density = 0; density < 4; ++density) cases.push_back(RandomWords(random, 6, density));
    for (const std::vector<uint64_t>& words : cases) {
        BitRuns expected;
        for (int64_t x = 0; x < static_cast<int64_t>(words.size()) * 64; ++x) {
            if (!Bit(words, x)) continue;
            if (x > 0 && Bit(words, x - 1)) {
                ++expected.back().second;
            } else {
                expected.emplace_back(static_cast<uint64_t>(x), 1);
            }
        }
        BitRuns runs;
        ListRuns(words, runs);
        EXPECT_EQ(runs, expected);
    }
}

// Sets of totals placed at arbitrary first totals, summed into a window
// that cuts both ends: every total a + b + units inside the window, no other.
TEST(TotalSets, SumIntoHoldsEverySumInsideTheWindow) {
    std::mt19937_64 random(13);
    BitRuns scratch;
    for (int trial = 0; trial < 60; ++trial) {
        SCOPED_TRACE(trial);
        TotalSet left, right, set;
        left.lo = static_cast<Int128>(random() % 1000) - 500;
        right.lo = static_cast<Int128>(random() % 1000) - 500;
        left.words = RandomWords(random, 1 + random() % 4, static_cast<int>(random() % 4));
        right.words = RandomWords(random, 1 + random() % 4, static_cast<int>(random() % 4));
        CountRuns(left, scratch);
        CountRuns(right, scratch);
        const Int128 units = static_cast<Int128>(random() % 300);
        set.lo = left.lo + right.lo + units + static_cast<Int128>(random() % 200) - 100;
        set.words.assign(1 + random() % 6, 0);
        TotalSums sums(UINT64_MAX);
        ASSERT_TRUE(sums.SumInto(set, left, right, units));
        std::set<int64_t> expected;
        for (int64_t a = 0; a < static_cast<int64_t>(left.words.size()) * 64; ++a) {
            if (!Bit(left.words, a)) continue;
            for (int64_t b = 0; b < static_cast<int64_t>(right.words.size()) * 64; ++b) {
                if (Bit(right.words, b))
                    expected.insert(static_cast<int64_t>(left.lo + a + right.lo + b + units - set.lo));
            }
        }
        EXPECT_EQ(set.words, Words(set.words.size(), expected));
    }
}

TEST(TotalSets, TheLimitEndsASumAndFarShiftsAddNothing) {
    TotalSet one = OnlyZero(), set;
    set.lo = 0;
    set.words.assign(2, 0);
    TotalSums none(0);
    EXPECT_FALSE(none.SumInto(set, one, one, 5));
    TotalSums enough(UINT64_MAX);
    ASSERT_TRUE(enough.SumInto(set, one, one, 5));
    EXPECT_TRUE(set.Has(5));
    EXPECT_FALSE(set.Has(4));
    EXPECT_FALSE(set.Has(-1));
    EXPECT_FALSE(set.Has(128));
    ASSERT_TRUE(enough.SumInto(set, one, one, kFarShift + 1));
    ASSERT_TRUE(enough.SumInto(set, one, one, -kFarShift - 1));
    EXPECT_EQ(set.words, (std::vector<uint64_t>{uint64_t{1} << 5, 0}));
}

// Runs that all land outside the set write nothing, yet each is looked at:
// many of them still end a sum at the limit.
TEST(TotalSets, RunsThatMissTheSetCountAgainstTheLimit) {
    BitRuns scratch;
    TotalSet scattered;  // every other total: 32 runs a word
    scattered.words.assign(64, 0x5555555555555555u);
    CountRuns(scattered, scratch);
    ASSERT_EQ(scattered.runs, 64 * 32);
    TotalSet set;
    set.lo = 1'000'000;  // beyond every sum
    set.words.assign(1, 0);
    TotalSums limited(1000);
    EXPECT_FALSE(limited.SumInto(set, scattered, scattered, 0));
    TotalSums ample(UINT64_MAX);
    EXPECT_TRUE(ample.SumInto(set, scattered, scattered, 0));
    EXPECT_EQ(set.words, std::vector<uint64_t>{0});
    EXPECT_GE(ample.work(), 64u * 32u);
}

}  // namespace
}  // namespace zelkan
