// A logger that offers every message to an event receiver first and prints what the receiver
// does not take. Messages below its level (1 at construction) are dropped.
#pragma once

#include "engine/IEventReceiver.h"
#include "engine/ILogger.h"

namespace pravik {

class CLogger : public ILogger {
public:
    explicit CLogger(IEventReceiver* receiver);   // count 1; the receiver is not owned

    ELOG_LEVEL getLogLevel() const override { return m_level; }
    void setLogLevel(ELOG_LEVEL level) override { m_level = level; }
    void setReceiver(IEventReceiver* receiver) { m_receiver = receiver; }

    void log(const char* text, ELOG_LEVEL level) override;
    void log(const char* text, const char* hint, ELOG_LEVEL level) override;
    void log(const wchar_t* text, const wchar_t* hint, ELOG_LEVEL level) override;
    void log(const wchar_t* text, ELOG_LEVEL level) override;
    void vlogf(ELOG_LEVEL level, const char* format, va_list args) override;

private:
    bool offer(const char* text, ELOG_LEVEL level);   // true when the receiver took it

    ELOG_LEVEL m_level = ELL_INFORMATION;
    IEventReceiver* m_receiver;
};

} // namespace pravik
