#pragma once
// Source of triangles for the collision queries. The engine has no selector of its own: a
// caller supplies one (tests, or a later mesh-backed selector).

#include "engine/IReferenceCounted.h"
#include "engine/core/CMatrix4.h"
#include "engine/core/aabbox3d.h"
#include "engine/core/triangle3d.h"

namespace pravik::scene {

class ITriangleSelector : public IReferenceCounted {
public:
    virtual int getTriangleCount() const = 0;
    // Up to capacity triangles that may touch box, each transformed by transform when given;
    // written receives their number.
    virtual void getTriangles(core::triangle3d<float>* out, int capacity, int& written,
                              const core::aabbox3d<float>& box, const core::CMatrix4<float>* transform) const = 0;
};

}  // namespace pravik::scene
