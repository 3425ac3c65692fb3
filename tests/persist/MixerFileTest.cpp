#include <gtest/gtest.h>

#include <cmath>

#include <sys/stat.h>

#include "persist/MixerFile.h"
#include "plugin/ProgramRecord.h"
#include "support/TempFolder.h"

namespace {

using persist::MixerFile;

class MixerFileTest : public testing_support::TempFolderTest {
protected:
    MixerFile mixerWith(const std::string& text) {
        writeText(path("Tamborik.ini"), text);
        MixerFile mixer;
        mixer.setModulePath(path("Tamborik.so"));
        return mixer;
    }
};

TEST_F(MixerFileTest, LivesBesideTheModuleUnderItsName) {
    MixerFile mixer;
    mixer.setModulePath("/usr/lib/vst/Tamborik.so");
    EXPECT_EQ(mixer.filePath(), "/usr/lib/vst/Tamborik.ini");
    mixer.setModulePath("D:\\dlls\\Tamborik.dll");
    EXPECT_EQ(mixer.filePath(), "D:\\dlls\\Tamborik.ini");
    mixer.setModulePath("/opt/my.plugins/Tamborik");
    EXPECT_EQ(mixer.filePath(), "/opt/my.plugins/Tamborik.ini");
    mixer.setModulePath("/opt/plugins/");
    EXPECT_EQ(mixer.filePath(), "");
    mixer.setModulePath("");
    EXPECT_FALSE(mixer.read());
}

TEST_F(MixerFileTest, ReadsLinesByTheirExactKeys) {
    MixerFile mixer = mixerWith(
        "MultiOut=1\n"
        "Kick1Level=0.5\n"
        "Kick2Level = 0.25\n"
        "Snare1Level= 0.25\n"
        "snare2level=0.1\n"
        "Blipp1Level=0.3 // a remark\n"
        "Blipp2Pan=\n"
        "ClapPan=left\n"
        "ClavesPan=0.2\r\n"
        "ClavesPan=0.7\n"
        "CrashLevel=2e-1xyz\n"
        + std::string(5000, 'A') + "=1\n"
        "HihatPan=0.9");
    mixer.multiOut = false;
    ASSERT_TRUE(mixer.read());
    EXPECT_TRUE(mixer.loaded);
    EXPECT_TRUE(mixer.multiOut);
    EXPECT_EQ(mixer.value("Kick1Level"), 0.5f);
    EXPECT_EQ(mixer.value("Kick2Level"), 1.0f);    // a blank before "=" matches no key
    EXPECT_EQ(mixer.value("Snare1Level"), 0.25f);  // a blank after it is fine
    EXPECT_EQ(mixer.value("Snare2Level"), 1.0f);   // other case
    EXPECT_EQ(mixer.value("Blipp1Level"), 1.0f);   // lines with "//" are skipped whole
    EXPECT_EQ(mixer.value("Blipp2Pan"), 0.5f);     // empty value
    EXPECT_EQ(mixer.value("ClapPan"), 0.0f);       // no number
    EXPECT_EQ(mixer.value("ClavesPan"), 0.7f);     // the later line wins
    EXPECT_FLOAT_EQ(mixer.value("CrashLevel"), 0.2f);
    EXPECT_FLOAT_EQ(mixer.value("HihatPan"), 0.9f);  // the last line needs no line break

    plugin::ProgramRecord program;
    program.takeMix(mixer);
    const float* values = program.values;
    EXPECT_NEAR(values[69], (20 * std::log10(0.5) + 40) / 46, 1e-6);
    EXPECT_NEAR(values[69], 0.7387f, 1e-4f);
    EXPECT_FLOAT_EQ(values[71], 40.0f / 46.0f);
    EXPECT_FLOAT_EQ(values[82], 0.7f);
}

TEST_F(MixerFileTest, LevelsBecomeVolumesUnclamped) {
    MixerFile mixer = mixerWith("Kick1Level=0.1\nKick2Level=0.01\nSnare1Level=0.009\nSnare2Level=4\n");
    ASSERT_TRUE(mixer.read());
    plugin::ProgramRecord program;
    program.takeMix(mixer);
    const float* values = program.values;
    EXPECT_FLOAT_EQ(values[69], 20.0f / 46.0f);
    EXPECT_NEAR(values[71], 0.0f, 1e-6f);
    EXPECT_EQ(values[73], 0.0f);
    EXPECT_GT(values[75], 1.0f);
}

TEST_F(MixerFileTest, RewritesTheWholeFileWithoutMultiOut) {
    MixerFile mixer = mixerWith("MultiOut=1\nKick1Pan=0.25\n");
    ASSERT_TRUE(mixer.read());
    ASSERT_TRUE(mixer.write());
    std::string expected =
        "// Tamborik.ini\n\n// MultiOut=0 -> Stereo out\n// MultiOut=1 -> Multi out\n// Pan=0.0 -> left\n"
        "// Pan=0.5 -> center\n// Pan=1.0 -> right\n// Level=0.0 -> muted\n// Level=1.0 -> max output level\n\n"
        "\n// Kick 1\nKick1Pan=0.25\nKick1Level=1\n"
        "\n//Kick 2\nKick2Pan=0.5\nKick2Level=1\n"
        "\n// Snare 1\nSnare1Pan=0.5\nSnare1Level=1\n"
        "\n// Snare 2\nSnare2Pan=0.5\nSnare2Level=1\n"
        "\n//Blipp 1\nBlipp1Pan=0.5\nBlipp1Level=1\n"
        "\n//Blipp 2\nBlipp2Pan=0.5\nBlipp2Level=1\n"
        "\n//Clap\nClapPan=0.5\nClapLevel=1\n"
        "\n//Claves\nClavesPan=0.5\nClavesLevel=1\n"
        "\n//Hihat\nHihatPan=0.5\nHihatLevel=1\n"
        "\n//Crash\nCrashPan=0.5\nCrashLevel=1\n";
    EXPECT_EQ(readText(path("Tamborik.ini")), expected);

    // Read back, the rewritten file gives the same values and no MultiOut.
    MixerFile again;
    again.setModulePath(path("Tamborik.so"));
    again.multiOut = false;
    ASSERT_TRUE(again.read());
    EXPECT_FALSE(again.multiOut);
    EXPECT_EQ(again.value("Kick1Pan"), 0.25f);
}

TEST_F(MixerFileTest, EveryValueSurvivesARewriteMinusOneToo) {
    MixerFile mixer = mixerWith("Kick1Pan=-1\nClapLevel=-1\nCrashPan=-0.5\n");
    ASSERT_TRUE(mixer.read());
    ASSERT_TRUE(mixer.write());
    const std::string text = readText(path("Tamborik.ini"));
    EXPECT_NE(text.find("\nKick1Pan=-1\n"), std::string::npos);
    EXPECT_NE(text.find("\nClapLevel=-1\n"), std::string::npos);
    MixerFile again;
    again.setModulePath(path("Tamborik.so"));
    ASSERT_TRUE(again.read());
    EXPECT_EQ(again.value("Kick1Pan"), -1.0f);
    EXPECT_EQ(again.value("ClapLevel"), -1.0f);
    EXPECT_EQ(again.value("CrashPan"), -0.5f);
}

TEST_F(MixerFileTest, AFileNotReadWholeIsNeverRewritten) {
    // Past the 1 MiB read limit: the values before it count, the file stays.
    const std::string big = "Kick1Pan=0.25\n" + std::string(1u << 20, '/') + "\nKick2Pan=0.75\n";
    MixerFile mixer = mixerWith(big);
    ASSERT_TRUE(mixer.read());
    EXPECT_EQ(mixer.value("Kick1Pan"), 0.25f);
    EXPECT_FALSE(mixer.write());
    EXPECT_EQ(readText(path("Tamborik.ini")), big);

    // A FIFO in the file's place is not waited on.
    std::filesystem::remove(path("Tamborik.ini"));
    ASSERT_EQ(mkfifo(path("Tamborik.ini").c_str(), 0600), 0);
    EXPECT_FALSE(mixer.read());
    EXPECT_FALSE(mixer.write());
    EXPECT_TRUE(std::filesystem::is_fifo(path("Tamborik.ini")));
}

TEST_F(MixerFileTest, WithoutAFileNothingIsReadOrWritten) {
    MixerFile mixer;
    mixer.setModulePath(path("Tamborik.so"));
    EXPECT_FALSE(mixer.read());
    EXPECT_FALSE(mixer.loaded);
    EXPECT_FALSE(mixer.write());
    EXPECT_FALSE(std::filesystem::exists(path("Tamborik.ini")));

    std::filesystem::create_directories(path("Tamborik.ini"));  // a folder in its place
    EXPECT_FALSE(mixer.read());
    EXPECT_FALSE(mixer.write());

    // Binary junk is read without harm: nothing in it matches.
    std::filesystem::remove_all(path("Tamborik.ini"));
    std::string junk;
    for (int i = 0; i < 100000; ++i) junk += static_cast<char>((i * 7919) % 256);
    writeText(path("Tamborik.ini"), junk);
    EXPECT_TRUE(mixer.read());
    EXPECT_EQ(mixer.value("Kick1Pan"), 0.5f);
}

}  // namespace
