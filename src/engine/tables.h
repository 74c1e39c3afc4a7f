#pragma once
// The engine's tables: the parcel's vertices, the candidate triangles, the
// current division, the divisions found and the selected one. Indexed from 1
// like the vertex and triangle numbers they hold; slot 0 is unused. One
// EngineTables object holds the state of one program (or one test).
//
// Words kept from the surveyor's trade and the old tables:
//   三斜 (sansha)  measuring a triangle by its base and the height onto it
//   menkei         面計: the coordinate area (shoelace) the table is held against
//   xy, xynum      the parcel's vertices (corners), numbered from 1
//   tritemp        the candidate triangles (i < j < k, their sides, heights, areas)
//   tritable       the current division: the triangles placed so far
//   triset(s)      a division found (and the store of all of them)
//   seltri         the selected division (the one drawn and tabled)
//   hhh, hhhmax    the search's depth (triangles placed) and its deepest so far
//   dupnum         divisions found again (the same triangles in another order)
//   shape          a triangle's distance from equilateral (Σ|angle − 60°|)
#include <array>
#include <climits>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "engine/acad_point.h"
#include "engine/decimal_units.h"
#include "engine/short_text.h"

namespace zelkan {

inline constexpr int32_t kMaxVertices = 3980;            // the reader refuses a 3981st
inline constexpr int32_t kVertexSlots = 2 * kMaxVertices;  // room for the doubled working list
inline constexpr int32_t kMaxCandidates = 99999;
inline constexpr int32_t kMaxSides = 4000;
inline constexpr int32_t kMaxTriangles = 1000;
inline constexpr int32_t kTrisetGrowth = 5000;
inline constexpr int32_t kResetSlots = 100;  // entries zeroed at the start of a run
// The largest first triangle number: a division's numbers then still fit.
inline constexpr int32_t kMaxFirstNumber = INT32_MAX - kMaxTriangles;

inline constexpr const char* kXynumOverflow = "xynumが制限を越えました";
inline constexpr const char* kTritempnumOverflow = "tritempnum が制限を越えました";
inline constexpr const char* kTrinumOverflow = "trinum が制限を越えました";

using Text16 = ShortText<16>;

// One base-and-height variant of a candidate: the foot of the perpendicular
// from the apex (drawing units), the height (measure units) and its text,
// and the text of base x height (not halved).
struct TBaseVariant {
    double footX = 0.0;
    double footY = 0.0;
    double height = 0.0;
    Text16 heightText;
    Text16 areaText;
};

struct TTriTemp {
    int32_t i = 0, j = 0, k = 0;  // vertex numbers, i < j < k
    double shape = 0.0;            // sum of |angle - 60 deg|, whole degrees
    uint8_t ijEdge = 0, jkEdge = 0, kiEdge = 0;
    double lenIJ = 0.0;
    Text16 lenIJText;
    double lenJK = 0.0;
    Text16 lenJKText;
    double lenKI = 0.0;
    Text16 lenKIText;
    double heron = 0.0;
    Text16 heronText;
    TBaseVariant ij;  // base ij, apex k
    TBaseVariant jk;  // base jk, apex i
    TBaseVariant ki;  // base ki, apex j
};

struct TSidePair {
    int32_t a = 0;
    int32_t b = 0;
};

struct TTri {
    int32_t st = 0;  // tritemp index of the triangle
    int32_t i = 0, j = 0, k = 0;
};

struct TTriSum {
    double sanshaArea = 0.0;
    double heronArea = 0.0;
    double shapeSum = 0.0;
};

using TriangleSlots = std::array<TTri, kMaxTriangles + 1>;

// Where the result drawing measured triangle m: the area table reads it.
struct TTriHeight {
    TAcadPoint apex;
    TAcadPoint foot;  // x and y only
    TAcadPoint baseA;
    TAcadPoint baseB;
};

// The divisions found, numbered from 1. An entry keeps its sums and the
// candidate index of each of its triangles (the vertex numbers are the
// candidate's): 32 bytes plus 4 per triangle. The capacity grows in steps
// of 5000 entries; a memory budget caps what may be stored.
class TriSetStore {
public:
    explicit TriSetStore(const std::vector<TTriTemp>& candidates);

    int32_t trisetnum() const { return static_cast<int32_t>(entries_.size()); }
    int32_t trisetcap() const { return trisetcap_; }

    // Storing a division of trinum triangles would pass the budget.
    bool WouldExceedBudget(int32_t trinum) const;
    void SetBudget(uint64_t bytes) { budget_ = bytes; }
    uint64_t budget() const { return budget_; }
    uint64_t bytesUsed() const { return entries_.size() * sizeof(Entry) + slots_.size() * sizeof(int32_t); }

    void Append(const TriangleSlots& slots, int32_t trinum);
    void Clear();  // keeps the capacity

