#pragma once
// The surveyor's rounding rules: every base, height, side and area becomes
// its printed text here, already rounded. Callers that compute further read
// the text back with StrToReal, so that what is computed is what is printed.
#include <string>

namespace zelkan {

// The rules, numbered as the logs and the settings' flags order them. None
// formats nothing (a run before any rule was set).
enum class KetaMode : int {
    None = 0,
    Cut = 1,     // 切り捨て: cut down
    HalfUp = 2,  // 四捨五入: half away from zero
    Up = 3,      // 切り上げ: cut down, then one unit up
    Even = 4,    // 五捨五入: the last kept digit even
};

// The rule's number, as the evaluation log writes it.
inline int KetaNumber(KetaMode mode) { return static_cast<int>(mode); }

// Formats value by the rule of mode with digits decimals, right-aligned to at
// least 6 characters (Even may be two shorter). None (or any other value)
// leaves text as it was.
void KetaFormat(KetaMode mode, int digits, double value, std::string& text);

// The same, returning the text (empty for None).
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
