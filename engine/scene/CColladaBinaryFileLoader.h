#pragma once
// Plugs scene files into the scene manager's mesh loading: asking for a mesh from a ".bdae"
// builds the file's whole scene under the scene manager's root instead, and answers no mesh.

#include "engine/scene/IMeshLoader.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::io {
class IFileSystem;
}

namespace pravik::scene {

class CSceneManager;

class CColladaBinaryFileLoader : public IMeshLoader {
public:
    CColladaBinaryFileLoader(CSceneManager* sceneManager, const boost::intrusive_ptr<io::IFileSystem>& fileSystem);

    bool isALoadableFileExtension(const char* name) const override;  // ".bdae" anywhere in the name
    boost::intrusive_ptr<IAnimatedMesh> createMesh(io::IReadFile* file) override;  // always none
    boost::intrusive_ptr<IAnimatedMesh> createScene(io::IReadFile*) { return nullptr; }

private:
    CSceneManager* m_sceneManager;
    boost::intrusive_ptr<io::IFileSystem> m_fileSystem;
};

}  // namespace pravik::scene
