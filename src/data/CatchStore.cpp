#include "data/CatchStore.h"

#include <malloc.h>
#include <strings.h>

#include <algorithm>
#include <span>
#include <string_view>
#include <utility>

#include "data/MarkupScanner.h"
#include "data/TripElement.h"
#include "data/XMLDataFile.h"

namespace {

constexpr const char* kTripTag = "FishData";
// The code of a ParseError that libxml2 did not raise: a document type declaration refused.
constexpr int kDocumentTypeRefused = -1;

CStoreResult Failure(EStoreStatus status, std::string detail = {}, int line = 0, int code = 0)
{
    CStoreResult result;
    result.status = status;
    result.detail = std::move(detail);
    result.line = line;
    result.code = code;
    return result;
}

CStoreResult LoadFailure(const CXMLDataFile& file)
{
    switch (file.GetLoadStatus()) {
        case EXMLLoadStatus::Missing:
            return Failure(EStoreStatus::Missing, file.GetErrorText());
        case EXMLLoadStatus::ParseError:
            return Failure(EStoreStatus::ParseError, file.GetErrorText(), file.GetErrorLine(),
                           file.GetErrorCode());
        case EXMLLoadStatus::DocumentTypeRefused:
            return Failure(EStoreStatus::ParseError, file.GetErrorText(), file.GetErrorLine(),
                           kDocumentTypeRefused);
        case EXMLLoadStatus::NoDocumentElement:
            return Failure(EStoreStatus::ParseError, file.GetErrorText(), 1,
                           XML_ERR_DOCUMENT_EMPTY);
        default:
            return Failure(EStoreStatus::Unreadable, file.GetErrorText());
    }
}

// Encodings in which the markup can be found byte by byte (see CMarkupScanner).
bool CanSplice(const std::string& encoding)
{
    static const char* const kEncodings[] = {"UTF-8",  "UTF8",     "Shift_JIS", "SHIFT-JIS",
                                             "SJIS",   "CP932",    "MS_KANJI",  "Windows-31J",
                                             "EUC-JP", "US-ASCII", "ASCII",     "ISO-8859-1"};
    if (encoding.empty()) return true;
    for (const char* known : kEncodings) {
        if (strcasecmp(encoding.c_str(), known) == 0) return true;
    }
    return false;
}

// Whether the bytes themselves are in an encoding whose markup is found byte by byte.  The
// declaration alone does not tell: a file that starts as UTF-16 or UTF-32 (a byte order mark, or
// zero bytes among the first characters) is read so by the parser whatever it declares or lacks,
// and bytes spliced into it would not read back.
bool BytesAreAsciiCompatible(std::string_view bytes)
{
    if (bytes.size() >= 2) {
        const auto first = static_cast<unsigned char>(bytes[0]);
        const auto second = static_cast<unsigned char>(bytes[1]);
        if ((first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF)) return false;
    }
    return bytes.substr(0, 4).find('\0') == std::string_view::npos;
}

void AppendDistinct(std::vector<std::string>& list, const std::string& text)
{
    if (std::find(list.begin(), list.end(), text) == list.end()) list.push_back(text);
}

std::string YearOf(const std::string& date)
{
    return date.substr(0, date.find('/'));
}

// One trip as the catch file holds it: the bytes of its FishData element in encoding, and the
// record as it reads back from them (cut, cleaned and with line ends as a later read gives).
struct CTripBytes {
    std::string element;
    CTripRecord readBack;
};

bool IsUtf8(const std::string& encoding)
{
    return encoding.empty() || strcasecmp(encoding.c_str(), "UTF-8") == 0 ||
           strcasecmp(encoding.c_str(), "UTF8") == 0;
}

// Appends a FishData element for each trip to parent.
bool AppendTrips(CXMLDataFile& file, xmlNodePtr parent, std::span<const CTripRecord> trips)
{
    for (const CTripRecord& trip : trips) {
        xmlNodePtr element = nullptr;
        if (file.AppendTag(kTripTag, "", parent, &element) != 0 ||
            WriteTripElement(file, element, trip) != 0) {
            return false;
        }
    }
    return true;
}

// The records as a reader sees them in a document holding the trip elements of out, in order.
bool ReadBack(const std::string& document, std::vector<CTripBytes>& out, std::string& error)
{
    CXMLDataFile reader;
    size_t found = 0;
    const bool parsed = reader.StreamXMLDataFromMemory(
        document, kTripTag, [&](const CXMLDataFile& f, xmlNodePtr e) {
            if (found < out.size()) out[found].readBack = ReadTripElement(f, e);
            ++found;
        });
    if (!parsed || found != out.size()) {
        error = "書き込む釣行を読み戻せないため保存しません";
        return false;
    }
    return true;
}

// The bytes and read-back records of trips.  In a UTF-8 file they are written directly; in
// any other encoding they are serialized by libxml2 in one document, and the trip elements cut
// from it in order (their texts escape every "<", so the tags are found byte by byte).
bool SerializeTrips(std::span<const CTripRecord> trips, const std::string& encoding,
                    std::vector<CTripBytes>& out, std::string& error)
{
    out.clear();
    if (IsUtf8(encoding)) {
        // Written straight to bytes: an import of thousands of trips would otherwise build,
        // serialize and free a whole document of them.
        out.resize(trips.size());
        for (size_t n = 0; n < trips.size(); ++n) {
            if (!AppendTripElementUtf8(trips[n], out[n].element)) {
                error = "the trip cannot be put into the document";
                return false;
            }
        }
        std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>";
        for (const CTripBytes& one : out) document += one.element;
        return ReadBack(document + "</r>", out, error);
    }
    CXMLDataFile file;
    file.SetLineEndElements({std::begin(kLineEndElements), std::end(kLineEndElements)});
    std::string document;
    if (!file.NewDocument("r", encoding) || !AppendTrips(file, file.GetDocumentElement(), trips)) {
        error = "the trip cannot be put into the document";
        return false;
    }
    if (!file.SerializeDocument(document, &error)) {
        if (error.empty()) error = "the trip cannot be put into the document";
        return false;
    }
    const std::string endTag = std::string("</") + kTripTag + ">";
    size_t from = 0;
    out.resize(trips.size());
    for (CTripBytes& bytes : out) {
        const size_t begin = document.find(std::string("<") + kTripTag, from);
        const size_t end = begin == std::string::npos ? begin : document.find(endTag, begin);
        if (end == std::string::npos) {
            error = "the trip cannot be put into the document";
            return false;
        }
        from = end + endTag.size();
        bytes.element = document.substr(begin, from - begin);
    }
    return ReadBack(document, out, error);
}

}  // namespace

