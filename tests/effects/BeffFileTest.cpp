#include "effects/BeffFile.h"
#include "tools/formats/BeffWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

using formats::effects::constant;
using formats::effects::minimalEffect;
using formats::effects::writeBeff;

std::string words(std::initializer_list<std::uint32_t> ws)
{
    std::string s;
    for (std::uint32_t w : ws)
        for (int i = 0; i < 4; ++i)
            s.push_back(char(w >> (8 * i)));
    return s;
}

bool parseBytes(const std::string& bytes, beff::SFile& out, std::string& error)
{
    return beff::parse(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), out, error);
}

// A richer file: a scene entry, an emitter with every affector kind and a child.
beff::SFile richEffect()
{
    beff::SFile f = minimalEffect();
    beff::SEntry scene;
    scene.kind = 1;
    scene.scenePath = "SFX/scene.bdae";
    f.entries.insert(f.entries.begin(), scene);
    beff::SEmitter& e = f.entries.back().emitter;
    e.nodeId = "Dummy01";
    e.direction = constant(beff::Vec3(0.f, 0.f, 1.f));
    e.particle.colour[3] = formats::effects::ramp(255, 10, 0);
    for (int type = 0; type < 4; ++type) {
        beff::SAffector a;
        a.id = type + 1;
        a.type = type;
        a.strength = constant(0.5f);
        a.direction = constant(beff::Vec3(0.f, -1.f, 0.f));
        a.strengths[1] = 2.f;
        a.interval = 3;
        a.mode = 1;
        e.affectors.push_back(a);
    }
    beff::SEmitter child = e;
    child.affectors.clear();
    child.nodeId = "ignored";
    e.children.push_back(child);
    return f;
}

