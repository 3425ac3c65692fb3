// tamborik-render's stems, output modes, formats, report and exit codes,
// run as a user runs it, with settings and temporary folders of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileIo.h"
#include "support/MidiFileBuilder.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using Channels = std::vector<std::vector<float>>;

const char* const kStemNames[10] = {"01-Kick1", "02-Kick2", "03-Snare1", "04-Snare2", "05-Blipp1",
                                    "06-Blipp2", "07-Clap",  "08-Claves", "09-Hihat",  "10-Crash"};
// The notes of the ten voices in the first factory program, all on channel 1.
const int kVoiceNotes[10] = {36, 41, 38, 40, 37, 43, 39, 51, 42, 49};

struct AudioFile {
    SF_INFO info{};
    Channels channels;
};

AudioFile readAudio(const std::string& path) {
    AudioFile file;
    SNDFILE* handle = sf_open(path.c_str(), SFM_READ, &file.info);
    if (!handle) return file;
    std::vector<float> interleaved(static_cast<size_t>(file.info.frames * file.info.channels));
    sf_readf_float(handle, interleaved.data(), file.info.frames);
    sf_close(handle);
    file.channels.assign(static_cast<size_t>(file.info.channels), std::vector<float>(static_cast<size_t>(file.info.frames)));
    for (size_t i = 0; i < interleaved.size(); ++i)
        file.channels[i % file.channels.size()][i / file.channels.size()] = interleaved[i];
    return file;
}

float largestDifference(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) return INFINITY;
    float largest = 0.0f;
    for (size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

class RenderOutputs : public testing_support::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        fs::create_directories(folder / "tmp");
        fs::create_directories(folder / "user" / "Vok");
    }
    // Runs the tool with the user's settings in "user" and its temporary
    // folders in "tmp"; answers the exit code.
    int run(const std::string& arguments, const std::string& plugin = TAMBORIK_MODULE_PATH) {
        const std::string command = "XDG_CONFIG_HOME=" + path("user") + " TMPDIR=" + path("tmp") + " " +
                                    TAMBORIK_RENDER_PATH + " --quiet --plugin " + plugin + " " + arguments +
                                    " > /dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void writeUserSettings(const std::string& values) {
        writeText(path("user/Vok/Tamborik.reg"),
                  "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vok\\Tamborik]\n" + values);
    }
    // Each voice in turn, a quarter of a second apart, leaving out one.
    std::string writeVoicesInTurn(int leftOut) {
        testing_support::MidiFileBuilder builder(480);
        builder.tempoTrack({{0, 500000}});
        std::vector<std::pair<int, int>> notes;
        for (int voice = 0; voice < 10; ++voice)
            if (voice != leftOut) notes.push_back({voice * 240, kVoiceNotes[voice]});
        builder.noteTrack(0, notes, false);
        const std::string midi = path("voices.mid");
        platform::writeFileAtomically(midi, builder.format1());
        return midi;
    }
    bool temporaryFoldersGone() const { return fs::is_empty(folder / "tmp"); }
};

