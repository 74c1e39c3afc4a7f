#pragma once
// Trimming, number parsing and field splitting of CAD and file texts.
#include <optional>
#include <string>
#include <string_view>

namespace zelkan {

// Removes spaces (U+0020) and NULs from both ends; other white space stays.
std::string_view TrimSpaceNul(std::string_view s);
// The same as a string of its own.
std::string Trimmed(std::string_view s);

// The text without its commas (thousands separators as a spinner shows them).
std::string WithoutCommas(std::string_view text);

// The one text-to-number conversion of the system: trimmed of spaces and NULs,
// "." as decimal point whatever the process locale, empty text 0. A text that
// is not a number (or is out of range) gives 0; callers do not rely on it.
double StrToReal(std::string_view s);

// Exactly [sign] digits [. digits] [(e|E) [sign] digits], at least one digit
// before the exponent: a number as a user or a CAD writes it.
bool IsDecimalNumber(std::string_view s);

// A decimal number (trimmed as StrToReal trims) whose magnitude lies beyond
// every double, such as 1e400, which StrToReal gives as 0.
bool DecimalBeyondDouble(std::string_view s);

// The one reader of a coordinate in a parcel file: the number of a text
// (trimmed as StrToReal trims) that IsDecimalNumber accepts, nothing for any
// other text. A number beyond every double comes back as an infinity of its
// sign, never as the 0 of StrToReal, so that the boundary check refuses its
// corner instead of measuring another parcel.
std::optional<double> CoordinateOfText(std::string_view s);

// Takes the field before the first "," (":") into head and leaves the rest
// after it in s; without a separator head is all of s and s becomes empty.
void SplitAtComma(std::string& s, std::string& head);
void SplitAtColon(std::string& s, std::string& head);

}  // namespace zelkan
