// quendrax-tool bdae FILE: loads a scene file through the engine's scene-file manager and
// prints its header, its content version, then its records one a line: the library, the
// index, the id and the key fields; the visual scenes' node trees follow in pre-order with
// their depth. A refused file exits non-zero with the check it failed.
// quendrax-tool bdae FILE --renderers: builds every effect with the null driver and prints
// each built renderer on a line: its name, its technique count, then per technique its name,
// its pass count and each pass's render-state words 0 and 1.

#include "Tool.h"
#include "EngineOutput.h"

#include "engine/IDevice.h"
#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CResFile.h"
#include "engine/collada/CResFileManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/CMaterialRenderer.h"

#include <boost/intrusive_ptr.hpp>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unordered_set>

namespace {

using namespace pravik;
using namespace pravik::collada;
namespace fs = std::filesystem;

class Printer {
public:
    explicit Printer(const CResFile& file) : m_file(file) {}

    template <class... Args>
    void line(const char* format, Args... args)
    {
        char text[1024];
        std::snprintf(text, sizeof text, format, args...);
        m_out += text;
        m_out += '\n';
    }
    const char* s(res::String v) const { return m_file.cstr(v); }
    const std::string& text() const { return m_out; }

    void nodes(std::span<SNode> list, int depth, std::unordered_set<const SNode*>& seen)
    {
        if (depth >= CColladaDatabase::kMaxNodeDepth) return;  // as deep as the engine walks
        for (SNode& n : list) {
            if (!seen.insert(&n).second) continue;
            std::string instances;
            for (const SInstanceEntry& e : m_file.get(n.instances)) {
                const auto* instance = m_file.as<SInstanceUrl>(e.record);
                instances += (instances.empty() ? "" : ",") + std::to_string(e.kind) + ":" +
                             (instance ? m_file.cstr(instance->url) : "?");
            }
            line("node\t%d\t%s\t%s\tpos %g,%g,%g\tscale %g,%g,%g\tvisible %u\tinstances %s%s", depth, s(n.id),
                 s(n.name), n.position[0], n.position[1], n.position[2], n.scale[0], n.scale[1], n.scale[2],
                 n.visible, instances.empty() ? "-" : instances.c_str(), n.billboard ? "\tbillboard" : "");
            nodes(m_file.get(n.children), depth + 1, seen);
        }
    }

private:
    const CResFile& m_file;
    std::string m_out;
};

void records(const CResFile& file, Printer& p)
{
    const res::File& image = file.getFile();
    p.line("header\tflags 0x%04x\tsize %u\trelocations %u\tbase 0x%08x\tstreamed %u\tsegments %u\ttrailing %u",
           image.flags(), image.fileSize(), image.relocationCount(), image.base(), image.streamedSize(),
           image.segmentCount(), image.trailingSize());
    for (uint32_t i = 0; i < image.segmentCount(); ++i)
        p.line("segment\t%u\toffset %u\tsize %u\tclass 0x%08x", i, image.segmentFileOffset(i), image.segmentSize(i),
               image.segmentClassMask(i));
    SCollada* root = file.getRoot();
    if (!root) return;
    p.line("version\t%s", p.s(root->version));
    p.line("root\tup axis %u\tanimations %g..%g", root->upAxis, root->animationStart, root->animationEnd);
    int i = 0;
    for (SAnimation& a : file.get(root->animations)) {
        const SChannel* c = file.get(a.channel);
        p.line("animation\t%d\t%s\ttarget %s\ttype %u", i++, p.s(a.id), c ? p.s(c->target) : "-", c ? c->type : 0u);
    }
    i = 0;
    for (SAnimationClip& c : file.get(root->clips)) p.line("clip\t%d\t%s\t%d..%d", i++, p.s(c.id), c.start, c.end);
    i = 0;
    for (SCamera& c : file.get(root->cameras)) p.line("camera\t%d\t%s\ttarget %s", i++, p.s(c.id), p.s(c.target));
    i = 0;
    for (SLight& l : file.get(root->lights)) p.line("light\t%d\t%s\tcolor 0x%08x", i++, p.s(l.id), l.color);
    i = 0;
    for (SImage& m : file.get(root->images))
        p.line("image\t%d\t%s\tfile %s\tkind %u\t%s", i++, p.s(m.id), p.s(m.fileName), m.kind,
               file.getTexture(&m) ? "texture" : "no texture");
    i = 0;
    for (SEffect& e : file.get(root->effects)) {
        std::string techniques;
        for (STechnique& t : file.get(e.profile0.techniques))
            techniques += (techniques.empty() ? "" : ",") + std::string(p.s(t.name)) + "/" +
                          std::to_string(t.passes.count);
        p.line("effect\t%d\t%s\ttechniques %s\tparameters %d", i++, p.s(e.id), techniques.empty() ? "-" : techniques.c_str(),
               e.profile0.params.count);
    }
    i = 0;
    for (SMaterial& m : file.get(root->materials)) {
        const SEffect* effect = file.as<SEffect>(m.effect);
        if (!effect) effect = file.getExternalEffect(&m);
        p.line("material\t%d\t%s\teffect %s\tparameters %d", i++, p.s(m.id), effect ? p.s(effect->id) : "-",
               m.params.count);
    }
    i = 0;
    for (SGeometry& g : file.get(root->geometries))
        p.line("geometry\t%d\t%s\t%s", i++, p.s(g.id), g.noMesh ? "no mesh" : "mesh");
    i = 0;
    for (SController& c : file.get(root->controllers))
        p.line("controller\t%d\t%s\ttype %u", i++, p.s(c.id), c.type);
    i = 0;
    for (SEmitter& e : file.get(root->emitters)) p.line("emitter\t%d\t%s\tmesh kind %u", i++, p.s(e.id), e.meshKind);
    i = 0;
    for (SPNPSEmitter& e : file.get(root->pnpsEmitters))
        p.line("pnps-emitter\t%d\t%s\tmesh kind %u", i++, p.s(e.id), unsigned(e.meshKind));
    i = 0;
    for (SForce& f : file.get(root->forces)) p.line("force\t%d\t%s\tkind %u", i++, p.s(f.id), f.kind);
    i = 0;
    for (SCoronas& c : file.get(root->coronas)) p.line("coronas\t%d\t%s", i++, p.s(c.id));
    i = 0;
    for (SVisualScene& v : file.get(root->visualScenes)) {
        p.line("visual-scene\t%d\t%s\tname %s\tnodes %d", i++, p.s(v.id), p.s(v.name), v.nodes.count);
        std::unordered_set<const SNode*> seen;
        p.nodes(file.get(v.nodes), 0, seen);
    }
    i = 0;
    for (SInstanceEntry& e : file.get(root->scene)) {
        const auto* instance = file.as<SInstanceUrl>(e.record);
        p.line("scene\t%d\tkind %u\t%s", i++, e.kind, instance ? p.s(instance->url) : "-");
    }
}

std::string renderers(const CResFile& file, video::IVideoDriver* driver)
{
    std::string out;
    CColladaDatabase db(const_cast<CResFile*>(&file), nullptr);
    for (int e = 0; db.getEffect(e); ++e) {
        const auto renderer = db.constructEffect(driver, e, nullptr);
        if (!renderer) continue;
        char text[64];
        std::snprintf(text, sizeof text, "\ttechniques %u", unsigned(renderer->getTechniqueCount()));
        out += std::string("renderer\t") + renderer->getName() + text;
        for (unsigned char t = 0; t < renderer->getTechniqueCount(); ++t) {
            const auto& technique = renderer->getTechnique(t);
            std::snprintf(text, sizeof text, "\tpasses %u", unsigned(technique.passCount));
            out += std::string("\t") + technique.name.c_str() + text;
            for (unsigned p = 0; p < technique.passCount; ++p) {
                std::snprintf(text, sizeof text, " 0x%08x/0x%08x", technique.passes[p].renderState.word0,
                              technique.passes[p].renderState.word1);
                out += text;
            }
        }
        out += '\n';
    }
    return out;
}

int bdae(std::span<char* const> args)
{
    const bool listRenderers = args.size() == 2 && std::string(args[1]) == "--renderers";
    if (args.size() != 1 && !listRenderers) return tool::fail("bdae", "usage: bdae FILE [--renderers]");
    std::error_code ec;
    std::string file = args[0];
    if (!fs::is_regular_file(file, ec)) return tool::fail("bdae", file + ": no such file");
    file = fs::absolute(file, ec).string();

    std::string out;
    {
        tool::FirstEngineError errors;
        tool::QuietStdout quiet;
        SCreationParameters parameters;
        parameters.DriverType = video::EDT_NULL;
        const boost::intrusive_ptr<IDevice> device(createDeviceEx(parameters), false);
        CResFileManager* manager = device ? device->getResFileManager() : nullptr;
        if (!manager) return tool::fail("bdae", "the engine cannot be created");
        CResFile* loaded = manager->get(file.c_str(), true);
        if (!loaded) return tool::fail("bdae", file + ": " + manager->getLastError());
        if (listRenderers) {
            out = renderers(*loaded, device->getVideoDriver());
            if (out.empty() && !errors.text().empty()) return tool::fail("bdae", errors.text());
        } else {
            Printer p(*loaded);
            records(*loaded, p);
            out = p.text();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

const tool::ToolCommand bdaeCommand("bdae", "FILE [--renderers]", bdae);

}  // namespace
