// The species list file: any bytes are read as the list, shown, written back and read again.
// Besides crashes, leaks and undefined behaviour, the run stops when
//  - the entries do not add up to the decoded text, or one is longer than a read may give,
//  - a line feed appears anywhere but at the end of an entry,
//  - saving the list and reading it again changes a name (encoding, trimming, splitting),
//  - a second save of the list read back changes anything (the list must settle at once).

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "data/TextEncoding.h"
#include "entry/FishNameList.h"

namespace {

std::vector<std::string> Names(const std::vector<std::string>& entries)
{
    std::vector<std::string> names;
    for (const std::string& entry : entries) {
        std::string name = TrimTrailingWhiteSpace(entry);
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

std::string Show(const std::vector<std::string>& list)
{
    std::string out;
    for (const std::string& s : list) out += "[" + s + "]";
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::ScratchDir() + "fishname.txt";
    fuzz::WriteBytes(path, bytes);

    std::vector<std::string> entries;
    std::string error;
    FUZZ_CHECK(ReadSpeciesList(path, entries, &error), "an existing list cannot be read: " + error);
    const std::string text = DecodeTextFileBytes(bytes);
    FUZZ_CHECK(IsValidUtf8(text), "the decoded list is not UTF-8");
    std::string joined;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        joined += entry;
        FUZZ_CHECK(!entry.empty(), "an empty entry (not even a line feed)");
        FUZZ_CHECK(Cp932ByteLength(entry) <= kSpeciesEntryBytes, "an entry longer than one read");
        const size_t feed = entry.find('\n');
        FUZZ_CHECK(feed == std::string::npos || feed + 1 == entry.size(),
                   "a line feed inside an entry");
        if (feed == std::string::npos && i + 1 < entries.size()) {
            // Only a full piece of a long line may end without its line feed.
            FUZZ_CHECK(Cp932ByteLength(entry) + 2 > kSpeciesEntryBytes,
                       "a short piece without a line feed");
        }
        FUZZ_CHECK(SpeciesDisplayText(entry).find('\n') == std::string::npos, "display text");
    }
    FUZZ_CHECK(joined == text, "the entries do not add up to the file's text");

    // Saved and read again, every name is still there, unchanged and in order.
    FUZZ_CHECK(WriteSpeciesList(path, entries, &error), "the list cannot be saved: " + error);
    std::vector<std::string> reread;
    FUZZ_CHECK(ReadSpeciesList(path, reread, &error), "the saved list cannot be read: " + error);
    const std::vector<std::string> names = Names(entries);
    FUZZ_CHECK(Names(reread) == names,
               "saving changed the names: " + Show(names) + " became " + Show(Names(reread)));

    // The list read back is what the file now holds: saving it once more is a no-op.
    const std::string saved = fuzz::ReadBytes(path);
    FUZZ_CHECK(WriteSpeciesList(path, reread, &error), "second save: " + error);
    std::vector<std::string> third;
    FUZZ_CHECK(ReadSpeciesList(path, third, &error), "third read: " + error);
    FUZZ_CHECK(Names(third) == names, "a second save changed the names");
    return 0;
}
