// Program and bank readers: never read past the data; what they accept
// writes back to the same values.
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzTarget.h"
#include "persist/FxFormats.h"

namespace {
constexpr std::int32_t kId = ('5' << 24) | ('0' << 16) | ('7' << 8) | '4';
}

std::vector<std::vector<std::uint8_t>> fuzzSeeds() {
    persist::BankImage bank(kId, 16, 88);
    persist::ProgramImage program(kId, 88, "Seed");
    return {persist::writeBank(bank), persist::writeProgram(program)};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    persist::ProgramImage program(kId, 88, "");
    if (persist::readProgram(program, data, size)) {
        const auto again = persist::writeProgram(program);
        persist::ProgramImage back(kId, 88, "");
        FUZZ_CHECK(persist::readProgram(back, again.data(), again.size()));
        for (int i = 0; i < program.parameterCount(); ++i)
            FUZZ_CHECK(back.parameterWord(i) == program.parameterWord(i));
    }
    persist::BankImage bank(kId, 16, 88);
    if (persist::readBank(bank, data, size)) {
        const auto again = persist::writeBank(bank);
        persist::BankImage back(kId, 16, 88);
        FUZZ_CHECK(persist::readBank(back, again.data(), again.size()));
    }
    return 0;
}
