#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Profile files: "[section]" lines each followed by "key=value" lines.  Section and key names
// are matched without regard to letter case and to blanks around them; the first matching
// section and key count.  Values lose blanks around them, and one pair of matching quotes
// around a whole value is removed, so quoting keeps blanks a value starts or ends with.

// Looks key up in section of a profile text.  Returns false when there is no such key.
bool FindProfileValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string& value);

// The keys of section (trimmed, as written) with their values, in file order; a key that occurs
// twice keeps its first value.  Empty when there is no such section.
std::vector<std::pair<std::string, std::string>> ReadProfileSection(std::string_view text,
                                                                    std::string_view section);

// Returns text with key of section set to value: an existing key's line is replaced in place,
// a new key is added after the last line of its section, and a missing section is added at the
// end.  Every other line stays as it was.
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

// Reads key of section from the profile file at path, cut to at most maxBytes bytes (counted in
// the system's multibyte encoding, never splitting a character).  A missing file, section or
// key reads as defaultValue.
std::string ReadPrivateProfileString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, size_t maxBytes,
                                     const std::string& path);

// SetProfileValue on the bytes of a profile file, changing nothing but the key's line (or adding
// it): every other byte, line end or undecodable byte stays as it was.  The value is written in
// the encoding the file was read in.  Returns false when that cannot be done (the value has no
// form in the file's encoding, or the change would make the reader take the other lines in another
// encoding); bytes are then as they were and the caller rewrites the file as a whole.
bool SetProfileValueInBytes(std::string& bytes, std::string_view section, std::string_view key,
                            std::string_view value);

// Profile files are read and written only up to kMaxProfileFileBytes (data/GuardedFile.h).
// Reads the whole decoded text of the profile file at path; false (with the reason in error
// when given, missing set when given) when it cannot be read.
bool LoadProfileText(const std::string& path, std::string& text, std::string* error = nullptr,
                     bool* missing = nullptr);

// Sets key of section in the profile file at path, creating the file or the section when
// missing, and stores it through the safe-write helper.  Only that key's line changes.  Returns
// false with the reason in error (when given); the file then stays as it was.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path,
                               std::string* error = nullptr);
