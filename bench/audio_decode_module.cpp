// The tiny tracker module of the decoder tests, built into the benchmark program too.
#include "tests/audio/decoders/TrackerModule.cpp"
