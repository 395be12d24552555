#include "tests/audio/decoders/TrackerModule.h"

#include <cstdint>

namespace test {

namespace {

void be16(std::string& s, unsigned v) {
    s.push_back(char((v >> 8) & 0xff));
    s.push_back(char(v & 0xff));
}

// One pattern cell: sample number, Amiga period, effect and parameter.
void cell(std::string& s, unsigned sample, unsigned period, unsigned effect, unsigned param) {
    s.push_back(char((sample & 0xf0) | ((period >> 8) & 0x0f)));
    s.push_back(char(period & 0xff));
    s.push_back(char(((sample & 0x0f) << 4) | (effect & 0x0f)));
    s.push_back(char(param));
}

}  // namespace

std::string tinyModule() {
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
            if (row == 15 && channel == 3) cell(m, 0, 0, 0xD, 0);  // pattern break: the song ends
            else if (row % 4 == 0 && channel == (row / 4) % 4) cell(m, 1, periods[(row / 4) % 4], 0, 0);
            else cell(m, 0, 0, 0, 0);
        }
    }
    for (unsigned i = 0; i < sampleWords * 2; ++i)
        m.push_back(char(int8_t(i < sampleWords ? 90 : -90) + int8_t(i % 7)));
    return m;
}

}  // namespace test
