// A logger for tests: keeps every message it is given, so a test can check what the engine
// reported. Install with SLoggerScope, which restores the previous logger.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/ILogger.h"
#include "engine/os/Printer.h"

namespace test {

class CRecordingLogger : public pravik::ILogger {
public:
    struct SMessage {
        std::string text;
        pravik::ELOG_LEVEL level;
    };

    pravik::ELOG_LEVEL getLogLevel() const override { return m_level; }
    void setLogLevel(pravik::ELOG_LEVEL level) override { m_level = level; }
    void log(const char* text, pravik::ELOG_LEVEL level) override { m_messages.push_back({text ? text : "", level}); }
    void log(const char* text, const char* hint, pravik::ELOG_LEVEL level) override
    {
        m_messages.push_back({std::string(text ? text : "") + ": " + (hint ? hint : ""), level});
    }
    void log(const wchar_t* text, const wchar_t* hint, pravik::ELOG_LEVEL level) override
    {
        m_messages.push_back({narrow(text) + ": " + narrow(hint), level});
    }
    void log(const wchar_t* text, pravik::ELOG_LEVEL level) override { m_messages.push_back({narrow(text), level}); }
    void vlogf(pravik::ELOG_LEVEL level, const char* format, va_list args) override
    {
        char buffer[4000];
        std::vsnprintf(buffer, sizeof(buffer), format, args);
        m_messages.push_back({buffer, level});
    }

    const std::vector<SMessage>& messages() const { return m_messages; }
    bool contains(const std::string& part) const
    {
        for (const auto& m : m_messages)
            if (m.text.find(part) != std::string::npos)
                return true;
        return false;
    }
    void clear() { m_messages.clear(); }

private:
    static std::string narrow(const wchar_t* text)
    {
        std::string s;
        for (; text && *text; ++text)
            s += char(*text);
        return s;
    }

    pravik::ELOG_LEVEL m_level = pravik::ELL_INFORMATION;
    std::vector<SMessage> m_messages;
};

// Installs a recording logger for the scope of a test.
class SLoggerScope {
public:
    SLoggerScope() : m_previous(pravik::os::Printer::Logger) { pravik::os::Printer::Logger = m_logger; }
    ~SLoggerScope()
    {
        pravik::os::Printer::Logger = m_previous;
        m_logger->drop();
    }
    SLoggerScope(const SLoggerScope&) = delete;
    SLoggerScope& operator=(const SLoggerScope&) = delete;

    CRecordingLogger& logger() { return *m_logger; }

private:
    pravik::ILogger* m_previous;
    CRecordingLogger* m_logger = new CRecordingLogger;
};

} // namespace test
