#include "app/HistoryCommands.h"

#include <ctime>
#include <ostream>

#include "app/InstanceLock.h"
#include "data/CatchHistory.h"
#include "data/CatchStore.h"
#include "data/DataFolder.h"

namespace {
std::string DateTimeText(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    return text;
}
}  // namespace

int ListHistoryCommand(const CDataFolder& folder, std::ostream& out, std::ostream& err)
{
    const std::string dataDir = folder.GetDataDir();
    if (dataDir.empty()) {
        err << "lurebook: プログラムのフォルダが見つかりません。\n";
        return 2;
    }
    const CCatchHistory history(dataDir);
    std::vector<CCatchHistory::CProblem> problems;
    for (const CCatchHistory::CCopyInfo& copy : history.ListCopies(&problems)) {
        out << copy.name << '\t' << DateTimeText(copy.when) << '\t' << copy.trips << '\t'
            << copy.catches << '\n';
    }
    for (const CCatchHistory::CProblem& problem : problems)
        err << "lurebook: 履歴のコピーとして読めないファイル: " << problem.path << " ("
            << problem.reason << ")。このファイルは削除しません。\n";
    return 0;
}

int RestoreHistoryCommand(const CDataFolder& folder, const std::string& name, std::ostream& out,
                          std::ostream& err)
{
    // A restore writes the catch file: not while the program has it open.
    CInstanceLock lock;
    if (!LockDataFolderForCommand(lock, folder,
                                  "Lurebook が起動しているため履歴から復元できません。"
                                  "終了してからもう一度実行してください。",
                                  err)) {
        return 2;
    }
    CCatchStore store(folder.GetCatchFile());
    store.EnableHistory(true);
    std::string kept;
    const CStoreResult result = store.RestoreHistoryCopy(name, &kept);
    if (!result.ok()) {
        err << "lurebook: 履歴 " << name << " から復元できませんでした。\n"
            << (result.detail.empty() ? DescribeStoreResult(result, store.GetPath())
                                      : result.detail)
            << "\n";
        return 2;
    }
    std::vector<CTripRow> rows;
    store.ListTrips(rows);
    out << "履歴 " << name << " から復元しました (釣行 " << rows.size() << " 件)。";
    // Said only of a copy that was really made.
    if (kept.empty()) {
        out << "復元する前のファイルはなかったため、履歴には何も残していません。\n";
    } else {
        out << "復元する前の内容も履歴に残しています (" << kept << ")。\n";
    }
    return 0;
}
