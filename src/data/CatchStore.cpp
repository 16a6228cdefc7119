#include "data/CatchStore.h"

#include <malloc.h>
#include <strings.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <span>
#include <string_view>
#include <system_error>
#include <utility>

#include "data/CatchHistory.h"
#include "data/DataFolder.h"
#include "data/MarkupScanner.h"
#include "data/TripDate.h"
#include "data/TripElement.h"
#include "data/UndoStack.h"
#include "data/XMLDocument.h"

namespace {

// Why a trip cannot be saved when the document refuses its element (the texts hold what no
// encoding of the file can carry, or memory ran out).
constexpr const char* kTripNotWritableText = "釣行データを文書に書き込めません";

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
                error = kTripNotWritableText;
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
        error = kTripNotWritableText;
        return false;
    }
    if (!file.SerializeDocument(document, &error)) {
        if (error.empty()) error = kTripNotWritableText;
        return false;
    }
    const std::string endTag = std::string("</") + kTripTag + ">";
    size_t from = 0;
    out.resize(trips.size());
    for (CTripBytes& bytes : out) {
        const size_t begin = document.find(std::string("<") + kTripTag, from);
        const size_t end = begin == std::string::npos ? begin : document.find(endTag, begin);
        if (end == std::string::npos) {
            error = kTripNotWritableText;
            return false;
        }
        from = end + endTag.size();
        bytes.element = document.substr(begin, from - begin);
    }
    return ReadBack(document, out, error);
}

// Nearly the bytes AppendTripElementUtf8 writes for trip (a little more; only escapes and line
// ends written as two bytes make it more).
size_t EstimateElementBytes(const CTripRecord& trip)
{
    static const size_t kEmpty = [] {
        std::string element;
        AppendTripElementUtf8(CTripRecord(), element);
        return element.size();
    }();
    // What a catch and a photo path add, and a text at most besides its own bytes (the end tag
    // of its element, for an element written empty before).
    constexpr size_t kCatch = 80;
    constexpr size_t kPath = 30;
    constexpr size_t kText = 12;
    size_t bytes = kEmpty;
    const auto text = [&bytes](const std::string& value) {
        if (!value.empty()) bytes += value.size() + kText;
    };
    for (const std::string* value :
         {&trip.fishname, &trip.weather, &trip.date, &trip.water, &trip.highTide, &trip.ebbTide,
          &trip.method, &trip.place, &trip.memo})
        text(*value);
    for (const auto* paths : {&trip.placePhotos, &trip.fishPhotos}) {
        for (const std::string& path : *paths) bytes += kPath + path.size();
    }
    for (const CCatchRecord& caught : trip.catches) {
        bytes += kCatch;
        for (const std::string* value :
             {&caught.name, &caught.height, &caught.weight, &caught.time})
            text(*value);
    }
    return bytes;
}

// The trips of a catch file as they are streamed from it.
struct CParsedTrips {
    std::vector<CTripRecord> trips;
    size_t outermost = 0;  // trips in no other trip: the elements a byte scan finds
    bool nested = false;   // a trip inside another: changes rewrite the whole document

    CXMLDataFile::CElementSink Sink()
    {
        return [this](const CXMLDataFile& f, xmlNodePtr element) {
            ++outermost;
            trips.push_back(ReadTripElement(f, element));
            for (xmlNodePtr inner : CXMLDataFile::GetElementsByTagName(element, kTripTag)) {
                nested = true;
                trips.push_back(ReadTripElement(f, inner));
            }
        };
    }
    // After a successful load: a trip as the document element holds the others, and nothing
    // of it was streamed.
    void Finish(const CXMLDataFile& file)
    {
        xmlNodePtr root = file.GetDocumentElement();
        if (xmlStrcmp(root->name, reinterpret_cast<const xmlChar*>(kTripTag)) != 0) return;
        for (xmlNodePtr inner : CXMLDataFile::GetElementsByTagName(root, kTripTag))
            trips.push_back(ReadTripElement(file, inner));
        nested = true;
    }
};

