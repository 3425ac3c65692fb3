// What the plug-in tells hosts about itself.
#pragma once

#include <cstdint>

#include "product/Version.h"

namespace plugin {

// The plug-in's four-character ID, '5074', as one big-endian word.
constexpr std::int32_t kUniqueId = ('5' << 24) | ('0' << 16) | ('7' << 8) | '4';
constexpr int kProgramCount = 16;
constexpr int kParameterCount = 88;
constexpr int kVoiceCount = 10;
constexpr int kVendorVersion = product::kVendorVersion;
constexpr char kEffectName[] = "Tamborik";
constexpr char kProductName[] = "Tamborik";
constexpr char kVendorName[] = "Vokwerk";
constexpr char kRegistryKey[] = "Software\\Vok\\Tamborik";

// The version programs are stored with, as shown and as stored.
constexpr char kVersionText[] = "1.2";
constexpr float versionNumber(const char* text) {
    double number = 0.0, scale = 1.0;
    bool fraction = false;
    for (; *text; ++text) {
        if (*text == '.') {
            fraction = true;
            continue;
        }
        if (fraction) scale /= 10.0;
        number = fraction ? number + (*text - '0') * scale : number * 10.0 + (*text - '0');
    }
    return static_cast<float>(number);
}
constexpr float kCurrentVersion = versionNumber(kVersionText);

// The sample rates the plug-in renders; a host's rate outside them is ignored.
// Below 8 kHz the oscillators step by more than a turn per sample and the
// output is no longer a drum sound; far above 768 kHz the filters' cosines
// round to 1 and their tuning breaks down.
constexpr float kMinSampleRate = 8000.0f;
constexpr float kMaxSampleRate = 768000.0f;

// Voice index: the order of every per-voice table, buffer and output.
enum Voice : int {
    kKick1 = 0,
    kKick2,
    kSnare1,
    kSnare2,
    kBlipp1,
    kBlipp2,
    kClap,
    kClaves,
    kHihat,
    kCrash,
};

// The voices' two writings: with a space, as the editor and the voice
// blocks' parameter names show them, and without, as the outputs, the note
// and mix parameters and the mixer file name them.
inline constexpr const char* kVoiceNames[kVoiceCount] = {"Kick 1",  "Kick 2", "Snare 1", "Snare 2", "Blipp 1",
                                                  "Blipp 2", "Clap",   "Claves",  "Hihat",   "Crash"};
inline constexpr const char* kPinLabels[kVoiceCount] = {"Kick1",  "Kick2", "Snare1", "Snare2", "Blipp1",
                                                 "Blipp2", "Clap",  "Claves", "Hihat",  "Crash"};

// 0: ten mono outputs, 1: ten stereo pairs, 2: one stereo pair.
enum OutputMode : int {
    kTenMono = 0,
    kTenStereo = 1,
    kOneStereo = 2,
};

constexpr int outputCountFor(int mode) {
    return mode == kTenMono ? 10 : mode == kTenStereo ? 20 : 2;
}

}  // namespace plugin
