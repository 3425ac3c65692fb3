// Patterns that used to pump a ringing resonator up without limit (to
// infinity within seconds), played through the module: they settle at a
// level near one hit plus the overlap of the tails, well inside the ceiling
// of four single hits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/ParameterIndex.h"
#include "support/ModulePlayer.h"

namespace {

using testing_support::ModulePlayer;
using testing_support::peakBetween;
using testing_support::TimedNote;

constexpr float kRate = 44100.0f;

class Retrigger : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        module = host::PluginModule::load(TAMBORIK_MODULE_PATH, &error);
        ASSERT_TRUE(module) << error;
    }

    // Plays the notes of one round at every period for seconds; the peak of
    // one round alone, of the whole and of two windows half a second long,
    // one after the settling and one at the end.
    struct Result {
        float once, whole, earlier, last;
    };
    template <typename Setup>
    Result play(Setup setup, const std::vector<TimedNote>& round, std::int64_t period, float seconds) {
        const auto frames = static_cast<std::int64_t>(kRate * seconds);
        std::vector<TimedNote> notes;
        for (std::int64_t start = 0; start < frames; start += period)
            for (TimedNote note : round) {
                note.frame += start;
                notes.push_back(note);
            }
        ModulePlayer single(*module), repeated(*module);
        setup(single);
        setup(repeated);
        const std::vector<float> one = single.play(round, static_cast<std::int64_t>(kRate));
        const std::vector<float> out = repeated.play(notes, frames);
        const auto half = static_cast<size_t>(kRate / 2);
        return {peakBetween(one), peakBetween(out), peakBetween(out, out.size() - 3 * half, out.size() - 2 * half),
                peakBetween(out, out.size() - half)};
    }
    void expectSettled(const Result& r, float withinHits) {
        EXPECT_LE(r.whole, withinHits * r.once);
        EXPECT_LE(r.last, 1.02f * r.earlier);
    }

    std::unique_ptr<host::PluginModule> module;
};

// Kick 1 of the first program with the deepest, fastest sweep and the
// longest decay. Sixteenths at 180 BPM reached 1076 after one second.
TEST_F(Retrigger, ASweptKickRolledAtSixteenthsSettles) {
    auto setup = [](ModulePlayer& p) {
        p.selectProgram(0);
        p.set(plugin::param::kKick1Base + 2, 1.0f);  // Sweep
        p.set(plugin::param::kKick1Base + 3, 1.0f);  // Decay
        p.set(plugin::param::kKick1Base + 4, 0.0f);  // Sweep Decay
    };
    const Result sixteenths = play(setup, {{0, 0, 36, 127}}, 3675, 3.0f);
    expectSettled(sixteenths, 3.0f);
    const Result quarters = play(setup, {{0, 0, 36, 127}}, 11025, 4.0f);
    expectSettled(quarters, 2.5f);
}

// A chord on a melodic program, its notes 44 frames apart as a keyboard
// sends them: past 1000 after 2.5 seconds.
TEST_F(Retrigger, AChordRepeatedOnAKeyModeProgramSettles) {
    auto setup = [](ModulePlayer& p) { p.selectProgram(13); };
    expectSettled(play(setup, {{0, 0, 36, 100}, {44, 0, 60, 100}, {88, 0, 84, 100}}, 11025, 5.0f), 3.0f);
}

// Two notes far apart alternating every 200 frames on a Key Mode snare or
// claves: infinity within half a second.
TEST_F(Retrigger, KeyModePingsAlternatingBetweenFarNotesSettle) {
    for (int voice : {plugin::kSnare1, plugin::kClaves}) {
        const int decay = voice == plugin::kClaves ? plugin::param::kClavesBase + 2 : plugin::param::kSnare1Base + 2;
        const int keyMode = voice == plugin::kClaves ? plugin::param::kKeyMode[6] : plugin::param::kKeyMode[2];
        auto setup = [&](ModulePlayer& p) {
            p.selectProgram(0);
            p.set(keyMode, 1.0f);
            p.set(decay, 1.0f);
        };
        Result r = play(setup, {{0, 0, 24, 127}, {200, 0, 108, 127}}, 400, 2.0f);
        // Against the louder of the two notes alone.
        r.once = std::max(play(setup, {{0, 0, 24, 127}}, 44100, 1.0f).once,
                          play(setup, {{0, 0, 108, 127}}, 44100, 1.0f).once);
        expectSettled(r, 3.5f);
    }
}

}  // namespace
