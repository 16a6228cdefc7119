#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/MarkupScanner.h"
#include "data/TextEncoding.h"
#include "data/TripElement.h"
#include "data/XMLDocument.h"
#include "support/TempProgramDir.h"

namespace {

CTripRecord Trip(const std::string& place, const std::string& date = "2024/5/3")
{
    CTripRecord trip;
    trip.fishname = "マダイ";
    trip.date = date;
    trip.place = place;
    trip.memo = "一行目\n二行目";
    trip.catches = {{"マダイ", "48", "1", "7時15分"}};
    return trip;
}

std::vector<std::string> Places(const CCatchStore& store)
{
    std::vector<std::string> places;
    EXPECT_TRUE(store
                    .ReadTrips([&](const std::vector<CTripRecord>& trips) {
                        for (const CTripRecord& trip : trips) places.push_back(trip.place);
                    })
                    .ok());
    return places;
}

// A file as another program may have written it: comments (one holding markup), a processing
// instruction, attributes with ">" and "/>" in them, odd layout and an element the program does not
// know.
const std::string kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- log <FishData> kept by hand -->\n"
    "<log version=\"a>b\">\n  <owner>釣り人</owner>\n";
const std::string kTripA = "<FishData note='a/>b'><place>A</place><memo>x</memo></FishData>";
const std::string kTripB = "<FishData>\n    <place>B</place><?note keep?></FishData>";
const std::string kTripC = "<FishData><place><![CDATA[C</FishData>]]></place></FishData>";
const std::string kTail = "\n</log>\n<!-- end -->\n";
const std::string kFile = kHead + "  " + kTripA + "\n  " + kTripB + "\n  " + kTripC + kTail;

class CatchStoreSpliceTest : public ::testing::Test {
protected:
    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
};

TEST_F(CatchStoreSpliceTest, EveryByteOutsideTheChangedTripStaysAsItWas)
{
    m_dir.WriteFile("Data/fish.xml", kFile);
    ASSERT_EQ(Places(m_store), (std::vector<std::string>{"A", "B", "C</FishData>"}));

    ASSERT_TRUE(m_store.ReplaceTrip(1, Trip("新しい場所")).ok());
    const std::string replaced = m_dir.ReadFile("Data/fish.xml");
    const size_t begin = replaced.find("<FishData>\r\n<fishname>");
    ASSERT_NE(begin, std::string::npos);
    EXPECT_EQ(replaced.substr(0, begin), kHead + "  " + kTripA + "\n  ");
    EXPECT_EQ(replaced.substr(replaced.size() - (kTripC.size() + kTail.size() + 3)),
              "\n  " + kTripC + kTail);
    EXPECT_EQ(Places(m_store), (std::vector<std::string>{"A", "新しい場所", "C</FishData>"}));
    // What the store kept is what a fresh reading finds.
    CCatchStore fresh(m_dir.CatchFile());
    std::vector<CTripRecord> kept, read;
    ASSERT_TRUE(m_store.ReadAllTrips(kept).ok());
    ASSERT_TRUE(fresh.ReadAllTrips(read).ok());
    EXPECT_EQ(kept, read);
    EXPECT_EQ(read[1].memo, "一行目\n二行目");

    ASSERT_TRUE(m_store.AddTrip(Trip("D")).ok());
    ASSERT_TRUE(m_store.DeleteTrips({0, 2}).ok());
    EXPECT_EQ(Places(m_store), (std::vector<std::string>{"新しい場所", "D"}));
    const std::string after = m_dir.ReadFile("Data/fish.xml");
    EXPECT_EQ(after.rfind(kHead, 0), 0u);
    EXPECT_EQ(after.substr(after.size() - kTail.size()), kTail);
    EXPECT_EQ(after.find("<place>A</place>"), std::string::npos);
    EXPECT_EQ(after.find("CDATA"), std::string::npos);
}

TEST_F(CatchStoreSpliceTest, DeletingSeveralTripsSavesOnceAndTheBackupHoldsTheStateBefore)
{
    for (const char* place : {"A", "B", "C", "D", "E"})
        ASSERT_TRUE(m_store.AddTrip(Trip(place)).ok());
    const std::string before = m_dir.ReadFile("Data/fish.xml");
    ASSERT_TRUE(m_store.DeleteTrips({3, 0, 3, 1}).ok());
    EXPECT_EQ(Places(m_store), (std::vector<std::string>{"C", "E"}));
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml.bak"), before);
    EXPECT_EQ(Places(CCatchStore(m_dir.CatchFile())), (std::vector<std::string>{"C", "E"}));

    const std::string kept = m_dir.ReadFile("Data/fish.xml");
    EXPECT_EQ(m_store.DeleteTrips({1, 2}).status, EStoreStatus::NoSuchTrip);
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), kept);
}