std::string ActionName(size_t added, bool replace, size_t deleted)
{
    if (deleted > 0) return std::to_string(deleted) + " 件の釣行の削除";
    if (replace) return "釣行の修正";
    if (added == 1) return "釣行の登録";
    return std::to_string(added) + " 件の釣行の取り込み";
}

long CountCatches(const std::vector<CTripRecord>& trips)
{
    long catches = 0;
    for (const CTripRecord& trip : trips) catches += static_cast<long>(trip.catches.size());
    return catches;
}

// The files a history copy may put back, relative to the Data folder: nothing outside it.
bool IsRestorableMember(const std::string& member)
{
    if (member == CCatchHistory::kCatchMember || member == "fishname.txt") return true;
    const std::string folder = "schedule/";
    return member.size() > folder.size() + 4 && member.compare(0, folder.size(), folder) == 0 &&
           member.find('/', folder.size()) == std::string::npos &&
           member.compare(member.size() - 4, 4, ".txt") == 0 &&
           member.find("..") == std::string::npos;
}

}  // namespace

struct CCatchStore::CCache : CParsedTrips {
    CFileIdentity identity;
    std::string encoding;
};

struct CCatchStore::CUndo {
    CUndoStack stack;
    // What each file was when the store last wrote it: anything else means another program
    // wrote it since.
    std::map<std::string, CFileIdentity> written;
};

CCatchStore::CCatchStore(std::string path) : m_path(std::move(path)) {}

CCatchStore::~CCatchStore() = default;

CStoreResult CCatchStore::ParseTrips(const std::string& bytes, std::vector<CTripRecord>& trips)
{
    CParsedTrips parsed;
    CXMLDataFile file;
    if (!file.StreamXMLDataFromMemory(bytes, kTripTag, parsed.Sink()) ||
        file.CheckParseError() != 0) {
        return LoadFailure(file);
    }
    parsed.Finish(file);
    trips = std::move(parsed.trips);
    return {};
}

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
    if (!file.StreamXMLDataFile(m_path, kTripTag, cache->Sink(), &cache->identity) ||
        file.CheckParseError() != 0) {
        return LoadFailure(file);
    }
    cache->Finish(file);
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
        for (size_t n = 0; n < trips.size(); ++n) rows.push_back(MakeTripRow(trips[n], n));
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
            AppendDistinct(years, std::string(StoredYearText(trip.date)));
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

