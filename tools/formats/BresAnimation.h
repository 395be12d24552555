// Scene files (".bdae"): the animation part of a BRES image, written through the BRES writer:
// animation records (one channel and sampler each, ms key times), clips, key-data segments
// (resident in the image or streamed from the trailing area, absolute file offsets), the
// whole-animation range, the shared-key-times flag and the events record.
#pragma once

#include "tools/formats/BresWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace formats::bres {

// Key data of one segment: {count, offset from its own field} descriptors, then the arrays.
struct SKeyArraySpec {
    uint32_t count;
    std::string bytes;
};
std::string keyData(const std::vector<SKeyArraySpec>& arrays);
template <class T>
SKeyArraySpec keyArray(const std::vector<T>& values)
{
    return {uint32_t(values.size()), std::string(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T))};
}

struct SAnimationSpec {
    std::string target;
    uint32_t channelType = 1;
    uint32_t interpolation = 1;
    uint32_t timeBase = 4;
    uint32_t keyTimeArray = 0;
    uint32_t valueType = 6;
    uint32_t components = 3;
    uint32_t keyValueArray = 1;
    uint32_t subIndex = 0;  // the channel's byte: morph target number or component
};
struct SClipSpec {
    std::string name;
    int32_t start, end;
};
struct SSegmentSpec {
    int32_t first, end;  // end exclusive
    std::string keyData;
    bool streamed = false;
};
struct SEventSpec {
    int32_t timeMs;
    std::vector<std::string> names;
};
struct SAnimationsSpec {
    std::vector<SAnimationSpec> animations;
    std::vector<SClipSpec> clips;
    int32_t start = 0, end = 0;
    bool sharedKeyTimes = false;
    std::vector<SSegmentSpec> segments;
    std::vector<SEventSpec> events;
};

// Adds the animations to w and answers the finished file (streamed key data trails it).
std::string finishAnimated(Writer& w, const SAnimationsSpec& spec);

}  // namespace formats::bres
