#include "audio/KezThread.h"

#include <atomic>

#include <algorithm>
#include <cstring>
#include <unistd.h>

#include "audio/KezClock.h"

namespace kez {

KezThread::KezThread(Callback callback, void* arg1, void* arg2, const char* name)
    : m_callback(callback), m_arg1(arg1), m_arg2(arg2) {
    if (!callback) {
        m_running = false;
        return;
    }
    std::strncpy(m_name, name ? name : "KezThread", sizeof(m_name) - 1);
    m_started = pthread_create(&m_thread, nullptr, funcUpdate, this) == 0;
    if (!m_started) m_running = false;
}

KezThread::~KezThread() { Stop(); }

void KezThread::Stop() {
    {
        MutexLock lock(m_mutex);
        m_enabled = false;
        m_running = false;
    }
    if (m_started) {
        pthread_join(m_thread, nullptr);
        m_started = false;
    }
}

void KezThread::SetEnabled(bool enabled) {
    MutexLock lock(m_mutex);
    m_enabled = enabled;
}

bool KezThread::IsRunning() {
    MutexLock lock(m_mutex);
    return m_running;
}

namespace {
std::atomic<KezThread::Sleeper> g_sleeper{nullptr};
}

void KezThread::SetSleeper(Sleeper sleeper) { g_sleeper = sleeper; }

void KezThread::Sleep(int ms) {
    if (const Sleeper sleeper = g_sleeper.load()) {
        sleeper(ms);
        return;
    }
    usleep(static_cast<useconds_t>(ms) * 1000);
}
pthread_t KezThread::GetCurThreadId() { return pthread_self(); }

int KezThread::SleepMs(double passStart, double previousStart, double passEnd) {
    const int period = static_cast<int>((passStart - previousStart) * 1000.0);
    const int work = static_cast<int>((passEnd - passStart) * 1000.0);
    // Computed in double first: a first pass measured from time 0 has a huge period.
    const double d = 66.0 - double(period) - double(work);
    return static_cast<int>(std::max(1.0, std::min(d, 33.0)));
}

void KezThread::Loop() {
    for (;;) {
        bool enabled;
        {
            MutexLock lock(m_mutex);
            if (!m_running) return;
            enabled = m_enabled;
        }
        const double t1 = _GetTime();
        if (enabled) m_callback(m_arg1, m_arg2);
        const double t2 = _GetTime();
        const int ms = SleepMs(t1, m_previousStart, t2);
        m_previousStart = t1;
        Sleep(ms);
    }
}

void* funcUpdate(void* thread) {
    static_cast<KezThread*>(thread)->Loop();
    return nullptr;
}

}  // namespace kez