CStoreResult CCatchStore::AddTrips(std::vector<CTripRecord>&& trips)
{
    if (trips.empty()) return Refresh();
    return Edit(EEdit::Add, {}, trips, &trips);
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
                               std::span<const CTripRecord> trips, std::vector<CTripRecord>* owned)
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
    if (!ReadWholeFile(m_path, bytes, &error, nullptr, kMaxXMLFileBytes)) {
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

    // Trips added to a UTF-8 file are written straight into the new bytes, whose text the
    // reader gets back as TripAsReadBack says; every other written trip is read back before the
    // file is touched, however many: one that does not read back would leave a file no reader
    // takes.
    const bool direct = edit == EEdit::Add && IsUtf8(m_cache->encoding);
    std::vector<bool> asGiven;  // of each trip written directly: it reads back as it is
    std::vector<CTripBytes> written;
    if (!direct && !trips.empty() && !SerializeTrips(trips, m_cache->encoding, written, error)) {
        return Failure(EStoreStatus::SaveFailed, error);
    }
    std::string changed;
    // What the change does to the bytes, for an undo: only the trips it touches.
    std::vector<CByteHunk> hunks;
    switch (edit) {
        case EEdit::Add: {
            const size_t at =
                layout.elements.empty() ? layout.rootEndTag : layout.elements.back().end;
            size_t added = 0;
            if (direct) {
                // The bytes are held once: room for them as they will nearly be, and a file
                // past the limit refused as soon as it would be.
                size_t estimate = 0;
                for (const CTripRecord& trip : trips) estimate += EstimateElementBytes(trip) + 2;
                changed.reserve(std::min(bytes.size() + estimate, kMaxXMLFileBytes + 1));
                changed.append(bytes, 0, at);
                asGiven.reserve(trips.size());
                for (const CTripRecord& trip : trips) {
                    changed.append("\r\n");
                    bool same = true;
                    const bool appended = AppendTripElementUtf8(trip, changed, &same);
                    asGiven.push_back(same);
                    if (!appended) {
                        return Failure(EStoreStatus::SaveFailed,
                                       "the trip cannot be put into the document");
                    }
                    if (changed.size() + bytes.size() - at > kMaxXMLFileBytes) break;
                }
                added = changed.size() - at;
            } else {
                for (const CTripBytes& one : written) added += one.element.size() + 2;
            }
            if (bytes.size() + added > kMaxXMLFileBytes) {
                return Failure(EStoreStatus::SaveFailed,
                               "ファイルが読み込める大きさを超えるため保存しません");
            }
            if (!direct) {
                changed.reserve(bytes.size() + added);
                changed.append(bytes, 0, at);
                for (const CTripBytes& one : written) changed.append("\r\n").append(one.element);
            }
            changed.append(bytes, at, std::string::npos);
            if (m_undo) hunks.push_back({at, {}, changed.substr(at, added)});
            break;
        }
        case EEdit::Replace: {
            const CElementRange range = layout.elements[static_cast<size_t>(positions.front())];
            changed.reserve(bytes.size() + written.front().element.size());
            changed.append(bytes, 0, range.begin).append(written.front().element);
            changed.append(bytes, range.end, std::string::npos);
            if (m_undo) {
                hunks.push_back({range.begin, bytes.substr(range.begin, range.end - range.begin),
                                 written.front().element});
            }
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
                if (m_undo) hunks.push_back({begin, bytes.substr(begin, range.end - begin), {}});
                from = range.end;
            }
            changed.append(bytes, from, std::string::npos);
            break;
        }
    }
    if (changed.size() > kMaxXMLFileBytes) {
        return Failure(EStoreStatus::SaveFailed,
                       "ファイルが読み込める大きさを超えるため保存しません");
    }
    if (!KeepHistoryBefore(&bytes, error)) return Failure(EStoreStatus::SaveFailed, error);
    bytes.clear();
    bytes.shrink_to_fit();
    const CFileIdentity before = m_cache->identity;
    if (!KeepBackupCopy(m_path, m_path + ".bak", &error) ||
        !WriteFileSafely(m_path, changed, &error)) {
        return Failure(EStoreStatus::SaveFailed, error);
    }
    Record(ActionName(trips.size(), edit == EEdit::Replace,
                      edit == EEdit::Delete ? positions.size() : 0),
           {{m_path, true, true, std::move(hunks)}}, {before});
    if (!GetFileIdentity(m_path, m_cache->identity)) {
        Forget();
        return {};
    }
    std::vector<CTripRecord>& cached = m_cache->trips;
    switch (edit) {
        case EEdit::Add:
            if (!direct) {
                for (CTripBytes& one : written) cached.push_back(std::move(one.readBack));
            } else if (owned != nullptr) {
                for (size_t n = 0; n < owned->size(); ++n) {
                    if (!asGiven[n]) (*owned)[n] = TripAsReadBack((*owned)[n]);
                }
                if (cached.empty()) {
                    cached = std::move(*owned);
                } else {
                    cached.insert(cached.end(), std::make_move_iterator(owned->begin()),
                                  std::make_move_iterator(owned->end()));
                }
                owned->clear();
            } else {
                cached.reserve(cached.size() + trips.size());
                for (size_t n = 0; n < trips.size(); ++n)
                    cached.push_back(asGiven[n] ? trips[n] : TripAsReadBack(trips[n]));
            }
            m_cache->outermost += trips.size();
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
    CFileIdentity before;
    std::string original;
    std::string error;
    bool missing = false;
    if (!ReadWholeFile(m_path, original, &error, &missing, kMaxXMLFileBytes) ||
        !GetFileIdentity(m_path, before)) {
        return Failure(missing ? EStoreStatus::Missing : EStoreStatus::Unreadable, error);
    }
    CXMLDataFile file;
    if (!file.LoadXMLDataFromMemory(original, m_path) || file.CheckParseError() != 0)
        return LoadFailure(file);
    file.SetLineEndElements({std::begin(kLineEndElements), std::end(kLineEndElements)});
    xmlNodePtr root = file.GetDocumentElement();
    const std::vector<xmlNodePtr> trips = CXMLDataFile::GetElementsByTagName(root, kTripTag);
    for (int n : positions) {
        if (n < 0 || static_cast<size_t>(n) >= trips.size())
            return Failure(EStoreStatus::NoSuchTrip);
    }
    const auto cannotWrite = [] { return Failure(EStoreStatus::SaveFailed, kTripNotWritableText); };
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
    if (!file.SerializeDocument(bytes, &error)) return Failure(EStoreStatus::SaveFailed, error);
    if (bytes.size() > kMaxXMLFileBytes) {
        return Failure(EStoreStatus::SaveFailed,
                       "ファイルが読み込める大きさを超えるため保存しません");
    }
    if (!KeepHistoryBefore(&original, error)) return Failure(EStoreStatus::SaveFailed, error);
    if (!KeepBackupCopy(m_path, m_path + ".bak", &error) ||
        !WriteFileSafely(m_path, bytes, &error)) {
        return Failure(EStoreStatus::SaveFailed, error);
    }
    Record(ActionName(added.size(), edit == EEdit::Replace,
                      edit == EEdit::Delete ? positions.size() : 0),
           {{m_path, true, true, m_undo ? DiffBytes(original, bytes) : std::vector<CByteHunk>{}}},
           {before});
    return {};
}

