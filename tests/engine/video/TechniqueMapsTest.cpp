#include "engine/io/CMemoryReadFile.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/material/CNullShaderManager.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/engine/video/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pravik;
using namespace pravik::video;

namespace {

class TechniqueMapsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        R = addRenderer("R", {"hi", "lo"});
        S = addRenderer("S", {"a", "b", "lo"});
        T = addRenderer("T", {"x"});
    }

    unsigned short addRenderer(const char* name, std::vector<const char*> techniques)
    {
        auto* shaders = static_cast<CNullShaderManager*>(driver->getShaderManager());
        boost::intrusive_ptr<const IShader> shader(shaders->createShader((std::string(name) + " shader").c_str()));
        EXPECT_TRUE(m.beginMaterialRenderer(name, true));
        for (const char* t : techniques) {
            m.beginTechnique(t, true);
            m.addRenderPass(shader, {});
            m.endTechnique(true, 0);
        }
        return m.endMaterialRenderer();
    }

    bool load(const std::string& xml)
    {
        m_text = xml;
        io::IReadFile* file = io::createMemoryReadFile(m_text.data(), int32_t(m_text.size()), "maps.xml", false);
        const bool loaded = m.loadMaterialTechniqueMaps(file);
        file->drop();
        return loaded;
    }

    // The technique each renderer's technique stands for under map and group, as a string
    // of technique indices in renderer order R, S, T ("." where the pair was never declared).
    std::string table(const char* map, const char* group)
    {
        const auto* row = m.getTechniqueMapRow(unsigned(m.getNameID(map, 0)));
        const int g = m.getNameID(group, 1);
        if (!row || g < 0 || !row[g]) return ".";
        std::string out;
        for (unsigned i = 0; i < m.getTechniqueTotal(); ++i) out += char('0' + row[g][i]);
        return out;
    }

    test::ProcessBufferHeap heap;
    boost::intrusive_ptr<CNullDriver> driver = test::makeNullDriver();
    CMaterialRendererManager& m = *driver->getMaterialRendererManager();
    unsigned short R = 0, S = 0, T = 0;
    std::string m_text;
};

const char* const kMinimal = "<PRAVIKTECHNIQUEMAPS><map id=\"low\"><group ref=\"default\"><renderer ref=\"R\">"
                             "<rule from=\"hi\" to=\"lo\"/></renderer></group></map></PRAVIKTECHNIQUEMAPS>";

TEST_F(TechniqueMapsTest, SelectedMapRemapsAMaterialsTechnique)
{
    test::LogCapture log;
    ASSERT_TRUE(load(kMinimal));
    EXPECT_TRUE(log.empty()) << log.first();
    boost::intrusive_ptr<CMaterial> material = m.getMaterialInstance(R, true);
    ASSERT_TRUE(material);
    EXPECT_EQ(material->getTechnique(), 0);  // nothing selected yet

    driver->setTechniqueMap(&m, m.getTechniqueMapRow(unsigned(m.getNameID("low", 0))));
    EXPECT_EQ(material->getTechnique(), 1);
    material->setBaseTechnique(1);
    EXPECT_EQ(material->getTechnique(), 1);
    material->setBaseTechnique(0);
    material->setTechniqueMapRow(7);  // beyond the groups: the base technique stands
    EXPECT_EQ(material->getTechnique(), 0);
    material->setTechniqueMapRow(0);
    EXPECT_EQ(m.getMaterialInstance(S, true)->getTechnique(), 0);

    // A later renderer has no bytes in the tables; a new load drops the selection.
    const unsigned short late = addRenderer("late", {"one", "two"});
    EXPECT_EQ(m.getMaterialInstance(late, true)->getTechnique(), 0);
    ASSERT_TRUE(load("<PRAVIKTECHNIQUEMAPS/>"));
    EXPECT_EQ(driver->getTechniqueMap(), nullptr);
    EXPECT_EQ(material->getTechnique(), 0);
    EXPECT_EQ(m.getTechniqueMapRow(0), nullptr);  // no map declared: no tables
}

