#include "tools/formats/TrackerModule.h"

#include "tools/formats/Bytes.h"

#include <cassert>

namespace formats::tracker {

namespace {

// One pattern in IT's packed form: per cell a channel byte with bit 7 set, a mask byte naming
// the fields that follow, then the fields; a zero byte ends each row.
std::string packPattern(const Pattern& p)
{
    Bytes packed;
    for (int row = 0; row < p.rows; ++row) {
        for (int c = 0; c < p.channels; ++c) {
            const Cell& cell = p.at(row, c);
            unsigned mask = 0;
            if (cell.note >= 0) mask |= 1;
            if (cell.sample > 0) mask |= 2;
            if (cell.volume >= 0) mask |= 4;
            if (cell.effect) mask |= 8;
            if (!mask) continue;
            packed.u8(unsigned(c + 1) | 0x80).u8(mask);
            if (mask & 1) packed.u8(unsigned(cell.note));
            if (mask & 2) packed.u8(unsigned(cell.sample));
            if (mask & 4) packed.u8(unsigned(std::min(cell.volume, 64)));
            if (mask & 8) packed.u8(unsigned(cell.effect - 'A' + 1)).u8(cell.param);
        }
        packed.u8(0);
    }
    Bytes out;
    out.u16(unsigned(packed.size())).u16(unsigned(p.rows)).zeros(4).raw(packed.data);
    return out.data;
}

}  // namespace

std::string itFile(const Module& m)
{
    std::vector<uint8_t> orders = m.orders;
    orders.push_back(255);  // end of song
    Bytes out;
    out.tag("IMPM").fixed(m.name, 26).u16(0x1004);
    out.u16(unsigned(orders.size())).u16(0).u16(unsigned(m.samples.size())).u16(unsigned(m.patterns.size()));
    out.u16(0x0214).u16(0x0214);
    out.u16(0x1 | 0x8);  // stereo, linear slides; no instruments: cells name samples
    out.u16(0);
    out.u8(unsigned(m.globalVolume)).u8(unsigned(m.mixVolume)).u8(unsigned(m.speed)).u8(unsigned(m.tempo));
    out.u8(128).u8(0);   // panning separation, pitch wheel depth
    out.u16(0).u32(0).u32(0);  // no message
    for (int c = 0; c < 64; ++c)
        out.u8(c < int(m.channelPan.size()) ? unsigned(m.channelPan[size_t(c)]) : 32);
    for (int c = 0; c < 64; ++c)
        out.u8(64);
    for (uint8_t o : orders)
        out.u8(o);
    const size_t sampleOffsets = out.size();
    out.zeros(4 * (m.samples.size() + m.patterns.size()));

    std::vector<size_t> headerAt;
    for (size_t i = 0; i < m.samples.size(); ++i) {
        const Sample& s = m.samples[i];
        out.patch32(sampleOffsets + 4 * i, uint32_t(out.size()));
        headerAt.push_back(out.size());
        const unsigned flags = 0x1 | 0x2 | (s.loop ? 0x10 : 0);
        out.tag("IMPS").fixed(s.name, 12).u8(0).u8(64).u8(flags).u8(unsigned(s.volume));
        out.fixed(s.name, 26).u8(0x1).u8(32);  // signed samples; default pan unused
        out.u32(uint32_t(s.pcm.size())).u32(s.loopBegin).u32(s.loop ? s.loopEnd : 0).u32(s.c5Speed);
        out.u32(0).u32(0).u32(0);  // sustain loop, data offset (patched below)
        out.u8(0).u8(0).u8(0).u8(0);  // no vibrato
    }
    for (size_t i = 0; i < m.patterns.size(); ++i) {
        assert(m.patterns[i].channels <= 64 && m.patterns[i].rows <= 200);
        out.patch32(sampleOffsets + 4 * (m.samples.size() + i), uint32_t(out.size()));
        out.raw(packPattern(m.patterns[i]));
    }
    for (size_t i = 0; i < m.samples.size(); ++i) {
        out.patch32(headerAt[i] + 72, uint32_t(out.size()));
        for (int16_t v : m.samples[i].pcm)
            out.s16(v);
    }
    return out.data;
}

namespace {

void be16(std::string& s, unsigned v)
{
    s.push_back(char((v >> 8) & 0xff));
    s.push_back(char(v & 0xff));
}

// One pattern cell: sample number, Amiga period, effect and parameter.
void modCell(std::string& s, unsigned sample, unsigned period, unsigned effect, unsigned param)
{
    s.push_back(char((sample & 0xf0) | ((period >> 8) & 0x0f)));
    s.push_back(char(period & 0xff));
    s.push_back(char(((sample & 0x0f) << 4) | (effect & 0x0f)));
    s.push_back(char(param));
}

}  // namespace

std::string tinyProTrackerModule()
{
    const unsigned sampleWords = 32;
    std::string m(20, '\0');
    m.replace(0, 4, "tiny");
    for (int i = 0; i < 31; ++i) {
        std::string header(22, '\0');
        if (i == 0) {
            be16(header, sampleWords);
            header.push_back(0);    // finetune
            header.push_back(48);   // volume
            be16(header, 0);        // loop start
            be16(header, sampleWords);
        } else {
            be16(header, 0);
            header.push_back(0);
            header.push_back(0);
            be16(header, 0);
            be16(header, 1);
        }
        m += header;
    }
    m.push_back(1);    // song length
    m.push_back(127);  // restart
    std::string order(128, '\0');
    m += order;
    m += "M.K.";
    const unsigned periods[] = {428, 381, 339, 320};
    for (int row = 0; row < 64; ++row) {
        for (int channel = 0; channel < 4; ++channel) {
            if (row == 15 && channel == 3) modCell(m, 0, 0, 0xD, 0);  // pattern break: the song ends
            else if (row % 4 == 0 && channel == (row / 4) % 4) modCell(m, 1, periods[(row / 4) % 4], 0, 0);
            else modCell(m, 0, 0, 0, 0);
        }
    }
    for (unsigned i = 0; i < sampleWords * 2; ++i)
        m.push_back(char(int8_t(i < sampleWords ? 90 : -90) + int8_t(i % 7)));
    return m;
}

}  // namespace formats::tracker
