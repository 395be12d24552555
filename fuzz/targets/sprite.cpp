// Sprite descriptions (".bsprite"): the reader, then every table it keeps is checked against the
// counts it reports, and every frame is measured (nested frames included), every record decoded
// and every marker and animation frame asked for.

#include "fuzz/FuzzTarget.h"

#include "framework/CAISprite.h"
#include "tools/formats/SpriteWriter.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// A table shorter than its count would be read past its end by the painter.
void atLeast(size_t have, size_t need) {
    if (have < need) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const boost::intrusive_ptr<CAISprite> sprite(new CAISprite(), false);
    if (!sprite->Load(data, size, "fuzz")) return 0;
    CAISprite& s = *sprite;
    const size_t modules = size_t(s.m_moduleCount), frames = size_t(s.m_frameCount);
    for (const auto* table : {&s.m_moduleX, &s.m_moduleY, &s.m_moduleW, &s.m_moduleH}) atLeast(table->size(), modules);
    atLeast(s.m_moduleImage.size(), modules), atLeast(s.m_moduleKind.size(), modules);
    atLeast(s.m_moduleColor.size(), modules);
    atLeast(s.m_frameFmCount.size(), frames), atLeast(s.m_frameFirst.size(), frames);
    atLeast(s.m_fmodules.size(), size_t(s.m_fmoduleCount) * size_t(s.m_fmoduleSize));
    atLeast(s.m_aframes.size(), size_t(s.m_aframeCount) * size_t(s.m_aframeSize));
    atLeast(s.m_animFrameCount.size(), size_t(s.m_animCount)), atLeast(s.m_animFirst.size(), size_t(s.m_animCount));

    uint32_t sum = 0;
    for (int k = 0; k < s.m_fmoduleCount; ++k) {
        const CAISprite::SFModule fm = s.FModule(k);
        sum += uint32_t(fm.index + fm.x + fm.y + fm.flags + fm.extra + fm.scaleX + fm.scaleY);
    }
    for (int k = 0; k < s.m_aframeCount; ++k) {
        const CAISprite::SAFrame af = s.AFrame(k);
        sum += uint32_t(af.frame + af.time + af.dx + af.dy + af.flags);
    }
    std::vector<int> markers;
    for (int f = 0; f < s.m_frameCount; ++f) {
        int rect[4];
        s.GetFrameRect(rect, f, 3, 4, 0);
        s.GetFrameRect(rect, f, 3, 4, 3);  // both flips
        sum += uint32_t(rect[0] + rect[1] + rect[2] + rect[3]);
        const int n = s.GetNumFrameMarkers(f, -1);
        markers.assign(size_t(4 * n + 1), 0);
        s.GetFrameMarkers(f, markers.data(), int(markers.size()), 3, -1);
        for (int m = 0; m < s.m_moduleCount && m < 8; ++m) {
            int x = 0, y = 0;
            s.PaintFrame_ForModulePosFind(m, &x, &y, f, 0, 0, 0);
        }
        for (int i = 0; i < s.FrameFModuleCount(f); ++i)
            sum += uint32_t(s.GetFModuleOffX(f, i) + s.GetFModuleOffY(f, i) + s.GetFModuleFlags(f, i));
    }
    for (int a = 0; a < s.m_animCount; ++a)
        for (int i = 0; i < s.AnimAFrameCount(a); ++i) sum += uint32_t(s.GetAFrameTime(a, i) + s.GetAFrameFlag(a, i));
    // One advance a frame-module record, for the first 256 of them.
    if (const int16_t* advances = s.RecordAdvances())
        fuzz::sum(advances, size_t(std::min(s.m_fmoduleCount, 256)) * sizeof(int16_t));
    fuzz::sum(&sum, sizeof sum);
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    namespace fs = formats::sprites;
    fs::Sprite plain;
    plain.addImageModule(0, 0, 0, 8, 8);
    plain.addImageModule(0, 8, 0, 4, 4);
    plain.addFrame({{0, 0, 0, 0}, {1, 2, 3, 1}});
    plain.addAnim({{0, 2, 1, -1, 0}});

    fs::Sprite full = plain;  // markers, both rect tables, nested frames, extended records, version 4
    full.version = 0x04DF;
    full.ext = 1;
    full.flags |= 0x2000 | 0x8000;
    fs::Module rect;
    rect.type = 0xFE, rect.colour = 0x80402010, rect.w = 5, rect.h = 6;
    fs::Module marker;
    marker.type = 0xFD, marker.w = 1, marker.h = 1;
    full.modules.insert(full.modules.end(), {rect, marker});
    full.addFrame({{0, 5, 5, 0x10, 1, 150, 50}, {3, 1, 1, 0}});
    full.frames[1].markers = 1;
    full.markerRects = {1, 2, 3, 4};
    full.addAnim({{0, 2, 1, -1, 0}, {1, 3, 0, 0, 4}});

    fs::Sprite small = plain;  // 8-bit positions, short records
    small.flags = 0x1 | 0x2 | 0x4 | 0x100 | 0x10000;
    std::vector<std::string> all;
    for (const fs::Sprite& s : {plain, full, small}) {
        const std::vector<uint8_t> bytes = fs::Write(s);
        all.emplace_back(bytes.begin(), bytes.end());
    }
    return all;
}
