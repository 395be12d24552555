// `sound-cache DATA SAVE`: runs the eleven sound-cache steps with DATA as the application data
// folder (holding "3.bar" and the loose music) and SAVE as the save folder, and prints one sound
// a line: id, cache file name, kept/written/rebuilt/failed.

#include <cstdio>
#include <string>

#include "Tool.h"
#include "audio/FileSystemInterface.h"
#include "framework/AppPlaybook.h"
#include "framework/CKezManager.h"

namespace {

int runSoundCache(std::span<char* const> args)
{
    if (args.size() != 2)
        return tool::fail("sound-cache", "usage: sound-cache DATA SAVE");
    std::string data = args[0], save = args[1];
    if (data.empty() || data.back() != '/')
        data += '/';
    if (save.empty() || save.back() != '/')
        save += '/';
    if (data.size() >= APP_PATH_SIZE || save.size() >= APP_PATH_SIZE)
        return tool::fail("sound-cache", "folder names are too long");
    std::snprintf(g_appPath, APP_PATH_SIZE, "%s", data.c_str());
    std::snprintf(m_gSavPath, APP_PATH_SIZE, "%s", save.c_str());
    if (!CKezManager::MountSoundFolders())
        return tool::fail("sound-cache", data + "3.bar is not a sound archive");
    static const char* const kResults[] = {"kept", "written", "rebuilt", "failed"};
    int failed = 0;
    for (int step = 0; step <= 10; ++step)
        for (const auto& r : CKezManager::RunCacheStep(step)) {
            std::printf("%d %s %s\n", r.id, r.name.c_str(), kResults[r.result]);
            failed += r.result == CKezManager::CACHE_FAILED;
        }
    kez::FileSystemInterface::DestroyInstance();
    (void)failed;
    return 0;
}

tool::ToolCommand soundCacheCommand("sound-cache", "DATA SAVE", runSoundCache);

}  // namespace
