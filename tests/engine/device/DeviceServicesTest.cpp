// The engine's service tables live exactly as long as the devices that installed them.

#include "tests/engine/device/DeviceTestSupport.h"

#include "engine/EngineServices.h"
#include "engine/io/CTextureAttribute.h"
#include "engine/io/IAttributeVideo.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/material/IShaderManager.h"
#include "engine/video/material/detail/IMaterialParameters.h"
#include "tests/engine/video/CTextureManagerTestSupport.h"
#include "tests/engine/video/GLTestContext.h"

#include <gtest/gtest.h>

namespace {

using namespace pravik;

bool tablesEmpty()
{
    const auto& services = video::detail::shadermanager::getDriverServices();
    const auto& refs = video::detail::getMaterialParameterReferenceHooks();
    return !services.getFileSystem && !services.getShaderManager && !services.getTextureUnitCount &&
           !refs.grabTexture && !refs.dropTexture;
}

// Every check that a live device's tables work: the file system reaches the shaders, and a
// texture named in an attribute loads through the device's texture manager from its files.
void expectWiredTo(IDevice& device, const test::TempDir& dir)
{
    ASSERT_TRUE(device.getFileSystem()->addFolderFileArchive((dir.path().string() + "/").c_str(), true, false));
    video::IVideoDriver* driver = device.getVideoDriver();
    ASSERT_TRUE(driver);
    const auto& services = video::detail::shadermanager::getDriverServices();
    ASSERT_TRUE(services.getFileSystem);
    EXPECT_EQ(services.getFileSystem(driver), device.getFileSystem().get());
    video::CTextureManager* manager = driver->getTextureManager();
    ASSERT_TRUE(manager);
    EXPECT_EQ(manager->getFileSystem(), device.getFileSystem().get());

    io::CTextureAttribute attribute("t", nullptr, driver, false);
    attribute.setString("a.png");
    video::ITexture* texture = attribute.getTexture();
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->getWidth(), 8);
    EXPECT_EQ(texture->getHeight(), 8);
    const unsigned short id = texture->getId();
    ASSERT_NE(id, 0xffff);
    EXPECT_EQ(manager->getRegistry().get(id).get(), texture);
    EXPECT_EQ(io::toString(texture, driver), "a.png;a.png");
}

class DeviceServices : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(getEngineServicesCount(), 0);
        ASSERT_TRUE(tablesEmpty());
        dir.write("a.png", test::pngOf(test::patternImage(video::EPF_R8G8B8A8, 8, 8)));
    }
    test::TempDir dir;
};

TEST_F(DeviceServices, TablesLiveWithTheDeviceOnEachDriverType)
{
    video::test::GLTestContext context(600, 1024);
    ASSERT_TRUE(context.ok());
    for (auto type : {video::EDT_NULL, video::EDT_OGLES1, video::EDT_NULL}) {
        SCOPED_TRACE(type);
        {
            const auto device = test::makeDevice(type);
            ASSERT_TRUE(device);
            EXPECT_EQ(getEngineServicesCount(), 1);
            expectWiredTo(*device, dir);
        }
        EXPECT_EQ(getEngineServicesCount(), 0);
        EXPECT_TRUE(tablesEmpty());
        // A driver made now, without a device, finds no texture through the emptied tables.
        const boost::intrusive_ptr<video::CNullDriver> bare(video::createNullDriver(nullptr), false);
        EXPECT_EQ(bare->getTextureManager(), nullptr);
        EXPECT_EQ(io::fromString("a.png", bare.get()), nullptr);
    }
}

TEST_F(DeviceServices, TwoDevicesKeepTheTablesUntilTheLastGoes)
{
    auto first = test::makeDevice(video::EDT_NULL);
    auto second = test::makeDevice(video::EDT_NULL);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(getEngineServicesCount(), 2);
    first.reset();
    EXPECT_FALSE(tablesEmpty());
    expectWiredTo(*second, dir);
    second.reset();
    EXPECT_TRUE(tablesEmpty());
}

TEST_F(DeviceServices, TheScopeAndTheDeviceShareOneCount)
{
    {
        CEngineServicesScope scope;
        auto device = test::makeDevice(video::EDT_NULL);
        device.reset();
        EXPECT_FALSE(tablesEmpty());
    }
    EXPECT_TRUE(tablesEmpty());
    EXPECT_FALSE(removeEngineServices());  // an unmatched removal does nothing
    EXPECT_EQ(getEngineServicesCount(), 0);
}

}  // namespace
