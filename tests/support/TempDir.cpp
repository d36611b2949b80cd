#include "tests/support/TempDir.h"

#include <climits>
#include <dirent.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include <gtest/gtest.h>

TempDir::TempDir()
{
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) != NULL) {
        m_PreviousDir = cwd;
    }
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base != NULL ? base : "/tmp") + "/vellmora-test.XXXXXX";
    char buffer[PATH_MAX];
    snprintf(buffer, sizeof buffer, "%s", pattern.c_str());
    if (mkdtemp(buffer) == NULL || chdir(buffer) != 0) {
        ADD_FAILURE() << "cannot create or enter a temporary directory from " << pattern;
        return;
    }
    m_Path = buffer;
}

TempDir::~TempDir()
{
    if (!m_PreviousDir.empty() && chdir(m_PreviousDir.c_str()) != 0) {
        ADD_FAILURE() << "cannot return to " << m_PreviousDir;
    }
    if (!m_Path.empty()) {
        std::string command = "chmod -R u+rwx '" + m_Path + "' && rm -rf '" + m_Path + "'";
        if (system(command.c_str()) != 0) {
            ADD_FAILURE() << "cannot remove " << m_Path;
        }
    }
}

std::string TempDir::ReadFile(const char* name) const
{
    std::ifstream in(m_Path + "/" + name, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void TempDir::LinkContentsOf(const char* directory) const
{
    DIR* dir = opendir(directory);
    if (dir == NULL) {
        ADD_FAILURE() << "cannot read " << directory;
        return;
    }
    for (struct dirent* entry = readdir(dir); entry != NULL; entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == ".." || name == "vellmora.log") {
            continue;
        }
        std::string target = std::string(directory) + "/" + name;
        if (symlink(target.c_str(), (m_Path + "/" + name).c_str()) != 0) {
            ADD_FAILURE() << "cannot link " << target;
        }
    }
    closedir(dir);
}
