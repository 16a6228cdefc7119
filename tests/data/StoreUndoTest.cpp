// Undo and redo of every kind of change made through the catch store.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/SafeFile.h"
#include "data/UndoStack.h"
#include "support/TempProgramDir.h"

namespace {

CTripRecord Trip(const std::string& date, const std::string& place)
{
    CTripRecord trip;
    trip.fishname = "クロダイ";
    trip.date = date;
    trip.place = place;
    trip.memo = "一行目\n二行目";
    trip.catches = {{"クロダイ", "42", "1.5", "6時30分"}};
    return trip;
}

const std::string kThreeTrips =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log>"
    "\r\n<FishData><date>2024/1/1</date><place>城ヶ島</place><report/></FishData>"
    "\r\n<FishData><date>2024/2/2</date><place>相模湾</place><report/></FishData>"
    "\r\n<FishData><date>2024/3/3</date><place>東京湾</place><report/></FishData></log>\r\n";

class StoreUndoTest : public ::testing::Test {
public:
    void SetUp() override
    {
        m_dir.WriteFile("Data/fish.xml", kThreeTrips);
        m_store.EnableUndo(true);
    }
    // Every file a step may change, as bytes ("-" for a missing file).
    std::string State() const
    {
        std::string state;
        for (const char* file :
             {"Data/fish.xml", "Data/schedule/2026年 12月.txt", "Data/fishname.txt"}) {
            state += m_dir.Exists(file) ? m_dir.ReadFile(file) : std::string("-");
            state += '\0';
        }
        return state;
    }
    CStoreResult WriteText(const std::string& relative, const std::string& action,
                           const std::string& text)
    {
        const std::string path = m_dir.Path(relative);
        return m_store.ChangeFile(
            path, action, [&](std::string* error) { return WriteFileSafely(path, text, error); });
    }

    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
};

struct COperation {
    std::string name;  // what the edit menu calls it
    std::function<CStoreResult(StoreUndoTest&, CCatchStore&)> run;
};

}  // namespace

// Each kind of change, one after another: every undo gives back the bytes of the state before,
// every redo those after, named as the edit menu names them.
TEST_F(StoreUndoTest, EveryKindUndoesAndRedoesByteForByteInSequenceAndInterleaved)
{
    const std::string backup =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log>\r\n<FishData><date>2020/1/1</date>"
        "</FishData></log>\r\n";
    const std::vector<COperation> operations = {
        {"釣行の登録", [](auto&, CCatchStore& s) { return s.AddTrip(Trip("2025/5/5", "葉山")); }},
        {"釣行の修正",
         [](auto&, CCatchStore& s) { return s.ReplaceTrip(1, Trip("2024/2/2", "相模湾 沖")); }},
        {"2 件の釣行の削除",
         [](auto&, CCatchStore& s) {
             return s.DeleteTrips({0, 2});
         }},
        {"3 件の釣行の取り込み",
         [](auto&, CCatchStore& s) {
             return s.AddTrips(
                 {Trip("2025/6/1", "a"), Trip("2025/6/2", "b"), Trip("2025/6/3", "c")});
         }},
        {"バックアップからの復元",
         [&](auto&, CCatchStore& s) {
             return s.ReplaceContent(backup, "バックアップからの復元", false);
         }},
        {"2026年 12月 8日のメモ",
         [](StoreUndoTest& t, auto&) {
             return t.WriteText("Data/schedule/2026年 12月.txt", "2026年 12月 8日のメモ",
                                "[2026年 12月]\r\n8=大潮\r\n");
         }},
        // A species added at the top (イワシ in CP932): the old list reappears whole at the end
        // of the new one, and both begin with the same byte.
        {"魚種名の変更",
         [](StoreUndoTest& t, auto&) {
             return t.WriteText(
                 "Data/fishname.txt", "魚種名の変更",
                 "\x83\x43\x83\x8f\x83\x56\r\n" + t.m_dir.ReadFile("Data/fishname.txt"));
         }},
    };
    std::vector<std::string> states{State()};
    for (const COperation& operation : operations) {
        ASSERT_TRUE(operation.run(*this, m_store).ok()) << operation.name;
        EXPECT_EQ(m_store.GetUndoName(), operation.name);
        states.push_back(State());
    }
    for (size_t n = operations.size(); n-- > 0;) {
        ASSERT_TRUE(m_store.Undo().ok()) << operations[n].name;
        EXPECT_EQ(State(), states[n]) << "undo of " << operations[n].name;
        EXPECT_EQ(m_store.GetRedoName(), operations[n].name);
    }
    EXPECT_FALSE(m_store.CanUndo());
    for (size_t n = 0; n < operations.size(); ++n) {
        ASSERT_TRUE(m_store.Redo().ok()) << operations[n].name;
        EXPECT_EQ(State(), states[n + 1]) << "redo of " << operations[n].name;
    }
    EXPECT_FALSE(m_store.CanRedo());

    // Interleaved: undo three, change something new (nothing is left to redo), undo it and the
    // two before, redo one.
    for (int n = 0; n < 3; ++n) ASSERT_TRUE(m_store.Undo().ok());
    EXPECT_EQ(State(), states[4]);
    ASSERT_TRUE(m_store.AddTrip(Trip("2026/1/1", "新しい釣行")).ok());
    EXPECT_FALSE(m_store.CanRedo());
    const std::string withNew = State();
    for (int n = 0; n < 3; ++n) ASSERT_TRUE(m_store.Undo().ok());
    EXPECT_EQ(State(), states[2]);
    ASSERT_TRUE(m_store.Redo().ok());
    EXPECT_EQ(State(), states[3]);
    ASSERT_TRUE(m_store.Redo().ok());
    ASSERT_TRUE(m_store.Redo().ok());
    EXPECT_EQ(State(), withNew);
    // What the store reads after an undo is the file, not what it read before.
    std::vector<CTripRow> rows;
    ASSERT_TRUE(m_store.ListTrips(rows).ok());
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows.back().place, "新しい釣行");
}

