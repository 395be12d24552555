#pragma once
// Animation records built in memory: a flat record image (references are byte offsets, 0 null)
// holding one SAnimation with its samplers, channels, target descriptor and quantisation record,
// and key data arrays beside it, resolved as a loaded segment would be.

#include "engine/collada/AnimationTrackLookup.h"
#include "engine/collada/SAnimationAccessor.h"
#include "engine/collada/SAnimationRecords.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace test {

struct SamplerSpec {
    std::uint32_t interpolation = 1;
    std::uint32_t timeBase = pravik::collada::ETB_MILLISECONDS;
    std::uint32_t keyTimeArray = 0;
    std::uint32_t valueType = pravik::collada::EKVT_FLOAT;
    std::uint32_t components = 1;
    std::uint32_t keyValueArray = 1;
};

struct ChannelSpec {
    std::uint32_t type = 1;
    std::string target = "node";
    std::string parameter;      // written as the channel's text when set
    std::uint32_t morphTarget = 0;
};

struct AnimationSpec {
    std::vector<ChannelSpec> channels{ChannelSpec()};
    std::vector<SamplerSpec> samplers{SamplerSpec()};  // one per channel (the last repeats)
    bool descriptor = false;
    std::uint32_t mask = 0, arity = 0;
    std::vector<std::uint8_t> defaultValue;  // empty: no default value
    bool quantised = false;
    std::uint32_t storage = pravik::collada::EKS_FLOAT;
    std::vector<float> scales, offsets;
};

template <class T>
std::vector<std::uint8_t> bytesOf(const std::vector<T>& v)
{
    std::vector<std::uint8_t> b(v.size() * sizeof(T));
    if (!v.empty())
        std::memcpy(b.data(), v.data(), b.size());
    return b;
}

class RecordImage {
public:
    RecordImage() : m_bytes(4, 0) {}
    std::uint32_t put(const void* data, std::size_t size)
    {
        while (m_bytes.size() % 4)
            m_bytes.push_back(0);
        const std::uint32_t at = std::uint32_t(m_bytes.size());
        const auto* p = static_cast<const std::uint8_t*>(data);
        m_bytes.insert(m_bytes.end(), p, p + size);
        return at;
    }
    std::uint32_t putWords(const std::vector<std::uint32_t>& w) { return put(w.data(), w.size() * 4); }
    std::uint32_t text(const std::string& s) { return put(s.c_str(), s.size() + 1); }
    void patch(std::uint32_t at, std::uint32_t value) { std::memcpy(&m_bytes[at], &value, 4); }
    std::vector<std::uint8_t>& bytes() { return m_bytes; }

    std::uint32_t animation(const AnimationSpec& s)
    {
        std::vector<std::uint32_t> samplers, channels;
        for (std::size_t i = 0; i < s.channels.size(); ++i) {
            const SamplerSpec& sp = s.samplers[i < s.samplers.size() ? i : s.samplers.size() - 1];
            samplers.insert(samplers.end(),
                            {sp.interpolation, sp.timeBase, 0, sp.keyTimeArray, sp.valueType, sp.components, sp.keyValueArray});
        }
        std::vector<std::uint32_t> channelTexts;
        for (const ChannelSpec& c : s.channels) {
            const std::uint32_t target = text(c.target);
            const std::uint32_t extra = c.parameter.empty() ? c.morphTarget : text(c.parameter);
            channels.insert(channels.end(), {0, target, c.type, extra});
        }
        const std::uint32_t samp = putWords(samplers), chan = putWords(channels);
        std::uint32_t desc = 0, quant = 0;
        if (s.descriptor) {
            const std::uint32_t def = s.defaultValue.empty() ? 0 : put(s.defaultValue.data(), s.defaultValue.size());
            desc = putWords({s.mask, s.arity, def});
        }
        if (s.quantised) {
            const std::uint32_t sc = s.scales.empty() ? 0 : put(s.scales.data(), s.scales.size() * 4);
            const std::uint32_t of = s.offsets.empty() ? 0 : put(s.offsets.data(), s.offsets.size() * 4);
            quant = putWords({s.storage, sc, of});
        }
        return putWords({0, 0, samp, std::uint32_t(s.channels.size()), chan, 0, desc, quant});
    }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Key arrays of one segment, in the order added.
class KeyData {
public:
    template <class T>
    std::uint32_t add(const std::vector<T>& values)
    {
        m_buffers.push_back(std::make_unique<std::vector<std::uint8_t>>(bytesOf(values)));
        m_counts.push_back(std::uint32_t(values.size()));
        refresh();
        return std::uint32_t(m_arrays.size() - 1);
    }
    const pravik::collada::SAnimationData* data() const { return &m_data; }

private:
    void refresh()
    {
        m_arrays.clear();
        for (std::size_t i = 0; i < m_buffers.size(); ++i)
            m_arrays.push_back({m_buffers[i]->data(), m_counts[i], std::uint32_t(m_buffers[i]->size())});
        m_data = {m_arrays.data(), std::uint32_t(m_arrays.size())};
    }
    std::vector<std::unique_ptr<std::vector<std::uint8_t>>> m_buffers;
    std::vector<std::uint32_t> m_counts;
    std::vector<pravik::collada::SKeyArray> m_arrays;
    pravik::collada::SAnimationData m_data;
};

// One animation: its record, its resolved view with the looked-up track, and its key data.
struct Animation {
    RecordImage image;
    KeyData keys;
    std::unique_ptr<pravik::collada::CFlatRecordSpace> space;
    pravik::collada::SAnimationView view;
    pravik::collada::SKeySearchCache cache;

    // Resolves spec; the key arrays are whatever was added to keys before.
    bool build(const AnimationSpec& spec)
    {
        const std::uint32_t ref = image.animation(spec);
        space = std::make_unique<pravik::collada::CFlatRecordSpace>(image.bytes().data(),
                                                                      std::uint32_t(image.bytes().size()));
        if (!view.resolve(*space, ref))
            return false;
        view.track = pravik::collada::getAnimationTrackEx(&view);
        return true;
    }
    pravik::collada::SAnimationAccessor accessor() { return {&view, keys.data(), &cache}; }
    const pravik::collada::CAnimationTrackEx* track() const
    {
        return static_cast<const pravik::collada::CAnimationTrackEx*>(view.track);
    }
};

template <class T>
std::vector<std::uint8_t> defaultOf(std::initializer_list<T> v)
{
    return bytesOf(std::vector<T>(v));
}

} // namespace test
