// What the game knows of the device: the accelerometer (dead zone, low-pass filter, shakes of
// three strengths, tilt angles) and a few device strings, plus the game language from the locale.
// One process-wide instance, made on first use. Acceleration unit: g x 9.81 x 0.16.
#pragma once

int GetDeviceLanguage();   // 0 en, 1 fr, 2 de, 3 it, 4 es, 5 zh, 6 ja, 7 ko, 8 pt/br; 255 none

class CPhoneDevice {
public:
    static constexpr int STRING_SIZE = 255;

    static CPhoneDevice* GetInstance();   // made when absent
    static void DestroyInstance();
    static CPhoneDevice* m_pInstance;

    void SetAccelerometer(double x, double y, double z);
    double GetIntensity();
    bool IsShaked();                      // true once per shake; sets the game's shake strength
    double CalculateAngle();              // returns the z angle
    void GetAngle(double& x, double& y, double& z);
    double GetAngleX();
    double GetAngleY();
    double GetAngleZ();
    static int GetDeviceLanguage() { return ::GetDeviceLanguage(); }

    // Bounded copies: a string that does not fit is refused with a message, the field kept.
    void SetFirmware(const char* s);
    void SetPlatform(const char* s);
    void SetLanguage(const char* s);
    void SetLocaleIdentifier(const char* s);
    void SetUUID(const char* s);

    int m_nLastShakeTime = 0;
    int m_nDeviceClass = 1;
    char m_szFirmware[STRING_SIZE] = {};
    char m_szPlatform[STRING_SIZE] = {};
    char m_szLanguage[STRING_SIZE] = {};
    char m_szLocale[STRING_SIZE] = {};
    char m_szUUID[STRING_SIZE] = {};
    double m_filtered[3] = {0, 0, 0};
    double m_current[3] = {0, 0, 0};
    int m_bFirmware = 0;
    double m_angle[3] = {0, 0, 0};
    double m_lastIntensity = 0;
    int m_nPlatform = 2;
};
