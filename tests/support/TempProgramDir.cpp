#include "support/TempProgramDir.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "data/ProgramDir.h"

namespace fs = std::filesystem;

std::string MakeTempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/lurebook-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern + "/";
}

void RemoveTree(const std::string& path)
{
    std::error_code ec;
    // Tests may leave read-only folders behind; make them writable so they can go.
    for (auto it = fs::recursive_directory_iterator(path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

CTempProgramDir::CTempProgramDir() : m_dir(MakeTempDir()), m_previousOverride(GetProgramDirOverride())
{
    const fs::path initial = fs::path(LUREBOOK_SOURCE_DIR) / "assets" / "Data";
    fs::copy(initial, fs::path(m_dir) / "Data", fs::copy_options::recursive);
    for (const char* keep : {"Data/Picture/.keep", "Data/schedule/.keep"}) fs::remove(m_dir + keep);
    SetProgramDirOverride(m_dir);
}

CTempProgramDir::~CTempProgramDir()
{
    SetProgramDirOverride(m_previousOverride);
    RemoveTree(m_dir);
}

void CTempProgramDir::WriteFile(const std::string& relative, const std::string& bytes) const
{
    WriteFileBytes(Path(relative), bytes);
}

std::string CTempProgramDir::ReadFile(const std::string& relative) const
{
    return ReadFileBytes(Path(relative));
}

bool CTempProgramDir::Exists(const std::string& relative) const
{
    return fs::exists(Path(relative));
}
