#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// Finds where elements lie in the bytes of an XML file, without parsing it into a document, so
// that one element can be replaced, added or removed while every other byte of the file stays as
// it was.  Works on the bytes of any encoding in which "<", ">", quotes and the ASCII letters of
// names are single bytes that never occur inside another character (UTF-8, Shift_JIS, EUC-JP,
// ISO-8859-x); comments, CDATA sections and processing instructions are passed over.
struct CElementRange {
    size_t begin = 0;  // at the "<" of the start tag
    size_t end = 0;    // just after the ">" of the end tag (or of an empty-element tag)
};

struct CMarkupLayout {
    std::vector<CElementRange> elements;  // the outermost elements called the name asked for
    size_t rootEndTag = 0;                // at the "<" of the root's end tag
};

class CMarkupScanner {
public:
    // False when the markup cannot be followed to the root's end tag (a document type
    // declaration, an unterminated construct, an empty root element, unbalanced tags): the
    // caller then writes the whole document instead.
    static bool Scan(std::string_view bytes, std::string_view name, CMarkupLayout& layout);

    // The start of the layout whitespace (spaces, tabs, CR, LF) right before position.
    static size_t SpaceBefore(std::string_view bytes, size_t position);
};
