// The text files a user can put anything into: a 16 MB holiday list, profile (memo) file and
// species list each parsed in one pass.  Files on disk are refused above their kind's limit, so
// the parses are measured on texts in memory, and the reads at the limit separately.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "calendar/CalendarGrid.h"
#include "calendar/HolidayLists.h"
#include "calendar/HolidayRules.h"
#include "calendar/PrivateProfile.h"
#include "data/GuardedFile.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"
#include "entry/FishNameList.h"

namespace {

constexpr size_t kTextBytes = size_t{16} << 20;

// Lines made from pattern (numbered where it holds "#") until the text reaches bytes.
std::string RepeatedText(const std::string& pattern, size_t bytes)
{
    std::string text;
    text.reserve(bytes + pattern.size() + 16);
    for (int i = 0; text.size() < bytes; ++i) {
        std::string line = pattern;
        const size_t mark = line.find('#');
        if (mark != std::string::npos) line.replace(mark, 1, std::to_string(i));
        text += line;
    }
    return text;
}

void BM_HolidayListMarked(benchmark::State& state)
{
    const std::string list = RepeatedText("11^23^勤労感謝の日^0~7^#^海の日^3~", kTextBytes);
    CHolidayLists lists;
    CCalendarGrid grid(lists);
    grid.SetShown(124, 0);
    for (auto _ : state) {
        YearCells cells = grid.Cells();
        MarkHolidays(2024, list, cells);
        benchmark::DoNotOptimize(cells);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * list.size()));
}
BENCHMARK(BM_HolidayListMarked)->Unit(benchmark::kMillisecond);

void BM_ProfileLookups(benchmark::State& state)
{
    // Every month of many years, each with 31 memos: the looked-up section comes last.
    std::string text =
        RepeatedText("[#年  5月]\r\n1=釣り\r\n2=\"  潮 \"\r\n15=memo #\r\n", kTextBytes);
    text += "[2024年  5月]\r\n7=the one\r\n";
    for (auto _ : state) {
        std::string value;
        benchmark::DoNotOptimize(FindProfileValue(text, "2024年  5月", "7", value));
        benchmark::DoNotOptimize(ReadProfileSection(text, "2024年  5月"));
        std::string bytes = text;
        benchmark::DoNotOptimize(SetProfileValueInBytes(bytes, "2024年  5月", "8", "new"));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 3));
}
BENCHMARK(BM_ProfileLookups)->Unit(benchmark::kMillisecond);

// A month file of the largest size taken, all of it short keys in one section (about 100,000):
// reading the section against one scan of the same text for a key it lacks, measured in the
// same run (counter "section_per_scan": a fixed multiple when the read is linear, one growing
// with the number of keys when it is not).
void BM_ProfileManyKeys(benchmark::State& state)
{
    std::string text = "[2024年  5月]\r\n";
    for (int i = 0; text.size() + 16 < kMaxProfileFileBytes; ++i) {
        text += "k" + std::to_string(i) + "=v\r\n";
    }
    double scan = 0;
    double section = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        std::string value;
        benchmark::DoNotOptimize(FindProfileValue(text, "2024年  5月", "none", value));
        const auto t1 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(ReadProfileSection(text, "2024年  5月"));
        const auto t2 = std::chrono::steady_clock::now();
        scan += std::chrono::duration<double>(t1 - t0).count();
        section += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["section_per_scan"] = scan > 0 ? section / scan : 0;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ProfileManyKeys)->Unit(benchmark::kMillisecond);

void BM_SpeciesListSplit(benchmark::State& state)
{
    // Short names and lines far longer than one entry.
    const std::string text =
        RepeatedText("スズキ#\n" + std::string(700, 'a') + "\nメバル\n", kTextBytes);
    for (auto _ : state) benchmark::DoNotOptimize(SplitSpeciesEntries(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SpeciesListSplit)->Unit(benchmark::kMillisecond);

void BM_DecodeCp932Text(benchmark::State& state)
{
    std::string cp932;
    Utf8ToCp932(RepeatedText("1^1^元旦^0~\r\n", kTextBytes), cp932);
    for (auto _ : state) benchmark::DoNotOptimize(DecodeTextFileBytes(cp932));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * cp932.size()));
}
BENCHMARK(BM_DecodeCp932Text)->Unit(benchmark::kMillisecond);

// A species list of the largest size any reader takes, read and split as an entry dialog does.
void BM_SpeciesFileAtLimit(benchmark::State& state)
{
    const std::string path = "/tmp/lurebook-bench-fishname.txt";
    std::string text = RepeatedText("魚#\n", kMaxSpeciesFileBytes - 16);
    WriteFileSafely(path, EncodeTextFileBytes(text).substr(0, kMaxSpeciesFileBytes));
    for (auto _ : state) {
        std::vector<std::string> entries;
        benchmark::DoNotOptimize(ReadSpeciesList(path, entries));
    }
    ::unlink(path.c_str());
}
BENCHMARK(BM_SpeciesFileAtLimit)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