TEST_F(CatchStoreSpliceTest, ShiftJisFilesStayShiftJis)
{
    std::string sjis;
    ASSERT_TRUE(
        Utf8ToCp932("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<log>\r\n"
                    "<FishData>\r\n<place>城ヶ島</place></FishData></log>\r\n",
                    sjis));
    m_dir.WriteFile("Data/fish.xml", sjis);
    ASSERT_TRUE(m_store.AddTrip(Trip("剱崎")).ok());
    const std::string bytes = m_dir.ReadFile("Data/fish.xml");
    EXPECT_FALSE(IsValidUtf8(bytes));
    EXPECT_EQ(bytes.rfind(sjis.substr(0, sjis.find("</log>")), 0), 0u);
    EXPECT_EQ(Places(CCatchStore(m_dir.CatchFile())), (std::vector<std::string>{"城ヶ島", "剱崎"}));
}

TEST_F(CatchStoreSpliceTest, TripsInsideTripsAreWrittenAsAWholeDocument)
{
    m_dir.WriteFile("Data/fish.xml",
                    "<log><FishData><place>A</place><FishData><place>A1</place></FishData>"
                    "</FishData><FishData><place>B</place></FishData></log>");
    ASSERT_EQ(Places(m_store), (std::vector<std::string>{"A", "A1", "B"}));
    ASSERT_TRUE(m_store.ReplaceTrip(2, Trip("B2")).ok());
    EXPECT_EQ(Places(m_store), (std::vector<std::string>{"A", "A1", "B2"}));
    ASSERT_TRUE(m_store.DeleteTrip(1).ok());
    EXPECT_EQ(Places(m_store), (std::vector<std::string>{"A", "B2"}));
}

TEST_F(CatchStoreSpliceTest, ACarriageReturnInAPhotoPathReadsBackAsOne)
{
    CTripRecord trip = Trip("A");
    trip.fishPhotos = {"/photos/odd\rname.jpg"};
    trip.placePhotos = {"/photos/line\r\nend.jpg"};
    ASSERT_TRUE(m_store.AddTrip(trip).ok());
    ASSERT_TRUE(m_store.AddTrip(Trip("B")).ok());  // the first trip's bytes stay as written
    ASSERT_TRUE(m_store.ReplaceTrip(1, Trip("B2")).ok());
    CTripRecord back;
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).ReadTrip(0, back).ok());
    EXPECT_EQ(back.fishPhotos, trip.fishPhotos);
    EXPECT_EQ(back.placePhotos, trip.placePhotos);
    EXPECT_EQ(back.memo, "一行目\n二行目");
}

// Only memo and method hold line ends as CR LF; a line feed anywhere else (a place brought in
// from a spreadsheet) is kept as one.
TEST_F(CatchStoreSpliceTest, ALineFeedOutsideMemoAndMethodReadsBackAsOne)
{
    CTripRecord trip = Trip("岬\n北側");
    trip.method = "ルアー\nミノー";
    ASSERT_TRUE(m_store.AddTrip(trip).ok());
    CTripRecord back;
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).ReadTrip(0, back).ok());
    EXPECT_EQ(back.place, "岬\n北側");
    EXPECT_EQ(back.method, "ルアー\nミノー");
    EXPECT_NE(m_dir.ReadFile("Data/fish.xml").find("ルアー\r\nミノー"), std::string::npos);
}

