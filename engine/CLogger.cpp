#include "engine/CLogger.h"

#include <cstdio>
#include <memory>

#include "engine/core/StringConversion.h"
#include "engine/os/Printer.h"

namespace pravik {

namespace {
constexpr int kMessageBufferSize = 4000;
constexpr int kMessageMaxCharacters = 3997;
} // namespace

CLogger::CLogger(IEventReceiver* receiver) : ILogger(1), m_receiver(receiver) {}

bool CLogger::offer(const char* text, ELOG_LEVEL level)
{
    if (!m_receiver)
        return false;
    SEvent event{};
    event.EventType = EET_LOG_TEXT_EVENT;
    event.LogEvent.Text = text;
    event.LogEvent.Level = level;
    return m_receiver->onEvent(event);
}

void CLogger::log(const char* text, ELOG_LEVEL level)
{
    if (level < m_level)
        return;
    if (offer(text, level))
        return;
    os::Printer::print("%s", text ? text : "");   // the text is data, never a format
}

void CLogger::log(const char* text, const char* hint, ELOG_LEVEL level)
{
    logf(level, "%s: %s", text ? text : "", hint ? hint : "");
}

void CLogger::log(const wchar_t* text, const wchar_t* hint, ELOG_LEVEL level)
{
    if (level < m_level)
        return;
    const core::stringc narrowText = core::stringw2stringc(text);
    const core::stringc narrowHint = core::stringw2stringc(hint);
    logf(level, "%s: %s", narrowText.c_str(), narrowHint.c_str());
}

void CLogger::log(const wchar_t* text, ELOG_LEVEL level)
{
    if (level < m_level)
        return;
    const core::stringc narrowText = core::stringw2stringc(text);
    log(narrowText.c_str(), level);
}

void CLogger::vlogf(ELOG_LEVEL level, const char* format, va_list args)
{
    if (level < m_level)
        return;
    if (m_receiver) {
        va_list copy;
        va_copy(copy, args);
        const std::unique_ptr<char[]> buffer(new char[kMessageBufferSize]);
        std::vsnprintf(buffer.get(), kMessageMaxCharacters + 1, format, copy);
        va_end(copy);
        if (offer(buffer.get(), level))
            return;
    }
    os::Printer::vprint(format, args);
}

} // namespace pravik
