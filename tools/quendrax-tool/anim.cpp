// quendrax-tool anim FILE: loads a scene file through the engine's scene-file manager and
// prints its animation part one record a line: clips; key-data segments (first, end, file
// offset, size, streamed or resident), each checked and resolved as the streaming does;
// events (time, names); animation records (target, channel type, key count, track kind or
// "none"). A refused file or segment exits non-zero with one line naming the failure.

#include "Tool.h"
#include "EngineOutput.h"

#include "engine/IDevice.h"
#include "engine/collada/AnimationTrackLookup.h"
#include "engine/collada/CAnimationFileData.h"
#include "engine/collada/CResFile.h"
#include "engine/collada/CResFileManager.h"
#include "engine/collada/SAnimationAccessor.h"

#include <boost/intrusive_ptr.hpp>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace pravik;
using namespace pravik::collada;
namespace fs = std::filesystem;

template <class... Args>
void line(std::string& out, const char* format, Args... args)
{
    char text[1024];
    std::snprintf(text, sizeof text, format, args...);
    out += text;
    out += '\n';
}

// Empty when fine, else the reason.
std::string listAnimations(CAnimationFileData& data, std::string& out)
{
    int i = 0;
    for (const SAnimationClipView& c : data.getClips())
        line(out, "clip\t%d\t%s\t%d..%d", i++, c.name ? c.name : "", c.start, c.end);
    line(out, "range\t%d..%d\tshared key times %d", data.getStart(), data.getEnd(), data.sharesKeyTimes() ? 1 : 0);
    std::vector<std::shared_ptr<SSegmentKeyData>> resolved;
    std::unique_ptr<IStreamedReader> reader;  // one open for every streamed segment
    for (int s = 0; s < data.getSegmentCount(); ++s) {
        const SAnimationSegmentInfo info = data.getSegment(s);
        line(out, "segment\t%d\t%d..%d\toffset %u\tsize %u\t%s", s, info.first, info.end, info.offset, info.size,
             info.streamed ? "streamed" : "resident");
        const char* why = "";
        if (info.streamed && !reader && !(reader = data.openStreamed()))
            return "segment " + std::to_string(s) + ": cannot be opened";
        std::shared_ptr<SSegmentKeyData> d = loadSegmentKeyData(data, info, &why, reader.get());
        if (!d)
            return "segment " + std::to_string(s) + ": " + why;
        resolved.push_back(d);
    }
    if (const SAnimationEventsView* ev = data.getEvents())
        for (std::uint32_t k = 0; k < ev->count; ++k) {
            std::string names;
            for (std::uint32_t n = 0; n < ev->nameCount(k); ++n) {
                const char* name = ev->name(k, n);
                names += (names.empty() ? "" : ",") + std::string(name ? name : "?");
            }
            line(out, "event\t%u\t%d\t%s", k, ev->keyTimeMs(k), names.empty() ? "-" : names.c_str());
        }
    i = 0;
    for (const SAnimationView& a : data.getAnimations()) {
        if (!a.record) {
            line(out, "animation\t%d\tunreadable\tnone", i++);
            continue;
        }
        SKeySearchCache cache;
        const SAnimationAccessor acc(&a, resolved.empty() ? nullptr : &resolved.front()->data, &cache);
        const SChannelView c = a.channel(0);
        line(out, "animation\t%d\ttarget %s\ttype %u\tkeys %u\t%s", i++, c.target ? c.target : "-", c.type,
             acc.getKeyTime(0).count, getAnimationTrackName(a.track));
    }
    return {};
}

int anim(std::span<char* const> args)
{
    if (args.size() != 1) return tool::fail("anim", "usage: anim FILE");
    std::error_code ec;
    std::string file = args[0];
    if (!fs::is_regular_file(file, ec)) return tool::fail("anim", file + ": no such file");
    file = fs::absolute(file, ec).string();

    std::string out, failure;
    {
        tool::FirstEngineError errors;
        tool::QuietStdout quiet;
        SCreationParameters parameters;
        parameters.DriverType = video::EDT_NULL;
        const boost::intrusive_ptr<IDevice> device(createDeviceEx(parameters), false);
        CResFileManager* manager = device ? device->getResFileManager() : nullptr;
        if (!manager) return tool::fail("anim", "the engine cannot be created");
        CResFile* loaded = manager->get(file.c_str(), true);
        if (!loaded) return tool::fail("anim", file + ": " + manager->getLastError());
        boost::intrusive_ptr<CAnimationFileData> data = CAnimationFileData::get(loaded);
        if (!data) return tool::fail("anim", file + ": no root record");
        failure = listAnimations(*data, out);
    }
    if (!failure.empty()) return tool::fail("anim", file + ": " + failure);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

const tool::ToolCommand animCommand("anim", "FILE", anim);

}  // namespace
