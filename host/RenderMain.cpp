// tamborik-render: renders a Standard MIDI File, or the built-in demo groove,
// through a VST 2 instrument into audio files: one mix, every output as a
// channel, or one stem per voice.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "host/DemoGroove.h"
#include "host/MidiFile.h"
#include "host/OutputSet.h"
#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "host/PrivateSettings.h"
#include "host/RenderOptions.h"
#include "host/RenderReport.h"
#include "host/Renderer.h"
#include "host/AudioFile.h"
#include "platform/FileIo.h"

namespace {

using host::RenderOptions;
using host::StemLayout;
using Channels = std::vector<std::vector<float>>;

std::string besideThisProgram(const char* name) {
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return name;
    std::string self(path, static_cast<std::size_t>(length));
    return self.substr(0, self.find_last_of('/') + 1) + name;
}

int fail(int code, const std::string& message) {
    std::fprintf(stderr, "tamborik-render: %s\n", message.c_str());
    return code;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

// "NN-Name" with characters that cannot stand in a file name replaced.
std::string numberedName(int number, const std::string& name) {
    std::string safe = name;
    for (char& c : safe)
        if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 32) c = '_';
    char text[320];
    std::snprintf(text, sizeof(text), "%02d-%s", number, safe.c_str());
    return text;
}

std::string outputLabel(host::PluginInstance& instance, int index) {
    vst::VstPinProperties properties{};
    if (instance.dispatch(vst::effGetOutputProperties, index, 0, &properties) && properties.label[0]) {
        properties.label[sizeof(properties.label) - 1] = 0;
        return properties.label;
    }
    return "Out" + std::to_string(index + 1);
}

std::string dispatchText(host::PluginInstance& instance, vst::VstInt32 opcode) {
    char text[256] = {};
    instance.dispatch(opcode, 0, 0, text);
    return text;
}

struct OutputFile {
    std::string path;
    std::string voice;
    Channels channels;
};

// One render's outputs as the files they become: one per voice and their
// sum, every output as a channel of one file, or the outputs mixed to stereo.
std::vector<OutputFile> arrange(Channels outputs, const RenderOptions& options, host::PluginInstance& instance,
                                const std::string& target) {
    std::vector<OutputFile> files;
    if (options.stems == StemLayout::None) {
        files.push_back({target, "", options.outputMode >= 0 ? std::move(outputs) : host::foldToStereo(outputs)});
        return files;
    }
    const std::size_t width = options.stems == StemLayout::Stereo ? 2 : 1;
    const std::size_t frames = outputs[0].size();
    const std::string extension = host::audioFileExtension(options.format);
    Channels mix(width, std::vector<float>(frames));
    for (std::size_t voice = 0; voice * width < outputs.size(); ++voice) {
        OutputFile stem;
        stem.voice = outputLabel(instance, static_cast<int>(voice * width));
        stem.path = joinPath(target, numberedName(static_cast<int>(voice) + 1, stem.voice) + extension);
        for (std::size_t c = 0; c < width; ++c) {
            stem.channels.push_back(std::move(outputs[voice * width + c]));
            // In voice order, as the voices add into one stereo pair.
            for (std::size_t i = 0; i < frames; ++i) mix[c][i] += stem.channels[c][i];
        }
        files.push_back(std::move(stem));
    }
    files.push_back({joinPath(target, "mix" + extension), "", std::move(mix)});
    return files;
}

// The gain that brings the loudest file of a set to full scale.
float normalizingGain(const std::vector<OutputFile>& files) {
    float peak = 0.0f;
    for (const OutputFile& file : files) peak = std::max(peak, host::measure(file.channels).peak);
    return peak > 0.0f ? 1.0f / peak : 1.0f;
}

// Creates the output folders and checks that every destination can be
// written, before anything is rendered.
bool prepareDestinations(const RenderOptions& options, host::OutputSet& outputs, std::string* error) {
    if (options.stems != StemLayout::None || options.eachProgram) {
        if (!outputs.prepareFolder(options.stems != StemLayout::None ? options.stemsFolder : options.outputPath, error))
            return false;
    } else if (std::filesystem::is_directory(options.outputPath)) {
        *error = options.outputPath + " is a folder";
        return false;
    } else if (!host::OutputSet::canWriteBeside(options.outputPath, error)) {
        return false;
    }
    return options.reportPath.empty() || host::OutputSet::canWriteBeside(options.reportPath, error);
}

// Writes the files of one render under temporary names and measures them as
// written.
bool writeFiles(std::vector<OutputFile>& files, const RenderOptions& options, host::OutputSet& outputs,
                host::ProgramRender* render, std::string* error) {
    for (OutputFile& output : files) {
        std::string temporary;
        const int descriptor = outputs.begin(output.path, &temporary, error);
        if (descriptor < 0 || !host::writeAudio(descriptor, output.channels, static_cast<int>(options.sampleRate),
                                                options.format, error)) {
            *error = "cannot write " + output.path + ": " + *error;
            return false;
        }
        output.channels = {};
        const auto levels = host::measureAudioFile(temporary, host::kSoundThreshold);
        if (!levels) {
            *error = "cannot read back " + output.path;
            return false;
        }
        render->files.push_back({output.path, output.voice, *levels});
    }
    return true;
}

bool writeReport(const std::string& json, const std::string& path, host::OutputSet& outputs, std::string* error) {
    const int descriptor = outputs.begin(path, nullptr, error);
    if (descriptor < 0) return false;
    const bool written = write(descriptor, json.data(), json.size()) == static_cast<ssize_t>(json.size());
    if (close(descriptor) != 0 || !written) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = host::parseRenderOptions(argc, argv, besideThisProgram("Tamborik.so"));
    if (!parsed.options) {
        fail(parsed.exitCode, parsed.message);
        if (parsed.exitCode == host::kExitUsage) std::fputs(host::kRenderUsage, stderr);
        return parsed.exitCode;
    }
    const RenderOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(host::kRenderUsage, stdout);
        return host::kExitDone;
    }
    const bool stems = options.stems != StemLayout::None;