struct CCatchStore::CCache {
    CFileIdentity identity;
    std::vector<CTripRecord> trips;
    size_t outermost = 0;  // trips in no other trip: the elements a byte scan finds
    bool nested = false;   // a trip inside another: changes rewrite the whole document
    std::string encoding;
};

CCatchStore::CCatchStore(std::string path) : m_path(std::move(path)) {}

CCatchStore::~CCatchStore() = default;

std::string CCatchStore::GetDataDir() const
{
    const size_t slash = m_path.rfind('/');
    return slash == std::string::npos ? std::string("./") : m_path.substr(0, slash + 1);
}

void CCatchStore::Forget() const
{
    m_cache.reset();
}

bool CCatchStore::NoteFailureTold(const CStoreResult& result) const
{
    const bool readFailure = result.status == EStoreStatus::Missing ||
                             result.status == EStoreStatus::Unreadable ||
                             result.status == EStoreStatus::ParseError;
    if (!readFailure) {
        if (result.ok()) m_told = {};
        return !result.ok();
    }
    CToldFailure now;
    now.status = result.status;
    now.line = result.line;
    GetFileIdentity(m_path, now.identity);
    const bool told =
        m_told.status == now.status && m_told.line == now.line && m_told.identity == now.identity;
    m_told = now;
    return !told;
}

