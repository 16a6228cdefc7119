#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Texts live in memory as UTF-8.  Lengths that the file formats and layouts limit are counted in
// the Japanese multibyte encoding CP932: ASCII and half-width katakana take 1 byte, every other
// character 2 (also characters CP932 lacks).

// CP932 byte length of a UTF-8 text.  Malformed UTF-8 bytes count 1 each.
size_t Cp932ByteLength(std::string_view utf8);

// The longest prefix of utf8 whose CP932 length is at most maxBytes; never splits a character.
std::string CutToCp932Bytes(std::string_view utf8, size_t maxBytes);

// True when bytes are well-formed UTF-8 (no overlongs, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// True when bytes are UTF-8 holding Japanese (at least one character beyond U+07FF, and every
// non-ASCII character among those Japanese text uses): such bytes read as CP932 give mojibake.
// Bytes written in CP932 rarely pass: its half-width katakana pair into Latin letters at most.
bool LooksLikeJapaneseUtf8(std::string_view bytes);

// Converts UTF-8 to CP932.  Returns false (out unspecified) when a character has no CP932 form
// or would not read back as the same character (for example U+301C, which CP932 folds into
// U+FF5E): such a text must be kept in UTF-8 to stay intact.
bool Utf8ToCp932(std::string_view utf8, std::string& out);

// Converts CP932 bytes to UTF-8; a byte sequence CP932 does not define becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view bytes);

// Decodes the bytes of one of the system's text files (species list, holiday lists, memo files):
// UTF-8 when the bytes are valid UTF-8 (a leading BOM is skipped), CP932 otherwise.  CR LF line
// ends become LF; lone LF stays.
std::string DecodeTextFileBytes(std::string_view bytes);

// How DecodeTextFileBytes takes a file's bytes: plain ASCII (unmarked), UTF-8 after a byte-order
// mark, UTF-8, or CP932 (also a marked file whose rest is not UTF-8).
enum class ETextFileForm { Ascii, Marked, Utf8, Cp932 };
ETextFileForm TextFileFormOf(std::string_view bytes);

// Encodes a text for one of the system's text files: line ends become CR LF, and the bytes are
// CP932 when every character fits, UTF-8 (without BOM) otherwise, so nothing typed is lost.
std::string EncodeTextFileBytes(std::string_view text);

// Reads and decodes a text file of at most maxBytes (a regular file only, see ReadFileGuarded).
// Returns false with a reason in error (when given) if the file cannot be read; a missing file
// sets missing (when given) to true.
bool LoadTextFile(const std::string& path, std::string& text, std::string* error = nullptr,
                  bool* missing = nullptr, size_t maxBytes = SIZE_MAX);

// Encodes text and writes it through the safe-write helper.  Returns false with a reason in
// error (when given); the previous file is then left as it was.  Content larger than maxBytes
// is not written: no reader of the file would take it back.
bool SaveTextFile(const std::string& path, std::string_view text, std::string* error = nullptr,
                  size_t maxBytes = SIZE_MAX);

// The check writers of a limited kind of file make before writing: false, with the reason in
// error (when given), when bytes would exceed maxBytes.
bool FitsFileLimit(const std::string& path, size_t bytes, size_t maxBytes,
                   std::string* error = nullptr);
