// A single hit on a silent voice gives exactly the samples it always gave:
// every voice at the ends of its parameter ranges, in and out of Key Mode,
// compared by hash with the samples recorded before the resonators learned
// to keep retriggered ringing bounded.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "module/SingleHitCases.h"

namespace {

// The hashes of the single-hit cases, in their order, recorded from the
// recursions as they were before the mend.
const std::uint64_t kRecorded[] = {
#include "SingleHitHashes.inc"
};

TEST(SingleHit, EveryVoiceGivesTheSamplesItAlwaysGave) {
    std::string error;
    auto module = host::PluginModule::load(TAMBORIK_MODULE_PATH, &error);
    ASSERT_TRUE(module) << error;
    const std::vector<single_hit::Case> all = single_hit::cases();
    ASSERT_EQ(all.size(), sizeof(kRecorded) / sizeof(kRecorded[0]));
    std::string table;
    for (size_t k = 0; k < all.size(); ++k) {
        const std::uint64_t hash = single_hit::render(*module, all[k]);
        char line[64];
        std::snprintf(line, sizeof(line), "0x%016llxull,\n", static_cast<unsigned long long>(hash));
        table += line;
        EXPECT_EQ(hash, kRecorded[k]) << "voice " << all[k].voice << " setting " << all[k].setting
                                      << " key mode " << all[k].keyMode << " first note " << all[k].notes[0];
    }
    if (::testing::Test::HasFailure()) std::printf("hashes now:\n%s", table.c_str());
}

}  // namespace
