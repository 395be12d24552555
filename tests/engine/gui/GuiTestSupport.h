#pragma once
// What the GUI tests share: an environment over a null driver whose 2D drawing is recorded,
// elements and a user receiver that record the events they get, a stopped engine clock set by
// hand, and a small bitmap font of known widths.

#include "engine/EngineServices.h"
#include "engine/core/ProcessBuffer.h"
#include "engine/gui/CGUIEnvironment.h"
#include "engine/gui/CGUIFont.h"
#include "engine/gui/IGUIStaticText.h"
#include "engine/io/CFileSystem.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/os/Timer.h"
#include "engine/video/C2DDriver.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/material/CMaterial.h"
#include "tests/engine/video/ImageTestSupport.h"
#include "tools/formats/BitmapFontXml.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace test::gui {

using namespace pravik;
using namespace pravik::gui;

// A null driver that keeps every 2D rectangle it is asked to draw (the 2D object hands fills
// and textured quads alike to draw2DRectangle).
class RecordingDriver : public video::CNullDriver {
public:
    struct Draw {
        core::rect<int> dest, source;
        video::SColor colors[4];
        bool clipped;
        core::rect<int> clip;
    };
    RecordingDriver() : CNullDriver(static_cast<IDevice*>(nullptr)), m_2d(this) { set2DDriver(&m_2d); }
    ~RecordingDriver() override { set2DDriver(nullptr); }
    void draw2DRectangle(const core::rect<int>& dest, const core::rect<int>& source, const video::SColor* colors,
                         const core::rect<int>* clip) override
    {
        Draw d{dest, source, {}, clip != nullptr, clip ? *clip : core::rect<int>()};
        for (int i = 0; i < 4; ++i)
            d.colors[i] = colors ? colors[i] : video::SColor(255, 255, 255, 255);
        draws.push_back(d);
    }
    std::vector<Draw> draws;

private:
    video::C2DDriver m_2d;
};

inline std::string eventName(const SEvent& e)
{
    static const char* const names[] = {"FOCUS_LOST", "FOCUSED", "HOVERED", "LEFT"};
    if (e.EventType != EET_GUI_EVENT)
        return e.EventType == EET_MOUSE_INPUT_EVENT ? "mouse" : "key";
    const int k = e.GUIEvent.EventType;
    return k >= 0 && k < 4 ? names[k] : "gui" + std::to_string(k);
}

inline std::string nameOf(IGUIElement* e) { return e ? (*e->getName() ? e->getName() : "root") : "null"; }

// Keeps what it receives as "name:KIND(second)" or "name:mouse"; can refuse to lose the focus.
class RecordingElement : public IGUIElement {
public:
    RecordingElement(IGUIEnvironment* env, IGUIElement* parent, const char* name, core::rect<int> r,
                     std::vector<std::string>* log)
        : IGUIElement(EGUIET_ELEMENT, env, parent, -1, r), m_log(log)
    {
        setName(name);
    }
    bool onEvent(const SEvent& e) override
    {
        std::string entry = std::string(getName()) + ":" + eventName(e);
        if (e.EventType == EET_GUI_EVENT && e.GUIEvent.EventType <= EGUIE_FOCUSED)
            entry += "(" + nameOf(e.GUIEvent.Element) + ")";
        m_log->push_back(entry);
        if (e.EventType == EET_GUI_EVENT && e.GUIEvent.EventType == EGUIE_FOCUS_LOST && refuseFocusLoss)
            return true;
        if (e.EventType == EET_GUI_EVENT && e.GUIEvent.EventType == EGUIE_FOCUSED && refuseFocus)
            return true;
        return IGUIElement::onEvent(e);
    }
    bool refuseFocusLoss = false;
    bool refuseFocus = false;

private:
    std::vector<std::string>* m_log;
};