// A CR, an LF and a CR LF of a text come back as they were, in memo and method (which hold
// line ends as CR LF in the file) and elsewhere, in a UTF-8 and a Shift_JIS file alike.
TEST_F(CatchStoreSpliceTest, LineEndsOfEveryKindReadBackAsTheyWere)
{
    const char* const texts[] = {"a\rb", "a\r\nb", "a\nb", "\ra", "a\r", "a\r\r\n\n\rb"};
    for (const char* declaration : {"UTF-8", "Shift_JIS"}) {
        m_dir.WriteFile("Data/fish.xml", std::string("<?xml version=\"1.0\" encoding=\"") +
                                             declaration + "\"?>\r\n<log></log>\r\n");
        CCatchStore store(m_dir.CatchFile());
        std::vector<CTripRecord> trips;
        for (const char* text : texts) {
            CTripRecord trip = Trip(text);
            trip.memo = text;
            trip.method = text;
            trips.push_back(trip);
        }
        ASSERT_TRUE(store.AddTrips(trips).ok()) << declaration;
        std::vector<CTripRecord> back;
        ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).ReadAllTrips(back).ok());
        EXPECT_EQ(back, trips) << declaration;
    }
}

// Trips added to a UTF-8 file are written straight to bytes; those bytes must be the ones the
// document path (libxml2) writes, whatever the texts hold.
TEST(TripElementBytes, AreTheBytesOfTheDocumentPath)
{
    const auto with = [](auto change) {
        CTripRecord trip = Trip("城ヶ島");
        change(trip);
        return trip;
    };
    const CTripRecord cases[] = {
        Trip("城ヶ島"),
        CTripRecord(),
        with([](CTripRecord& t) { t.memo = "a & b < c > d \"q\" 'x'\r\n次\n行\r"; }),
        with([](CTripRecord& t) { t.method = "\rルアー\n"; }),
        with([](CTripRecord& t) { t.place = "岬\r\n北\r側\t🐟"; }),
        with([](CTripRecord& t) { t.weather = "\r\n "; }),                   // blanks only
        with([](CTripRecord& t) { t.water = std::string("\x01\x02", 2); }),  // nothing left
        with([](CTripRecord& t) {
            t.date =
                "\xEF\xBB\xBF"
                "2024/5/3\xEF\xBF\xBE";
        }),
        with([](CTripRecord& t) {
            t.fishPhotos = {"/p/a\rb.jpg", "/p/<&>.jpg", ""};
        }),
        with([](CTripRecord& t) {
            t.catches = {{"", "", "", ""}, {"イトヨリ", "28.5", "0.35", ""}};
        }),
    };
    for (const CTripRecord& trip : cases) {
        CXMLDataFile file;
        file.SetLineEndElements({std::begin(kLineEndElements), std::end(kLineEndElements)});
        ASSERT_TRUE(file.NewDocument("r", "UTF-8"));
        xmlNodePtr element = nullptr;
        ASSERT_EQ(file.AppendTag("FishData", "", file.GetDocumentElement(), &element), 0);
        ASSERT_EQ(WriteTripElement(file, element, trip), 0);
        std::string document;
        ASSERT_TRUE(file.SerializeDocument(document));
        const size_t begin = document.find("<FishData>");
        const size_t end = document.rfind("</FishData>") + std::string("</FishData>").size();
        std::string direct;
        ASSERT_TRUE(AppendTripElementUtf8(trip, direct));
        EXPECT_EQ(direct, document.substr(begin, end - begin)) << trip.place << trip.memo;
    }
    std::string out = "kept";
    EXPECT_FALSE(AppendTripElementUtf8(with([](CTripRecord& t) { t.memo = "\xFF\xFE"; }), out));
    EXPECT_EQ(out, "kept");
}

TEST_F(CatchStoreSpliceTest, ChangesMadeByAnotherProgramAreSeenAndNeverOverwritten)
{
    for (const char* place : {"A", "B"}) ASSERT_TRUE(m_store.AddTrip(Trip(place)).ok());
    ASSERT_EQ(Places(m_store), (std::vector<std::string>{"A", "B"}));

    // Another program puts a trip in front: position 0 is now another trip.
    CCatchStore other(m_dir.CatchFile());
    ASSERT_TRUE(other.AddTrip(Trip("C")).ok());
    std::string text = m_dir.ReadFile("Data/fish.xml");
    m_dir.WriteFile("Data/fish.xml", text.replace(text.find("<place>A<"), 9, "<place>X<"));
    const std::string changed = m_dir.ReadFile("Data/fish.xml");
    EXPECT_EQ(m_store.DeleteTrip(0).status, EStoreStatus::ChangedOutside);
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), changed);
    EXPECT_EQ(Places(m_store), (std::vector<std::string>{"X", "B", "C"}));
    ASSERT_TRUE(m_store.DeleteTrip(0).ok());  // now it names the trip the caller has seen
    EXPECT_EQ(Places(m_store), (std::vector<std::string>{"B", "C"}));
}

