#include "data/XMLDocument.h"

#include <iconv.h>
#include <strings.h>

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "data/GuardedFile.h"
#include "data/Log.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"

namespace {

// No document may pull in anything from outside itself: files, network addresses, DTDs.
xmlParserInputPtr RefuseExternalEntity(const char* url, const char* /*id*/, xmlParserCtxtPtr ctxt)
{
    LogTrace(std::string("refused external entity: ") + (url ? url : "(none)") + "\n");
    if (ctxt != nullptr) {
        ctxt->errNo = XML_IO_NETWORK_ATTEMPT;
    }
    return nullptr;
}

void InitialiseLibXml()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(RefuseExternalEntity);
    });
}

struct CParseGuard {
    bool sawDocumentType = false;
    int documentTypeLine = 0;
    bool sawError = false;
    int firstErrorLine = 0;
    int firstErrorCode = 0;
    std::string firstErrorText;
};

// Keeps the first error: later ones are usually consequences of it ("premature end").
void RecordFirstError(void* context, xmlErrorPtr error)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    if (ctxt == nullptr || error == nullptr || error->level < XML_ERR_ERROR) return;
    auto* guard = static_cast<CParseGuard*>(ctxt->_private);
    if (guard == nullptr || guard->sawError) return;
    guard->sawError = true;
    guard->firstErrorLine = error->line;
    guard->firstErrorCode = error->code;
    guard->firstErrorText = error->message != nullptr ? error->message : "";
}

// Called when the parser meets "<!DOCTYPE": the document is refused before its internal subset
// (where entity declarations live) is read at all.
void RefuseInternalSubset(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    auto* guard = static_cast<CParseGuard*>(ctxt->_private);
    if (guard != nullptr) {
        guard->sawDocumentType = true;
        guard->documentTypeLine = ctxt->input != nullptr ? ctxt->input->line : 1;
    }
    xmlStopParser(ctxt);
}

bool IsWhitespaceOnly(const xmlChar* content)
{
    if (content == nullptr) return true;
    for (const xmlChar* p = content; *p; ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') return false;
    }
    return true;
}

// Whitespace-only text nodes are layout, not data: they are dropped on loading so that a value
// element's first text child is its value and containers hold elements only.
void DropWhitespaceText(xmlNodePtr node)
{
    xmlNodePtr child = node->children;
    while (child != nullptr) {
        xmlNodePtr next = child->next;
        if (child->type == XML_TEXT_NODE && IsWhitespaceOnly(child->content)) {
            xmlUnlinkNode(child);
            xmlFreeNode(child);
        } else if (child->type == XML_ELEMENT_NODE) {
            DropWhitespaceText(child);
        }
        child = next;
    }
}

// Calls found(element) for each descendant element of node called tag, in document order, until
// it returns false.
template <typename Found>
void WalkElements(xmlNodePtr node, const char* tag, Found found)
{
    // Iterative pre-order walk: deep documents must not exhaust the stack.
    xmlNodePtr current = node->children;
    while (current != nullptr) {
        if (current->type == XML_ELEMENT_NODE) {
            if (std::strcmp(reinterpret_cast<const char*>(current->name), tag) == 0) {
                if (!found(current)) return;
            }
            if (current->children != nullptr) {
                current = current->children;
                continue;
            }
        }
        while (current != nullptr && current->next == nullptr) {
            current = current->parent;
            if (current == node) return;
        }
        if (current != nullptr) current = current->next;
    }
}

void AppendDescendantText(xmlNodePtr node, std::string& out)
{
    for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) &&
            child->content != nullptr) {
            out += reinterpret_cast<const char*>(child->content);
        } else if (child->type == XML_ELEMENT_NODE) {
            AppendDescendantText(child, out);
        }
    }
}

std::string EscapeKeepingLineEnds(const xmlChar* content)
{
    std::string out;
    AppendEscapedText(out, reinterpret_cast<const char*>(content), true);
    return out;
}

bool CarriesLineEnds(xmlNodePtr element, const std::vector<std::string>& names)
{
    if (names.empty()) return true;
    if (element == nullptr || element->type != XML_ELEMENT_NODE) return false;
    const char* name = reinterpret_cast<const char*>(element->name);
    for (const std::string& allowed : names) {
        if (allowed == name) return true;
    }
    return false;
}

