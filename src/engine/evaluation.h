#pragma once
// Sums every stored division (三斜 area, Heron area, shape) and selects one
// by the search mode.
#include <cstdint>

#include "engine/search_mode.h"
#include "engine/tables.h"

namespace zelkan {

inline constexpr const char* kCalcFailedMessage = "計算できませんでした";

// The distance from the coordinate area of a selection that found nothing:
// farther than any division's.
inline constexpr double kNoDistance = 1e16;

// What the evaluation leaves for the viewers: the winners and the ranges of
// the three sums. minShapeNo and maxShapeNo carry over from the last run
// until the first entry of a new one sets them.
struct EvaluationState {
    int32_t bestShapeNo = 0;
    int32_t bestSanshaNo = 0;
    int32_t bestHeronNo = 0;
    int32_t minShapeNo = 0;
    int32_t maxShapeNo = 0;
    double minShape = 0, maxShape = 0;
    double minSansha = 0, maxSansha = 0;
    double minHeron = 0, maxHeron = 0;
    // Mode 0 found no division: the front end shows kCalcFailedMessage.
    bool calcFailed = false;
};

// The entry a mode selects among the evaluation's winners: the best shape,
// or the area closest as the table measures it (Heron or base and height).
constexpr int32_t EvaluationState::*WinnerField(SearchMode mode, bool useHeron) {
    switch (mode) {
        case SearchMode::Shape: return &EvaluationState::bestShapeNo;
        case SearchMode::Closest:
        case SearchMode::NotAbove:
        case SearchMode::Fast: break;
    }
    return useHeron ? &EvaluationState::bestHeronNo : &EvaluationState::bestSanshaNo;
}
inline int32_t& WinnerOf(EvaluationState& e, SearchMode mode, bool useHeron) { return e.*WinnerField(mode, useHeron); }
inline int32_t WinnerOf(const EvaluationState& e, SearchMode mode, bool useHeron) {
    return e.*WinnerField(mode, useHeron);
}

// Which side a triangle's 三斜 area is measured on: the longest by the
// unrounded lengths, with the ties of the area table.
enum class Base { IJ, JK, KI };
Base LongestSide(long double ij, long double jk, long double ki);
inline Base ChooseBase(const TTriTemp& c) { return LongestSide(c.lenIJ, c.lenJK, c.lenKI); }
const Text16& AreaTextOfBase(const TTriTemp& c, Base base);

// Evaluates all stored divisions, selects one into seltri (or empties the
// selection) and returns the selected division's distance from menkei
// (kNoDistance when modes 1 and 2 select nothing). A division of fewer triangles
// than the parcel needs is selected only when no complete one is stored.
// Areas are compared by their printed totals, exactly: of two divisions
// whose totals are equally close, the one stored first is selected, as with
// equal shape sums.
double Evaluate(EngineTables& t, EvaluationState& e, double menkei, SearchMode searchMode, bool useHeron);

}  // namespace zelkan
