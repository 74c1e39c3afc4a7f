#include "geometry/rounding.h"

#include <cmath>
#include <cstdint>

#include "geometry/exact_format.h"

namespace zelkan {

namespace {

const long double kEpsilon = 1e-8L;

long double PowerOf10(int n) {
    long double p = 1.0L;
    for (int i = 0; i < n; ++i) p *= 10.0L;
    return p;
}

// 10^digits as a double, the scale of the half unit.
double PowerOf10Double(int digits) { return static_cast<double>(PowerOf10(digits)); }

long double HalfUnit(int digits) { return 0.5L / static_cast<long double>(PowerOf10Double(digits)); }

std::string CutDown(int digits, double x) {
    return FormatFixed(digits, static_cast<long double>(x) - HalfUnit(digits) + kEpsilon);
}

std::string HalfAwayFromZero(int digits, double x) {
    return FormatFixed(digits, RoundHalfAway(digits, x) + kEpsilon);
}

std::string UpOneUnit(int digits, double x) {
    return FormatFixed(digits, static_cast<long double>(x) + HalfUnit(digits) + kEpsilon);
}

// 五捨五入: the last kept digit is made even, an odd digit going up; when the
// rest beyond it rounds to exactly one half, the binary value is rounded to
// the nearest unit with ties to even instead.
std::string MakeEven(int digits, double x) {
    std::string s = FormatFixed(digits + 2, RoundHalfAway(digits + 1, x) + kEpsilon);
    if (s.size() >= 2 && s.compare(s.size() - 2, 2, "50") == 0) {
        const long double scale = PowerOf10(digits);
        const long double k = RoundTiesToEven(static_cast<long double>(x) * scale);
        return FormatFixed(digits, k / scale);
    }
    const char c = s.size() >= 3 ? s[s.size() - 3] : '\0';
    s.resize(s.size() >= 3 ? s.size() - 3 : 0);
    switch (c) {
        case '0': case '2': case '4': case '6': case '8':
            s += c;
            break;
        case '1': case '3': case '5': case '7':
            s += static_cast<char>(c + 1);
            break;
        case '9':
            return UpOneUnit(digits, x);
        default:  // the decimal point: no decimals kept, the fraction is cut
            break;
    }
    return s;
}

}  // namespace

long double RoundHalfAway(int decimals, double value) {
    const long double scale = PowerOf10(decimals);
    const double t = static_cast<double>(scale * static_cast<long double>(value));
    long double k;
    // From 2^63 upwards a double is a whole number already (and would not
    // fit the 64-bit integer of the truncation); NaN stays NaN.
    if (!(std::fabs(t) < 9223372036854775808.0)) {
        k = t;
    } else if (t >= 0.0) {
        k = static_cast<long double>(static_cast<int64_t>(static_cast<long double>(t) + 0.5L));
    } else {
        k = static_cast<long double>(static_cast<int64_t>(static_cast<long double>(t) - 0.5L));
    }
    return k * (1.0L / scale);
}

void KetaFormat(KetaMode mode, int digits, double value, std::string& text) {
    switch (mode) {
        case KetaMode::Cut: text = CutDown(digits, value); break;
        case KetaMode::HalfUp: text = HalfAwayFromZero(digits, value); break;
        case KetaMode::Up: text = UpOneUnit(digits, value); break;
        case KetaMode::Even: text = MakeEven(digits, value); break;
        default: break;
    }
}

std::string KetaText(KetaMode mode, int digits, double value) {
    std::string text;
    KetaFormat(mode, digits, value, text);
    return text;
}

long double RoundTiesToEven(long double y) {
    const long double lower = std::floor(y);
    const long double fraction = y - lower;  // exact
    if (fraction > 0.5L) return lower + 1.0L;
    if (fraction < 0.5L) return lower;
    return std::fmod(lower, 2.0L) == 0.0L ? lower : lower + 1.0L;
}

double HeronArea(double a, double b, double c) {
    const double s = static_cast<double>((static_cast<long double>(a) + b + c) * 0.5L);
    const long double ls = s;
    const double p = static_cast<double>(ls * (ls - a) * (ls - b) * (ls - c));
    return static_cast<double>(std::sqrt(std::fabs(static_cast<long double>(p))));
}

}  // namespace zelkan
