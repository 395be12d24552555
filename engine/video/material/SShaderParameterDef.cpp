#include "engine/video/material/SShaderParameterDef.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/core/ProcessBuffer.h"

namespace pravik::video {

namespace {

// Scratch copy of a name from the process-buffer heap, allowed to overflow into ordinary
// memory for the call; the previous setting comes back on every exit.
class CScratch {
public:
    explicit CScratch(size_t length) : m_excess(core::isProcessBufferHeapExcessEnabled())
    {
        core::setProcessBufferHeapExcessEnabled(true);
        m_text = static_cast<char*>(core::allocProcessBuffer(int(length + 1)));
    }
    ~CScratch()
    {
        core::releaseProcessBuffer(m_text);
        core::setProcessBufferHeapExcessEnabled(m_excess);
    }
    CScratch(const CScratch&) = delete;
    CScratch& operator=(const CScratch&) = delete;
    char* data() { return m_text; }

private:
    bool m_excess;
    char* m_text;
};

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct SAlias {
    const char* key;
    unsigned char type;
};

struct SLess {
    bool operator()(const char* a, const char* b) const { return std::strcmp(a, b) < 0; }
};

#include "engine/video/material/ShaderParameterAliases.inc"

// Keys point at the alias literals and at lower-cased copies that the dictionary owns, so it
// stays valid for the life of the process whatever the engine's init and exit do.
class CDictionary {
public:
    CDictionary()
    {
        for (const SAlias& a : kAliases) m_map.emplace(a.key, E_SHADER_PARAMETER_TYPE(a.type));
        for (unsigned t = 0; t < ESPT_COUNT; ++t) {
            std::string lower = getStringsInternal((E_SHADER_PARAMETER_TYPE*)nullptr)[t];
            for (char& c : lower) c = lowerAscii(c);
            m_lowerNames[t] = std::move(lower);
            m_map.emplace(m_lowerNames[t].c_str(), E_SHADER_PARAMETER_TYPE(t));
        }
    }
    E_SHADER_PARAMETER_TYPE find(const char* key) const
    {
        auto it = m_map.find(key);
        return it == m_map.end() ? ESPT_NONE : it->second;
    }
    size_t size() const { return m_map.size(); }

private:
    std::string m_lowerNames[ESPT_COUNT];
    std::map<const char*, E_SHADER_PARAMETER_TYPE, SLess> m_map;
};

const CDictionary& dictionary()
{
    static const CDictionary instance;  // built once, thread-safe
    return instance;
}

// Digits dropped, brackets and what they enclose dropped, the rest lower-cased.
void normalise(const char* name, char* out)
{
    int depth = 0;
    for (; *name; ++name) {
        const char c = *name;
        if (c == '[') {
            ++depth;
            continue;
        }
        if (c == ']') {
            --depth;
            continue;
        }
        if (depth != 0 || isDigit(c)) continue;
        *out++ = lowerAscii(c);
    }
    *out = 0;
}

// Digits following the key's first occurrence in the lower-cased name, as [begin, end).
bool findNumberAfter(const char* lowered, const char* key, const char*& begin, const char*& end)
{
    const char* hit = std::strstr(lowered, key);
    if (!hit) return false;
    const char* p = hit + std::strlen(key);
    while (*p && !isDigit(*p)) ++p;
    begin = p;
    while (isDigit(*p)) ++p;
    end = p;
    return true;
}

void lowerCopy(const char* name, char* out)
{
    while (*name) *out++ = lowerAscii(*name++);
    *out = 0;
}

}  // namespace

E_SHADER_PARAMETER_TYPE guessShaderParameterType(const char* name)
{
    if (!name) return ESPT_NONE;
    CScratch scratch(std::strlen(name));
    normalise(name, scratch.data());
    return dictionary().find(scratch.data());
}

unsigned char guessSubIdFromName(const char* name, const char* key)
{
    if (!name || !key) return 0xff;
    CScratch scratch(std::strlen(name));
    lowerCopy(name, scratch.data());
    const char *begin, *end;
    if (!findNumberAfter(scratch.data(), key, begin, end) || begin == end) return 0xff;
    unsigned char value = 0;
    for (const char* p = begin; p != end; ++p) value = (unsigned char)(value * 10 + (*p - '0'));
    return value;
}

unsigned char guessSubIdFromName(const char* name, E_SHADER_PARAMETER_TYPE type)
{
    const char* first = nullptr;
    const char* second = nullptr;
    if (type >= ESPT_LIGHT_POSITION && type <= ESPT_LIGHT_CONE_ANGLES) {
        first = "light";
    } else if (type == ESPT_CLIP_PLANE) {
        first = "clipplane", second = "clip_plane";
    } else if (type == ESPT_BONE_QUATERNIONS) {
        first = "bonequat", second = "bone_quat";
    } else if (type >= ESPT_FOG_DENSITY && type <= ESPT_FOG_COLOR) {
        first = "fog";
    } else if (type == ESPT_TEXTURE || type == ESPT_TEXTURE_BIAS) {
        first = "sampler", second = "texture";
    } else {
        return 0xff;
    }
    const unsigned char id = guessSubIdFromName(name, first);
    return id == 0xff && second ? guessSubIdFromName(name, second) : id;
}

core::SSharedString getLightParameterName(const char* name)
{
    if (!name) return core::SSharedString();
    CScratch scratch(std::strlen(name));
    lowerCopy(name, scratch.data());
    const char *begin, *end;
    if (!findNumberAfter(scratch.data(), "light", begin, end)) return core::SSharedString();
    std::string text = "light";
    text.append(begin, end);
    return core::SSharedString(text.c_str());
}

unsigned short sortParameters(SShaderParameterDef* defs, unsigned short count)
{
    if (count == 0) return 0;
    std::vector<SShaderParameterDef> copy(defs, defs + count);
    unsigned short out = 0;
    for (const auto& d : copy)
        if (d.type >= ESPT_POINT_SIZE && d.type < ESPT_COUNT) defs[out++] = d;
    const unsigned short engineSupplied = out;
    for (const auto& d : copy)
        if (!(d.type >= ESPT_POINT_SIZE && d.type < ESPT_COUNT)) defs[out++] = d;
    return engineSupplied;
}

namespace detail {
size_t shaderParameterDictionarySize() { return dictionary().size(); }
}  // namespace detail

}  // namespace pravik::video
