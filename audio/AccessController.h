#pragma once
// Polling reader/writer access: readers wait only for a writer, a writer waits until neither a
// writer nor a reader is left. Waiting sleeps 1 ms between attempts; there is no queue.
// A reader may take read access again; nobody may ask for write access while holding access.

#include "audio/Mutex.h"

namespace kez {

class AccessController {
public:
    void GetReadAccess();
    void ReleaseReadAccess();
    void GetWriteAccess();
    void ReleaseWriteAccess();

    int Readers();  // for tests and debug info
    int Writer();

private:
    int m_readers = 0;
    int m_writer = 0;
    Mutex m_mutex;
};

// Scoped read and write access.
class ReadAccess {
public:
    explicit ReadAccess(AccessController& c) : m_c(c) { m_c.GetReadAccess(); }
    ~ReadAccess() { m_c.ReleaseReadAccess(); }
    ReadAccess(const ReadAccess&) = delete;
    ReadAccess& operator=(const ReadAccess&) = delete;
private:
    AccessController& m_c;
};

class WriteAccess {
public:
    explicit WriteAccess(AccessController& c) : m_c(c) { m_c.GetWriteAccess(); }
    ~WriteAccess() { m_c.ReleaseWriteAccess(); }
    WriteAccess(const WriteAccess&) = delete;
    WriteAccess& operator=(const WriteAccess&) = delete;
private:
    AccessController& m_c;
};

}  // namespace kez
