#include "data/UndoStack.h"

#include <algorithm>

std::vector<CByteHunk> DiffBytes(std::string_view before, std::string_view after)
{
    const size_t shorter = std::min(before.size(), after.size());
    size_t start = 0;
    while (start < shorter && before[start] == after[start]) ++start;
    if (start == before.size() && start == after.size()) return {};
    size_t end = 0;
    while (end < shorter - start &&
           before[before.size() - 1 - end] == after[after.size() - 1 - end]) {
        ++end;
    }
    CByteHunk hunk;
    hunk.at = start;
    hunk.removed = before.substr(start, before.size() - end - start);
    hunk.inserted = after.substr(start, after.size() - end - start);
    return {std::move(hunk)};
}

bool ApplyHunks(std::string_view content, const std::vector<CByteHunk>& hunks, bool forward,
                std::string& out)
{
    out.clear();
    size_t from = 0;
    // Offsets are those of the content before; going backward they move by what the earlier
    // hunks added or took away.
    long shift = 0;
    for (const CByteHunk& hunk : hunks) {
        const std::string& expected = forward ? hunk.removed : hunk.inserted;
        const std::string& replacement = forward ? hunk.inserted : hunk.removed;
        const long signedAt = static_cast<long>(hunk.at) + (forward ? 0 : shift);
        if (signedAt < static_cast<long>(from)) return false;
        const size_t at = static_cast<size_t>(signedAt);
        if (at > content.size() || content.substr(at, expected.size()) != expected) return false;
        out.append(content.substr(from, at - from));
        out.append(replacement);
        from = at + expected.size();
        shift += static_cast<long>(hunk.inserted.size()) - static_cast<long>(hunk.removed.size());
    }
    out.append(content.substr(from));
    return true;
}

size_t CUndoStep::Bytes() const
{
    size_t bytes = action.size();
    for (const CFileStep& file : files) {
        for (const CByteHunk& hunk : file.hunks)
            bytes += hunk.removed.size() + hunk.inserted.size();
    }
    return bytes;
}

CUndoStack::~CUndoStack()
{
    Clear();
}

void CUndoStack::Push(CUndoStep step)
{
    for (CUndoStep& dropped : m_redo) {
        if (m_discard) m_discard(dropped, false);
    }
    m_redo.clear();
    m_undo.push_back(std::move(step));
    Trim();
}

void CUndoStack::Undone()
{
    m_redo.push_back(std::move(m_undo.back()));
    m_undo.pop_back();
}

void CUndoStack::Redone()
{
    m_undo.push_back(std::move(m_redo.back()));
    m_redo.pop_back();
}

void CUndoStack::Clear()
{
    for (auto* list : {&m_undo, &m_redo}) {
        for (CUndoStep& dropped : *list) {
            if (m_discard) m_discard(dropped, list == &m_undo);
        }
        list->clear();
    }
}

void CUndoStack::Trim()
{
    size_t total = 0;
    for (const CUndoStep& step : m_undo) total += step.Bytes();
    size_t drop = 0;
    // The newest step stays, however large: the change just made can always be taken back.
    while (drop + 1 < m_undo.size() && (m_undo.size() - drop > kMaxSteps || total > kMaxBytes)) {
        total -= m_undo[drop].Bytes();
        if (m_discard) m_discard(m_undo[drop], true);
        ++drop;
    }
    m_undo.erase(m_undo.begin(), m_undo.begin() + static_cast<long>(drop));
}
