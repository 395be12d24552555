#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/io/CFileSystem.h"
#include "engine/video/gl/CFixedGLShaderManager.h"
#include "tests/support/TempDir.h"

using namespace pravik;
using namespace pravik::video;

namespace {

class CTestFixedManager : public CFixedGLShaderManager {
public:
    void setBaseFolder(const std::string& folder) { m_baseFolder = folder.c_str(); }
};

unsigned g_units = 4, g_lights = 8, g_planes = 6;
io::IFileSystem* g_fs = nullptr;
IShaderManager* g_manager = nullptr;

class FixedGLShaders : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_units = 4, g_lights = 8, g_planes = 6;
        g_fs = fs.get();
        g_manager = &manager;
        detail::shadermanager::SDriverServices services;
        services.getFileSystem = [](IVideoDriver*) { return g_fs; };
        services.getShaderManager = [](IVideoDriver*) { return g_manager; };
        services.getTextureUnitCount = [](IVideoDriver*) { return g_units; };
        services.getMaxDynamicLightCount = [](IVideoDriver*) { return g_lights; };
        services.getMaxUserClipPlanes = [](IVideoDriver*) { return g_planes; };
        detail::shadermanager::setDriverServices(services);
    }
    void TearDown() override { detail::shadermanager::setDriverServices(m_savedServices); }

    detail::shadermanager::SDriverServices m_savedServices = detail::shadermanager::getDriverServices();

    boost::intrusive_ptr<io::IFileSystem> fs{io::createFileSystem()};
    CTestFixedManager manager;
};

std::string attributeList(const IShader& s)
{
    std::string out;
    for (unsigned i = 0; i < s.getVertexAttributeCount(); ++i)
        out += std::string(s.getVertexAttributeDefs()[i].name.c_str()) + " ";
    return out;
}

std::string parameterList(const IShader& s)
{
    std::string out;
    for (unsigned i = 0; i < s.getParameterCount(ESS_STAGE0); ++i)
        out += std::string(s.getParameters(ESS_STAGE0)[i].name.c_str()) + ";";
    return out;
}

std::string lightParameters(unsigned light)
{
    std::string out;
    for (const char* n :
         {"Light Position", "Light Direction", "Light Attenuation", "Light Ambient Color",
          "Light Diffuse Color", "Light Specular Color", "Light Spot Exponent", "Light Spot Cutoff"})
        out += std::string(n) + " [" + std::to_string(light) + "];";
    return out;
}

}  // namespace

TEST_F(FixedGLShaders, DerivationTable)
{
    struct SCase {
        const char* why;
        SFixedGLShaderVertexState vs;
        SFixedGLShaderFragmentState fs;
        unsigned planes;
        std::string attributes, parameters;
        unsigned arrayMask;
        std::vector<unsigned char> firstRun, secondRun;
        unsigned char firstLight;
    };
    std::vector<SCase> cases;
    {
        SCase c{"one textured unit",
                {},
                {},
                6,
                "Position TexCoord0 Color0 ",
                "Diffuse Color;Texture0;Texture Matrix0;",
                1u << 1 | 1u << 18,
                {0},
                {},
                0xff};
        c.fs.setActiveUnitCount(1);
        cases.push_back(c);
    }
    {
        SCase c{"two lights, sphere map",
                {},
                {},
                6,
                "Position Normal ",
                "Diffuse Color;Ambient Color;Specular Color;Emsission Color;Shininess;Scene Ambient Light;" +
                    lightParameters(0) + lightParameters(1) + "Texture0;",
                1u << 1 | 1u << 17,
                {},
                {0},
                0};
        c.vs.setLightCount(2);
        c.vs.setTexGen(0, ETGT_SPHERE_MAP);
        c.fs.setActiveUnitCount(1);
        cases.push_back(c);
    }
    {
        SCase c{"point sprite unit",       {},       {}, 6,  "Position Color0 ",
                "Diffuse Color;Texture0;", 1u << 18, {}, {}, 0xff};
        c.fs.setActiveUnitCount(1);
        c.fs.setPointSpriteCoordReplace(0, true);
        cases.push_back(c);
    }
    {
        SCase c{"four clip planes, 0 and 5 enabled", {},       {}, 4,  "Position Color0 ",
                "Diffuse Color;Clip Plane0;",        1u << 18, {}, {}, 0xff};
        c.fs.setClipPlaneEnable(0, true);
        c.fs.setClipPlaneEnable(5, true);
        cases.push_back(c);
    }
    {
        SCase c{"tangent-space colour generation",
                {},
                {},
                6,
                "Position Normal Color0 Tangent0 Binormal0 ",
                "Diffuse Color;Light Position [0];",
                1u << 17 | 1u << 18 | 1u << 20 | 1u << 24,
                {},
                {},
                0};
        c.vs.setColorGen(ECG_TS_POINT_LIGHT);
        cases.push_back(c);
    }
    {
        SCase c{
            "fog, alpha test, blend unit, constant colour",
            {},
            {},
            6,
            "Position TexCoord0 TexCoord1 ",
            "Diffuse Color;Alpha Ref;Texture0;Texture Matrix0;Texture1;Texture Matrix1;Texture Env Color1;"
            "Fog Start End0;Fog Color0;ColorGen Constant Color;",
            1u << 1 | 1u << 2,
            {0, 1},
            {},
            0xff};
        c.vs.setFogMode(EFM_LINEAR);
        c.vs.setColorGen(ECG_CONSTANT_COLOR);
        c.fs.setAlphaTestEnable(true);
        c.fs.texEnv[1].setEnvMode(ETEM_BLEND);
        c.fs.setActiveUnitCount(2);
        cases.push_back(c);
    }
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.why);
        g_planes = c.planes;
        CFixedGLShader shader(0, "s", &c.vs, &c.fs, nullptr);
        EXPECT_EQ(attributeList(shader), c.attributes);
        EXPECT_EQ(parameterList(shader), c.parameters);
        EXPECT_EQ(shader.getDriverArrayMask(), c.arrayMask);
        EXPECT_EQ(shader.getUnitListEnd(0), c.firstRun.size());
        EXPECT_EQ(shader.getUnitListEnd(1), c.firstRun.size() + c.secondRun.size());
        std::vector<unsigned char> units(shader.getUnitList(),
                                         shader.getUnitList() + shader.getUnitListEnd(1));
        std::vector<unsigned char> expected = c.firstRun;
        expected.insert(expected.end(), c.secondRun.begin(), c.secondRun.end());
        EXPECT_EQ(units, expected);
        EXPECT_EQ(shader.getFirstLightSubId(), c.firstLight);
        EXPECT_EQ(shader.getParameterCount(ESS_STAGE1), 0);
        EXPECT_EQ(shader.getVertexAttributeDefs()[0].index, 0xffff);
    }
}

