#pragma once
// What the scene tests share: a node that files one entry in a chosen pass and logs its
// render calls, and an animator that runs a callback.

#include "engine/EngineServices.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ISceneNode.h"
#include "engine/scene/ISceneNodeAnimator.h"
#include "engine/video/material/EVertexAttribute.h"
#include "tests/engine/video/DriverTestSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace test {

struct RenderLog {
    std::vector<std::string> entries;
};

class RecordingNode : public pravik::scene::ISceneNode {
public:
    RecordingNode(RenderLog* log, std::string name, pravik::scene::E_SCENE_NODE_RENDER_PASS pass,
                  const pravik::core::aabbox3d<float>& box = {-1, -1, -1, 1, 1, 1})
        : ISceneNode(-1), m_log(log), m_pass(pass), m_box(box)
    {
        setName(name.c_str());
    }
    bool onRegisterSceneNode() override
    {
        if (SceneManager && m_pass != pravik::scene::ESNRP_NONE)
            SceneManager->registerNodeForRendering(this, nullptr, nullptr, m_pass, nullptr);
        return true;
    }
    void render(void*) override
    {
        if (m_log) m_log->entries.push_back(Name.c_str());
        if (onRender) onRender(this);
    }
    const pravik::core::aabbox3d<float>& getBoundingBox() const override { return m_box; }
    void setBox(const pravik::core::aabbox3d<float>& box) { m_box = box; Flags |= pravik::scene::ESNF_BOUNDING_BOX_DIRTY; }

    std::function<void(RecordingNode*)> onRender;

private:
    RenderLog* m_log;
    pravik::scene::E_SCENE_NODE_RENDER_PASS m_pass;
    pravik::core::aabbox3d<float> m_box;
};

class CallbackAnimator : public pravik::scene::ISceneNodeAnimator {
public:
    explicit CallbackAnimator(std::function<void(pravik::scene::ISceneNode*, unsigned)> f) : m_f(std::move(f)) {}
    void animateNode(pravik::scene::ISceneNode* node, unsigned timeMs) override { m_f(node, timeMs); }
    ISceneNodeAnimator* createClone() const override { return new CallbackAnimator(m_f); }
    void onBind(pravik::scene::ISceneNode*) override { ++binds; }
    void onUnbind(pravik::scene::ISceneNode*) override { ++unbinds; }
    int binds = 0;
    int unbinds = 0;

private:
    std::function<void(pravik::scene::ISceneNode*, unsigned)> m_f;
};

// A one-pass material over a test shader, blending or not.
inline boost::intrusive_ptr<pravik::video::CMaterial> makeMaterial(pravik::video::IVideoDriver& driver, const char* name,
                                                                   bool blend)
{
    auto shader = addTestShader(driver, name, {}, {pravik::video::EVA_POSITION});
    const unsigned word1 = blend ? (0x00180007u | (1u << 16)) : 0x00180007u;
    const unsigned short id = buildRenderer(driver, name, shader, 0x18FF0001u, word1);
    return pravik::video::CMaterial::allocate(driver.getMaterialRendererManager()->get(id));
}

// A null driver with a scene manager over it, and the services both need.
class SceneFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver = makeNullDriver();
        manager = new pravik::scene::CSceneManager(driver.get(), nullptr);
    }
    void TearDown() override
    {
        manager->drop();
        manager = nullptr;
    }

    pravik::CEngineServicesScope services;  // outlives the driver
    ProcessBufferHeap heap;
    boost::intrusive_ptr<pravik::video::CNullDriver> driver;
    pravik::scene::CSceneManager* manager = nullptr;
};

}  // namespace test
