// A fresh temporary working directory for one test: created and entered on
// construction, left and removed (with its contents) on destruction.
#ifndef TESTS_SUPPORT_TEMP_DIR_H
#define TESTS_SUPPORT_TEMP_DIR_H

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();

    const std::string& Path() const { return m_Path; }
    // Links every top-level entry of directory (an asset tree) into this one.
    void LinkContentsOf(const char* directory) const;
    // Reads a file of the directory whole; empty when it is missing.
    std::string ReadFile(const char* name) const;

private:
    std::string m_Path;
    std::string m_PreviousDir;

    TempDir(const TempDir&);
    TempDir& operator=(const TempDir&);
};

#endif