void CollectTextWithCarriageReturn(xmlNodePtr node, const std::vector<std::string>& names,
                                   std::vector<xmlNodePtr>& out)
{
    for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
        if (child->type == XML_TEXT_NODE && child->content != nullptr &&
            std::strchr(reinterpret_cast<const char*>(child->content), '\r') != nullptr) {
            // Layout between elements keeps its plain line ends too.
            if (CarriesLineEnds(node, names) || IsWhitespaceOnly(child->content)) {
                out.push_back(child);
            }
        } else if (child->type == XML_ELEMENT_NODE) {
            CollectTextWithCarriageReturn(child, names, out);
        }
    }
}

// Whether bytes written in encoding parse again.  The usual encodings are known to; any other
// is checked by parsing the bytes.
bool ReadsBack(const char* encoding, const xmlChar* bytes, int size)
{
    static const char* const kKnown[] = {"UTF-8",    "UTF8",      "UTF-16",      "UTF-16LE",
                                         "UTF-16BE", "Shift_JIS", "SHIFT-JIS",   "SJIS",
                                         "CP932",    "MS_KANJI",  "Windows-31J", "EUC-JP",
                                         "US-ASCII", "ASCII",     "ISO-8859-1"};
    for (const char* known : kKnown) {
        if (strcasecmp(encoding, known) == 0) return true;
    }
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (ctxt == nullptr) return false;
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt, reinterpret_cast<const char*>(bytes), size, nullptr,
                                      nullptr, options);
    const bool ok = doc != nullptr && ctxt->wellFormed && xmlDocGetRootElement(doc) != nullptr;
    if (doc != nullptr) xmlFreeDoc(doc);
    xmlFreeParserCtxt(ctxt);
    return ok;
}

// Writes characters in a document's own encoding only where those bytes read back as the same
// character; anything else is left to libxml2, which writes it as a character reference.  The
// converters libxml2 picks by name are not exact both ways: "￠" becomes the Shift_JIS bytes that
// read back as "¢", and "\" the byte that reads back as "¥".
class CExactEncoder {
public:
    explicit CExactEncoder(const char* encoding)
        : m_to(iconv_open(encoding, "UTF-8")), m_from(iconv_open("UTF-8", encoding))
    {
    }
    ~CExactEncoder()
    {
        if (m_to != kNone) iconv_close(m_to);
        if (m_from != kNone) iconv_close(m_from);
    }
    CExactEncoder(const CExactEncoder&) = delete;
    CExactEncoder& operator=(const CExactEncoder&) = delete;

    bool IsOpen() const { return m_to != kNone && m_from != kNone; }

    // The bytes of one UTF-8 character (at most four bytes), or nullptr when they would not
    // read back as it.  Each character is tried once.
    const std::string* Encode(std::string_view character)
    {
        uint32_t key = 0;
        for (char c : character) key = key << 8 | static_cast<unsigned char>(c);
        const auto [known, added] = m_known.try_emplace(key);
        if (added && Convert(m_to, character, m_encoded) && Convert(m_from, m_encoded, m_decoded) &&
            m_decoded == character)
            known->second = m_encoded;
        return known->second ? &*known->second : nullptr;
    }

private:
    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);

    static bool Convert(iconv_t cd, std::string_view in, std::string& out)
    {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[32];
        char* inPtr = const_cast<char*>(in.data());
        size_t inLeft = in.size();
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
            iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1))
            return false;
        out.assign(buffer, static_cast<size_t>(outPtr - buffer));
        return true;
    }

    iconv_t m_to;
    iconv_t m_from;
    std::string m_encoded;
    std::string m_decoded;
    std::unordered_map<uint32_t, std::optional<std::string>> m_known;
};

// The encoder of the serialization running on this thread (libxml2's output functions take no
// context of their own).
thread_local CExactEncoder* t_exactEncoder = nullptr;