// --- History and undo ----------------------------------------------------------------------

void CCatchStore::EnableHistory(bool on)
{
    if (!on) {
        m_history.reset();
    } else if (!m_history) {
        m_history = std::make_unique<CCatchHistory>(GetDataDir());
    }
}

void CCatchStore::EnableUndo(bool on)
{
    if (!on) {
        m_undo.reset();
    } else if (!m_undo) {
        m_undo = std::make_unique<CUndo>();
        // A step dropped for good takes the photos it moved aside with it.
        m_undo->stack.SetDiscardFunction([](CUndoStep& step, bool done) {
            for (const auto& [original, aside] : done ? step.removedAside : step.parked)
                ::unlink(aside.c_str());
            step.parked.clear();
            step.removedAside.clear();
        });
    }
    Changed();
}

bool CCatchStore::CanUndo() const
{
    return m_undo && m_undo->stack.CanUndo();
}

bool CCatchStore::CanRedo() const
{
    return m_undo && m_undo->stack.CanRedo();
}

std::string CCatchStore::GetUndoName() const
{
    return CanUndo() ? m_undo->stack.NextUndo().action : std::string();
}

std::string CCatchStore::GetRedoName() const
{
    return CanRedo() ? m_undo->stack.NextRedo().action : std::string();
}

void CCatchStore::Changed() const
{
    if (m_listener) m_listener();
}

std::string CCatchStore::MemberName(const std::string& path) const
{
    const std::string dir = GetDataDir();
    if (path.compare(0, dir.size(), dir) == 0) return path.substr(dir.size());
    return path.substr(path.rfind('/') + 1);
}

bool CCatchStore::KeepHistoryBefore(const std::string* before, std::string& error)
{
    return KeepHistoryBefore(m_path, before, error);
}

