// The module's cost measured through its entry point, as a host meets it.
// With TAMBORIK_BASELINE_MODULE naming another build of the module, every
// benchmark also runs on that one ("before/…" beside "now/…"), in the same
// process and under the same load.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/EntryPointLoad.h"

namespace {

using bench::EntryPointLoad;

constexpr float kRate = 44100.0f;
const char* const kModeNames[3] = {"TenMono", "TenStereo", "OneStereo"};

// Seconds of audio rendered per second of work: the real-time factor.
void countFrames(benchmark::State& state, std::int64_t frames) {
    state.counters["xRealTime"] =
        benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
    state.SetItemsProcessed(frames);
}

void fullLoad(benchmark::State& state, std::string module, int mode, int block, int every) {
    EntryPointLoad load(module, mode, block);
    load.keepSounding(-1, every);
    for (auto _ : state) {
        load.renderBlock();
        benchmark::ClobberMemory();
    }
    countFrames(state, state.iterations() * block);
}

void voiceAlone(benchmark::State& state, std::string module, int voice) {
    EntryPointLoad load(module, plugin::kOneStereo, 256);
    load.keepSounding(voice);
    for (auto _ : state) {
        load.renderBlock();
        benchmark::ClobberMemory();
    }
    countFrames(state, state.iterations() * 256);
}

void idleBlock(benchmark::State& state, std::string module) {
    EntryPointLoad load(module, plugin::kOneStereo, 256);
    for (auto _ : state) {
        load.renderBlock();
        benchmark::ClobberMemory();
    }
    countFrames(state, state.iterations() * 256);
}

// What an idle block is measured against: clearing the same two outputs.
void clearOutputs(benchmark::State& state) {
    std::vector<float> left(256), right(256);
    float* outputs[2] = {left.data(), right.data()};
    for (auto _ : state) {
        for (float* output : outputs) std::memset(output, 0, sizeof(float) * 256);
        benchmark::DoNotOptimize(outputs[0]);
        benchmark::ClobberMemory();
    }
    countFrames(state, state.iterations() * 256);
}

void processEvents(benchmark::State& state, std::string module) {
    EntryPointLoad load(module, plugin::kOneStereo, 256);
    bench::EventList events;
    for (int k = 0; k < 128; ++k)
        events.add(2 * k, k % 2 ? 0x80 : 0x90, bench::kVoiceNotes[(k / 2) % plugin::kVoiceCount], 100);
    vst::VstEvents* list = events.list();
    for (auto _ : state) {
        load.instance().dispatch(vst::effProcessEvents, 0, 0, list);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 128);
}

void setProgram(benchmark::State& state, std::string module) {
    EntryPointLoad load(module, plugin::kOneStereo, 256);
    int program = 0;
    for (auto _ : state) {
        program = (program + 1) % plugin::kProgramCount;
        load.instance().dispatch(vst::effSetProgram, 0, program);
        benchmark::ClobberMemory();
    }
}

void parameterSweep(benchmark::State& state, std::string module) {
    EntryPointLoad load(module, plugin::kOneStereo, 256);
    float value = 0.25f;
    for (auto _ : state) {
        value = value == 0.25f ? 0.75f : 0.25f;
        for (int i = 0; i < plugin::kParameterCount; ++i) load.instance().setParameter(i, value);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * plugin::kParameterCount);
}

void registerFor(const std::string& prefix, const std::string& module) {
    for (int mode = 0; mode < 3; ++mode)
        for (int block : {32, 256, 2048})
            benchmark::RegisterBenchmark(
                (prefix + "FullLoad/" + kModeNames[mode] + "/" + std::to_string(block)).c_str(), fullLoad, module,
                mode, block, bench::kRetriggerFrames);
    // Struck four times as often: more of the frames are retriggers.
    for (int mode = 0; mode < 3; ++mode)
        benchmark::RegisterBenchmark((prefix + "FastRoll/" + kModeNames[mode] + "/256").c_str(), fullLoad, module,
                                     mode, 256, bench::kFastRetriggerFrames);
    for (int voice = 0; voice < plugin::kVoiceCount; ++voice)
        benchmark::RegisterBenchmark((prefix + "VoiceAlone/" + plugin::kPinLabels[voice]).c_str(), voiceAlone,
                                     module, voice);
    benchmark::RegisterBenchmark((prefix + "IdleBlock/256").c_str(), idleBlock, module);
    benchmark::RegisterBenchmark((prefix + "ProcessEvents/128").c_str(), processEvents, module);
    benchmark::RegisterBenchmark((prefix + "SetProgram").c_str(), setProgram, module);
    benchmark::RegisterBenchmark((prefix + "ParameterSweep/88").c_str(), parameterSweep, module);
}

}  // namespace

int main(int argc, char** argv) {
    const char* baseline = std::getenv("TAMBORIK_BASELINE_MODULE");
    if (baseline && *baseline) registerFor("before/", baseline);
    registerFor(baseline && *baseline ? "now/" : "", TAMBORIK_MODULE_PATH);
    benchmark::RegisterBenchmark("ClearOutputs/256", clearOutputs);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
