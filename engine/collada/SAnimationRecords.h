#pragma once
// Views onto the animation records of a loaded scene file. The records stay byte-exact in the
// file's image; their 32-bit reference fields are resolved through the file (IRecordSpace), never
// turned into native pointers in place. A view is resolved once, with every size checked, and
// then read without further checks.
//
// SAnimation (32 bytes): +8 samplers, +0xC channel count, +0x10 channels, +0x14 bound track
// (kept beside the image), +0x18 target descriptor or 0, +0x1C quantisation record or 0.
// Sampler (28 bytes): +0 interpolation (0 step), +4 time base (1 u8 frames, 3 u16 frames,
// 4 s32 ms), +0xC key-time array, +0x10 value type (1 bytes, 6 floats), +0x14 components per
// key, +0x18 key-value array. Channel (16 bytes): +4 target id, +8 type, +0xC morph target byte
// or parameter name. Target descriptor: +0 mask, +4 arity, +8 default value. Quantisation:
// +0 key storage (0 s8, 1 s16, 2 float), +4 scales, +8 offsets.

#include <cstdint>
#include <cstring>

namespace pravik::collada {

class IAnimationTrackEx;

inline std::uint32_t loadU32(const unsigned char* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline float loadF32(const unsigned char* p)
{
    float v;
    std::memcpy(&v, p, 4);
    return v;
}

// How a loaded file resolves the references stored in its records.
class IRecordSpace {
public:
    virtual ~IRecordSpace() = default;
    // The bytes [ref, ref + size) as one readable range, or null when ref is 0 or the range
    // leaves the region it points into.
    virtual const unsigned char* resolve(std::uint32_t ref, std::uint32_t size) const = 0;
    // A zero-terminated text at ref, or null when ref is 0 or no terminator lies in its region.
    virtual const char* resolveText(std::uint32_t ref) const = 0;
};

// One region: references are byte offsets into a buffer the caller keeps alive; 0 is null.
class CFlatRecordSpace final : public IRecordSpace {
public:
    CFlatRecordSpace(const unsigned char* base, std::uint32_t size) : m_base(base), m_size(size) {}
    const unsigned char* resolve(std::uint32_t ref, std::uint32_t size) const override;
    const char* resolveText(std::uint32_t ref) const override;
    const unsigned char* base() const { return m_base; }

private:
    const unsigned char* m_base;
    std::uint32_t m_size;
};

// Key data arrays: element count and the bytes that follow the first element.
struct SKeyArray {
    const unsigned char* data = nullptr;
    std::uint32_t count = 0;
    std::uint32_t bytes = 0;

    // Element i read as T, or T() when it lies outside the array.
    template <class T>
    T at(std::uint32_t i) const
    {
        if (i >= count || std::uint64_t(i + 1ull) * sizeof(T) > bytes)
            return T();
        T v;
        std::memcpy(&v, data + std::size_t(i) * sizeof(T), sizeof(T));
        return v;
    }
    // True when count elements of width bytes each lie in the array.
    bool holds(std::uint32_t width) const { return std::uint64_t(count) * width <= bytes; }
};

// The key data of one segment (SAnimationData): its arrays, resolved by their owner.
struct SAnimationData {
    const SKeyArray* arrays = nullptr;
    std::uint32_t count = 0;
    const SKeyArray* get(std::uint32_t n) const { return n < count ? &arrays[n] : nullptr; }
};

enum E_KEY_STORAGE : std::uint32_t { EKS_S8 = 0, EKS_S16 = 1, EKS_FLOAT = 2 };
enum E_TIME_BASE : std::uint32_t { ETB_FRAMES_U8 = 1, ETB_FRAMES_U16 = 3, ETB_MILLISECONDS = 4 };
enum E_KEY_VALUE_TYPE : std::uint32_t { EKVT_UBYTE = 1, EKVT_FLOAT = 6 };

struct SSamplerView {
    std::uint32_t interpolation = 0;
    std::uint32_t timeBase = 0;
    std::uint32_t keyTimeArray = 0;
    std::uint32_t valueType = 0;
    std::uint32_t components = 0;
    std::uint32_t keyValueArray = 0;
};

struct SChannelView {
    const char* target = nullptr;  // null when the record has none
    std::uint32_t type = 0;
    std::uint32_t extra = 0;       // morph target number (low byte) or the name's reference
};

// A resolved animation record. Built by resolve(); every pointer is inside the file.
struct SAnimationView {
    static constexpr std::uint32_t RECORD_SIZE = 32, SAMPLER_SIZE = 28, CHANNEL_SIZE = 16;
    static constexpr std::uint32_t MAX_QUANTISED_COMPONENTS = 4;

    const IRecordSpace* file = nullptr;
    const unsigned char* record = nullptr;
    const unsigned char* samplers = nullptr;  // one per channel
    const unsigned char* channels = nullptr;
    std::uint32_t channelCount = 0;
    bool hasDescriptor = false;
    std::uint32_t mask = 0, arity = 0;
    std::uint32_t defaultRef = 0;
    bool hasQuantisation = false;
    std::uint32_t storage = EKS_FLOAT;
    float scales[MAX_QUANTISED_COMPONENTS] = {};
    float offsets[MAX_QUANTISED_COMPONENTS] = {};
    const IAnimationTrackEx* track = nullptr;  // the bound track, set by whoever binds the record
    SSamplerView sampler0;                     // read on every evaluation: kept decoded

    // Resolves the record at ref; false (and an empty view) when a part lies outside the file
    // or the record has no channel.
    bool resolve(const IRecordSpace& space, std::uint32_t ref);

    SSamplerView sampler(std::uint32_t s) const { return s == 0 ? sampler0 : samplerAt(s); }
    SSamplerView samplerAt(std::uint32_t s) const;  // empty for s past channelCount
    SChannelView channel(std::uint32_t i) const;  // i below channelCount
    const char* channelText(std::uint32_t i) const;  // the parameter name of channel i, or null
    // The default value as size bytes, or null when there is none or it is shorter.
    const void* defaultValue(std::uint32_t size) const;
};

} // namespace pravik::collada
