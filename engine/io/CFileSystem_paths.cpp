// Working directory and path operations of the file system.
#include "engine/io/CFileSystem.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace pravik::io {

const char* CFileSystem::getWorkingDirectory()
{
    std::printf("\nWorking Directory = %s", WorkingDirectory);
    std::fflush(stdout);
    return WorkingDirectory;
}

bool CFileSystem::changeWorkingDirectoryTo(const char* dir)
{
    std::printf("\nchangeWorkingDirectoryTo = %s", dir ? dir : "");
    std::fflush(stdout);
    // The stored copy holds 1023 characters; a longer name would be cut and lie.
    if (!dir || std::strlen(dir) >= sizeof WorkingDirectory || chdir(dir) != 0)
        return false;
    std::strcpy(WorkingDirectory, dir);
    return true;
}

core::stringc CFileSystem::getAbsolutePath(const core::stringc& path) const
{
    core::stringc result;
    if (!path.empty() && path[0] == '/') {
        result = path;
    } else {
        // Before any change of directory, relative names resolve against the process's own.
        char cwd[sizeof WorkingDirectory];
        const char* base = WorkingDirectory;
        if (!*base)
            base = getcwd(cwd, sizeof cwd) ? cwd : "";
        result = base;
        if (result.empty() || result.back() != '/')
            result += '/';
        result += path;
    }
    std::printf("\nGetAbsolute PATH = %s", result.c_str());
    std::fflush(stdout);
    return result;
}

core::stringc CFileSystem::getFileDir(const core::stringc& path) const
{
    const size_t last = path.find_last_of("/\\");
    if (last == core::stringc::npos)
        return ".";
    return path.substr(0, last);
}

core::stringc CFileSystem::getFileBasename(const core::stringc& path, bool keepExtension) const
{
    const size_t last = path.find_last_of("/\\");
    const size_t start = last == core::stringc::npos ? 0 : last + 1;
    size_t end = path.size();
    if (!keepExtension) {
        const size_t dot = path.rfind('.');
        if (dot != core::stringc::npos && dot >= start)
            end = dot;
    }
    return path.substr(start, end - start);
}

}  // namespace pravik::io
