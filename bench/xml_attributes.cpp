// Attribute store look-ups (a linear scan with a byte comparison per candidate) in a context of
// 200 attributes, and a store carried through its XML block and back.

#include "engine/io/CAttributes.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CMemoryWriteFile.h"
#include "engine/io/CXMLAttributesReader.h"
#include "engine/io/CXMLAttributesWriter.h"
#include "engine/io/CXMLWriter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

using namespace pravik;
using namespace pravik::io;

namespace {

void fill(CAttributes& store)
{
    for (int i = 0; i < 200; ++i) {
        const std::string name = "Attribute" + std::to_string(i);
        if (i % 2)
            store.addInt(name.c_str(), i);
        else
            store.addVector3d(name.c_str(), {float(i), 0.5f, -1.f});
    }
}

void BM_AttributeLookupByName(benchmark::State& state)
{
    CAttributes store(nullptr);
    fill(store);
    for (auto _ : state) benchmark::DoNotOptimize(store.getInt("Attribute199"));
}

void BM_AttributeBlockRoundTrip(benchmark::State& state)
{
    CAttributes store(nullptr);
    fill(store);
    for (auto _ : state) {
        CMemoryWriteFile* file = new CMemoryWriteFile();
        CXMLWriter* writer = new CXMLWriter(file);
        CXMLAttributesWriter(writer, true, nullptr).write(&store);
        writer->drop();
        void* block = malloc(file->getBufferSize());
        memcpy(block, file->getBuffer(), file->getBufferSize());
        IReadFile* in = createMemoryReadFile(block, int32_t(file->getBufferSize()), "block", true);
        file->drop();
        IXMLReader* reader = createIXMLReader(in);
        in->drop();
        CAttributes back(nullptr);
        CXMLAttributesReader(reader, false, nullptr).read(&back);
        reader->drop();
        benchmark::DoNotOptimize(back.getAttributeCount());
    }
}

}  // namespace

BENCHMARK(BM_AttributeLookupByName);
BENCHMARK(BM_AttributeBlockRoundTrip)->Unit(benchmark::kMicrosecond);
