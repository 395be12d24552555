// Receiver of the engine's log messages (see os::Printer).
#pragma once

#include <cstdarg>

#include "engine/ELogLevel.h"
#include "engine/IReferenceCounted.h"

namespace pravik {

class ILogger : public IReferenceCounted {
public:
    virtual ELOG_LEVEL getLogLevel() const = 0;
    virtual void setLogLevel(ELOG_LEVEL level) = 0;
    virtual void log(const char* text, ELOG_LEVEL level) = 0;
    virtual void log(const char* text, const char* hint, ELOG_LEVEL level) = 0;
    virtual void log(const wchar_t* text, const wchar_t* hint, ELOG_LEVEL level) = 0;
    virtual void log(const wchar_t* text, ELOG_LEVEL level) = 0;
    virtual void vlogf(ELOG_LEVEL level, const char* format, va_list args) = 0;

    void logf(ELOG_LEVEL level, const char* format, ...) __attribute__((format(printf, 3, 4)));

protected:
    explicit ILogger(int startCount = 1) : IReferenceCounted(startCount) {}
};

inline void ILogger::logf(ELOG_LEVEL level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vlogf(level, format, args);
    va_end(args);
}

} // namespace pravik
