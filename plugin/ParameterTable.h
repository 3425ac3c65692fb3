// Every parameter the host sees, described once: its name, how its value is
// shown, the voice it belongs to, what it does and which of the voice's
// setters it feeds. The displays, the engine hand-off, the mixer file, the
// editor's layout and every host interface walk this one table; adding or
// renaming a parameter is an edit here.
#pragma once

#include "plugin/PluginInfo.h"

namespace plugin {

// What a parameter does.
enum class Role : unsigned char {
    kTone,     // a sound parameter, handed to one of the voice's setters
    kChannel,  // the voice's MIDI channel, 16 steps
    kNote,     // the note that plays the voice, 128 steps
    kKeyMode,  // Drum or Key, toggled
    kPan,
    kVolume,
    kVersion,   // the program's version; carries nothing to the engine
    kReserved,  // an unused slot
};

// The voice setter a tone, Key Mode, pan or volume value feeds.
enum class Setter : unsigned char {
    kNone, kFrequency, kSweep, kDecay, kSweepDecay, kThump, kNoiseDecay, kQ, kClosedDecay, kOpenDecay, kKeyMode,
    kPan, kVolume,
};

// How a value v from 0 to 1 is shown, with the two numbers of its rule.
enum class Shown : unsigned char {
    kNone,
    kChannel,       // v * 15 + 1, rounded
    kHertz,         // scale * base^v, two decimals, "Hz"
    kMilliseconds,  // (scale * v + base) seconds in milliseconds, two decimals, "ms"
    kSweep,         // v * scale + 1, truncated
    kPercent,       // v * 100, rounded, "%"
    kKeyMode,       // "Drum" or "Key"
    kQ,             // scale * v + 1, one decimal
    kVersion,
    kNote,          // v * 127, rounded, as a name or a number
    kMix,           // three significant digits
};

struct Display {
    Shown kind;
    float scale;
    float base;
};

// How a parameter's name begins: the voice's name with a space ("Kick 1
// Decay"), without one ("Kick1 Pan"), or not at all ("Ch Note").
enum class Writing : unsigned char { kSpaced, kCompact, kBare };

struct ParameterInfo {
    const char* name;  // without the voice's name
    Writing writing;
    int voice;  // -1 for none
    Role role;
    Setter setter;
    Display display;
    float defaultValue;  // what a reset restores
};

namespace table {

constexpr Display kNoDisplay{Shown::kNone, 0.0f, 0.0f};

constexpr ParameterInfo channel(int voice) {
    return {"Midi Ch", Writing::kSpaced, voice, Role::kChannel, Setter::kNone, {Shown::kChannel, 0.0f, 0.0f}, 0.0f};
}
constexpr ParameterInfo keyMode(int voice) {
    return {"Key Mode", Writing::kSpaced, voice, Role::kKeyMode, Setter::kKeyMode, {Shown::kKeyMode, 0.0f, 0.0f},
            0.0f};
}
constexpr ParameterInfo tone(int voice, const char* name, Setter setter, Display display, float defaultValue) {
    return {name, Writing::kSpaced, voice, Role::kTone, setter, display, defaultValue};
}
constexpr Display hertz(float scale, float base) { return {Shown::kHertz, scale, base}; }
constexpr Display milliseconds(float scale, float offset) { return {Shown::kMilliseconds, scale, offset}; }
constexpr Display sweep(float scale) { return {Shown::kSweep, scale, 0.0f}; }
constexpr Display q(float scale) { return {Shown::kQ, scale, 0.0f}; }
constexpr Display kPercent{Shown::kPercent, 0.0f, 0.0f};

constexpr ParameterInfo note(int voice, const char* name, Writing writing, int number) {
    return {name, writing, voice, Role::kNote, Setter::kNone, {Shown::kNote, 0.0f, 0.0f}, number / 127.0f};
}
constexpr ParameterInfo pan(int voice) {
    return {"Pan", Writing::kCompact, voice, Role::kPan, Setter::kPan, {Shown::kMix, 0.0f, 0.0f}, 0.5f};
}
constexpr ParameterInfo volume(int voice, float defaultValue) {
    return {"Volume", Writing::kCompact, voice, Role::kVolume, Setter::kVolume, {Shown::kMix, 0.0f, 0.0f},
            defaultValue};
}

using S = Setter;

// The kicks' and blipps' blocks differ only in their displays and defaults.
#define TAMBORIK_KICK(v)                                                              \
    channel(v), tone(v, "Frequency", S::kFrequency, hertz(40.0f, 2.0f), 0.5f),        \
        tone(v, "Sweep", S::kSweep, sweep(7.0f), 0.5f),                               \
        tone(v, "Decay", S::kDecay, milliseconds(0.395f, 0.005f), 0.5f),              \
        tone(v, "Sweep Decay", S::kSweepDecay, milliseconds(0.195f, 0.005f), 0.0f),   \
        tone(v, "Thump", S::kThump, kPercent, 0.5f), keyMode(v)
#define TAMBORIK_SNARE(v)                                                             \
    channel(v), tone(v, "Frequency", S::kFrequency, hertz(200.0f, 4.0f), 0.25f),      \
        tone(v, "Decay", S::kDecay, milliseconds(0.009f, 0.001f), 0.75f),             \
        tone(v, "Noise Decay", S::kNoiseDecay, milliseconds(0.049f, 0.001f), 0.5f),   \
        tone(v, "Thump", S::kThump, kPercent, 0.75f), keyMode(v)
#define TAMBORIK_BLIPP(v)                                                             \
    channel(v), tone(v, "Frequency", S::kFrequency, hertz(40.0f, 2.0f), 0.0f),        \
        tone(v, "Sweep", S::kSweep, sweep(127.0f), 1.0f),                             \
        tone(v, "Decay", S::kDecay, milliseconds(0.195f, 0.005f), 0.25f),             \
        tone(v, "Sweep Decay", S::kSweepDecay, milliseconds(0.195f, 0.005f), 0.0f), keyMode(v)

// The Ctrl-click default of the Volume knobs.
constexpr float kLoud = 0.87f, kSoft = 0.75f;

inline constexpr ParameterInfo kAll[kParameterCount] = {
    TAMBORIK_KICK(kKick1),
    TAMBORIK_KICK(kKick2),
    TAMBORIK_SNARE(kSnare1),
    TAMBORIK_SNARE(kSnare2),
    TAMBORIK_BLIPP(kBlipp1),
    TAMBORIK_BLIPP(kBlipp2),
    channel(kClap),
    tone(kClap, "Frequency", Setter::kFrequency, hertz(200.0f, 16.0f), 0.5f),
    tone(kClap, "Q", Setter::kQ, q(3.0f), 0.5f),
    tone(kClap, "Decay", Setter::kDecay, milliseconds(0.049f, 0.001f), 0.5f),
    channel(kClaves),
    tone(kClaves, "Frequency", Setter::kFrequency, hertz(800.0f, 8.0f), 0.25f),
    tone(kClaves, "Decay", Setter::kDecay, milliseconds(0.049f, 0.001f), 0.0625f),
    keyMode(kClaves),
    channel(kHihat),
    tone(kHihat, "Frequency", Setter::kFrequency, hertz(1000.0f, 16.0f), 0.75f),
    tone(kHihat, "Q", Setter::kQ, q(5.0f), 0.5f),
    tone(kHihat, "Ch Decay", Setter::kClosedDecay, milliseconds(0.018f, 0.002f), 0.5f),
    tone(kHihat, "Oh Decay", Setter::kOpenDecay, milliseconds(0.19f, 0.01f), 0.75f),
    channel(kCrash),
    tone(kCrash, "Frequency", Setter::kFrequency, hertz(500.0f, 4.0f), 0.0f),
    tone(kCrash, "Q", Setter::kQ, q(20.0f), 1.0f),
    tone(kCrash, "Decay", Setter::kDecay, milliseconds(0.45f, 0.05f), 0.5f),
    {"Version", Writing::kBare, -1, Role::kVersion, Setter::kNone, {Shown::kVersion, 0.0f, 0.0f}, kCurrentVersion},
    note(kKick1, "Note", Writing::kCompact, 36),
    note(kKick2, "Note", Writing::kCompact, 41),
    note(kSnare1, "Note", Writing::kCompact, 38),
    note(kSnare2, "Note", Writing::kCompact, 40),
    note(kBlipp1, "Note", Writing::kCompact, 37),
    note(kBlipp2, "Note", Writing::kCompact, 43),
    note(kClap, "Note", Writing::kCompact, 39),
    note(kClaves, "Note", Writing::kCompact, 51),
    note(kHihat, "Ch Note", Writing::kBare, 42),
    note(kHihat, "Oh Note", Writing::kBare, 46),
    note(kCrash, "Note", Writing::kCompact, 49),
    {"", Writing::kBare, -1, Role::kReserved, Setter::kNone, kNoDisplay, 0.0f},
    pan(kKick1),  volume(kKick1, kLoud),
    pan(kKick2),  volume(kKick2, kLoud),
    pan(kSnare1), volume(kSnare1, kLoud),
    pan(kSnare2), volume(kSnare2, kLoud),
    pan(kBlipp1), volume(kBlipp1, kSoft),
    pan(kBlipp2), volume(kBlipp2, kSoft),
    pan(kClap),   volume(kClap, kLoud),
    pan(kClaves), volume(kClaves, kSoft),
    pan(kHihat),  volume(kHihat, kLoud),
    pan(kCrash),  volume(kCrash, kSoft),
};

#undef TAMBORIK_KICK
#undef TAMBORIK_SNARE
#undef TAMBORIK_BLIPP

}  // namespace table

inline constexpr const ParameterInfo (&kParameters)[kParameterCount] = table::kAll;

// The number of steps a host offers for a parameter: 16 channels, 128
// notes, two Key Modes; 0 for a continuous one.
constexpr int stepCount(int index) {
    switch (kParameters[index].role) {
    case Role::kChannel: return 16;
    case Role::kNote: return 128;
    case Role::kKeyMode: return 2;
    default: return 0;
    }
}

}  // namespace plugin
