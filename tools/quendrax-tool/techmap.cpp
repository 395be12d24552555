// quendrax-tool techmap MAP.xml BDAE...: builds every effect of the scene files with the null
// driver, loads the technique map file over their renderers and prints the tables, one entry a
// line: map, group, renderer, technique, the technique it stands for. Declared pairs only.
// A file that cannot be read, or any error the loader reports, exits non-zero with its reason.

#include "Tool.h"
#include "EngineOutput.h"

#include "engine/IDevice.h"
#include "engine/collada/CColladaDatabase.h"
#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/CMaterialRendererManager.h"

#include <boost/intrusive_ptr.hpp>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace {

using namespace pravik;
namespace fs = std::filesystem;

std::string table(const video::CMaterialRendererManager& m)
{
    std::string out;
    const unsigned groups = m.getNameCount(video::CMaterialRendererManager::EMG_GROUP);
    for (unsigned map = 0; map < m.getNameCount(video::CMaterialRendererManager::EMG_MAP); ++map) {
        const unsigned char* const* row = m.getTechniqueMapRow(map);
        for (unsigned g = 0; row && g < groups; ++g) {
            if (!row[g]) continue;
            for (auto it = m.idBegin(); it != m.idEnd(); ++it) {
                const auto& renderer = m.get(it->second.id);
                const int base = it->second.properties.techniqueMapBase;
                if (!renderer || base < 0) continue;
                for (unsigned char t = 0; t < renderer->getTechniqueCount(); ++t) {
                    const unsigned char to = row[g][size_t(base) + t];
                    out += std::string(m.getMapGroupName(0, map)) + "\t" + m.getMapGroupName(1, g) + "\t" +
                           renderer->getName() + "\t" + renderer->getTechnique(t).name.c_str() + "\t" +
                           (to < renderer->getTechniqueCount() ? renderer->getTechnique(to).name.c_str() : "?") + "\n";
                }
            }
        }
    }
    return out;
}

int techmap(std::span<char* const> args)
{
    if (args.size() < 2) return tool::fail("techmap", "usage: techmap MAP.xml BDAE...");
    std::error_code ec;
    std::vector<std::string> files;
    for (char* a : args) {
        if (!fs::is_regular_file(a, ec)) return tool::fail("techmap", std::string(a) + ": no such file");
        files.push_back(fs::absolute(a, ec).string());
    }

    std::string out;
    {
        tool::QuietStdout quiet;
        // The null driver's shaders have nothing to bind: what building effects reports is
        // not the map's fault, so the map's errors are gathered on their own below.
        std::optional<tool::FirstEngineError> building(std::in_place);
        SCreationParameters parameters;
        parameters.DriverType = video::EDT_NULL;
        const boost::intrusive_ptr<IDevice> device(createDeviceEx(parameters), false);
        video::IVideoDriver* driver = device ? device->getVideoDriver() : nullptr;
        if (!driver || !driver->getMaterialRendererManager()) return tool::fail("techmap", "the engine cannot be created");
        for (size_t i = 1; i < files.size(); ++i) {
            collada::CColladaDatabase db(files[i].c_str());
            if (!db.isValid()) return tool::fail("techmap", files[i] + ": not a scene file");
            for (int e = 0; db.getEffect(e); ++e) db.constructEffect(driver, e, nullptr);
        }
        building.reset();
        tool::FirstEngineError errors;
        io::IReadFile* file = device->getFileSystem()->createAndOpenFile(files[0].c_str());
        if (!file) return tool::fail("techmap", files[0] + ": cannot be opened");
        const bool loaded = driver->getMaterialRendererManager()->loadMaterialTechniqueMaps(file);
        file->drop();
        if (!errors.text().empty()) return tool::fail("techmap", errors.text());
        if (!loaded) return tool::fail("techmap", files[0] + ": not a technique map file");
        out = table(*driver->getMaterialRendererManager());
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

const tool::ToolCommand techmapCommand("techmap", "MAP.xml BDAE...", techmap);

}  // namespace
