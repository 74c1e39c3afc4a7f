#include "engine/tables.h"

#include <algorithm>

#include "engine/memory_budget.h"
#include "geometry/errors.h"
#include "geometry/numbers.h"

namespace zelkan {

TriSetStore::TriSetStore(const std::vector<TTriTemp>& candidates)
    : candidates_(candidates), trisetcap_(kTrisetGrowth), budget_(DefaultStoreBudget()) {}

bool TriSetStore::WouldExceedBudget(int32_t trinum) const {
    const uint64_t more = sizeof(Entry) + static_cast<uint64_t>(trinum) * sizeof(int32_t);
    // Offsets are 32-bit: the budget never allows more slots than that anyway.
    return bytesUsed() + more > budget_ || slots_.size() + static_cast<uint64_t>(trinum) > UINT32_MAX;
}

void TriSetStore::Append(const TriangleSlots& slots, int32_t trinum) {
    if (trisetnum() >= trisetcap_) trisetcap_ += kTrisetGrowth;
    Entry e;
    e.trinum = trinum;
    e.offset = static_cast<uint32_t>(slots_.size());
    for (int32_t m = 1; m <= trinum; ++m) slots_.push_back(slots[static_cast<size_t>(m)].st);
    entries_.push_back(e);
}

void TriSetStore::Clear() {
    entries_.clear();
    slots_.clear();
}

EngineTables::EngineTables()
    : xy(kVertexSlots + 1), tritemp(kMaxCandidates + 1), sidelist(kMaxSides + 1) {}


void ResetForRun(EngineTables& t) {
    t.trinum = 0;
    t.menkeiDecimal.reset();
    t.trisets.Clear();
    t.dupnum = 0;
    for (int32_t n = 1; n <= kResetSlots; ++n) {
        TTri& tri = t.tritable[static_cast<size_t>(n)];
        tri.i = tri.j = tri.k = 0;
    }
}

void Sort3(int32_t& a, int32_t& b, int32_t& c) {
    if (a > b) SwapInt(a, b);
    if (b > c) SwapInt(b, c);
    if (a > b) SwapInt(a, b);
}

bool ReadCandidate(const EngineTables& t, int32_t& pos, int32_t& i, int32_t& j, int32_t& k) {
    if (pos > t.tritempnum) return false;
    const TTriTemp& c = t.tritemp[static_cast<size_t>(pos)];
    i = c.i;
    j = c.j;
    k = c.k;
    ++pos;
    return true;
}

void AddTriangle(EngineTables& t, int32_t st, int32_t i, int32_t j, int32_t& n, int32_t k) {
    Sort3(i, j, k);
    if (t.trinum >= kMaxTriangles) throw CapacityError(kTrinumOverflow);
    ++t.trinum;
    t.tritable[static_cast<size_t>(t.trinum)] = TTri{st, i, j, k};
    n = t.trinum;
}

bool InTriTable(const EngineTables& t, int32_t i, int32_t j, int32_t k) {
    if (t.trinum == 0) return false;
    Sort3(i, j, k);
    for (int32_t n = 1; n <= t.trinum; ++n) {
        const TTri& tri = t.tritable[static_cast<size_t>(n)];
        if (tri.i == i && tri.j == j && tri.k == k) return true;
    }
    return false;
}

void StoreTriset(EngineTables& t) { t.trisets.Append(t.tritable, t.trinum); }

void LoadDivision(EngineTables& t, const std::vector<int32_t>& candidates) {
    t.trinum = 0;
    int32_t n = 0;
    for (const int32_t c : candidates) {
        const TTriTemp& candidate = t.tritemp[static_cast<size_t>(c)];
        AddTriangle(t, c, candidate.i, candidate.j, n, candidate.k);
    }
}

int32_t StoreDivision(EngineTables& t, const std::vector<int32_t>& candidates) {
    LoadDivision(t, candidates);
    StoreTriset(t);
    return t.trisets.trisetnum();
}

std::vector<int32_t> StoredDivision(const EngineTables& t, int32_t n) {
    std::vector<int32_t> candidates;
    for (int32_t m = 1; m <= t.trisets.trinum(n); ++m) candidates.push_back(t.trisets.tri(n, m).st);
    std::sort(candidates.begin(), candidates.end());
    return candidates;
}

void SelectTriset(EngineTables& t, int32_t n) {
    const int32_t count = t.trisets.trinum(n);
    for (int32_t m = 1; m <= count; ++m) t.seltri[static_cast<size_t>(m)] = t.trisets.tri(n, m);
    t.seltrinum = count;
}

void LoadTriset(EngineTables& t, int32_t n) {
    const int32_t count = t.trisets.trinum(n);
    for (int32_t m = 1; m <= count; ++m) t.tritable[static_cast<size_t>(m)] = t.trisets.tri(n, m);
    t.trinum = count;
}

void RestoreSelection(EngineTables& t) {
    t.tritable = t.seltri;
    t.trinum = t.seltrinum;
}

void BuildSideList(EngineTables& t) {
    for (int32_t n = 1; n < t.xynum; ++n) t.sidelist[static_cast<size_t>(n)] = TSidePair{n, n + 1};
    t.sidelist[static_cast<size_t>(t.xynum)] = TSidePair{t.xynum, 1};
    t.sidenum = t.xynum;
}

bool IsBoundarySide(const EngineTables& t, int32_t a, int32_t b) {
    if (a > b) SwapInt(a, b);
    if (a == 1 && b == t.xynum) return true;
    for (int32_t n = 1; n <= t.sidenum; ++n) {
        const TSidePair& side = t.sidelist[static_cast<size_t>(n)];
        if (side.a == a && side.b == b) return true;
    }
    return false;
}

bool IsPolygonSide(const EngineTables& t, int32_t a, int32_t b) {
    if (a > b) SwapInt(a, b);
    return b == a + 1 || (a == 1 && b == t.xynum);
}

void VerticesToUcs(EngineTables& t, const TAcadPoint& origin, const TAcadPoint& xAxis, const TAcadPoint& yAxis) {
    const TAcadPoint zAxis{xAxis.y * yAxis.z - xAxis.z * yAxis.y, xAxis.z * yAxis.x - xAxis.x * yAxis.z,
                           xAxis.x * yAxis.y - xAxis.y * yAxis.x};
    const auto dot = [](const TAcadPoint& u, long double dx, long double dy, long double dz) {
        return u.x * dx + u.y * dy + u.z * dz;
    };
    for (int32_t n = 1; n <= t.xynum; ++n) {
        TAcadPoint& p = t.xy[static_cast<size_t>(n)];
        const long double dx = p.x - origin.x;
        const long double dy = p.y - origin.y;
        const long double dz = p.z - origin.z;
        p = TAcadPoint{dot(xAxis, dx, dy, dz), dot(yAxis, dx, dy, dz), dot(zAxis, dx, dy, dz)};
    }
}

}  // namespace zelkan
