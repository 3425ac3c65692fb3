// The rendering engine gives exactly the samples it gave when these hashes
// were recorded, whatever is done to make it faster: each voice alone and
// the demo groove through every factory program, at two sample rates, three
// block sizes and in each output mode, through the built module.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/PrivateSettings.h"
#include "module/GoldenRenderCases.h"

namespace {

const std::uint64_t kRecorded[golden::kOutputModes][golden::kCasesPerMode] = {
#include "GoldenRenderHashes.inc"
};

class GoldenRender : public ::testing::TestWithParam<int> {};

TEST_P(GoldenRender, EveryCaseGivesItsRecordedSamples) {
    const int mode = GetParam();
    std::string error;
    auto settings = host::PrivateSettings::prepare(TAMBORIK_MODULE_PATH, mode, &error);
    ASSERT_TRUE(settings) << error;
    auto module = host::PluginModule::load(settings->modulePath(), &error);
    ASSERT_TRUE(module) << error;
    const std::vector<std::uint64_t> hashes = golden::renderMode(*module);
    ASSERT_EQ(hashes.size(), std::size(kRecorded[mode]));
    std::string table = "{\n";
    for (size_t k = 0; k < hashes.size(); ++k) {
        char line[64];
        std::snprintf(line, sizeof(line), "0x%016llxull,\n", static_cast<unsigned long long>(hashes[k]));
        table += line;
        EXPECT_EQ(hashes[k], kRecorded[mode][k]) << "case " << k;
    }
    if (::testing::Test::HasFailure()) std::printf("hashes now, mode %d:\n%s},\n", mode, table.c_str());
}

INSTANTIATE_TEST_SUITE_P(OutputModes, GoldenRender, ::testing::Values(0, 1, 2));

}  // namespace
