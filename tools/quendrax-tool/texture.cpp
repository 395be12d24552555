// quendrax-tool texture DATA_DIR NAME [--null]: mounts DATA_DIR as the game mounts its data
// folder (the folder itself, then its ZIP archives: "res.bar", "EffectLibrary.bar", "SFX.bar"
// first, any other ZIP after them by name, then the "EffectLibrary" folder), loads NAME through
// the texture manager of the OpenGL ES driver on a headless context, as the game does (or of the
// null driver with --null), and prints one record a line: name, size, format, levels, the CRC-32
// of the level-0 pixels and the file the texture came from.

#include "Tool.h"
#include "EngineOutput.h"

#include "engine/IDevice.h"
#include "engine/io/IFileSystem.h"
#include "engine/io/CZipReader.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/gl/CSurfacelessContext.h"
#include "engine/video/image/pixel_format.h"

#include <boost/intrusive_ptr.hpp>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace pravik;
using namespace pravik::video;
namespace fs = std::filesystem;

bool isZip(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char head[4] = {};
    if (!in.read(reinterpret_cast<char*>(head), 4))
        return false;
    return (uint32_t(head[0]) | uint32_t(head[1]) << 8 | uint32_t(head[2]) << 16 | uint32_t(head[3]) << 24) ==
           io::CZipReader::SIGNATURE;
}

// The ZIP archives of the folder in mounting order: the game's three first, the rest by name.
std::vector<std::string> zipArchives(const fs::path& dir)
{
    static const char* const kGameOrder[] = {"res.bar", "EffectLibrary.bar", "SFX.bar"};
    std::vector<std::string> names, rest;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file(ec) && isZip(entry.path()))
            rest.push_back(entry.path().filename().string());
    std::sort(rest.begin(), rest.end());
    for (const char* name : kGameOrder) {
        auto it = std::find(rest.begin(), rest.end(), name);
        if (it != rest.end()) {
            names.push_back(*it);
            rest.erase(it);
        }
    }
    names.insert(names.end(), rest.begin(), rest.end());
    return names;
}

// Everything the engine does happens here, while its progress output is silenced.
int load(std::span<char* const> args, std::string& out)
{
    const bool null = args.size() == 3 && std::string(args[2]) == "--null";
    if (args.size() != 2 && !null)
        return tool::fail("texture", "usage: texture DATA_DIR NAME [--null]");
    std::error_code ec;
    const fs::path dir = fs::absolute(args[0], ec);
    if (ec || !fs::is_directory(dir, ec))
        return tool::fail("texture", std::string(args[0]) + ": not a folder");

    tool::FirstEngineError errors;
    tool::QuietStdout quiet;  // failures go to standard error, which stays open
    // The context outlives the device, whose driver releases its GL objects in it.
    std::optional<CSurfacelessContext> context;
    SCreationParameters parameters;
    parameters.DriverType = EDT_NULL;
    if (!null) {
        context.emplace();
        if (!context->ok())
            return tool::fail("texture", "no headless OpenGL ES context (try --null)");
        parameters.DriverType = EDT_OGLES1;
    }
    const boost::intrusive_ptr<IDevice> device(createDeviceEx(parameters), false);
    if (!device)
        return tool::fail("texture", "the engine cannot be created");
    io::IFileSystem* fileSystem = device->getFileSystem().get();
    const std::string base = dir.string() + "/";
    fileSystem->changeWorkingDirectoryTo(base.c_str());
    fileSystem->addFolderFileArchive(base.c_str(), true, false);
    for (const std::string& zip : zipArchives(dir))
        fileSystem->addZipFileArchive(zip.c_str(), true, false, 1);
    if (fs::is_directory(dir / "EffectLibrary", ec))
        fileSystem->addFolderFileArchive("EffectLibrary", true, true);

    IVideoDriver* driver = device->getVideoDriver();
    CTextureManager* manager = driver->getTextureManager();
    if (!manager)
        return tool::fail("texture", "the driver has no texture manager");
    driver->setOption(pravik::video::EVDO_MIPMAPS, false);  // the game makes its textures without mip levels
    // The pixels stay readable after the upload, for the checksum (GL ES cannot read them back).
    manager->setFlags(ETMF_KEEP_TEXTURE_DATA, true);

    const boost::intrusive_ptr<ITexture> found = manager->getTexture(args[1]);
    if (!found)
        return tool::fail("texture", std::string(args[1]) + ": " +
                                         (errors.text().empty() ? "cannot be loaded" : errors.text()));
    const unsigned short id = found->getId();
    const char* source = id != 0xffff ? manager->getRegistry().getProperties(id).sourceFileName.c_str() : "";
    const unsigned* levels = found->getLevelTable();
    const auto* pixels = static_cast<const unsigned char*>(found->getClientPointer(0, 0));
    char line[256];
    out += "name\t" + std::string(found->getName().c_str()) + "\n";
    std::snprintf(line, sizeof line, "size\t%dx%d\n", found->getWidth(), found->getHeight());
    out += line;
    out += std::string("format\t") + pixel_format::getName(found->getPixelFormat()) + "\n";
    std::snprintf(line, sizeof line, "levels\t%u\n", unsigned(found->getMipmapCount()));
    out += line;
    if (pixels) {
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), pixels, uInt(levels[1] - levels[0]));
        std::snprintf(line, sizeof line, "checksum\tcrc32:%08lx\n", crc);
        out += line;
    } else {
        out += "checksum\tnone\n";
    }
    out += std::string("source\t") + source + "\n";
    return 0;
}

int texture(std::span<char* const> args)
{
    std::string out;
    const int status = load(args, out);
    if (status == 0)
        std::fwrite(out.data(), 1, out.size(), stdout);
    return status;
}

const tool::ToolCommand textureCommand("texture", "DATA_DIR NAME [--null]", texture);

}  // namespace
