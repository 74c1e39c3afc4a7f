#pragma once
// Minimum, maximum and exchange with the system's tie rules.
#include <cstdint>

namespace zelkan {

inline double MinReal(double a, double b) { return a <= b ? a : b; }
inline double MaxReal(double a, double b) { return a > b ? a : b; }
inline int32_t MaxInt(int32_t a, int32_t b) { return a > b ? a : b; }

inline void SwapInt(int32_t& a, int32_t& b) {
    const int32_t t = a;
    a = b;
    b = t;
}

}  // namespace zelkan
