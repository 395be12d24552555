#pragma once
// Counts, and optionally logs, every call made through the GL dispatch table while it lives:
// it swaps each entry of g_gl for a thunk that records the call and forwards it to the entry
// it replaced, and puts the table back when destroyed. One recorder at a time.
// A logged call reads "glEnable(3042)": integers in decimal, floats as %g, pointers as 0 or
// "ptr"; format() builds the same text for expectations.

#include <cstddef>
#include <string>
#include <vector>

#include "engine/video/gl/GLDispatch.h"

namespace pravik::video {

class CGLCallRecorder {
public:
    explicit CGLCallRecorder(bool keepLog = true);
    ~CGLCallRecorder();
    CGLCallRecorder(const CGLCallRecorder&) = delete;
    CGLCallRecorder& operator=(const CGLCallRecorder&) = delete;

    size_t total() const { return m_total; }
    size_t count(const char* name) const;           // calls of one entry point
    const std::vector<std::string>& log() const { return m_log; }
    size_t countLogged(const std::string& call) const;  // exact logged calls equal to call
    void clear();

    template <typename... A>
    static std::string format(const char* name, A... args)
    {
        std::string s = name;
        s += '(';
        bool first = true;
        ((s += first ? "" : ", ", first = false, appendArg(s, args)), ...);
        s += ')';
        return s;
    }

    // Used by the thunks.
    template <typename... A>
    void note(unsigned id, const char* name, A... args)
    {
        ++m_total;
        ++m_counts[id];
        if (m_keepLog) m_log.push_back(format(name, args...));
    }

private:
    static void appendArg(std::string& s, long long v) { s += std::to_string(v); }
    static void appendArg(std::string& s, unsigned long long v) { s += std::to_string(v); }
    static void appendArg(std::string& s, int v) { s += std::to_string(v); }
    static void appendArg(std::string& s, unsigned v) { s += std::to_string(v); }
    static void appendArg(std::string& s, unsigned char v) { s += std::to_string(v); }
    static void appendArg(std::string& s, long v) { s += std::to_string(v); }
    static void appendArg(std::string& s, float v) { appendFloat(s, v); }
    static void appendArg(std::string& s, double v) { appendFloat(s, v); }
    static void appendArg(std::string& s, const void* p) { s += p ? "ptr" : "0"; }
    static void appendFloat(std::string& s, double v);

    SGLDispatch m_saved;
    std::vector<size_t> m_counts;
    std::vector<std::string> m_log;
    size_t m_total = 0;
    bool m_keepLog;
};

}  // namespace pravik::video
