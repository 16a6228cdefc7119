#pragma once

#include <string>
#include <string_view>

// Texts compared by what a person would call the same words: full-width and half-width forms,
// katakana and hiragana, and upper and lower case of Latin letters are alike.

// The folded form of UTF-8 text: full-width ASCII and the ideographic space as ASCII,
// half-width katakana as full-width (voiced marks joined), katakana as hiragana, A-Z as a-z.
// Bytes that are not valid UTF-8 pass unchanged.
std::string FoldForSearch(std::string_view text);
