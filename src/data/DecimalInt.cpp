#include "data/DecimalInt.h"

#include <climits>

int ReadDecimalInt(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

bool ParseWholeDecimalInt(std::string_view text, int& value)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    size_t i = begin;
    if (i < end && (text[i] == '+' || text[i] == '-')) ++i;
    if (i == end) return false;
    for (size_t j = i; j < end; ++j) {
        if (text[j] < '0' || text[j] > '9') return false;
    }
    if (end - i > 10) return false;
    long long parsed = 0;
    for (size_t j = i; j < end; ++j) parsed = parsed * 10 + (text[j] - '0');
    if (text[begin] == '-') parsed = -parsed;
    if (parsed > INT_MAX || parsed < INT_MIN) return false;
    value = static_cast<int>(parsed);
    return true;
}
