#include "engine/scene/CColladaBinaryFileLoader.h"

#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CResFileManager.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/io/IFileSystem.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ISceneNodeAnimator.h"

#include <cstring>

namespace pravik::scene {

CColladaBinaryFileLoader::CColladaBinaryFileLoader(CSceneManager* sceneManager,
                                                   const boost::intrusive_ptr<io::IFileSystem>& fileSystem)
    : m_sceneManager(sceneManager), m_fileSystem(fileSystem)
{
}

bool CColladaBinaryFileLoader::isALoadableFileExtension(const char* name) const
{
    return name && std::strstr(name, ".bdae") != nullptr;
}

boost::intrusive_ptr<IAnimatedMesh> CColladaBinaryFileLoader::createMesh(io::IReadFile* file)
{
    collada::CResFileManager* manager = collada::CResFileManager::Inst;
    if (!file || !manager || !m_sceneManager) return nullptr;
    // External files opened during the build must stay cached until it ends.
    collada::SSuspendAutomaticUnloading suspend(manager);
    collada::CResFile* loaded = manager->load(file, false, nullptr, false);
    if (!loaded) return nullptr;
    collada::CColladaDatabase db(loaded, &collada::CColladaDatabase::DefaultFactory);
    collada::CRootSceneNode* root = db.constructScene(m_sceneManager->getVideoDriver());
    if (!root) return nullptr;
    if (ISceneNodeAnimator* animator = db.constructAnimator()) {
        root->addAnimator(animator);
        animator->drop();
    }
    m_sceneManager->getRootSceneNode()->addChild(root);
    root->drop();
    return nullptr;
}

}  // namespace pravik::scene