TEST_F(FixedGLShaders, DriverLimitsCapUnitsAndLights)
{
    g_units = 1;
    g_lights = 1;
    SFixedGLShaderVertexState vs;
    vs.setLightCount(3);
    vs.setColorMaterialEnable(true);
    SFixedGLShaderFragmentState fs;
    fs.setActiveUnitCount(2);
    CFixedGLShader shader(0, "s", &vs, &fs, nullptr);
    EXPECT_EQ(parameterList(shader),
              "Diffuse Color;Specular Color;Emsission Color;Shininess;Scene Ambient Light;" +
                  lightParameters(0) + "Texture0;Texture Matrix0;");
    EXPECT_EQ(shader.getParameters(ESS_STAGE0)[5].subId, 0);
    EXPECT_EQ(attributeList(shader), "Position TexCoord0 Normal Color0 ");
}

TEST_F(FixedGLShaders, ManagerInternsStatesAndShaders)
{
    SFixedGLShaderVertexState vs;
    SFixedGLShaderFragmentState fs;
    fs.setActiveUnitCount(1);
    auto a = manager.createShader("", vs, fs);
    auto b = manager.createShader(nullptr, SFixedGLShaderVertexState(vs), SFixedGLShaderFragmentState(fs));
    EXPECT_EQ(a, b);
    SFixedGLShaderFragmentState sprite = fs;
    sprite.setPointSpriteCoordReplace(0, true);
    auto c = manager.createShader("", vs, sprite);
    EXPECT_NE(a, c);
    EXPECT_EQ(manager.getInternedVertexStateCount(), 1u);
    EXPECT_EQ(manager.getInternedFragmentStateCount(), 2u);
    EXPECT_EQ(static_cast<CFixedGLShader*>(a.get())->getFragmentState(),
              static_cast<CFixedGLShader*>(b.get())->getFragmentState());

    SFixedGLShaderVertexState lit;
    lit.setLightCount(1);
    auto named = manager.createShader("Solid", lit, fs);
    EXPECT_EQ(manager.createShader("Solid", vs, sprite), named);  // the name wins over the states
    EXPECT_EQ(manager.get(manager.getId("Solid")), named);        // a second entry for the same shader
    EXPECT_EQ(manager.getId(named->getName().c_str()), named->getId());
    EXPECT_NE(named->getName(), "Solid");  // its own name is the key
    EXPECT_EQ(named->getName().find('_') != core::stringc::npos, true);

    a.reset();
    b.reset();
    c.reset();
    named.reset();
    EXPECT_EQ(manager.removeUnusedShaders(), 2);  // the named one is held twice by the registry
    EXPECT_NE(manager.getId("Solid"), 0xffff);

    EXPECT_EQ(CFixedGLShaderManager::hashFragmentState(SFixedGLShaderFragmentState()),
              CFixedGLShaderManager::hashFragmentState(SFixedGLShaderFragmentState()));
}

TEST_F(FixedGLShaders, ShaderFileRoundTripRestoresTheStates)
{
    test::TempDir dir;
    manager.init(nullptr, false);
    SFixedGLShaderVertexState vs;
    vs.setLightCount(1);
    vs.setFogMode(EFM_EXP);
    SFixedGLShaderFragmentState fs;
    fs.texEnv[0].setEnvMode(ETEM_ADD);
    fs.setActiveUnitCount(1);
    fs.setAlphaTestEnable(true);
    fs.setAlphaFunc(ECF_GREATER);
    auto shader = manager.createShader("", vs, fs);

    CFixedGLShaderManager other;
    g_manager = &other;
    other.init(nullptr, false);
    other.addShaderSearchPath(dir.path().string().c_str(), false);
    manager.setBaseFolder(dir.path().string());
    ASSERT_TRUE(manager.serializeShader(shader, "fixed"));
    ASSERT_TRUE(other.loadShader("fixed.shd"));
    const auto& loaded = other.get(other.getId(shader->getName().c_str()));
    ASSERT_TRUE(loaded);
    const auto* fixed = static_cast<const CFixedGLShader*>(loaded.get());
    EXPECT_EQ(*fixed->getVertexState(), vs);
    EXPECT_EQ(*fixed->getFragmentState(), fs);
    EXPECT_EQ(fixed->getVertexAttributeMask(), shader->getVertexAttributeMask());
    EXPECT_EQ(fixed->getParameterCount(ESS_STAGE0), 0);  // definitions are not derived again
}