bool CCatchStore::KeepHistoryBefore(const std::string& path, const std::string* before,
                                    std::string& error)
{
    if (!m_history) return true;
    const bool isCatchFile = path == m_path;
    std::string read;
    // The catch file as it is now: the bytes the caller has, or read (a missing one is none).
    const auto source = [&](const std::string*& bytes, CCatchHistory::CCounts& counts,
                            std::string& why) {
        if (isCatchFile && before != nullptr) {
            bytes = before;
            // The trips read last are those of these bytes when the file is still that one.
            CFileIdentity now;
            if (m_cache && GetFileIdentity(m_path, now) && now == m_cache->identity)
                counts = {static_cast<long>(m_cache->trips.size()), CountCatches(m_cache->trips)};
            return true;
        }
        bool missing = false;
        if (!ReadWholeFile(m_path, read, &why, &missing, kMaxXMLFileBytes)) {
            bytes = nullptr;
            return missing;
        }
        bytes = &read;
        return true;
    };
    return m_history->KeepBeforeChange(isCatchFile ? CCatchHistory::kCatchMember : MemberName(path),
                                       before, source, &error);
}

void CCatchStore::Record(const std::string& action, std::vector<CFileStep> files,
                         const std::vector<CFileIdentity>& before)
{
    if (!m_undo) return;
    bool changedOutside = false;
    for (size_t n = 0; n < files.size(); ++n) {
        const auto known = m_undo->written.find(files[n].path);
        if (known != m_undo->written.end() && n < before.size() && !(known->second == before[n]))
            changedOutside = true;
    }
    // Another program wrote a file since the store did: the older steps no longer fit it.
    if (changedOutside) m_undo->stack.Clear();
    bool any = false;
    for (CFileStep& file : files) {
        CFileIdentity now;
        if (GetFileIdentity(file.path, now)) {
            m_undo->written[file.path] = now;
        } else {
            m_undo->written.erase(file.path);
        }
        any = any || !file.hunks.empty() || file.existedBefore != file.existsAfter;
    }
    if (any) {
        CUndoStep step;
        step.action = action;
        step.files = std::move(files);
        m_undo->stack.Push(std::move(step));
    }
    Changed();
}

void CCatchStore::NotePhotoCopies(const std::vector<std::string>& copies)
{
    if (!CanUndo() || copies.empty()) return;
    std::vector<std::string>& noted = m_undo->stack.NextUndo().photoCopies;
    noted.insert(noted.end(), copies.begin(), copies.end());
}

CStoreResult CCatchStore::Undo()
{
    return TakeStep(true);
}

CStoreResult CCatchStore::Redo()
{
    return TakeStep(false);
}

CStoreResult CCatchStore::TakeStep(bool undo)
{
    if (!(undo ? CanUndo() : CanRedo())) return {};
    CUndoStep& step = undo ? m_undo->stack.NextUndo() : m_undo->stack.NextRedo();
    // Every file is checked before any is written: a refused step writes nothing.
    std::vector<std::string> now(step.files.size());
    std::vector<std::string> wanted(step.files.size());
    std::vector<bool> present(step.files.size());
    for (size_t n = 0; n < step.files.size(); ++n) {
        const CFileStep& file = step.files[n];
        const bool expected = undo ? file.existsAfter : file.existedBefore;
        CFileIdentity identity;
        present[n] = GetFileIdentity(file.path, identity);
        const auto known = m_undo->written.find(file.path);
        const bool sameAsWritten =
            known == m_undo->written.end() ? !present[n] : present[n] && known->second == identity;
        std::string error;
        if (present[n] != expected || !sameAsWritten ||
            (present[n] && !ReadWholeFile(file.path, now[n], &error, nullptr, kMaxXMLFileBytes)) ||
            !ApplyHunks(now[n], file.hunks, !undo, wanted[n])) {
            return Failure(EStoreStatus::ChangedOutside, file.path);
        }
    }
    std::vector<CFileIdentity> before(step.files.size());
    for (size_t n = 0; n < step.files.size(); ++n) {
        const CFileStep& file = step.files[n];
        std::string error;
        if (!KeepHistoryBefore(file.path, present[n] ? &now[n] : nullptr, error))
            return Failure(EStoreStatus::SaveFailed, error);
        const bool keep = undo ? file.existedBefore : file.existsAfter;
        if (!keep) {
            if (::unlink(file.path.c_str()) != 0 && errno != ENOENT)
                return Failure(EStoreStatus::SaveFailed, file.path + ": " + SystemErrorText(errno));
        } else {
            std::error_code code;
            std::filesystem::create_directories(std::filesystem::path(file.path).parent_path(),
                                                code);
            if ((file.path == m_path && !KeepBackupCopy(m_path, m_path + ".bak", &error)) ||
                !WriteFileSafely(file.path, wanted[n], &error)) {
                return Failure(EStoreStatus::SaveFailed, error);
            }
        }
        CFileIdentity written;
        if (GetFileIdentity(file.path, written)) {
            m_undo->written[file.path] = written;
        } else {
            m_undo->written.erase(file.path);
        }
    }
    Forget();
    if (undo) {
        for (const auto& [original, aside] : step.removedAside) {
            if (::access(original.c_str(), F_OK) != 0) ::rename(aside.c_str(), original.c_str());
        }
        ParkPhotoCopies(step);
        m_undo->stack.Undone();
    } else {
        for (const auto& [original, parked] : step.parked) {
            if (::access(original.c_str(), F_OK) != 0) ::rename(parked.c_str(), original.c_str());
        }
        step.parked.clear();
        for (const auto& [original, aside] : step.removedAside)
            ::rename(original.c_str(), aside.c_str());
        m_undo->stack.Redone();
    }
    Changed();
    return {};
}

