#include "framework/AppPlaybook.h"

#include "framework/CGame.h"
#include "framework/CPhoneDevice.h"
#include "framework/CTouchPad.h"

#include "audio/decoders/FileFormatConversion.h"
#include "platform/Bps.h"

#include <cstdint>
#include <cstring>
#include <unistd.h>

char g_appPath[APP_PATH_SIZE];
char m_gSavPath[APP_PATH_SIZE];
int m_timerForResume = 0;

void GetConfigFilePath(char* buffer, const char* name)
{
    std::sprintf(buffer, "%s%s", g_appPath, name);
}

void GetSaveFilePath(char* buffer, const char* name)
{
    std::sprintf(buffer, "%s%s", m_gSavPath, name);
}

void openBrowser(const char* url)
{
    if (!url)
        return;
    char* error = nullptr;
    platform::navigator_invoke(url, &error);
    platform::bps_free(error);
}

int IsNetWorkEnable(int)
{
    bool available = false;
    platform::netstatus_get_availability(&available);
    return available ? 1 : 0;
}

bool AppPlaybook::InitDirectories()
{
    char cwd[APP_PATH_SIZE];
    if (!getcwd(cwd, sizeof cwd)) {
        std::fprintf(stderr, "quendrax: the working directory is too long or unreadable\n");
        return false;
    }
    const int data = std::snprintf(g_appPath, sizeof g_appPath, "%s/app/native/data/", cwd);
    const int save = std::snprintf(m_gSavPath, sizeof m_gSavPath, "%s/data/", cwd);
    if (data < 0 || data >= APP_PATH_SIZE || save < 0 || save >= APP_PATH_SIZE) {
        std::fprintf(stderr, "quendrax: the working directory is too long for the data paths\n");
        g_appPath[0] = m_gSavPath[0] = 0;
        return false;
    }
    return true;
}

AppPlaybook& AppPlaybook::instance()
{
    static AppPlaybook playbook;
    return playbook;
}

AppPlaybook::AppPlaybook()
{
    if (!g_appPath[0])
        InitDirectories();
    // "data" against the start-up directory, so a later change of directory cannot move it.
    // The save directory without its final slash is that folder.
    const std::size_t n = std::strlen(m_gSavPath);
    std::snprintf(m_dataFolder, sizeof m_dataFolder, "%.*s", int(n ? n - 1 : 0), m_gSavPath);
    kez::FileFormatConversion::SetFolders(g_appPath, m_gSavPath);
    std::printf("save: %s\ndata: %s", m_gSavPath, g_appPath);
    std::fflush(stdout);
}

bool AppPlaybook::onAppInit(int, int)
{
    m_timerForResume = 0;
    CGame* game = new CGame;
    if (!game->OnInitialize())
        return false;
    std::printf("\nINITIALIZED\n");
    std::fflush(stdout);
    return true;
}

void AppPlaybook::onAppUpdate()
{
    CGame* game = CGame::GetGame();
    if (m_timerForResume <= 0) {
        if (game)
            game->OnMainLoop();
        return;
    }
    if (m_timerForResume-- == 1 && game)
        game->Resume();
}

void AppPlaybook::onAppPause()
{
    if (CGame* game = CGame::GetGame())
        game->Pause();
}

void AppPlaybook::onAppResume()
{
    m_timerForResume = 1;
}

namespace {
void* touchKey(int id)
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(id));
}
} // namespace

void AppPlaybook::onTouchPress(int id, int x, int y)
{
    CGame* game = CGame::GetGame();
    if (!game || !game->GetTouchPad())
        return;
    game->TranslateMousePositionTo480Size(&x, &y);
    game->GetTouchPad()->PadTouchEvent(x, y, touchKey(id), 1);
}

void AppPlaybook::onTouchMove(int id, int x, int y)
{
    CGame* game = CGame::GetGame();
    if (!game || !game->GetTouchPad())
        return;
    game->TranslateMousePositionTo480Size(&x, &y);
    game->GetTouchPad()->PadMoveEvent(x, y, touchKey(id));
}

void AppPlaybook::onTouchRelease(int id, int x, int y)
{
    CGame* game = CGame::GetGame();
    if (!game || !game->GetTouchPad())
        return;
    game->TranslateMousePositionTo480Size(&x, &y);
    game->GetTouchPad()->PadUntouchEvent(x, y, touchKey(id), 1);
}

void AppPlaybook::onAccelerometer(double a, double b, double c)
{
    CPhoneDevice::GetInstance()->SetAccelerometer(a * 0.16, b * 0.16, c * -0.16);
}

FILE* AppPlaybook::customFopen(const char* path, const char* mode) const
{
    if (mode[0] == 'r' && !std::strstr(path, ".sav"))
        return std::fopen(path, mode);
    const char* name = std::strrchr(path, '/');
    char full[APP_PATH_SIZE * 2];
    std::snprintf(full, sizeof full, "%s%s%s", m_dataFolder, name ? "" : "/", name ? name : path);
    return std::fopen(full, mode);
}
