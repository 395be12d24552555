#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/io/CAttributes.h"
#include "engine/io/CFileSystem.h"
#include "engine/io/CXMLAttributesWriter.h"
#include "engine/io/SAttributeReadWriteOptions.h"
#include "engine/video/material/CNullShader.h"
#include "engine/video/material/CNullShaderManager.h"
#include "engine/video/material/SRenderPass.h"
#include "tests/support/TempDir.h"

using namespace pravik;
using namespace pravik::video;

namespace {

// A null shader with definitions of its own, as a driver's shader would have.
class CTestShader : public CNullShader {
public:
    CTestShader(unsigned short id, const char* name, bool blankTypes) : CNullShader(id, name, nullptr)
    {
        const char* names[3] = {"Texture0", "Light Position [1]", "FogColor"};
        const unsigned short types[3] = {ESPT_TEXTURE, ESPT_LIGHT_POSITION, ESPT_FOG_COLOR};
        const unsigned char valueTypes[3] = {ESPVT_SAMPLER2D, ESPVT_FLOAT4, ESPVT_COLOR};
        const unsigned char subIds[3] = {0, 1, 0xff};
        for (int i = 0; i < 3; ++i) {
            m_defs[i].name = names[i];
            m_defs[i].type = blankTypes ? (unsigned short)ESPT_CONSTANT : types[i];
            m_defs[i].valueType = valueTypes[i];
            m_defs[i].subId = blankTypes ? 0 : subIds[i];
            m_defs[i].arraySize = 1;
            m_defs[i].index = 0;
        }
        m_stages[0] = {m_defs, 0, 2};
        m_stages[1] = {m_defs + 2, 0, 1};
        m_attributes[0] = {"Position", EVA_POSITION, 0xffff};
        m_attributes[1] = {"TexCoord0", EVA_TEXCOORD0, 0xffff};
        m_vertexAttributes = m_attributes;
        m_vertexAttributeCount = 2;
        m_vertexAttributeMask = blankTypes ? 0 : 3;
    }
    SShaderParameterDef* defs() { return m_defs; }

private:
    SShaderParameterDef m_defs[3];
    SShaderVertexAttributeDef m_attributes[2];
};

class CCountingBaker : public IBatchBaker {
public:
    bool bake(const CVertexStreams*, const CPrimitiveStream*, const CMaterial*, unsigned char,
              const unsigned char*, CVertexStreams*, CPrimitiveStream*, CMaterial*, const unsigned char*,
              IVideoDriver*, unsigned, unsigned, unsigned, unsigned, unsigned, unsigned, unsigned) override
    {
        return false;
    }
    // Materials and their maps belong to the material layer; the tests never ask for them.
    boost::intrusive_ptr<CMaterial> getBatchMaterial(const boost::intrusive_ptr<CMaterial>&,
                                                     unsigned char) override
    {
        std::abort();
    }
    const boost::intrusive_ptr<CVertexAttributeMap>& getVertexAttributeMap() override { std::abort(); }
    void configureAppendBuffer(scene::CAppendMeshBuffer*) override {}
    bool isCompatible(const boost::intrusive_ptr<CMaterial>&, unsigned char) override { return false; }
};

class CTestShaderManager : public CNullShaderManager {
public:
    boost::intrusive_ptr<IShader> createEmptyShader(const char* name) override
    {
        if (emptyShadersHaveDefinitions) return new CTestShader(0, "", true);
        return CNullShaderManager::createEmptyShader(name);
    }
    boost::intrusive_ptr<IBatchBaker> createBatchBaker(const IShader*) override
    {
        ++bakersMade;
        return new CCountingBaker;
    }
    void setBaseFolder(const std::string& folder) { m_baseFolder = folder.c_str(); }