TEST_F(RenderOutputs, StemsAddUpToTheOneStereoPairMixAndMatchTheMultichannelOutputs) {
    // The user's velocity curve applies to stems and mix alike.
    writeUserSettings("\"outMode\"=dword:00000002\n\"velocurve\"=dword:00000001\n");
    ASSERT_EQ(run("--stems " + path("stems") + " --format wav32f --length 2"), 0);
    ASSERT_EQ(run("--format wav32f --length 2 " + path("mix2.wav")), 0);
    ASSERT_EQ(run("--output-mode 1 --format wav32f --length 2 " + path("pairs.wav")), 0);
    ASSERT_EQ(run("--stems " + path("mono") + " --mono-stems --format wav32f --length 2"), 0);
    ASSERT_EQ(run("--output-mode 0 --format wav32f --length 2 " + path("ten.wav")), 0);

    const AudioFile mix = readAudio(path("mix2.wav"));
    const AudioFile pairs = readAudio(path("pairs.wav"));
    const AudioFile ten = readAudio(path("ten.wav"));
    ASSERT_EQ(mix.info.channels, 2);
    ASSERT_EQ(mix.info.frames, 2 * 44100);
    ASSERT_EQ(pairs.info.channels, 20);
    ASSERT_EQ(ten.info.channels, 10);
    Channels sum(2, std::vector<float>(mix.channels[0].size()));
    std::vector<float> monoSum(mix.channels[0].size());
    int sounding = 0;
    for (int voice = 0; voice < 10; ++voice) {
        const AudioFile stem = readAudio(path("stems/") + kStemNames[voice] + ".wav");
        const AudioFile mono = readAudio(path("mono/") + kStemNames[voice] + ".wav");
        ASSERT_EQ(stem.info.channels, 2) << kStemNames[voice];
        ASSERT_EQ(mono.info.channels, 1) << kStemNames[voice];
        for (int c = 0; c < 2; ++c) {
            ASSERT_EQ(largestDifference(stem.channels[c], pairs.channels[2 * voice + c]), 0.0f) << kStemNames[voice];
            for (size_t i = 0; i < sum[c].size(); ++i) sum[c][i] += stem.channels[c][i];
        }
        ASSERT_EQ(largestDifference(mono.channels[0], ten.channels[voice]), 0.0f) << kStemNames[voice];
        for (size_t i = 0; i < monoSum.size(); ++i) monoSum[i] += mono.channels[0][i];
        float peak = 0.0f;
        for (float s : stem.channels[0]) peak = std::max(peak, std::abs(s));
        sounding += peak > 0.01f;
    }
    EXPECT_EQ(sounding, 10);  // the demo groove plays every voice
    for (int c = 0; c < 2; ++c) {
        std::printf("stems against the one-pair mix, channel %d: largest difference %g\n", c,
                    largestDifference(sum[c], mix.channels[c]));
        EXPECT_LE(largestDifference(sum[c], mix.channels[c]), 1e-6f) << "channel " << c;
        EXPECT_LE(largestDifference(readAudio(path("stems/mix.wav")).channels[c], mix.channels[c]), 1e-6f);
    }
    EXPECT_EQ(largestDifference(readAudio(path("mono/mix.wav")).channels[0], monoSum), 0.0f);

    // Normalizing scales a whole set by one gain, so the stems still add up.
    ASSERT_EQ(run("--stems " + path("loud") + " --normalize --format wav32f --length 2 --report " + path("loud.json")), 0);
    const float gain = nlohmann::json::parse(readText(path("loud.json")))["renders"][0]["gain"];
    float mixPeak = 0.0f;
    for (const auto& channel : mix.channels)
        for (float s : channel) mixPeak = std::max(mixPeak, std::abs(s));
    EXPECT_FLOAT_EQ(gain, 1.0f / mixPeak);
    Channels loudSum(2, std::vector<float>(mix.channels[0].size()));
    for (const char* name : kStemNames) {
        const AudioFile stem = readAudio(path("loud/") + name + ".wav");
        for (int c = 0; c < 2; ++c)
            for (size_t i = 0; i < loudSum[c].size(); ++i) loudSum[c][i] += stem.channels[c][i];
    }
    const AudioFile loudMix = readAudio(path("loud/mix.wav"));
    for (int c = 0; c < 2; ++c) EXPECT_LE(largestDifference(loudSum[c], loudMix.channels[c]), 1e-6f) << c;
    EXPECT_TRUE(temporaryFoldersGone());
}

