#include "framework/TTimer.h"

#include "engine/os/Timer.h"

std::map<std::string, _TimeList> TTimer::TMap;
bool TTimer::m_bUse = true;

void TTimer::StartTime(const char* name)
{
    TMap[name].start = int(pravik::os::Timer::getMicroSeconds());
}

void TTimer::EndTime(const char* name)
{
    _TimeList& t = TMap[name];
    t.end = int(pravik::os::Timer::getMicroSeconds());
    t.last = int(unsigned(t.end) - unsigned(t.start));
    t.smoothed = int(t.last * 0.1 + t.smoothed * 0.9);
}
