// A scene file drawn for real: a quad with texture coordinates under an unlit textured effect,
// its material bound to a 2 x 2 four-colour TGA, built by constructScene under the scene
// manager's root and drawn through the GL ES driver into a 64 x 64 pbuffer.

#include "engine/IDevice.h"
#include "engine/SCreationParameters.h"
#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CResFileManager.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/io/CFileSystem.h"
#include "engine/video/CTextureManager.h"
#include "engine/scene/CCameraSceneNode.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/gl/GLDispatch.h"
#include "engine/video/gl/SFixedGLShaderState.h"
#include "engine/video/material/EShaderParameterType.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/engine/video/GLTestContext.h"
#include "tests/support/TempDir.h"
#include "tools/formats/BresWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numbers>

namespace pravik::collada {
namespace {

using namespace formats::bres;
constexpr int kSize = 64;

std::string floats(std::initializer_list<float> values)
{
    std::string out(values.size() * 4, '\0');
    std::memcpy(out.data(), values.begin(), out.size());
    return out;
}

// Uncompressed 32-bit TGA, rows from the bottom: BGRA bytes.
std::string tga2x2(const unsigned char rgba[4][4])
{
    std::string b(18, '\0');
    b[2] = 2;
    b[12] = 2;
    b[14] = 2;
    b[16] = 32;
    b[17] = 8;
    for (int i = 0; i < 4; ++i) b += {char(rgba[i][2]), char(rgba[i][1]), char(rgba[i][0]), char(rgba[i][3])};
    return b;
}

std::string texturedQuadScene()
{
    Writer w;
    video::SFixedGLShaderFragmentState fs;
    fs.setActiveUnitCount(1);
    fs.texEnv[0].setEnvMode(video::ETEM_REPLACE);
    SPassSpec pass;
    pass.fragmentState.assign(reinterpret_cast<const char*>(&fs), sizeof fs);
    pass.binds = {SBindSpec{video::ESPT_TEXTURE, false, 0, 0, 0, ""}};
    SParamSpec texture;
    texture.name = "Texture";
    texture.type = EPT_SAMPLER2D;
    texture.parameterType = video::ESPT_TEXTURE;
    texture.images = {-1};
    addEffects(w, {{"Unlit Textured", {{"Default", {pass}}}, {texture}}});
    addImages(w, {{"Checker", "checker.tga", 0}});
    SParamSpec bound = texture;
    bound.images = {0};
    addMaterials(w, {{"Checker Material", 0, "#Unlit Textured", "", {bound}}});
    SGeometrySpec g;
    g.id = "Quad";
    g.stride = 20;
    g.vertexCount = 4;
    g.attributes = {{0, 6, 3}, {12, 6, 2}};
    g.vertices = floats({-10, -10, 0, 0, 0, 10, -10, 0, 1, 0, 10, 10, 0, 1, 1, -10, 10, 0, 0, 1});
    SMeshBufferSpec b;
    b.texCoords[0] = 1;
    b.highestIndex = 3;
    b.indices = {0, 1, 2, 0, 2, 3};
    g.buffers = {b};
    g.box[0] = g.box[1] = -10;
    g.box[3] = g.box[4] = 10;
    addGeometries(w, {g});
    const auto nodes = addVisualScene(w, "Scene", {{"Holder", {}}});
    addGeometryInstance(w, nodes[0], "Quad", {0});
    return w.finish();
}

TEST(SceneFilePixels, TexturedQuadShowsEachTexelInItsQuadrant)
{
    ::test::ProcessBufferHeap heap;
    video::test::GLTestContext context{kSize, kSize};
    ASSERT_TRUE(context.ok());
    ::test::TempDir dir;
    // Texels from the bottom row up: red, green | blue, white.
    const unsigned char texels[4][4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
    dir.write("checker.tga", tga2x2(texels));
    const std::string path = dir.write("quad.bdae", texturedQuadScene());

    SCreationParameters parameters;
    parameters.DriverType = video::EDT_OGLES1;
    parameters.WindowSize = {kSize, kSize};
    const boost::intrusive_ptr<IDevice> device(createDeviceEx(parameters), false);
    ASSERT_TRUE(device);
    video::IVideoDriver* driver = device->getVideoDriver();
    scene::CSceneManager* scene = device->getSceneManager();
    ASSERT_TRUE(driver && scene && device->getResFileManager());
    auto* gl = dynamic_cast<video::COpenGLESDriver*>(driver);
    ASSERT_TRUE(gl);
    {
        CRootSceneNode* root = CColladaDatabase::constructScene(driver, path.c_str(), nullptr);
        ASSERT_NE(root, nullptr);
        scene->getRootSceneNode()->addChild(root);
        root->drop();
        auto* camera = static_cast<scene::CCameraSceneNode*>(scene->addSceneNode("camera"));
        camera->setPosition({0, 0, 20});
        camera->setTarget({0, 0, 0});
        camera->setFOV(std::numbers::pi_v<float> / 2);

        driver->setClearColor(video::SColor(0, 0, 0, 255));
        driver->clearBuffers(3);
        scene->update(16);
        driver->setOption(0x100, false);
        gl->setSubmitDraws(true);
        scene->drawAll();
        std::vector<unsigned char> rgba(kSize * kSize * 4);
        video::g_gl.glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        // GL rows from the bottom; the quad covers pixels 16 to 47 on both axes, probed at its texel
        // centres. Texture coordinate v = 0 is the image's top row (the TGA's last row).
        auto at = [&](int x, int yFromBottom) { return &rgba[size_t((yFromBottom * kSize + x) * 4)]; };
        const struct {
            int x, y, texel;
        } probes[] = {{24, 24, 2}, {39, 24, 3}, {24, 39, 0}, {39, 39, 1}};
        for (const auto& p : probes) {
            SCOPED_TRACE(p.texel);
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(int(at(p.x, p.y)[c]), int(texels[p.texel][c]), 24) << c;
        }
        for (const auto& [x, y] : {std::pair{4, 4}, {60, 60}, {4, 60}, {60, 4}})
            for (int c = 0; c < 3; ++c) EXPECT_EQ(at(x, y)[c], 0) << x << "," << y;
        EXPECT_EQ(video::g_gl.glGetError(), GLenum(GL_NO_ERROR));
    }
}

}  // namespace
}  // namespace pravik::collada
