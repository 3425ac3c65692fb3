// DrumSynthEffect: the two audio calls and the routing of the voices onto the
// host's outputs. Runs on the audio thread: no allocation, no locks, no I/O.
#include <cstring>

#include "plugin/DrumSynthEffect.h"
#include "plugin/EffectThreads.h"

namespace plugin {

// At the first audio call, unconnected outputs among the first ten make the
// instance mix everything into one stereo pair for the rest of its life.
void DrumSynthEffect::firstBlockCheck(float** outputs) {
    if (!firstBlock_) return;
    const int checked = std::min(10, static_cast<int>(cEffect.numOutputs));
    for (int i = 0; i < checked; ++i)
        if (!outputs || !outputs[i]) outputMode_ = kOneStereo;
    firstBlock_ = false;
}

void DrumSynthEffect::processReplacing(float** inputs, float** outputs, vst::VstInt32 frames) {
    AudioCall call(*this);
    // Without the engine the block is silent: every output is cleared.
    if (call.ownsEngine()) firstBlockCheck(outputs);
    if (outputs && frames > 0) {
        const int used = call.ownsEngine() ? outputCountFor(outputMode_) : 20;
        const int count = std::min(used, static_cast<int>(cEffect.numOutputs));
        for (int j = 0; j < count; ++j)
            if (outputs[j]) std::memset(outputs[j], 0, sizeof(float) * static_cast<size_t>(frames));
    }
    process(inputs, outputs, frames);
}

void DrumSynthEffect::process(float** /*inputs*/, float** outputs, vst::VstInt32 frames) {
    AudioCall call(*this);
    if (!call.ownsEngine()) return;
    takeQueuedChanges();
    // For hosts that skip processEvents when a block has no events.
    if (backlogSize_ > 0) applyBlockChanges();
    firstBlockCheck(outputs);
    if (frames < 0) frames = 0;
    playLateEvents(frames);
    const int used = outputCountFor(outputMode_);
    const int connected = std::min(used, static_cast<int>(cEffect.numOutputs));
    const int capacity = std::min(engine_.capacity(), discard_.size());
    if (capacity < 1) return;  // buffers that could not be had render nothing, and never loop
    int offset = 0;
    do {
        const int n = std::min(frames - offset, capacity);
        float* routed[20];
        bool discarding = false;
        for (int j = 0; j < used; ++j) {
            float* target = (j < connected && outputs) ? outputs[j] : nullptr;
            discarding = discarding || !target;
            routed[j] = target ? target + offset : discard_.data();
        }
        if (discarding) std::memset(discard_.data(), 0, sizeof(float) * static_cast<size_t>(n));
        engine_.render(routed, outputMode_, n);
        offset += n;
    } while (offset < frames);
}

// Events the host placed beyond the block it then renders play at the
// block's last frame, never later; a block of no frames ends at the first
// frame of the next, where they then play.
void DrumSynthEffect::playLateEvents(int frames) {
    if (lastEventFrame_ >= frames) engine_.moveLateTriggers(frames, lastEventFrame_);
    lastEventFrame_ = -1;
}

}  // namespace plugin