CStoreResult CCatchStore::Refresh() const
{
    if (m_path.empty()) return Failure(EStoreStatus::NoProgramDir);
    CFileIdentity now;
    if (m_cache && GetFileIdentity(m_path, now) && now == m_cache->identity) return {};
    m_cache.reset();

    auto cache = std::make_unique<CCache>();
    CXMLDataFile file;
    const auto sink = [&cache](const CXMLDataFile& f, xmlNodePtr element) {
        ++cache->outermost;
        cache->trips.push_back(ReadTripElement(f, element));
        for (xmlNodePtr inner : CXMLDataFile::GetElementsByTagName(element, kTripTag)) {
            cache->nested = true;
            cache->trips.push_back(ReadTripElement(f, inner));
        }
    };
    if (!file.StreamXMLDataFile(m_path, kTripTag, sink, &cache->identity) ||
        file.CheckParseError() != 0) {
        return LoadFailure(file);
    }
    xmlNodePtr root = file.GetDocumentElement();
    if (xmlStrcmp(root->name, reinterpret_cast<const xmlChar*>(kTripTag)) == 0) {
        // A trip as the document element holds the others; nothing of it was streamed.
        for (xmlNodePtr inner : CXMLDataFile::GetElementsByTagName(root, kTripTag)) {
            cache->trips.push_back(ReadTripElement(file, inner));
        }
        cache->nested = true;
    }
    cache->encoding = file.GetEncoding();
    file.UnLoadXMLDataFile();
    // A large parse frees many small blocks; give them back rather than keep them resident.
    if (cache->trips.size() >= 1000) malloc_trim(0);
    m_cache = std::move(cache);
    return {};
}

CStoreResult CCatchStore::ReadTrips(const CTripsReader& reader) const
{
    const CStoreResult result = Refresh();
    if (result.ok()) reader(m_cache->trips);
    return result;
}

CStoreResult CCatchStore::ListTrips(std::vector<CTripRow>& rows) const
{
    return ReadTrips([&](const std::vector<CTripRecord>& trips) {
        rows.clear();
        rows.reserve(trips.size());
        for (size_t n = 0; n < trips.size(); ++n) {
            const CTripRecord& trip = trips[n];
            rows.push_back(
                {std::to_string(n + 1), trip.date, trip.weather, trip.fishname, trip.place});
        }
    });
}

CStoreResult CCatchStore::ReadTrip(int n, CTripRecord& trip) const
{
    bool found = false;
    const CStoreResult result = ReadTrips([&](const std::vector<CTripRecord>& trips) {
        if (n < 0 || static_cast<size_t>(n) >= trips.size()) return;
        trip = trips[static_cast<size_t>(n)];
        found = true;
    });
    if (result.ok() && !found) return Failure(EStoreStatus::NoSuchTrip);
    return result;
}

CStoreResult CCatchStore::ReadAllTrips(std::vector<CTripRecord>& records) const
{
    return ReadTrips([&](const std::vector<CTripRecord>& trips) { records = trips; });
}

CStoreResult CCatchStore::ListYearsAndFishNames(std::vector<std::string>& years,
                                                std::vector<std::string>& species) const
{
    years.clear();
    species.clear();
    return ReadTrips([&](const std::vector<CTripRecord>& trips) {
        for (const CTripRecord& trip : trips) {
            AppendDistinct(years, YearOf(trip.date));
            for (const CCatchRecord& caught : trip.catches) AppendDistinct(species, caught.name);
        }
    });
}

CStoreResult CCatchStore::ListYears(std::vector<std::string>& years) const
{
    std::vector<std::string> species;
    return ListYearsAndFishNames(years, species);
}

CStoreResult CCatchStore::ListSpecies(std::vector<std::string>& species) const
{
    std::vector<std::string> years;
    return ListYearsAndFishNames(years, species);
}