    int32_t trinum(int32_t n) const { return entries_[Index(n)].trinum; }
    // Triangle m (1..trinum(n)) of entry n.
    TTri tri(int32_t n, int32_t m) const {
        const int32_t st = slots_[entries_[Index(n)].offset + static_cast<size_t>(m) - 1];
        const TTriTemp& c = candidates_[static_cast<size_t>(st)];
        return TTri{st, c.i, c.j, c.k};
    }
    TTriSum& sum(int32_t n) { return entries_[Index(n)].sum; }
    const TTriSum& sum(int32_t n) const { return entries_[Index(n)].sum; }

private:
    struct Entry {
        TTriSum sum;
        uint32_t offset = 0;
        int32_t trinum = 0;
    };
    static_assert(sizeof(Entry) == 32);
    static size_t Index(int32_t n) { return static_cast<size_t>(n) - 1; }

    const std::vector<TTriTemp>& candidates_;
    std::deque<Entry> entries_;   // chunked: growing never copies what is stored
    std::deque<int32_t> slots_;
    int32_t trisetcap_ = 0;
    uint64_t budget_ = UINT64_MAX;
};

struct EngineTables {
    EngineTables();

    std::vector<TAcadPoint> xy;  // 1..kVertexSlots
    int32_t xynum = 0;

    std::vector<TTriTemp> tritemp;  // 1..kMaxCandidates
    int32_t tritempnum = 0;

    std::vector<TSidePair> sidelist;  // 1..kMaxSides
    int32_t sidenum = 0;

    TriangleSlots tritable{};
    int32_t trinum = 0;
    TTriSum trisum;

    TriSetStore trisets{tritemp};
    int32_t dupnum = 0;

    TriangleSlots seltri{};
    int32_t seltrinum = 0;

    std::array<TTriHeight, kMaxTriangles + 1> triheights{};

    double menkei = 0.0;  // the coordinate area of the last run
    // The same exactly, as the decimal the records print it from (half the
    // sum of the shoelace terms at six decimals): the area modes compare the
    // run's totals with it.
    std::optional<DecimalText> menkeiDecimal;
};

// Clears what a new run starts without: the current division, the divisions
// found, the duplicate count, and the vertex numbers of the first 100
// triangle slots.
void ResetForRun(EngineTables& t);

void Sort3(int32_t& a, int32_t& b, int32_t& c);

// False when pos is past the last candidate; otherwise its vertex numbers,
// and pos moves on by one.
bool ReadCandidate(const EngineTables& t, int32_t& pos, int32_t& i, int32_t& j, int32_t& k);

// Appends {st, i, j, k} (vertex numbers sorted) to tritable; n is its index.
// Throws CapacityError beyond 1000 triangles.
void AddTriangle(EngineTables& t, int32_t st, int32_t i, int32_t j, int32_t& n, int32_t k);

bool InTriTable(const EngineTables& t, int32_t i, int32_t j, int32_t k);

// Stores tritable as a new division; its sums are written by the evaluation.
void StoreTriset(EngineTables& t);
// Makes the division of these candidates (their tritemp indices) the
// current one (tritable, trinum). Throws CapacityError beyond 1000 triangles.
void LoadDivision(EngineTables& t, const std::vector<int32_t>& candidates);
// Stores the division of these candidates as a new entry, current too; its
// number.
int32_t StoreDivision(EngineTables& t, const std::vector<int32_t>& candidates);
// The candidates of entry n, ascending: the division as StoreDivision takes it.
std::vector<int32_t> StoredDivision(const EngineTables& t, int32_t n);
void SelectTriset(EngineTables& t, int32_t n);
// Makes entry n the current division (tritable, trinum).
void LoadTriset(EngineTables& t, int32_t n);
void RestoreSelection(EngineTables& t);

// Keeps the current division (tritable, trinum) for as long as it lives:
// whatever is made current meanwhile is undone when it goes, unless Keep()
// took the new one.
class CurrentDivisionGuard {
public:
    explicit CurrentDivisionGuard(EngineTables& t) : t_(t), slots_(t.tritable), count_(t.trinum) {}
    ~CurrentDivisionGuard() {
        if (restore_) {
            t_.tritable = slots_;
            t_.trinum = count_;
        }
    }
    CurrentDivisionGuard(const CurrentDivisionGuard&) = delete;
    CurrentDivisionGuard& operator=(const CurrentDivisionGuard&) = delete;
    void Keep() { restore_ = false; }

private:
    EngineTables& t_;
    TriangleSlots slots_;
    int32_t count_;
    bool restore_ = true;
};

// The boundary sides (1,2), (2,3), ..., (xynum-1, xynum), (xynum, 1).
void BuildSideList(EngineTables& t);
bool IsBoundarySide(const EngineTables& t, int32_t a, int32_t b);
// The same answer as IsBoundarySide, from xynum alone (no side list needed).
bool IsPolygonSide(const EngineTables& t, int32_t a, int32_t b);

// Turns vertices 1..xynum into the user coordinate system given by its
// origin and axis directions.
void VerticesToUcs(EngineTables& t, const TAcadPoint& origin, const TAcadPoint& xAxis, const TAcadPoint& yAxis);

}  // namespace zelkan
