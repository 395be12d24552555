#pragma once
// What the device tests share: a factory that hands out recording stand-ins for the GUI
// environment and the scene manager and notes every creation and destruction in one list, and
// a logger that notes its messages in the same list.

#include "engine/CVuvFactory.h"
#include "engine/IDevice.h"
#include "engine/ILogger.h"
#include "engine/gui/CGUIEnvironment.h"
#include "engine/io/CFileSystem.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/IVideoDriver.h"

#include <cstdio>
#include <string>
#include <vector>

namespace test {

using Journal = std::vector<std::string>;

// Answers as told and notes what it was offered.
struct SRecordingTarget {
    Journal* journal;
    std::string name;
    bool takes = false;
    bool offered(const pravik::SEvent& event)
    {
        journal->push_back(name + " offered " + std::to_string(event.Words.Word[0]));
        return takes;
    }
};

// A real environment whose user input and receiver are noted instead.
class CRecordingGUI : public pravik::gui::CGUIEnvironment {
public:
    CRecordingGUI(Journal& journal, pravik::io::IFileSystem* fs, pravik::video::IVideoDriver* driver,
                  pravik::IOSOperator* osOperator)
        : CGUIEnvironment(fs, driver, osOperator), target{&journal, "gui"}
    {
    }
    ~CRecordingGUI() override { target.journal->push_back("~gui"); }
    bool postEventFromUser(const pravik::SEvent& event) override { return target.offered(event); }
    void setUserEventReceiver(pravik::IEventReceiver* r) override { receiver = r; }

    SRecordingTarget target;
    pravik::IEventReceiver* receiver = nullptr;
};

class CRecordingSceneManager : public pravik::scene::CSceneManager {
public:
    CRecordingSceneManager(Journal& journal, const char* name) : target{&journal, name} {}
    ~CRecordingSceneManager() override { target.journal->push_back("~" + target.name); }
    bool postEventFromUser(const pravik::SEvent& event) override { return target.offered(event); }

    SRecordingTarget target;
};

class CRecordingFileSystem : public pravik::io::CFileSystem {
public:
    explicit CRecordingFileSystem(Journal& journal) : m_journal(journal) {}
    ~CRecordingFileSystem() override { m_journal.push_back("~file system"); }

private:
    Journal& m_journal;
};

// Installed while it lives; the default factory comes back when it goes.
class CRecordingFactory : public pravik::CVuvFactory {
public:
    explicit CRecordingFactory(Journal& journal) : m_journal(journal) {}

    boost::intrusive_ptr<pravik::io::IFileSystem> createFileSystem() override
    {
        m_journal.push_back("file system");
        return new CRecordingFileSystem(m_journal);
    }
    pravik::gui::IGUIEnvironment* createGUIEnvironment(const boost::intrusive_ptr<pravik::io::IFileSystem>& fs,
                                                       pravik::video::IVideoDriver* driver,
                                                       pravik::IOSOperator* osOperator) override
    {
        m_journal.push_back(std::string("gui on ") + (driver ? driver->getName().c_str() : "no driver") +
                            (fs && osOperator ? " with file system and OS operator" : ""));
        gui = new CRecordingGUI(m_journal, fs.get(), driver, osOperator);
        return gui;
    }
    pravik::scene::CSceneManager* createSceneManager(pravik::video::IVideoDriver* driver,
                                                     const boost::intrusive_ptr<pravik::io::IFileSystem>& fs,
                                                     pravik::gui::ICursorControl* cursor,
                                                     pravik::gui::IGUIEnvironment* environment) override
    {
        m_journal.push_back(std::string("scene manager") + (driver && fs && cursor && environment == gui ? " with all" : ""));
        sceneManager = new CRecordingSceneManager(m_journal, "scene manager");
        return sceneManager;
    }

    CRecordingGUI* gui = nullptr;
    CRecordingSceneManager* sceneManager = nullptr;

private:
    Journal& m_journal;
};

// Notes every message as "log: TEXT" and keeps its own count, starting at 1.
class CJournalLogger : public pravik::ILogger {
public:
    explicit CJournalLogger(Journal& journal) : m_journal(journal) {}
    ~CJournalLogger() override { m_journal.push_back("~logger"); }

    pravik::ELOG_LEVEL getLogLevel() const override { return pravik::ELL_INFORMATION; }
    void setLogLevel(pravik::ELOG_LEVEL) override {}
    void log(const char* text, pravik::ELOG_LEVEL level) override { note(text, level); }
    void log(const char* text, const char*, pravik::ELOG_LEVEL level) override { note(text, level); }
    void log(const wchar_t*, const wchar_t*, pravik::ELOG_LEVEL) override {}
    void log(const wchar_t*, pravik::ELOG_LEVEL) override {}
    void vlogf(pravik::ELOG_LEVEL level, const char* format, va_list args) override
    {
        char text[1024];
        std::vsnprintf(text, sizeof text, format, args);
        note(text, level);
    }

private:
    void note(const char* text, pravik::ELOG_LEVEL level)
    {
        m_journal.push_back("log " + std::to_string(int(level)) + ": " + (text ? text : ""));
    }
    Journal& m_journal;
};

inline boost::intrusive_ptr<pravik::IDevice> makeDevice(pravik::video::E_DRIVER_TYPE type,
                                                        pravik::IEventReceiver* receiver = nullptr)
{
    pravik::SCreationParameters parameters;
    parameters.DriverType = type;
    parameters.EventReceiver = receiver;
    return boost::intrusive_ptr<pravik::IDevice>(pravik::createDeviceEx(parameters), false);
}

}  // namespace test