void CCatchStore::ParkPhotoCopies(CUndoStep& step)
{
    if (step.photoCopies.empty()) return;
    std::set<std::string> named;
    const CStoreResult read = ReadTrips([&](const std::vector<CTripRecord>& trips) {
        for (const CTripRecord& trip : trips) {
            named.insert(trip.placePhotos.begin(), trip.placePhotos.end());
            named.insert(trip.fishPhotos.begin(), trip.fishPhotos.end());
        }
    });
    if (!read.ok()) return;
    // Moved aside rather than deleted, so that a redo brings back the trip with its photos;
    // they go for good when the step can no longer be redone.
    for (const std::string& copy : step.photoCopies) {
        if (named.count(copy) > 0) continue;
        std::string aside;
        if (MovePhotoAside(copy, aside)) step.parked.emplace_back(copy, aside);
    }
}

bool CCatchStore::MovePhotoAside(const std::string& photo, std::string& aside) const
{
    if (::access(photo.c_str(), F_OK) != 0) return false;
    const std::string folder = GetDataDir() + kUndoneDirInData;
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    const std::string name = photo.substr(photo.rfind('/') + 1);
    aside = folder + name;
    for (int n = 2; ::access(aside.c_str(), F_OK) == 0; ++n)
        aside = folder + std::to_string(n) + "-" + name;
    return ::rename(photo.c_str(), aside.c_str()) == 0;
}

bool CCatchStore::RemovePhotoCopy(const std::string& photo)
{
    if (!CanUndo()) return ::unlink(photo.c_str()) == 0;
    std::string aside;
    if (!MovePhotoAside(photo, aside)) return false;
    m_undo->stack.NextUndo().removedAside.emplace_back(photo, aside);
    return true;
}

CStoreResult CCatchStore::ChangeFile(const std::string& path, const std::string& action,
                                     const CFileWriter& write)
{
    CFileIdentity before;
    const bool existed = GetFileIdentity(path, before);
    std::string old;
    std::string error;
    if (existed && !ReadWholeFile(path, old, &error, nullptr, kMaxXMLFileBytes))
        return Failure(EStoreStatus::Unreadable, error);
    if (!KeepHistoryBefore(path, existed ? &old : nullptr, error))
        return Failure(EStoreStatus::SaveFailed, error);
    if (!write(&error)) return Failure(EStoreStatus::SaveFailed, error);
    std::string now;
    CFileIdentity after;
    const bool exists = GetFileIdentity(path, after) &&
                        ReadWholeFile(path, now, nullptr, nullptr, kMaxXMLFileBytes);
    Record(action,
           {{path, existed, exists, m_undo ? DiffBytes(old, now) : std::vector<CByteHunk>{}}},
           {before});
    return {};
}

