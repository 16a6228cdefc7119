#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What a change did to one file's bytes: pieces removed and inserted at offsets of the content
// before, in order and apart.  A change of a few trips in a large file keeps only those trips.
struct CByteHunk {
    size_t at = 0;
    std::string removed;
    std::string inserted;
};

// One hunk from before to after (the bytes between their common start and common end); none
// when they are equal.
std::vector<CByteHunk> DiffBytes(std::string_view before, std::string_view after);

// Applies hunks to content: forward turns the content before into the content after, backward
// the other way.  False (out unspecified) when content does not hold what the hunks expect.
bool ApplyHunks(std::string_view content, const std::vector<CByteHunk>& hunks, bool forward,
                std::string& out);

// One file changed by a step.
struct CFileStep {
    std::string path;
    bool existedBefore = true;
    bool existsAfter = true;
    std::vector<CByteHunk> hunks;
};

// One change the user can take back, such as "2 件の釣行の削除".
struct CUndoStep {
    std::string action;
    std::vector<CFileStep> files;
    // Photos the change copied into the picture folder, and those an undo moved aside (where
    // they were, where they are) so that a redo can put them back.
    std::vector<std::string> photoCopies;
    std::vector<std::pair<std::string, std::string>> parked;
    // Photo copies the change itself took away (where they were, where they are kept while the
    // change stands), so that an undo can put them back.
    std::vector<std::pair<std::string, std::string>> removedAside;
    size_t Bytes() const;
};

// The changes to undo and to redo.  A new change ends what could be redone.  Kept within a
// number of steps and of bytes: the oldest go first.
class CUndoStack {
public:
    static constexpr size_t kMaxSteps = 100;
    static constexpr size_t kMaxBytes = size_t{256} << 20;

    // Called with each step that is dropped for good (to remove what it set aside), and whether
    // it was done (dropped from the undo list) or undone (from the redo list).
    void SetDiscardFunction(std::function<void(CUndoStep&, bool done)> discard)
    {
        m_discard = std::move(discard);
    }
    ~CUndoStack();

    void Push(CUndoStep step);
    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    const CUndoStep& NextUndo() const { return m_undo.back(); }
    const CUndoStep& NextRedo() const { return m_redo.back(); }
    CUndoStep& NextUndo() { return m_undo.back(); }
    CUndoStep& NextRedo() { return m_redo.back(); }
    // Moves the next undo onto the redo list, and back.
    void Undone();
    void Redone();
    void Clear();

private:
    void Trim();
    std::vector<CUndoStep> m_undo;
    std::vector<CUndoStep> m_redo;
    std::function<void(CUndoStep&, bool done)> m_discard;
};
