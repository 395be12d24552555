#include "engine/scene/CSceneManager.h"

#include <gtest/gtest.h>

#include "engine/io/CFileSystem.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CMemoryWriteFile.h"
#include "engine/scene/CEmptySceneNode.h"
#include "engine/scene/ISceneUserDataSerializer.h"
#include "tests/engine/scene/SceneTestSupport.h"

#include <cstring>
#include <string>
#include <vector>

namespace pravik::scene {
namespace {

// The written file, UTF-32LE after a byte-order mark, narrowed for comparison.
std::string narrowed(const io::CMemoryWriteFile& file)
{
    std::string text;
    const uint8_t* b = file.getBuffer();
    for (uint32_t i = 4; b && i + 3 < file.getBufferSize(); i += 4) text += char(b[i]);
    return text;
}

class CSceneManagerFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_driver = ::test::makeNullDriver();
        m_fileSystem = new io::CFileSystem();
        m_manager = new CSceneManager(m_driver.get(), m_fileSystem);
    }
    void TearDown() override { m_manager->drop(); }

    std::string save(CSceneManager& manager)
    {
        auto* file = new io::CMemoryWriteFile();
        EXPECT_TRUE(manager.saveScene(file));
        const std::string text = narrowed(*file);
        m_saved.assign(file->getBuffer(), file->getBuffer() + file->getBufferSize());
        file->drop();
        return text;
    }
    bool load(CSceneManager& manager, const std::vector<uint8_t>& bytes, ISceneUserDataSerializer* serializer = nullptr)
    {
        auto* data = new uint8_t[bytes.size()];
        std::memcpy(data, bytes.data(), bytes.size());
        auto* file = new io::CMemoryReadFile(data, int32_t(bytes.size()), "scene.xml", true);
        const bool ok = manager.loadScene(file, serializer);
        file->drop();
        return ok;
    }
    static std::vector<uint8_t> ascii(const std::string& text) { return {text.begin(), text.end()}; }

    CEngineServicesScope m_services;
    ::test::ProcessBufferHeap m_heap;
    boost::intrusive_ptr<video::CNullDriver> m_driver;
    boost::intrusive_ptr<io::IFileSystem> m_fileSystem;
    CSceneManager* m_manager = nullptr;
    std::vector<uint8_t> m_saved;
};

TEST_F(CSceneManagerFilesTest, OneEmptyNodeSceneSavesAndReadsBack)
{
    m_manager->getRootSceneNode()->setName("level");
    m_manager->setAmbientLight(video::SColorf(0.25f, 0.5f, 0.75f, 1));
    ISceneNode* node = m_manager->addSceneNode("empty");
    node->setName("pivot");
    node->setPosition(core::vector3d<float>(1, 2, 3));
    ISceneNode* debug = m_manager->addSceneNode("empty");
    debug->setIsDebugObject(true);  // not written, nor its children
    m_manager->addSceneNode("light", debug);

    const std::string want =
        "<?xml version=\"1.0\"?>\n<vuv_scene>\n\n"
        "\t<attributes>\n"
        "\t\t<string name=\"Name\" value=\"level\" />\n"
        "\t\t<int name=\"Id\" value=\"-1\" />\n"
        "\t\t<colorf name=\"AmbientLight\" value=\"0.25, 0.5, 0.75, 1\" />\n"
        "\t</attributes>\n\n"
        "\t<node type=\"empty\">\n\n"
        "\t\t<attributes>\n"
        "\t\t\t<string name=\"Name\" value=\"pivot\" />\n"
        "\t\t\t<int name=\"Id\" value=\"-1\" />\n"
        "\t\t\t<vector3d name=\"Position\" value=\"1, 2, 3\" />\n"
        "\t\t\t<quaternion name=\"Rotation\" value=\"0, 0, 0, 1\" />\n"
        "\t\t\t<vector3d name=\"Scale\" value=\"1, 1, 1\" />\n"
        "\t\t\t<bool name=\"Visible\" value=\"true\" />\n"
        "\t\t\t<enum name=\"AutomaticCulling\" value=\"false\" />\n"
        "\t\t\t<bool name=\"IsDebugObject\" value=\"false\" />\n"
        "\t\t</attributes>\n\n"
        "\t</node>\n\n"
        "</vuv_scene>\n\n";
    EXPECT_EQ(save(*m_manager), want);

    CSceneManager* copy = new CSceneManager(m_driver.get(), m_fileSystem);
    ASSERT_TRUE(load(*copy, m_saved));
    EXPECT_STREQ(copy->getRootSceneNode()->getName(), "level");
    EXPECT_FLOAT_EQ(copy->getAmbientLight().b, 0.75f);
    ASSERT_EQ(copy->getRootSceneNode()->getChildren().size(), 1u);
    ISceneNode* read = copy->getSceneNodeFromName("pivot");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->getType(), ESNT_EMPTY);
    EXPECT_EQ(read->getAbsoluteTransformation().getTranslation(), core::vector3d<float>(1, 2, 3));
    copy->drop();
}

