#pragma once
// Helpers shared by the pixel and image tests: a logger that records what the engine reports,
// and the ImageMagick bridge used to compare loaders against another tool's decoding.

#include "engine/ILogger.h"
#include "engine/os/Printer.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace test {

// Installs itself as the engine's logger for its lifetime and keeps every message.
class LogCapture : public pravik::ILogger {
public:
    struct Entry {
        std::string text, hint;
        pravik::ELOG_LEVEL level;
    };
    LogCapture() : ILogger(1), m_previous(pravik::os::Printer::Logger) {
        pravik::os::Printer::Logger = this;
    }
    ~LogCapture() override { pravik::os::Printer::Logger = m_previous; }

    pravik::ELOG_LEVEL getLogLevel() const override { return pravik::ELL_INFORMATION; }
    void setLogLevel(pravik::ELOG_LEVEL) override {}
    void log(const char* text, pravik::ELOG_LEVEL level) override { add(text, "", level); }
    void log(const char* text, const char* hint, pravik::ELOG_LEVEL level) override {
        add(text, hint ? hint : "", level);
    }
    void log(const wchar_t*, const wchar_t*, pravik::ELOG_LEVEL level) override { add("(wide)", "", level); }
    void log(const wchar_t*, pravik::ELOG_LEVEL level) override { add("(wide)", "", level); }
    void vlogf(pravik::ELOG_LEVEL level, const char* format, va_list args) override {
        char buf[1024];
        vsnprintf(buf, sizeof buf, format, args);
        add(buf, "", level);
    }

    const std::vector<Entry>& entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }
    // The first message's text ("" when nothing was logged).
    std::string first() const { return m_entries.empty() ? "" : m_entries.front().text; }
    bool contains(const std::string& text) const {
        for (const Entry& e : m_entries)
            if (e.text.find(text) != std::string::npos) return true;
        return false;
    }
    void clear() { m_entries.clear(); }

private:
    void add(const char* text, const char* hint, pravik::ELOG_LEVEL level) {
        m_entries.push_back({text ? text : "", hint, level});
    }
    pravik::ILogger* m_previous;
    std::vector<Entry> m_entries;
};

}  // namespace test
