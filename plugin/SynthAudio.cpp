// DrumSynth: the two audio calls and the routing of the voices onto the
// host's outputs. Runs on the audio thread: no allocation, no locks, no I/O.
#include <algorithm>
#include <cstring>

#include "plugin/DrumSynth.h"
#include "plugin/SynthThreads.h"

namespace plugin {

// At the first audio call, unconnected outputs among the first ten make the
// instance mix everything into one stereo pair for the rest of its life,
// unless the host interface fixed the layout.
void DrumSynth::firstBlockCheck(float** outputs, int count) {
    if (!firstBlock_) return;
    const int checked = std::min(10, count);
    if (!fixedLayout_)
        for (int i = 0; i < checked; ++i)
            if (!outputs || !outputs[i]) outputMode_ = kOneStereo;
    firstBlock_ = false;
}

void DrumSynth::renderReplacing(float** outputs, int count, int frames) {
    AudioCall call(*this);
    // Without the engine the block is silent: every output is cleared.
    if (call.ownsEngine()) firstBlockCheck(outputs, count);
    if (outputs && frames > 0) {
        const int used = call.ownsEngine() ? outputCountFor(outputMode_) : 20;
        const int cleared = std::min(used, count);
        for (int j = 0; j < cleared; ++j)
            if (outputs[j]) std::memset(outputs[j], 0, sizeof(float) * static_cast<size_t>(frames));
    }
    renderAccumulating(outputs, count, frames);
}

void DrumSynth::renderAccumulating(float** outputs, int count, int frames) {
    AudioCall call(*this);
    if (!call.ownsEngine()) return;
    takeQueuedChanges();
    // For hosts that skip their event call when a block has no events.
    if (backlogSize_ > 0) applyBlockChanges();
    firstBlockCheck(outputs, count);
    if (frames < 0) frames = 0;
    playLateEvents(frames);
    const int used = outputCountFor(outputMode_);
    const int connected = std::min(used, count);
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
void DrumSynth::playLateEvents(int frames) {
    if (lastEventFrame_ >= frames) engine_.moveLateTriggers(frames, lastEventFrame_);
    lastEventFrame_ = -1;
}

}  // namespace plugin