class RecordingReceiver : public IEventReceiver {
public:
    bool onEvent(const SEvent& e) override
    {
        std::string entry = "user:";
        entry += e.EventType == EET_GUI_EVENT ? nameOf(e.GUIEvent.Caller) + ":" + eventName(e) : eventName(e);
        log.push_back(entry);
        return false;
    }
    std::vector<std::string> log;
};

inline SEvent mouse(EMOUSE_INPUT_EVENT kind, int x, int y)
{
    SEvent e{};
    e.EventType = EET_MOUSE_INPUT_EVENT;
    e.MouseInput.X = x;
    e.MouseInput.Y = y;
    e.MouseInput.Event = kind;
    return e;
}

inline SEvent key(EKEY_CODE code, bool shift = false, bool control = false, bool down = true)
{
    SEvent e{};
    e.EventType = EET_KEY_INPUT_EVENT;
    e.KeyInput.Key = code;
    e.KeyInput.PressedDown = down;
    e.KeyInput.Shift = shift;
    e.KeyInput.Control = control;
    return e;
}

// The XML description of a font of known widths: letters 6 pixels wide, digits 5, the space 3,
// '-' 4, all 10 high, on texture "fixture-font.png" when withTexture.
inline std::string fixtureFontXml(bool withTexture)
{
    std::vector<formats::fontxml::STexture> textures;
    if (withTexture)
        textures.push_back({"fixture-font.png", "0", "true"});
    std::vector<formats::fontxml::SGlyph> glyphs;
    auto add = [&](wchar_t c, int width) {
        glyphs.push_back({std::wstring(1, c), "0", "0", "0", "0,0," + std::to_string(width) + ",10"});
    };
    add(L' ', 3);
    add(L'-', 4);
    for (wchar_t c = L'a'; c <= L'z'; ++c)
        add(c, 6);
    for (wchar_t c = L'A'; c <= L'Z'; ++c)
        add(c, 6);
    for (wchar_t c = L'0'; c <= L'9'; ++c)
        add(c, 5);
    return formats::fontxml::write(textures, glyphs);
}

class GuiTest : public ::testing::Test {
    CEngineServicesScope m_services;  // outlives the driver

protected:
    GuiTest()
    {
        core::setProcessBufferHeapSize(0x10000);
        os::Timer::stopTimer();
        os::Timer::setTime(0);
        driver = new RecordingDriver();
        fileSystem = new io::CFileSystem();
        if (driver->getTextureManager())
            driver->getTextureManager()->setFileSystem(fileSystem.get());
        env = new CGUIEnvironment(fileSystem.get(), driver, nullptr);
    }
    ~GuiTest() override
    {
        env->drop();
        driver->drop();
        os::Timer::startTimer();
        core::setProcessBufferHeapSize(0);
    }

    static void setTime(unsigned ms) { os::Timer::setTime(ms); }

    // A font of known widths loaded from its XML description in memory; owned by the test.
    CGUIFont* fixtureFont(bool withTexture = false)
    {
        if (withTexture) {
            video::CImagePtr image = new video::CImage(video::EPF_A8R8G8B8, core::dimension2d<int>(64, 64));
            driver->getTextureManager()->addTexture("fixture-font.png", image, true);
        }
        const std::string xml = fixtureFontXml(withTexture);
        io::IReadFile* file = io::createMemoryReadFile(const_cast<char*>(xml.data()), int32_t(xml.size()), "fixture.xml", false);
        io::IXMLReader* reader = io::createIXMLReader(file);
        file->drop();
        CGUIFont* font = new CGUIFont(env, withTexture ? "fixture-textured" : "fixture");
        const bool ok = font->load(reader);
        reader->drop();
        EXPECT_TRUE(ok);
        m_fonts.push_back(font);
        return font;
    }

    RecordingDriver* driver;
    boost::intrusive_ptr<io::CFileSystem> fileSystem;
    CGUIEnvironment* env;
    LogCapture log;

    void TearDown() override
    {
        for (CGUIFont* f : m_fonts)
            f->drop();
        m_fonts.clear();
    }

private:
    std::vector<CGUIFont*> m_fonts;
};

}  // namespace test::gui
