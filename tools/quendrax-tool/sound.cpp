// sound-ls ARCHIVE: the members of a sound archive as the audio engine sees them (case ignored,
// paths kept, as the game opens "3.bar"): one line a member, "NAME<TAB>OFFSET<TAB>SIZE<TAB>STATE",
// where STATE is "stored" for members the engine serves and "method-N" for those it reports absent.

#include <cstdio>
#include <filesystem>

#include "Tool.h"
#include "audio/CZipReader.h"
#include "audio/FileSystemInterface.h"

namespace {

int soundLs(std::span<char* const> args) {
    if (args.size() != 1) return tool::fail("sound-ls", "usage: sound-ls ARCHIVE");
    const char* path = args[0];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return tool::fail("sound-ls", std::string(path) + ": no such file");
    int status = 0;
    {
        kez::CZipReader reader(path, true, false);
        if (!reader.isValid()) {
            status = tool::fail("sound-ls", std::string(path) + ": not a sound archive");
        } else {
            for (const auto& [key, e] : reader.Members()) {
                const int method = e.header.CompressionMethod;
                std::printf("%s\t%d\t%u\t%s\n", key.c_str(), e.fileDataPosition,
                            unsigned(e.header.DataDescriptorUncompressedSize),
                            method == 0 ? "stored" : ("method-" + std::to_string(method)).c_str());
            }
        }
    }
    kez::FileSystemInterface::DestroyInstance();
    return status;
}

tool::ToolCommand g_soundLs("sound-ls", "ARCHIVE", soundLs);

}  // namespace
