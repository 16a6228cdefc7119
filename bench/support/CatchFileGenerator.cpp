#include "support/CatchFileGenerator.h"

#include <malloc.h>

#include "data/CatchStore.h"
#include "data/SafeFile.h"
#include "data/XMLDocument.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

namespace {

const char* const kSpecies[] = {"マダイ", "クロダイ", "メジナ", "スズキ",     "ヒラメ",
                                "アジ",   "カサゴ",   "メバル", "アオリイカ", "ブラックバス"};
const char* const kWeather[] = {"晴れ", "曇り", "雨"};
const char* const kPlaces[] = {"城ヶ島の磯", "東京湾 木更津沖", "相模湾 茅ヶ崎沖", "芦ノ湖 湖尻",
                               "霞ヶ浦 土浦港"};

void AppendElement(std::string& out, const char* indent, const char* tag, const std::string& text)
{
    out += "\r\n";
    out += indent;
    out += '<';
    out += tag;
    if (text.empty()) {
        out += "/>";
        return;
    }
    out += '>';
    out += text;
    out += "</";
    out += tag;
    out += '>';
}

}  // namespace

std::string GenerateCatchFileBytes(int tripCount)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog>";
    out.reserve(static_cast<size_t>(tripCount) * 1100 + 64);
    unsigned seed = 12345;
    const auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    for (int n = 0; n < tripCount; ++n) {
        const int year = 2000 + static_cast<int>(next(10));
        const int month = 1 + static_cast<int>(next(12));
        const int day = 1 + static_cast<int>(next(28));
        out += "\r\n<FishData>";
        AppendElement(out, "", "fishname", kSpecies[next(10)]);
        AppendElement(out, "", "weather", kWeather[next(3)]);
        AppendElement(
            out, "", "date",
            std::to_string(year) + "/" + std::to_string(month) + "/" + std::to_string(day));
        AppendElement(out, "", "water", std::to_string(10 + next(15)));
        AppendElement(out, "", "HighTide",
                      std::to_string(next(24)) + ":" + std::to_string(next(60)));
        AppendElement(out, "", "EbbTide",
                      std::to_string(next(24)) + ":" + std::to_string(next(60)));
        AppendElement(out, "", "method", "ウキフカセ釣り\r\n道糸 3号、ハリス 2号、グレ針 6号");
        AppendElement(out, "", "place", kPlaces[next(5)]);
        AppendElement(out, "", "memo",
                      "朝マヅメに時合い。潮が動き出してから当たりが続いた。\r\n"
                      "コマセはオキアミ 3 kg と配合餌 1 袋。次回は遠投も試したい。");
        out += "\r\n<image_place>";
        AppendElement(out, "", "imagepath",
                      "/home/angler/写真/釣行/place_" + std::to_string(n) + ".jpg");
        out += "</image_place>\r\n<image_fish>";
        AppendElement(out, "", "imagepath",
                      "/home/angler/写真/釣行/fish_" + std::to_string(n) + ".jpg");
        out += "</image_fish>\r\n<report>";
        for (int k = 0; k < 3; ++k) {
            out += "\r\n<fish>";
            AppendElement(out, "", "name", kSpecies[next(10)]);
            AppendElement(out, "", "height", std::to_string(15 + next(50)));
            AppendElement(out, "", "weight", std::to_string(next(5)));
            AppendElement(out, "", "time",
                          std::to_string(5 + next(12)) + "時" + std::to_string(next(60)) + "分");
            out += "</fish>";
        }
        out += "</report></FishData>";
    }
    out += "\r\n</CatchLog>\r\n";
    return out;
}

CGeneratedCatchFile GenerateCatchFile(int tripCount)
{
    std::string pattern =
        std::filesystem::temp_directory_path().string() + "/lurebook-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    CGeneratedCatchFile file{pattern + "/", pattern + "/fish.xml"};
    std::ofstream out(file.path, std::ios::binary);
    const std::string bytes = GenerateCatchFileBytes(tripCount);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.path);
    return file;
}

CGeneratedCatchFile StoreBenchTrips(const std::vector<CTripRecord>& trips)
{
    std::string pattern =
        std::filesystem::temp_directory_path().string() + "/lurebook-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    CGeneratedCatchFile file{pattern + "/", pattern + "/fish.xml"};
    WriteFileSafely(file.path,
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog>\r\n</CatchLog>\r\n");
    CCatchStore store(file.path);
    if (!store.AddTrips(trips).ok()) throw std::runtime_error("cannot store into " + file.path);
    return file;
}

void RemoveGeneratedCatchFile(const CGeneratedCatchFile& file)
{
    std::error_code ec;
    std::filesystem::remove_all(file.directory, ec);
}

namespace {
std::map<int, CGeneratedCatchFile>& SharedFiles()
{
    static std::map<int, CGeneratedCatchFile> files;
    return files;
}
}  // namespace

const CGeneratedCatchFile& SharedCatchFile(int tripCount)
{
    auto it = SharedFiles().find(tripCount);
    if (it == SharedFiles().end())
        it = SharedFiles().emplace(tripCount, GenerateCatchFile(tripCount)).first;
    return it->second;
}

void ReleaseSharedCatchFiles()
{
    for (const auto& [trips, file] : SharedFiles()) RemoveGeneratedCatchFile(file);
    SharedFiles().clear();
}

std::string ReadBenchFile(const std::string& path)
{
    // The program's own reader: what every store operation pays to read the file.
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

void RunBareParse(benchmark::State& state)
{
    const CGeneratedCatchFile& file = SharedCatchFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::string bytes = ReadBenchFile(file.path);
        benchmark::DoNotOptimize(CXMLDataFile::BareParse(bytes));
    }
    // The freed document of the largest file is given back here, outside any timing: otherwise
    // the next cold read (which trims the heap after a large parse) pays for returning it.
    malloc_trim(0);
}
