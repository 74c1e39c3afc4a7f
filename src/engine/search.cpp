#include "engine/search.h"

#include <chrono>
#include <utility>

#include "engine/candidates.h"
#include "geometry/numbers.h"

namespace zelkan {

namespace {
const TAcadPoint& P(const EngineTables& t, int32_t v) { return t.xy[static_cast<size_t>(v)]; }
}  // namespace

uint32_t SteadyMillisecondClock::NowMs() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<uint32_t>(ms.count());
}

bool CrossesTriTable(const EngineTables& t, const TAcadPoint& A, const TAcadPoint& B) {
    for (int32_t n = 1; n <= t.trinum; ++n) {
        const TTri& tri = t.tritable[static_cast<size_t>(n)];
        if (!IsBoundarySide(t, tri.i, tri.j) && SidesCross(P(t, tri.i), P(t, tri.j), A, B)) return true;
        if (!IsBoundarySide(t, tri.i, tri.k) && SidesCross(P(t, tri.i), P(t, tri.k), A, B)) return true;
        if (!IsBoundarySide(t, tri.j, tri.k) && SidesCross(P(t, tri.j), P(t, tri.k), A, B)) return true;
    }
    return false;
}

bool ConflictsWithTriTable(const EngineTables& t, int32_t i, int32_t j, int32_t k) {
    Sort3(i, j, k);
    return CrossesTriTable(t, P(t, i), P(t, j)) || CrossesTriTable(t, P(t, j), P(t, k)) ||
           CrossesTriTable(t, P(t, i), P(t, k));
}

bool IsDuplicateSet(const EngineTables& t) {
    for (int32_t e = 1; e <= t.trisets.trisetnum(); ++e) {
        const int32_t n = t.trisets.trinum(e);
        bool same = true;
        for (int32_t m = 1; m <= n && same; ++m) same = t.trisets.tri(e, m).st == t.tritable[static_cast<size_t>(m)].st;
        if (same) return true;
    }
    return false;
}

void SortTriTable(EngineTables& t) {
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int32_t m = 1; m < t.trinum; ++m) {
            TTri& a = t.tritable[static_cast<size_t>(m)];
            TTri& b = t.tritable[static_cast<size_t>(m) + 1];
            if (a.st > b.st) {
                std::swap(a, b);
                swapped = true;
            }
        }
    }
}

void FastTriangulate(EngineTables& t) {
    t.trinum = 0;
    int32_t n = 0;
    for (int32_t m = 1; m <= t.tritempnum; ++m) {
        const TTriTemp& c = t.tritemp[static_cast<size_t>(m)];
        if (!ConflictsWithTriTable(t, c.i, c.j, c.k)) AddTriangle(t, m, c.i, c.j, n, c.k);
    }
}

TriangulationSearch::TriangulationSearch(EngineTables& tables, SearchControl& control, MillisecondClock& clock,
                                         uint32_t calcTimeLimit)
    : t_(tables), control_(control), clock_(clock), calcTimeLimit_(calcTimeLimit) {}

bool TriangulationSearch::NextFreeCandidate(int32_t& pos, int32_t& i, int32_t& j, int32_t& k) {
    bool ok = false;
    do {
        control_.Pump(state_);
        ok = ReadCandidate(t_, pos, i, j, k);
    } while (ok && InTriTable(t_, i, j, k));
    return ok;
}

bool TriangulationSearch::TimeUp() {
    const bool up = calcTimeLimit_ > 0 && static_cast<uint32_t>(clock_.NowMs() - state_.StartTime) > calcTimeLimit_;
    timedOut_ = timedOut_ || up;
    return up;
}

void TriangulationSearch::trianproc() {
    BuildSideList(t_);
    state_.hhhmax = 0;
    int32_t pos = 1, i = 0, j = 0, k = 0, n = 0;
    while (NextFreeCandidate(pos, i, j, k) && !Stopped()) {
        state_.curstart = pos;
        state_.hhh = 1;
        t_.trinum = 0;
        AddTriangle(t_, pos - 1, i, j, n, k);  // st is the triangle's own candidate index
        control_.Pump(state_);
        state_.StartTime = clock_.NowMs();
        int32_t placed = 0;
        getsankakuloop(pos, placed);
    }
}

void TriangulationSearch::getsankakuloop(int32_t ttt, int32_t& saveth) {
    if (Stopped()) return;
    if (TimeUp()) return;
    ++nodes_;
    t_.trinum = state_.hhh;
    ++state_.hhh;
    control_.Pump(state_);

    int32_t placed = 0;
    int32_t pos = ttt;
    int32_t sub = 0;  // shared by all child calls of this level: a child that returns at once keeps it
    int32_t i = 0, j = 0, k = 0, n = 0;
    while (NextFreeCandidate(pos, i, j, k)) {
        state_.curpos = pos;
        t_.trinum = state_.hhh - 1;  // the path above this level
        if (!ConflictsWithTriTable(t_, i, j, k)) {
            ++placed;
            t_.trinum = state_.hhh - 1;
            AddTriangle(t_, pos - 1, i, j, n, k);
            state_.hhhmax = MaxInt(state_.hhhmax, state_.hhh);
            const int32_t saved = t_.trinum;
            getsankakuloop(pos, sub);
            t_.trinum = saved;
            if (sub == 0 && state_.hhh == state_.hhhmax) {
                if (IsDuplicateSet(t_)) {
                    ++t_.dupnum;
                    control_.DivisionRecorded(t_.trisets.trisetnum());
                } else if (t_.trisets.WouldExceedBudget(t_.trinum)) {
                    memoryFull_ = true;
                } else {
                    SortTriTable(t_);
                    StoreTriset(t_);
                    control_.DivisionRecorded(t_.trisets.trisetnum());
                }
            }
            control_.Pump(state_);
        }
        control_.Pump(state_);
    }
    saveth = placed;
    --state_.hhh;
}

}  // namespace zelkan
