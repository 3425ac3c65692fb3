// Runs a fuzz target without libFuzzer: every input of its regression
// corpus, then a fixed number of inputs mutated from the target's seeds with
// a fixed random sequence, so a CTest run is repeatable.
// Usage: target [iterations] [seed] [regression folder]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "fuzz/FuzzTarget.h"

namespace {

int runRegressionCorpus(const char* folder) {
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> input((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(input.data(), input.size());
        ++count;
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    const int regressions = argc > 3 ? runRegressionCorpus(argv[3]) : 0;
    const long iterations = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 2000;
    std::mt19937 random(argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 5074u);
    auto seeds = fuzzSeeds();
    seeds.push_back({});
    for (long i = 0; i < iterations; ++i) {
        std::vector<std::uint8_t> input = seeds[random() % seeds.size()];
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = input.empty() ? 0 : random() % input.size();
            switch (random() % 6) {
            case 0:
                if (!input.empty()) input[at] = static_cast<std::uint8_t>(random());
                break;
            case 1:
                if (!input.empty()) input[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
                break;
            case 2:
                input.insert(input.begin() + static_cast<long>(at), static_cast<std::uint8_t>(random()));
                break;
            case 3:
                if (!input.empty()) input.erase(input.begin() + static_cast<long>(at));
                break;
            case 4:
                input.resize(at);  // truncate
                break;
            default:
                if (!input.empty()) input[at] = static_cast<std::uint8_t>(random() % 2 ? 0xFF : 0x00);
                break;
            }
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%d regression inputs and %ld mutated inputs, no failure\n", regressions, iterations);
    return 0;
}