    // The module asks its settings for the layout, so they are prepared
    // before it is loaded; they must outlive every instance and the module.
    const int outputMode = options.stems == StemLayout::Stereo ? 1
                           : options.stems == StemLayout::Mono ? 0
                                                               : options.outputMode;
    std::unique_ptr<host::PrivateSettings> privateSettings;
    std::string modulePath = options.pluginPath, error;
    if (outputMode >= 0) {
        privateSettings = host::PrivateSettings::prepare(options.pluginPath, outputMode, &error);
        if (!privateSettings) return fail(host::kExitFailed, error);
        modulePath = privateSettings->modulePath();
    }

    auto module = host::PluginModule::load(modulePath, &error);
    if (!module) return fail(host::kExitNotAnInstrument, options.pluginPath + ": " + error);
    host::HostOptions hostOptions;
    hostOptions.sampleRate = static_cast<float>(options.sampleRate);
    hostOptions.blockSize = options.blockSize;
    hostOptions.sendsIdle = false;  // program changes in the file then act at once

    host::PluginDescription plugin;
    plugin.path = options.pluginPath;
    {
        auto probe = host::PluginInstance::create(*module, hostOptions);
        if (!probe) return fail(host::kExitNotAnInstrument, options.pluginPath + ": the plug-in refused to start");
        if (!(probe->effect()->flags & vst::effFlagsIsSynth) || probe->numOutputs() < 1)
            return fail(host::kExitNotAnInstrument, options.pluginPath + ": not a VST 2 instrument");
        plugin.effectName = dispatchText(*probe, vst::effGetEffectName);
        plugin.vendor = dispatchText(*probe, vst::effGetVendorString);
        plugin.product = dispatchText(*probe, vst::effGetProductString);
        plugin.vendorVersion = static_cast<int>(probe->dispatch(vst::effGetVendorVersion));
        plugin.uniqueId = probe->effect()->uniqueID;
        plugin.numPrograms = probe->effect()->numPrograms;
        plugin.numOutputs = probe->numOutputs();
    }
    const int wantedOutputs = outputMode == 0 ? 10 : outputMode == 1 ? 20 : 2;
    if (outputMode >= 0 && plugin.numOutputs != wantedOutputs)
        return fail(host::kExitFailed, options.pluginPath + ": the plug-in opened " +
                                           std::to_string(plugin.numOutputs) + " outputs, not " +
                                           std::to_string(wantedOutputs));

