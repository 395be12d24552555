// The application's side of the shell: the two directories every path is formed from, the
// application's start, turn, pause and resume, touch forwarding into the touch tracker and
// accelerometer samples into the sensors. Directories are absolute (the start-up working
// directory) and end in a slash: data "<cwd>/app/native/data/", save "<cwd>/data/".
#pragma once

#include <cstdio>

constexpr int APP_PATH_SIZE = 1024;
extern char g_appPath[APP_PATH_SIZE];     // the data directory
extern char m_gSavPath[APP_PATH_SIZE];    // the save directory
extern int m_timerForResume;               // turns until the deferred resume

void GetConfigFilePath(char* buffer, const char* name);   // data directory + name
void GetSaveFilePath(char* buffer, const char* name);     // save directory + name
void openBrowser(const char* url);
int IsNetWorkEnable(int);

class AppPlaybook {
public:
    static AppPlaybook& instance();
    virtual ~AppPlaybook() = default;

    // Takes the directories from the working directory; false (with a message) when they do
    // not fit their buffers.
    static bool InitDirectories();

    bool onAppInit(int width, int height);   // false when the application could not start
    void onAppUpdate();
    void onAppPause();
    void onAppResume();
    void onAppDestroy() {}
    void onTouchPress(int id, int x, int y);
    void onTouchMove(int id, int x, int y);
    void onTouchRelease(int id, int x, int y);
    void onAccelerometer(double a, double b, double c);

    // A mode starting with 'r' on a path without ".sav" opens the path; anything else opens the
    // path's file name inside the start-up "data" folder.
    FILE* customFopen(const char* path, const char* mode) const;

private:
    AppPlaybook();
    char m_dataFolder[APP_PATH_SIZE + 8] = {};
};