TEST_F(TechniqueMapsTest, RulesFillThePairsTheyReach)
{
    const struct {
        const char* why;
        const char* body;
        const char* map;
        const char* group;
        const char* table;  // R(hi lo) S(a b lo) T(x)
    } cases[] = {
        {"identity for a declared pair", "<map id=\"m\"/>", "m", "default", "01" "012" "0"},
        {"a url without # names the effect", "<map id=\"m\"><group ref=\"default\"><renderer url=\"R\"><rule from=\"hi\" to=\"lo\"/></renderer></group></map>",
         "m", "default", "11" "012" "0"},
        {"from * rewrites every technique", "<map id=\"m\"><group ref=\"default\"><renderer ref=\"S\"><rule from=\"*\" to=\"b\"/></renderer></group></map>",
         "m", "default", "01" "111" "0"},
        {"renderer * skips renderers lacking a name", "<map id=\"m\"><group ref=\"default\"><renderer ref=\"*\"><rule from=\"*\" to=\"lo\"/></renderer></group></map>",
         "m", "default", "11" "222" "0"},
        {"a group declared at top level selects its map inside",
         "<map id=\"m\"/><group id=\"g\"><map ref=\"m\"><renderer ref=\"R\"><rule from=\"hi\" to=\"lo\"/></renderer></map></group>",
         "m", "g", "11" "012" "0"},
        {"the other group of the map stays undeclared", "<map id=\"m\"/><group id=\"g\"/>", "m", "g", "."},
        {"map wildcard reaches every declared map of the group",
         "<map id=\"m\"/><map id=\"n\"/><group id=\"default\"><map ref=\"*\"><renderer ref=\"R\"><rule from=\"hi\" to=\"lo\"/></renderer></map></group>",
         "n", "default", "11" "012" "0"},
        {"default_group renames group 0",
         "<default_group id=\"base\"/><map id=\"m\"><group ref=\"base\"><renderer ref=\"R\"><rule from=\"hi\" to=\"lo\"/></renderer></group></map>",
         "m", "base", "11" "012" "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        test::LogCapture log;
        ASSERT_TRUE(load(std::string("<PRAVIKTECHNIQUEMAPS>") + c.body + "</PRAVIKTECHNIQUEMAPS>"));
        EXPECT_TRUE(log.empty()) << log.first() << " " << (log.empty() ? "" : log.entries()[0].hint);
        EXPECT_EQ(table(c.map, c.group), c.table);
    }
}

TEST_F(TechniqueMapsTest, FaultsAreReportedAndSkipTheirElement)
{
    const struct {
        const char* why;
        const char* xml;
        bool loaded;
        const char* message;  // in the first log line
        const char* table;    // map "m", group "default" afterwards
    } cases[] = {
        {"empty document", "", false, "empty document", "."},
        {"another root", "<attributes><map id=\"m\"/></attributes>", false, "not a Pravik Technique Maps file", "."},
        {"default_group after a map",
         "<PRAVIKTECHNIQUEMAPS><map id=\"m\"/><default_group id=\"x\"/></PRAVIKTECHNIQUEMAPS>", true,
         "misplaced default_group", "01" "012" "0"},
        {"wildcard default_group", "<PRAVIKTECHNIQUEMAPS><default_group id=\"*\"/><map id=\"m\"/></PRAVIKTECHNIQUEMAPS>",
         true, "wildcard not allowed", "01" "012" "0"},
        {"rule outside a group",
         "<PRAVIKTECHNIQUEMAPS><map id=\"m\"><renderer ref=\"R\"><rule from=\"hi\" to=\"lo\"/></renderer></map></PRAVIKTECHNIQUEMAPS>",
         true, "presence in wrong scope", "01" "012" "0"},
        {"unknown technique drops the rule",
         "<PRAVIKTECHNIQUEMAPS><map id=\"m\"><group ref=\"default\"><renderer ref=\"R\"><rule from=\"hi\" to=\"mid\"/>"
         "<rule from=\"lo\" to=\"hi\"/></renderer></group></map></PRAVIKTECHNIQUEMAPS>",
         true, "unknown technique name", "00" "012" "0"},
        {"unknown renderer skips its rules, not the next renderer",
         "<PRAVIKTECHNIQUEMAPS><map id=\"m\"><group ref=\"default\"><renderer ref=\"Q\"><rule from=\"hi\" to=\"lo\"/></renderer>"
         "<renderer ref=\"R\"><rule from=\"hi\" to=\"lo\"/></renderer></group></map></PRAVIKTECHNIQUEMAPS>",
         true, "renderer not found", "11" "012" "0"},
        {"renderer without url or ref", "<PRAVIKTECHNIQUEMAPS><map id=\"m\"><group ref=\"default\"><renderer/></group></map></PRAVIKTECHNIQUEMAPS>",
         true, "missing url or ref attribute", "01" "012" "0"},
        {"rule without to",
         "<PRAVIKTECHNIQUEMAPS><map id=\"m\"><group ref=\"default\"><renderer ref=\"R\"><rule from=\"hi\"/></renderer></group></map></PRAVIKTECHNIQUEMAPS>",
         true, "missing rule attribute", "01" "012" "0"},
        {"map without id", "<PRAVIKTECHNIQUEMAPS><map/><map id=\"m\"/></PRAVIKTECHNIQUEMAPS>", true, "missing id attribute",
         "01" "012" "0"},
        {"map with an empty id", "<PRAVIKTECHNIQUEMAPS><map id=\"\"/><map id=\"m\"/></PRAVIKTECHNIQUEMAPS>", true,
         "empty id attribute", "01" "012" "0"},
        {"url to a missing file",
         "<PRAVIKTECHNIQUEMAPS><map id=\"m\"><group ref=\"default\"><renderer url=\"none.bdae#E\"/></group></map></PRAVIKTECHNIQUEMAPS>",
         true, "effect file not found", "01" "012" "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        test::LogCapture log;
        EXPECT_EQ(load(c.xml), c.loaded);
        ASSERT_FALSE(log.empty());
        EXPECT_NE((log.first() + " " + log.entries()[0].hint).find(c.message), std::string::npos)
            << log.first() << " " << log.entries()[0].hint;
        EXPECT_EQ(table("m", "default"), c.table);
        if (c.loaded) { EXPECT_EQ(m.getNameID("default", 1), 0); }
    }
}

}  // namespace