// An output function in libxml2's sense: converts the whole characters of in that fit into out,
// and stops with -2 at one that must become a character reference.
int ExactOutput(unsigned char* out, int* outlen, const unsigned char* in, int* inlen)
{
    if (in == nullptr || t_exactEncoder == nullptr) {
        *outlen = 0;
        *inlen = 0;
        return 0;
    }
    const std::string_view input(reinterpret_cast<const char*>(in), static_cast<size_t>(*inlen));
    size_t read = 0;
    size_t written = 0;
    int result = 0;
    while (read < input.size()) {
        const auto lead = static_cast<unsigned char>(input[read]);
        const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (read + length > input.size()) break;  // the rest comes with the next call
        const std::string* bytes = t_exactEncoder->Encode(input.substr(read, length));
        if (bytes == nullptr) {
            result = -2;
            break;
        }
        if (written + bytes->size() > static_cast<size_t>(*outlen)) break;
        std::memcpy(out + written, bytes->data(), bytes->size());
        written += bytes->size();
        read += length;
    }
    *inlen = static_cast<int>(read);
    *outlen = static_cast<int>(written);
    return result;
}

// Encodings whose every character is written as itself by libxml2, and those whose bytes
// depend on a state a character-by-character check cannot see.
bool NeedsExactEncoder(const char* encoding)
{
    static const char* const kPrefixes[] = {"UTF", "UCS", "ISO-2022", "ISO2022", "CSISO2022"};
    for (const char* prefix : kPrefixes) {
        if (strncasecmp(encoding, prefix, std::strlen(prefix)) == 0) return false;
    }
    return true;
}

int AppendToString(void* context, const char* buffer, int length)
{
    static_cast<std::string*>(context)->append(buffer, static_cast<size_t>(length));
    return length;
}

// The document in encoding through the exact encoder; false when that encoding cannot be
// opened so (libxml2's own converter is then used).
bool DumpExactly(xmlDocPtr doc, const char* encoding, std::string& bytes)
{
    if (!NeedsExactEncoder(encoding)) return false;
    CExactEncoder encoder(encoding);
    if (!encoder.IsOpen()) return false;
    xmlCharEncodingHandler handler{};
    std::string name = encoding;
    handler.name = name.data();
    handler.output = ExactOutput;
    bytes.clear();
    xmlOutputBufferPtr buffer = xmlOutputBufferCreateIO(AppendToString, nullptr, &bytes, &handler);
    if (buffer == nullptr) return false;
    CExactEncoder* previous = t_exactEncoder;
    t_exactEncoder = &encoder;
    const int result = xmlSaveFileTo(buffer, doc, encoding);
    t_exactEncoder = previous;
    return result >= 0;
}

std::string TrimmedMessage(const char* message)
{
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace

void AppendEscapedText(std::string& out, std::string_view text, bool rawCarriageReturns)
{
    for (size_t i = 0; i < text.size(); ++i) {
        // Runs of plain characters in one piece: an import writes many texts.
        const size_t plain = text.find_first_of("&<>\r", i);
        out.append(text, i, (plain == std::string_view::npos ? text.size() : plain) - i);
        if (plain == std::string_view::npos) return;
        i = plain;
        const char c = text[i];
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '\r':
                // Only a CR that ends a line with the LF after it may stand raw: a reader turns
                // a lone raw CR into a line feed.
                out += rawCarriageReturns && i + 1 < text.size() && text[i + 1] == '\n' ? "\r"
                                                                                        : "&#13;";
                break;
            default:
                out += c;
        }
    }
}

