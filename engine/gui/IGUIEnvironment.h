#pragma once
// The GUI's centre: the root element, keyboard focus, hovered element and tool tip, the user
// input that becomes element events, the element creators and factories, the skin, and the
// caches of fonts, TrueType faces and sprite banks.

#include "engine/IReferenceCounted.h"
#include "engine/SEvent.h"
#include "engine/core/rect.h"
#include "engine/gui/EGUIElementTypes.h"
#include "engine/gui/IGUISkin.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik {
class IEventReceiver;
class IOSOperator;
}  // namespace pravik

namespace pravik::io {
class IFileSystem;
class IReadFile;
}  // namespace pravik::io

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::gui {

class IGUIElement;
class IGUIElementFactory;
class IGUIFont;
class IGUISpriteBank;
class IGUIStaticText;
class IGUITTFont;

class IGUIEnvironment : public virtual IReferenceCounted {
public:
    virtual void drawAll() = 0;
    virtual bool setFocus(IGUIElement* element) = 0;  // false when refused or unchanged
    virtual IGUIElement* getFocus() const = 0;
    virtual bool removeFocus(IGUIElement* element) = 0;
    virtual bool hasFocus(IGUIElement* element) const = 0;
    virtual video::IVideoDriver* getVideoDriver() const = 0;
    virtual const boost::intrusive_ptr<io::IFileSystem>& getFileSystem() const = 0;
    virtual IOSOperator* getOSOperator() const = 0;
    virtual void clear() = 0;  // removes every element
    virtual bool postEventFromUser(const SEvent& event) = 0;
    virtual void setUserEventReceiver(IEventReceiver* receiver) = 0;
    virtual IGUISkin* getSkin() const = 0;
    virtual void setSkin(IGUISkin* skin) = 0;
    virtual IGUISkin* createSkin(EGUI_SKIN_TYPE type) = 0;  // the caller drops it
    virtual IGUIElement* getElementById(int id, IGUIElement* start = nullptr) = 0;
    virtual IGUIElement* getElementByName(const char* name, IGUIElement* start = nullptr) = 0;

    // Resources: borrowed pointers, kept by the caches.
    virtual IGUIFont* getFont(const char* filename) = 0;
    virtual IGUITTFont* getTTFont(const char* filename, unsigned size) = 0;
    virtual IGUITTFont* getTTFont(io::IReadFile* file, unsigned size) = 0;
    virtual bool removeTTFont(const char* filename, unsigned size) = 0;
    virtual bool removeTTFont(io::IReadFile* file, unsigned size) = 0;
    virtual bool removeTTFontFace(const char* filename) = 0;
    virtual bool removeTTFontFace(io::IReadFile* file) = 0;
    virtual IGUIFont* getBuiltInFont() const = 0;
    virtual IGUISpriteBank* getSpriteBank(const char* name) const = 0;
    virtual IGUISpriteBank* addEmptySpriteBank(const char* name) = 0;

    virtual IGUIElement* getRootGUIElement() = 0;

    // Creators: a null parent means the root; the element returned is owned by its parent.
    virtual IGUIStaticText* addStaticText(const wchar_t* text, const core::rect<int>& rectangle, bool border = false,
                                          bool wordWrap = true, IGUIElement* parent = nullptr, int id = -1,
                                          bool fillBackground = false) = 0;

    virtual IGUIElementFactory* getDefaultGUIElementFactory() const = 0;
    virtual void registerGUIElementFactory(IGUIElementFactory* factory) = 0;
    virtual unsigned getRegisteredGUIElementFactoryCount() const = 0;
    virtual IGUIElementFactory* getGUIElementFactory(unsigned index) const = 0;  // null out of range
    virtual IGUIElement* addGUIElement(const char* typeName, IGUIElement* parent = nullptr) = 0;
};

// A new environment with one reference for the caller.
IGUIEnvironment* createGUIEnvironment(io::IFileSystem* fileSystem, video::IVideoDriver* driver, IOSOperator* op);

}  // namespace pravik::gui
