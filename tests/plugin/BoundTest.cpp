// Whatever is played, each voice gives the written recursions' samples, bit
// for bit, until its written output passes twice its loudest single hit,
// and never passes four times that hit or gives a sample that is not
// finite. Played twice through the plug-in, once with the bound and once
// with the written recursions, each voice on its own output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "dsp/RingBound.h"
#include "platform/MemoryRegistry.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/ParameterIndex.h"
#include "plugin/ParameterTable.h"
#include "support/QuietHost.h"
#include "support/VoicePitch.h"

namespace {

using plugin::DrumSynthEffect;
using plugin::kVoiceCount;
using testing_support::pitchFor;
using testing_support::quietHost;

constexpr float kLoudestVelocity = 1.016f;  // MIDI velocity 127

struct Strike {
    int voice, note;
    float velocity = kLoudestVelocity;
};

struct Scenario {
    std::string name;
    float rate = 44100.0f;
    int block = 256;
    int frames = 44100;
    std::function<void(DrumSynthEffect&)> setup;
    // Parameter changes before block b (which starts at frame `start`), and
    // its strikes, by frame within the block.
    std::function<void(DrumSynthEffect&, int b)> automate = [](DrumSynthEffect&, int) {};
    std::function<void(int b, int start, int frames, std::vector<std::pair<int, Strike>>&)> strikes;
    // The settings the automation moves between: the loudest single hit is
    // the loudest at any of them.
    std::vector<std::function<void(DrumSynthEffect&)>> settings = {[](DrumSynthEffect&) {}};
    // Bad input need only stay finite and bounded.
    bool exact = true;
};

using Outputs = std::vector<std::vector<float>>;  // one per voice

class Player {
public:
    explicit Player(const Scenario& s) : scenario_(s), effect_(&quietHost, registry_, "") {
        effect_.setBlockSizeAndSampleRate(s.block, s.rate);
        s.setup(effect_);
    }
    DrumSynthEffect& effect() { return effect_; }