std::string RemoveCharactersXMLLacks(const std::string& text)
{
    const auto lacked = [](unsigned char c) {
        return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xEF;
    };
    if (std::none_of(text.begin(), text.end(), lacked)) return text;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') continue;
        // U+FFFE and U+FFFF (EF BF BE / EF BF BF) are not XML characters either.
        if (c == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
            (static_cast<unsigned char>(text[i + 2]) == 0xBE ||
             static_cast<unsigned char>(text[i + 2]) == 0xBF)) {
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

CXMLDataFile::~CXMLDataFile()
{
    Release();
}

void CXMLDataFile::Release()
{
    if (m_doc != nullptr) {
        xmlFreeDoc(m_doc);
        m_doc = nullptr;
    }
}

int CXMLDataFile::LoadXMLDataFile(const std::string& path)
{
    LogTrace("LoadXMLDataFile関数:Start\n");
    if (!ParseFile(path, nullptr, nullptr, nullptr)) return 0;
    LogTrace("LoadXMLDataFile関数:End\n");
    return 1;
}

// Where a parse reads from: bytes in memory or an open file.
struct CXMLDataFile::CSource {
    const std::string* bytes = nullptr;
    CGuardedFile* file = nullptr;
    const std::string* path = nullptr;
};

namespace {

// The state of a streaming parse: the outermost elements called tag go to the sink one by one.
struct CStreamState {
    const char* tag = nullptr;
    int depth = 0;
    const CXMLDataFile* file = nullptr;
    const CXMLDataFile::CElementSink* sink = nullptr;
    startElementNsSAX2Func start = nullptr;
    endElementNsSAX2Func end = nullptr;
    CParseGuard* guard = nullptr;
};

struct CParsePrivate {
    CParseGuard guard;
    CStreamState stream;
};

// Whether an element the parser reports is one of the streamed ones, named as the document
// names it: an element whose prefix is declared nowhere keeps its whole name ("p:FishData").
bool IsStreamedElement(const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                       const char* tag)
{
    return std::strcmp(reinterpret_cast<const char*>(localname), tag) == 0 &&
           (prefix == nullptr || uri != nullptr);
}

void StreamStartElement(void* context, const xmlChar* localname, const xmlChar* prefix,
                        const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                        int attributeCount, int defaultedCount, const xmlChar** attributes)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    auto* state = &static_cast<CParsePrivate*>(ctxt->_private)->stream;
    state->start(context, localname, prefix, uri, namespaceCount, namespaces, attributeCount,
                 defaultedCount, attributes);
    if (IsStreamedElement(localname, prefix, uri, state->tag)) ++state->depth;
}

void StreamEndElement(void* context, const xmlChar* localname, const xmlChar* prefix,
                      const xmlChar* uri)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    auto* state = &static_cast<CParsePrivate*>(ctxt->_private)->stream;
    xmlNodePtr element = ctxt->node;
    state->end(context, localname, prefix, uri);
    if (!IsStreamedElement(localname, prefix, uri, state->tag)) return;
    if (--state->depth != 0 || element == nullptr || element->parent == nullptr) return;
    if (element->parent->type != XML_ELEMENT_NODE) return;  // the root itself stays
    DropWhitespaceText(element);
    (*state->sink)(*state->file, element);
    xmlUnlinkNode(element);
    xmlFreeNode(element);
    // libxml2 appends further text to the parent's last text node in place, by the length and
    // buffer size it noted for the text node it made last: one inside the element just freed.
    // With the element gone, the parent's last child may be an older text node (text beside
    // the trips, in a hand-edited file); the noted sizes are not its own, and appending by them
    // corrupts the heap.  Zero sizes make libxml2 append by the node's own length.
    ctxt->nodelen = 0;
    ctxt->nodemem = 0;
}

}  // namespace

int CXMLDataFile::LoadXMLDataFromMemory(const std::string& bytes, const std::string& path)
{
    CSource source;
    source.bytes = &bytes;
    source.path = &path;
    return Parse(source, nullptr, nullptr);
}

int CXMLDataFile::StreamXMLDataFromMemory(const std::string& bytes, const char* tag,
                                          const CElementSink& sink)
{
    CSource source;
    source.bytes = &bytes;
    return Parse(source, tag, &sink);
}

int CXMLDataFile::StreamXMLDataFile(const std::string& path, const char* tag,
                                    const CElementSink& sink, CFileIdentity* identity)
{
    return ParseFile(path, tag, &sink, identity);
}

namespace {

// Feeds the parser from a guarded file, never more than the catch file may hold (a file that
// grows while it is read is cut off as too large).
struct CFileFeed {
    CGuardedFile* file = nullptr;
    uint64_t read = 0;
};

int ReadFeed(void* context, char* buffer, int size)
{
    auto* feed = static_cast<CFileFeed*>(context);
    const ssize_t got = feed->file->Read(buffer, static_cast<size_t>(size));
    if (got < 0) return -1;
    feed->read += static_cast<uint64_t>(got);
    return feed->read > kMaxXMLFileBytes ? -1 : static_cast<int>(got);
}

int CloseFeed(void*)
{
    return 0;
}

}  // namespace

