// For libFuzzer builds: with TAMBORIK_FUZZ_WRITE_SEEDS set to a folder, the
// target writes its seeds there as files and exits, so a fuzzing run starts
// from the same inputs the tests mutate.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* folder = std::getenv("TAMBORIK_FUZZ_WRITE_SEEDS");
    if (!folder || !*folder) return 0;
    const auto seeds = fuzzSeeds();
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        const std::string path = std::string(folder) + "/seed-" + std::to_string(i);
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) std::exit(1);
        if (!seeds[i].empty()) std::fwrite(seeds[i].data(), 1, seeds[i].size(), file);
        std::fclose(file);
    }
    std::exit(0);
}