CStoreResult CCatchStore::ReplaceContent(const std::string& bytes, const std::string& action,
                                         bool keepBackup)
{
    std::vector<CTripRecord> trips;
    const CStoreResult parsed = ParseTrips(bytes, trips);
    if (!parsed.ok()) {
        return Failure(EStoreStatus::SaveFailed, "戻すデータが読み込めないため書き込みません (" +
                                                     DescribeParseError(parsed) + ")");
    }
    CFileIdentity before;
    std::string old;
    std::string error;
    const bool existed = GetFileIdentity(m_path, before);
    if (existed && !ReadWholeFile(m_path, old, &error, nullptr, kMaxXMLFileBytes))
        return Failure(EStoreStatus::Unreadable, error);
    if (!KeepHistoryBefore(nullptr, error)) return Failure(EStoreStatus::SaveFailed, error);
    Forget();
    if ((keepBackup && !KeepBackupCopy(m_path, m_path + ".bak", &error)) ||
        !WriteFileSafely(m_path, bytes, &error)) {
        return Failure(EStoreStatus::SaveFailed, error);
    }
    Record(action,
           {{m_path, existed, true, m_undo ? DiffBytes(old, bytes) : std::vector<CByteHunk>{}}},
           {before});
    return {};
}

CStoreResult CCatchStore::RestoreHistoryCopy(const std::string& name, std::string* keptCopy)
{
    if (keptCopy != nullptr) keptCopy->clear();
    CCatchHistory own(GetDataDir());
    CCatchHistory& history = m_history ? *m_history : own;
    std::vector<CCatchHistory::CMember> members;
    std::string error;
    if (!history.ReadCopy(name, members, &error)) return Failure(EStoreStatus::Unreadable, error);
    for (const CCatchHistory::CMember& member : members) {
        if (!IsRestorableMember(member.name)) {
            return Failure(EStoreStatus::Unreadable,
                           "履歴のコピーに戻せないファイルがあります: " + member.name);
        }
    }
    // The files as they are now become a copy of their own, so the restore can be taken back
    // even after the program ends.
    std::vector<std::string> now(members.size());
    std::vector<bool> existed(members.size());
    std::vector<CFileIdentity> before(members.size());
    std::vector<CCatchHistory::CMemberView> current;
    for (size_t n = 0; n < members.size(); ++n) {
        const std::string path = GetDataDir() + members[n].name;
        existed[n] = GetFileIdentity(path, before[n]);
        if (existed[n] && !ReadWholeFile(path, now[n], &error, nullptr, kMaxXMLFileBytes)) {
            return Failure(EStoreStatus::Unreadable, error);
        }
        if (existed[n]) current.push_back({members[n].name, now[n]});
    }
    if (!current.empty() && !history.KeepCopyNow(current, {}, keptCopy, &error))
        return Failure(EStoreStatus::SaveFailed, error);
    Forget();
    std::vector<CFileStep> files;
    std::vector<CFileIdentity> identities;
    for (size_t n = 0; n < members.size(); ++n) {
        const std::string path = GetDataDir() + members[n].name;
        std::error_code code;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), code);
        if ((path == m_path && !KeepBackupCopy(m_path, m_path + ".bak", &error)) ||
            !WriteFileSafely(path, members[n].bytes, &error)) {
            Record("履歴からの復元", std::move(files), identities);
            return Failure(EStoreStatus::SaveFailed, error);
        }
        files.push_back({path, existed[n], true,
                         m_undo ? DiffBytes(now[n], members[n].bytes) : std::vector<CByteHunk>{}});
        identities.push_back(before[n]);
    }
    Record("履歴からの復元", std::move(files), identities);
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
            // well-formed, only too large for it.  libxml2 reports that limit as a failed
            // allocation, the one error of this kind a parse of the catch file meets.
            if (result.code == XML_ERR_NO_MEMORY) {
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
