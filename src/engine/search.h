#pragma once
// The depth-first search for divisions of the parcel into candidate
// triangles, and the greedy pass of the fast mode.
#include <cstdint>

#include "engine/search_control.h"
#include "engine/tables.h"

namespace zelkan {

// True when a side of a placed triangle (boundary sides excepted) crosses AB.
bool CrossesTriTable(const EngineTables& t, const TAcadPoint& A, const TAcadPoint& B);

// True when a side of triangle (i, j, k) crosses a side of a placed triangle.
bool ConflictsWithTriTable(const EngineTables& t, int32_t i, int32_t j, int32_t k);

// True when a stored division's triangles (by st) are the first ones of tritable.
bool IsDuplicateSet(const EngineTables& t);

// tritable[1..trinum] in ascending st order.
void SortTriTable(EngineTables& t);

// Fast mode: every candidate, in sorted order, that crosses none placed
// before it. The result is tritable itself; nothing is stored.
void FastTriangulate(EngineTables& t);

// The full search, in the control flow that decides which divisions are
// stored, in which order, and how many duplicates are counted: every
// candidate becomes the first triangle in turn, each level scans the
// candidates after its parent's, and a combination that cannot be extended
// is recorded when it is as deep as the deepest seen.
class TriangulationSearch {
public:
    // calcTimeLimit: milliseconds per first triangle, 0 for none.
    TriangulationSearch(EngineTables& tables, SearchControl& control, MillisecondClock& clock,
                        uint32_t calcTimeLimit);

    void trianproc();

    const SearchState& state() const { return state_; }
    // The next division would have passed the store's memory budget: the
    // search ended there as on a stop request.
    bool memoryFull() const { return memoryFull_; }
    // The time limit cut a first triangle short.
    bool timedOut() const { return timedOut_; }
    // Levels entered (getsankakuloop calls that did not return at once).
    uint64_t nodes() const { return nodes_; }

private:
    void getsankakuloop(int32_t ttt, int32_t& saveth);
    bool NextFreeCandidate(int32_t& pos, int32_t& i, int32_t& j, int32_t& k);
    bool TimeUp();
    bool Stopped() { return memoryFull_ || control_.StopRequested(); }

    EngineTables& t_;
    SearchControl& control_;
    MillisecondClock& clock_;
    uint32_t calcTimeLimit_;
    SearchState state_;
    uint64_t nodes_ = 0;
    bool memoryFull_ = false;
    bool timedOut_ = false;
};

}  // namespace zelkan
