// Rendering cost of the engine over a range of block sizes, all ten voices
// sounding at once, and of silence (every voice idle).
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/MemoryRegistry.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/ParameterIndex.h"

namespace {

vst::VstIntPtr quietHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*,
                         float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

void renderBlocks(benchmark::State& state, bool sounding) {
    const int frames = static_cast<int>(state.range(0));
    platform::MemoryRegistry registry;
    plugin::DrumSynthEffect effect(&quietHost, registry, "");
    effect.setBlockSize(frames);
    for (int i = 0; i < 55; ++i)
        if (!plugin::param::isKeyMode(i)) effect.setParameter(i, 0.8f);
    std::vector<float> left(static_cast<size_t>(frames)), right(left);
    float* outputs[2] = {left.data(), right.data()};
    for (auto _ : state) {
        if (sounding)
            for (int v = 0; v < plugin::kVoiceCount; ++v)
                if (!effect.engine().voice(v).isActive()) effect.engine().startVoice(v, 0, 1.0f, 440.0f);
        effect.processReplacing(nullptr, outputs, frames);
        benchmark::DoNotOptimize(left.data());
    }
    state.SetItemsProcessed(state.iterations() * frames);
}

void BM_AllVoicesSounding(benchmark::State& state) { renderBlocks(state, true); }
void BM_Idle(benchmark::State& state) { renderBlocks(state, false); }

BENCHMARK(BM_AllVoicesSounding)->RangeMultiplier(4)->Range(16, 4096);
BENCHMARK(BM_Idle)->RangeMultiplier(4)->Range(16, 4096);

}  // namespace
