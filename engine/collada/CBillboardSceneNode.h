#pragma once
// A scene-file node whose absolute transformation turns one of its axes towards the active
// camera, freely or about a fixed up axis only, about its parent's position. Everything below
// it turns with it. Its boxes grow to hold every orientation it can take.

#include "engine/collada/CSceneNode.h"

namespace pravik::collada {

class CBillboardSceneNode : public CSceneNode {
public:
    CBillboardSceneNode(const CColladaDatabase& db, SNode* record);

    void updateAbsolutePosition(bool recursive = false) override;
    const core::aabbox3d<float>& getTransformedBoundingBox() const override;
    void computeBoundingBox() override;

private:
    SBillboard* m_billboard = nullptr;  // the record's billboard part; null when it does not fit the file
};

}  // namespace pravik::collada
