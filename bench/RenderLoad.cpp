// Renders a fixed stretch of the full load (all ten voices kept sounding,
// program "Tamborik", 44.1 kHz) through a module's entry point, for counting
// instructions with callgrind: the same work on every run, whatever the load
// of the machine.
// Usage: tamborik_render_load MODULE SECONDS [BLOCK [MODE [idle]]]
// With "idle" no voice is struck: the cost of a block with nothing to play.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "bench/EntryPointLoad.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: tamborik_render_load MODULE SECONDS [BLOCK [MODE [idle]]]\n", stderr);
        return 2;
    }
    const double seconds = std::atof(argv[2]);
    const int block = argc > 3 ? std::atoi(argv[3]) : 256;
    const int mode = argc > 4 ? std::atoi(argv[4]) : plugin::kOneStereo;
    const bool idle = argc > 5 && std::string(argv[5]) == "idle";
    if (!(seconds >= 0.0) || block < 1 || mode < 0 || mode > 2) return 2;
    try {
        bench::EntryPointLoad load(argv[1], mode, block);
        if (!idle) load.keepSounding(-1);
        const auto blocks = static_cast<long>(seconds * 44100.0 / block);
        for (long k = 0; k < blocks; ++k) load.renderBlock();
        std::printf("%ld frames\n", blocks * block);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
