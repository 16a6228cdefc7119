#pragma once

#include <string>

#include "data/DataFolder.h"

// A temporary program directory with its own Data/ folder (the initial catch file, species list,
// Picture/ and schedule/), and the folder object the program would make of it, to be handed to
// what is tested.  Removed with everything in it afterwards.
class CTempProgramDir {
public:
    CTempProgramDir();
    ~CTempProgramDir();
    CTempProgramDir(const CTempProgramDir&) = delete;
    CTempProgramDir& operator=(const CTempProgramDir&) = delete;

    // The directory, ending in "/".
    const std::string& Dir() const { return m_dir; }
    // Dir() + relative.
    std::string Path(const std::string& relative) const { return m_dir + relative; }

    // Writes bytes to Dir() + relative, making folders as needed.
    void WriteFile(const std::string& relative, const std::string& bytes) const;
    // The bytes of Dir() + relative; empty when it cannot be read.
    std::string ReadFile(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    // The folder object of the directory, as the program builds it at start.
    const CDataFolder& Folder() const { return m_folder; }
    // The catch file of the directory (Data/fish.xml), as the program hands it to its store.
    std::string CatchFile() const { return m_folder.GetCatchFile(); }

private:
    std::string m_dir;
    CDataFolder m_folder;
};

// Bytes of an arbitrary file (empty when unreadable) and writing one.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// A fresh temporary directory (ending in "/") removed by RemoveTree.
std::string MakeTempDir();
void RemoveTree(const std::string& path);

// Makes a folder read-only for its lifetime, also for root (which ignores permission bits): then
// the folder is marked immutable where the file system allows it.  Effective() tells whether
// writing into the folder now really fails; tests skip when it cannot be arranged.
class CReadOnlyFolder {
public:
    explicit CReadOnlyFolder(std::string path);
    ~CReadOnlyFolder();
    CReadOnlyFolder(const CReadOnlyFolder&) = delete;
    CReadOnlyFolder& operator=(const CReadOnlyFolder&) = delete;
    bool Effective() const { return m_effective; }

private:
    std::string m_path;
    bool m_immutable = false;
    bool m_effective = false;
};
