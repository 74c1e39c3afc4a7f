#pragma once
// The surveyor's rounding rules: every base, height, side and area becomes
// its printed text here, already rounded. Callers that compute further read
// the text back with StrToReal, so that what is computed is what is printed.
#include <string>

namespace zelkan {

// 1 切り捨て (cut down), 2 四捨五入 (half away from zero),
// 3 切り上げ (cut down, then one unit up), 4 五捨五入 (last kept digit even).
using KetaMode = int;

inline constexpr KetaMode kKetaCut = 1;
inline constexpr KetaMode kKetaHalfUp = 2;
inline constexpr KetaMode kKetaUp = 3;
inline constexpr KetaMode kKetaEven = 4;

// Formats value by the rule of mode with digits decimals, right-aligned to at
// least 6 characters (mode 4 may be two shorter). A mode outside 1..4 leaves
// text as it was.
void KetaFormat(KetaMode mode, int digits, double value, std::string& text);

// The same, returning the text (empty for a mode outside 1..4).
std::string KetaText(KetaMode mode, int digits, double value);

// 10^decimals * value, rounded to a double, then to an integer half away
// from zero, scaled back in extended precision.
long double RoundHalfAway(int decimals, double value);

// Nearest integer, ties to even, of an extended value, whatever the
// floating-point environment.
long double RoundTiesToEven(long double y);

// Heron's formula; an impossible triple gives the root of |p| instead of
// failing.
double HeronArea(double a, double b, double c);

}  // namespace zelkan
