// Memo profile files: any bytes as a month's memo file, then one memo written into it.  Input:
// the file's bytes, a line "\n@@\n", the day (decimal), another "\n@@\n", the memo typed.
// Besides crashes, leaks and undefined behaviour, the run stops when
//  - a memo read is longer than the read limit, or reading one day disagrees with the month,
//  - writing the memo of one day changes the memo of any other day,
//  - the memo written does not read back as typed (up to the read limit).

#include <sys/stat.h>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "calendar/CalendarGrid.h"
#include "calendar/ScheduleMemo.h"
#include "data/DataFolder.h"
#include "data/DecimalInt.h"
#include "data/TextEncoding.h"

namespace {

// What the memo dialog can hand over: valid UTF-8 without NUL characters.
std::string TypedText(const std::string& bytes)
{
    std::string text = IsValidUtf8(bytes) ? bytes : Cp932ToUtf8(bytes);
    std::string out;
    for (char c : text) {
        if (c != '\0') out += c;
    }
    return out;
}

// A typed CR LF is one line break, read back as a line feed.
std::string ExpectedReadBack(const std::string& memo)
{
    std::string out;
    for (size_t i = 0; i < memo.size(); ++i) {
        if (memo[i] == '\r' && i + 1 < memo.size() && memo[i + 1] == '\n') continue;
        out += memo[i];
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto parts = fuzz::SplitInput(data, size, "\n@@\n", 3);
    const std::string& dir = fuzz::ScratchDir();
    static const CDataFolder folder = [&] {
        const CDataFolder scratch(dir);
        mkdir(scratch.GetDataDir().c_str(), 0755);
        mkdir(scratch.GetScheduleDir().c_str(), 0755);
        return scratch;
    }();

    const std::string title = FormatMonthTitle(2004, 2);
    const std::string path = ScheduleFilePath(folder, title);
    fuzz::WriteBytes(path, parts[0]);
    int day = ReadDecimalInt(parts[1]) % kMemoDaysPerMonth;
    if (day <= 0) day += kMemoDaysPerMonth;
    const std::string memo = TypedText(parts[2]);

    const auto before = ReadScheduleMonth(folder, title);
    for (int d = 1; d <= kMemoDaysPerMonth; ++d) {
        const std::string one = ReadScheduleMemo(folder, title, d);
        FUZZ_CHECK(one == before[d - 1], "day " + std::to_string(d) + " reads differently alone");
        FUZZ_CHECK(Cp932ByteLength(one) <= kMaxMemoReadBytes, "a memo longer than the read limit");
    }

    std::string error;
    if (!WriteScheduleMemo(folder, title, day, memo, &error)) {
        // Refused only to keep bytes of other days that do not decode: then nothing changed.
        FUZZ_CHECK(error.find("no text") != std::string::npos,
                   "the memo cannot be stored: " + error);
        FUZZ_CHECK(fuzz::ReadBytes(path) == parts[0], "a refused memo changed the file");
        return 0;
    }
    const auto after = ReadScheduleMonth(folder, title);
    for (int d = 1; d <= kMemoDaysPerMonth; ++d) {
        if (d == day) continue;
        FUZZ_CHECK(after[d - 1] == before[d - 1],
                   "writing day " + std::to_string(day) + " changed day " + std::to_string(d) +
                       ": [" + before[d - 1] + "] became [" + after[d - 1] + "]");
    }
    const std::string expected = ExpectedReadBack(memo);
    const std::string& got = after[day - 1];
    if (Cp932ByteLength(EncodeMemoValue(memo)) <= kMaxMemoReadBytes) {
        FUZZ_CHECK(got == expected,
                   "the memo reads back as [" + got + "] instead of [" + expected + "]");
    } else {
        FUZZ_CHECK(expected.compare(0, got.size(), got) == 0,
                   "a long memo does not read back as its beginning: [" + got + "]");
    }
    FUZZ_CHECK(ReadScheduleMemo(folder, title, day) == got, "reading the day alone disagrees");
    return 0;
}
