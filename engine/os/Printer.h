// The engine's logging entry. Every message goes to the installed logger and is dropped when
// none is installed (the normal case in this program). Main thread only.
#pragma once

#include <cstdarg>

#include "engine/ELogLevel.h"

namespace pravik {
class ILogger;
}

namespace pravik::os {

class Printer {
public:
    static ILogger* Logger;   // not owned here; the device adopts it (null at start)

    static void log(const char* text, ELOG_LEVEL level = ELL_INFORMATION);
    static void log(const char* text, const char* hint, ELOG_LEVEL level = ELL_INFORMATION);
    static void log(const wchar_t* text, ELOG_LEVEL level = ELL_INFORMATION);
    static void logf(const char* format, ...) __attribute__((format(printf, 1, 2)));
    static void logf(ELOG_LEVEL level, const char* format, ...) __attribute__((format(printf, 2, 3)));
    static void setLogLevel(ELOG_LEVEL level);
    static ELOG_LEVEL getLogLevel();   // ELL_NONE (4) without a logger

    // Formats at most 3997 characters and a line feed; this platform has no console sink,
    // so the text goes nowhere.
    static void print(const char* format, ...) __attribute__((format(printf, 1, 2)));
    static void vprint(const char* format, va_list args);
};

} // namespace pravik::os
