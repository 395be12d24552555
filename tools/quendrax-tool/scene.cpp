// quendrax-tool scene FILE.xml [--camera X,Y,Z:TX,TY,TZ] [--save OUT.xml]: loads an XML scene
// through the scene manager of a null-driver engine, optionally looks at it through a camera
// (one frame is drawn so that culling is decided), optionally saves it again, and prints one
// node a line in pre-order: depth, type, name, id, position, world box and "culled" or "shown".

#include "Tool.h"
#include "EngineOutput.h"

#include "engine/IDevice.h"
#include "engine/io/IFileSystem.h"
#include "engine/scene/CCameraSceneNode.h"
#include "engine/scene/CSceneManager.h"

#include <boost/intrusive_ptr.hpp>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace pravik;
namespace fs = std::filesystem;

bool parseVector(const std::string& text, core::vector3d<float>& v)
{
    char tail = 0;
    return std::sscanf(text.c_str(), "%f,%f,%f%c", &v.X, &v.Y, &v.Z, &tail) == 3;
}

std::string typeName(scene::CSceneManager& manager, const scene::ISceneNode& node)
{
    if (const char* name = manager.getSceneNodeTypeName(node.getType())) return name;
    const unsigned t = node.getType();
    return {char(t & 0xff), char(t >> 8 & 0xff), char(t >> 16 & 0xff), char(t >> 24)};
}

void list(scene::CSceneManager& manager, scene::ISceneNode* node, int depth, std::string& out)
{
    const core::vector3d<float> p = node->getAbsolutePosition();
    const core::aabbox3d<float>& b = node->getTransformedBoundingBox();
    char line[512];
    std::snprintf(line, sizeof line, "%d\t%s\t%s\t%d\t%g,%g,%g\t%g,%g,%g:%g,%g,%g\t%s\n", depth,
                  typeName(manager, *node).c_str(), node->getName(), node->getID(), p.X, p.Y, p.Z, b.MinEdge.X,
                  b.MinEdge.Y, b.MinEdge.Z, b.MaxEdge.X, b.MaxEdge.Y, b.MaxEdge.Z,
                  manager.isCulled(node) ? "culled" : "shown");
    out += line;
    for (scene::ISceneNode* child : node->getChildren()) list(manager, child, depth + 1, out);
}

int run(std::span<char* const> args, std::string& out)
{
    const char* kUsage = "usage: scene FILE.xml [--camera X,Y,Z:TX,TY,TZ] [--save OUT.xml]";
    if (args.empty()) return tool::fail("scene", kUsage);
    std::string file = args[0], camera, save;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string a = args[i];
        if (a == "--camera" && i + 1 < args.size()) camera = args[++i];
        else if (a == "--save" && i + 1 < args.size()) save = args[++i];
        else return tool::fail("scene", kUsage);
    }
    core::vector3d<float> eye, target;
    if (!camera.empty()) {
        const size_t colon = camera.find(':');
        if (colon == std::string::npos || !parseVector(camera.substr(0, colon), eye) ||
            !parseVector(camera.substr(colon + 1), target))
            return tool::fail("scene", "--camera wants X,Y,Z:TX,TY,TZ");
    }
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return tool::fail("scene", file + ": no such file");
    file = fs::absolute(file, ec).string();

    tool::FirstEngineError errors;
    tool::QuietStdout quiet;
    SCreationParameters parameters;
    parameters.DriverType = video::EDT_NULL;
    const boost::intrusive_ptr<IDevice> device(createDeviceEx(parameters), false);
    scene::CSceneManager* manager = device ? device->getSceneManager() : nullptr;
    if (!manager) return tool::fail("scene", "the engine cannot be created");
    if (!manager->loadScene(file.c_str()))
        return tool::fail("scene", file + ": " + (errors.text().empty() ? "not a scene file" : errors.text()));
    if (!camera.empty()) {
        auto* node = static_cast<scene::CCameraSceneNode*>(manager->addSceneNode("camera"));
        node->setPosition(eye);
        node->setTarget(target);
    }
    manager->update(0);
    manager->drawAll();
    if (!save.empty() && !manager->saveScene(fs::absolute(save, ec).string().c_str()))
        return tool::fail("scene", save + ": cannot be written");
    list(*manager, manager->getRootSceneNode(), 0, out);
    return 0;
}

int scene(std::span<char* const> args)
{
    std::string out;
    const int status = run(args, out);
    if (status == 0) std::fwrite(out.data(), 1, out.size(), stdout);
    return status;
}

const tool::ToolCommand sceneCommand("scene", "FILE.xml [--camera X,Y,Z:TX,TY,TZ] [--save OUT.xml]", scene);

}  // namespace