// A file changed by another program since the store wrote it is never written over by an undo:
// the undo is refused, nothing is written, and it stays on offer.
TEST_F(StoreUndoTest, UndoAfterAnOutsideChangeIsRefusedAndWritesNothing)
{
    const struct {
        const char* name;
        bool memoStep;  // the step to undo changed the memo file (else the catch file)
        std::function<void(CTempProgramDir&)> outside;
    } cases[] = {
        {"catch file rewritten", false,
         [](CTempProgramDir& d) { d.WriteFile("Data/fish.xml", kThreeTrips + "<!-- -->"); }},
        // The undone bytes are still in place: only the file's identity tells.
        {"comment appended to the catch file", false,
         [](CTempProgramDir& d) {
             d.WriteFile("Data/fish.xml", d.ReadFile("Data/fish.xml") + "<!-- 外から -->\r\n");
         }},
        {"line appended to the memo", true,
         [](CTempProgramDir& d) {
             d.WriteFile("Data/schedule/m.txt", d.ReadFile("Data/schedule/m.txt") + "2=追記\r\n");
         }},
        {"catch file removed", false, [](CTempProgramDir& d) { ::unlink(d.CatchFile().c_str()); }},
        {"memo rewritten", true,
         [](CTempProgramDir& d) { d.WriteFile("Data/schedule/m.txt", "[m]\r\n1=別の手で\r\n"); }},
    };
    for (const auto& c : cases) {
        CTempProgramDir dir;
        dir.WriteFile("Data/fish.xml", kThreeTrips);
        CCatchStore store(dir.CatchFile());
        store.EnableUndo(true);
        ASSERT_TRUE(store.AddTrip(Trip("2025/5/5", "葉山")).ok());
        if (c.memoStep) {
            const std::string memo = dir.Path("Data/schedule/m.txt");
            ASSERT_TRUE(store
                            .ChangeFile(memo, "メモ",
                                        [&](std::string* e) {
                                            return WriteFileSafely(memo, "[m]\r\n1=x\r\n", e);
                                        })
                            .ok());
        }
        c.outside(dir);
        const std::string catchFile =
            dir.Exists("Data/fish.xml") ? dir.ReadFile("Data/fish.xml") : std::string("-");
        const std::string memo = dir.ReadFile("Data/schedule/m.txt");
        const CStoreResult result = store.Undo();
        EXPECT_EQ(result.status, EStoreStatus::ChangedOutside) << c.name;
        EXPECT_EQ(dir.Exists("Data/fish.xml") ? dir.ReadFile("Data/fish.xml") : std::string("-"),
                  catchFile)
            << c.name;
        EXPECT_EQ(dir.ReadFile("Data/schedule/m.txt"), memo) << c.name;
        EXPECT_TRUE(store.CanUndo()) << c.name;
        EXPECT_FALSE(store.CanRedo()) << c.name;
    }
}

// A change made on top of an outside change starts a new undo history: the older steps were
// made to other bytes.
TEST_F(StoreUndoTest, AChangeAfterAnOutsideChangeDropsTheOlderSteps)
{
    ASSERT_TRUE(m_store.AddTrip(Trip("2025/5/5", "葉山")).ok());
    m_dir.WriteFile("Data/fish.xml", kThreeTrips);
    std::vector<CTripRow> rows;
    ASSERT_TRUE(m_store.ListTrips(rows).ok());
    ASSERT_TRUE(m_store.DeleteTrips({1}).ok());
    ASSERT_TRUE(m_store.Undo().ok());
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), kThreeTrips);
    EXPECT_FALSE(m_store.CanUndo());
}

