#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "data/SafeFile.h"
#include "data/TripRecord.h"

class CCatchHistory;
struct CFileStep;
struct CUndoStep;

// Why a store operation did not complete.
enum class EStoreStatus {
    Ok,
    NoProgramDir,    // the program directory cannot be found
    Missing,         // the catch file does not exist
    Unreadable,      // it exists but cannot be read (permissions, too large, ...)
    ParseError,      // it cannot be parsed; line says where
    NoSuchTrip,      // a position past the last trip (or below 0)
    SaveFailed,      // the changed document could not be written; the file is as it was
    ChangedOutside,  // another program changed the file since it was read; it has been read again
};

struct CStoreResult {
    EStoreStatus status = EStoreStatus::Ok;
    int line = 0;        // for ParseError
    int code = 0;        // for ParseError: libxml2's error number (0 for none)
    std::string detail;  // reason in the words of libxml2 or the system
    bool ok() const { return status == EStoreStatus::Ok; }
};

// The catch file and the operations every view performs on it.  Trips are addressed by their
// zero-based position among the FishData elements in document order.
//
// What was read is kept between operations, as plain records, for as long as the file keeps
// its identity (device, inode, size, modification time): every operation first looks at the
// file, and a change made by another program is read again, never overwritten.  A change
// writes the file once: only the bytes of the trips it touches are replaced, every other byte
// stays as it was.  A file that cannot be loaded or parsed is never written.  Before the file
// is replaced the previous version is kept as "<file>.bak".
//
// One store serves one catch file for the whole program; it is not shared between threads.
class CCatchStore {
public:
    explicit CCatchStore(std::string path);
    ~CCatchStore();
    CCatchStore(const CCatchStore&) = delete;
    CCatchStore& operator=(const CCatchStore&) = delete;

    const std::string& GetPath() const { return m_path; }
    // The folder of the catch file, ending in "/" (the Data folder, where Picture/ lies).
    std::string GetDataDir() const;

    // Every trip in file order, valid until the next call of the store.
    using CTripsReader = std::function<void(const std::vector<CTripRecord>& trips)>;
    CStoreResult ReadTrips(const CTripsReader& reader) const;

    CStoreResult ListTrips(std::vector<CTripRow>& rows) const;
    CStoreResult ReadTrip(int n, CTripRecord& trip) const;
    CStoreResult ReadAllTrips(std::vector<CTripRecord>& trips) const;
    // The year field of every trip date and the species of every catch, each once, in file order.
    CStoreResult ListYearsAndFishNames(std::vector<std::string>& years,
                                       std::vector<std::string>& species) const;
    CStoreResult ListYears(std::vector<std::string>& years) const;
    CStoreResult ListSpecies(std::vector<std::string>& species) const;
    CStoreResult ListPhotoPaths(EPhotoKind kind, std::vector<std::string>& paths) const;

    CStoreResult AddTrip(const CTripRecord& trip);
    // Appends trips after the last one, in order, in one save (nothing when trips is empty).
    CStoreResult AddTrips(const std::vector<CTripRecord>& trips);
    // The same, keeping the records themselves for what the store holds of the file (trips is
    // left empty after a success): an import holds its many trips once.
    CStoreResult AddTrips(std::vector<CTripRecord>&& trips);
    CStoreResult ReplaceTrip(int n, const CTripRecord& trip);
    CStoreResult DeleteTrip(int n);
    // Removes the trips at positions (any order, repeats ignored) in one save, so the backup
    // holds the file as it was before all of them went.
    CStoreResult DeleteTrips(std::vector<int> positions);

    // Forgets what was read, so that the next operation reads the file again.
    void Forget() const;

    // The trips of a catch file's bytes, read as the store reads the file.
    static CStoreResult ParseTrips(const std::string& bytes, std::vector<CTripRecord>& trips);

    // --- History and undo -------------------------------------------------------------------
    // With history on, the first change of each day first keeps the files it changes in the
    // history folder of the Data folder (data/CatchHistory.h); a copy that cannot be written
    // stops the change.  Off by default (tests and one-off tools need none).
    void EnableHistory(bool on);
    CCatchHistory* GetHistory() const { return m_history.get(); }

