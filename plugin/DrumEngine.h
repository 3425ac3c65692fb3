// The ten voices with their per-sample trigger buffers, and the routing of
// their signals onto the host's outputs in the three output modes.
#pragma once

#include "dsp/BlippVoice.h"
#include "dsp/ClapVoice.h"
#include "dsp/ClavesVoice.h"
#include "dsp/CrashVoice.h"
#include "dsp/HihatVoice.h"
#include "dsp/KickVoice.h"
#include "dsp/ScratchBuffer.h"
#include "dsp/SnareVoice.h"
#include "plugin/PitchTables.h"
#include "plugin/PluginInfo.h"

namespace plugin {

class DrumEngine {
public:
    static constexpr int kInitialCapacity = 2048;
    // Longer host blocks are rendered in pieces of this many frames.
    static constexpr int kMaxCapacity = 65536;
    static constexpr int kVelocityBuffers = 11;
    static constexpr int kPitchBuffers = 7;

    DrumEngine();

    // Sets the rate of every voice and prepares them all again.
    void setSampleRate(float rate);
    // Makes frames the capacity of every buffer, reallocating them, and
    // prepares the voices. Returns false (and keeps the old buffers) when the
    // memory cannot be had.
    bool setCapacity(int frames);
    int capacity() const { return capacity_; }
    float sampleRate() const { return sampleRate_; }

    dsp::DrumVoice& voice(int k) { return *voices_[k]; }
    dsp::KickVoice& kick(int which) { return which == 0 ? kick1_ : kick2_; }
    dsp::SnareVoice& snare(int which) { return which == 0 ? snare1_ : snare2_; }
    dsp::BlippVoice& blipp(int which) { return which == 0 ? blipp1_ : blipp2_; }
    dsp::ClapVoice& clap() { return clap_; }
    dsp::ClavesVoice& claves() { return claves_; }
    dsp::HihatVoice& hihat() { return hihat_; }
    dsp::CrashVoice& crash() { return crash_; }

    const PitchTables& pitchTables() const { return pitchTables_; }

    // Starts voice k at frame (0 <= frame < capacity) with the given velocity;
    // pitch is the note's frequency for the pitched voices, the closed flag
    // (1 closed, 0 open) for the hihat, and unused by Clap and Crash.
    void startVoice(int k, int frame, float velocity, float pitch);

    // Moves what triggers wrote after the block's last frame (frames - 1),
    // through `last`, to that frame, later frames winning. A block of no
    // frames ends where the next begins: they move to frame 0.
    void moveLateTriggers(int frames, int last);

    // What a trigger wrote at a frame of the current block, before rendering:
    // the velocity, and the pitch (or the hihat's closed flag).
    float pendingVelocity(int k, int frame) { return velocityBuffer(k)[frame]; }
    float pendingPitch(int k, int frame) {
        float* p = pitchBuffer(k);
        return p ? p[frame] : 0.0f;
    }

    // Adds frames (at most the capacity) of every voice, in voice order, into
    // the outputs: outputs[k] (mode 0), outputs[2k], outputs[2k + 1] (mode 1)
    // or outputs[0], outputs[1] (mode 2). Every pointer must be valid.
    void render(float* const* outputs, int mode, int frames);

    // The activity meter of voice k, 0 for any other index.
    float voiceLevel(int k);

private:
    float* velocityBuffer(int k);
    float* pitchBuffer(int k);
    bool allocateBuffers(int frames);
    void prepareVoices();

    dsp::KickVoice kick1_, kick2_;
    dsp::SnareVoice snare1_, snare2_;
    dsp::BlippVoice blipp1_, blipp2_;
    dsp::ClapVoice clap_;
    dsp::ClavesVoice claves_;
    dsp::HihatVoice hihat_;
    dsp::CrashVoice crash_;
    dsp::DrumVoice* voices_[kVoiceCount];

    // Kick 1 … Claves, Hihat, the hihat's closed flag, Crash.
    dsp::ScratchBuffer velocity_[kVelocityBuffers];
    // Kick 1 … Blipp 2, Claves.
    dsp::ScratchBuffer pitch_[kPitchBuffers];
    int capacity_ = 0;
    float sampleRate_ = 44100.0f;
    PitchTables pitchTables_;
};

}  // namespace plugin
