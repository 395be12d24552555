#include <gtest/gtest.h>

#include <string>

#include "engine/io/CAttributes.h"
#include "engine/io/SAttributeReadWriteOptions.h"
#include "engine/video/material/CGlobalMaterialParameterManager.h"
#include "tests/engine/video/ParameterBlockFixture.h"

using namespace pravik;
using namespace pravik::video;

namespace {

class GlobalParameters : public ::testing::Test {
protected:
    test::CFakeReferenceHooks hooks;
};

}  // namespace

// Reference elements start on pointer boundaries on this target, so the third parameter of
// the classic example moves from offset 36 to 40 and the used size from 40 to 48.
TEST_F(GlobalParameters, IdsOffsetsAndGrowth)
{
    CGlobalMaterialParameterManager m(nullptr);
    const size_t ref = sizeof(void*);
    const size_t lightOffset = (36 + ref - 1) / ref * ref;
    const struct {
        const char* name;
        E_SHADER_PARAMETER_VALUE_TYPE valueType;
        unsigned arraySize;
        unsigned short id;
        size_t offset, used, capacity;
        bool packed;
    } kSteps[] = {
        {"P1", ESPVT_FLOAT, 1, 0, 0, 4, 4, true},
        {"P2", ESPVT_FLOAT4, 2, 1, 4, 36, 64, false},
        {"P3", ESPVT_LIGHT, 1, 2, lightOffset, lightOffset + ref, 64, false},
    };
    for (const auto& s : kSteps) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(m.addParameter(s.name, ESPT_CONSTANT, s.valueType, s.arraySize, 0xff), s.id);
        EXPECT_EQ(m.get(s.id).index, s.offset);
        EXPECT_EQ(m.getUsedSize(), s.used);
        EXPECT_EQ(m.getCapacity(), s.capacity);
        EXPECT_EQ(m.isPacked(), s.packed);
    }
    m.pack();
    EXPECT_EQ(m.getCapacity(), lightOffset + ref);
    EXPECT_TRUE(m.isPacked());
    EXPECT_EQ(m.get(1).index, 4u);  // packing never moves a parameter

    CGlobalMaterialParameterManager tiny(nullptr);
    EXPECT_EQ(tiny.addParameter("b", ESPT_CONSTANT, ESPVT_UBYTE, 1, 0xff), 0);
    EXPECT_EQ(tiny.getCapacity(), 1u);
    EXPECT_TRUE(tiny.isPacked());
}

