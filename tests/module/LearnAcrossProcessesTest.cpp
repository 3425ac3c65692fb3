// Host processes sharing one settings file and one mixer file: a learned
// controller kept by one host and played by the next, and nothing lost while
// several hosts create and close instances at once.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

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
    const std::string text = readText(config + "/Vok/Tamborik.reg");
    EXPECT_NE(text.find("\"MidiAutomation\"=hex:07,0c,ff"), std::string::npos) << text;
    EXPECT_NE(text.find("\"outMode\"=dword:00000002"), std::string::npos) << text;
    std::system(("rm -rf " + config).c_str());
}

// Hosts scan plug-ins in processes of their own, and several hosts run at
// once: every value the user stored survives, and a binding learned in one
// process is kept whatever the others close.
TEST(ModuleAcrossProcesses, NothingIsLostWhileHostsCreateAndCloseInstances) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(::testing::TempDir()) / "tamborik-shared-files";
    const std::string settings =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vok\\Tamborik]\n"
        "\"outMode\"=dword:00000001\n\"notename\"=dword:00000001\n\"velocurve\"=dword:00000002\n"
        "\"programpath\"=\"/home/me/Mine.fxb\"\n\"midilearnpath\"=\"/home/me/Mine.ccm\"\n"
        "\"lockvolume\"=dword:00000001\n\"future\"=\"kept\"\n\"MidiAutomation\"=hex:01,05,ff\n";
    const char* const kept[] = {"\"outMode\"=dword:00000001", "\"notename\"=dword:00000001",
                                "\"velocurve\"=dword:00000002", "\"programpath\"=\"/home/me/Mine.fxb\"",
                                "\"midilearnpath\"=\"/home/me/Mine.ccm\"", "\"lockvolume\"=dword:00000001",
                                "\"future\"=\"kept\""};
    struct Row {
        const char* what;
        int scanners;
        bool learner;
        const char* automation;
    };
    const Row rows[] = {
        {"four hosts scanning", 4, false, "\"MidiAutomation\"=hex:01,05,ff\n"},
        {"one host learning while three scan", 3, true, "\"MidiAutomation\"=hex:01,05,ff,07,0c,ff\n"},
    };
    for (const Row& row : rows) {
        for (int trial = 0; trial < 3; ++trial) {
            SCOPED_TRACE(std::string(row.what) + ", trial " + std::to_string(trial));
            fs::remove_all(root);
            fs::create_directories(root / "Vok");
            fs::copy_file(TAMBORIK_MODULE_PATH, root / "Tamborik.so");
            std::ofstream(root / "Vok" / "Tamborik.reg", std::ios::binary) << settings;
            std::ofstream(root / "Tamborik.ini", std::ios::binary) << "Kick1Level=0.5\nCrashPan=0.25\n";
            const std::string probe = "XDG_CONFIG_HOME=" + root.string() + " " + TAMBORIK_LEARN_PROBE + " " +
                                      (root / "Tamborik.so").string();
            std::string hosts = "status=0; pids=; ";
            for (int i = 0; i < row.scanners; ++i) hosts += probe + " scan 12 & pids=\"$pids $!\"; ";
            if (row.learner) hosts += probe + " learn & pids=\"$pids $!\"; ";
            hosts += "for pid in $pids; do wait $pid || status=1; done; exit $status";
            ASSERT_EQ(std::system(("sh -c '" + hosts + "'").c_str()), 0);

            const std::string text = readText((root / "Vok" / "Tamborik.reg").string());
            for (const char* value : kept) EXPECT_NE(text.find(value), std::string::npos) << value << "\n" << text;
            EXPECT_NE(text.find(row.automation), std::string::npos) << text;
            const std::string mixer = readText((root / "Tamborik.ini").string());
            EXPECT_NE(mixer.find("\nKick1Level=0.5\n"), std::string::npos) << mixer;
            EXPECT_NE(mixer.find("\nCrashPan=0.25\n"), std::string::npos) << mixer;
            for (const auto& entry : fs::recursive_directory_iterator(root))
                EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
        }
    }
    fs::remove_all(root);
}

}  // namespace
