// The XML reader against pugixml on the same 5 MB document: every node is stepped through (and
// its name and attributes touched) as a loader would, while pugixml builds its whole tree.

#include <benchmark/benchmark.h>

#include <cstring>
#include <pugixml.hpp>
#include <string>

#include "engine/io/CXMLReaderImpl.h"

using namespace pravik::io;

namespace {

// A scene-like document: nested elements with attributes, text with entities, comments.
const std::string& document()
{
    static const std::string doc = [] {
        std::string d = "<?xml version=\"1.0\"?>\n<scene>\n";
        int i = 0;
        while (d.size() < 5u * 1024 * 1024) {
            d += "  <node type=\"mesh\" id=\"" + std::to_string(i) + "\" name=\"node_" + std::to_string(i) +
                 "\">\n";
            d += "    <attributes>\n";
            d +=
                "      <vector3d name=\"Position\" value=\"" + std::to_string(i % 97) + ".5, -2.25, 3\" />\n";
            d += "      <color name=\"Diffuse\" value=\"ff80" + std::to_string(10 + i % 89) + "00\" />\n";
            d += "      <string name=\"Caption\" value=\"a &amp; b &lt; c\" />\n";
            d += "    </attributes>\n";
            d += "    <!-- node " + std::to_string(i) + " -->\n";
            d += "    <text>Some text of the node, with &quot;quotes&quot; and more words.</text>\n";
            d += "  </node>\n";
            ++i;
        }
        return d + "</scene>\n";
    }();
    return doc;
}

class CMemorySource : public IFileReadCallBack {
public:
    explicit CMemorySource(const std::string& bytes) : m_bytes(bytes) {}
    int32_t read(void* buffer, int32_t size) override
    {
        const int32_t n = std::min<int32_t>(size, int32_t(m_bytes.size() - m_pos));
        memcpy(buffer, m_bytes.data() + m_pos, size_t(n));
        m_pos += size_t(n);
        return n;
    }
    int32_t getSize() override { return int32_t(m_bytes.size()); }

private:
    const std::string& m_bytes;
    size_t m_pos = 0;
};

template <class T>
void stepThrough(const std::string& bytes, benchmark::State& state)
{
    for (auto _ : state) {
        CXMLReaderImpl<T> reader(new CMemorySource(bytes), true);
        size_t nodes = 0, touched = 0;
        while (reader.read()) {
            ++nodes;
            touched += size_t(reader.getNodeName()[0]);
            for (int i = 0; i < reader.getAttributeCount(); ++i)
                touched += size_t(reader.getAttributeValue(i)[0]);
        }
        benchmark::DoNotOptimize(nodes);
        benchmark::DoNotOptimize(touched);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(document().size()));
}

void BM_XmlReaderNarrow(benchmark::State& state) { stepThrough<char>(document(), state); }

void BM_XmlReaderWideFrom8Bit(benchmark::State& state) { stepThrough<wchar_t>(document(), state); }

void BM_XmlReaderWideFromUtf32(benchmark::State& state)
{
    static const std::string utf32 = [] {
        std::string out("\xFF\xFE\0\0", 4);
        for (char c : document()) {
            const uint32_t u = uint8_t(c);
            out.append(reinterpret_cast<const char*>(&u), 4);
        }
        return out;
    }();
    stepThrough<wchar_t>(utf32, state);
}

void BM_Pugixml(benchmark::State& state)
{
    const std::string& doc = document();
    for (auto _ : state) {
        pugi::xml_document tree;
        const pugi::xml_parse_result result =
            tree.load_buffer(doc.data(), doc.size(), pugi::parse_default | pugi::parse_comments);
        benchmark::DoNotOptimize(result.status);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(doc.size()));
}

}  // namespace

BENCHMARK(BM_XmlReaderNarrow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlReaderWideFrom8Bit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlReaderWideFromUtf32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugixml)->Unit(benchmark::kMillisecond);
