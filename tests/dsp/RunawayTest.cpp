// However a ringing voice is played (random notes, velocities, retrigger
// intervals, Key Mode switched while it rings, its Frequency moved every 32
// frames) it stays finite and within four times the loudest single hit it
// can make at its settings: the resonating kick, snare and claves, and the
// blipp and crash beside them.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <type_traits>
#include <vector>

#include "dsp/BlippVoice.h"
#include "dsp/ClavesVoice.h"
#include "dsp/CrashVoice.h"
#include "dsp/KickVoice.h"
#include "dsp/SnareVoice.h"
#include "support/VoiceHarness.h"

namespace {

using testing_support::Hit;
using testing_support::peakOf;
using testing_support::VoiceHarness;

float lowTable(int note) { return 4.0875f * std::pow(2.0f, note / 12.0f); }
float clavesTable(int note) { return 16.35f * std::pow(2.0f, note / 12.0f); }
constexpr float kLoudestVelocity = 1.016f;  // MIDI velocity 127 on the linear curve

// A voice class with long decays and a deep sweep, where retriggered
// ringing would pump up most readily.
template <typename Voice>
struct Setup {
    std::function<void(Voice&, float frequency)> apply;
    std::function<float(int note)> pitch;
    int ownNote;
    const char* name;
    bool hasKeyMode = true;
};

// The crash is the one voice here without Key Mode.
template <typename Voice>
void setKeyMode(Voice& voice, bool on) {
    if constexpr (!std::is_same_v<Voice, dsp::CrashVoice>) voice.setKeyMode(on ? 1.0f : 0.0f);
}

void applyKick(dsp::KickVoice& v, float frequency) {
    v.setFrequency(frequency);
    v.setSweep(1.0f);
    v.setDecay(1.0f);
    v.setSweepDecay(0.0f);
    v.setThump(0.3f);
}
void applySnare(dsp::SnareVoice& v, float frequency) {
    v.setFrequency(frequency);
    v.setDecay(1.0f);
    v.setNoiseDecay(0.5f);
    v.setThump(0.7f);
}
void applyClaves(dsp::ClavesVoice& v, float frequency) {
    v.setFrequency(frequency);
    v.setDecay(1.0f);
}
void applyBlipp(dsp::BlippVoice& v, float frequency) {
    v.setFrequency(frequency);
    v.setSweep(1.0f);
    v.setDecay(1.0f);
    v.setSweepDecay(0.0f);
}
void applyCrash(dsp::CrashVoice& v, float frequency) {
    v.setFrequency(frequency);
    v.setQ(1.0f);
    v.setDecay(1.0f);
}
float noPitch(int) { return 0.0f; }

const Setup<dsp::KickVoice> kKick{applyKick, lowTable, 36, "kick"};
const Setup<dsp::SnareVoice> kSnare{applySnare, lowTable, 38, "snare"};
const Setup<dsp::ClavesVoice> kClaves{applyClaves, clavesTable, 51, "claves"};
const Setup<dsp::BlippVoice> kBlipp{applyBlipp, lowTable, 37, "blipp"};
const Setup<dsp::CrashVoice> kCrash{applyCrash, noPitch, 49, "crash", false};

// The loudest single hit, each on a voice at rest, over the Frequency range
// and, in Key Mode, over the notes; in Key Mode also after the highest note
// has rung out, which leaves a kick's glide starting far above its note.
template <typename Voice>
float loudestSingleHit(const Setup<Voice>& setup, bool keyMode, float rate, const std::vector<int>& notes) {
    const int length = static_cast<int>(rate * 0.5f);
    float loudest = 0.0f;
    auto hit = [&](float frequency, int note, bool afterHighest) {
        VoiceHarness<Voice> h(rate);
        setup.apply(h.voice, frequency);
        setKeyMode(h.voice, keyMode);
        if (afterHighest) h.render({{0, kLoudestVelocity, setup.pitch(127)}}, h.voice.lifetime() + 512);
        const float pitch = setup.pitch(keyMode ? note : setup.ownNote);
        loudest = std::max(loudest, peakOf(h.render({{0, kLoudestVelocity, pitch}}, length).left));
    };
    if (!keyMode) {
        for (float frequency : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) hit(frequency, setup.ownNote, false);
        return loudest;
    }
    // In Key Mode the Frequency only sets where a kick's first glide starts.
    for (float frequency : {0.0f, 1.0f})
        for (int note : notes) hit(frequency, note, false);
    for (int note : notes)
        if (note < 50) hit(0.0f, note, true);
    return loudest;
}

std::vector<int> allNotes() {
    std::vector<int> notes;
    for (int n = 0; n < 128; ++n) notes.push_back(n);
    return notes;
}

// Plays the voice in pieces of 32 frames; before each, change(piece, voice)
// may move parameters, and hits(piece) lists the hits within the piece.
template <typename Voice>
float playPeak(VoiceHarness<Voice>& h, int pieces, const std::function<void(int, Voice&)>& change,
               const std::function<std::vector<Hit>(int)>& hits) {
    float peak = 0.0f;
    for (int piece = 0; piece < pieces; ++piece) {
        change(piece, h.voice);
        const std::vector<float> out = h.render(hits(piece), 32, false, 32).left;
        for (float sample : out) {
            if (!std::isfinite(sample)) return INFINITY;
            peak = std::max(peak, std::abs(sample));
        }
    }
    return peak;
}

template <typename Voice>
void playRandomly(const Setup<Voice>& setup, bool keyMode, unsigned seed) {
    const float rate = 44100.0f;
    const float bound = 4.0f * loudestSingleHit(setup, keyMode, rate, allNotes());
    VoiceHarness<Voice> h(rate, 32);
    setup.apply(h.voice, 0.5f);
    setKeyMode(h.voice, keyMode);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> interval(1, 20000), note(0, 127), velocity(1, 127);
    std::uniform_real_distribution<float> frequency(0.0f, 1.0f);
    std::int64_t nextHit = 0;
    std::int64_t now = 0;
    const float peak = playPeak<Voice>(
        h, static_cast<int>(rate * 10 / 32), [&](int, Voice& v) { v.setFrequency(frequency(random)); },
        [&](int) {
            std::vector<Hit> hits;
            while (nextHit < now + 32) {
                const int n = keyMode ? note(random) : setup.ownNote;
                hits.push_back({static_cast<int>(nextHit - now), velocity(random) * 0.008f, setup.pitch(n)});
                nextHit += interval(random);
            }
            now += 32;
            return hits;
        });
    EXPECT_LE(peak, bound) << setup.name << " key mode " << keyMode;
}

TEST(Runaway, RandomPlayingAndAutomationStayWithinFourSingleHits) {
    for (bool keyMode : {false, true}) {
        playRandomly(kKick, keyMode, 12);
        playRandomly(kSnare, keyMode, 34);
        playRandomly(kClaves, keyMode, 56);
        playRandomly(kBlipp, keyMode, 78);
    }
    playRandomly(kCrash, false, 92);
}

// Notes 0 and 127 and velocities 1 and 127 alternating at every frame, Key
// Mode switched on and off while the voice rings.
template <typename Voice>
void hammer(const Setup<Voice>& setup, float rate) {
    float loudest = loudestSingleHit(setup, false, rate, {0, 127});
    if (setup.hasKeyMode) loudest = std::max(loudest, loudestSingleHit(setup, true, rate, {0, 127}));
    const float bound = 4.0f * loudest;
    VoiceHarness<Voice> h(rate, 32);
    setup.apply(h.voice, 1.0f);
    const int pieces = static_cast<int>(rate * 0.5f / 32);
    const float peak = playPeak<Voice>(
        h, pieces, [&](int piece, Voice& v) {
            if (piece % 50 == 0) setKeyMode(v, piece % 100 != 0);
        },
        [&](int) {
            std::vector<Hit> hits;
            for (int i = 0; i < 32; ++i)
                hits.push_back({i, i % 2 ? kLoudestVelocity : 0.008f, setup.pitch(i % 2 ? 127 : 0)});
            return hits;
        });
    EXPECT_LE(peak, bound) << setup.name << " rate " << rate;
}

TEST(Runaway, NotesAtEveryFrameAtLowAndHighSampleRatesStayWithinFourSingleHits) {
    for (float rate : {8000.0f, 384000.0f}) {
        hammer(kKick, rate);
        hammer(kSnare, rate);
        hammer(kClaves, rate);
        hammer(kBlipp, rate);
        hammer(kCrash, rate);
    }
}

}  // namespace