    std::optional<host::MidiSequence> file;
    if (!options.midiPath.empty()) {
        auto bytes = platform::readWholeFile(options.midiPath);
        if (!bytes) return fail(host::kExitUnreadableMidi, "cannot read " + options.midiPath);
        file = host::parseMidiFile(*bytes, &error);
        if (!file) return fail(host::kExitUnreadableMidi, options.midiPath + ": " + error);
    }
    if (!options.eachProgram && options.program >= plugin.numPrograms)
        return fail(host::kExitNoSuchProgram, "no program " + std::to_string(options.program) + "; the plug-in has " +
                                                  std::to_string(plugin.numPrograms));

    // Every destination is checked before the render starts.
    host::OutputSet outputs;
    if (!prepareDestinations(options, outputs, &error)) return fail(host::kExitUnwritableOutput, error);
    const std::string& destination = stems ? options.stemsFolder : options.outputPath;

    std::vector<int> programs;
    if (!options.eachProgram) programs.push_back(options.program);
    for (int p = 0; options.eachProgram && p < plugin.numPrograms; ++p) programs.push_back(p);

    const double seconds = options.lengthSeconds > 0 ? options.lengthSeconds
                                                     : (file ? file->lengthSeconds : host::kDemoGrooveSeconds) + 2.0;
    const auto frames = static_cast<std::int64_t>(std::llround(seconds * options.sampleRate));
    std::vector<host::ProgramRender> renders;
    for (int program : programs) {
        auto instance = host::PluginInstance::create(*module, hostOptions);
        if (!instance) return fail(host::kExitFailed, options.pluginPath + ": the plug-in refused to start");
        instance->start();
        if (program >= 0) instance->dispatch(vst::effSetProgram, 0, program);
        host::ProgramRender render;
        render.program = static_cast<int>(instance->dispatch(vst::effGetProgram));
        render.programName = dispatchText(*instance, vst::effGetProgramName);

        std::string target = destination;
        if (options.eachProgram) {
            target = joinPath(destination, numberedName(program + 1, render.programName));
            if (stems && !outputs.prepareFolder(target, &error)) return fail(host::kExitUnwritableOutput, error);
            if (!stems) target += host::audioFileExtension(options.format);
        }

        const bool showProgress = !options.quiet && programs.size() == 1 && isatty(STDERR_FILENO);
        int shown = -1;
        auto progress = [&](double done) {
            const int percent = static_cast<int>(done * 100);
            if (!showProgress || percent == shown) return;
            shown = percent;
            std::fprintf(stderr, "\rtamborik-render: %3d%%", percent);
            if (percent == 100) std::fputc('\n', stderr);
        };
        const auto messages = file ? file->messages : host::demoGroove(*instance);
        auto audio = host::renderOutputs(*instance, messages, frames, progress);
        instance->stop();
        auto files = arrange(std::move(audio), options, *instance, target);
        instance.reset();

        if (options.normalize) {
            render.gain = normalizingGain(files);
            for (OutputFile& output : files)
                for (auto& channel : output.channels)
                    for (float& sample : channel) sample *= render.gain;
        }
        if (!writeFiles(files, options, outputs, &render, &error)) return fail(host::kExitUnwritableOutput, error);
        renders.push_back(std::move(render));
    }

    if (!options.reportPath.empty() &&
        !writeReport(host::renderReportJson(options, plugin, renders), options.reportPath, outputs, &error))
        return fail(host::kExitUnwritableOutput, error);
    if (!outputs.commit(&error)) return fail(host::kExitUnwritableOutput, error);

    if (options.quiet) return host::kExitDone;
    const bool table = renders.size() > 1 || renders[0].files.size() > 1;
    if (table) std::printf("%-36s %8s %8s\n", "file", "peak", "rms");
    for (const host::ProgramRender& render : renders)
        for (const host::WrittenFile& written : render.files)
            std::printf("%-36s %8.3f %8.4f\n", written.path.c_str(), written.levels.peak, written.levels.rms);
    return host::kExitDone;
}
