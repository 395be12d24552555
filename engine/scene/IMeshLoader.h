#pragma once
// A loader of one mesh file format, asked by the scene manager newest first.

#include "engine/IReferenceCounted.h"
#include "engine/scene/IMesh.h"

namespace pravik::io {
class IReadFile;
}

namespace pravik::scene {

class IMeshLoader : public IReferenceCounted {
public:
    virtual bool isALoadableFileExtension(const char* lowerCasedName) const = 0;
    virtual boost::intrusive_ptr<IAnimatedMesh> createMesh(io::IReadFile* file) = 0;  // null when unreadable
};

}  // namespace pravik::scene
