#include "plugin/DrumEngine.h"

#include "dsp/MetalPair.h"

#include <cstring>

namespace plugin {
namespace {

constexpr int kClosedFlagBuffer = 9;
constexpr int kCrashVelocityBuffer = 10;
constexpr int kClavesPitchBuffer = 6;

}  // namespace

DrumEngine::DrumEngine()
    : voices_{&kick1_, &kick2_, &snare1_, &snare2_, &blipp1_,
              &blipp2_, &clap_, &claves_, &hihat_, &crash_} {
    capacity_ = kInitialCapacity;
    sampleRate_ = 44100.0f;
    allocateBuffers(capacity_);
    prepareVoices();
    pitchTables_.build();
}

float* DrumEngine::velocityBuffer(int k) {
    return velocity_[k == kCrash ? kCrashVelocityBuffer : k].data();
}

float* DrumEngine::pitchBuffer(int k) {
    if (k <= kBlipp2) return pitch_[k].data();
    if (k == kClaves) return pitch_[kClavesPitchBuffer].data();
    if (k == kHihat) return velocity_[kClosedFlagBuffer].data();
    return nullptr;
}

bool DrumEngine::allocateBuffers(int frames) {
    dsp::ScratchBuffer velocity[kVelocityBuffers];
    dsp::ScratchBuffer pitch[kPitchBuffers];
    for (auto& buffer : velocity)
        if (!buffer.allocate(frames)) return false;
    for (auto& buffer : pitch)
        if (!buffer.allocate(frames)) return false;
    for (int i = 0; i < kVelocityBuffers; ++i) velocity_[i] = std::move(velocity[i]);
    for (int i = 0; i < kPitchBuffers; ++i) pitch_[i] = std::move(pitch[i]);
    return true;
}

void DrumEngine::prepareVoices() {
    for (dsp::DrumVoice* v : voices_) {
        v->setBlockSize(capacity_);
        v->setSampleRate(sampleRate_);
    }
    for (dsp::DrumVoice* v : voices_) v->prepare();
}

void DrumEngine::setSampleRate(float rate) {
    sampleRate_ = rate;
    for (dsp::DrumVoice* v : voices_) v->setSampleRate(rate);
    for (dsp::DrumVoice* v : voices_) v->prepare();
}

bool DrumEngine::setCapacity(int frames) {
    if (frames > kMaxCapacity) frames = kMaxCapacity;
    if (frames < 1 || !allocateBuffers(frames)) return false;
    capacity_ = frames;
    prepareVoices();
    return true;
}

void DrumEngine::startVoice(int k, int frame, float velocity, float pitch) {
    if (k < 0 || k >= kVoiceCount || frame < 0 || frame >= capacity_) return;
    velocityBuffer(k)[frame] = velocity;
    if (float* p = pitchBuffer(k)) p[frame] = pitch;
    voices_[k]->trigger();
}

void DrumEngine::moveLateTriggers(int frames, int last) {
    const int target = frames > 0 ? frames - 1 : 0;
    if (last >= capacity_) last = capacity_ - 1;
    for (int k = 0; k < kVoiceCount; ++k) {
        float* velocity = velocityBuffer(k);
        float* pitch = pitchBuffer(k);
        for (int f = target + 1; f <= last; ++f) {
            if (velocity[f] == 0.0f) continue;
            velocity[target] = velocity[f];
            velocity[f] = 0.0f;
            if (pitch) {
                pitch[target] = pitch[f];
                pitch[f] = 0.0f;
            }
        }
    }
}

void DrumEngine::render(float* const* outputs, int mode, int frames) {
    if (frames > capacity_) frames = capacity_;
    // Made for each voice as it is needed: an array of them would be cleared
    // first, which costs an idle block as much as the rest of it.
    auto block = [&](int k) {
        dsp::VoiceBlock b;
        b.velocity = velocityBuffer(k);
        b.pitch = pitchBuffer(k);
        switch (mode) {
        case kTenMono:
            b.left = outputs[k];
            break;
        case kTenStereo:
            b.left = outputs[2 * k];
            b.right = outputs[2 * k + 1];
            break;
        default:
            b.left = outputs[0];
            b.right = outputs[1];
            break;
        }
        return b;
    };
    for (dsp::DrumVoice* v : voices_) v->setStereo(mode != kTenMono);
    // The two kicks render together, the two snares, the two Blipps, and the
    // hihat with the crash; each mixes in the same order as alone.
    dsp::KickVoice::processPair(kick1_, block(kKick1), kick2_, block(kKick2), frames);
    dsp::SnareVoice::processPair(snare1_, block(kSnare1), snare2_, block(kSnare2), frames);
    dsp::BlippVoice::processPair(blipp1_, block(kBlipp1), blipp2_, block(kBlipp2), frames);
    clap_.process(block(kClap), frames);
    claves_.process(block(kClaves), frames);
    dsp::MetalPair::process(hihat_, block(kHihat), crash_, block(kCrash), frames);
}

float DrumEngine::voiceLevel(int k) {
    if (k < 0 || k >= kVoiceCount) return 0.0f;
    return voices_[k]->takeMeterLevel();
}

}  // namespace plugin
