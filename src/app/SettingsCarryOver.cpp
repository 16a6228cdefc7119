#include "app/SettingsCarryOver.h"

#include <errno.h>
#include <sys/stat.h>

#include "data/GuardedFile.h"
#include "data/SafeFile.h"

namespace {

std::string WithSlash(const std::string& dir)
{
    if (dir.empty() || dir.back() == '/') return dir;
    return dir + '/';
}

// Makes dir and the folders above it, private to the user as a configuration folder should be.
bool MakeFolders(const std::string& dir, std::string* error)
{
    for (size_t slash = dir.find('/', 1); slash != std::string::npos;
         slash = dir.find('/', slash + 1)) {
        const std::string part = dir.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            if (error) *error = part + ": " + SystemErrorText(errno);
            return false;
        }
    }
    return true;
}

}  // namespace

std::string SettingsFileIn(const std::string& configDir)
{
    return WithSlash(configDir) + "lurebook/lurebook.conf";
}

std::string OldSettingsFileIn(const std::string& configDir)
{
    return WithSlash(configDir) + "Local AppWizard-Generated Applications/Lurebook.conf";
}

ESettingsCarryOver CarryOverSettings(const std::string& oldFile, const std::string& newFile,
                                     std::string* error)
{
    struct stat st;
    if (::lstat(newFile.c_str(), &st) == 0) return ESettingsCarryOver::NothingToDo;
    std::string bytes;
    switch (ReadFileGuarded(oldFile, kMaxProfileFileBytes, bytes, error)) {
        case EFileRead::Ok:
            break;
        case EFileRead::Missing:
            return ESettingsCarryOver::NothingToDo;
        default:
            return ESettingsCarryOver::Failed;
    }
    const size_t slash = newFile.rfind('/');
    if (slash != std::string::npos && !MakeFolders(newFile.substr(0, slash + 1), error)) {
        return ESettingsCarryOver::Failed;
    }
    return WriteFileSafely(newFile, bytes, error) ? ESettingsCarryOver::CarriedOver
                                                  : ESettingsCarryOver::Failed;
}
