#include "data/ProgramDir.h"

#include <limits.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

namespace {
std::mutex g_overrideMutex;
std::string g_override;

std::string WithTrailingSlash(std::string dir)
{
    if (!dir.empty() && dir.front() != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) != nullptr) dir = std::string(cwd) + "/" + dir;
    }
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}
}  // namespace

void SetProgramDirOverride(const std::string& dir)
{
    std::lock_guard lock(g_overrideMutex);
    g_override = WithTrailingSlash(dir);
}

std::string GetProgramDirOverride()
{
    std::lock_guard lock(g_overrideMutex);
    return g_override;
}

bool GetModuleDir(std::string& dir)
{
    std::string overridden = GetProgramDirOverride();
    if (!overridden.empty()) {
        dir = overridden;
        return true;
    }
    char buffer[PATH_MAX + 1];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, PATH_MAX);
    if (length <= 0) return false;
    std::string path(buffer, static_cast<size_t>(length));
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return false;
    dir = path.substr(0, slash + 1);
    return true;
}

std::string DataPath(const std::string& relative)
{
    std::string dir;
    if (!GetModuleDir(dir)) return {};
    return dir + relative;
}

bool ApplyProgramDirOption(int argc, char** argv, std::string* error)
{
    static const char kOption[] = "--program-dir";
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, kOption) == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                if (error) *error = "--program-dir needs a directory";
                return false;
            }
            SetProgramDirOverride(argv[i + 1]);
            return true;
        }
        if (std::strncmp(arg, kOption, sizeof kOption - 1) == 0 && arg[sizeof kOption - 1] == '=') {
            const char* value = arg + sizeof kOption;
            if (*value == '\0') {
                if (error) *error = "--program-dir needs a directory";
                return false;
            }
            SetProgramDirOverride(value);
            return true;
        }
    }
    return true;
}
