#pragma once
// The decoder type a sound file's extension asks for: "wav" 1, "ogg" 2, "mpc" 3, "kzn" 4. The
// extension is the text after the last '.', lower-cased the engine's way: 32 is added to every
// byte that, read as a signed char, is 96 or less (so "WAV" matches, while "mp3" becomes "mpS"
// and matches nothing).

namespace kez {

int DecoderTypeFromExtension(const char* path);  // -1 for a null path, no '.', or another extension

}  // namespace kez
