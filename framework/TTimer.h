// Named interval timers in microseconds of the engine clock; the level drawing brackets its steps
// with them. Names are made on first use with every field 0. Main thread only.
#pragma once

#include <map>
#include <string>

struct _TimeList {
    int start = 0;
    int end = 0;
    int smoothed = 0;   // last x 0.1 + smoothed x 0.9
    int last = 0;       // end - start
};

class TTimer {
public:
    static void StartTime(const char* name);
    static void EndTime(const char* name);

    static std::map<std::string, _TimeList> TMap;
    static bool m_bUse;
};
