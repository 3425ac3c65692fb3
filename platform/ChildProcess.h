// Runs helper programs (the file selector, the link opener) as child
// processes, without the host's LD_LIBRARY_PATH, so libraries a host bundles
// for itself do not reach them.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The full path of a program found in PATH, empty when there is none.
std::string findProgram(const std::string& name);

struct ChildResult {
    static constexpr int kUnknown = -1;  // the host reaps children itself
    bool started = false;
    int exitStatus = kUnknown;  // the exit code, or 128 + the signal that ended it
    std::string output;         // what it wrote to its standard output
};

// Runs the program (argv[0] a full path) and waits for it; at most
// maxOutput bytes of its output are kept.
ChildResult runChild(const std::vector<std::string>& argv, std::size_t maxOutput = 65536);

// Starts the program and does not wait for it; false when it could not start.
bool startDetached(const std::vector<std::string>& argv);

}  // namespace platform
