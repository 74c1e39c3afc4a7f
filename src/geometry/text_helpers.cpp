#include "geometry/text_helpers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace zelkan {

namespace {

bool IsSpaceOrNul(char c) { return c == ' ' || c == '\0'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void SplitAt(char separator, std::string& s, std::string& head) {
    const size_t p = s.find(separator);
    if (p == std::string::npos) {
        head = std::move(s);
        s.clear();
        return;
    }
    head = s.substr(0, p);
    s.erase(0, p + 1);
}

// Texts of at most 15 digits without exponent: the digits form an integer
// below 2^53 and 10^decimals is exact, so one correctly rounded division
// gives exactly the correctly rounded value of the text.
bool ShortDecimal(std::string_view s, double& value) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    uint64_t mantissa = 0;
    int digits = 0, decimals = -1;
    for (char c : s) {
        if (c == '.') {
            if (decimals >= 0) return false;
            decimals = 0;
        } else if (IsDigit(c)) {
            if (++digits > 15) return false;
            mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
            if (decimals >= 0) ++decimals;
        } else {
            return false;
        }
    }
    if (digits == 0) return false;
    value = static_cast<double>(mantissa) / kPowers[decimals < 0 ? 0 : decimals];
    return true;
}

}  // namespace

// Accepts exactly: [sign] digits [. digits] [(e|E) [sign] digits], with at
// least one digit in the mantissa. from_chars alone would also take "inf",
// "nan" and hexadecimal forms, which no CAD text or rounded text contains.
bool IsDecimalNumber(std::string_view s) {
    size_t p = 0;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) ++p;
    size_t mantissaDigits = 0;
    while (p < s.size() && IsDigit(s[p])) ++p, ++mantissaDigits;
    if (p < s.size() && s[p] == '.') {
        ++p;
        while (p < s.size() && IsDigit(s[p])) ++p, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return false;
    if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
        ++p;
        if (p < s.size() && (s[p] == '+' || s[p] == '-')) ++p;
        size_t exponentDigits = 0;
        while (p < s.size() && IsDigit(s[p])) ++p, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return p == s.size();
}

std::string_view TrimSpaceNul(std::string_view s) {
    while (!s.empty() && IsSpaceOrNul(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpaceOrNul(s.back())) s.remove_suffix(1);
    return s;
}

std::string Trimmed(std::string_view s) { return std::string(TrimSpaceNul(s)); }

std::string WithoutCommas(std::string_view text) {
    std::string result;
    for (char c : text)
        if (c != ',') result += c;
    return result;
}

double StrToReal(std::string_view s) {
    s = TrimSpaceNul(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
        if (!s.empty() && (s.front() == '+' || s.front() == '-')) return 0.0;
    }
    if (double quick = 0.0; ShortDecimal(s, quick)) return negative ? -quick : quick;
    if (s.empty() || !IsDecimalNumber(s)) return 0.0;
    // from_chars is locale-independent and correctly rounded.
    double value = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) return 0.0;
    return negative ? -value : value;
}

bool DecimalBeyondDouble(std::string_view s) {
    s = TrimSpaceNul(s);
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
    if (!IsDecimalNumber(s)) return false;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc::result_out_of_range) return false;
    // Out of range one way or the other: the power of ten of the first
    // non-zero digit tells which.
    int64_t digitsBefore = 0, position = 0, firstNonZero = -1, exponent = 0;
    bool afterPoint = false;
    size_t p = 0;
    for (; p < s.size() && s[p] != 'e' && s[p] != 'E'; ++p) {
        if (s[p] == '.') {
            afterPoint = true;
            continue;
        }
        if (!afterPoint) ++digitsBefore;
        if (firstNonZero < 0 && s[p] != '0') firstNonZero = position;
        ++position;
    }
    if (firstNonZero < 0) return false;
    if (p < s.size()) {
        ++p;
        const bool negative = s[p] == '-';
        if (s[p] == '+' || s[p] == '-') ++p;
        for (; p < s.size(); ++p) exponent = std::min<int64_t>(exponent * 10 + (s[p] - '0'), 1'000'000'000);
        if (negative) exponent = -exponent;
    }
    return digitsBefore - 1 - firstNonZero + exponent > 0;
}

std::optional<double> CoordinateOfText(std::string_view s) {
    s = TrimSpaceNul(s);
    if (!IsDecimalNumber(s)) return std::nullopt;
    if (DecimalBeyondDouble(s)) return s.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    return StrToReal(s);
}

void SplitAtComma(std::string& s, std::string& head) { SplitAt(',', s, head); }

void SplitAtColon(std::string& s, std::string& head) { SplitAt(':', s, head); }

}  // namespace zelkan
