// The run trace: with QUENDRAX_TRACE=PATH, one line per event of the game's flow, each starting
// with the frame number (platform::Clock::frames()), so a scripted run can be compared line by
// line. Lines in use: "FRAME state OLD NEW", "FRAME load TYPE STEP", "FRAME sound ID",
// "FRAME music ID", "FRAME save", and the shell's "FRAME pause", "FRAME resume", "FRAME idle",
// "FRAME pointer pressed|dragged|released X Y", "FRAME exit".
// Each line is flushed as written, so a process that ends abruptly keeps its trace.
// Main thread only.
#pragma once

#include <string>

// printf-style text after the frame number; does nothing when no trace is open.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool TraceEnabled();

// Tests: write to path (empty closes the trace); the environment is not read again.
void TraceOpen(const std::string& path);
