#include "EngineOutput.h"

#include "engine/os/Printer.h"

#include <unistd.h>

#include <cstdio>

namespace tool {

FirstEngineError::FirstEngineError(pravik::ELOG_LEVEL least) : ILogger(1), m_least(least)
{
    pravik::os::Printer::Logger = this;
}

FirstEngineError::~FirstEngineError() { pravik::os::Printer::Logger = nullptr; }

void FirstEngineError::vlogf(pravik::ELOG_LEVEL level, const char* format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    keep(text, nullptr, level);
}

void FirstEngineError::keep(const char* text, const char* hint, pravik::ELOG_LEVEL level)
{
    if (level < m_least || !text || !m_text.empty())
        return;
    m_text = text;
    while (!m_text.empty() && m_text.back() == '\n')
        m_text.pop_back();
    if (hint && *hint)
        m_text += std::string(": ") + hint;
}

QuietStdout::QuietStdout()
{
    std::fflush(stdout);
    m_saved = dup(STDOUT_FILENO);
    if (FILE* null = std::fopen("/dev/null", "w")) {
        dup2(fileno(null), STDOUT_FILENO);
        std::fclose(null);
    }
}

QuietStdout::~QuietStdout()
{
    std::fflush(stdout);
    if (m_saved >= 0) {
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
    }
}

}  // namespace tool