    // With undo on, every change made through the store (trips, and the other files of the
    // Data folder changed through ChangeFile) can be undone and redone while the store lives.
    // An undo or redo is itself one safe save.  It is refused, with nothing written, when a file
    // it would write was changed by another program since the store last wrote it.
    void EnableUndo(bool on);
    bool CanUndo() const;
    bool CanRedo() const;
    // The name of the change the next undo or redo takes back or makes again, such as
    // "2 件の釣行の削除"; empty when there is none.
    std::string GetUndoName() const;
    std::string GetRedoName() const;
    CStoreResult Undo();
    CStoreResult Redo();
    // Called after every change, undo and redo made through the store (for menus to follow).
    void SetChangeListener(std::function<void()> listener) { m_listener = std::move(listener); }

    // Writes another file of the Data folder (a memo file, the species list) through write, as
    // one change named action: kept in the day's history copy before, undoable after.
    using CFileWriter = std::function<bool(std::string* error)>;
    CStoreResult ChangeFile(const std::string& path, const std::string& action,
                            const CFileWriter& write);

    // Puts bytes in place of the whole catch file as one change named action (a backup put
    // back).  Bytes that do not parse are refused.  keepBackup false leaves "<file>.bak" as it
    // is (when it is what is being put back).  The file now may be unreadable.
    CStoreResult ReplaceContent(const std::string& bytes, const std::string& action,
                                bool keepBackup = true);

    // Puts back the history copy name (the catch file and the other files it holds) as one
    // change: the files as they are now first become a history copy of their own, whose name
    // keptCopy receives (empty when there was nothing to keep).  When that copy cannot be made,
    // nothing is restored.
    CStoreResult RestoreHistoryCopy(const std::string& name, std::string* keptCopy = nullptr);

    // Photos copied into the picture folder for the change just made: an undo of it removes
    // those that no trip names then (a redo brings them back).
    void NotePhotoCopies(const std::vector<std::string>& copies);
    // Removes a photo copy no trip names after the change just made: with undo on it is kept
    // aside (an undo of the change puts it back) until the change can no longer be undone.
    bool RemovePhotoCopy(const std::string& photo);

    // Whether the user still has to hear of this failure to read the file.  False when the same
    // failure of the file as it is now was already told (a list refreshed after every dialog
    // would repeat it each time); the failure is then noted as told.  A failed change and a
    // failure of another version of the file are always new; a success forgets what was told.
    bool NoteFailureTold(const CStoreResult& result) const;

private:
    struct CCache;
    CStoreResult Refresh() const;
    enum class EEdit { Add, Replace, Delete };
    // owned, when given, holds trips and may be taken over once they are written.
    CStoreResult Edit(EEdit edit, std::vector<int> positions, std::span<const CTripRecord> trips,
                      std::vector<CTripRecord>* owned = nullptr);
    CStoreResult EditDocument(EEdit edit, const std::vector<int>& positions,
                              std::span<const CTripRecord> trips);

    struct CUndo;
    // The day's history copy before the catch file, whose bytes are before (nullptr: read
    // them), is changed.
    bool KeepHistoryBefore(const std::string* before, std::string& error);
    // The history copy before another file of the Data folder is changed.
    bool KeepHistoryBefore(const std::string& path, const std::string* before, std::string& error);
    std::string MemberName(const std::string& path) const;
    void Changed() const;
    // Notes a change of files (each with its identity before) as one step named action.
    void Record(const std::string& action, std::vector<CFileStep> files,
                const std::vector<CFileIdentity>& before);
    CStoreResult TakeStep(bool undo);
    void ParkPhotoCopies(CUndoStep& step);
    bool MovePhotoAside(const std::string& photo, std::string& aside) const;

    std::string m_path;
    mutable std::unique_ptr<CCache> m_cache;
    std::unique_ptr<CCatchHistory> m_history;
    std::unique_ptr<CUndo> m_undo;
    std::function<void()> m_listener;
    struct CToldFailure {
        EStoreStatus status = EStoreStatus::Ok;
        int line = 0;
        CFileIdentity identity;
    };
    mutable CToldFailure m_told;
};

// A user-facing Japanese description of a failed result, such as
// "ファイルの読み込み失敗しました" or a parse error naming the line and a short reason.
std::string DescribeStoreResult(const CStoreResult& result, const std::string& path);

// A short Japanese reason for a ParseError result, such as "タグの対応が取れていません".
std::string DescribeParseError(const CStoreResult& result);
