// tamborik-render: renders a Standard MIDI File, or the built-in demo groove,
// through a VST 2 instrument into audio files: one mix, every output as a
// channel, or one stem per voice.
#include <unistd.h>

#include <csignal>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "host/AudioFile.h"
#include "host/DemoGroove.h"
#include "host/FilePlan.h"
#include "host/MidiFile.h"
#include "host/OutputSet.h"
#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "host/PrivateSettings.h"
#include "host/RenderOptions.h"
#include "host/RenderReport.h"
#include "host/Renderer.h"
#include "platform/FileIo.h"
#include "product/VersionText.h"

namespace {

using host::RenderOptions;
using host::StemLayout;

// The module beside this program (a build folder), else where an installed
// renderer's module lives: bin/tamborik-render and lib/vst/Tamborik.so.
std::string defaultModulePath() {
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return "Tamborik.so";
    const std::string self(path, static_cast<std::size_t>(length));
    const std::string folder = self.substr(0, self.find_last_of('/') + 1);
    const std::string beside = folder + "Tamborik.so";
    std::error_code error;
    if (std::filesystem::exists(beside, error)) return beside;
    const std::string installed = folder + "../lib/vst/Tamborik.so";
    return std::filesystem::exists(installed, error) ? installed : beside;
}

// Set by Ctrl-C or a termination request: the render stops and removes
// what it began.
volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

int fail(int code, const std::string& message) {
    std::fprintf(stderr, "tamborik-render: %s\n", message.c_str());
    return code;
}

std::string dispatchText(host::PluginInstance& instance, vst::VstInt32 opcode) {
    char text[256] = {};
    instance.dispatch(opcode, 0, 0, text);
    return text;
}

// The file (or, for stems, the folder) a program's render goes to.
std::string programTarget(const RenderOptions& options, int program, const std::string& programName) {
    const bool stems = options.stems != StemLayout::None;
    std::string target = stems ? options.stemsFolder : options.outputPath;
    if (options.eachProgram) {
        target = (std::filesystem::path(target) / host::numberedName(program + 1, programName)).string();
        if (!stems) target += host::audioFileExtension(options.format);
    }
    return target;
}

// Every file the render will write, and every folder it writes into, is
// checked before anything is touched: a folder, a FIFO, a device or a link
// to one where a file should go, a file where a folder should go, or one
// name given to two outputs, refuses the whole render. The plan comes from
// an instance of its own, stepped through the programs to be rendered.
bool checkDestinations(const RenderOptions& options, host::PluginModule& module, const host::HostOptions& hostOptions,
                       const std::vector<int>& programs, std::string* error) {
    const bool stems = options.stems != StemLayout::None;
    if ((stems || options.eachProgram) &&
        !host::OutputSet::checkFolder(stems ? options.stemsFolder : options.outputPath, error))
        return false;
    auto planner = host::PluginInstance::create(module, hostOptions);
    if (!planner) {
        *error = options.pluginPath + ": the plug-in refused to start";
        return false;
    }
    planner->start();
    std::set<std::string> names;
    auto claim = [&](const std::string& path) {
        std::error_code ignored;
        const std::string name = std::filesystem::weakly_canonical(std::filesystem::absolute(path), ignored).string();
        if (names.insert(name.empty() ? path : name).second) return true;
        *error = path + " is named for two outputs";
        return false;
    };
    for (int program : programs) {
        if (program >= 0) planner->dispatch(vst::effSetProgram, 0, program);
        const std::string target = programTarget(options, program, dispatchText(*planner, vst::effGetProgramName));
        if (options.eachProgram && stems && !host::OutputSet::checkFolder(target, error)) return false;
        for (const host::PlannedFile& planned : host::planFiles(options, *planner, target))
            if (!host::OutputSet::checkFile(planned.path, error) || !claim(planned.path)) return false;
    }
    planner->stop();
    return options.reportPath.empty() ||
           (host::OutputSet::checkFile(options.reportPath, error) && claim(options.reportPath));
}

// Creates the output folders and checks that every destination can be
// written, before anything is rendered.
bool prepareDestinations(const RenderOptions& options, host::OutputSet& outputs, std::string* error) {
    if (options.stems != StemLayout::None || options.eachProgram) {
        if (!outputs.prepareFolder(options.stems != StemLayout::None ? options.stemsFolder : options.outputPath, error))
            return false;
    } else if (!host::OutputSet::canWriteBeside(options.outputPath, error)) {
        return false;
    }
    return options.reportPath.empty() || host::OutputSet::canWriteBeside(options.reportPath, error);
}

// What every pass over a program shares.
struct ProgramPass {
    host::PluginModule& module;
    const host::HostOptions& hostOptions;
    const std::optional<host::MidiSequence>& file;
    std::int64_t frames;
};

// One program rendered through a fresh instance: prepare sees the instance
// on its program before the first block, the sink every block. Answers
// kExitInterrupted when the sink stopped the render.
int renderProgram(const ProgramPass& pass, int program, const std::function<void(host::PluginInstance&)>& prepare,
                  const host::BlockSink& sink) {
    auto instance = host::PluginInstance::create(pass.module, pass.hostOptions);
    if (!instance) return host::kExitFailed;
    instance->start();
    if (program >= 0) instance->dispatch(vst::effSetProgram, 0, program);
    prepare(*instance);
    const auto messages = pass.file ? pass.file->messages : host::demoGroove(*instance);
    const bool complete = host::renderBlocks(*instance, messages, pass.frames, sink);
    instance->stop();
    return complete ? host::kExitDone : host::kExitInterrupted;
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
    const auto parsed = host::parseRenderOptions(argc, argv, defaultModulePath());
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
    if (options.version) {
        std::printf("tamborik-render %s\n", product::kVersionText);
        return host::kExitDone;
    }
    const bool stems = options.stems != StemLayout::None;
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    std::signal(SIGHUP, requestStop);

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
    const double seconds = options.lengthSeconds > 0 ? options.lengthSeconds
                                                     : (file ? file->lengthSeconds : host::kDemoGrooveSeconds) + 2.0;
    if (!(seconds <= host::kMaxRenderSeconds))
        return fail(host::kExitBadLength, options.midiPath + " lasts " + std::to_string(std::llround(seconds - 2.0)) +
                                              " s with its tail; a render lasts at most 86400 s (--length renders a part)");

    // Every destination is checked before the render starts.
    std::vector<int> programs;
    if (!options.eachProgram) programs.push_back(options.program);
    for (int p = 0; options.eachProgram && p < plugin.numPrograms; ++p) programs.push_back(p);
    if (!checkDestinations(options, *module, hostOptions, programs, &error))
        return fail(host::kExitUnwritableOutput, error);
    host::OutputSet outputs;
    if (!prepareDestinations(options, outputs, &error)) return fail(host::kExitUnwritableOutput, error);

    const auto frames = static_cast<std::int64_t>(std::llround(seconds * options.sampleRate));
    const ProgramPass pass{*module, hostOptions, file, frames};
    const bool showProgress = !options.quiet && programs.size() == 1 && isatty(STDERR_FILENO);
    std::vector<host::ProgramRender> renders;
    for (int program : programs) {
        host::ProgramRender render;
        std::vector<host::PlannedFile> plan;
        std::vector<float> block;
        auto planFiles = [&](host::PluginInstance& instance) {
            render.program = static_cast<int>(instance.dispatch(vst::effGetProgram));
            render.programName = dispatchText(instance, vst::effGetProgramName);
            plan = host::planFiles(options, instance, programTarget(options, program, render.programName));
        };

        // Normalizing needs the peak before the first sample is written: a
        // first pass measures it; renders repeat to the bit.
        if (options.normalize) {
            float peak = 0.0f;
            const int result = renderProgram(pass, program, planFiles, [&](const float* const* out, int n, double) {
                for (const host::PlannedFile& planned : plan) {
                    host::fillBlock(planned, out, n, 1.0f, &block);
                    for (float s : block) peak = std::max(peak, std::abs(s));
                }
                return !stopRequested;
            });
            if (result != host::kExitDone) return fail(result, result == host::kExitInterrupted ? "stopped"
                                                                                            : "the plug-in refused to start");
            render.gain = peak > 0.0f ? 1.0f / peak : 1.0f;
        }

        std::vector<std::unique_ptr<host::AudioFileWriter>> writers;
        std::vector<std::string> temporaries;
        auto openFiles = [&](host::PluginInstance& instance) {
            planFiles(instance);
            const std::string folder = stems ? std::filesystem::path(plan[0].path).parent_path().string() : "";
            if (options.eachProgram && stems && !outputs.prepareFolder(folder, &error)) return;
            for (const host::PlannedFile& planned : plan) {
                std::string temporary;
                const int descriptor = outputs.begin(planned.path, &temporary, &error);
                auto writer = descriptor < 0 ? nullptr
                                             : host::AudioFileWriter::open(descriptor, static_cast<int>(planned.channels.size()),
                                                                           static_cast<int>(options.sampleRate), options.format,
                                                                           pass.frames, &error);
                if (!writer) {
                    error = "cannot write " + planned.path + ": " + error;
                    return;
                }
                writers.push_back(std::move(writer));
                temporaries.push_back(temporary);
            }
        };
        int shown = -1;
        const int result = renderProgram(pass, program, openFiles, [&](const float* const* out, int n, double done) {
            for (std::size_t f = 0; f < writers.size(); ++f) {
                host::fillBlock(plan[f], out, n, render.gain, &block);
                if (!writers[f]->write(block.data(), n)) return false;
            }
            const int percent = static_cast<int>(done * 100);
            if (showProgress && percent != shown) {
                shown = percent;
                std::fprintf(stderr, "\rtamborik-render: %3d%%", percent);
                if (percent == 100) std::fputc('\n', stderr);
            }
            return writers.size() == plan.size() && !stopRequested;
        });
        if (result == host::kExitFailed) return fail(result, options.pluginPath + ": the plug-in refused to start");
        if (stopRequested) return fail(host::kExitInterrupted, "stopped");
        for (std::size_t f = 0; f < plan.size(); ++f) {
            if (f >= writers.size() || !writers[f]->finish(&error))
                return fail(host::kExitUnwritableOutput,
                            f >= writers.size() ? error : "cannot write " + plan[f].path + ": " + error);
            const auto levels = host::measureAudioFile(temporaries[f], host::kSoundThreshold);
            if (!levels) return fail(host::kExitUnwritableOutput, "cannot read back " + plan[f].path);
            render.files.push_back({plan[f].path, plan[f].voice, *levels});
        }
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
