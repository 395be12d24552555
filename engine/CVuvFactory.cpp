#include "engine/CVuvFactory.h"

#include "engine/gui/IGUIEnvironment.h"

#include "engine/io/CFileSystem.h"
#include "engine/scene/CSceneManager.h"

namespace pravik {

CVuvFactory* CVuvFactory::s_instance = nullptr;

CVuvFactory::CVuvFactory() { s_instance = this; }

// A factory that goes away must not stay installed; the next getInstance falls back to the
// default factory.
CVuvFactory::~CVuvFactory()
{
    if (s_instance == this) s_instance = nullptr;
}

CVuvFactory* CVuvFactory::getInstance()
{
    if (s_instance) return s_instance;
    static CVuvFactory defaultFactory;
    s_instance = &defaultFactory;
    return s_instance;
}

boost::intrusive_ptr<io::IFileSystem> CVuvFactory::createFileSystem()
{
    return boost::intrusive_ptr<io::IFileSystem>(new io::CFileSystem());
}

scene::CSceneManager* CVuvFactory::createSceneManager(video::IVideoDriver* driver,
                                                      const boost::intrusive_ptr<io::IFileSystem>& fileSystem,
                                                      gui::ICursorControl* cursorControl,
                                                      gui::IGUIEnvironment* guiEnvironment)
{
    return new scene::CSceneManager(driver, fileSystem, cursorControl, nullptr, guiEnvironment);
}

gui::IGUIEnvironment* CVuvFactory::createGUIEnvironment(const boost::intrusive_ptr<io::IFileSystem>& fileSystem,
                                                        video::IVideoDriver* driver, IOSOperator* osOperator)
{
    return gui::createGUIEnvironment(fileSystem.get(), driver, osOperator);
}

}  // namespace pravik
