#pragma once
// Decodes a sound file completely into a 16-bit PCM WAVE file with a 44-byte header (the sound
// cache). The working directory is never changed: a relative input is looked up as given (the
// engine's file system tries the sound archive first) and then below the application data
// folder; a relative output goes below the save folder. An output that already holds a good
// cache file of this sound is left alone.
//
// Results: 0 written (or already good); -1 no work buffer; -2 input missing or empty; -3 no '.',
// an extension other than wav/ogg/mpc, or no decoder; -4 no usable decoder cursor; -5 no file
// system or the output did not open; -6 a write failed (the output then starts with "NULL").

namespace kez {

class FileFormatConversion {
public:
    static int ConvertToWavPCM(const char* inputPath, const char* outputPath);

    // Handed in at start-up; empty means "as given".
    static void SetFolders(const char* appDataFolder, const char* saveFolder);
};

}  // namespace kez
