// tamborik-render run as a user runs it, and the host library driving
// instruments that are not ours.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/DemoGroove.h"
#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "host/Renderer.h"
#include "platform/FileIo.h"
#include "support/MidiFileBuilder.h"

namespace {

std::vector<float> readLeftChannel(const std::string& path, int* rate) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return {};
    std::vector<float> interleaved(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    *rate = info.samplerate;
    std::vector<float> left;
    for (sf_count_t i = 0; i < info.frames; ++i) left.push_back(interleaved[static_cast<size_t>(i * info.channels)]);
    return left;
}

class RenderTool : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("tamborik-render-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    int run(const std::string& arguments) {
        const std::string command = std::string(TAMBORIK_RENDER_PATH) + " --quiet --plugin " + TAMBORIK_MODULE_PATH +
                                    " " + arguments + " > /dev/null 2>&1";
        return std::system(command.c_str());
    }
    std::filesystem::path folder;
};

TEST_F(RenderTool, PlaysAMidiFileWithItsOnsetsAtTheRightFrames) {
    // Claves (note 51) at quarter notes; the tempo doubles at the third.
    testing_support::MidiFileBuilder builder(480);
    builder.tempoTrack({{0, 500000}, {960, 250000}});
    builder.noteTrack(0, {{0, 51}, {480, 51}, {960, 51}, {1440, 51}}, true);
    const std::string midi = (folder / "claves.mid").string();
    ASSERT_TRUE(platform::writeFileAtomically(midi, builder.format1()));
    for (int block : {64, 500}) {
        const std::string wav = (folder / "out.wav").string();
        ASSERT_EQ(run("--midi " + midi + " --block " + std::to_string(block) + " --length 2 " + wav), 0);
        int rate = 0;
        const auto left = readLeftChannel(wav, &rate);
        ASSERT_EQ(rate, 44100);
        ASSERT_EQ(left.size(), 88200u);
        std::vector<int> onsets;
        bool sounding = false;
        for (size_t i = 0; i < left.size(); ++i) {
            const bool loud = std::abs(left[i]) > 1e-3f;
            if (loud && !sounding) onsets.push_back(static_cast<int>(i));
            if (loud) sounding = true;
            if (sounding && i >= 2000 && std::abs(left[i]) < 1e-6f && std::abs(left[i - 1000]) < 1e-6f) sounding = false;
        }
        EXPECT_EQ(onsets, (std::vector<int>{0, 22050, 44100, 55125})) << "block " << block;
    }
}

TEST_F(RenderTool, RefusesBadArgumentsAndFiles) {
    EXPECT_NE(run(""), 0);
    EXPECT_NE(run("--block 0 " + (folder / "x.wav").string()), 0);
    EXPECT_NE(run("--midi " + (folder / "missing.mid").string() + " " + (folder / "x.wav").string()), 0);
    const std::string junk = (folder / "junk.mid").string();
    ASSERT_TRUE(platform::writeFileAtomically(junk, {1, 2, 3, 4, 5}));
    EXPECT_NE(run("--midi " + junk + " " + (folder / "x.wav").string()), 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "x.wav"));
    // Through a link, the file it names is replaced and the link kept.
    ASSERT_TRUE(platform::writeFileAtomically((folder / "groove.wav").string(), {1, 2, 3}));
    std::filesystem::create_symlink(folder / "groove.wav", folder / "link.wav");
    EXPECT_EQ(run("--program 2 --length 1 " + (folder / "link.wav").string()), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.wav"));
    EXPECT_GT(std::filesystem::file_size(folder / "groove.wav"), 44100u);
}

TEST(ForeignInstrument, TheHostLoadsAndPlaysAnUnrelatedVst2Instrument) {
    const std::string path = "/usr/lib/vst/Kars-vst.so";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "dpf-plugins-vst is not installed";
    std::string error;
    auto module = host::PluginModule::load(path, &error);
    ASSERT_TRUE(module) << error;
    auto instance = host::PluginInstance::create(*module);
    ASSERT_TRUE(instance);
    instance->start();
    auto audio = host::renderSequence(*instance, host::demoGroove(*instance), 44100 * 3);
    instance->stop();
    float peak = 0.0f;
    for (const auto& channel : audio)
        for (float s : channel) {
            ASSERT_TRUE(std::isfinite(s));
            peak = std::max(peak, std::abs(s));
        }
    EXPECT_GT(peak, 0.01f);
}

}  // namespace
