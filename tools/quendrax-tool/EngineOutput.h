#pragma once
// What the engine says while a command runs: its error log becomes the command's one-line
// reason, and the file system's progress lines on standard output stay out of the records.

#include "engine/ILogger.h"

#include <cstdarg>
#include <string>

namespace tool {

// Installs itself as the engine's logger for its lifetime and keeps the first error reported:
// the first error is the cause, what follows reports its consequences.
class FirstEngineError : public pravik::ILogger {
public:
    explicit FirstEngineError(pravik::ELOG_LEVEL least = pravik::ELL_ERROR);   // lower levels ignored
    ~FirstEngineError() override;

    pravik::ELOG_LEVEL getLogLevel() const override { return pravik::ELL_ERROR; }
    void setLogLevel(pravik::ELOG_LEVEL) override {}
    void log(const char* text, pravik::ELOG_LEVEL level) override { keep(text, nullptr, level); }
    void log(const char* text, const char* hint, pravik::ELOG_LEVEL level) override { keep(text, hint, level); }
    void log(const wchar_t*, const wchar_t*, pravik::ELOG_LEVEL) override {}
    void log(const wchar_t*, pravik::ELOG_LEVEL) override {}
    void vlogf(pravik::ELOG_LEVEL level, const char* format, va_list args) override;

    const std::string& text() const { return m_text; }  // "" while no error was reported

private:
    void keep(const char* text, const char* hint, pravik::ELOG_LEVEL level);
    std::string m_text;
    pravik::ELOG_LEVEL m_least;
};

// Sends standard output to /dev/null for its lifetime; standard error stays open.
class QuietStdout {
public:
    QuietStdout();
    ~QuietStdout();
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int m_saved = -1;
};

}  // namespace tool