TEST_F(CatchStoreSpliceTest, AnUnchangedFileIsNotReadAgain)
{
    ASSERT_TRUE(m_store.AddTrip(Trip("AAAA")).ok());
    ASSERT_EQ(Places(m_store), (std::vector<std::string>{"AAAA"}));
    // Same size, same modification time, same file: the store keeps what it read.
    const std::string path = m_dir.CatchFile();
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    std::string text = m_dir.ReadFile("Data/fish.xml");
    text.replace(text.find("AAAA"), 4, "BBBB");
    FILE* file = std::fopen(path.c_str(), "r+b");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(Places(m_store), (std::vector<std::string>{"AAAA"}));
    // Touched: read again.
    const struct timespec later[2] = {before.st_atim, {before.st_mtim.tv_sec + 1, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), later, 0), 0);
    EXPECT_EQ(Places(m_store), (std::vector<std::string>{"BBBB"}));
}

// Deleting trips leaves no blank line where they were, whichever trips go: in a file the store
// splices the file is as if they had never been added, and one it writes as a whole (UTF-16)
// has no blank line either.
TEST_F(CatchStoreSpliceTest, DeletedTripsLeaveNoBlankLine)
{
    const std::vector<std::vector<int>> deletions = {{0}, {1}, {2}, {0, 2}, {0, 1, 2}};
    for (const bool utf16 : {false, true}) {
        // The new, empty catch file the program ships, in either encoding.
        const std::string empty = std::string("<?xml version=\"1.0\" encoding=\"") +
                                  (utf16 ? "UTF-16" : "UTF-8") +
                                  "\"?>\r\n<CatchLog></CatchLog>\r\n";
        std::string start = empty;
        if (utf16) {
            start = "\xFF\xFE";
            for (const char c : empty) start.append({c, '\0'});
        }
        const auto blankLines = [utf16](const std::string& bytes) {
            std::string text;
            for (size_t i = utf16 ? 2 : 0; i < bytes.size(); i += utf16 ? 2 : 1) text += bytes[i];
            return text.find("\n\r\n") != std::string::npos ||
                   text.find("\n\n") != std::string::npos;
        };
        for (const std::vector<int>& deleted : deletions) {
            SCOPED_TRACE(std::string(utf16 ? "UTF-16" : "UTF-8") + ", deleting " +
                         std::to_string(deleted.front()) + " of " + std::to_string(deleted.size()));
            CTempProgramDir full;
            CTempProgramDir kept;
            full.WriteFile("Data/fish.xml", start);
            kept.WriteFile("Data/fish.xml", start);
            CCatchStore fullStore(full.CatchFile());
            CCatchStore keptStore(kept.CatchFile());
            const char* places[] = {"A", "B", "C"};
            for (int n = 0; n < 3; ++n) {
                ASSERT_TRUE(fullStore.AddTrip(Trip(places[n])).ok());
                if (std::find(deleted.begin(), deleted.end(), n) == deleted.end()) {
                    ASSERT_TRUE(keptStore.AddTrip(Trip(places[n])).ok());
                }
            }
            ASSERT_FALSE(blankLines(full.ReadFile("Data/fish.xml")));
            ASSERT_TRUE(fullStore.DeleteTrips(deleted).ok());
            const std::string after = full.ReadFile("Data/fish.xml");
            EXPECT_FALSE(blankLines(after));
            if (!utf16) {
                EXPECT_EQ(after, kept.ReadFile("Data/fish.xml"));
            }
        }
    }
}