// Counts what the reader hands over.
class CountingSerializer : public ISceneUserDataSerializer {
public:
    void nodeLoaded(ISceneNode*) override { ++nodes; }
    void userDataLoaded(ISceneNode*, const io::IAttributes* data) override { userData += data->getInt("Score"); }
    io::IAttributes* createUserDataFor(ISceneNode*) override { return nullptr; }
    int nodes = 0;
    int userData = 0;
};

TEST_F(CSceneManagerFilesTest, UnknownTypeSkipsItsSubtreeAndTheRestIsRead)
{
    const std::string scene =
        "<?xml version=\"1.0\"?>\n<vuv_scene>\n"
        "<node type=\"teapot\"><node type=\"empty\"><attributes><string name=\"Name\" value=\"lost\" /></attributes>"
        "</node></node>\n"
        "<node type=\"dummyTransformation\"><attributes><string name=\"Name\" value=\"kept\" /></attributes>"
        "<userData><attributes><int name=\"Score\" value=\"7\" /></attributes></userData>"
        "<wobble /><node type=\"light\"></node></node>\n"
        "</vuv_scene>\n";
    CountingSerializer serializer;
    ASSERT_TRUE(load(*m_manager, ascii(scene), &serializer));
    EXPECT_EQ(m_manager->getSceneNodeFromName("lost"), nullptr);
    ISceneNode* kept = m_manager->getSceneNodeFromName("kept");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->getType(), ESNT_DUMMY_TRANSFORMATION);
    ASSERT_EQ(kept->getChildren().size(), 1u);
    EXPECT_EQ(kept->getChildren().front()->getType(), ESNT_LIGHT);
    EXPECT_EQ(serializer.userData, 7);
    EXPECT_EQ(serializer.nodes, 3);  // root, kept and its light
}

TEST_F(CSceneManagerFilesTest, RefusedInputs)
{
    EXPECT_FALSE(load(*m_manager, ascii("<?xml version=\"1.0\"?>\n<scene><node type=\"empty\"/></scene>\n")));
    EXPECT_TRUE(m_manager->getRootSceneNode()->getChildren().empty());
    EXPECT_FALSE(m_manager->loadScene(static_cast<io::IReadFile*>(nullptr)));
    EXPECT_FALSE(m_manager->loadScene("/no/such/scene.xml"));
    EXPECT_FALSE(m_manager->saveScene(static_cast<io::IWriteFile*>(nullptr)));

    // Nesting past any real scene is cut off, not followed down the stack.
    std::string deep = "<vuv_scene>";
    for (int i = 0; i < 3000; ++i) deep += "<node type=\"empty\">";
    for (int i = 0; i < 3000; ++i) deep += "</node>";
    deep += "</vuv_scene>";
    EXPECT_TRUE(load(*m_manager, ascii(deep)));
    std::vector<ISceneNode*> all;
    m_manager->getSceneNodesFromType(ESNT_EMPTY, all);
    EXPECT_LE(all.size(), 1002u);
}

}  // namespace
}  // namespace pravik::scene
