#include "framework/CPhoneDevice.h"
#include "framework/GameInterface.h"

#include "engine/os/Timer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

std::uint64_t g_nowUs = 0;
std::uint64_t testClock()
{
    return g_nowUs;
}

struct SMenu : IGameInterface {
    int state = 26;
    int shake = -1;
    int StateCurrent() override { return state; }
    void SetShakeBrickCount(int s) override { shake = s; }
};

} // namespace

TEST(CPhoneDevice, DeadZoneAndFilter)
{
    const struct {
        double in, out;
    } kCases[] = {{-0.05, 0}, {0.005, 0}, {-0.1, -0.1 + double(0.07f)}, {0.02, 0.02}, {0.01, 0.01}, {-0.08, -0.08 + double(0.07f)}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.in);
        CPhoneDevice d;
        d.SetAccelerometer(c.in, 0, 0);
        EXPECT_DOUBLE_EQ(d.m_current[0], c.out);
        EXPECT_DOUBLE_EQ(d.m_filtered[0], 0.1 * c.out);
    }
    CPhoneDevice d;
    d.SetAccelerometer(-0.1, 0, 0);
    EXPECT_NEAR(d.m_current[0], -0.03, 1e-6);
}

TEST(CPhoneDevice, ShakeStrengthAndIntervalByScreen)
{
    pravik::os::Timer::setTimeSource(testClock);
    SMenu game;
    SetGameInterface(&game);
    const struct {
        int state;
        double jump;
        bool shaken;
        int strength;
    } kCases[] = {{26, 0.4, true, 5}, {36, 1.0, true, 7}, {37, 0.25, true, 3}, {12, 0.4, false, -1}, {12, 1.0, true, 7}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.state * 10 + c.jump);
        game.state = c.state;
        game.shake = -1;
        g_nowUs = 10'000'000;
        CPhoneDevice d;
        d.SetAccelerometer(c.jump, 0, 0);
        EXPECT_EQ(d.IsShaked(), c.shaken);
        EXPECT_EQ(game.shake, c.strength);
    }

    // Two shakes 100 ms apart: both count in a menu hub, only the first elsewhere.
    for (int state : {26, 12}) {
        game.state = state;
        CPhoneDevice d;
        g_nowUs = 20'000'000;
        d.SetAccelerometer(1.0, 0, 0);
        EXPECT_TRUE(d.IsShaked());
        g_nowUs += 100'000;
        d.SetAccelerometer(-1.0, 0, 0);
        EXPECT_EQ(d.IsShaked(), state == 26);
    }
    SetGameInterface(nullptr);
    pravik::os::Timer::setTimeSource(nullptr);
}

TEST(CPhoneDevice, TiltAnglesClampBeforeTheArcCosine)
{
    CPhoneDevice d;
    d.m_current[0] = 1.0;
    d.m_current[1] = 0.0;
    d.m_current[2] = -3.0;
    double x, y, z;
    d.GetAngle(x, y, z);
    EXPECT_NEAR(x, 0.08, 0.01);
    EXPECT_GT(x, 0.0);
    EXPECT_NEAR(y, 90.0, 1e-5);
    EXPECT_NEAR(z, 179.92, 0.01);
    EXPECT_DOUBLE_EQ(d.m_current[2], -double(0.999999f));
}

TEST(CPhoneDevice, LanguageFromTheLocale)
{
    const char* old = std::getenv("LANG");
    const std::string saved = old ? old : "";
    const struct {
        const char* lang;
        int language;
    } kCases[] = {{"pt_BR.UTF-8", 8}, {"sv_SE", 255}, {"en_US.UTF-8", 0}, {"fr_FR", 1}, {"ja_JP", 6},
                  {"zh_CN", 5},       {"ko_KR", 7},   {"es_ES", 4},       {"de_DE", 2}, {"it_IT", 3}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.lang);
        setenv("LANG", c.lang, 1);
        EXPECT_EQ(GetDeviceLanguage(), c.language);
    }
    if (old)
        setenv("LANG", saved.c_str(), 1);
    else
        unsetenv("LANG");
}

TEST(CPhoneDevice, DeviceStringsAreBounded)
{
    CPhoneDevice d;
    d.SetPlatform("iPod1,1");
    EXPECT_EQ(d.m_nDeviceClass, 6);
    EXPECT_EQ(d.m_nPlatform, 4);
    d.SetPlatform("Linux");
    EXPECT_EQ(d.m_nDeviceClass, 0);
    EXPECT_EQ(d.m_nPlatform, 2);
    d.SetFirmware("3.10");
    EXPECT_EQ(d.m_bFirmware, 0);   // compared as text
    d.SetFirmware("4.0");
    EXPECT_EQ(d.m_bFirmware, 1);
    const std::string tooLong(300, 'x');
    d.SetUUID("abc");
    d.SetUUID(tooLong.c_str());
    EXPECT_STREQ(d.m_szUUID, "abc");
}
