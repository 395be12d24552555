#pragma once
// A quad facing the active camera ("bill"), centred on the node's absolute position. Every
// render rebuilds its four world-space vertices (position, texture coordinate 0, normal,
// colour 0; 36 bytes each) in place from the camera's position, target and up vector; the
// driver reads them through a buffer over the node's own array. Render data null updates the
// vertices without drawing.

#include "engine/scene/IBillboardSceneNode.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CVertexStreams.h"

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::scene {

class CBillboardSceneNode : public IBillboardSceneNode {
public:
    struct SVertex {
        core::vector3d<float> Pos;
        float TCoords[2];
        core::vector3d<float> Normal;
        video::SColor Color;
    };
    static_assert(sizeof(SVertex) == 36, "the interleaved layout of Position, TexCoord0, Normal, Color0");

    CBillboardSceneNode(video::IVideoDriver* driver, int id, const core::vector3d<float>& position,
                        const core::dimension2d<float>& size, video::SColor top = video::SColor(255, 255, 255, 255),
                        video::SColor bottom = video::SColor(255, 255, 255, 255));

    bool onRegisterSceneNode() override;
    void render(void* renderData) override;
    const core::aabbox3d<float>& getBoundingBox() const override { return BBox; }
    unsigned getMaterialCount() const override { return 1; }
    boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned) const override { return Material; }
    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const override;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr) override;
    E_SCENE_NODE_TYPE getType() const override { return ESNT_BILLBOARD; }
    ISceneNode* clone() const override;

    void setSize(const core::dimension2d<float>& size) override;
    const core::dimension2d<float>& getSize() const override { return Size; }
    void setColor(const video::SColor& color) override;
    void setColor(const video::SColor& top, const video::SColor& bottom) override;
    void getColor(video::SColor& top, video::SColor& bottom) const override;

    void setMaterial(const boost::intrusive_ptr<video::CMaterial>& material) { Material = material; }
    const SVertex* getVertices() const { return Vertices; }
    const boost::intrusive_ptr<video::CVertexStreams>& getVertexStreams() const { return VertexStreams; }

protected:
    core::dimension2d<float> Size{1, 1};
    core::aabbox3d<float> BBox{-1, -1, -1, 1, 1, 1};
    boost::intrusive_ptr<video::CMaterial> Material;
    SVertex Vertices[4] = {};
    boost::intrusive_ptr<video::CVertexStreams> VertexStreams;
};

}  // namespace pravik::scene