    bool emptyShadersHaveDefinitions = false;
    int bakersMade = 0;
};

IVideoDriver* const kDriver = reinterpret_cast<IVideoDriver*>(0x1000);  // never dereferenced
io::IFileSystem* g_fs = nullptr;
IShaderManager* g_manager = nullptr;
int g_destroyed = 0;

class Shaders : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_fs = fs.get();
        g_manager = &manager;
        g_destroyed = 0;
        detail::shadermanager::SDriverServices services;
        services.getFileSystem = [](IVideoDriver*) { return g_fs; };
        services.getShaderManager = [](IVideoDriver*) { return g_manager; };
        services.onShaderDestroyed = [](IVideoDriver*, IShader*) { ++g_destroyed; };
        detail::shadermanager::setDriverServices(services);
        manager.init(kDriver, false);
        manager.setBaseFolder(dir.path().string());
    }
    void TearDown() override { detail::shadermanager::setDriverServices(m_savedServices); }

    detail::shadermanager::SDriverServices m_savedServices = detail::shadermanager::getDriverServices();

    boost::intrusive_ptr<IShader> namedShader(const char* name)
    {
        auto* s = new CTestShader(0, name, false);
        return boost::intrusive_ptr<IShader>(s);
    }

    test::TempDir dir;
    boost::intrusive_ptr<io::IFileSystem> fs{io::createFileSystem()};
    CTestShaderManager manager;
};

}  // namespace

TEST_F(Shaders, InitTakesTheWorkingDirectory)
{
    CTestShaderManager other;
    other.init(kDriver, true);
    EXPECT_EQ(other.getBaseFolder(), core::stringc(fs->getWorkingDirectory()));
    ASSERT_EQ(other.getShaderSearchPaths().size(), 1u);
    EXPECT_EQ(other.getShaderSearchPaths()[0], other.getBaseFolder());
}

TEST_F(Shaders, SearchPathsKeepOneEntryAndTheirPlace)
{
    manager.addShaderSearchPath("a", false);
    manager.addShaderSearchPath("b", false);
    manager.addShaderSearchPath("a", false);
    manager.addShaderSearchPath("b", true);
    manager.addShaderSearchPath("c", true);
    const auto& paths = manager.getShaderSearchPaths();
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0], "c");
    EXPECT_EQ(paths[1], "a");
    EXPECT_EQ(paths[2], "b");
}

