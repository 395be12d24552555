// Lights and cameras from their records: the worked examples as tables.

#include "engine/collada/CCameraSceneNode.h"
#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CLightSceneNode.h"
#include "tests/engine/collada/SceneFileTestSupport.h"
#include "tools/formats/BresWriter.h"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace pravik::collada {
namespace {

using formats::bres::Writer;

class SceneFileLightCameraTest : public test::SceneFileFixture {};

TEST_F(SceneFileLightCameraTest, LightColoursTypesAndParameters)
{
    Writer w;
    const uint32_t lights = w.newVec(offsetof(SCollada, lights), 4, sizeof(SLight));
    const uint32_t kinds[] = {1, 0, 2, 7};
    for (uint32_t i = 0; i < 4; ++i) {
        const uint32_t at = lights + i * sizeof(SLight);
        w.str(at, "L" + std::to_string(i));
        w.u32(at + 8, kinds[i]);
        w.u32(at + 12, 0xFF0080FFu);  // red 255, green 128, blue 0, alpha 255
        w.f32(at + 16, 1.f);
    }
    const uint32_t spot = w.alloc(20);
    for (uint32_t k = 0; k < 5; ++k) w.f32(spot + 4 * k, float(k + 2));
    w.ptr(lights + 2 * sizeof(SLight) + 20, spot);
    CColladaDatabase db(write("lights.bdae", w.finish()).c_str());
    const struct {
        int index;
        video::E_LIGHT_TYPE type;
        video::SColorf diffuse, specular, ambient;
    } cases[] = {
        {0, video::ELT_POINT, {1, 128 / 255.f, 0, 1}, {1, 128 / 255.f, 0, 1}, video::CLight().AmbientColor},
        {1, video::ELT_AMBIENT, {0, 0, 0, 0}, {0, 0, 0, 0}, {1, 128 / 255.f, 0, 1}},
        {2, video::ELT_SPOT, {1, 128 / 255.f, 0, 1}, {1, 128 / 255.f, 0, 1}, video::CLight().AmbientColor},
        {3, video::CLight().Type, video::CLight().DiffuseColor, {1, 128 / 255.f, 0, 1}, video::CLight().AmbientColor},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        auto* node = new CLightSceneNode(db, db.getLight(c.index));
        const video::CLight& l = *node->getLight();
        EXPECT_EQ(node->getType(), scene::ESNT_LIGHT);
        EXPECT_STREQ(node->getUID(), ("L" + std::to_string(c.index)).c_str());
        EXPECT_EQ(l.Type, c.type);
        for (const auto& [got, want] : {std::pair{l.DiffuseColor, c.diffuse}, {l.SpecularColor, c.specular},
                                        {l.AmbientColor, c.ambient}}) {
            EXPECT_NEAR(got.r, want.r, 1e-5f);
            EXPECT_NEAR(got.g, want.g, 1e-5f);
            EXPECT_NEAR(got.b, want.b, 1e-5f);
            EXPECT_NEAR(got.a, want.a, 1e-5f);
        }
        if (c.index == 2) {
            EXPECT_EQ(l.Attenuation, core::vector3d<float>(2, 3, 4));
            EXPECT_EQ(l.OuterCone, 5.f);
            EXPECT_EQ(l.Falloff, 6.f);
        }
        if (c.index == 0) { EXPECT_EQ(l.Attenuation, video::CLight().Attenuation); }  // no parameter block
        node->drop();
    }
}

TEST_F(SceneFileLightCameraTest, CameraProjectionAndUpAxis)
{
    const struct {
        const char* why;
        uint32_t kind, upAxis;
        float size, aspect;
        float fov, mag;
        core::vector3d<float> up;
    } cases[] = {
        {"60 degrees at aspect 1", 0, 1, 60, 1, std::numbers::pi_v<float> / 3, -1, {0, 1, 0}},
        {"60 degrees at aspect 2", 0, 2, 60, 2, 2 * std::atan(std::tan(std::numbers::pi_v<float> / 6) / 2), -1, {0, 0, 1}},
        {"orthographic half-width 10 at aspect 2", 1, 7, 10, 2, -1, 5, {0, 1, 0}},
    };
    int i = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Writer w;
        w.u32(offsetof(SCollada, upAxis), c.upAxis);
        const uint32_t camera = w.newVec(offsetof(SCollada, cameras), 1, sizeof(SCamera));
        w.str(camera, "Cam");
        w.u32(camera + 4, c.kind);
        w.f32(camera + 8, c.size);
        w.f32(camera + 12, c.aspect);
        w.f32(camera + 16, 1);
        w.f32(camera + 20, 100);
        w.str(camera + 24, "");
        CColladaDatabase db(write("camera" + std::to_string(i++) + ".bdae", w.finish()).c_str());
        auto* node = new CCameraSceneNode(db, db.getCamera(0));
        EXPECT_STREQ(node->getUID(), "Cam");
        EXPECT_EQ(node->getType(), ESNT_DAE_CAMERA);
        EXPECT_EQ(node->getUpVector(), c.up);
        if (c.fov > 0) { EXPECT_NEAR(node->getFOV(), c.fov, 1e-6f); }
        if (c.mag > 0) {
            EXPECT_TRUE(node->isOrthogonal());
            EXPECT_FLOAT_EQ(node->getMAG(), c.mag);
            EXPECT_NEAR(node->getProjectionMatrix()[0], 0.1f, 1e-6f);
        }
        EXPECT_EQ(node->getNearValue(), 1.f);
        EXPECT_EQ(node->getFarValue(), 100.f);
        node->drop();
    }
}

}  // namespace
}  // namespace pravik::collada
