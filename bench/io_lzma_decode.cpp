// Decoding 1 MB LZMA-pack members (text and binary) with the pack reader's own decoder, side by
// side with liblzma's decoder on the same member bytes.

#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CZipLZMAReader.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <lzma.h>
#include <random>
#include <string>

namespace {

std::string le32(uint32_t v)
{
    return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}

std::string sample(bool text)
{
    std::mt19937 rng(9);
    std::string s;
    static const char* words[] = {"brick ", "paddle ", "ball ", "level ", "score ", "\n"};
    while (s.size() < (1u << 20))
        s += text ? std::string(words[rng() % 6]) : std::string(1, char(rng() % 64 * (rng() % 3 == 0)));
    s.resize(1u << 20);
    return s;
}

std::string member(const std::string& data)
{
    lzma_options_lzma opt;
    lzma_lzma_preset(&opt, 6);
    lzma_stream s = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&s, &opt) != LZMA_OK)
        return {};
    std::string out(data.size() + 65536, '\0');
    s.next_in = reinterpret_cast<const uint8_t*>(data.data());
    s.avail_in = data.size();
    s.next_out = reinterpret_cast<uint8_t*>(out.data());
    s.avail_out = out.size();
    if (lzma_code(&s, LZMA_FINISH) != LZMA_STREAM_END)
        out.clear();
    out.resize(s.total_out);
    lzma_end(&s);
    out.replace(5, 8, le32(uint32_t(data.size())) + le32(0));
    return out;
}

void BM_LzmaDecode_PackReader(benchmark::State& state)
{
    const std::string data = sample(state.range(0) != 0), m = member(data);
    const auto key = pravik::io::CZipLZMAReader::makeKey("m");
    const std::string pack = le32(1) + le32(uint32_t(pravik::io::CZipLZMAReader::ComputeHash(key.c_str()))) +
                             le32(7) + le32(uint32_t(m.size())) + std::string(12, '\0') + m;
    char* copy = static_cast<char*>(std::malloc(pack.size()));
    std::memcpy(copy, pack.data(), pack.size());
    auto* file = pravik::io::createMemoryReadFile(copy, int32_t(pack.size()), "p", true);
    auto* reader = new pravik::io::CZipLZMAReader(file, false, false, 0);
    file->drop();
    for (auto _ : state) {
        pravik::io::IReadFile* f = reader->openFile("m");
        if (!f || f->getSize() != int32_t(data.size())) {
            state.SkipWithError("not decoded");
            break;
        }
        f->drop();
    }
    reader->drop();
    state.SetBytesProcessed(int64_t(state.iterations() * data.size()));
}
BENCHMARK(BM_LzmaDecode_PackReader)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_LzmaDecode_Liblzma(benchmark::State& state)
{
    const std::string data = sample(state.range(0) != 0), m = member(data);
    std::string out(data.size(), '\0');
    for (auto _ : state) {
        lzma_stream s = LZMA_STREAM_INIT;
        if (lzma_alone_decoder(&s, UINT64_MAX) != LZMA_OK) {
            state.SkipWithError("decoder");
            break;
        }
        s.next_in = reinterpret_cast<const uint8_t*>(m.data());
        s.avail_in = m.size();
        s.next_out = reinterpret_cast<uint8_t*>(out.data());
        s.avail_out = out.size();
        const lzma_ret r = lzma_code(&s, LZMA_RUN);
        lzma_end(&s);
        if (r != LZMA_OK && r != LZMA_STREAM_END) {
            state.SkipWithError("not decoded");
            break;
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations() * data.size()));
}
BENCHMARK(BM_LzmaDecode_Liblzma)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
