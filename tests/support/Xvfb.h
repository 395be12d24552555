#pragma once
// A private Xvfb server for tests of the x11 backend: started on a display number it picks
// itself, stopped at scope end.

#include <string>
#include <sys/types.h>

namespace test {

bool onPath(const std::string& program);   // an executable of that name is on PATH

class Xvfb {
public:
    Xvfb();
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    const std::string& display() const { return m_display; }   // ":N", empty when it did not start

private:
    pid_t m_pid = -1;
    std::string m_display;
};

}  // namespace test
