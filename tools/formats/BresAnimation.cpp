#include "tools/formats/BresAnimation.h"

#include <cstring>

namespace formats::bres {

std::string keyData(const std::vector<SKeyArraySpec>& arrays)
{
    std::string out(4 + 8 * arrays.size(), '\0');
    auto put = [&out](size_t at, uint32_t v) { std::memcpy(&out[at], &v, 4); };
    put(0, uint32_t(arrays.size()));
    for (size_t i = 0; i < arrays.size(); ++i) {
        const size_t field = 8 + 8 * i;
        put(4 + 8 * i, arrays[i].count);
        put(field, uint32_t(out.size() - field));
        out += arrays[i].bytes;
        while (out.size() % 4)
            out.push_back('\0');
    }
    return out;
}

std::string finishAnimated(Writer& w, const SAnimationsSpec& spec)
{
    w.u32(0x14, spec.sharedKeyTimes ? 1 : 0);
    w.str(0x18, "whole");
    w.s32(0x1C, spec.start);
    w.s32(0x20, spec.end);

    const uint32_t anims = w.newVec(0x24, uint32_t(spec.animations.size()), 32);
    for (size_t i = 0; i < spec.animations.size(); ++i) {
        const SAnimationSpec& a = spec.animations[i];
        const uint32_t rec = anims + 32 * uint32_t(i);
        w.str(rec, a.target + "-anim");
        const uint32_t sampler = w.alloc(28);
        w.u32(sampler, a.interpolation);
        w.u32(sampler + 4, a.timeBase);
        w.u32(sampler + 0xC, a.keyTimeArray);
        w.u32(sampler + 0x10, a.valueType);
        w.u32(sampler + 0x14, a.components);
        w.u32(sampler + 0x18, a.keyValueArray);
        w.ptr(rec + 8, sampler);
        const uint32_t channel = w.alloc(16);
        w.str(channel + 4, a.target);
        w.u32(channel + 8, a.channelType);
        w.u32(channel + 0xC, a.subIndex);
        w.u32(rec + 0xC, 1);
        w.ptr(rec + 0x10, channel);
    }

    const uint32_t clips = w.newVec(0x34, uint32_t(spec.clips.size()), 12);
    for (size_t i = 0; i < spec.clips.size(); ++i) {
        w.str(clips + 12 * uint32_t(i), spec.clips[i].name);
        w.s32(clips + 12 * uint32_t(i) + 4, spec.clips[i].start);
        w.s32(clips + 12 * uint32_t(i) + 8, spec.clips[i].end);
    }

    std::string trailing;
    std::vector<std::pair<uint32_t, uint32_t>> streamedOffsets;  // {slot, position in the trailing bytes}
    if (!spec.segments.empty()) {
        const uint32_t list = w.alloc(8);
        w.ptr(0x30, list);
        const uint32_t segs = w.newVec(list, uint32_t(spec.segments.size()), 24);
        for (size_t i = 0; i < spec.segments.size(); ++i) {
            const SSegmentSpec& s = spec.segments[i];
            const uint32_t rec = segs + 24 * uint32_t(i);
            w.s32(rec, s.first);
            w.s32(rec + 4, s.end);
            if (s.streamed) {
                streamedOffsets.push_back({rec + 0xC, uint32_t(trailing.size())});
                w.u32(rec + 0x10, uint32_t(s.keyData.size()));
                trailing += s.keyData;
            } else {
                const uint32_t data = w.alloc(uint32_t(s.keyData.size()));
                w.bytes(data, s.keyData);
                w.u32(rec + 8, 1);
                w.ptr(rec + 0x14, data);
            }
        }
    }

    if (!spec.events.empty()) {
        const uint32_t ev = w.alloc(0x18);
        w.ptr(0x2C, ev);
        w.u32(ev, 4);
        w.u32(ev + 8, uint32_t(spec.events.size()));
        w.u32(ev + 0x10, uint32_t(spec.events.size()));
        const uint32_t times = w.alloc(4 * uint32_t(spec.events.size()));
        const uint32_t lists = w.alloc(8 * uint32_t(spec.events.size()));
        for (size_t i = 0; i < spec.events.size(); ++i) {
            w.s32(times + 4 * uint32_t(i), spec.events[i].timeMs);
            const uint32_t names = w.alloc(4 * uint32_t(spec.events[i].names.size()));
            for (size_t n = 0; n < spec.events[i].names.size(); ++n)
                w.str(names + 4 * uint32_t(n), spec.events[i].names[n]);
            w.u32(lists + 8 * uint32_t(i), uint32_t(spec.events[i].names.size()));
            w.ptr(lists + 8 * uint32_t(i) + 4, names);
        }
        w.ptr(ev + 0xC, times);
        w.ptr(ev + 0x14, lists);
    }

    if (trailing.empty())
        return w.finish();
    // Streamed offsets are absolute: place the trailing bytes, then patch and write again.
    w.setTrailing(trailing);
    const std::string first = w.finish();
    const uint32_t trailingStart = uint32_t(first.size() - trailing.size());
    for (const auto& [slot, pos] : streamedOffsets)
        w.u32(slot, trailingStart + pos);
    return w.finish();
}

}  // namespace formats::bres