// A line break is written as one CR LF; a CR that stands in the text itself (a memo brought in
// from elsewhere with CR LF) is kept as a reference, so the text reads back as it was and no CR
// is ever doubled.
TEST_F(CatchStoreSpliceTest, ALineBreakIsOneCrLfAndATextCrIsKept)
{
    const struct {
        const char* memo;
        const char* bytes;  // as the file holds it
        const char* back;   // as it reads back
    } cases[] = {
        {"x\ny", "x\r\ny", "x\ny"},
        {"x\r\ny", "x&#13;\r\ny", "x\r\ny"},
        {"\r\nx\r\n\r\ny\n", "&#13;\r\nx&#13;\r\n&#13;\r\ny\r\n", "\r\nx\r\n\r\ny\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.memo);
        CTempProgramDir dir;
        CCatchStore store(dir.CatchFile());
        CTripRecord trip = Trip("A");
        trip.memo = c.memo;
        trip.method = c.memo;
        ASSERT_TRUE(store.AddTrip(trip).ok());
        const std::string file = dir.ReadFile("Data/fish.xml");
        EXPECT_NE(file.find(std::string("<memo>") + c.bytes + "</memo>"), std::string::npos)
            << file;
        EXPECT_NE(file.find(std::string("<method>") + c.bytes + "</method>"), std::string::npos);
        CTripRecord back;
        ASSERT_TRUE(CCatchStore(dir.CatchFile()).ReadTrip(0, back).ok());
        EXPECT_EQ(back.memo, c.back);
        EXPECT_EQ(back.method, c.back);
    }
}

struct CScanCase {
    const char* name;
    std::string bytes;
    bool followed;
    std::vector<std::string> elements;  // the bytes of each element found
};

TEST(MarkupScanner, FindsTheOutermostElementsOrGivesUp)
{
    const std::vector<CScanCase> cases = {
        {"plain", "<r><T>1</T><T/><x><T>2</T></x></r>", true, {"<T>1</T>", "<T/>", "<T>2</T>"}},
        {"nested", "<r><T><T>in</T></T></r>", true, {"<T><T>in</T></T>"}},
        {"comment and CDATA",
         "<r><!-- <T> --><![CDATA[<T>]]><T a='>'>x</T></r>",
         true,
         {"<T a='>'>x</T>"}},
        {"longer name", "<r><Tx>1</Tx><T >2</T ></r>", true, {"<T >2</T >"}},
        {"quoted ends of an empty tag",
         "<r><T a='/>'>x</T><T b=\"/>\"/><T c='\"/>'>y</T><T d='/'/></r>",
         true,
         {"<T a='/>'>x</T>", "<T b=\"/>\"/>", "<T c='\"/>'>y</T>", "<T d='/'/>"}},
        {"doctype", "<!DOCTYPE r><r><T/></r>", false, {}},
        {"empty root", "<r/>", false, {}},
        {"unterminated", "<r><T>1</T>", false, {}},
        {"unterminated comment", "<r><!-- <T/></r>", false, {}},
    };
    for (const CScanCase& c : cases) {
        CMarkupLayout layout;
        EXPECT_EQ(CMarkupScanner::Scan(c.bytes, "T", layout), c.followed) << c.name;
        if (!c.followed) continue;
        std::vector<std::string> found;
        for (const CElementRange& range : layout.elements) {
            found.push_back(c.bytes.substr(range.begin, range.end - range.begin));
        }
        EXPECT_EQ(found, c.elements) << c.name;
        EXPECT_EQ(c.bytes.substr(layout.rootEndTag), "</r>") << c.name;
    }
}

}  // namespace

TEST(CatchStoreLimits, ATextTooLargeForTheParserIsSaidInWords)
{
    // Told by libxml2's error, not its English words: a mismatched tag named "huge" is an error
    // in the file, not a text too large.
    struct Case {
        const char* name;
        std::string trips;
        bool tooLarge;
    };
    const Case cases[] = {
        {"text over the limit",
         "<FishData><memo>" + std::string(10'000'001, 'a') + "</memo></FishData>", true},
        {"tag named huge", "<FishData><huge></memo></FishData>", false},
    };
    for (const Case& c : cases) {
        CTempProgramDir dir;
        dir.WriteFile("Data/fish.xml", "<log>\n" + c.trips + "</log>");
        CCatchStore store(dir.CatchFile());
        std::vector<CTripRow> rows;
        const CStoreResult result = store.ListTrips(rows);
        ASSERT_EQ(result.status, EStoreStatus::ParseError) << c.name;
        const std::string said = DescribeStoreResult(result, store.GetPath());
        EXPECT_EQ(said.find("大きすぎる") != std::string::npos, c.tooLarge)
            << c.name << ": " << said;
        EXPECT_EQ(said.find("誤りがある") != std::string::npos, !c.tooLarge)
            << c.name << ": " << said;
    }
}
