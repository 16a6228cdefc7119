#include "data/MarkupScanner.h"

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The position just after the first occurrence of terminator at or after from, or npos.
size_t After(std::string_view bytes, size_t from, std::string_view terminator)
{
    const size_t found = bytes.find(terminator, from);
    return found == std::string_view::npos ? found : found + terminator.size();
}

// The ">" ending a tag that starts at from, skipping quoted attribute values; npos when none.
size_t TagEnd(std::string_view bytes, size_t from)
{
    char quote = 0;
    for (size_t i = from; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        } else if (c == '<') {
            return std::string_view::npos;
        }
    }
    return std::string_view::npos;
}

std::string_view NameAt(std::string_view bytes, size_t from)
{
    size_t end = from;
    while (end < bytes.size() && !IsSpace(bytes[end]) && bytes[end] != '>' && bytes[end] != '/') {
        ++end;
    }
    return bytes.substr(from, end - from);
}

}  // namespace

bool CMarkupScanner::Scan(std::string_view bytes, std::string_view name, CMarkupLayout& layout)
{
    layout = CMarkupLayout{};
    int depth = 0;      // open elements
    int nameDepth = 0;  // open elements called name
    bool rootSeen = false;
    size_t position = 0;
    while ((position = bytes.find('<', position)) != std::string_view::npos) {
        const std::string_view rest = bytes.substr(position);
        size_t next = std::string_view::npos;
        if (rest.starts_with("<!--")) {
            next = After(bytes, position + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            next = After(bytes, position + 9, "]]>");
        } else if (rest.starts_with("<?")) {
            next = After(bytes, position + 2, "?>");
        } else if (rest.starts_with("<!")) {
            return false;
        } else if (rest.starts_with("</")) {
            const size_t close = TagEnd(bytes, position + 2);
            if (close == std::string_view::npos || depth == 0) return false;
            next = close + 1;
            if (NameAt(bytes, position + 2) == name && nameDepth > 0 && --nameDepth == 0) {
                if (layout.elements.empty() || layout.elements.back().end != 0) return false;
                layout.elements.back().end = next;
            }
            if (--depth == 0) {
                layout.rootEndTag = position;
                return true;
            }
        } else {
            const size_t close = TagEnd(bytes, position + 1);
            if (close == std::string_view::npos) return false;
            next = close + 1;
            const bool empty = bytes[close - 1] == '/';
            if (depth == 0) {
                if (rootSeen || empty) return false;
                rootSeen = true;
            }
            if (NameAt(bytes, position + 1) == name) {
                if (nameDepth == 0) layout.elements.push_back({position, empty ? next : 0});
                if (!empty) ++nameDepth;
            }
            if (!empty) ++depth;
        }
        if (next == std::string_view::npos) return false;
        position = next;
    }
    return false;
}

size_t CMarkupScanner::SpaceBefore(std::string_view bytes, size_t position)
{
    while (position > 0 && IsSpace(bytes[position - 1])) --position;
    return position;
}
