// A learned controller kept in the settings file by one host process and
// played by the next.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

TEST(ModuleAcrossProcesses, ALearnedControllerSurvivesTheHost) {
    const std::string config = ::testing::TempDir() + "tamborik-learn-config";
    const std::string environment = "XDG_CONFIG_HOME=" + config + " ";
    const std::string probe = std::string(TAMBORIK_LEARN_PROBE) + " " + TAMBORIK_MODULE_PATH;
    std::system(("rm -rf " + config).c_str());
    ASSERT_EQ(std::system((environment + probe + " learn").c_str()), 0);
    std::FILE* output = popen((environment + probe + " play").c_str(), "r");
    ASSERT_TRUE(output);
    char line[64] = {};
    ASSERT_TRUE(std::fgets(line, sizeof(line), output));
    EXPECT_EQ(pclose(output), 0);
    EXPECT_STREQ(line, "1\n");
    std::FILE* settings = std::fopen((config + "/Vok/Tamborik.reg").c_str(), "r");
    ASSERT_TRUE(settings);
    char text[4096] = {};
    std::fread(text, 1, sizeof(text) - 1, settings);
    std::fclose(settings);
    EXPECT_NE(std::strstr(text, "\"MidiAutomation\"=hex:07,0c,ff"), nullptr) << text;
    EXPECT_NE(std::strstr(text, "\"outMode\"=dword:00000002"), nullptr) << text;
    std::system(("rm -rf " + config).c_str());
}

}  // namespace
