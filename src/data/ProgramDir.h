#pragma once

#include <string>

// The program directory: where the program file lives, ending in "/".  Every data path is this
// directory followed by a relative path such as "Data/fish.xml".  Returns false and leaves dir
// untouched when the program's own path cannot be found.  Asked afresh on every call.
bool GetModuleDir(std::string& dir);

// The one override of the program directory, set once at start-up (the --program-dir option) or
// by a test fixture.  An empty text removes it.  A missing trailing "/" is added.
void SetProgramDirOverride(const std::string& dir);
std::string GetProgramDirOverride();

// The program directory followed by relative; empty when the directory cannot be found.
std::string DataPath(const std::string& relative);

// Paths of the data files.
inline constexpr const char* kCatchFileName = "Data/fish.xml";
inline constexpr const char* kSpeciesFileName = "Data/fishname.txt";
inline constexpr const char* kPictureDirName = "Data/Picture/";
inline constexpr const char* kScheduleDirName = "Data/schedule";

// Looks for "--program-dir DIR" or "--program-dir=DIR" among the arguments and sets the
// override from it.  Returns false with a reason in error when the option lacks its value.
bool ApplyProgramDirOption(int argc, char** argv, std::string* error = nullptr);
