#include "data/TextEncoding.h"

#include <errno.h>
#include <iconv.h>

#include "data/GuardedFile.h"
#include "data/SafeFile.h"

namespace {

// Length of the UTF-8 sequence starting at s[i], or 0 when it is malformed.
[[gnu::always_inline]] inline size_t Utf8SequenceLength(std::string_view s, size_t i,
                                                        char32_t* codePoint = nullptr)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        if (codePoint) *codePoint = b0;
        return 1;
    }
    size_t length = 0;
    char32_t cp = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    if (codePoint) *codePoint = cp;
    return length;
}

size_t Cp932Width(char32_t cp)
{
    if (cp < 0x80) return 1;
    if (cp >= 0xFF61 && cp <= 0xFF9F) return 1;  // half-width katakana
    return 2;
}

// One conversion through iconv.  Returns false on the first character that cannot be converted
// when strict; otherwise such bytes are replaced.
class CIconv {
public:
    CIconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~CIconv()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;

    bool Convert(std::string_view in, std::string& out, const char* replacement)
    {
        out.clear();
        if (m_cd == reinterpret_cast<iconv_t>(-1)) return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        size_t inLeft = in.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t rc = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<size_t>(outPtr - buffer));
            if (rc != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (incomplete sequence at the end)
            if (replacement == nullptr) return false;
            out += replacement;
            ++inPtr;
            --inLeft;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        return true;
    }

private:
    iconv_t m_cd;
};

bool IsPlainAscii(std::string_view s)
{
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// The position of the first byte of s from i on that is not ASCII (s.size() when none).
size_t SkipAscii(std::string_view s, size_t i)
{
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    return i;
}

}  // namespace

size_t Cp932ByteLength(std::string_view utf8)
{
    size_t total = 0;
    for (size_t i = 0; i < utf8.size();) {
        const size_t ascii = SkipAscii(utf8, i);
        total += ascii - i;
        i = ascii;
        if (i == utf8.size()) break;
        char32_t cp = 0;
        const size_t length = Utf8SequenceLength(utf8, i, &cp);
        if (length == 0) {
            total += 1;
            i += 1;
        } else {
            total += Cp932Width(cp);
            i += length;
        }
    }
    return total;
}

std::string CutToCp932Bytes(std::string_view utf8, size_t maxBytes)
{
    size_t total = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        size_t length = Utf8SequenceLength(utf8, i, &cp);
        size_t width = 1;
        if (length == 0) {
            length = 1;
        } else {
            width = Cp932Width(cp);
        }
        if (total + width > maxBytes) break;
        total += width;
        i += length;
    }
    return std::string(utf8.substr(0, i));
}

bool IsValidUtf8(std::string_view bytes)
{
    for (size_t i = SkipAscii(bytes, 0); i < bytes.size(); i = SkipAscii(bytes, i)) {
        const size_t length = Utf8SequenceLength(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

bool LooksLikeJapaneseUtf8(std::string_view bytes)
{
    bool wide = false;
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const size_t length = Utf8SequenceLength(bytes, i, &cp);
        if (length == 0) return false;
        i += length;
        if (cp < 0x80) continue;
        const bool japanese = (cp >= 0x2000 && cp <= 0x2BFF) || (cp >= 0x3000 && cp <= 0x9FFF) ||
                              (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFF00 && cp <= 0xFFEF);
        if (!japanese) return false;
        wide = true;
    }
    return wide;
}

bool Utf8ToCp932(std::string_view utf8, std::string& out)
{
    if (IsPlainAscii(utf8)) {
        out.assign(utf8);
        return true;
    }
    thread_local CIconv toCp932("CP932", "UTF-8");
    thread_local CIconv fromCp932("UTF-8", "CP932");
    if (!toCp932.Convert(utf8, out, nullptr)) return false;
    std::string back;
    if (!fromCp932.Convert(out, back, nullptr)) return false;
    return back == utf8;
}

std::string Cp932ToUtf8(std::string_view bytes)
{
    if (IsPlainAscii(bytes)) return std::string(bytes);
    thread_local CIconv fromCp932("UTF-8", "CP932");
    std::string out;
    fromCp932.Convert(bytes, out, "\xEF\xBF\xBD");
    return out;
}

ETextFileForm TextFileFormOf(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return IsValidUtf8(bytes.substr(3)) ? ETextFileForm::Marked : ETextFileForm::Cp932;
    if (IsPlainAscii(bytes)) return ETextFileForm::Ascii;
    return IsValidUtf8(bytes) ? ETextFileForm::Utf8 : ETextFileForm::Cp932;
}

std::string DecodeTextFileBytes(std::string_view bytes)
{
    std::string text;
    switch (TextFileFormOf(bytes)) {
        case ETextFileForm::Marked:
            text.assign(bytes.substr(3));
            break;
        case ETextFileForm::Ascii:
        case ETextFileForm::Utf8:
            text.assign(bytes);
            break;
        case ETextFileForm::Cp932:
            text = Cp932ToUtf8(bytes);
            break;
    }
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        result += text[i];
    }
    return result;
}

std::string EncodeTextFileBytes(std::string_view text)
{
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) crlf += '\r';
        crlf += text[i];
    }
    std::string cp932;
    // CP932 bytes that also form valid UTF-8 (half-width katakana such as "ﾄｷ" are C4 B7, which
    // is "ķ") would be read back as UTF-8: such a text is written in UTF-8 instead.
    if (Utf8ToCp932(crlf, cp932) && (cp932 == crlf || !IsValidUtf8(cp932))) return cp932;
    // A text that itself starts with U+FEFF would lose it to the byte-order mark the reader
    // skips: it gets a mark of its own in front.
    if (crlf.rfind("\xEF\xBB\xBF", 0) == 0) return "\xEF\xBB\xBF" + crlf;
    return crlf;
}

bool LoadTextFile(const std::string& path, std::string& text, std::string* error, bool* missing,
                  size_t maxBytes)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes, error, missing, maxBytes)) return false;
    text = DecodeTextFileBytes(bytes);
    return true;
}

bool FitsFileLimit(const std::string& path, size_t bytes, size_t maxBytes, std::string* error)
{
    if (bytes <= maxBytes) return true;
    if (error) {
        *error = path + ": " + TooLargeText(maxBytes, " の上限");
    }
    return false;
}

bool SaveTextFile(const std::string& path, std::string_view text, std::string* error,
                  size_t maxBytes)
{
    const std::string bytes = EncodeTextFileBytes(text);
    if (!FitsFileLimit(path, bytes.size(), maxBytes, error)) return false;
    return WriteFileSafely(path, bytes, error);
}
