#include "framework/CPhoneDevice.h"

#include "framework/GameInterface.h"

#include "engine/os/Timer.h"
#include "platform/Bps.h"

#include <cmath>
#include <cstdio>
#include <cstring>

CPhoneDevice* CPhoneDevice::m_pInstance = nullptr;

CPhoneDevice* CPhoneDevice::GetInstance()
{
    if (!m_pInstance)
        m_pInstance = new CPhoneDevice;
    return m_pInstance;
}

void CPhoneDevice::DestroyInstance()
{
    delete m_pInstance;
    m_pInstance = nullptr;
}

void CPhoneDevice::SetAccelerometer(double x, double y, double z)
{
    // The bounds are the single-precision constants the device code compared in double.
    const double low = double(-0.08f), high = double(0.01f), shift = double(0.07f);
    const double in[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        double v = in[i];
        if (v > low && v < high)
            v = 0;
        else if (v <= low)
            v = v + shift;
        m_current[i] = v;
        m_filtered[i] = 0.9 * m_filtered[i] + 0.1 * v;
    }
}

double CPhoneDevice::GetIntensity()
{
    const double dx = m_current[0] - m_filtered[0];
    const double dy = m_current[1] - m_filtered[1];
    const double dz = m_current[2] - m_filtered[2];
    m_lastIntensity = std::sqrt(dx * dx + dy * dy + dz * dz);
    return m_lastIntensity;
}

bool CPhoneDevice::IsShaked()
{
    const int state = GameInterface().StateCurrent();
    const bool hub = state == 26 || state == 36 || state == 37;
    const double threshold = hub ? 0.2 : 0.5;
    const unsigned interval = hub ? 50u : 200u;
    const double intensity = GetIntensity();
    if (!(intensity > threshold))
        return false;
    const unsigned now = pravik::os::Timer::getRealTime();
    if (!(now - unsigned(m_nLastShakeTime) > interval))
        return false;
    GameInterface().SetShakeBrickCount(intensity < 0.3 ? 3 : (intensity < 0.5 ? 5 : 7));
    m_nLastShakeTime = int(now);
    return true;
}

double CPhoneDevice::CalculateAngle()
{
    const double bound = double(0.999999f);
    const double turn = double(6.2831854820251465f);
    for (int i = 0; i < 3; ++i) {
        if (m_current[i] > bound)
            m_current[i] = bound;
        else if (m_current[i] < -bound)
            m_current[i] = -bound;
        m_angle[i] = std::acos(m_current[i]) * 360.0 / turn;
    }
    return m_angle[2];
}

void CPhoneDevice::GetAngle(double& x, double& y, double& z)
{
    CalculateAngle();
    x = m_angle[0];
    y = m_angle[1];
    z = m_angle[2];
}

double CPhoneDevice::GetAngleX()
{
    CalculateAngle();
    return m_angle[0];
}

double CPhoneDevice::GetAngleY()
{
    CalculateAngle();
    return m_angle[1];
}

double CPhoneDevice::GetAngleZ()
{
    return CalculateAngle();
}

namespace {
bool copyBounded(char (&field)[CPhoneDevice::STRING_SIZE], const char* s, const char* what)
{
    if (!s)
        return false;
    const std::size_t n = std::strlen(s);
    if (n >= sizeof field) {
        std::fprintf(stderr, "CPhoneDevice: %s of %zu characters does not fit; kept the old one\n", what, n);
        return false;
    }
    std::memcpy(field, s, n + 1);
    return true;
}
} // namespace

void CPhoneDevice::SetFirmware(const char* s)
{
    if (copyBounded(m_szFirmware, s, "firmware"))
        m_bFirmware = std::strcmp(m_szFirmware, "3.2") >= 0 ? 1 : 0;
}

void CPhoneDevice::SetPlatform(const char* s)
{
    if (!copyBounded(m_szPlatform, s, "platform"))
        return;
    static const struct {
        const char* name;
        int deviceClass, platform;
    } kPlatforms[] = {{"i386", 1, 2},     {"iPhone1,1", 2, 4}, {"iPhone1,2", 3, 4}, {"iPhone2,1", 4, 2},
                      {"iPhone3,1", 5, 2}, {"iPod1,1", 6, 4},   {"iPod2,1", 7, 2},   {"iPod3,1", 8, 2},
                      {"iPad1,1", 9, 2}};
    m_nDeviceClass = 0;
    m_nPlatform = 2;
    for (const auto& p : kPlatforms)
        if (std::strcmp(m_szPlatform, p.name) == 0) {
            m_nDeviceClass = p.deviceClass;
            m_nPlatform = p.platform;
        }
}

void CPhoneDevice::SetLanguage(const char* s)
{
    copyBounded(m_szLanguage, s, "language");
}

void CPhoneDevice::SetLocaleIdentifier(const char* s)
{
    copyBounded(m_szLocale, s, "locale");
}

void CPhoneDevice::SetUUID(const char* s)
{
    copyBounded(m_szUUID, s, "unique id");
}

int GetDeviceLanguage()
{
    char* language = nullptr;
    char* country = nullptr;
    if (platform::locale_get(&language, &country) != platform::BPS_SUCCESS || !language) {
        platform::bps_free(language);
        platform::bps_free(country);
        return 255;
    }
    static const struct {
        const char* code;
        int index;
    } kLanguages[] = {{"en", 0}, {"fr", 1}, {"de", 2}, {"it", 3}, {"es", 4},
                      {"ko", 7}, {"ja", 6}, {"zh", 5}, {"br", 8}, {"pt", 8}};
    int result = 255;
    for (const auto& l : kLanguages)
        if (std::strstr(language, l.code)) {
            result = l.index;
            break;
        }
    platform::bps_free(language);
    platform::bps_free(country);
    return result;
}