int CXMLDataFile::ParseFile(const std::string& path, const char* tag, const CElementSink* sink,
                            CFileIdentity* identity)
{
    Release();
    m_errorLine = 0;
    m_errorCode = 0;
    m_errorText.clear();
    if (path.empty()) {
        m_status = EXMLLoadStatus::NoPath;
        return 0;
    }
    CGuardedFile file;
    switch (file.Open(path, kMaxXMLFileBytes, &m_errorText)) {
        case EFileRead::Ok:
            break;
        case EFileRead::Missing:
            m_status = EXMLLoadStatus::Missing;
            return 0;
        case EFileRead::TooLarge:
            m_status = EXMLLoadStatus::TooLarge;
            return 0;
        case EFileRead::NotRegular:
        case EFileRead::Unreadable:
            m_status = EXMLLoadStatus::Unreadable;
            LogTrace("読み込みに失敗しました\n");
            return 0;
    }
    if (identity != nullptr) *identity = file.Identity();
    CSource source;
    source.file = &file;
    source.path = &path;
    return Parse(source, tag, sink);
}

int CXMLDataFile::Parse(const CSource& source, const char* tag, const CElementSink* sink)
{
    InitialiseLibXml();
    Release();
    m_errorLine = 0;
    m_errorCode = 0;
    m_errorText.clear();
    if (source.bytes != nullptr && source.bytes->size() > kMaxXMLFileBytes) {
        m_status = EXMLLoadStatus::TooLarge;
        m_errorText = "file too large";
        return 0;
    }

    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (ctxt == nullptr) {
        m_status = EXMLLoadStatus::Unreadable;
        m_errorText = "out of memory";
        LogTrace("読み込みに失敗しました\n");
        return 0;
    }
    CParsePrivate state;
    CParseGuard& guard = state.guard;
    ctxt->_private = &state;
    ctxt->sax->internalSubset = RefuseInternalSubset;
    ctxt->sax->serror = RecordFirstError;
    if (tag != nullptr && sink != nullptr) {
        state.stream.tag = tag;
        state.stream.file = this;
        state.stream.sink = sink;
        state.stream.start = ctxt->sax->startElementNs;
        state.stream.end = ctxt->sax->endElementNs;
        ctxt->sax->startElementNs = StreamStartElement;
        ctxt->sax->endElementNs = StreamEndElement;
    }
    // Never NOENT (entity expansion), DTDLOAD, HUGE or RECOVER.
    // NOBLANKS keeps most layout whitespace from being made into nodes at all; what it leaves
    // (blanks that are an element's only content) is dropped below.
    const int options = XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_NOBLANKS |
                        XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    const char* url =
        source.path != nullptr && !source.path->empty() ? source.path->c_str() : nullptr;
    CFileFeed feed{source.file, 0};
    xmlDocPtr doc =
        source.bytes != nullptr
            ? xmlCtxtReadMemory(ctxt, source.bytes->data(), static_cast<int>(source.bytes->size()),
                                url, nullptr, options)
            : xmlCtxtReadIO(ctxt, ReadFeed, CloseFeed, &feed, url, nullptr, options);
    if (guard.sawDocumentType) {
        if (doc != nullptr) xmlFreeDoc(doc);
        doc = nullptr;
        m_status = EXMLLoadStatus::DocumentTypeRefused;
        m_errorLine = guard.documentTypeLine > 0 ? guard.documentTypeLine : 1;
        m_errorText = "document type declarations are not accepted";
    } else if (doc == nullptr || !ctxt->wellFormed) {
        if (doc != nullptr) xmlFreeDoc(doc);
        doc = nullptr;
        const xmlError* error = xmlCtxtGetLastError(ctxt);
        m_status = EXMLLoadStatus::ParseError;
        int line = guard.sawError ? guard.firstErrorLine : (error != nullptr ? error->line : 0);
        m_errorLine = line > 0 ? line : 1;
        m_errorCode = guard.sawError ? guard.firstErrorCode : (error != nullptr ? error->code : 0);
        m_errorText = guard.sawError     ? TrimmedMessage(guard.firstErrorText.c_str())
                      : error != nullptr ? TrimmedMessage(error->message)
                                         : "not well-formed";
    }
    xmlFreeParserCtxt(ctxt);
    if (doc == nullptr) {
        LogTrace("読み込みに失敗しました\n");
        return 0;
    }
    m_doc = doc;
    xmlNodePtr root = xmlDocGetRootElement(m_doc);
    if (root == nullptr) {
        Release();
        m_status = EXMLLoadStatus::NoDocumentElement;
        m_errorText = "no document element";
        return 0;
    }
    DropWhitespaceText(root);
    m_status = EXMLLoadStatus::Loaded;
    return 1;
}

