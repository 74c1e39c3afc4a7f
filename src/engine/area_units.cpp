#include "engine/area_units.h"

#include <algorithm>

#include "engine/evaluation.h"

namespace zelkan {

std::optional<AreaUnits> CandidateAreaUnits(const EngineTables& t, bool heron, double menkei) {
    const auto count = static_cast<size_t>(t.tritempnum);
    std::vector<DecimalText> texts(count + 1);
    int32_t decimals = 0;
    for (size_t c = 1; c <= count; ++c) {
        const TTriTemp& candidate = t.tritemp[c];
        const auto parsed = ParseDecimalText(heron ? candidate.heronText.view()
                                                   : AreaTextOfBase(candidate, ChooseBase(candidate)).view());
        if (!parsed) return std::nullopt;
        texts[c] = *parsed;
        decimals = std::max(decimals, parsed->decimals);
    }
    // The run's own coordinate area is compared as the decimal it is.
    const int32_t factor = heron ? 1 : 2;
    const auto target = t.menkeiDecimal && menkei == t.menkei
                            ? std::optional<ExactTarget>(TargetOfDecimal(*t.menkeiDecimal, decimals, factor))
                            : TargetOf(menkei, decimals, factor);
    if (!target) return std::nullopt;
    AreaUnits a;
    a.decimals = decimals;
    a.target = *target;
    a.units.resize(count + 1);
    for (size_t c = 1; c <= count; ++c) {
        // Rescaling a value with fewer decimals must not leave the range.
        const Int128 limit = (static_cast<Int128>(1) << kMaxUnitBits) / UnitsAt(DecimalText{1, texts[c].decimals}, decimals);
        if (texts[c].units >= limit || texts[c].units <= -limit) return std::nullopt;
        a.units[c] = UnitsAt(texts[c], decimals);
    }
    return a;
}

}  // namespace zelkan
