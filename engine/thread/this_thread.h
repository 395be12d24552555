// Registry of engine thread objects by platform thread id. A thread that asks for itself and
// is not registered is adopted: it gets a thread object of its own (stack size 1 MiB, no
// platform thread made), which becomes the registry's main thread object.
#pragma once

#include <pthread.h>

#include "engine/thread/IThread.h"

namespace pravik::thread::this_thread {

using ThreadId = pthread_t;   // the platform's own id, kept whole

IThread* get();
void add(const ThreadId& id, IThread* thread);   // enters or overwrites; not owned
void remove(const ThreadId& id);
IThread* find(const ThreadId& id);               // null when not registered
void sleep(unsigned ms);                         // nothing on this platform
void yield();                                    // nothing on this platform

} // namespace pravik::thread::this_thread
