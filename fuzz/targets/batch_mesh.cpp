// Batch mesh files: the archive loaded into a mesh, then every batch's vertices and indices
// read whole and every segment's ranges followed into its batch's geometry.

#include "fuzz/FuzzTarget.h"

#include "engine/EngineServices.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CMemoryWriteFile.h"
#include "engine/scene/CBatchMesh.h"
#include "engine/scene/CGeometryCreator.h"
#include "engine/video/CNullDriver.h"

#include <cstdlib>

namespace {

using namespace pravik;

video::CNullDriver& driver() {
    static CEngineServicesScope services;
    static const boost::intrusive_ptr<video::CNullDriver> d = [] {
        boost::intrusive_ptr<video::CNullDriver> made(new video::CNullDriver(static_cast<IDevice*>(nullptr)), false);
        made->initImplementationDependentData();
        return made;
    }();
    return *d;
}

// The bytes of a buffer from `offset` for `size`; a range it does not hold is a finding.
void useBytes(const video::IBuffer* buffer, size_t offset, size_t size) {
    if (!buffer || size == 0) return;
    if (!buffer->getData() || offset > buffer->getSize() || size > buffer->getSize() - offset) std::abort();
    fuzz::sum(static_cast<const char*>(buffer->getData()) + offset, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    io::CMemoryReadFile file(const_cast<uint8_t*>(data), int32_t(size), "fuzz.bmesh", false);
    boost::intrusive_ptr<scene::CBatchMesh> mesh(new scene::CBatchMesh);
    if (!mesh->load(&file, &driver(), nullptr, nullptr, nullptr)) return 0;
    for (unsigned j = 0; j < mesh->getBatchCount(); ++j) {
        const scene::CBatchMesh::SBatch& b = mesh->getBatch(j);
        const video::CPrimitiveStream& p = b.MeshBuffer->PrimitiveStream;
        useBytes(p.IndexBuffer.get(), p.IndexOffset, size_t(p.Count) * video::CPrimitiveStream::getIndexSize(p.IndexType));
        const unsigned vertices = b.MeshBuffer->VertexStreams->getVertexCount();
        for (const video::SVertexStream& s : *b.MeshBuffer->VertexStreams)
            if (vertices > 0) useBytes(s.buffer.get(), s.offset, size_t(vertices - 1) * s.stride + s.elementSize());
        for (unsigned slot = b.FirstSegment; slot < b.EndSegment; ++slot) {
            const scene::CBatchMesh::SSegment& s = mesh->getSegmentAt(slot);
            if (s.EndVertex > vertices || s.EndIndex > p.Count || !s.Box) std::abort();
            if (&mesh->getSegment(s.Number) != &s) std::abort();
        }
    }
    fuzz::sum(&mesh->getBoundingBox(), sizeof(core::aabbox3d<float>));
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    video::CNullDriver& d = driver();
    boost::intrusive_ptr<scene::CBatchMesh> mesh(new scene::CBatchMesh);
    for (unsigned batch = 0; batch < 2; ++batch) {
        mesh->addBatch();
        mesh->addSegment(12, 18, 0);
        mesh->addSegment(12, 18, 1);
        const unsigned mask = 1u << video::EVA_POSITION | (batch ? 1u << video::EVA_NORMAL | 1u << video::EVA_TEXCOORD0 : 0u);
        mesh->setBuffer(batch, scene::createCubeMesh(mask, &d, 10)->getMeshBuffer(0), nullptr);
    }
    mesh->sort(&d);
    mesh->initStaticSegmentBoundingBoxes();
    std::vector<std::string> out;
    for (os::E_ENDIAN order : {os::EEND_NATIVE, os::EEND_BIG}) {
        io::CMemoryWriteFile file;
        mesh->save(&file, &d, order, false, true);
        out.emplace_back(reinterpret_cast<const char*>(file.getBuffer()), file.getBufferSize());
    }
    return out;
}