TEST_F(RenderOutputs, EachStemHoldsOnlyItsVoiceAndTheReportMarksTheSilentOne) {
    const int leftOut = 5;  // Blipp 2 never sounds
    ASSERT_EQ(run("--stems " + path("stems") + " --midi " + writeVoicesInTurn(leftOut) + " --length 2.6 --report " +
                  path("report.json")),
              0);
    const auto report = nlohmann::json::parse(readText(path("report.json")));
    const auto& files = report["renders"][0]["files"];
    ASSERT_EQ(files.size(), 11u);
    for (int voice = 0; voice < 10; ++voice) {
        const AudioFile stem = readAudio(path("stems/") + kStemNames[voice] + ".wav");
        ASSERT_EQ(stem.info.frames, 114660);
        const auto& entry = files[static_cast<size_t>(voice)];
        EXPECT_EQ(entry["path"], path("stems/") + kStemNames[voice] + ".wav");
        EXPECT_EQ(entry["voice"], std::string(kStemNames[voice]).substr(3));
        if (voice == leftOut) {
            for (const auto& channel : stem.channels)
                for (float s : channel) ASSERT_EQ(s, 0.0f);
            EXPECT_TRUE(entry["silent"]);
            EXPECT_TRUE(entry["firstSoundSeconds"].is_null());
            continue;
        }
        // Nothing before the block that holds the voice's own note (a kick
        // starts moving at the start of that block), and its sound within
        // 10 ms of the note.
        const int noteFrame = voice * 11025, blockStart = noteFrame / 512 * 512;
        int first = -1;
        for (int i = 0; i < stem.info.frames && first < 0; ++i)
            if (std::abs(stem.channels[0][i]) >= 1e-5f || std::abs(stem.channels[1][i]) >= 1e-5f) first = i;
        EXPECT_GE(first, blockStart) << kStemNames[voice];
        EXPECT_LT(first, noteFrame + 441) << kStemNames[voice];
        for (const auto& channel : stem.channels)
            for (int i = 0; i < blockStart; ++i) ASSERT_EQ(channel[i], 0.0f) << kStemNames[voice];
        EXPECT_FALSE(entry["silent"]);
        EXPECT_EQ(entry["firstSoundFrame"], first);
    }
    EXPECT_EQ(files[10]["path"], path("stems/mix.wav"));
    EXPECT_EQ(files[10]["firstSoundFrame"], 0);
}

