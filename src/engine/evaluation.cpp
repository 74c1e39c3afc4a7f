#include "engine/evaluation.h"

#include <cmath>
#include <vector>

#include "geometry/numbers.h"
#include "geometry/text_helpers.h"

namespace zelkan {

namespace {

constexpr double kNoDistance = 1e16;

// Distances are compared in extended precision, like the sums they come
// from; the division keeps its sums as doubles.
struct Best {
    long double distance = kNoDistance;
};

}  // namespace

Base LongestSide(long double ij, long double jk, long double ki) {
    if (ij > jk) return ki > ij ? Base::KI : Base::IJ;
    return ki > jk ? Base::KI : Base::JK;
}

const Text16& AreaTextOfBase(const TTriTemp& c, Base base) {
    switch (base) {
        case Base::IJ: return c.ij.areaText;
        case Base::JK: return c.jk.areaText;
        case Base::KI: break;
    }
    return c.ki.areaText;
}

double Evaluate(EngineTables& t, EvaluationState& e, double menkei, int32_t searchMode, bool useHeron) {
    e.maxShape = -2147483647.0;
    e.minShape = 2147483647.0;
    e.maxSansha = e.maxHeron = -1e16;
    e.minSansha = e.minHeron = 1e16;
    e.bestShapeNo = e.bestSanshaNo = e.bestHeronNo = 0;
    e.calcFailed = false;
    Best closestSansha, closestHeron, belowSansha, belowHeron;
    long double shapeWinnerDS = kNoDistance, shapeWinnerDH = kNoDistance;

    // Each candidate's values read back once: divisions share candidates.
    std::vector<double> baseArea(static_cast<size_t>(t.tritempnum) + 1), heron(static_cast<size_t>(t.tritempnum) + 1);
    for (int32_t c = 1; c <= t.tritempnum; ++c) {
        const TTriTemp& candidate = t.tritemp[static_cast<size_t>(c)];
        baseArea[static_cast<size_t>(c)] = StrToReal(AreaTextOfBase(candidate, ChooseBase(candidate)));
        heron[static_cast<size_t>(c)] = StrToReal(candidate.heronText);
    }

    for (int32_t r = 1; r <= t.trisets.trisetnum(); ++r) {
        long double S1 = 0, S2 = 0, S3 = 0;
        for (int32_t m = 1; m <= t.trisets.trinum(r); ++m) {
            const size_t c = static_cast<size_t>(t.trisets.tri(r, m).st);
            S1 += baseArea[c];
            S3 += t.tritemp[c].shape;
            S2 += heron[c];
        }
        S1 /= 2;  // the area texts hold base x height
        TTriSum& sum = t.trisets.sum(r);
        sum.sanshaArea = static_cast<double>(S1);
        sum.heronArea = static_cast<double>(S2);
        sum.shapeSum = static_cast<double>(S3);

        const long double dS = std::fabs(S1 - menkei);
        const long double dH = std::fabs(S2 - menkei);
        if (S3 < e.minShape) {
            e.bestShapeNo = r;
            shapeWinnerDH = dH;
            shapeWinnerDS = dS;
        }
        if (searchMode == kModeClosest && dH < closestHeron.distance) {
            e.bestHeronNo = r;
            closestHeron.distance = dH;
        }
        if (searchMode != kModeClosest && dH < belowHeron.distance && std::fabs(S2) < std::fabs(menkei)) {
            e.bestHeronNo = r;
            belowHeron.distance = dH;
        }
        if (searchMode == kModeClosest && dS < closestSansha.distance) {
            e.bestSanshaNo = r;
            closestSansha.distance = dS;
        }
        if (searchMode != kModeClosest && dS < belowSansha.distance && std::fabs(S1) < std::fabs(menkei)) {
            e.bestSanshaNo = r;
            belowSansha.distance = dS;
        }
        if (S3 < e.minShape) e.minShapeNo = r;
        if (S3 > e.maxShape) e.maxShapeNo = r;
        e.maxShape = MaxReal(e.maxShape, sum.shapeSum);
        e.minShape = MinReal(e.minShape, sum.shapeSum);
        e.maxSansha = MaxReal(e.maxSansha, sum.sanshaArea);
        e.minSansha = MinReal(e.minSansha, sum.sanshaArea);
        e.maxHeron = MaxReal(e.maxHeron, sum.heronArea);
        e.minHeron = MinReal(e.minHeron, sum.heronArea);
    }

    int32_t selected = 0;
    long double result = kNoDistance;
    if (searchMode == kModeShape) {
        result = useHeron ? shapeWinnerDH : shapeWinnerDS;
        selected = e.bestShapeNo;
        e.calcFailed = selected == 0;
    } else if (searchMode == kModeClosest) {
        result = useHeron ? closestHeron.distance : closestSansha.distance;
        selected = useHeron ? e.bestHeronNo : e.bestSanshaNo;
    } else {
        result = useHeron ? belowHeron.distance : belowSansha.distance;
        selected = useHeron ? e.bestHeronNo : e.bestSanshaNo;
    }
    if (selected == 0) {
        t.seltrinum = 0;
    } else {
        SelectTriset(t, selected);
    }
    return static_cast<double>(result);
}

}  // namespace zelkan
