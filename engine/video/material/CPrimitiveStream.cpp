#include "engine/video/material/CPrimitiveStream.h"

#include "engine/io/IAttributes.h"

namespace pravik::video {

const char* const* getStringsInternal(E_INDEX_TYPE*)
{
    static const char* const names[] = {"u8", "u16", "u32", nullptr};
    return names;
}

const char* const* getStringsInternal(E_PRIMITIVE_TYPE*)
{
    static const char* const names[] = {"Points",         "Line Strip",   "Line Loop",  "Lines", "Triangle Strip",
                                        "Triangle Fan",   "Triangles",    "Quad Strip", "Quads", nullptr};
    return names;
}

void CPrimitiveStream::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions*) const
{
    if (!out) return;
    out->addEnum("PrimitiveType", int(PrimitiveType), getStringsInternal((E_PRIMITIVE_TYPE*)nullptr), false);
    if (IndexBuffer) {
        out->addEnum("IndexType", int(IndexType), getStringsInternal((E_INDEX_TYPE*)nullptr), false);
        out->addInt("Offset", int(IndexOffset), false);
        out->addInt("IndexCount", int(Count), false);
        out->addInt("PrimitiveCount", int(getPrimitiveCount()), true);
        out->addInt("VertexStart", int(FirstVertex), false);
        out->addInt("VertexEnd", int(VertexEnd), false);
    } else {
        out->addInt("VertexStart", int(FirstVertex), false);
        out->addInt("IndexCount", int(Count), false);
        out->addInt("PrimitiveCount", int(getPrimitiveCount()), true);
    }
}

void CPrimitiveStream::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions*)
{
    if (!in) return;
    const int type = in->getEnum("PrimitiveType", getStringsInternal((E_PRIMITIVE_TYPE*)nullptr));
    if (type >= 0) PrimitiveType = E_PRIMITIVE_TYPE(type);  // an unknown name keeps the type
    Count = unsigned(in->getInt("IndexCount"));
    FirstVertex = unsigned(in->getInt("VertexStart"));
    if (!IndexBuffer) return;
    if (in->existsAttribute("IndexType")) {
        const int indexType = in->getEnum("IndexType", getStringsInternal((E_INDEX_TYPE*)nullptr));
        if (indexType >= 0) IndexType = E_INDEX_TYPE(indexType);
    }
    if (in->existsAttribute("Offset")) IndexOffset = unsigned(in->getInt("Offset"));
    if (in->existsAttribute("VertexEnd")) VertexEnd = unsigned(in->getInt("VertexEnd"));
}

}  // namespace pravik::video
