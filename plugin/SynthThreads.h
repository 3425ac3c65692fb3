// DrumSynth: the two guards its threads pass through (see the
// member comment on model_ in DrumSynth.h).
#pragma once

#include <mutex>

#include "plugin/DrumSynth.h"

namespace plugin {

// Holds the model lock. Threads outside the audio calls wait for it, unless
// asked only to try; inside an audio call it is only ever tried.
class DrumSynth::ModelLock {
public:
    enum Wait { kWait, kTry };
    explicit ModelLock(DrumSynth& effect, Wait wait = kWait) : mutex_(effect.model_) {
        if (wait == kTry || audioCall_ == &effect) {
            owns_ = mutex_.try_lock();
        } else {
            mutex_.lock();
            owns_ = true;
        }
    }
    ~ModelLock() {
        if (owns_) mutex_.unlock();
    }
    ModelLock(const ModelLock&) = delete;
    ModelLock& operator=(const ModelLock&) = delete;
    bool owns() const { return owns_; }

private:
    std::recursive_mutex& mutex_;
    bool owns_ = false;
};

// Marks the thread as inside one of the effect's audio calls and makes it
// the engine's owner, if it can be without waiting.
class DrumSynth::AudioCall {
public:
    explicit AudioCall(DrumSynth& effect) : previous_(audioCall_) {
        audioCall_ = &effect;
        owns_ = effect.ownEngine();
    }
    ~AudioCall() { audioCall_ = previous_; }
    AudioCall(const AudioCall&) = delete;
    AudioCall& operator=(const AudioCall&) = delete;
    bool ownsEngine() const { return owns_; }

private:
    const DrumSynth* previous_;
    bool owns_ = false;
};

}  // namespace plugin