TEST_F(RenderOutputs, TheReportsNumbersMatchTheFilesInEveryFormat) {
    ASSERT_EQ(run("--each-program " + path("programs") + " --length 0.5 --format flac --normalize --report " +
                  path("programs.json")),
              0);
    ASSERT_EQ(run("--program 3 --length 1 --format wav16 --report " + path("one.json") + " " + path("one.wav")), 0);
    const auto programs = nlohmann::json::parse(readText(path("programs.json")));
    const auto one = nlohmann::json::parse(readText(path("one.json")));
    EXPECT_EQ(programs["plugin"]["name"], "Tamborik");
    EXPECT_EQ(programs["plugin"]["uniqueId"], "5074");
    EXPECT_EQ(programs["settings"]["format"], "flac");
    EXPECT_EQ(programs["settings"]["normalize"], true);
    EXPECT_EQ(one["settings"]["sampleRate"], 44100);
    EXPECT_EQ(one["settings"]["lengthSeconds"], 1.0);
    ASSERT_EQ(one["renders"].size(), 1u);
    EXPECT_EQ(one["renders"][0]["program"], 3);
    ASSERT_EQ(programs["renders"].size(), 16u);

    std::vector<nlohmann::json> entries{one["renders"][0]["files"][0]};
    for (const auto& render : programs["renders"]) {
        ASSERT_EQ(render["files"].size(), 1u);
        const std::string name = render["programName"];
        EXPECT_EQ(render["files"][0]["path"],
                  path("programs/") + (render["program"] < 9 ? "0" : "") +
                      std::to_string(render["program"].get<int>() + 1) + "-" + name + ".flac");
        entries.push_back(render["files"][0]);
    }
    for (const auto& entry : entries) {
        const AudioFile file = readAudio(entry["path"]);
        ASSERT_EQ(file.info.channels, 2) << entry["path"];
        EXPECT_EQ(entry["channels"], 2);
        EXPECT_EQ(entry["frames"], file.info.frames);
        EXPECT_DOUBLE_EQ(entry["seconds"].get<double>(), static_cast<double>(file.info.frames) / 44100.0);
        float peak = 0.0f;
        double squares = 0.0;
        long first = -1;
        for (sf_count_t i = 0; i < file.info.frames; ++i)
            for (const auto& channel : file.channels) {
                const float s = std::abs(channel[static_cast<size_t>(i)]);
                peak = std::max(peak, s);
                squares += static_cast<double>(s) * s;
                if (s >= 1e-5f && first < 0) first = i;
            }
        const double rms = std::sqrt(squares / static_cast<double>(file.info.frames * 2));
        EXPECT_EQ(entry["peak"].get<float>(), peak) << entry["path"];
        EXPECT_NEAR(entry["rms"].get<double>(), rms, 1e-6 * rms) << entry["path"];
        EXPECT_NEAR(entry["peakDb"].get<double>(), 20 * std::log10(peak), 1e-4);
        EXPECT_EQ(entry["firstSoundFrame"], first);
    }
    // Normalized: every program's file peaks at full scale, as 24 bits hold it.
    for (size_t i = 1; i < entries.size(); ++i) EXPECT_NEAR(entries[i]["peak"].get<double>(), 1.0, 2e-7);
    EXPECT_EQ(readAudio(path("one.wav")).info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(readAudio(entries[1]["path"]).info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
}

TEST_F(RenderOutputs, AMixerFileBesideTheModuleAndTheUsersSettingsStayAsTheyAre) {
    // The module's own copy of mixer file would make it open one stereo pair.
    fs::create_directories(folder / "module");
    fs::copy_file(TAMBORIK_MODULE_PATH, folder / "module" / "Tamborik.so");
    const std::string mixerText = "MultiOut=0\nKick1Level=0.5\n";
    writeText(path("module/Tamborik.ini"), mixerText);
    writeUserSettings("\"outMode\"=dword:00000000\n\"velocurve\"=dword:00000002\n");
    const std::string settingsText = readText(path("user/Vok/Tamborik.reg"));

    const std::string plugin = path("module/Tamborik.so");
    ASSERT_EQ(run("--stems " + path("stems") + " --length 1", plugin), 0);
    ASSERT_EQ(run("--output-mode 1 --length 1 " + path("pairs.wav"), plugin), 0);
    EXPECT_EQ(readAudio(path("stems/01-Kick1.wav")).info.channels, 2);
    EXPECT_EQ(readAudio(path("pairs.wav")).info.channels, 20);
    EXPECT_EQ(readText(path("module/Tamborik.ini")), mixerText);
    EXPECT_EQ(readText(path("user/Vok/Tamborik.reg")), settingsText);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "module"), fs::directory_iterator()), 2);
    EXPECT_TRUE(temporaryFoldersGone());
}