// Photos copied for a save go when the save is undone, unless a trip still names them; a redo
// brings them back.
TEST_F(StoreUndoTest, PhotoCopiesOfAnUndoneSaveGoOnlyWhenNoTripNamesThem)
{
    for (const bool namedElsewhere : {false, true}) {
        CTempProgramDir dir;
        dir.WriteFile("Data/fish.xml", kThreeTrips);
        const std::string photo = dir.Path("Data/Picture/aji.jpg");
        dir.WriteFile("Data/Picture/aji.jpg", "jpeg bytes");
        CCatchStore store(dir.CatchFile());
        store.EnableUndo(true);
        CTripRecord other = Trip("2024/4/4", "other");
        other.fishPhotos = {photo};
        if (namedElsewhere) {
            ASSERT_TRUE(store.AddTrip(other).ok());
        }
        CTripRecord trip = Trip("2025/5/5", "葉山");
        trip.fishPhotos = {photo};
        ASSERT_TRUE(store.AddTrip(trip).ok());
        store.NotePhotoCopies({photo});
        ASSERT_TRUE(store.Undo().ok());
        EXPECT_EQ(dir.Exists("Data/Picture/aji.jpg"), namedElsewhere);
        ASSERT_TRUE(store.Redo().ok());
        EXPECT_EQ(dir.ReadFile("Data/Picture/aji.jpg"), "jpeg bytes");
    }
}

// A copy a save took off its trip is kept aside while the save can be undone: the undo puts it
// back with the trip, the redo takes it away again.
TEST_F(StoreUndoTest, APhotoCopyASaveRemovedComesBackWithTheUndo)
{
    const std::string photo = m_dir.Path("Data/Picture/tai.jpg");
    m_dir.WriteFile("Data/Picture/tai.jpg", "jpeg");
    CTripRecord trip = Trip("2025/5/5", "葉山");
    trip.placePhotos = {photo};
    ASSERT_TRUE(m_store.AddTrip(trip).ok());
    trip.placePhotos.clear();
    ASSERT_TRUE(m_store.ReplaceTrip(3, trip).ok());
    ASSERT_TRUE(m_store.RemovePhotoCopy(photo));
    EXPECT_FALSE(m_dir.Exists("Data/Picture/tai.jpg"));
    ASSERT_TRUE(m_store.Undo().ok());
    EXPECT_EQ(m_dir.ReadFile("Data/Picture/tai.jpg"), "jpeg");
    ASSERT_TRUE(m_store.Redo().ok());
    EXPECT_FALSE(m_dir.Exists("Data/Picture/tai.jpg"));
}

TEST(UndoHunksTest, HunksApplyBothWaysAndRefuseOtherContent)
{
    const struct {
        std::string before, after;
    } cases[] = {
        {"abcdef", "abXYef"},
        {"abc", "abc"},
        {"", "new"},
        {"old", ""},
        {"aaaa", "aaaaaa"},
        // The shared end must not reach back into the shared start.
        {"abc", "aXabc"},
        {"aXabc", "abc"},
        {"アジ\r\n", "イワシ\r\nアジ\r\n"},
    };
    for (const auto& c : cases) {
        const std::vector<CByteHunk> hunks = DiffBytes(c.before, c.after);
        std::string out;
        ASSERT_TRUE(ApplyHunks(c.before, hunks, true, out)) << c.after;
        EXPECT_EQ(out, c.after);
        ASSERT_TRUE(ApplyHunks(c.after, hunks, false, out)) << c.after;
        EXPECT_EQ(out, c.before);
        // Content other than what the hunk removes is refused.
        if (!hunks.empty() && !hunks[0].removed.empty()) {
            std::string other = c.before;
            other[hunks[0].at] = '?';
            EXPECT_FALSE(ApplyHunks(other, hunks, true, out));
        }
    }
    // Several hunks (a delete of trips apart): offsets move back by what earlier hunks took.
    const std::vector<CByteHunk> apart = {{1, "bb", ""}, {5, "e", "EEE"}};
    std::string out;
    ASSERT_TRUE(ApplyHunks("abbcdefg", apart, true, out));
    EXPECT_EQ(out, "acdEEEfg");
    ASSERT_TRUE(ApplyHunks("acdEEEfg", apart, false, out));
    EXPECT_EQ(out, "abbcdefg");
}