int CXMLDataFile::NewDocument(const char* rootName, const std::string& encoding)
{
    InitialiseLibXml();
    Release();
    m_doc = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (m_doc == nullptr) return 0;
    if (!encoding.empty())
        m_doc->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>(encoding.c_str()));
    xmlNodePtr root =
        xmlNewDocNode(m_doc, nullptr, reinterpret_cast<const xmlChar*>(rootName), nullptr);
    if (root == nullptr) {
        Release();
        return 0;
    }
    xmlDocSetRootElement(m_doc, root);
    m_status = EXMLLoadStatus::Loaded;
    return 1;
}

bool CXMLDataFile::BareParse(const std::string& bytes)
{
    InitialiseLibXml();
    xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                  XML_PARSE_NONET);
    const bool parsed = doc != nullptr;
    xmlFreeDoc(doc);
    return parsed;
}

std::string CXMLDataFile::GetEncoding() const
{
    if (m_doc == nullptr || m_doc->encoding == nullptr) return {};
    return reinterpret_cast<const char*>(m_doc->encoding);
}

int CXMLDataFile::CheckParseError() const
{
    LogTrace("CheckParseError関数:Start\n");
    const bool parseFailed =
        m_status == EXMLLoadStatus::ParseError || m_status == EXMLLoadStatus::DocumentTypeRefused;
    if (parseFailed && m_errorLine > 0) return -1;
    LogTrace("CheckParseError関数:End\n");
    return 0;
}

xmlNodePtr CXMLDataFile::GetDocumentElement() const
{
    return m_doc != nullptr ? xmlDocGetRootElement(m_doc) : nullptr;
}

bool CXMLDataFile::SerializeDocument(std::string& bytes, std::string* error) const
{
    if (m_doc == nullptr) {
        if (error) *error = "文書がありません";
        return false;
    }
    // libxml2 escapes CR in text as "&#13;"; the file format carries line ends as plain CR LF,
    // so such text nodes are escaped here and written unchanged.
    std::vector<xmlNodePtr> withCR;
    CollectTextWithCarriageReturn(reinterpret_cast<xmlNodePtr>(m_doc), m_lineEndElements, withCR);
    std::vector<std::pair<xmlChar*, const xmlChar*>> saved;
    saved.reserve(withCR.size());
    for (xmlNodePtr node : withCR) {
        saved.emplace_back(node->content, node->name);
        const std::string escaped = EscapeKeepingLineEnds(node->content);
        node->content = xmlStrdup(reinterpret_cast<const xmlChar*>(escaped.c_str()));
        node->name = xmlStringTextNoenc;
    }

    const char* encoding =
        m_doc->encoding != nullptr ? reinterpret_cast<const char*>(m_doc->encoding) : "UTF-8";
    bool done = DumpExactly(m_doc, encoding, bytes) &&
                ReadsBack(encoding, reinterpret_cast<const xmlChar*>(bytes.data()),
                          static_cast<int>(bytes.size()));
    if (!done) {
        xmlChar* memory = nullptr;
        int size = 0;
        xmlDocDumpMemoryEnc(m_doc, &memory, &size, encoding);
        if (memory != nullptr && !ReadsBack(encoding, memory, size)) {
            // Some encodings the parser reads cannot be written so that they read back (UTF-7
            // encodes even the declaration); such a document is written in UTF-8 instead.
            xmlFree(memory);
            memory = nullptr;
            encoding = "UTF-8";
            xmlDocDumpMemoryEnc(m_doc, &memory, &size, encoding);
        }
        if (memory != nullptr) {
            bytes.assign(reinterpret_cast<const char*>(memory), static_cast<size_t>(size));
            xmlFree(memory);
            done = true;
        }
    }

    for (size_t i = 0; i < withCR.size(); ++i) {
        xmlFree(withCR[i]->content);
        withCR[i]->content = saved[i].first;
        withCR[i]->name = saved[i].second;
    }
    if (!done) {
        if (error) *error = std::string("文書を文字コード ") + encoding + " で書き出せません";
        return false;
    }
    return true;
}

