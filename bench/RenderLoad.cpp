// Renders a fixed stretch of program "Tamborik" at 44.1 kHz through a
// module's entry point, for counting instructions with callgrind: the same
// work on every run, whatever the load of the machine.
// Usage: tamborik_render_load MODULE SECONDS [BLOCK [MODE [WHAT [EVERY]]]]
// WHAT is "all" (the full load: all ten voices kept sounding, the default),
// a voice number 0 to 9 (that voice alone) or "idle" (no voice struck: the
// cost of a block with nothing to play); the struck voices are struck
// again every EVERY frames (default 4096).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "bench/EntryPointLoad.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: tamborik_render_load MODULE SECONDS [BLOCK [MODE [all|idle|VOICE [EVERY]]]]\n", stderr);
        return 2;
    }
    const double seconds = std::atof(argv[2]);
    const int block = argc > 3 ? std::atoi(argv[3]) : 256;
    const int mode = argc > 4 ? std::atoi(argv[4]) : plugin::kOneStereo;
    const std::string what = argc > 5 ? argv[5] : "all";
    const int every = argc > 6 ? std::atoi(argv[6]) : bench::kRetriggerFrames;
    const bool idle = what == "idle";
    long voice = -1;  // all ten
    if (!idle && what != "all") {
        char* end = nullptr;
        voice = std::strtol(what.c_str(), &end, 10);
        if (what.empty() || *end || voice < 0 || voice >= plugin::kVoiceCount) return 2;
    }
    if (!(seconds >= 0.0) || block < 1 || mode < 0 || mode > 2 || every < 1) return 2;
    try {
        bench::EntryPointLoad load(argv[1], mode, block);
        if (!idle) load.keepSounding(static_cast<int>(voice), every);
        const auto blocks = static_cast<long>(seconds * 44100.0 / block);
        for (long k = 0; k < blocks; ++k) load.renderBlock();
        std::printf("%ld frames\n", blocks * block);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
