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
    const int voice = idle || what == "all" ? -1 : std::atoi(what.c_str());
    if (!(seconds >= 0.0) || block < 1 || mode < 0 || mode > 2 || voice >= plugin::kVoiceCount || every < 1 ||
        (voice < 0 && !idle && what != "all") || (voice == 0 && what != "0"))
        return 2;
    try {
        bench::EntryPointLoad load(argv[1], mode, block);
        if (!idle) load.keepSounding(voice, every);
        const auto blocks = static_cast<long>(seconds * 44100.0 / block);
        for (long k = 0; k < blocks; ++k) load.renderBlock();
        std::printf("%ld frames\n", blocks * block);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
