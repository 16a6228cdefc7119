#include "data/TextFold.h"

namespace {

// Decodes one UTF-8 sequence at text[i]; returns its length, 0 when it is not valid.
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& code)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(k) & 0x3F);
    }
    return length;
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Full-width katakana of the half-width forms U+FF61 to U+FF9D.
constexpr char16_t kHalfWidthKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3};

// The katakana with the voiced (dakuten) or semi-voiced mark joined, 0 when it takes none.
char32_t JoinMark(char32_t kana, bool semiVoiced)
{
    const bool ha = kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0;
    if (semiVoiced) return ha ? kana + 2 : 0;
    if (kana == 0x30A6) return 0x30F4;
    if (ha) return kana + 1;
    // カ to チ take a mark on every second code; ツ, テ, ト after the small ッ shift by one.
    if (kana >= 0x30AB && kana <= 0x30C1 && (kana - 0x30AB) % 2 == 0) return kana + 1;
    if (kana >= 0x30C4 && kana <= 0x30C8 && (kana - 0x30C4) % 2 == 0) return kana + 1;
    return 0;
}

char32_t FoldCode(char32_t code)
{
    if (code >= 0xFF01 && code <= 0xFF5E) code -= 0xFEE0;
    if (code == 0x3000) code = ' ';
    if (code >= 'A' && code <= 'Z') code += 'a' - 'A';
    if (code >= 0x30A1 && code <= 0x30F6) code -= 0x60;
    if (code == 0x30FD || code == 0x30FE) code -= 0x60;
    return code;
}

}  // namespace

std::string FoldForSearch(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const size_t length = DecodeUtf8(text, i, code);
        if (length == 0) {
            out += text[i++];
            continue;
        }
        i += length;
        if (code >= 0xFF61 && code <= 0xFF9D) {
            code = kHalfWidthKana[code - 0xFF61];
            char32_t next = 0;
            const size_t markLength = i < text.size() ? DecodeUtf8(text, i, next) : 0;
            if (markLength != 0 && (next == 0xFF9E || next == 0xFF9F)) {
                if (const char32_t joined = JoinMark(code, next == 0xFF9F)) {
                    code = joined;
                    i += markLength;
                }
            }
        } else if (code == 0xFF9E || code == 0xFF9F) {
            code = code == 0xFF9E ? 0x309B : 0x309C;
        }
        AppendUtf8(out, FoldCode(code));
    }
    return out;
}
