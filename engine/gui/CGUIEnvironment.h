#pragma once
// The environment is its own root element (kind 23, id 0, the render target's rectangle, a tab
// group): elements whose parent is the root hold no reference on the environment, and the
// environment's one count governs both.

#include "engine/gui/IGUIElement.h"
#include "engine/gui/IGUIEnvironment.h"
#include "engine/io/IFileSystem.h"

#include <vector>

namespace pravik::gui {

class CGUITTFace;
class CGUITTFont;

class CGUIEnvironment : public IGUIEnvironment, public IGUIElement {
public:
    CGUIEnvironment(io::IFileSystem* fileSystem, video::IVideoDriver* driver, IOSOperator* op);
    ~CGUIEnvironment() override;

    void drawAll() override;
    bool setFocus(IGUIElement* element) override;
    IGUIElement* getFocus() const override { return m_focus; }
    bool removeFocus(IGUIElement* element) override;
    bool hasFocus(IGUIElement* element) const override { return element == m_focus; }
    video::IVideoDriver* getVideoDriver() const override { return m_driver; }
    const boost::intrusive_ptr<io::IFileSystem>& getFileSystem() const override { return m_fileSystem; }
    IOSOperator* getOSOperator() const override { return m_operator; }
    void clear() override;
    bool postEventFromUser(const SEvent& event) override;
    void setUserEventReceiver(IEventReceiver* receiver) override { m_userReceiver = receiver; }
    IGUISkin* getSkin() const override { return m_skin; }
    void setSkin(IGUISkin* skin) override;
    IGUISkin* createSkin(EGUI_SKIN_TYPE type) override;
    IGUIElement* getElementById(int id, IGUIElement* start = nullptr) override;
    IGUIElement* getElementByName(const char* name, IGUIElement* start = nullptr) override;

    IGUIFont* getFont(const char* filename) override;
    IGUITTFont* getTTFont(const char* filename, unsigned size) override;
    IGUITTFont* getTTFont(io::IReadFile* file, unsigned size) override;
    bool removeTTFont(const char* filename, unsigned size) override;
    bool removeTTFont(io::IReadFile* file, unsigned size) override;
    bool removeTTFontFace(const char* filename) override;
    bool removeTTFontFace(io::IReadFile* file) override;
    IGUIFont* getBuiltInFont() const override;
    IGUISpriteBank* getSpriteBank(const char* name) const override;
    IGUISpriteBank* addEmptySpriteBank(const char* name) override;

    IGUIElement* getRootGUIElement() override { return this; }
    IGUIStaticText* addStaticText(const wchar_t* text, const core::rect<int>& rectangle, bool border = false,
                                  bool wordWrap = true, IGUIElement* parent = nullptr, int id = -1,
                                  bool fillBackground = false) override;

    IGUIElementFactory* getDefaultGUIElementFactory() const override { return getGUIElementFactory(0); }
    void registerGUIElementFactory(IGUIElementFactory* factory) override;
    unsigned getRegisteredGUIElementFactoryCount() const override { return unsigned(m_factories.size()); }
    IGUIElementFactory* getGUIElementFactory(unsigned index) const override;
    IGUIElement* addGUIElement(const char* typeName, IGUIElement* parent = nullptr) override;

    // The root's handler: GUI events that reach it go to the user receiver.
    bool onEvent(const SEvent& event) override;
    void OnPostRender(unsigned timeMs) override;

    IGUIElement* getHoveredElement() const { return m_hovered; }
    IGUIStaticText* getToolTip() const { return m_toolTip; }
    unsigned getToolTipEnterTime() const { return m_toolTipEnterTime; }

    // Cache records, each vector kept in ascending key order.
    struct SFont {
        core::stringc name;
        IGUIFont* font;
        bool operator<(const SFont& o) const { return name < o.name; }
    };
    struct SFace {
        core::stringc name;
        CGUITTFace* face;
        bool operator<(const SFace& o) const { return name < o.name; }
    };
    struct STTFont {
        core::stringc name;
        unsigned size;
        CGUITTFont* font;
        bool operator<(const STTFont& o) const { return name != o.name ? name < o.name : size < o.size; }
    };
    struct SSpriteBank {
        core::stringc name;
        IGUISpriteBank* bank;
        bool operator<(const SSpriteBank& o) const { return name < o.name; }
    };

    // 'A'-'Z' lowered, every other byte kept; null is "".
    static core::stringc normalizeName(const char* name);

    using IGUIElement::getNextElement;

private:
    void loadBuiltInFont();
    void releaseTrueTypeCaches();
    void updateHoveredElement(core::position2d<int> pos);
    void makeToolTip(unsigned timeMs);
    IGUIElement* getNextElement(bool reverse, bool group);
    IGUITTFont* getTTFont(const core::stringc& key, const char* path, io::IReadFile* file, unsigned size);
    bool removeTTFont(const core::stringc& key, unsigned size);
    bool removeTTFontFace(const core::stringc& key);

    unsigned m_toolTipEnterTime = 0;
    unsigned m_toolTipDelay = 1000;
    IGUIStaticText* m_toolTip = nullptr;
    std::vector<IGUIElementFactory*> m_factories;
    std::vector<SFont> m_fonts;
    std::vector<STTFont> m_ttFonts;
    std::vector<SFace> m_faces;
    std::vector<SSpriteBank> m_banks;
    video::IVideoDriver* m_driver;
    IGUIElement* m_hovered = nullptr;
    IGUIElement* m_focus = nullptr;
    core::position2d<int> m_lastHoveredMousePos{0, 0};
    IGUISkin* m_skin = nullptr;
    boost::intrusive_ptr<io::IFileSystem> m_fileSystem;
    IEventReceiver* m_userReceiver = nullptr;
    IOSOperator* m_operator;
};

}  // namespace pravik::gui
