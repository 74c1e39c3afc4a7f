#include "engine/row_bound.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "engine/evaluation.h"
#include "geometry/text_helpers.h"

namespace zelkan {

namespace {

const long double kSqrt3 = std::sqrt(3.0L);

// The most a rounding to `digits` decimals moves a value: half a unit of
// the last digit, a whole one where it cuts or raises.
// 10^-digits, from powl as always; taken once for the usual digits, as
// every candidate asks for two.
long double LastDigitUnit(int32_t digits) {
    static const std::array<long double, 19> kUnits = [] {
        std::array<long double, 19> units{};
        for (size_t d = 0; d < units.size(); ++d) units[d] = std::pow(10.0L, -static_cast<long double>(d));
        return units;
    }();
    if (digits >= 0 && static_cast<size_t>(digits) < kUnits.size()) return kUnits[static_cast<size_t>(digits)];
    return std::pow(10.0L, -static_cast<long double>(digits));
}

long double RoundingError(KetaMode mode, int32_t digits) {
    const long double unit = LastDigitUnit(digits);
    switch (mode) {
        case KetaMode::HalfUp:
        case KetaMode::Even: return unit / 2;
        case KetaMode::Cut:
        case KetaMode::Up: return unit;
        case KetaMode::None: break;
    }
    return 0;
}

long double CandidatePrintedArea(const TTriTemp& c, bool useHeron) {
    if (useHeron) return StrToReal(c.heronText);
    return static_cast<long double>(StrToReal(AreaTextOfBase(c, ChooseBase(c)))) / 2;  // base x height
}

int64_t ChordKey(int32_t a, int32_t b) { return static_cast<int64_t>(a) << 32 | static_cast<uint32_t>(b); }

}  // namespace

double ReferenceFactor(double factor) { return factor > 0 ? factor : kDefaultRowBoundFactor; }

long double ExactTriangleArea(const TAcadPoint& a, const TAcadPoint& b, const TAcadPoint& c, int32_t scale) {
    // From the first corner, so that survey coordinates keep their digits.
    const long double cross = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    const long double s = scale;
    return std::fabs(cross) / 2 / (s * s);
}

long double RowBound(long double exactArea, const RowBoundRules& rules) {
    const MeasureRules& m = rules.measure;
    const long double side = std::sqrt(4 * exactArea / kSqrt3);  // of the equilateral triangle of this area
    // The 三斜 table prints twice the area: half its rounding reaches the total.
    const long double areaRounding = RoundingError(m.areaMode, m.areaDigits) / (rules.useHeron ? 1 : 2);
    return ReferenceFactor(rules.factor) * (RoundingError(m.lengthMode, m.lengthDigits) * kSqrt3 * side + areaRounding);
}

double RowErrorRatio(long double printedArea, long double exactArea, const RowBoundRules& rules) {
    const long double difference = std::fabs(printedArea - exactArea);
    const long double bound = RowBound(exactArea, rules);
    if (bound <= 0) return difference == 0 ? 0.0 : kNoHonestDivision;
    return static_cast<double>(difference / bound);
}

std::vector<double> CandidateRatios(const EngineTables& t, const RowBoundRules& rules) {
    std::vector<double> ratios(static_cast<size_t>(t.tritempnum) + 1, 0.0);
    for (int32_t m = 1; m <= t.tritempnum; ++m) {
        const TTriTemp& c = t.tritemp[static_cast<size_t>(m)];
        const long double exact = ExactTriangleArea(t.xy[static_cast<size_t>(c.i)], t.xy[static_cast<size_t>(c.j)],
                                                    t.xy[static_cast<size_t>(c.k)], rules.measure.scale);
        ratios[static_cast<size_t>(m)] = RowErrorRatio(CandidatePrintedArea(c, rules.useHeron), exact, rules);
    }
    return ratios;
}

double LeastWorstRatio(const EngineTables& t, const std::vector<double>& ratios) {
    // The part of the polygon between corners a and b (closed by the chord
    // a-b) is divided by a triangle (a, c, b) and the parts (a, c) and
    // (c, b): its least worst ratio follows from theirs, shorter chords first.
    std::vector<int32_t> order(static_cast<size_t>(t.tritempnum));
    std::iota(order.begin(), order.end(), 1);
    const auto span = [&t](int32_t m) {
        const TTriTemp& c = t.tritemp[static_cast<size_t>(m)];
        return c.k - c.i;
    };
    std::stable_sort(order.begin(), order.end(), [&](int32_t x, int32_t y) { return span(x) < span(y); });
    std::unordered_map<int64_t, double> best;
    best.reserve(order.size());
    const auto part = [&best](int32_t a, int32_t b) {
        if (b == a + 1) return 0.0;
        const auto found = best.find(ChordKey(a, b));
        return found == best.end() ? kNoHonestDivision : found->second;
    };
    for (const int32_t m : order) {
        const TTriTemp& c = t.tritemp[static_cast<size_t>(m)];
        const double worst = std::max({ratios[static_cast<size_t>(m)], part(c.i, c.j), part(c.j, c.k)});
        const auto [slot, added] = best.emplace(ChordKey(c.i, c.k), worst);
        if (!added) slot->second = std::min(slot->second, worst);
    }
    return t.xynum >= 3 ? part(1, t.xynum) : kNoHonestDivision;
}

RowBoundChoice KeepHonestCandidates(EngineTables& t, const RowBoundRules& rules) {
    RowBoundChoice choice;
    choice.factor = rules.factor;
    const std::vector<double> ratios = CandidateRatios(t, rules);
    choice.leastWorst = LeastWorstRatio(t, ratios);
    choice.honestDivision = choice.leastWorst <= 1;
    RowBoundRules sansha = rules;
    sansha.useHeron = false;
    choice.sanshaHonest = rules.useHeron ? LeastWorstRatio(t, CandidateRatios(t, sansha)) <= 1 : choice.honestDivision;
    if (!(rules.factor > 0) || choice.leastWorst == kNoHonestDivision) return choice;

    const double threshold = std::max(1.0, choice.leastWorst);
    int32_t kept = 0;
    for (int32_t m = 1; m <= t.tritempnum; ++m) {
        if (ratios[static_cast<size_t>(m)] > threshold) continue;
        ++kept;
        if (kept != m) t.tritemp[static_cast<size_t>(kept)] = t.tritemp[static_cast<size_t>(m)];
    }
    choice.removed = t.tritempnum - kept;
    t.tritempnum = kept;
    return choice;
}

}  // namespace zelkan
