#pragma once
// The search for divisions, storing exactly what TriangulationSearch stores
// (the same divisions in the same order, the same hhhmax and dupnum) with a
// fraction of the work:
// - conflicts between candidates are tested once, pairwise, with the same
//   crossing test in the same argument order, and kept as bitsets;
// - each level carries the set of candidates still compatible with its path;
// - a subtree is skipped when its depth plus an upper bound of the triangles
//   still placeable below it stays under hhhmax: nothing below it could be
//   stored and hhhmax could not change there.
// The stop request and the time limit are consulted where the reference
// consults them: before each first triangle and on entry to each level that
// is not skipped.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/search_control.h"
#include "engine/tables.h"

namespace zelkan {

class FastTriangulationSearch {
public:
    // Beyond this many candidates the pairwise tables would not fit in memory.
    static constexpr int32_t kMaxPairwiseCandidates = 16384;

    FastTriangulationSearch(EngineTables& tables, SearchControl& control, MillisecondClock& clock,
                            uint32_t calcTimeLimit);
    ~FastTriangulationSearch();

    static bool Fits(const EngineTables& t) { return t.tritempnum <= kMaxPairwiseCandidates; }

    void trianproc();

    const SearchState& state() const { return state_; }
    uint64_t nodes() const { return nodes_; }               // levels entered
    uint64_t usefulNodes() const { return usefulNodes_; }   // levels entered that led to a stored division
    bool wedgeBound() const;                                 // whether the angle bound was usable
    bool memoryFull() const { return memoryFull_; }          // ended by the store's memory budget
    bool timedOut() const { return timedOut_; }              // the time limit cut a first triangle short

    struct Tables;  // the pairwise conflicts and the wedges of the angle bound

private:
    int32_t Level(int32_t depth, const uint64_t* available, bool& recorded);
    // count: the candidates in available, or any number from the levels
    // still missing to hhhmax up (the bound is only compared with those).
    int32_t Bound(const uint64_t* available, int32_t count) const;
    // Whether the level after depth placed triangles, with these candidates
    // available, can reach no division as deep as hhhmax.
    bool Futile(int32_t depth, const uint64_t* available, int32_t count) const;
    bool EnterLevel();
    void Record(int32_t depth);

    EngineTables& t_;
    SearchControl& control_;
    MillisecondClock& clock_;
    uint32_t calcTimeLimit_;
    SearchState state_;
    uint64_t nodes_ = 0;
    uint64_t usefulNodes_ = 0;
    std::unique_ptr<Tables> tables_;
    std::vector<int32_t> path_;  // candidate index of each placed triangle, from 1
    bool memoryFull_ = false;
    bool timedOut_ = false;
};

}  // namespace zelkan
