// tamborik-render: renders a Standard MIDI File, or the built-in demo groove,
// through a VST 2 instrument into a WAV file.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/DemoGroove.h"
#include "host/MidiFile.h"
#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "host/Renderer.h"
#include "host/WavWriter.h"
#include "platform/FileIo.h"

namespace {

const char kUsage[] =
    "usage: tamborik-render [options] OUTPUT.wav\n"
    "  --plugin PATH    the VST 2 module (default: Tamborik.so beside this program)\n"
    "  --midi FILE      a Standard MIDI File, format 0 or 1 (default: the demo groove)\n"
    "  --program N      select program N (0-based) before rendering\n"
    "  --rate HZ        sample rate (default 44100)\n"
    "  --block N        block size in frames (default 512)\n"
    "  --length SEC     length of the output (default: the sequence plus 2 s)\n"
    "  --quiet          no progress line\n";

std::string besideThisProgram(const char* name) {
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return name;
    std::string self(path, static_cast<std::size_t>(length));
    return self.substr(0, self.find_last_of('/') + 1) + name;
}

bool parseNumber(const char* text, double* out) {
    char* end = nullptr;
    *out = std::strtod(text, &end);
    return end != text && *end == 0 && std::isfinite(*out);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "tamborik-render: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string pluginPath = besideThisProgram("Tamborik.so"), midiPath, outputPath;
    double program = -1, rate = 44100, block = 512, length = -1;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&](double* number, std::string* text) {
            if (i + 1 >= argc) return false;
            ++i;
            if (text) {
                *text = argv[i];
                return true;
            }
            return parseNumber(argv[i], number);
        };
        bool ok = true;
        if (arg == "--plugin") ok = next(nullptr, &pluginPath);
        else if (arg == "--midi") ok = next(nullptr, &midiPath);
        else if (arg == "--program") ok = next(&program, nullptr);
        else if (arg == "--rate") ok = next(&rate, nullptr) && rate >= 1000 && rate <= 768000;
        else if (arg == "--block") ok = next(&block, nullptr) && block >= 1 && block <= 65536;
        else if (arg == "--length") ok = next(&length, nullptr) && length >= 0 && length <= 24 * 3600;
        else if (arg == "--quiet") quiet = true;
        else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && outputPath.empty()) outputPath = arg;
        else ok = false;
        if (!ok) {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (outputPath.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    std::string error;
    auto module = host::PluginModule::load(pluginPath, &error);
    if (!module) return fail(error);
    host::HostOptions options;
    options.sampleRate = static_cast<float>(rate);
    options.blockSize = static_cast<int>(block);
    options.sendsIdle = false;  // program changes in the file then act at once
    auto instance = host::PluginInstance::create(*module, options);
    if (!instance) return fail(pluginPath + ": the plug-in refused to start");
    instance->start();
    if (program >= 0) {
        if (program >= instance->effect()->numPrograms) return fail("no such program");
        instance->dispatch(vst::effSetProgram, 0, static_cast<vst::VstIntPtr>(program));
    }

    std::vector<host::TimedMessage> messages;
    double sequenceSeconds = host::kDemoGrooveSeconds;
    if (!midiPath.empty()) {
        auto bytes = platform::readWholeFile(midiPath);
        if (!bytes) return fail("cannot read " + midiPath);
        auto sequence = host::parseMidiFile(*bytes, &error);
        if (!sequence) return fail(midiPath + ": " + error);
        messages = std::move(sequence->messages);
        sequenceSeconds = sequence->lengthSeconds;
    } else {
        messages = host::demoGroove(*instance);
    }
    if (length < 0) length = sequenceSeconds + 2.0;
    const auto frames = static_cast<std::int64_t>(std::llround(length * rate));

    const bool showProgress = !quiet && isatty(STDERR_FILENO);
    int shown = -1;
    auto progress = [&](double done) {
        const int percent = static_cast<int>(done * 100);
        if (!showProgress || percent == shown) return;
        shown = percent;
        std::fprintf(stderr, "\rtamborik-render: %3d%%", percent);
        if (percent == 100) std::fputc('\n', stderr);
    };
    auto audio = host::renderSequence(*instance, messages, frames, progress);
    instance->stop();
    if (!host::writeWav(outputPath, audio, static_cast<int>(rate), &error)) return fail(error);
    const host::Loudness loudness = host::measure(audio);
    if (!quiet) std::printf("%s: peak %.3f, rms %.4f\n", outputPath.c_str(), loudness.peak, loudness.rms);
    return 0;
}