TEST_F(RenderOutputs, EveryBadInputGivesItsExitCodeAndLeavesNoFileBehind) {
    writeText(path("junk.mid"), "not a MIDI file");
    writeText(path("notes.txt"), "no module either");
    writeText(path("plain"), "a file, not a folder");
    // Destinations that are not regular files, and names already taken.
    fs::create_directories(path("afolder"));
    fs::create_directories(path("taken/mix.wav"));
    ASSERT_EQ(mkfifo(path("fifo.wav").c_str(), 0600), 0);
    fs::create_symlink(path("fifo.wav"), path("tofifo.wav"));
    fs::create_symlink("/dev/null", path("todevice.wav"));
    fs::create_symlink(path("gone"), path("nothing.wav"));
    // A day and four hours asked for by a file of a few bytes.
    testing_support::MidiFileBuilder day(1);
    day.tempoTrack({{0, 500000}});
    day.noteTrack(0, {{200000, 36}}, false);
    platform::writeFileAtomically(path("day.mid"), day.format1());
    const std::string out = path("out");
    const std::string report = " --report " + out + "/report.json";
    struct Case {
        std::string arguments;
        int exitCode;
        std::string plugin = TAMBORIK_MODULE_PATH;
    };
    std::vector<Case> cases = {
        {"--midi " + path("missing.mid") + " --stems " + out, 3},
        {"--midi " + path("junk.mid") + " --stems " + out + report, 3},
        {"--stems " + out + report, 4, path("notes.txt")},
        {"--each-program " + out, 4, "/usr/lib/x86_64-linux-gnu/libsndfile.so.1"},
        {"--program 16 --stems " + out + report, 5},
        {"--program -1 " + out + "/x.wav", 5},
        {"--stems " + path("plain") + "/stems", 6},
        {"--each-program " + path("plain"), 6},
        {"--length 1 " + path("missing") + "/x.wav", 6},
        {"--length 1 --stems " + out + " --report " + path("plain") + "/report.json", 6},
        {"--length 0 --stems " + out, 7},
        {"--length -2 " + path("x.wav"), 7},
        {"--length 86401 " + path("x.wav"), 7},
        {"--midi " + path("day.mid") + " --stems " + out, 7},
        {"--length 1 --stems " + out + " --report " + path("afolder"), 6},
        {"--length 1 --stems " + path("taken"), 6},
        {"--length 1 " + path("fifo.wav"), 6},
        {"--length 1 " + path("tofifo.wav"), 6},
        {"--length 1 " + path("todevice.wav"), 6},
        {"--length 1 " + path("nothing.wav"), 6},
        {"--length 1 --report " + path("tofifo.wav") + " " + path("x.wav"), 6},
        {"--length 1 --report " + path("x.wav") + " " + path("x.wav"), 6},
        {"--rate 7999 " + path("x.wav"), 2},
        {"--rate 768001 " + path("x.wav"), 2},
        {"", 2},
        {"--format mp3 " + path("x.wav"), 2},
        {"--output-mode 3 " + path("x.wav"), 2},
        {"--output-mode 1 --format flac " + path("x.wav"), 2},
        {"--mono-stems " + path("x.wav"), 2},
        {"--stems " + out + " " + path("x.wav"), 2},
    };
    const std::string effect = "/usr/lib/vst/3BandEQ-vst.so";  // a VST 2 effect, not an instrument
    if (fs::exists(effect)) cases.push_back({"--stems " + out, 4, effect});
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.arguments, c.plugin), c.exitCode) << c.arguments;
        EXPECT_FALSE(fs::exists(out)) << c.arguments;
        EXPECT_FALSE(fs::exists(path("x.wav"))) << c.arguments;
        EXPECT_TRUE(temporaryFoldersGone()) << c.arguments;
    }
    // tmp, user and the ten made above, as they were: nothing else.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 12);
    EXPECT_TRUE(fs::is_empty(path("afolder")));
    EXPECT_EQ(std::distance(fs::directory_iterator(path("taken")), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::is_directory(path("taken/mix.wav")));
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(path("fifo.wav"))));
    for (const char* link : {"tofifo.wav", "todevice.wav", "nothing.wav"})
        EXPECT_TRUE(fs::is_symlink(path(link))) << link;
}

TEST_F(RenderOutputs, AStoppedRenderRemovesWhatItBegan) {
    const std::string out = path("out");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDERR_FILENO);
        setenv("XDG_CONFIG_HOME", path("user").c_str(), 1);
        setenv("TMPDIR", path("tmp").c_str(), 1);
        execl(TAMBORIK_RENDER_PATH, TAMBORIK_RENDER_PATH, "--quiet", "--plugin", TAMBORIK_MODULE_PATH, "--length",
              "3600", "--stems", out.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // The stem folder appears once every check has passed and the hour of
    // audio is being rendered.
    for (int i = 0; i < 2000 && !fs::exists(out); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(fs::exists(out));
    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_TRUE(temporaryFoldersGone());
}

}  // namespace
