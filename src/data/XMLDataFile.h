#pragma once

// The catch file's XML as the rest of the program sees it: its size limit, how a load ended and
// the text rules of its writer.  The document layer itself (CXMLDataFile, on libxml2) is in
// data/XMLDocument.h, which only the data subsystem includes.

#include <cstddef>
#include <string>
#include <string_view>

// The largest XML file any reader takes; a larger one is refused before it is read.
inline constexpr size_t kMaxXMLFileBytes = 256u * 1024u * 1024u;

// How the last LoadXMLDataFile ended, so that callers can tell a missing catch file from one
// that cannot be parsed and name the line.
enum class EXMLLoadStatus {
    NotLoaded,
    Loaded,
    NoPath,               // empty path
    Missing,              // the file does not exist
    Unreadable,           // the file exists but cannot be read
    TooLarge,             // larger than kMaxXMLFileBytes
    ParseError,           // not well-formed XML (line in GetErrorLine)
    DocumentTypeRefused,  // holds a document type declaration, which is never processed
    NoDocumentElement,    // well-formed but without a root element
};

// The text without the characters XML 1.0 cannot carry (most controls, U+FFFE, U+FFFF):
// written, they would make the whole file unreadable.
std::string RemoveCharactersXMLLacks(const std::string& text);
// Appends text as element content: "&", "<" and ">" escaped as libxml2 writes them, a CR raw
// where it stands for a line end (rawCarriageReturns, and an LF after it) or as "&#13;" (so
// that it reads back as a CR).
void AppendEscapedText(std::string& out, std::string_view text, bool rawCarriageReturns);