    Outputs play(const std::function<void(int b, int start, int n, std::vector<std::pair<int, Strike>>&)>& strikes,
                 const std::function<void(DrumSynthEffect&, int)>& automate, int frames) {
        Outputs out(kVoiceCount, std::vector<float>(static_cast<size_t>(frames)));
        std::vector<std::pair<int, Strike>> due;
        for (int start = 0, b = 0; start < frames; start += scenario_.block, ++b) {
            const int n = std::min(scenario_.block, frames - start);
            automate(effect_, b);
            vst::VstEvents none{};
            effect_.processEvents(&none);
            due.clear();
            strikes(b, start, n, due);
            for (const auto& [frame, strike] : due)
                effect_.engine().startVoice(strike.voice, frame, strike.velocity,
                                            pitchFor(effect_.engine(), strike.voice, strike.note));
            // Each voice onto an output of its own.
            float* outputs[kVoiceCount];
            for (int v = 0; v < kVoiceCount; ++v) outputs[v] = out[static_cast<size_t>(v)].data() + start;
            effect_.engine().render(outputs, plugin::kTenMono, n);
        }
        return out;
    }

private:
    const Scenario& scenario_;
    platform::MemoryRegistry registry_;
    DrumSynthEffect effect_;
};

Outputs render(const Scenario& s, bool bounded) {
    dsp::RingBound::setActing(bounded);
    Player player(s);
    Outputs out = player.play(s.strikes, s.automate, s.frames);
    dsp::RingBound::setActing(true);
    return out;
}

// A voice's loudest single hit: one note at velocity 127 on a fresh
// instance with the same settings, over the notes played so far and the
// settings the automation visits. A note's hit is struck at the frame
// within its block it was played at (a Key Mode kick glides by the depth of
// the base in force when its block began until the block ends). The
// hihat's and the crash's oscillators run on whether they sound or not, so
// how loud their hit is depends on when it comes: it is struck at a few
// moments.
using Played = std::pair<int, int>;  // note, frame within its block

std::vector<std::map<Played, float>> singleHits(const Scenario& s) {
    std::vector<std::map<Played, float>> hits(kVoiceCount);
    std::vector<std::pair<int, Strike>> due;
    for (int start = 0, b = 0; start < s.frames; start += s.block, ++b) {
        due.clear();
        s.strikes(b, start, std::min(s.block, s.frames - start), due);
        for (const auto& hit : due) hits[static_cast<size_t>(hit.second.voice)][{hit.second.note, hit.first}] = 0.0f;
    }
    size_t rounds = 0;
    for (const auto& h : hits) rounds = std::max(rounds, h.size());
    const int frames = static_cast<int>(s.rate * 0.6f);
    const bool metal = !hits[plugin::kHihat].empty() || !hits[plugin::kCrash].empty();
    for (const auto& setting : s.settings)
        for (size_t round = 0; round < rounds; ++round)
            for (float onset : {0.0f, 0.05f, 0.11f, 0.17f}) {
                if (onset > 0.0f && !metal) break;
                Scenario fresh = s;
                fresh.setup = [&](DrumSynthEffect& e) {
                    s.setup(e);
                    setting(e);
                };
                Player player(fresh);
                const int onsetBlock = static_cast<int>(onset * s.rate) / s.block * s.block;
                std::vector<Played> struck(kVoiceCount, {-1, 0});
                const Outputs out = player.play(
                    [&](int, int start, int n, std::vector<std::pair<int, Strike>>& due) {
                        if (onsetBlock < start || onsetBlock >= start + n) return;
                        for (int v = 0; v < kVoiceCount; ++v) {
                            const auto& played = hits[static_cast<size_t>(v)];
                            if (played.empty()) continue;
                            if (onset > 0.0f && v != plugin::kHihat && v != plugin::kCrash) continue;
                            auto it = played.begin();
                            std::advance(it, round % played.size());
                            struck[static_cast<size_t>(v)] = it->first;
                            due.push_back({std::min(it->first.second, n - 1), {v, it->first.first}});
                        }
                    },
                    [](DrumSynthEffect&, int) {}, onsetBlock + frames);
                for (int v = 0; v < kVoiceCount; ++v) {
                    if (struck[static_cast<size_t>(v)].first < 0) continue;
                    float& peak = hits[static_cast<size_t>(v)][struck[static_cast<size_t>(v)]];
                    for (float x : out[static_cast<size_t>(v)]) peak = std::max(peak, std::abs(x));
                }
            }
    return hits;
}

void check(const Scenario& s) {
    const Outputs bounded = render(s, true), written = render(s, false);
    const auto single = singleHits(s);
    // The loudest single hit so far, frame by frame, for each voice.
    std::vector<float> hit(kVoiceCount, 0.0f);
    std::vector<bool> sane(kVoiceCount, true);
    std::vector<float> peak(kVoiceCount, 0.0f), ratio(kVoiceCount, 0.0f);
    std::vector<std::pair<int, Strike>> due;
    for (int start = 0, b = 0; start < s.frames; start += s.block, ++b) {
        const int n = std::min(s.block, s.frames - start);
        due.clear();
        s.strikes(b, start, n, due);
        for (int i = 0; i < n; ++i) {
            for (const auto& [frame, strike] : due)
                if (frame == i) {
                    const auto v = static_cast<size_t>(strike.voice);
                    hit[v] = std::max(hit[v], single[v].at({strike.note, frame}));
                }
            const auto at = static_cast<size_t>(start + i);
            for (size_t v = 0; v < static_cast<size_t>(kVoiceCount); ++v) {
                const float x = bounded[v][at], w = written[v][at];
                ASSERT_TRUE(std::isfinite(x)) << s.name << " voice " << v << " frame " << at;
                if (hit[v] > 0.0f) ratio[v] = std::max(ratio[v], std::abs(x) / hit[v]);
                peak[v] = std::max(peak[v], std::abs(x));
                sane[v] = sane[v] && s.exact && std::abs(w) <= 2.0f * hit[v];
                if (sane[v]) {
                    ASSERT_EQ(x, w) << s.name << " voice " << v << " frame " << at << " hit " << hit[v];
                }
            }
        }
    }
    for (int v = 0; v < kVoiceCount; ++v)
        EXPECT_LE(ratio[static_cast<size_t>(v)], 4.0f)
            << s.name << " voice " << v << " peak " << peak[static_cast<size_t>(v)] << " hit " << hit[static_cast<size_t>(v)];
}

// Pieces of scenarios.
void program(DrumSynthEffect& e, int p) {
    e.setProgram(p);
    for (int v = 0; v < kVoiceCount; ++v) e.setParameter(plugin::param::volumeOf(v), 40.0f / 46.0f);
}
// Every sound parameter of every voice at x.
void tones(DrumSynthEffect& e, float x) {
    for (int i = 0; i < plugin::kParameterCount; ++i)
        if (plugin::kParameters[i].role == plugin::Role::kTone) e.setParameter(i, x);
}
int keyModeIndex(int voice) {
    for (int i = 0; i < plugin::kParameterCount; ++i)
        if (plugin::param::isKeyMode(i) && plugin::kParameters[i].voice == voice) return i;
    return -1;
}
void keyMode(DrumSynthEffect& e, bool on) {
    for (int v = 0; v < kVoiceCount; ++v)
        if (keyModeIndex(v) >= 0) e.setParameter(keyModeIndex(v), on ? 1.0f : 0.0f);
}
// A strike pattern: every `every` frames from `offset`, notes in turn.
auto every(int frames, std::vector<int> voices, std::vector<int> noteList, int offset = 0) {
    return [=](int, int start, int n, std::vector<std::pair<int, Strike>>& due) {
        for (int i = 0; i < n; ++i) {
            const int at = start + i - offset;
            if (at < 0 || at % frames != 0) continue;
            const int k = at / frames;
            for (int v : voices) due.push_back({i, {v, noteList[static_cast<size_t>(k) % noteList.size()]}});
        }
    };
}
const std::vector<int> kAll = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
const std::vector<int> kKeyed = {0, 1, 2, 3, 4, 5, 7};

std::vector<Scenario> scenarios() {
    std::vector<Scenario> all;
    // A sixteen-step groove on every factory program at 120 BPM: each voice
    // on its own steps; the melodic ones walk a line.
    for (int p = 0; p < plugin::kProgramCount; ++p) {
        Scenario s;
        s.name = "groove on program " + std::to_string(p);
        s.frames = 88200;
        s.setup = [p](DrumSynthEffect& e) { program(e, p); };
        s.strikes = [](int, int start, int n, std::vector<std::pair<int, Strike>>& due) {
            constexpr int kStep = 5512;  // sixteenths at 120 BPM
            static const int line[8] = {36, 43, 48, 36, 41, 38, 48, 31};
            static const unsigned steps[kVoiceCount] = {0x1111, 0x0101, 0x1010, 0x4444, 0xAAAA,
                                                        0x2222, 0x0808, 0x9249, 0xFFFF, 0x0001};
            for (int i = 0; i < n; ++i) {
                if ((start + i) % kStep != 0) continue;
                const int step = (start + i) / kStep;
                for (int v = 0; v < kVoiceCount; ++v)
                    if (steps[v] >> (step % 16) & 1u) due.push_back({i, {v, line[step % 8] + (v == 7 ? 24 : 0), 0.5f + 0.5f * ((step * 7 + v) % 3) / 2.0f}});
            }
        };
        all.push_back(s);
    }
    // Key Mode melodies leaping several octaves both ways, a quarter second
    // apart, then two notes in one block; and the same as a fast bassline.
    for (int gap : {11025, 2756}) {
        Scenario s;
        s.name = "Key Mode leaps every " + std::to_string(gap) + " frames";
        s.setup = [](DrumSynthEffect& e) {
            program(e, 0);
            tones(e, 0.5f);
            keyMode(e, true);
        };
        s.strikes = [gap](int, int start, int n, std::vector<std::pair<int, Strike>>& due) {
            static const int line[] = {24, 96, 36, 108, 30, 84, 127, 0, 60, 12, 100, 48};
            for (int i = 0; i < n; ++i) {
                const int at = start + i;
                if (at % gap == 0)
                    for (int v : kKeyed) due.push_back({i, {v, line[(at / gap) % 12]}});
                if (at % gap == 40)
                    for (int v : kKeyed) due.push_back({i, {v, line[(at / gap + 5) % 12]}});
            }
        };
        all.push_back(s);
    }
    // Rolls at ordinary tempos: sixteenths at 140 BPM and thirty-seconds at
    // 100, every voice, on a long, deep program.
    for (int gap : {4725, 3307}) {
        Scenario s;
        s.name = "roll every " + std::to_string(gap) + " frames";
        s.setup = [](DrumSynthEffect& e) {
            program(e, 0);
            tones(e, 1.0f);
        };
        s.strikes = every(gap, kAll, {36});
        all.push_back(s);
    }
    // Every tone parameter of every voice flipped between 0 and 1 at every
    // block of 1 and of 16 frames while its voice rings.
    for (int block : {1, 16}) {
        for (int i = 0; i < plugin::kParameterCount; ++i) {
            if (plugin::kParameters[i].role != plugin::Role::kTone) continue;
            const int voice = plugin::kParameters[i].voice;
            Scenario s;
            s.name = "flipping parameter " + std::to_string(i) + " " + plugin::kParameters[i].name + " every " + std::to_string(block);
            s.block = block;
            s.frames = 8192;
            s.setup = [](DrumSynthEffect& e) { program(e, 0); };
            s.automate = [i](DrumSynthEffect& e, int b) { e.setParameter(i, static_cast<float>(b & 1)); };
            s.strikes = every(4096, {voice}, {voice == plugin::kHihat ? 47 : 36});
            s.settings = {[i](DrumSynthEffect& e) { e.setParameter(i, 0.0f); },
                          [i](DrumSynthEffect& e) { e.setParameter(i, 1.0f); }};
            s.exact = block > 1;  // flipped at every frame: bad input
            all.push_back(s);
        }
    }
    // Bad input: notes 0 and 127 alternating every frame, velocities 1 and
    // 127 alternating, at 8 kHz and 768 kHz; Key Mode toggled every block.
    for (float rate : {8000.0f, 768000.0f}) {
        Scenario s;
        s.name = "notes 0 and 127 every frame at " + std::to_string(static_cast<int>(rate));
        s.rate = rate;
        s.block = 1;
        s.frames = 8000;
        s.exact = false;
        s.setup = [](DrumSynthEffect& e) {
            program(e, 0);
            keyMode(e, true);
        };
        s.strikes = [](int, int start, int n, std::vector<std::pair<int, Strike>>& due) {
            for (int i = 0; i < n; ++i)
                for (int v : kAll) due.push_back({i, {v, (start + i) % 2 ? 127 : 0, (start + i) % 4 < 2 ? 0.008f : kLoudestVelocity}});
        };
        all.push_back(s);
    }
    // Deep, long settings hammered at every frame, Key Mode switched every
    // 50 blocks, at a low and a high rate.
    for (float rate : {8000.0f, 384000.0f}) {
        Scenario s;
        s.name = "deep settings hammered at " + std::to_string(static_cast<int>(rate));
        s.rate = rate;
        s.block = 32;
        s.frames = static_cast<int>(rate * 0.05f);
        s.exact = false;
        s.setup = [](DrumSynthEffect& e) {
            program(e, 0);
            tones(e, 1.0f);
        };
        s.automate = [](DrumSynthEffect& e, int b) {
            if (b % 50 == 0) keyMode(e, b % 100 != 0);
        };
        s.strikes = [](int, int, int n, std::vector<std::pair<int, Strike>>& due) {
            for (int i = 0; i < n; ++i)
                for (int v : kKeyed) due.push_back({i, {v, i % 2 ? 127 : 0, i % 2 ? kLoudestVelocity : 0.008f}});
        };
        s.settings = {[](DrumSynthEffect& e) { keyMode(e, false); }, [](DrumSynthEffect& e) { keyMode(e, true); }};
        all.push_back(s);
    }
    // A chord on the Key Mode voices, its notes 44 frames apart as a
    // keyboard sends them, repeated every eighth at 120 BPM.
    {
        Scenario s;
        s.name = "Key Mode chord repeated";
        s.frames = 66150;
        s.setup = [](DrumSynthEffect& e) {
            program(e, 0);
            keyMode(e, true);
        };
        s.strikes = [](int, int start, int n, std::vector<std::pair<int, Strike>>& due) {
            for (int i = 0; i < n; ++i) {
                const int at = (start + i) % 11025;
                for (int k = 0; k < 3; ++k)
                    if (at == 44 * k)
                        for (int v : kKeyed) due.push_back({i, {v, 48 + 4 * k}});
            }
        };
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "Key Mode toggled every block";
        s.block = 64;
        s.frames = 16384;
        s.setup = [](DrumSynthEffect& e) { program(e, 0); };
        s.automate = [](DrumSynthEffect& e, int b) { keyMode(e, b & 1); };
        s.strikes = every(1000, kAll, {24, 96, 36});
        s.settings = {[](DrumSynthEffect& e) { keyMode(e, false); }, [](DrumSynthEffect& e) { keyMode(e, true); }};
        all.push_back(s);
    }
    return all;
}

void PrintTo(const Scenario& s, std::ostream* out) {
    *out << s.name;
}

class Bound : public ::testing::TestWithParam<Scenario> {};

TEST_P(Bound, ExactWhereSaneBoundedEverywhere) {
    check(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Playing, Bound, ::testing::ValuesIn(scenarios()), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

}  // namespace
