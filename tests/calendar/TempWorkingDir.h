#pragma once

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "support/TempProgramDir.h"

// Holiday lists live in the working directory: this makes a fresh temporary directory the
// working directory for the lifetime of the object and goes back afterwards.
class CTempWorkingDir {
public:
    CTempWorkingDir() : m_dir(MakeTempDir())
    {
        char previous[4096];
        if (::getcwd(previous, sizeof previous) == nullptr) throw std::runtime_error("getcwd");
        m_previous = previous;
        if (::chdir(m_dir.c_str()) != 0) throw std::runtime_error("chdir " + m_dir);
    }
    ~CTempWorkingDir()
    {
        if (::chdir(m_previous.c_str()) != 0) std::abort();
        RemoveTree(m_dir);
    }
    CTempWorkingDir(const CTempWorkingDir&) = delete;
    CTempWorkingDir& operator=(const CTempWorkingDir&) = delete;

    const std::string& Dir() const { return m_dir; }
    std::string Read(const std::string& name) const { return ReadFileBytes(m_dir + name); }
    void Write(const std::string& name, const std::string& bytes) const
    {
        WriteFileBytes(m_dir + name, bytes);
    }
    bool Exists(const std::string& name) const
    {
        return ::access((m_dir + name).c_str(), F_OK) == 0;
    }

private:
    std::string m_dir;
    std::string m_previous;
};

// Bytes from a hexadecimal text ("8cb3" -> "\x8c\xb3").
inline std::string BytesFromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}
