#include "data/DataFolder.h"

#include <limits.h>
#include <unistd.h>

CDataFolder::CDataFolder(const std::string& programDir) : m_programDir(programDir)
{
    if (!m_programDir.empty() && m_programDir.front() != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) != nullptr)
            m_programDir = std::string(cwd) + "/" + m_programDir;
    }
    if (!m_programDir.empty() && m_programDir.back() != '/') m_programDir += '/';
}

CDataFolder CDataFolder::OfRunningProgram()
{
    char buffer[PATH_MAX + 1];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, PATH_MAX);
    if (length <= 0) return {};
    const std::string path(buffer, static_cast<size_t>(length));
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return CDataFolder(path.substr(0, slash + 1));
}

std::string CDataFolder::Path(std::string_view relative) const
{
    if (m_programDir.empty()) return {};
    return m_programDir + std::string(relative);
}

std::vector<std::string> CDataFolder::KeptPaths()
{
    const std::string data = kDataDirName;
    const std::string catchFile = kCatchFileName;
    return {catchFile,
            catchFile + ".bak",      // data/CatchStore.cpp, before each save
            catchFile + ".broken-",  // data/CatchBackup.h, when the backup is put back
            kSpeciesFileName,
            kPictureDirName,
            std::string(kScheduleDirName) + "/",
            kTidePortsFileName,
            kPlacesFileName,
            data + kHistoryDirInData,
            data + kUndoneDirInData,
            kInstanceLockFileName};
}
