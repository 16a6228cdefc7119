#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Weights and lengths of catches: decimal numbers held exactly as integer thousandths, so that
// sums and comparisons never meet binary rounding (0.1 + 0.2 is 0.3 here).

enum class EDecimalError {
    None,
    Empty,            // nothing but blanks
    Comma,            // a decimal comma ("0,35"): refused rather than read as 35 or 0
    Thousands,        // thousands separators ("1,234"): refused rather than read as 1.234
    Negative,         // a minus sign ("-1", "-0"): weights and lengths are never below 0
    NotNumber,        // other characters, a plus sign, two points
    TooManyDecimals,  // more places than the field takes
    OutOfRange,       // beyond the field's range
};

// Reads what a user typed: blanks around it, ASCII or full-width digits and point (「０．３５」),
// at most maxDecimals places (zeros beyond them are allowed, "48.50" is 48.5), between 0 and
// maxValue.  On success thousandths holds the value; otherwise it is untouched.
EDecimalError ParseDecimalInput(std::string_view text, int maxDecimals, int maxValue,
                                int64_t& thousandths);

// A Japanese reason for an error of ParseDecimalInput, naming the field ("重さ") and what it
// takes: "重さの小数点には「,」ではなく「.」を使ってください（例: 0.35）".
std::string DescribeDecimalError(EDecimalError error, std::string_view fieldName, int maxDecimals,
                                 int maxValue);

// The normal form of a value: no exponent, no trailing zeros, no point for whole numbers
// ("0.35", "48", "48.5", "-1.2").
std::string FormatThousandths(int64_t thousandths);

// The value of a stored text as exactly as thousandths can hold it, as leniently as the file
// formats are read: leading blanks, an optional sign, digits, an optional point and places
// (beyond the third ignored), anything after that ignored; no digits read 0.  Whole numbers of
// old files read as they always did.
int64_t ReadStoredThousandths(std::string_view text);