TEST_F(Shaders, SaveNamesTheFileInTheBaseFolder)
{
    const auto shader = namedShader("Glow");
    const struct {
        const char* name;
        const char* file;
    } kCases[] = {{"x", "x.shd"}, {"y.shd", "y.shd"}, {"z.SHD", "z.SHD.shd"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(manager.serializeShader(shader, c.name));
        EXPECT_TRUE(std::filesystem::exists(dir.path() / c.file));
    }
    manager.setBaseFolder((dir.path() / "missing").string());
    EXPECT_FALSE(manager.serializeShader(shader, "x"));
}

// Two folders hold "fx.shd"; the copy in the folder searched last is the one read.
TEST_F(Shaders, LoadFollowsTheSearchPathRule)
{
    std::filesystem::create_directories(dir.path() / "A");
    std::filesystem::create_directories(dir.path() / "B");
    manager.setBaseFolder((dir.path() / "A").string());
    ASSERT_TRUE(manager.serializeShader(namedShader("FromA"), "fx"));
    manager.setBaseFolder((dir.path() / "B").string());
    ASSERT_TRUE(manager.serializeShader(namedShader("FromB"), "fx"));
    std::filesystem::copy_file(dir.path() / "B" / "fx.shd", dir.path() / "B" / "plain.txt");
    std::filesystem::copy_file(dir.path() / "B" / "fx.shd", dir.path() / "B" / "upper.SHD");

    EXPECT_FALSE(manager.loadShader("fx.shd"));  // no search paths yet
    manager.addShaderSearchPath((dir.path() / "A").string().c_str(), false);
    manager.addShaderSearchPath((dir.path() / "B").string().c_str(), false);

    const struct {
        const char* why;
        const char* file;
        bool loads;
        const char* registered;
    } kCases[] = {
        {"last folder wins", "fx.shd", true, "FromB"},
        {"not a .shd name", "plain.txt", false, nullptr},
        {"extension compared exactly", "upper.SHD", false, nullptr},
        {"the same name again is refused", "fx.shd", false, nullptr},
        {"missing file", "none.shd", false, nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        const unsigned short before = manager.size();
        EXPECT_EQ(manager.loadShader(c.file), c.loads);
        EXPECT_EQ(manager.size(), before + (c.loads ? 1 : 0));
        if (c.registered) {
            EXPECT_NE(manager.getId(c.registered), 0xffff);
        }
    }
    EXPECT_EQ(manager.getId("FromA"), 0xffff);
}

TEST_F(Shaders, LoadRestoresTypesAndSubIdsOfExistingDefinitions)
{
    auto original = namedShader("Lit");
    static_cast<CTestShader*>(original.get())->defs()[0].subId = 3;
    ASSERT_TRUE(manager.serializeShader(original, "lit"));
    manager.addShaderSearchPath(dir.path().string().c_str(), false);

    // Without definitions only the name and the mask come back.
    ASSERT_TRUE(manager.loadShader("lit.shd"));
    const auto plain = manager.get(manager.getId("Lit"));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->getVertexAttributeMask(), 3u);
    EXPECT_EQ(plain->getParameterCount(ESS_STAGE0), 0);
    manager.remove(plain->getId(), true);

    manager.emptyShadersHaveDefinitions = true;
    ASSERT_TRUE(manager.loadShader("lit.shd"));
    const auto loaded = manager.get(manager.getId("Lit"));
    ASSERT_TRUE(loaded);
    const struct {
        E_SHADER_STAGE stage;
        unsigned short index;
        unsigned short type;
        unsigned char subId;
    } kDefs[] = {{ESS_STAGE0, 0, ESPT_TEXTURE, 3},
                 {ESS_STAGE0, 1, ESPT_LIGHT_POSITION, 1},
                 {ESS_STAGE1, 0, ESPT_FOG_COLOR, 0xff}};
    for (const auto& d : kDefs) {
        SCOPED_TRACE(d.type);
        EXPECT_EQ(loaded->getParameters(d.stage)[d.index].type, d.type);
        EXPECT_EQ(loaded->getParameters(d.stage)[d.index].subId, d.subId);
    }
    EXPECT_EQ(loaded->getVertexAttributeMask(), 3u);
    EXPECT_EQ(loaded->getVertexAttributeDefs()[1].attribute, EVA_TEXCOORD0);
}

TEST_F(Shaders, UnknownTypeNamesInAFileKeepTheDefinition)
{
    auto original = namedShader("Odd");
    io::CAttributes store(nullptr);
    original->serializeAttributes(&store);
    store.push("Stage 0");
    store.push("Parameters");
    store.push("Texture0");
    store.setAttribute(store.findAttribute("Type"), "Not A Type", nullptr);
    store.pop();
    store.pop();
    store.pop();
    store.push("Vertex Attributes");
    store.push("TexCoord0");
    store.setAttribute(store.findAttribute("Type"), "", nullptr);
    store.pop();
    store.pop();

    CTestShader target(0, "", true);
    target.defs()[0].type = ESPT_TEXTURE;
    target.deserializeAttributes(&store);
    EXPECT_EQ(target.getParameters(ESS_STAGE0)[0].type, ESPT_TEXTURE);  // kept, not 0xffff
    EXPECT_EQ(target.getParameters(ESS_STAGE0)[1].type, ESPT_LIGHT_POSITION);
    EXPECT_EQ(target.getVertexAttributeDefs()[1].attribute, EVA_TEXCOORD0);
    EXPECT_EQ(target.getName(), "Odd");
}

TEST_F(Shaders, ParameterLookups)
{
    auto shader = namedShader("Look");
    const struct {
        const char* why;
        unsigned short found;
        unsigned short expected;
    } kCases[] = {
        {"by type", shader->getParameterID(ESPT_LIGHT_POSITION, ESS_STAGE0), 1},
        {"by type from start", shader->getParameterID(ESPT_TEXTURE, ESS_STAGE0, 1), 0xffff},
        {"start at the count", shader->getParameterID(ESPT_TEXTURE, ESS_STAGE0, 2), 0xffff},
        {"other stage", shader->getParameterID(ESPT_FOG_COLOR, ESS_STAGE1), 0},
        {"by name", shader->getParameterID("Light Position [1]", ESS_STAGE0), 1},
        {"name never interned", shader->getParameterID("NoSuchParameterAnywhere", ESS_STAGE0), 0xffff},
        {"name in the other stage", shader->getParameterID("FogColor", ESS_STAGE0), 0xffff},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(c.found, c.expected);
    }
    EXPECT_EQ(shader->getVertexAttributeDefIndex(EVA_TEXCOORD0), 1);
    EXPECT_EQ(shader->getVertexAttributeDefIndex(EVA_NORMAL), 0xff);
}

TEST_F(Shaders, NullManagerCreatesBakersAndRemovesUnused)
{
    auto a = manager.createShader("a");
    EXPECT_EQ(manager.createShader("a"), a);
    EXPECT_EQ(a->getVertexAttributeMask(), 1u);
    auto b = manager.createShader("b");
    EXPECT_EQ(b->getId(), 1);
    EXPECT_EQ(static_cast<CNullShader*>(b.get())->getHashValue(), 1u);
    auto empty = manager.createEmptyShader("ignored");
    EXPECT_EQ(empty->getId(), 0);
    EXPECT_EQ(empty->getName(), "");

    auto baker = a->getBatchBaker();
    ASSERT_TRUE(baker);
    EXPECT_EQ(a->getBatchBaker(), baker);
    a->removeBatchBaker();
    EXPECT_NE(a->getBatchBaker(), baker);
    EXPECT_EQ(manager.bakersMade, 2);
    EXPECT_FALSE(empty->getBatchBaker());  // id 0 is registered, but to "a"

    b.reset();
    EXPECT_EQ(manager.removeUnusedShaders(), 1);  // only "b": "a" is still held
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(manager.getId("b"), 0xffff);
    EXPECT_EQ(manager.getId("a"), 0);
}

TEST_F(Shaders, RenderPassAttributeForm)
{
    SRenderPass pass;
    pass.shader = namedShader("PassShader");
    pass.renderState.set(1, 16, 1, 1);
    const struct {
        const char* why;
        bool options;
        unsigned flags;
        unsigned groups;
        const char* first;
    } kCases[] = {
        {"no options", false, 0, 1, "Render States"},
        {"options without the shader flag", true, 1, 1, "Render States"},
        {"shader flag", true, 2, 2, "Shader"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        io::SAttributeReadWriteOptions options;
        options.Flags = c.flags;
        io::CAttributes store(nullptr);
        pass.serializeAttributes(&store, c.options ? &options : nullptr);
        EXPECT_EQ(store.getGroupsCount(), c.groups);
        store.setGroup(0);
        EXPECT_EQ(store.getGroupName(), c.first);
        store.pop();

        SRenderPass back;
        back.deserializeAttributes(&store, nullptr);
        EXPECT_EQ(back.renderState, pass.renderState);
        EXPECT_EQ(back.changed, 1);
        EXPECT_FALSE(back.shader);
    }
    SRenderPass same = pass;
    io::CAttributes store(nullptr);
    pass.serializeAttributes(&store, nullptr);
    same.deserializeAttributes(&store, nullptr);
    EXPECT_EQ(same.changed, 1);  // set even when nothing differs
    EXPECT_EQ(same.shader, pass.shader);
}