TEST(BeffFile, MinimalFileBytes)
{
    const std::string bytes = writeBeff(minimalEffect());
    std::string expected = "beff" + words({3, 1, 0, 0, 0});            // header, kind, node id, children
    expected += words({0, 0, 2, 0, 30, 0, 0, 0, 0, 0, 0, 0});             // emitter block
    expected += words({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // radii .. offsets
    expected += words({1, 0, 0, 0x40A00000, 1, 0, 0, 0x42480000});       // burst 5, radial speed 50
    expected += words({0, 0, 0, 0, 0, 0});                                 // directed, spread, direction
    expected += words({0, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0});  // particle block
    expected += words({10}) + std::string("spark.tga\0", 10);
    expected += words({0, 0, 0, 0, 0, 0, 0, 0});                           // colours
    expected += words({1, 0, 0, 0x41000000, 1, 0, 0, 0x41000000});       // width, height 8
    expected += words({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});                  // spins, scales, affectors
    EXPECT_EQ(bytes.size(), 410u);
    EXPECT_EQ(bytes, expected);

    beff::SFile f;
    std::string error;
    ASSERT_TRUE(parseBytes(bytes, f, error)) << error;
    ASSERT_EQ(f.entries.size(), 1u);
    const beff::SEmitter& e = f.entries[0].emitter;
    EXPECT_EQ(e.block, (std::array<std::int32_t, 12>{0, 0, 2, 0, 30, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(e.burstCount.keys, (std::vector<std::pair<int, float>>{{0, 5.f}}));
    EXPECT_EQ(e.radialSpeed.keys, (std::vector<std::pair<int, float>>{{0, 50.f}}));
    EXPECT_EQ(e.particle.texture, "spark.tga");
    EXPECT_EQ(e.particle.life, 20);
    EXPECT_EQ(e.particle.blend, 1);
    EXPECT_EQ(e.particle.sizes[1].keys.size(), 1u);
    EXPECT_TRUE(e.affectors.empty());
    EXPECT_TRUE(e.children.empty());
}

TEST(BeffFile, RichFileRoundTrips)
{
    const std::string bytes = writeBeff(richEffect());
    beff::SFile f;
    std::string error;
    ASSERT_TRUE(parseBytes(bytes, f, error)) << error;
    EXPECT_EQ(writeBeff(f), bytes);  // every member read back is written back alike
    ASSERT_EQ(f.entries.size(), 2u);
    EXPECT_EQ(f.entries[0].scenePath, "SFX/scene.bdae");
    EXPECT_EQ(f.entries[1].emitter.affectors.size(), 4u);
    EXPECT_EQ(f.entries[1].emitter.children.size(), 1u);
    EXPECT_EQ(f.entries[1].emitter.children[0].nodeId, "ignored");
}

TEST(BeffFile, LongNodeIdKeeps255Characters)
{
    beff::SFile file = minimalEffect();
    file.entries[0].emitter.nodeId = std::string(255, 'n');  // 256 bytes with its zero
    beff::SFile f;
    std::string error;
    ASSERT_TRUE(parseBytes(writeBeff(file), f, error)) << error;
    EXPECT_EQ(f.entries[0].emitter.nodeId, std::string(255, 'n'));
    EXPECT_EQ(f.entries[0].emitter.block[4], 30);  // the next field reads right

    file.entries[0].emitter.nodeId = std::string(300, 'x');
    ASSERT_TRUE(parseBytes(writeBeff(file), f, error)) << error;
    EXPECT_EQ(f.entries[0].emitter.nodeId, std::string(255, 'x'));
    EXPECT_EQ(f.entries[0].emitter.particle.texture, "spark.tga");
}

TEST(BeffFile, RefusedFiles)
{
    const std::string good = writeBeff(minimalEffect());
    auto at = [&](size_t offset, std::uint32_t v) {
        std::string s = good;
        for (int i = 0; i < 4; ++i)
            s[offset + size_t(i)] = char(v >> (8 * i));
        return s;
    };
    const struct { const char* why; std::string bytes; const char* message; } cases[] = {
        {"empty", "", "shorter than its 12-byte header"},
        {"short header", good.substr(0, 11), "shorter"},
        {"version 2", at(4, 2), "version 2 is not 3"},
        {"entries -1", at(8, 0xFFFFFFFFu), "entry count -1 is negative at byte 8"},
        {"entries huge", at(8, 0x7FFFFFFF), "exceeds the data at byte 8"},
        {"node id past the end", at(16, 5000), "entry 0: node id runs past the end at byte 16"},
        {"children huge", at(20, 0x7FFFFFFF), "child count"},
        {"children -1", at(20, 0xFFFFFFFFu), "child count -1"},
        {"lifetime out of range", at(24 + 16, 1u << 21), "lifetime 2097152 out of range"},
        {"key count huge", at(24 + 48, 0x7FFFFFFF), "key count"},
        {"truncated", good.substr(0, good.size() - 1), "truncated at byte 406"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        beff::SFile f;
        std::string error;
        EXPECT_FALSE(parseBytes(c.bytes, f, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_TRUE(f.entries.empty());
    }
    beff::SFile zero;
    std::string error;
    EXPECT_TRUE(parseBytes(at(8, 0).substr(0, 12), zero, error));  // no entries: an empty effect
}

TEST(BeffFile, UnknownAffectorAndDeepChains)
{
    beff::SFile file = minimalEffect();
    beff::SAffector a;
    a.type = 9;
    file.entries[0].emitter.affectors.push_back(a);
    beff::SFile f;
    std::string error;
    EXPECT_FALSE(parseBytes(writeBeff(file) + std::string(8, '\0'), f, error));
    EXPECT_NE(error.find("entry 0: affector type 9 unknown at byte 414"), std::string::npos) << error;

    // 10,000 nested children: refused at depth 17 without deep recursion.
    std::string chain = "beff" + words({3, 1, 0});
    const std::string record = formats::effects::writeEmitter(minimalEffect().entries[0].emitter);
    const std::string withChild = record.substr(0, 4) + words({1}) + record.substr(8);
    for (int i = 0; i < 10000; ++i)
        chain += withChild;
    EXPECT_FALSE(parseBytes(chain, f, error));
    EXPECT_NE(error.find("nest deeper than 16"), std::string::npos) << error;

    beff::SFile sixteen = minimalEffect();
    beff::SEmitter* e = &sixteen.entries[0].emitter;
    for (int depth = 1; depth < 16; ++depth) {
        e->children.push_back(minimalEffect().entries[0].emitter);
        e = &e->children[0];
    }
    EXPECT_TRUE(parseBytes(writeBeff(sixteen), f, error)) << error;
}

TEST(BeffFile, EveryTruncationAndSeededFlipsAreSafe)
{
    for (const beff::SFile& file : {minimalEffect(), richEffect()}) {
        const std::string bytes = writeBeff(file);
        for (size_t n = 0; n < bytes.size(); ++n) {
            beff::SFile f;
            std::string error;
            EXPECT_FALSE(parseBytes(bytes.substr(0, n), f, error)) << n;
        }
        std::mt19937 rng(7);
        for (int round = 0; round < 2000; ++round) {
            std::string s = bytes;
            for (int k = 0; k < 4; ++k)
                s[rng() % s.size()] ^= char(1u << (rng() % 8));
            beff::SFile f;
            std::string error;
            if (!parseBytes(s, f, error))
                continue;
            // What was accepted is a well-formed description: written back, it reads alike.
            const std::string again = writeBeff(f);
            beff::SFile g;
            ASSERT_TRUE(parseBytes(again, g, error)) << error;
            EXPECT_EQ(writeBeff(g), again);
        }
    }
}

}  // namespace
