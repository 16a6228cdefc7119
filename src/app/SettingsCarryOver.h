#pragma once

#include <string>

// The window layout, the navigation bar and the last photo folder are kept in the desktop's
// configuration folder.  Older versions kept them under a folder named after the wizard that
// made the first Windows build; a user who updates should find the window as it was.

// The settings file of configDir (the desktop's configuration folder, $XDG_CONFIG_HOME or
// ~/.config), and the file older versions kept there.
std::string SettingsFileIn(const std::string& configDir);
std::string OldSettingsFileIn(const std::string& configDir);

enum class ESettingsCarryOver {
    NothingToDo,  // the new file is there already, or there never was an old one
    CarriedOver,  // the old file's bytes are now the new file
    Failed,       // the old file could not be read or the new one not written; see error
};

// Copies oldFile to newFile when newFile does not exist yet (anything at its place, even a
// dangling link, counts as existing), making newFile's folder as needed.  The old file is only
// read, never changed or removed, so an older version still finds its own.  Only a regular file
// of at most 1 MiB is copied; nothing is written from a read that failed.
ESettingsCarryOver CarryOverSettings(const std::string& oldFile, const std::string& newFile,
                                     std::string* error = nullptr);
