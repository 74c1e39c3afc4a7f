#include "registration/area_tolerance.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "geometry/exact_format.h"

namespace zelkan {

namespace {

struct ClassRow {
    PrecisionClass c;
    const char* name;
    const char* digitName;  // the same with an Arabic digit, as some files write it
    long double a, b;       // (a + b F^¼) √F
};

constexpr ClassRow kClasses[] = {
    {PrecisionClass::Kou1, "甲一", "甲1", 0.025L, 0.003L}, {PrecisionClass::Kou2, "甲二", "甲2", 0.05L, 0.01L},
    {PrecisionClass::Kou3, "甲三", "甲3", 0.10L, 0.02L},   {PrecisionClass::Otsu1, "乙一", "乙1", 0.10L, 0.04L},
    {PrecisionClass::Otsu2, "乙二", "乙2", 0.25L, 0.07L},  {PrecisionClass::Otsu3, "乙三", "乙3", 0.50L, 0.14L},
};

const ClassRow* RowOf(PrecisionClass c) {
    for (const ClassRow& row : kClasses)
        if (row.c == c) return &row;
    return nullptr;
}

long double ValueOf(const DecimalText& d) {
    long double scale = 1;
    for (int32_t i = 0; i < d.decimals; ++i) scale *= 10;
    return static_cast<long double>(d.units) / scale;
}

}  // namespace

PrecisionClass PrecisionClassOf(int32_t number) {
    return number >= 1 && number <= 6 ? static_cast<PrecisionClass>(number) : PrecisionClass::None;
}

const char* PrecisionClassName(PrecisionClass c) {
    const ClassRow* row = RowOf(c);
    return row != nullptr ? row->name : "なし";
}

std::optional<PrecisionClass> PrecisionClassOfName(std::string_view name) {
    if (name == "なし") return PrecisionClass::None;
    for (const ClassRow& row : kClasses)
        if (name == row.name || name == row.digitName) return row.c;
    return std::nullopt;
}

std::optional<DecimalText> AreaTolerance(PrecisionClass c, const DecimalText& area) {
    const ClassRow* row = RowOf(c);
    if (row == nullptr) return std::nullopt;
    const long double f = std::fabs(ValueOf(area));
    // Square roots are correctly rounded on every platform, powl need not be:
    // F^¼ as the root of the root prints the same digits from both builds.
    const long double root = std::sqrt(f);
    const long double tolerance = (row->a + row->b * std::sqrt(root)) * root;
    return ParseDecimalText(FormatFixed(2, tolerance));
}

bool WithinTolerance(const DecimalText& a, const DecimalText& b, const DecimalText& tolerance) {
    const DecimalText difference = Difference(a, b);
    const int32_t decimals = std::max(difference.decimals, tolerance.decimals);
    const Int128 units = UnitsAt(difference, decimals);
    return (units < 0 ? -units : units) <= UnitsAt(tolerance, decimals);
}

}  // namespace zelkan
