#include "engine/evaluation.h"

#include <cmath>
#include <optional>
#include <vector>

#include "engine/area_units.h"
#include "geometry/numbers.h"
#include "geometry/text_helpers.h"

namespace zelkan {

namespace {

// The division that leads one of the area rules so far. Distances are
// compared exactly in the units of the printed texts when every text is a
// plain decimal (equal printed totals are equally close, and the first in
// search order keeps the lead); otherwise in extended precision.
struct AreaWinner {
    int32_t no = 0;
    long double distance = kNoDistance;
    Int128 units = 0;

    bool BeatenBy(long double d, Int128 u, const std::optional<AreaUnits>& exact) const {
        if (!exact) return d < distance;
        if (no == 0) return d < kNoDistance;
        return Closer(u, units, exact->target);
    }
    void Take(int32_t r, long double d, Int128 u) {
        no = r;
        distance = d;
        units = u;
    }
};

bool Below(long double sum, Int128 units, double menkei, const std::optional<AreaUnits>& exact) {
    return exact ? BelowInMagnitude(units, exact->target) : std::fabs(sum) < std::fabs(menkei);
}

// Whether any stored division covers the whole parcel. A division of fewer
// triangles leaves part of it unmeasured and is then never selected.
bool AnyComplete(const EngineTables& t) {
    for (int32_t r = 1; r <= t.trisets.trisetnum(); ++r)
        if (t.trisets.trinum(r) == t.xynum - 2) return true;
    return false;
}

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

double Evaluate(EngineTables& t, EvaluationState& e, double menkei, SearchMode searchMode, bool useHeron) {
    e.maxShape = -2147483647.0;
    e.minShape = 2147483647.0;
    e.maxSansha = e.maxHeron = -1e16;
    e.minSansha = e.minHeron = 1e16;
    e.bestShapeNo = e.bestSanshaNo = e.bestHeronNo = 0;
    e.calcFailed = false;
    AreaWinner sanshaWinner, heronWinner;
    long double bestShape = 2147483647.0;
    long double shapeWinnerDS = kNoDistance, shapeWinnerDH = kNoDistance;
    // Only mode 1 lets a total above the coordinate area win; the area
    // winners of the other modes (the viewers' marks) stay below it.
    const bool closest = IsAreaMode(searchMode) && !StaysBelowArea(searchMode);

    // Each candidate's values read back once: divisions share candidates.
    std::vector<double> baseArea(static_cast<size_t>(t.tritempnum) + 1), heron(static_cast<size_t>(t.tritempnum) + 1);
    for (int32_t c = 1; c <= t.tritempnum; ++c) {
        const TTriTemp& candidate = t.tritemp[static_cast<size_t>(c)];
        baseArea[static_cast<size_t>(c)] = StrToReal(AreaTextOfBase(candidate, ChooseBase(candidate)));
        heron[static_cast<size_t>(c)] = StrToReal(candidate.heronText);
    }
    const std::optional<AreaUnits> sanshaUnits = CandidateAreaUnits(t, false, menkei);
    const std::optional<AreaUnits> heronUnits = CandidateAreaUnits(t, true, menkei);
    const bool onlyComplete = AnyComplete(t);

    for (int32_t r = 1; r <= t.trisets.trisetnum(); ++r) {
        long double S1 = 0, S2 = 0, S3 = 0;
        Int128 U1 = 0, U2 = 0;
        const int32_t triangles = t.trisets.trinum(r);
        for (int32_t m = 1; m <= triangles; ++m) {
            const size_t c = static_cast<size_t>(t.trisets.tri(r, m).st);
            S1 += baseArea[c];
            S3 += t.tritemp[c].shape;
            S2 += heron[c];
            if (sanshaUnits) U1 += sanshaUnits->units[c];
            if (heronUnits) U2 += heronUnits->units[c];
        }
        S1 /= 2;  // the area texts hold base x height
        TTriSum& sum = t.trisets.sum(r);
        sum.sanshaArea = static_cast<double>(S1);
        sum.heronArea = static_cast<double>(S2);
        sum.shapeSum = static_cast<double>(S3);

        const long double dS = std::fabs(S1 - menkei);
        const long double dH = std::fabs(S2 - menkei);
        if (!onlyComplete || triangles == t.xynum - 2) {
            if (S3 < bestShape) {
                bestShape = S3;
                e.bestShapeNo = r;
                shapeWinnerDH = dH;
                shapeWinnerDS = dS;
            }
            if ((closest || Below(S2, U2, menkei, heronUnits)) && heronWinner.BeatenBy(dH, U2, heronUnits))
                heronWinner.Take(r, dH, U2);
            if ((closest || Below(S1, U1, menkei, sanshaUnits)) && sanshaWinner.BeatenBy(dS, U1, sanshaUnits))
                sanshaWinner.Take(r, dS, U1);
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
    e.bestSanshaNo = sanshaWinner.no;
    e.bestHeronNo = heronWinner.no;

    int32_t selected = 0;
    long double result = kNoDistance;
    if (searchMode == SearchMode::Shape) {
        result = useHeron ? shapeWinnerDH : shapeWinnerDS;
        selected = e.bestShapeNo;
        e.calcFailed = selected == 0;
    } else {
        const AreaWinner& winner = useHeron ? heronWinner : sanshaWinner;
        result = winner.distance;
        selected = winner.no;
    }
    if (selected == 0) {
        t.seltrinum = 0;
    } else {
        SelectTriset(t, selected);
    }
    return static_cast<double>(result);
}

}  // namespace zelkan
