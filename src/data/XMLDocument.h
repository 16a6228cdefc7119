#pragma once

// The XML document layer on libxml2, private to the data subsystem: its nodes are libxml2's.
// Everything else includes data/XMLDataFile.h.

#include <libxml/tree.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/SafeFile.h"
#include "data/XMLDataFile.h"

// The XML document layer: one object per operation, loading a file into a libxml2 document,
// searching and extending it, and saving it back in its own encoding.  The parse never touches
// the network or other files, expands no entities and refuses document type declarations.
class CXMLDataFile {
public:
    static constexpr size_t kTextBufferSize = 256;  // 255 bytes of text plus the terminator

    CXMLDataFile() = default;
    ~CXMLDataFile();
    CXMLDataFile(const CXMLDataFile&) = delete;
    CXMLDataFile& operator=(const CXMLDataFile&) = delete;

    // 1 on success, 0 on failure (GetLoadStatus tells which).  Whitespace-only text nodes are
    // dropped on loading.
    int LoadXMLDataFile(const std::string& path);
    // Loads from bytes already in memory; path only names the document in messages.
    int LoadXMLDataFromMemory(const std::string& bytes, const std::string& path = {});

    // Loads like LoadXMLDataFile, but every element called tag that lies in no other such element
    // is handed to sink as soon as it ends (whitespace text dropped, its subtree complete) and
    // then freed: a large file never holds more than one of them in memory.  What remains loaded
    // is the rest of the document.  identity (when given) receives the identity of the file
    // that was read.
    using CElementSink = std::function<void(const CXMLDataFile& file, xmlNodePtr element)>;
    int StreamXMLDataFile(const std::string& path, const char* tag, const CElementSink& sink,
                          CFileIdentity* identity = nullptr);
    // The same over bytes in memory.
    int StreamXMLDataFromMemory(const std::string& bytes, const char* tag,
                                const CElementSink& sink);
    // Starts an empty document with a root element called rootName, to be written in encoding.
    int NewDocument(const char* rootName, const std::string& encoding);
    // A plain libxml2 parse of bytes into a document that is freed at once, with none of the
    // guards and extraction of the loaders: what the benchmarks measure the catch store against.
    static bool BareParse(const std::string& bytes);

    // The encoding the document declared (empty for none, which means UTF-8).
    std::string GetEncoding() const;
    // 0 when the last load had no parse error; -1 when it had one at a line greater than 0.
    int CheckParseError() const;
    // 1 on success, 0 on failure (the reason in error when given).  Written through the
    // safe-write helper; the file keeps its declared encoding.
    int SaveXMLFile(const std::string& path, std::string* error = nullptr);
    // Releases the document; returns 1.
    int UnLoadXMLDataFile();

    // Appends a CR LF text node and then an element called name to parent, and a text child with
    // text when text is not empty.  0 on success, -5 without an owner document, -4 when a node
    // cannot be made or text is not UTF-8.  Characters XML cannot carry are left out.
    int AppendTag(const char* name, const std::string& text, xmlNodePtr parent, xmlNodePtr* out);
    // The n-th (from 1) descendant element of node called tag, in document order.  0 found,
    // -14 none (out unchanged), -5 node is not an element.
    int GetTagNode(const char* tag, int n, xmlNodePtr node, xmlNodePtr* out) const;
    // The first text child of node, cut to bufferSize - 1 CP932 bytes; empty when none.  0, or -5
    // when node is null.
    int GetNodeText(xmlNodePtr node, std::string& text, size_t bufferSize = kTextBufferSize) const;

    // All descendant text of node (the DOM's text of an element), cut like GetNodeText.
    static std::string GetElementText(xmlNodePtr node, size_t bufferSize = kTextBufferSize);
    // All descendant elements of node called tag, in document order.
    static std::vector<xmlNodePtr> GetElementsByTagName(xmlNodePtr node, const char* tag);
    // Removes and frees every child node of node.
    static void RemoveAllChildren(xmlNodePtr node);

    xmlDocPtr GetDocument() const { return m_doc; }
    xmlNodePtr GetDocumentElement() const;
    // The document serialised in its own encoding (UTF-8 when it declares none).
    bool SerializeDocument(std::string& bytes, std::string* error = nullptr) const;

    EXMLLoadStatus GetLoadStatus() const { return m_status; }
    int GetErrorLine() const { return m_errorLine; }
    // libxml2's number (xmlParserErrors) for the first parse error, 0 for none.
    int GetErrorCode() const { return m_errorCode; }
    // A short reason for the last failed load or save, in English words from libxml2 or the
    // system.
    const std::string& GetErrorText() const { return m_errorText; }

    // Texts are written with their line ends as plain CR LF only inside elements with one of
    // these names; anywhere else a CR is written as a character reference, so it reads back as
    // a CR.  Empty (the default): every text keeps plain line ends.
    void SetLineEndElements(std::vector<std::string> names)
    {
        m_lineEndElements = std::move(names);
    }

private:
    void Release();
    struct CSource;
    // Loads path, opened through the guarded reader; the common part of LoadXMLDataFile and
    // StreamXMLDataFile.
    int ParseFile(const std::string& path, const char* tag, const CElementSink* sink,
                  CFileIdentity* identity);
    int Parse(const CSource& source, const char* tag, const CElementSink* sink);

    xmlDocPtr m_doc = nullptr;
    EXMLLoadStatus m_status = EXMLLoadStatus::NotLoaded;
    int m_errorLine = 0;
    int m_errorCode = 0;
    std::string m_errorText;
    std::vector<std::string> m_lineEndElements;
};
