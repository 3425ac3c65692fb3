// Instances driven from several threads at once, as hosts do: nothing a
// thread changes is lost, lands in the wrong program or binds the wrong
// parameter. Each runs for a fraction of a second.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "persist/ControllerMap.h"
#include "persist/ProgramImage.h"
#include "platform/MemoryRegistry.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/ParameterIndex.h"
#include "support/MidiEvent.h"
#include "support/QuietHost.h"

namespace {

using plugin::DrumSynthEffect;
using testing_support::quietHost;

// One block as a host gives it: an event list, then the audio.
class Block {
public:
    void add(int frame, int status, int data1, int data2) {
        midi_[count_] = testing_support::midiEvent(frame, status, data1, data2);
        list_.events[count_] = reinterpret_cast<vst::VstEvent*>(&midi_[count_]);
        list_.numEvents = ++count_;
    }
    void play(DrumSynthEffect& effect) {
        effect.processEvents(reinterpret_cast<vst::VstEvents*>(&list_));
        float* outputs[2] = {left_, right_};
        effect.processReplacing(nullptr, outputs, 64);
        count_ = 0;
        list_.numEvents = 0;
    }

private:
    struct {
        vst::VstInt32 numEvents = 0;
        vst::VstIntPtr reserved = 0;
        vst::VstEvent* events[4];
    } list_;
    vst::VstMidiEvent midi_[4];
    int count_ = 0;
    float left_[64], right_[64];
};

// Every binding in the map, as (controller, parameter), read under its lock.
std::vector<std::pair<int, int>> bindingsOf(const persist::ControllerMap& map) {
    const std::vector<std::uint8_t> stream = map.recordStream();
    std::vector<std::pair<int, int>> found;
    for (std::size_t i = 0; i < stream.size();) {
        const int controller = stream[i++];
        while (i < stream.size() && stream[i] != persist::ControllerMap::kEndOfRecord) found.push_back({controller, stream[i++]});
        ++i;
    }
    return found;
}

TEST(Threads, LearningOnTwoAudioThreadsBindsExactlyWhatWasSelected) {
    platform::MemoryRegistry registry;
    persist::ControllerMap& map = persist::ControllerMap::shared();
    DrumSynthEffect first(&quietHost, registry, ""), second(&quietHost, registry, "");
    map.clear();
    std::atomic<bool> stop{false};
    auto moveController = [&stop](DrumSynthEffect* effect, int controller) {
        Block block;
        for (int value = 0; !stop.load(); ++value) {
            block.add(value % 64, 0xB0, controller, value % 128);
            block.play(*effect);
        }
    };
    std::thread a(moveController, &first, 7), b(moveController, &second, 9);
    first.setParameter(plugin::param::kMidiLearnMode, 0.125f);  // on
    for (int round = 0; round < 120; ++round) {
        const int parameter = (round * 37) % plugin::kParameterCount;
        first.setParameter(plugin::param::kMidiLearnSelect, static_cast<float>(parameter));
        for (int wait = 0; map.pending() != -1 && wait < 200000; ++wait) std::this_thread::yield();
        ASSERT_EQ(map.pending(), -1) << "round " << round << ": no controller learned";
        int bound = 0;
        for (auto [controller, p] : bindingsOf(map)) {
            ASSERT_TRUE(controller == 7 || controller == 9);
            ASSERT_LT(p, plugin::kParameterCount);
            bound += p == parameter;
        }
        ASSERT_EQ(bound, 1) << "round " << round << ", parameter " << parameter;
        if (round % 20 == 19) {
            first.setParameter(plugin::param::kMidiLearnRelease, static_cast<float>(parameter));
            for (auto binding : bindingsOf(map)) ASSERT_NE(binding.second, parameter);
        }
        if (round % 50 == 49) {
            first.setParameter(plugin::param::kMidiLearnMode, 0.5f);  // Reset
            ASSERT_TRUE(bindingsOf(map).empty());
            first.setParameter(plugin::param::kMidiLearnMode, 0.125f);
        }
    }
    stop = true;
    a.join();
    b.join();
    map.setLearnMode(false);
    map.clear();
}

// The user switches programs or loads a bank while MIDI switches programs
// or moves a learned controller on the audio thread (a host without idle
// calls): no program but the current one ever changes, and the current one
// only in the learned parameter.
TEST(Threads, ProgramsKeepTheirValuesWhileSwitchedFromTwoThreads) {
    enum Audio { kProgramChanges, kLearnedController };
    enum User { kSelectPrograms, kLoadBanks };
    struct Case {
        Audio audio;
        User user;
    };
    constexpr int kLearned = 1;  // Kick 1 Frequency, on controller 7
    platform::MemoryRegistry registry;
    persist::ControllerMap& map = persist::ControllerMap::shared();
    for (const Case c : {Case{kProgramChanges, kSelectPrograms}, Case{kLearnedController, kLoadBanks},
                         Case{kProgramChanges, kLoadBanks}}) {
        DrumSynthEffect effect(&quietHost, registry, "");
        effect.resume();  // the host offers no idle calls
        std::vector<plugin::ProgramRecord> before;
        persist::BankImage bank(plugin::kUniqueId, plugin::kProgramCount, plugin::kParameterCount);
        for (int p = 0; p < plugin::kProgramCount; ++p) {
            before.push_back(effect.program(p));
            bank.program(p).setName(before[p].name);
            for (int i = 0; i < plugin::kParameterCount; ++i) bank.program(p).setParameter(i, before[p].values[i]);
        }
        map.clear();
        map.bind(7, kLearned);

        std::atomic<bool> stop{false};
        std::thread audio([&] {
            Block block;
            for (int n = 0; !stop.load(); ++n) {
                if (c.audio == kProgramChanges) block.add(n % 64, 0xC0, (n * 7) % plugin::kProgramCount, 0);
                else block.add(n % 64, 0xB0, 7, n % 128);
                block.play(effect);
            }
        });
        for (int n = 0; n < 60; ++n) {
            if (c.user == kSelectPrograms) effect.setProgram((n * 5) % plugin::kProgramCount);
            else effect.loadBank(bank);
        }
        stop = true;
        audio.join();

        for (int p = 0; p < plugin::kProgramCount; ++p) {
            EXPECT_STREQ(effect.program(p).name, before[p].name);
            for (int i = 0; i < plugin::kParameterCount; ++i) {
                if (c.audio == kLearnedController && p == effect.getProgram() && i == kLearned) continue;
                ASSERT_EQ(effect.program(p).values[i], before[p].values[i])
                    << "case " << c.audio << c.user << ", program " << p << ", parameter " << i;
            }
        }
    }
    map.clear();
}

}  // namespace
