// What the plug-in tells hosts about itself.
#pragma once

#include "product/Version.h"
#include "vst/VstAbi.h"

namespace plugin {

constexpr vst::VstInt32 kUniqueId = vst::fourCharCode('5', '0', '7', '4');
constexpr int kProgramCount = 16;
constexpr int kParameterCount = 88;
constexpr int kVoiceCount = 10;
constexpr int kVendorVersion = product::kVendorVersion;
constexpr char kEffectName[] = "Tamborik";
constexpr char kProductName[] = "Tamborik";
constexpr char kVendorName[] = "Vokwerk";
constexpr char kRegistryKey[] = "Software\\Vok\\Tamborik";

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

constexpr const char* kPinLabels[kVoiceCount] = {"Kick1",  "Kick2", "Snare1", "Snare2", "Blipp1",
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
