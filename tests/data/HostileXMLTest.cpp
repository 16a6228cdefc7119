#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/PeakMemory.h"
#include "data/XMLDocument.h"
#include "support/TempProgramDir.h"

namespace {

std::vector<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(d);
    }
    return names;
}

CTripRecord SomeTrip()
{
    CTripRecord trip;
    trip.date = "2004/5/3";
    trip.place = "堤防";
    trip.catches = {{"アジ", "21", "0", "19時5分"}};
    return trip;
}

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    out.reserve(text.size() * times);
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

struct CHostileCase {
    std::string name;
    std::string bytes;
};

// Documents that try to expand, fetch or nest their way past the parser's limits, or that are
// not text in the encoding they claim.  (Billion laughs, an external file entity, an external
// DTD over http, 5000-deep nesting and broken UTF-8 are covered by XMLDataFileTest.)
std::vector<CHostileCase> HostileDocuments(const std::string& dir)
{
    const std::string secret = dir + "secret.txt";
    WriteFileBytes(secret, "SECRET-CONTENT");
    const std::string head = "<?xml version=\"1.0\"?>\n";
    return {
        {"quadratic blow-up: one 64 kB entity referenced 20000 times",
         head + "<!DOCTYPE r [<!ENTITY big \"" + std::string(65536, 'x') +
             "\">]>\n<r><FishData><memo>" + Repeat("&big;", 20000) + "</memo></FishData></r>"},
        {"external entity over the network",
         head + "<!DOCTYPE r [<!ENTITY x SYSTEM "
                "\"http://192.0.2.1/steal\">]>\n<r><memo>&x;</memo></r>"},
        {"external DTD from a local file",
         head + "<!DOCTYPE r SYSTEM \"file://" + secret + "\">\n<r/>"},
        {"external entity from a local file by relative name",
         head + "<!DOCTYPE r [<!ENTITY x SYSTEM \"secret.txt\">]>\n<r><memo>&x;</memo></r>"},
        {"parameter entity pulling in a DTD",
         head + "<!DOCTYPE r [<!ENTITY % p SYSTEM \"http://192.0.2.1/p.dtd\"> %p;]>\n<r/>"},
        {"public identifier with a network address",
         head + "<!DOCTYPE r PUBLIC \"-//X//Y//EN\" \"https://192.0.2.1/y.dtd\">\n<r/>"},
        {"nesting a million deep", Repeat("<a>", 1000000) + Repeat("</a>", 1000000)},
        {"attribute-value nesting of entities without a DTD", "<r a=\"&x;&x;&x;\"/>"},
        {"unknown encoding", "<?xml version=\"1.0\" encoding=\"X-NO-SUCH-CODE\"?>\n<r/>"},
        {"Shift_JIS declared, invalid bytes",
         "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<r>\x82\x20\xff\xfc\x85</r>"},
        {"UTF-8 overlong slash",
         std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\xc0\xaf</r>")},
        {"UTF-8 surrogate", std::string("<r>\xed\xa0\x80</r>")},
        {"NUL byte inside", std::string("<r><memo>a\0b</memo></r>", 22)},
        {"UTF-16 declared, single bytes given",
         "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<r/>"},
        {"two document elements", "<r/><r/>"},
        {"only a declaration", head},
    };
}

class HostileXMLTest : public ::testing::Test {
protected:
    CTempProgramDir m_dir;
    std::string m_path = m_dir.Path("Data/fish.xml");
};

// Each hostile document ends in a clear error with a line, no writer touches the file or leaves
// a backup or temporary file, and loading it costs no more memory than a few copies of it.
TEST_F(HostileXMLTest, RefusedWithALineNothingWrittenAndMemoryBounded)
{
    const bool measure = ResetPeakMemory();
    for (const CHostileCase& c : HostileDocuments(m_dir.Path("Data/"))) {
        m_dir.WriteFile("Data/fish.xml", c.bytes);
        const auto before = FilesIn(m_dir.Path("Data"));

        if (measure) ResetPeakMemory();
        const long startKb = ReadStatusKb("VmRSS:");
        CXMLDataFile file;
        EXPECT_EQ(file.LoadXMLDataFile(m_path), 0) << c.name;
        if (measure) {
            const long grownKb = PeakGrowthKb(startKb);
            // The documents are at most a few MB; an expansion would take hundreds.
            EXPECT_LT(grownKb, 64 * 1024 + static_cast<long>(c.bytes.size() / 1024) * 8) << c.name;
        }
        EXPECT_NE(file.CheckParseError(), 0) << c.name;
        EXPECT_GT(file.GetErrorLine(), 0) << c.name;
        EXPECT_FALSE(file.GetErrorText().empty()) << c.name;
        EXPECT_EQ(file.GetErrorText().find("SECRET-CONTENT"), std::string::npos) << c.name;

        CCatchStore store(m_path);
        std::vector<CTripRow> rows;
        const CStoreResult listed = store.ListTrips(rows);
        EXPECT_EQ(listed.status, EStoreStatus::ParseError) << c.name;
        EXPECT_NE(DescribeStoreResult(listed, m_path).find("行目"), std::string::npos) << c.name;
        for (const CStoreResult& result :
             {store.AddTrip(SomeTrip()), store.ReplaceTrip(0, SomeTrip()), store.DeleteTrip(0)}) {
            EXPECT_EQ(result.status, EStoreStatus::ParseError) << c.name;
        }
        EXPECT_TRUE(ReadFileBytes(m_path) == c.bytes) << c.name;
        EXPECT_EQ(FilesIn(m_dir.Path("Data")), before) << c.name;
    }
}

// A catch file cut off anywhere before its end is refused as a whole: no trip of it is shown
// from a half-read file and no writer saves over it.
TEST_F(HostileXMLTest, FileCutOffAnywhereIsRefusedAndKept)
{
    {
        CCatchStore store(m_path);
        for (int n = 0; n < 3; ++n) ASSERT_TRUE(store.AddTrip(SomeTrip()).ok());
    }
    ASSERT_EQ(::unlink(m_dir.Path("Data/fish.xml.bak").c_str()), 0);
    const std::string whole = ReadFileBytes(m_path);
    const size_t rootEnd = whole.rfind("</");
    ASSERT_NE(rootEnd, std::string::npos);
    int cuts = 0;
    for (size_t cut = 1; cut < rootEnd + 2; cut += 7) {
        const std::string part = whole.substr(0, cut);
        m_dir.WriteFile("Data/fish.xml", part);
        CCatchStore store(m_path);
        std::vector<CTripRow> rows;
        const CStoreResult listed = store.ListTrips(rows);
        ASSERT_EQ(listed.status, EStoreStatus::ParseError) << "cut at " << cut;
        EXPECT_GT(listed.line, 0) << "cut at " << cut;
        EXPECT_TRUE(rows.empty()) << "cut at " << cut;
        EXPECT_EQ(store.AddTrip(SomeTrip()).status, EStoreStatus::ParseError) << "cut at " << cut;
        ASSERT_EQ(ReadFileBytes(m_path), part) << "cut at " << cut;
        ++cuts;
    }
    EXPECT_GT(cuts, 50);
    EXPECT_FALSE(m_dir.Exists("Data/fish.xml.bak"));
}

// A file over the size cap is refused from its size alone, before anything is read, and is
// never written.  (The file is sparse: it takes no disk space.)
TEST_F(HostileXMLTest, FileOverTheSizeCapIsRefusedUnread)
{
    m_dir.WriteFile("Data/fish.xml", "<r>");
    ASSERT_EQ(::truncate(m_path.c_str(), static_cast<off_t>(kMaxXMLFileBytes) + 1), 0);
    struct stat before {};
    ASSERT_EQ(::stat(m_path.c_str(), &before), 0);

    const bool measure = ResetPeakMemory();
    const long startKb = ReadStatusKb("VmRSS:");
    CXMLDataFile file;
    EXPECT_EQ(file.LoadXMLDataFile(m_path), 0);
    EXPECT_EQ(file.GetLoadStatus(), EXMLLoadStatus::TooLarge);
    if (measure) {
        EXPECT_LT(PeakGrowthKb(startKb), 16 * 1024);
    }

    CCatchStore store(m_path);
    const CStoreResult added = store.AddTrip(SomeTrip());
    EXPECT_EQ(added.status, EStoreStatus::Unreadable);
    EXPECT_NE(DescribeStoreResult(added, m_path).find("ファイルの読み込み失敗しました"),
              std::string::npos);
    struct stat after {};
    ASSERT_EQ(::stat(m_path.c_str(), &after), 0);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_FALSE(m_dir.Exists("Data/fish.xml.bak"));
}

// Text written beside the trips by hand (a note in the root element) reads and stays, however
// the trips around it are read and written.
TEST_F(HostileXMLTest, TextBesideTheTripsIsKeptApartFromThem)
{
    const std::string memo = Repeat("長いメモ", 20);  // within the 255 bytes a text keeps
    m_dir.WriteFile("Data/fish.xml", "<log>note\r\n<FishData><place>A</place><memo>" + memo +
                                         "</memo></FishData>\r\nbetween<FishData><place>B</place>"
                                         "</FishData>\r\ntail\r\n</log>");
    CCatchStore store(m_path);
    std::vector<CTripRecord> trips;
    ASSERT_TRUE(store.ReadAllTrips(trips).ok());
    ASSERT_EQ(trips.size(), 2u);
    EXPECT_EQ(trips[0].memo, memo);
    EXPECT_EQ(trips[1].place, "B");
    ASSERT_TRUE(store.ReplaceTrip(1, SomeTrip()).ok());
    const std::string saved = ReadFileBytes(m_path);
    for (const char* text : {"note\r\n<FishData>", "\r\nbetween<FishData>", "\r\ntail\r\n</log>"})
        EXPECT_NE(saved.find(text), std::string::npos) << text;
    ASSERT_TRUE(CCatchStore(m_path).ReadAllTrips(trips).ok());
    EXPECT_EQ(trips.size(), 2u);
}

// A trip is an element the document names FishData: one with a declared prefix is, one whose
// prefix is declared nowhere is another element ("p:FishData") and stays as it is.
TEST_F(HostileXMLTest, TripsAreTheElementsTheDocumentNamesFishData)
{
    m_dir.WriteFile("Data/fish.xml",
                    "<log xmlns:q=\"urn:q\"><FishData><place>A</place></FishData>"
                    "<p:FishData><place>X</place></p:FishData>"
                    "<q:FishData><place>B</place></q:FishData></log>");
    CCatchStore store(m_path);
    std::vector<CTripRecord> trips;
    ASSERT_TRUE(store.ReadAllTrips(trips).ok());
    ASSERT_EQ(trips.size(), 2u);
    EXPECT_EQ(trips[1].place, "B");
    ASSERT_TRUE(store.DeleteTrip(1).ok());
    ASSERT_TRUE(CCatchStore(m_path).ReadAllTrips(trips).ok());
    ASSERT_EQ(trips.size(), 1u);
    EXPECT_EQ(trips[0].place, "A");
    EXPECT_NE(ReadFileBytes(m_path).find("<p:FishData><place>X</place></p:FishData>"),
              std::string::npos);
}

// What stays harmless is accepted and kept as it is: an XInclude element is data, not an order
// to read another file, and nesting within the parser's depth limit loads and saves.
TEST_F(HostileXMLTest, XIncludeIsNotFollowedAndModestNestingWorks)
{
    WriteFileBytes(m_dir.Path("Data/secret.txt"), "SECRET-CONTENT");
    m_dir.WriteFile(
        "Data/fish.xml",
        "<?xml version=\"1.0\"?>\n<r xmlns:xi=\"http://www.w3.org/2001/XInclude\">"
        "<FishData><memo><xi:include href=\"secret.txt\" parse=\"text\"/></memo></FishData>" +
            Repeat("<a>", 200) + "<FishData><place>深い</place></FishData>" + Repeat("</a>", 200) +
            "</r>");
    CCatchStore store(m_path);
    std::vector<CTripRecord> trips;
    ASSERT_TRUE(store.ReadAllTrips(trips).ok());
    ASSERT_EQ(trips.size(), 2u);
    EXPECT_EQ(trips[0].memo, "");
    EXPECT_EQ(trips[1].place, "深い");
    ASSERT_TRUE(store.AddTrip(SomeTrip()).ok());
    const std::string saved = ReadFileBytes(m_path);
    EXPECT_EQ(saved.find("SECRET-CONTENT"), std::string::npos);
    EXPECT_NE(saved.find("xi:include"), std::string::npos);
    ASSERT_TRUE(store.ReadAllTrips(trips).ok());
    EXPECT_EQ(trips.size(), 3u);
}

}  // namespace
