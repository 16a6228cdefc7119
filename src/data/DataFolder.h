#pragma once

#include <string>
#include <string_view>
#include <vector>

// Paths of the files and folders the program keeps, relative to the program directory.
inline constexpr const char* kDataDirName = "Data/";
inline constexpr const char* kCatchFileName = "Data/fish.xml";
inline constexpr const char* kSpeciesFileName = "Data/fishname.txt";
inline constexpr const char* kPictureDirName = "Data/Picture/";
inline constexpr const char* kScheduleDirName = "Data/schedule";
// The home tide port and the port chosen for each place (tides/TidePortChoices.h): the older
// side file, read once when the places file does not exist yet.
inline constexpr const char* kTidePortsFileName = "Data/tideports.txt";
// Each place's position and tide port, and the home port (places/PlaceBook.h).
inline constexpr const char* kPlacesFileName = "Data/places.txt";
// The dated copies of the log (data/CatchHistory.h), and inside them the photo copies an undo
// set aside, relative to the Data folder.
inline constexpr const char* kHistoryDirInData = "history/";
inline constexpr const char* kUndoneDirInData = "history/.undone/";
// The lock that keeps a second copy of the program off the folder (app/InstanceLock.h).
inline constexpr const char* kInstanceLockFileName = "Data/.lurebook.lock";

// The program directory, whose Data/ folder holds everything the program keeps, and the path of
// each of those files and folders.  Made once at start (from --program-dir or the folder of the
// program file) and handed to every page, dialog and command-line mode that reads or writes
// there.  A folder that is not known (the program's own path could not be found) gives an empty
// path for everything.
class CDataFolder {
public:
    // A folder that is not known.
    CDataFolder() = default;
    // programDir, a relative one counted from the current directory; a missing trailing "/" is
    // added.  An empty text gives a folder that is not known.
    explicit CDataFolder(const std::string& programDir);

    // The folder of the running program file, whatever the working directory; not known when
    // the program's own path cannot be found.
    static CDataFolder OfRunningProgram();

    bool IsKnown() const { return !m_programDir.empty(); }
    // The program directory, ending in "/" (empty when not known).
    const std::string& GetProgramDir() const { return m_programDir; }
    // The program directory followed by relative; empty when the folder is not known.
    std::string Path(std::string_view relative) const;

    std::string GetDataDir() const { return Path(kDataDirName); }  // ends in "/"
    std::string GetCatchFile() const { return Path(kCatchFileName); }
    std::string GetSpeciesFile() const { return Path(kSpeciesFileName); }
    std::string GetPictureDir() const { return Path(kPictureDirName); }  // ends in "/"
    std::string GetScheduleDir() const { return Path(kScheduleDirName); }
    std::string GetTidePortsFile() const { return Path(kTidePortsFileName); }
    std::string GetPlacesFile() const { return Path(kPlacesFileName); }
    std::string GetHistoryDir() const { return InData(kHistoryDirInData); }  // ends in "/"
    std::string GetUndoneDir() const { return InData(kUndoneDirInData); }    // ends in "/"
    std::string GetLockFile() const { return Path(kInstanceLockFileName); }

    // Every file and folder the program keeps under the program directory, relative to it (a
    // folder ends in "/"; a name made per occasion ends where its variable part begins).  The
    // manual page names each of them.
    static std::vector<std::string> KeptPaths();

private:
    std::string InData(std::string_view relative) const
    {
        return Path(std::string(kDataDirName).append(relative));
    }

    std::string m_programDir;
};
