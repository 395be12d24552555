// Makes the three managers the device cannot name itself: the file system, the GUI
// environment and the scene manager. Constructing a factory installs it, so an application
// (or a test) that constructs its own before creating the device replaces all three creators.
// Creators of layers that are not built answer null; the device skips absent members.
#pragma once

#include <boost/intrusive_ptr.hpp>

namespace pravik {
class IOSOperator;
}
namespace pravik::io {
class IFileSystem;
}
namespace pravik::video {
class IVideoDriver;
}
namespace pravik::gui {
class ICursorControl;
class IGUIEnvironment;
}  // namespace pravik::gui
namespace pravik::scene {
class CSceneManager;
}

namespace pravik {

class CVuvFactory {
public:
    CVuvFactory();            // becomes the installed factory
    virtual ~CVuvFactory();   // the default factory is reinstalled when the installed one goes

    virtual boost::intrusive_ptr<io::IFileSystem> createFileSystem();
    // Count 1 (the device drops it), or null.
    virtual scene::CSceneManager* createSceneManager(video::IVideoDriver* driver,
                                                     const boost::intrusive_ptr<io::IFileSystem>& fileSystem,
                                                     gui::ICursorControl* cursorControl,
                                                     gui::IGUIEnvironment* guiEnvironment);
    // Count 1 (the device drops it), or null.
    virtual gui::IGUIEnvironment* createGUIEnvironment(const boost::intrusive_ptr<io::IFileSystem>& fileSystem,
                                                       video::IVideoDriver* driver, IOSOperator* osOperator);

    static CVuvFactory* getInstance();   // the installed factory, else the default one

    static CVuvFactory* s_instance;

    CVuvFactory(const CVuvFactory&) = delete;
    CVuvFactory& operator=(const CVuvFactory&) = delete;
};

}  // namespace pravik