TEST_F(GlobalParameters, RefusedAdditions)
{
    CGlobalMaterialParameterManager m(nullptr);
    ASSERT_EQ(m.addParameter("FogColor0", ESPT_FOG_COLOR, ESPVT_COLOR, 1, 0xff), 0);
    const struct {
        const char* why;
        const char* name;
        unsigned type, valueType, arraySize;
        unsigned short id;
    } kCases[] = {
        {"null name", nullptr, 0, ESPVT_FLOAT, 1, 0xffff},
        {"empty name", "", 0, ESPVT_FLOAT, 1, 0xffff},
        {"unknown type", "x", 65, ESPVT_FLOAT, 1, 0xffff},
        {"unknown value type", "x", 0, 19, 1, 0xffff},
        {"no elements", "x", 0, ESPVT_FLOAT, 0, 0xffff},
        {"existing name keeps its definition", "FogColor0", ESPT_TIME, ESPVT_FLOAT, 4, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(m.addParameter(c.name, E_SHADER_PARAMETER_TYPE(c.type),
                                 E_SHADER_PARAMETER_VALUE_TYPE(c.valueType), c.arraySize, 0xff),
                  c.id);
    }
    EXPECT_EQ(m.size(), 1);
    EXPECT_EQ(m.get(0).valueType, ESPVT_COLOR);
    EXPECT_EQ(m.get(0).arraySize, 1u);
    EXPECT_EQ(m.getUsedSize(), 4u);
}

TEST_F(GlobalParameters, RemovalRespectsGrabsAndEndsPacking)
{
    CGlobalMaterialParameterManager m(nullptr);
    const auto light = m.addParameter("DynamicLight0", ESPT_LIGHT, ESPVT_LIGHT, 1, 0);
    const auto fog = m.addParameter("FogDensity0", ESPT_FOG_DENSITY, ESPVT_FLOAT, 1, 0xff);
    const auto spare = m.addParameter("Spare", ESPT_CONSTANT, ESPVT_FLOAT, 1, 0xff);
    test::FakeLight sun;
    test::putLight(m, light, 0, sun);
    EXPECT_EQ(sun.refs, 2);
    m.grabInternal(light);
    m.grabInternal(fog);

    EXPECT_FALSE(m.remove(light));
    EXPECT_EQ(m.removeAll(), 1);  // only Spare
    EXPECT_EQ(m.removeUnused(), 0);
    EXPECT_FALSE(m.setParameter(spare, 0, 1.0f));  // its bytes are still there, dead
    const size_t capacity = m.getCapacity();
    m.pack();
    m.setAutoPacking(false);
    m.setAutoPacking(true);
    EXPECT_EQ(m.getCapacity(), capacity);

    m.dropInternal(light);
    EXPECT_TRUE(m.remove(light));  // its light goes back with it
    EXPECT_EQ(sun.refs, 1);
    EXPECT_EQ(m.addParameter("Next", ESPT_CONSTANT, ESPVT_FLOAT, 1, 0xff), 0);  // lowest free id
    EXPECT_EQ(m.get(0).index, m.getUsedSize() - 4);                             // placed at the end
    m.dropInternal(fog);
    m.clearParameters();
}

TEST_F(GlobalParameters, AttributeFormRoundTrip)
{
    CGlobalMaterialParameterManager a(nullptr);
    const auto ambient = a.addParameter("SceneAmbientLight", ESPT_SCENE_AMBIENT_LIGHT, ESPVT_COLORF, 1, 0xff);
    const auto fog = a.addParameter("FogColor0", ESPT_FOG_COLOR, ESPVT_COLOR, 1, 0xff);
    const auto density = a.addParameter("FogDensity0", ESPT_FOG_DENSITY, ESPVT_FLOAT, 1, 0xff);
    a.setParameter(ambient, 0, SColorf(0.25f, 0.5f, 0.75f, 1.0f));
    a.setParameter(fog, 0, SColor(255, 0, 128, 255));
    a.setParameter(density, 0, 1.0f);

    io::CAttributes store(nullptr);
    a.serializeAttributes(&store, nullptr);

    CGlobalMaterialParameterManager b(nullptr);
    EXPECT_EQ(b.addParameter("FogDensity0", ESPT_FOG_DENSITY, ESPVT_FLOAT, 1, 0xff), 0);  // known: kept
    b.deserializeAttributes(&store, nullptr);
    EXPECT_EQ(b.size(), 3);
    const unsigned short bAmbient = b.getId("SceneAmbientLight");
    ASSERT_NE(bAmbient, 0xffff);
    EXPECT_EQ(b.get(bAmbient).type, ESPT_SCENE_AMBIENT_LIGHT);
    EXPECT_EQ(b.get(bAmbient).subId, 0xff);
    SColorf ambientBack;
    EXPECT_TRUE(b.getParameter(bAmbient, 0, ambientBack));
    EXPECT_EQ(ambientBack, SColorf(0.25f, 0.5f, 0.75f, 1.0f));
    SColor fogBack;
    EXPECT_TRUE(b.getParameter(b.getId("FogColor0"), 0, fogBack));
    EXPECT_EQ(fogBack, SColor(255, 0, 128, 255));
    float densityBack = 0;
    EXPECT_TRUE(b.getParameter(0, 0, densityBack));
    EXPECT_EQ(densityBack, 1.0f);

    // Values only: no "Definitions" group is written or needed.
    io::SAttributeReadWriteOptions valuesOnly;
    valuesOnly.Flags = io::EARWF_EXTENDED;
    io::CAttributes values(nullptr);
    a.setParameter(density, 0, 0.25f);
    a.serializeAttributes(&values, &valuesOnly);
    EXPECT_EQ(values.getGroupsCount(), 3u);  // one group per parameter, at the top
    b.deserializeAttributes(&values, &valuesOnly);
    EXPECT_TRUE(b.getParameter(0, 0, densityBack));
    EXPECT_EQ(densityBack, 0.25f);
    EXPECT_EQ(b.size(), 3);
}

// The definition count comes from the file: it never makes the reader create groups (or
// parameters) the file does not have.
TEST_F(GlobalParameters, HugeArraySizeFromAFileIsRefusedNotAllocated)
{
    io::CAttributes store(nullptr);
    store.push("Definitions");
    store.addInt("ParameterCount", 2);
    const struct { const char* name; int arraySize; } params[] = {
        {"Huge", 0x30000000}, {"FogDensity0", 1}};
    for (unsigned i = 0; i < 2; ++i) {
        store.push(("Param_" + std::to_string(i)).c_str());
        store.addString("Name", params[i].name);
        store.addEnum("Type", int(ESPT_FOG_DENSITY), getStringsInternal((E_SHADER_PARAMETER_TYPE*)nullptr));
        store.addEnum("ValueType", int(ESPVT_FLOAT), getStringsInternal((E_SHADER_PARAMETER_VALUE_TYPE*)nullptr));
        store.addInt("ArraySize", params[i].arraySize);
        store.pop();
    }
    store.pop();

    CGlobalMaterialParameterManager m(nullptr);
    m.deserializeAttributes(&store, nullptr);
    EXPECT_EQ(m.getId("Huge"), 0xffff);
    EXPECT_NE(m.getId("FogDensity0"), 0xffff);
    EXPECT_LT(m.getCapacity(), 1024u);
}

TEST_F(GlobalParameters, DefinitionCountIsCappedByTheGroupsPresent)
{
    io::CAttributes store(nullptr);
    store.push("Definitions");
    store.addInt("ParameterCount", 100000);
    store.push("Param_0");
    store.addString("Name", "FogDensity0");
    store.addEnum("Type", int(ESPT_FOG_DENSITY), getStringsInternal((E_SHADER_PARAMETER_TYPE*)nullptr));
    store.addEnum("ValueType", int(ESPVT_FLOAT), getStringsInternal((E_SHADER_PARAMETER_VALUE_TYPE*)nullptr));
    store.addInt("ArraySize", 1);
    store.pop();
    store.pop();

    CGlobalMaterialParameterManager m(nullptr);
    m.deserializeAttributes(&store, nullptr);
    EXPECT_EQ(m.size(), 1);
    EXPECT_NE(m.getId("FogDensity0"), 0xffff);
    store.push("Definitions");
    EXPECT_EQ(store.getGroupsCount(), 1u);
}
