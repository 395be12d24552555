#include "platform/ScriptPlayer.h"

#include <cstdio>
#include <filesystem>
#include <cstdlib>

namespace platform {

ScriptPlayer& ScriptPlayer::instance()
{
    static ScriptPlayer player;
    return player;
}

void ScriptPlayer::loadLocked()
{
    if (m_loaded)
        return;
    m_loaded = true;
    const char* path = std::getenv("QUENDRAX_SCRIPT");
    if (!path || !*path)
        return;
    std::string error;
    auto script = InputScript::load(path, error);
    if (!script) {
        std::fprintf(stderr, "QUENDRAX_SCRIPT %s: %s\n", path, error.c_str());
        std::fflush(nullptr);
        std::_Exit(2);  // at once: static destructors would meet this lock still held
    }
    for (const auto& ev : script->events()) {
        m_lastFrame = ev.frame;
        m_hasExit = m_hasExit || ev.kind == ScriptEvent::Kind::Exit;
        if (ev.kind == ScriptEvent::Kind::Shot) {
            // The game's file system changes the working directory later: keep where the run began.
            m_shots.push_back(ev);
            std::error_code ec;
            const auto absolute = std::filesystem::absolute(ev.path, ec);
            if (!ec)
                m_shots.back().path = absolute.string();
        }
        else if (ev.kind == ScriptEvent::Kind::Accel)
            m_forces.push_back(ev);
        else
            m_events.push_back(ev);
    }
    m_active = true;
}

bool ScriptPlayer::active()
{
    std::lock_guard lock(m_mutex);
    loadLocked();
    return m_active;
}

bool ScriptPlayer::nextEvent(uint64_t frame, bool impliedExit, ScriptEvent& out)
{
    std::lock_guard lock(m_mutex);
    loadLocked();
    if (m_nextEvent < m_events.size()) {
        if (m_events[m_nextEvent].frame > frame)
            return false;
        out = m_events[m_nextEvent++];
        return true;
    }
    if (!impliedExit || !m_active || m_hasExit || m_impliedExitSent || frame <= m_lastFrame)
        return false;
    m_impliedExitSent = true;
    out = ScriptEvent{};
    out.frame = uint32_t(m_lastFrame + 1);
    out.kind = ScriptEvent::Kind::Exit;
    return true;
}

std::vector<std::string> ScriptPlayer::shotsDue(uint64_t frame)
{
    std::lock_guard lock(m_mutex);
    loadLocked();
    std::vector<std::string> paths;
    while (m_nextShot < m_shots.size() && m_shots[m_nextShot].frame <= frame)
        paths.push_back(m_shots[m_nextShot++].path);
    return paths;
}

bool ScriptPlayer::forcesAt(uint64_t frame, double force[3])
{
    std::lock_guard lock(m_mutex);
    loadLocked();
    const ScriptEvent* last = nullptr;
    for (const auto& ev : m_forces)
        if (ev.frame <= frame)
            last = &ev;
    if (!last)
        return false;
    for (int i = 0; i < 3; ++i)
        force[i] = last->force[i];
    return true;
}

void ScriptPlayer::reset()
{
    std::lock_guard lock(m_mutex);
    m_loaded = m_active = false;
    m_events.clear();
    m_shots.clear();
    m_forces.clear();
    m_nextEvent = m_nextShot = 0;
    m_hasExit = m_impliedExitSent = false;
    m_lastFrame = 0;
}

}  // namespace platform
