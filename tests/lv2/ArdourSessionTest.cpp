// Ardour, headless (ardour7-lua on its Dummy backend), plays "Tamborik" from
// the bundle: the demo groove on two MIDI tracks, one with the plug-in as it
// starts and one with a factory preset applied from Ardour, each bounced
// through the instrument. Every note sounds, and each track's samples are
// those of the VST 2 module playing the same notes on the same program
// (which the lilv host's test holds equal to the LV2 plug-in's).
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/DemoGroove.h"
#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "host/PrivateSettings.h"
#include "host/Renderer.h"
#include "lv2/Lv2Ports.h"
#include "support/TempFolder.h"

namespace {

using Outputs = std::vector<std::vector<float>>;

constexpr int kRate = 48000;
constexpr std::int64_t kFrames = 10 * kRate;  // the groove's two bars twice, and its tails
// Ardour bounces in pieces of this many frames; the module renders in the same.
constexpr int kBounceBlock = 8192;
// A new session's tempo is 120 BPM, and a beat has 1920 ticks.
constexpr double kTicksPerSecond = 2.0 * 1920.0;
constexpr int kPresetProgram = 1;  // "Elektro": other sounds on the same notes

// The tick of a time, when the tick falls on the frame the module plays the
// time at; -1 otherwise.
std::int64_t ticksAt(double seconds) {
    const std::int64_t ticks = std::llround(seconds * kTicksPerSecond);
    const double frame = static_cast<double>(ticks) * kRate / kTicksPerSecond;
    return frame == static_cast<double>(std::llround(seconds * kRate)) ? ticks : -1;
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    return false;
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::vector<float> readMono(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file || info.channels != 1 || info.samplerate != kRate) {
        if (file) sf_close(file);
        return {};
    }
    std::vector<float> samples(static_cast<size_t>(info.frames));
    samples.resize(static_cast<size_t>(sf_readf_float(file, samples.data(), info.frames)));
    sf_close(file);
    return samples;
}

// The first frame where two renders differ, or -1.
std::int64_t firstDifference(const Outputs& a, const Outputs& b) {
    if (a.size() != b.size()) return 0;
    for (std::size_t c = 0; c < a.size(); ++c)
        if (a[c].size() != b[c].size()) return 0;
    for (std::size_t c = 0; c < a.size(); ++c)
        for (std::size_t i = 0; i < a[c].size(); ++i)
            if (a[c][i] != b[c][i]) return static_cast<std::int64_t>(i);
    return -1;
}

class ArdourSession : public testing_support::TempFolderTest {};

TEST_F(ArdourSession, PlaysEveryNoteAndAPresetAsTheProgramSounds) {
    if (!onPath("ardour7-lua")) GTEST_SKIP() << "ardour7-lua not found: install Ardour (Debian: ardour) to run this";

    std::string error;
    auto settings = host::PrivateSettings::prepare(TAMBORIK_MODULE_PATH, plugin::kOneStereo, &error);
    ASSERT_TRUE(settings) << error;
    auto module = host::PluginModule::load(settings->modulePath(), &error);
    ASSERT_TRUE(module) << error;
    host::HostOptions options;
    options.sampleRate = kRate;
    options.blockSize = kBounceBlock;
    options.sendsIdle = false;
    auto render = [&](int program, std::vector<host::TimedMessage>* groove) {
        auto vst = host::PluginInstance::create(*module, options);
        if (!vst) return Outputs{};
        vst->start();
        vst->dispatch(vst::effSetProgram, 0, program);
        if (groove->empty()) *groove = host::demoGroove(*vst);
        return host::renderSequence(*vst, *groove, kFrames);
    };
    std::vector<host::TimedMessage> groove;
    const Outputs expected[2] = {render(0, &groove), render(kPresetProgram, &groove)};

    // The groove as notes: start and length in ticks, channel, note, velocity.
    std::ofstream pattern(path("pattern.txt"));
    std::vector<std::int64_t> onsets;
    for (std::size_t i = 0; i < groove.size(); ++i) {
        const auto& on = groove[i];
        if ((on.bytes[0] & 0xF0) != 0x90 || on.bytes[2] == 0) continue;
        std::size_t off = i + 1;
        while (off < groove.size() && !((groove[off].bytes[0] & 0xF0) == 0x80 &&
                                        (groove[off].bytes[0] & 0x0F) == (on.bytes[0] & 0x0F) &&
                                        groove[off].bytes[1] == on.bytes[1]))
            ++off;
        ASSERT_LT(off, groove.size());
        const std::int64_t start = ticksAt(on.seconds), end = ticksAt(groove[off].seconds);
        ASSERT_TRUE(start >= 0 && end > start) << "a note off the tick grid at " << on.seconds << " s";
        pattern << start << ' ' << end - start << ' ' << (on.bytes[0] & 0x0F) << ' '
                << int(on.bytes[1]) << ' ' << int(on.bytes[2]) << '\n';
        onsets.push_back(std::llround(on.seconds * kRate));
    }
    pattern.close();
    ASSERT_GT(onsets.size(), 100u);

    // Ardour's settings, caches and the plug-in's settings in the test's
    // folder; the Dummy backend shown; only the bundle on the LV2 path.
    const std::string config = path("config"), lv2Path = path("lv2");
    std::filesystem::create_directories(config + "/ardour7");
    std::filesystem::create_directories(lv2Path);
    std::filesystem::create_directory_symlink(TAMBORIK_LV2_BUNDLE, lv2Path + "/Tamborik.lv2");
    writeText(config + "/ardour7/config",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Ardour><Config>"
              "<Option name=\"hide-dummy-backend\" value=\"0\"/></Config></Ardour>\n");
    const std::string command =
        "env XDG_CONFIG_HOME=" + quoted(config) + " XDG_CACHE_HOME=" + quoted(path("cache")) +
        " XDG_DATA_HOME=" + quoted(path("data")) + " LV2_PATH=" + quoted(lv2Path) +
        " timeout 300 ardour7-lua " + quoted(TAMBORIK_ARDOUR_SCRIPT) + " " + quoted(path("session")) + " " +
        quoted(path("pattern.txt")) + " " + lv2port::kStereoUri + " " + lv2port::kPresetUri +
        std::to_string(kPresetProgram + 1) + " " + std::to_string(kRate) + " " + std::to_string(kFrames) + " " +
        quoted(path("renders.txt")) + " >" + quoted(path("ardour.log")) + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << readText(path("ardour.log"));

    std::ifstream renders(path("renders.txt"));
    Outputs got[2];
    for (Outputs& track : got) {
        std::string name, left, right;
        ASSERT_TRUE(std::getline(renders, name) && std::getline(renders, left) && std::getline(renders, right))
            << readText(path("ardour.log"));
        track = {readMono(left), readMono(right)};
        ASSERT_EQ(track[0].size(), static_cast<size_t>(kFrames)) << left;
        ASSERT_EQ(track[1].size(), static_cast<size_t>(kFrames)) << right;
    }

    for (std::int64_t onset : onsets) {
        float peak = 0.0f;
        for (const auto& channel : got[0])
            for (std::int64_t i = onset; i < onset + kRate / 100; ++i) peak = std::max(peak, std::abs(channel[i]));
        EXPECT_GT(peak, 0.01f) << "no sound at frame " << onset;
    }
    EXPECT_EQ(firstDifference(got[0], expected[0]), -1) << "the track as the plug-in starts";
    EXPECT_EQ(firstDifference(got[1], expected[1]), -1) << "the track with the preset";
    EXPECT_NE(firstDifference(got[0], got[1]), -1) << "the preset changed nothing";
}

}  // namespace
