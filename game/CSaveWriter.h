// The save writer: one long-lived thread that puts whole records on disk. The main thread hands
// over a finished copy and goes on; a record handed over while another waits replaces it, so
// the file always ends with the newest. Each write is atomic: NAME.tmp in the same folder
// (created when missing), every byte written, fsync, rename over NAME, fsync of the folder. A
// kill at any moment leaves the old file or the new one, never a mix. mymutex keeps writes
// apart; only the writer thread takes it.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "game/SaveRecord.h"

class CSaveWriter {
public:
    using Record = std::array<unsigned char, kSaveRecordSize>;

    static CSaveWriter& Get();

    void Submit(const std::string& path, const Record& record);   // returns at once
    void WaitIdle();                                              // until nothing is pending or being written
    int WritesDone() const;                                       // records put on disk so far

    // The write itself, also for callers that want it now. False (and one log line) when the
    // record could not be put in place; the old file then stays as it was.
    static bool WriteAtomically(const std::string& path, const unsigned char* bytes, size_t size);

    ~CSaveWriter();

private:
    CSaveWriter() = default;
    void run();

    mutable std::mutex m_queueLock;   // guards the hand-over only, held for a copy
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    bool m_pending = false;
    bool m_writing = false;
    bool m_stop = false;
    int m_writesDone = 0;
    std::string m_path;
    Record m_record{};
    std::thread m_thread;
};

extern std::mutex mymutex;   // keeps two writes of the record apart