int CXMLDataFile::SaveXMLFile(const std::string& path, std::string* error)
{
    if (path.empty()) {
        if (error) *error = "ファイル名がありません";
        return 0;
    }
    LogTrace("SaveXMLFile関数:Start\n");
    std::string bytes;
    std::string reason;
    if (!SerializeDocument(bytes, &reason) || !WriteFileSafely(path, bytes, &reason)) {
        LogTrace("ファイルの保存に失敗しました\n");
        m_errorText = reason;
        if (error) *error = reason;
        return 0;
    }
    LogTrace("SaveXMLFile関数:End\n");
    return 1;
}

int CXMLDataFile::UnLoadXMLDataFile()
{
    LogTrace("UnLoadXMLDataFile関数:Start\n");
    Release();
    m_status = EXMLLoadStatus::NotLoaded;
    LogTrace("UnLoadXMLDataFile関数:End\n");
    return 1;
}

int CXMLDataFile::AppendTag(const char* name, const std::string& text, xmlNodePtr parent,
                            xmlNodePtr* out)
{
    LogTrace("AppendTag関数:Start\n");
    if (parent == nullptr || parent->doc == nullptr) return -5;
    xmlDocPtr doc = parent->doc;
    if (!IsValidUtf8(text)) return -4;
    xmlNodePtr layout = xmlNewDocText(doc, reinterpret_cast<const xmlChar*>("\r\n"));
    if (layout == nullptr) return -4;
    xmlAddChild(parent, layout);
    xmlNodePtr element =
        xmlNewDocNode(doc, nullptr, reinterpret_cast<const xmlChar*>(name), nullptr);
    if (element == nullptr) return -4;
    xmlAddChild(parent, element);
    if (out != nullptr) *out = element;
    if (!text.empty()) {
        const std::string clean = RemoveCharactersXMLLacks(text);
        xmlNodePtr value = xmlNewDocText(doc, reinterpret_cast<const xmlChar*>(clean.c_str()));
        if (value == nullptr) return -4;
        xmlAddChild(element, value);
    }
    LogTrace("AppendTag関数:End\n");
    return 0;
}

int CXMLDataFile::GetTagNode(const char* tag, int n, xmlNodePtr node, xmlNodePtr* out) const
{
    if (node == nullptr || node->type != XML_ELEMENT_NODE) return -5;
    if (n < 1) return -14;
    int seen = 0;
    xmlNodePtr match = nullptr;
    WalkElements(node, tag, [&](xmlNodePtr element) {
        if (++seen < n) return true;
        match = element;
        return false;
    });
    if (match == nullptr) return -14;
    if (out != nullptr) *out = match;
    return 0;
}

int CXMLDataFile::GetNodeText(xmlNodePtr node, std::string& text, size_t bufferSize) const
{
    text.clear();
    if (node == nullptr) return -5;
    for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
        if (child->type == XML_TEXT_NODE) {
            if (child->content != nullptr) {
                text = CutToCp932Bytes(reinterpret_cast<const char*>(child->content),
                                       bufferSize > 0 ? bufferSize - 1 : 0);
            }
            break;
        }
    }
    return 0;
}

std::string CXMLDataFile::GetElementText(xmlNodePtr node, size_t bufferSize)
{
    if (node == nullptr) return {};
    std::string text;
    AppendDescendantText(node, text);
    return CutToCp932Bytes(text, bufferSize > 0 ? bufferSize - 1 : 0);
}

std::vector<xmlNodePtr> CXMLDataFile::GetElementsByTagName(xmlNodePtr node, const char* tag)
{
    std::vector<xmlNodePtr> found;
    if (node != nullptr) {
        WalkElements(node, tag, [&found](xmlNodePtr element) {
            found.push_back(element);
            return true;
        });
    }
    return found;
}

void CXMLDataFile::RemoveAllChildren(xmlNodePtr node)
{
    if (node == nullptr) return;
    while (node->children != nullptr) {
        xmlNodePtr child = node->children;
        xmlUnlinkNode(child);
        xmlFreeNode(child);
    }
}
