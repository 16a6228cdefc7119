#include "data/DecimalNumber.h"

#include <limits>

#include "data/DecimalInt.h"

namespace {

constexpr int64_t kScale = 1000;
// Far beyond any weight, far below overflow of the arithmetic below.
constexpr int64_t kMaxStoredWhole = std::numeric_limits<int64_t>::max() / (10 * kScale);

// The input with full-width digits, point, comma and spaces turned into ASCII (what a Japanese
// input method types), other bytes unchanged.
std::string FoldFullWidth(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
        if (i + 2 < text.size() && byte(0) == 0xEF && byte(1) == 0xBC) {
            const unsigned char last = byte(2);
            if (last >= 0x90 && last <= 0x99) {
                out += static_cast<char>('0' + (last - 0x90));
                i += 2;
                continue;
            }
            if (last == 0x8E || last == 0x8C) {
                out += last == 0x8E ? '.' : ',';
                i += 2;
                continue;
            }
        }
        if (i + 2 < text.size() && byte(0) == 0xE3 && byte(1) == 0x80 &&
            (byte(2) == 0x80 || byte(2) == 0x81)) {
            // Ideographic space, and the ideographic comma used as a decimal comma.
            out += byte(2) == 0x80 ? ' ' : ',';
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

// "1,234" or "12,345,678.5": a first group of one to three digits (not a lone 0) and then
// groups of exactly three, as thousands are written; "0,35" and "12,5" are decimal commas.
bool IsGroupedByThousands(std::string_view text)
{
    const std::string_view whole = text.substr(0, text.find('.'));
    size_t group = 0;
    size_t groups = 0;
    for (size_t i = 0; i <= whole.size(); ++i) {
        if (i == whole.size() || whole[i] == ',') {
            if (groups == 0 ? (group == 0 || group > 3 || whole[0] == '0') : group != 3)
                return false;
            ++groups;
            group = 0;
        } else if (IsAsciiDigit(whole[i])) {
            ++group;
        } else {
            return false;
        }
    }
    return groups > 1;
}

}  // namespace

std::string DescribeDecimalError(EDecimalError error, std::string_view fieldName, int maxDecimals,
                                 int maxValue)
{
    const std::string field(fieldName);
    const std::string range = field + "には 0 から " + std::to_string(maxValue) +
                              " までの数を、小数点以下 " + std::to_string(maxDecimals) +
                              " 桁まで入力してください";
    switch (error) {
        case EDecimalError::None:
            return {};
        case EDecimalError::Empty:
            return field + "が空です";
        case EDecimalError::Comma:
            return field + "の小数点には「,」ではなく「.」を使ってください（例: 0.35）";
        case EDecimalError::Thousands:
            return field + "に桁区切りの「,」は使えません（例: 1234）";
        case EDecimalError::Negative:
            return field + "にマイナスの数は使えません";
        case EDecimalError::TooManyDecimals:
            return field + "は小数点以下 " + std::to_string(maxDecimals) + " 桁までです";
        case EDecimalError::OutOfRange:
            return field + "は " + std::to_string(maxValue) + " までです";
        case EDecimalError::NotNumber:
            return range;
    }
    return range;
}

EDecimalError ParseDecimalInput(std::string_view typed, int maxDecimals, int maxValue,
                                int64_t& thousandths)
{
    const std::string folded = FoldFullWidth(typed);
    const std::string_view text = TrimBlanks(folded);
    if (text.empty()) return EDecimalError::Empty;
    if (text.find(',') != std::string_view::npos) {
        return IsGroupedByThousands(text) ? EDecimalError::Thousands : EDecimalError::Comma;
    }
    if (text.front() == '-') return EDecimalError::Negative;
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view places =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && places.empty()) return EDecimalError::NotNumber;
    for (std::string_view part : {whole, places}) {
        for (char c : part) {
            if (c < '0' || c > '9') return EDecimalError::NotNumber;
        }
    }
    for (size_t n = static_cast<size_t>(maxDecimals); n < places.size(); ++n) {
        if (places[n] != '0') return EDecimalError::TooManyDecimals;
    }
    int64_t value = 0;
    for (char c : whole) {
        value = value * 10 + (c - '0');
        if (value > maxValue) return EDecimalError::OutOfRange;
    }
    value *= kScale;
    int64_t scale = kScale;
    for (size_t n = 0; n < places.size() && n < 3; ++n) {
        scale /= 10;
        value += (places[n] - '0') * scale;
    }
    if (value > static_cast<int64_t>(maxValue) * kScale) return EDecimalError::OutOfRange;
    thousandths = value;
    return EDecimalError::None;
}

std::string FormatThousandths(int64_t thousandths)
{
    const bool negative = thousandths < 0;
    // Negating the smallest value would overflow; unsigned arithmetic keeps it exact.
    const uint64_t magnitude =
        negative ? 0 - static_cast<uint64_t>(thousandths) : static_cast<uint64_t>(thousandths);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / kScale);
    uint64_t rest = magnitude % kScale;
    if (rest != 0) {
        text += '.';
        for (uint64_t digit = kScale / 10; rest != 0; digit /= 10) {
            text += static_cast<char>('0' + rest / digit);
            rest %= digit;
        }
    }
    return text;
}

int64_t ReadStoredThousandths(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t whole = 0;
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i) {
        if (whole < kMaxStoredWhole) whole = whole * 10 + (text[i] - '0');
    }
    int64_t value = (whole < kMaxStoredWhole ? whole : kMaxStoredWhole) * kScale;
    if (i < text.size() && text[i] == '.') {
        int64_t scale = kScale;
        for (++i; i < text.size() && IsAsciiDigit(text[i]); ++i) {
            scale /= 10;
            value += (text[i] - '0') * scale;
        }
    }
    return negative ? -value : value;
}
