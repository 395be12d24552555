#pragma once
// The sample data, built once for all tests of a test run: the first test to ask runs
// quendrax-data into the build tree (under a lock, keyed by the builder's modification time);
// the others reuse that folder.

#include <string>

namespace test {

// The directory holding app/native/data/, or "" when the builder failed (its output in `why`).
std::string sampleDataRoot(std::string* why = nullptr);

// Runs the builder into dir; its exit status and everything it printed.
int runDataBuilder(const std::string& dir, std::string* output);

}  // namespace test
