// tamborik-render: renders a Standard MIDI File, or the built-in demo groove,
// through a VST 2 instrument into a WAV file.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
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
    "  --each-program   render once per program into OUTPUT, a folder, as NN-Name.wav,\n"
    "                   and print a table of peak and RMS levels\n"
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
    bool quiet = false, eachProgram = false;
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
        else if (arg == "--program") ok = next(&program, nullptr) && program >= 0 && program <= 1e6;
        else if (arg == "--rate") ok = next(&rate, nullptr) && rate >= 1000 && rate <= 768000;
        else if (arg == "--block") ok = next(&block, nullptr) && block >= 1 && block <= 65536;
        else if (arg == "--length") ok = next(&length, nullptr) && length >= 0 && length <= 24 * 3600;
        else if (arg == "--quiet") quiet = true;
        else if (arg == "--each-program") eachProgram = true;
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

    std::optional<host::MidiSequence> file;
    if (!midiPath.empty()) {
        auto bytes = platform::readWholeFile(midiPath);
        if (!bytes) return fail("cannot read " + midiPath);
        file = host::parseMidiFile(*bytes, &error);
        if (!file) return fail(midiPath + ": " + error);
    }

    // Renders through a fresh instance, on a program when one is given.
    auto renderOne = [&](int programIndex, const std::string& path, std::string* programName) -> int {
        auto instance = host::PluginInstance::create(*module, options);
        if (!instance) return fail(pluginPath + ": the plug-in refused to start");
        instance->start();
        if (programIndex >= 0) {
            if (programIndex >= instance->effect()->numPrograms) return fail("no such program");
            instance->dispatch(vst::effSetProgram, 0, programIndex);
        }
        if (programName) {
            char name[256] = {};
            instance->dispatch(vst::effGetProgramName, 0, 0, name);
            *programName = name;
        }
        const auto messages = file ? file->messages : host::demoGroove(*instance);
        const double seconds = length >= 0 ? length : (file ? file->lengthSeconds : host::kDemoGrooveSeconds) + 2.0;
        const auto frames = static_cast<std::int64_t>(std::llround(seconds * rate));
        const bool showProgress = !quiet && !eachProgram && isatty(STDERR_FILENO);
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
        if (!host::writeWav(path, audio, static_cast<int>(rate), &error)) return fail(error);
        const host::Loudness loudness = host::measure(audio);
        if (!quiet) std::printf("%-36s %8.3f %8.4f\n", path.c_str(), loudness.peak, loudness.rms);
        return 0;
    };

    if (!eachProgram) return renderOne(static_cast<int>(program), outputPath, nullptr);
    mkdir(outputPath.c_str(), 0755);
    if (!quiet) std::printf("%-36s %8s %8s\n", "file", "peak", "rms");
    auto probe = host::PluginInstance::create(*module, options);
    if (!probe) return fail(pluginPath + ": the plug-in refused to start");
    const int programs = probe->effect()->numPrograms;
    probe.reset();
    for (int p = 0; p < programs; ++p) {
        char name[256] = {};
        {
            auto instance = host::PluginInstance::create(*module, options);
            instance->dispatch(vst::effGetProgramNameIndexed, p, 0, name);
        }
        std::string safe = name;
        for (char& c : safe)
            if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 32) c = '_';
        char fileName[300];
        std::snprintf(fileName, sizeof(fileName), "/%02d-%s.wav", p + 1, safe.c_str());
        if (renderOne(p, outputPath + fileName, nullptr) != 0) return 1;
    }
    return 0;
}
