#pragma once
// The update thread: calls its callback about every 33 ms. After each pass it sleeps 66 ms minus
// the previous period minus the pass's own time, held between 1 and 33 ms.

#include <pthread.h>

#include "audio/Mutex.h"

namespace kez {

class KezThread {
public:
    using Callback = void (*)(void*, void*);

    // A null callback starts no thread. The name is only stored.
    KezThread(Callback callback, void* arg1, void* arg2, const char* name);
    ~KezThread();  // Stop()
    KezThread(const KezThread&) = delete;
    KezThread& operator=(const KezThread&) = delete;

    void Stop();  // clears the flags under the mutex, joins outside it
    void SetEnabled(bool enabled);
    bool IsRunning();
    const char* GetName() const { return m_name; }

    static void Sleep(int ms);  // through the sleeper
    // How Sleep waits; tests put one here that moves their clock instead. Null restores usleep.
    using Sleeper = void (*)(int ms);
    static void SetSleeper(Sleeper sleeper);
    static pthread_t GetCurThreadId();
    // The pause after a pass: 66 - period - pass time (ms, each truncated), held to 1..33.
    static int SleepMs(double passStart, double previousStart, double passEnd);

private:
    friend void* funcUpdate(void*);
    void Loop();

    Callback m_callback;
    void* m_arg1;
    void* m_arg2;
    Mutex m_mutex;
    bool m_enabled = true;
    bool m_running = true;
    double m_previousStart = 0.0;
    char m_name[64] = {};
    pthread_t m_thread{};
    bool m_started = false;
};

void* funcUpdate(void* thread);

}  // namespace kez
