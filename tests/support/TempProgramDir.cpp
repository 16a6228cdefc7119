#include "support/TempProgramDir.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

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
        if (it->is_directory(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
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

CTempProgramDir::CTempProgramDir() : m_dir(MakeTempDir()), m_folder(m_dir)
{
    const fs::path initial = fs::path(LUREBOOK_SOURCE_DIR) / "assets" / "Data";
    fs::copy(initial, fs::path(m_dir) / "Data", fs::copy_options::recursive);
    for (const char* keep : {"Data/Picture/.keep", "Data/schedule/.keep"}) fs::remove(m_dir + keep);
}

CTempProgramDir::~CTempProgramDir()
{
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

namespace {
bool SetImmutable(const std::string& path, bool on)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}
}  // namespace

CReadOnlyFolder::CReadOnlyFolder(std::string path) : m_path(std::move(path))
{
    ::chmod(m_path.c_str(), 0555);
    if (::geteuid() == 0) m_immutable = SetImmutable(m_path, true);
    const std::string probe = m_path + "/.probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd >= 0) {
        ::close(fd);
        ::unlink(probe.c_str());
    }
    m_effective = fd < 0;
}

CReadOnlyFolder::~CReadOnlyFolder()
{
    if (m_immutable) SetImmutable(m_path, false);
    ::chmod(m_path.c_str(), 0755);
}