CStoreResult CCatchStore::ListPhotoPaths(EPhotoKind kind, std::vector<std::string>& paths) const
{
    return ReadTrips([&](const std::vector<CTripRecord>& trips) {
        paths.clear();
        for (const CTripRecord& trip : trips) {
            const auto& found = kind == EPhotoKind::Fish ? trip.fishPhotos : trip.placePhotos;
            paths.insert(paths.end(), found.begin(), found.end());
        }
    });
}

CStoreResult CCatchStore::AddTrip(const CTripRecord& trip)
{
    return Edit(EEdit::Add, {}, {&trip, 1});
}

CStoreResult CCatchStore::AddTrips(const std::vector<CTripRecord>& trips)
{
    if (trips.empty()) return Refresh();
    return Edit(EEdit::Add, {}, trips);
}

CStoreResult CCatchStore::ReplaceTrip(int n, const CTripRecord& trip)
{
    return Edit(EEdit::Replace, {n}, {&trip, 1});
}

CStoreResult CCatchStore::DeleteTrip(int n)
{
    return Edit(EEdit::Delete, {n}, {});
}

CStoreResult CCatchStore::DeleteTrips(std::vector<int> positions)
{
    return Edit(EEdit::Delete, std::move(positions), {});
}

CStoreResult CCatchStore::Edit(EEdit edit, std::vector<int> positions,
                               std::span<const CTripRecord> trips)
{
    // Positions name trips as the caller last saw them: when another program changed the file
    // since, they may name other trips now.
    const bool hadRead = m_cache != nullptr;
    const CFileIdentity seen = hadRead ? m_cache->identity : CFileIdentity{};
    CStoreResult result = Refresh();
    if (!result.ok()) return result;
    if (hadRead && !(seen == m_cache->identity) && !positions.empty()) {
        return Failure(EStoreStatus::ChangedOutside);
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    const int count = static_cast<int>(m_cache->trips.size());
    for (int n : positions) {
        if (n < 0 || n >= count) return Failure(EStoreStatus::NoSuchTrip);
    }
    if (edit != EEdit::Add && positions.empty()) return {};
    // A text longer than a reader keeps would come back cut: such a trip is not stored at all.
    for (const CTripRecord& trip : trips) {
        std::string overLimit = FindTripTextOverLimit(trip);
        if (!overLimit.empty()) return Failure(EStoreStatus::SaveFailed, std::move(overLimit));
    }
    if (m_cache->nested || !CanSplice(m_cache->encoding)) {
        return EditDocument(edit, positions, trips);
    }

    std::string bytes;
    std::string error;
    if (!ReadWholeFile(m_path, bytes, &error, nullptr, CXMLDataFile::kMaxXMLFileBytes)) {
        Forget();
        return Failure(EStoreStatus::Unreadable, error);
    }
    CFileIdentity now;
    if (!GetFileIdentity(m_path, now) || !(now == m_cache->identity) ||
        static_cast<off_t>(bytes.size()) != now.size) {
        Forget();
        return Failure(EStoreStatus::ChangedOutside);
    }
    if (!BytesAreAsciiCompatible(bytes)) return EditDocument(edit, positions, trips);
    CMarkupLayout layout;
    if (!CMarkupScanner::Scan(bytes, kTripTag, layout) ||
        layout.elements.size() != m_cache->outermost) {
        return EditDocument(edit, positions, trips);
    }

    // Every written trip is read back before the file is touched, however many: one that does
    // not read back would leave a file no reader takes.
    std::vector<CTripBytes> written;
    if (!trips.empty() && !SerializeTrips(trips, m_cache->encoding, written, error)) {
        return Failure(EStoreStatus::SaveFailed, error);
    }
    std::string changed;
    switch (edit) {
        case EEdit::Add: {
            const size_t at =
                layout.elements.empty() ? layout.rootEndTag : layout.elements.back().end;
            size_t added = 0;
            for (const CTripBytes& one : written) added += one.element.size() + 2;
            changed.reserve(bytes.size() + added);
            changed.append(bytes, 0, at);
            for (const CTripBytes& one : written) changed.append("\r\n").append(one.element);
            changed.append(bytes, at, std::string::npos);
            break;
        }
        case EEdit::Replace: {
            const CElementRange range = layout.elements[static_cast<size_t>(positions.front())];
            changed.reserve(bytes.size() + written.front().element.size());
            changed.append(bytes, 0, range.begin).append(written.front().element);
            changed.append(bytes, range.end, std::string::npos);
            break;
        }
        case EEdit::Delete: {
            changed.reserve(bytes.size());
            size_t from = 0;
            for (int n : positions) {
                const CElementRange range = layout.elements[static_cast<size_t>(n)];
                const size_t begin =
                    std::max(from, CMarkupScanner::SpaceBefore(bytes, range.begin));
                changed.append(bytes, from, begin - from);
                from = range.end;
            }
            changed.append(bytes, from, std::string::npos);
            break;
        }
    }
    if (changed.size() > CXMLDataFile::kMaxXMLFileBytes) {
        return Failure(EStoreStatus::SaveFailed,
                       "ファイルが読み込める大きさを超えるため保存しません");
    }
    bytes.clear();
    bytes.shrink_to_fit();
    if (!KeepBackupCopy(m_path, m_path + ".bak", &error) ||
        !WriteFileSafely(m_path, changed, &error)) {
        return Failure(EStoreStatus::SaveFailed, error);
    }
    if (!GetFileIdentity(m_path, m_cache->identity)) {
        Forget();
        return {};
    }
    std::vector<CTripRecord>& cached = m_cache->trips;
    switch (edit) {
        case EEdit::Add:
            for (CTripBytes& one : written) cached.push_back(std::move(one.readBack));
            m_cache->outermost += written.size();
            break;
        case EEdit::Replace:
            cached[static_cast<size_t>(positions.front())] = std::move(written.front().readBack);
            break;
        case EEdit::Delete:
            for (auto n = positions.rbegin(); n != positions.rend(); ++n) {
                cached.erase(cached.begin() + *n);
            }
            m_cache->outermost -= positions.size();
            break;
    }
    return {};
}

// The whole document is parsed, changed and written: for files whose trips cannot be found byte
// by byte (trips inside trips, encodings such as UTF-16).
CStoreResult CCatchStore::EditDocument(EEdit edit, const std::vector<int>& positions,
                                       std::span<const CTripRecord> added)
{
    Forget();
    CXMLDataFile file;
    if (!file.LoadXMLDataFile(m_path) || file.CheckParseError() != 0) return LoadFailure(file);
    file.SetLineEndElements({std::begin(kLineEndElements), std::end(kLineEndElements)});
    xmlNodePtr root = file.GetDocumentElement();
    const std::vector<xmlNodePtr> trips = CXMLDataFile::GetElementsByTagName(root, kTripTag);
    for (int n : positions) {
        if (n < 0 || static_cast<size_t>(n) >= trips.size())
            return Failure(EStoreStatus::NoSuchTrip);
    }
    const auto cannotWrite = [] {
        return Failure(EStoreStatus::SaveFailed, "the trip cannot be put into the document");
    };
    switch (edit) {
        case EEdit::Add:
            if (!AppendTrips(file, root, added)) return cannotWrite();
            break;
        case EEdit::Replace: {
            xmlNodePtr element = trips[static_cast<size_t>(positions.front())];
            CXMLDataFile::RemoveAllChildren(element);
            if (WriteTripElement(file, element, added.front()) != 0) return cannotWrite();
            break;
        }
        case EEdit::Delete:
            // From the last: a trip inside another goes before the one holding it.
            for (auto n = positions.rbegin(); n != positions.rend(); ++n) {
                xmlNodePtr element = trips[static_cast<size_t>(*n)];
                xmlUnlinkNode(element);
                xmlFreeNode(element);
            }
            break;
    }
    std::string bytes;
    std::string error;
    if (!file.SerializeDocument(bytes, &error)) return Failure(EStoreStatus::SaveFailed, error);
    if (bytes.size() > CXMLDataFile::kMaxXMLFileBytes) {
        return Failure(EStoreStatus::SaveFailed,
                       "ファイルが読み込める大きさを超えるため保存しません");
    }
    if (!KeepBackupCopy(m_path, m_path + ".bak", &error) ||
        !WriteFileSafely(m_path, bytes, &error)) {
        return Failure(EStoreStatus::SaveFailed, error);
    }
    return {};
}

std::string DescribeStoreResult(const CStoreResult& result, const std::string& path)
{
    switch (result.status) {
        case EStoreStatus::Ok:
            return {};
        case EStoreStatus::NoProgramDir:
            return "プログラムのフォルダが見つかりません。";
        case EStoreStatus::Missing:
            return "ファイルの読み込み失敗しました\n" + path;
        case EStoreStatus::Unreadable:
            return "ファイルの読み込み失敗しました\n" + path + "\n" + result.detail;
        case EStoreStatus::ParseError:
            // The parser takes at most 10,000,000 bytes of text in one element; such a file is
            // well-formed, only too large for it.
            if (result.detail.find("huge") != std::string::npos) {
                return "ファイルの " + std::to_string(result.line) +
                       " 行目の項目が大きすぎる (10 MB を超える) ため読み込めません。\n" + path;
            }
            return "ファイルの " + std::to_string(result.line) +
                   " 行目に誤りがあるため読み込めません。\n(" + DescribeParseError(result) + ")\n" +
                   path;
        case EStoreStatus::NoSuchTrip:
            return "指定された釣行データが見つかりません。";
        case EStoreStatus::SaveFailed:
            return "ファイルの保存に失敗しました\n" + path + "\n" + result.detail;
        case EStoreStatus::ChangedOutside:
            return "ファイルが他のプログラムによって変更されたため、読み直しました。\n"
                   "内容を確かめてから、もう一度操作してください。\n" +
                   path;
    }
    return {};
}

std::string DescribeParseError(const CStoreResult& result)
{
    if (result.status != EStoreStatus::ParseError) return {};
    // The errors a damaged or hand-edited catch file shows; libxml2's own words are English.
    switch (result.code) {
        case kDocumentTypeRefused:
            return "文書型宣言 (<!DOCTYPE>) は読み込みません";
        case XML_ERR_DOCUMENT_EMPTY:
            return "データが入っていません";
        case XML_ERR_DOCUMENT_END:
        case XML_ERR_EXTRA_CONTENT:
            return "データの終わりの後に余分な内容があります";
        case XML_ERR_TAG_NAME_MISMATCH:
            return "開始タグと終了タグが対応していません";
        case XML_ERR_TAG_NOT_FINISHED:
        case XML_ERR_LTSLASH_REQUIRED:
            return "閉じられていないタグがあります (ファイルが途中で切れている可能性があります)";
        case XML_ERR_INVALID_CHAR:
        case XML_ERR_INVALID_ENCODING:
            return "文字として読めないバイトがあります";
        case XML_ERR_UNSUPPORTED_ENCODING:
            return "宣言された文字コードに対応していません";
        case XML_ERR_UNDECLARED_ENTITY:
        case XML_WAR_UNDECLARED_ENTITY:
        case XML_ERR_ENTITYREF_SEMICOL_MISSING:
        case XML_ERR_NAME_REQUIRED:
            return "\"&\" の書き方が正しくありません";
        case XML_ERR_LT_IN_ATTRIBUTE:
        case XML_ERR_ATTRIBUTE_NOT_STARTED:
        case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
        case XML_ERR_ATTRIBUTE_REDEFINED:
        case XML_ERR_GT_REQUIRED:
            return "タグの書き方が正しくありません";
        default:
            return "XML として正しくない記述があります";
    }
}
