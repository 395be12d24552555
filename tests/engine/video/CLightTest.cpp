#include "engine/io/CAttributes.h"
#include "engine/video/CLight.h"
#include "engine/video/CVideoModeList.h"
#include "engine/video/EDriverTypes.h"
#include "engine/video/ETexture.h"
#include "tests/engine/video/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace pravik;
using namespace pravik::video;

namespace {

TEST(Light, FreeLightsTakeTransformsAttachedOnesRefuse)
{
    auto free = CLight::allocate();
    ASSERT_NE(free->getTransformation(), nullptr);
    EXPECT_TRUE(free->getTransformation()->isIdentity());
    core::CMatrix4<float> m;
    m.setTranslation({1, 2, 3});
    EXPECT_TRUE(free->setAbsoluteTransformation(m));
    EXPECT_EQ(free->getTransformation()->getTranslation(), core::vector3d<float>(1, 2, 3));

    STransformationSource* slot = nullptr;
    auto attached = CLight::allocate(&slot);
    ASSERT_NE(slot, nullptr);
    core::CMatrix4<float> nodeMatrix;
    *slot = &nodeMatrix;  // the scene node points the light at its own transformation
    EXPECT_EQ(attached->getTransformation(), &nodeMatrix);
    test::LogCapture log;
    EXPECT_FALSE(attached->setAbsoluteTransformation(m));
    EXPECT_TRUE(log.contains("Can not set absolute transform on light attached to a transformation source"));
}

TEST(Light, AttributesRoundTripEveryFieldButTheTransformation)
{
    auto a = CLight::allocate();
    a->Type = ELT_SPOT;
    a->AmbientColor = SColorf(0.1f, 0.2f, 0.3f, 1);
    a->Attenuation = {1, 0.5f, 0.25f};
    a->Radius = 12;
    a->InnerCone = 10;
    a->OuterCone = 30;
    a->Falloff = 3;
    a->CastShadows = false;
    boost::intrusive_ptr<io::CAttributes> store(new io::CAttributes(nullptr), false);
    a->serializeAttributes(store.get());
    EXPECT_STREQ(store->getEnum("Type"), "Spot");
    auto b = CLight::allocate();
    b->deserializeAttributes(store.get());
    EXPECT_EQ(b->Type, ELT_SPOT);
    EXPECT_EQ(b->AmbientColor, a->AmbientColor);
    EXPECT_EQ(b->Attenuation, a->Attenuation);
    EXPECT_EQ(b->Radius, 12.f);
    EXPECT_EQ(b->OuterCone, 30.f);
    EXPECT_FALSE(b->CastShadows);
    auto c = a->clone();
    EXPECT_EQ(c->Falloff, 3.f);
    EXPECT_NE(c->getTransformation(), a->getTransformation());
}

TEST(VideoModes, SortedWithoutDuplicates)
{
    CVideoModeList modes;
    EXPECT_EQ(modes.getVideoModeResolution(0), core::dimension2d<int>(0, 0));
    EXPECT_EQ(modes.getVideoModeDepth(0), 0);
    modes.addMode({800, 600}, 32);
    modes.addMode({800, 600}, 32);
    EXPECT_EQ(modes.getVideoModeCount(), 1);
    modes.addMode({640, 480}, 16);
    EXPECT_EQ(modes.getVideoModeResolution(0), core::dimension2d<int>(640, 480));
    EXPECT_EQ(modes.getVideoModeDepth(-1), 0);
}

template <class E>
std::vector<std::string> names()
{
    std::vector<std::string> out;
    for (const char* const* n = core::getStrings<E>(); *n; ++n) out.push_back(*n);
    return out;
}

TEST(DriverNameTables, EachTableEndsAfterItsLastName)
{
    EXPECT_EQ(names<E_BUFFER_TYPE>().back(), "Texture Reference");
    EXPECT_EQ(names<E_BUFFER_USAGE>().size(), 4u);  // usage 4 has no name
    EXPECT_EQ(names<E_LIGHT_TYPE>().back(), "Ambient");
    EXPECT_EQ(names<E_ORIENTATION>().back(), "270");
    EXPECT_EQ(names<E_TEXTURE_CUBE_MAP_FACE>().front(), "Position X");
    const auto ext = names<E_GL_EXTENSION>();
    ASSERT_EQ(ext.size(), 439u);
    EXPECT_EQ(ext.back(), "GL_IMG_texture_format_BGRA8888");
    EXPECT_EQ(ext[EGLE_ARB_texture_non_power_of_two], "GL_ARB_texture_non_power_of_two");
    EXPECT_EQ(ext[EGLE_OES_framebuffer_object], "GL_OES_framebuffer_object");
    EXPECT_EQ(ext[EGLE_IMG_texture_compression_pvrtc], "GL_IMG_texture_compression_pvrtc");
    for (size_t i = 0; i < ext.size(); ++i) {
        SCOPED_TRACE(ext[i]);
        const std::string prefix = i < 83 ? "GL_ARB_" : "GL_";
        EXPECT_EQ(ext[i].compare(0, prefix.size(), prefix), 0);
        if (i >= 364) {
            EXPECT_EQ(ext[i].find("GL_ARB_"), std::string::npos);
        }
    }
}

}  // namespace
