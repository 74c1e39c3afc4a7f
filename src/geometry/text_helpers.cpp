#include "geometry/text_helpers.h"

#include <charconv>
#include <system_error>

namespace zelkan {

namespace {

bool IsSpaceOrNul(char c) { return c == ' ' || c == '\0'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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

}  // namespace

std::string_view TrimSpaceNul(std::string_view s) {
    while (!s.empty() && IsSpaceOrNul(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpaceOrNul(s.back())) s.remove_suffix(1);
    return s;
}

double StrToReal(std::string_view s) {
    s = TrimSpaceNul(s);
    if (s.empty() || !IsDecimalNumber(s)) return 0.0;
    bool negative = false;
    if (s.front() == '+' || s.front() == '-') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    // from_chars is locale-independent and correctly rounded.
    double value = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) return 0.0;
    return negative ? -value : value;
}

void SplitAtComma(std::string& s, std::string& head) { SplitAt(',', s, head); }

void SplitAtColon(std::string& s, std::string& head) { SplitAt(':', s, head); }

}  // namespace zelkan
