#pragma once

#include <string_view>

// The ASCII white space the number readers and the profile files skip.
inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

inline bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// text without the blanks (IsBlank) at either end.
inline std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Reads a decimal integer the way the file formats expect: leading white space skipped, an
// optional sign, then digits up to the first other character.  A text without leading digits
// reads 0, so "1.5" reads 1 and "abc" reads 0.  Values beyond int saturate instead of overflowing.
int ReadDecimalInt(std::string_view text);

// Strict form for user input: the whole text (surrounding blanks allowed) must be an optional
// sign and digits.  Returns false for anything else, leaving value untouched.
bool ParseWholeDecimalInt(std::string_view text, int& value);
