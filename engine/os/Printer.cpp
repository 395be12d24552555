#include "engine/os/Printer.h"

#include <cstdio>

#include "engine/ILogger.h"

namespace pravik::os {

ILogger* Printer::Logger = nullptr;

void Printer::log(const char* text, ELOG_LEVEL level)
{
    if (Logger)
        Logger->log(text, level);
}

void Printer::log(const char* text, const char* hint, ELOG_LEVEL level)
{
    if (Logger)
        Logger->log(text, hint, level);
}

void Printer::log(const wchar_t* text, ELOG_LEVEL level)
{
    if (Logger)
        Logger->log(text, level);
}

void Printer::logf(const char* format, ...)
{
    if (!Logger)
        return;
    va_list args;
    va_start(args, format);
    Logger->vlogf(ELL_INFORMATION, format, args);
    va_end(args);
}

void Printer::logf(ELOG_LEVEL level, const char* format, ...)
{
    if (!Logger)
        return;
    va_list args;
    va_start(args, format);
    Logger->vlogf(level, format, args);
    va_end(args);
}

void Printer::setLogLevel(ELOG_LEVEL level)
{
    if (Logger)
        Logger->setLogLevel(level);
}

ELOG_LEVEL Printer::getLogLevel()
{
    return Logger ? Logger->getLogLevel() : ELL_NONE;
}

void Printer::print(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vprint(format, args);
    va_end(args);
}

void Printer::vprint(const char* format, va_list args)
{
    // Formatted into scratch and released again: there is no console to show it on.
    char buffer[4000];
    int n = std::vsnprintf(buffer, 3998, format, args);
    if (n < 0)
        n = 0;
    if (n > 3997)
        n = 3997;
    buffer[n] = '\n';
    buffer[n + 1] = '\0';
}

} // namespace pravik::os
