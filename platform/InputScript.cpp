#include "platform/InputScript.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <cstdlib>

namespace platform {

namespace {

std::vector<std::string_view> split(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r'))
            ++at;
        const size_t begin = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r')
            ++at;
        if (at > begin)
            words.push_back(line.substr(begin, at - begin));
    }
    return words;
}

template <typename T>
bool number(std::string_view word, T& out)
{
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, out);
    return ec == std::errc() && ptr == end;
}

bool force(std::string_view word, double& out)
{
    // from_chars for double is not in every library; strtod on a copy is.
    const std::string copy(word);
    char* end = nullptr;
    out = std::strtod(copy.c_str(), &end);
    return !copy.empty() && end == copy.c_str() + copy.size() && std::isfinite(out);
}

struct Command {
    const char* name;
    ScriptEvent::Kind kind;
    size_t args;
};

constexpr Command kCommands[] = {
    {"touch", ScriptEvent::Kind::Touch, 3},   {"move", ScriptEvent::Kind::Move, 3},
    {"release", ScriptEvent::Kind::Release, 3}, {"key", ScriptEvent::Kind::Key, 1},
    {"pause", ScriptEvent::Kind::Pause, 0},   {"resume", ScriptEvent::Kind::Resume, 0},
    {"keyboard", ScriptEvent::Kind::KeyboardShown, 1}, {"accel", ScriptEvent::Kind::Accel, 3},
    {"shot", ScriptEvent::Kind::Shot, 1},     {"exit", ScriptEvent::Kind::Exit, 0},
};

// Fills ev from the words after the frame; an empty answer means the line is good.
std::string parseCommand(const std::vector<std::string_view>& w, ScriptEvent& ev)
{
    const Command* cmd = nullptr;
    for (const auto& c : kCommands)
        if (w[1] == c.name)
            cmd = &c;
    if (!cmd)
        return "unknown command \"" + std::string(w[1]) + "\"";
    if (w.size() - 2 != cmd->args)
        return std::string(cmd->name) + " takes " + std::to_string(cmd->args) + " argument(s)";
    ev.kind = cmd->kind;
    switch (cmd->kind) {
    case ScriptEvent::Kind::Touch:
    case ScriptEvent::Kind::Move:
    case ScriptEvent::Kind::Release:
        if (!number(w[2], ev.id) || ev.id < 0)
            return "bad touch id \"" + std::string(w[2]) + "\"";
        if (!number(w[3], ev.x) || !number(w[4], ev.y))
            return "bad position";
        return {};
    case ScriptEvent::Kind::Key:
        return number(w[2], ev.id) ? "" : "bad key code \"" + std::string(w[2]) + "\"";
    case ScriptEvent::Kind::KeyboardShown:
        if (w[2] == "hidden")
            ev.kind = ScriptEvent::Kind::KeyboardHidden;
        else if (w[2] != "shown")
            return "keyboard takes shown or hidden";
        return {};
    case ScriptEvent::Kind::Accel:
        for (int i = 0; i < 3; ++i)
            if (!force(w[2 + size_t(i)], ev.force[i]))
                return "bad force \"" + std::string(w[2 + size_t(i)]) + "\"";
        return {};
    case ScriptEvent::Kind::Shot:
        ev.path = std::string(w[2]);
        if (ev.path.size() < 5 || ev.path.compare(ev.path.size() - 4, 4, ".png") != 0)
            return "shot needs a path ending in .png";
        return {};
    default:
        return {};
    }
}

}  // namespace

std::optional<InputScript> InputScript::parse(std::string_view text, std::string& error)
{
    InputScript script;
    size_t lineNo = 0;
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        const std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        ++lineNo;
        const auto w = split(line);
        if (w.empty() || w[0][0] == '#')
            continue;
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(lineNo) + ": " + why;
            return std::nullopt;
        };
        ScriptEvent ev;
        if (!number(w[0], ev.frame))
            return fail("bad frame number \"" + std::string(w[0]) + "\"");
        if (w.size() < 2)
            return fail("missing command");
        if (!script.m_events.empty() && ev.frame < script.m_events.back().frame)
            return fail("frame " + std::to_string(ev.frame) + " comes after frame " +
                        std::to_string(script.m_events.back().frame));
        if (std::string why = parseCommand(w, ev); !why.empty())
            return fail(why);
        script.m_events.push_back(std::move(ev));
    }
    return script;
}

std::optional<InputScript> InputScript::load(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot be read";
        return std::nullopt;
    }
    const std::string text(std::istreambuf_iterator<char>(in), {});
    return parse(text, error);
}

}  // namespace platform
