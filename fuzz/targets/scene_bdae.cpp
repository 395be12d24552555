// Scene files (".bdae"): the resource image read by the engine's scene-file manager, its
// libraries walked as the engine walks them, every geometry built into meshes whose vertex and
// index data are read whole, and the scene built from it and walked node by node.

#include "fuzz/FuzzTarget.h"
#include "fuzz/support/FuzzReaders.h"

#include "engine/IDevice.h"
#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CResFile.h"
#include "engine/collada/CResFileManager.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/collada/IMesh.h"
#include "engine/scene/CMeshBuffer.h"
#include "engine/video/IBuffer.h"
#include "tools/formats/BresWriter.h"

#include <cstdlib>
#include <cstring>
#include <unordered_set>

namespace {

using namespace pravik;
using namespace pravik::collada;

IDevice& device() {
    static const boost::intrusive_ptr<IDevice> d = [] {
        SCreationParameters parameters;
        parameters.DriverType = video::EDT_NULL;
        return boost::intrusive_ptr<IDevice>(createDeviceEx(parameters), false);
    }();
    return *d;
}

uint32_t text(const CResFile& file, res::String s) {
    const char* c = file.cstr(s);
    return c ? fuzz::sum(c, std::strlen(c)) : 0;
}

// A buffer's bytes from `offset` for `size`; a range the buffer does not hold is a finding.
void useBytes(const video::IBuffer* buffer, size_t offset, size_t size) {
    if (!buffer || !buffer->getData() || size == 0) return;
    if (offset > buffer->getSize() || size > buffer->getSize() - offset) std::abort();
    fuzz::sum(static_cast<const char*>(buffer->getData()) + offset, size);
}

void useMesh(const scene::IMesh& mesh) {
    for (unsigned b = 0; b < mesh.getMeshBufferCount(); ++b) {
        const boost::intrusive_ptr<scene::CMeshBuffer> buffer = mesh.getMeshBuffer(b);
        if (!buffer) continue;
        const video::CPrimitiveStream& p = buffer->PrimitiveStream;
        useBytes(p.IndexBuffer.get(), p.IndexOffset, size_t(p.Count) * video::CPrimitiveStream::getIndexSize(p.IndexType));
        if (!buffer->VertexStreams) continue;
        const unsigned vertices = buffer->VertexStreams->getVertexCount();
        for (const video::SVertexStream& s : *buffer->VertexStreams)
            if (vertices > 0 && s.elementSize() > 0)
                useBytes(s.buffer.get(), s.offset, size_t(vertices - 1) * s.stride + s.elementSize());
    }
}

void useRecords(const CColladaDatabase& db) {
    const CResFile& file = *db.getResFile();
    SCollada* root = file.getRoot();
    if (!root) return;
    uint32_t s = text(file, root->version);
    for (SAnimation& a : file.get(root->animations)) {
        s += text(file, a.id);
        if (const SChannel* c = file.get(a.channel)) s += text(file, c->target);
    }
    for (SImage& m : file.get(root->images)) s += text(file, m.id) + text(file, m.fileName);
    for (SEffect& e : file.get(root->effects))
        for (STechnique& t : file.get(e.profile0.techniques)) s += text(file, t.name) + uint32_t(t.passes.count);
    for (SMaterial& m : file.get(root->materials)) {
        s += text(file, m.id);
        if (const SEffect* effect = file.as<SEffect>(m.effect)) s += text(file, effect->id);
    }
    for (SGeometry& g : file.get(root->geometries)) {
        s += text(file, g.id);
        if (const auto mesh = db.constructGeometry(device().getVideoDriver(), &g)) useMesh(*mesh);
    }
    for (SInstanceEntry& e : file.get(root->scene))
        if (const auto* instance = file.as<SInstanceUrl>(e.record)) s += text(file, instance->url);
    fuzz::sum(&s, sizeof s);
}

void useNode(const scene::ISceneNode* node, int depth) {
    if (depth > CColladaDatabase::kMaxNodeDepth + 1) std::abort();  // deeper than the builder walks
    const char* uid = node->getUID();
    fuzz::sum(uid, std::strlen(uid));
    fuzz::sum(&node->getAbsoluteTransformation(), sizeof(core::CMatrix4<float>));
    for (const scene::ISceneNode* child : node->getChildren()) useNode(child, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    video::IVideoDriver* driver = device().getVideoDriver();
    const std::string path = fuzz::asFile(data, size, ".bdae");
    {
        CColladaDatabase db(path.c_str());
        if (db.isValid()) useRecords(db);
    }
    if (CRootSceneNode* root = CColladaDatabase::constructScene(driver, path.c_str(), nullptr)) {
        root->updateAbsolutePosition(true);
        useNode(root, 0);
        root->drop();
    }
    device().getResFileManager()->unloadAll();
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    namespace b = formats::bres;
    b::Writer w;
    b::SPassSpec opaque;
    b::addEffects(w, {{"Opaque", {{"Default", {opaque}}}, {}}});
    b::SMaterialSpec material;
    material.id = "A", material.effect = 0, material.effectUrl = "#Opaque";
    b::addMaterials(w, {material});
    b::addImages(w, {{"Img", "white.tga", 0}});
    b::SGeometrySpec quad;
    quad.id = "Quad", quad.stride = 12, quad.vertexCount = 4;
    quad.attributes = {{0, 6, 3}};
    const float corners[12] = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0};
    quad.vertices.assign(reinterpret_cast<const char*>(corners), sizeof corners);
    b::SMeshBufferSpec triangles;
    triangles.highestIndex = 3;
    triangles.indices = {0, 1, 2, 0, 2, 3};
    quad.buffers = {triangles};
    b::addGeometries(w, {quad});
    const auto nodes = b::addVisualScene(w, "S", {{"Holder", {{"Child", {}}}}, {"Other", {}}});
    b::addGeometryInstance(w, nodes[0], "Quad", {0});
    return {b::minimalScene(), b::effectScene(), w.finish()};
}
