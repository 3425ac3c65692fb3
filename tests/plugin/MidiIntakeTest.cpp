// Note dispatch, velocity curves, controllers and program changes, checked on
// the trigger buffers before the block renders.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "persist/ControllerMap.h"
#include "platform/MemoryRegistry.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/ParameterIndex.h"
#include "support/MidiEvent.h"
#include "vst/VstAbi.h"

namespace {

using plugin::DrumSynthEffect;

int idleAnswer = 0;
std::vector<vst::VstInt32> hostCalls;

vst::VstIntPtr recordingHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    hostCalls.push_back(opcode);
    if (opcode == vst::audioMasterVersion) return 2400;
    if (opcode == vst::audioMasterNeedIdle) return idleAnswer;
    return 0;
}

vst::VstMidiEvent midi(int frame, int status, int data1, int data2) {
    return testing_support::midiEvent(frame, status, data1, data2);
}

class MidiIntakeTest : public ::testing::Test {
protected:
    void SetUp() override {
        idleAnswer = 0;
        hostCalls.clear();
        effect = std::make_unique<DrumSynthEffect>(&recordingHost, registry, "");
        effect->setBlockSize(256);
        effect->setProgram(6);  // "Default": every voice on channel 1, default notes, no Key Mode
    }
    void send(std::vector<vst::VstMidiEvent> events) {
        std::vector<vst::VstEvent*> pointers;
        for (auto& e : events) pointers.push_back(reinterpret_cast<vst::VstEvent*>(&e));
        std::vector<std::uint8_t> storage(sizeof(vst::VstEvents) + pointers.size() * sizeof(void*));
        auto* list = reinterpret_cast<vst::VstEvents*>(storage.data());
        list->numEvents = static_cast<vst::VstInt32>(pointers.size());
        std::memcpy(list->events, pointers.data(), pointers.size() * sizeof(void*));
        EXPECT_EQ(effect->processEvents(list), 1);
    }
    float velocity(int voice, int frame) { return effect->engine().pendingVelocity(voice, frame); }
    float pitch(int voice, int frame) { return effect->engine().pendingPitch(voice, frame); }

    platform::MemoryRegistry registry;
    std::unique_ptr<DrumSynthEffect> effect;
};

TEST_F(MidiIntakeTest, NotesStartTheirVoicesAtTheirFrames) {
    send({midi(10, 0x90, 36, 127), midi(20, 0x90, 42, 100), midi(30, 0x90, 46, 100), midi(40, 0x90, 49, 100),
          midi(50, 0x90, 38, 0), midi(60, 0x80, 39, 100)});
    EXPECT_FLOAT_EQ(velocity(plugin::kKick1, 10), 1.016f);
    EXPECT_FLOAT_EQ(pitch(plugin::kKick1, 10), 32.7f);
    EXPECT_FLOAT_EQ(velocity(plugin::kHihat, 20), 0.8f);
    EXPECT_EQ(pitch(plugin::kHihat, 20), 1.0f);  // closed
    EXPECT_FLOAT_EQ(velocity(plugin::kHihat, 30), 0.8f * 0.75f);
    EXPECT_EQ(pitch(plugin::kHihat, 30), 0.0f);  // open
    EXPECT_FLOAT_EQ(velocity(plugin::kCrash, 40), 0.6f);
    EXPECT_EQ(velocity(plugin::kSnare1, 50), 0.0f);  // velocity 0 is a note-off
    EXPECT_EQ(velocity(plugin::kClap, 60), 0.0f);    // note-offs do nothing
    EXPECT_TRUE(effect->engine().voice(plugin::kKick1).isActive());
    EXPECT_FALSE(effect->engine().voice(plugin::kSnare1).isActive());

    // Blipp 2 gets half the velocity Blipp 1 would get.
    send({midi(0, 0x90, 37, 100), midi(1, 0x90, 43, 100)});
    EXPECT_FLOAT_EQ(velocity(plugin::kBlipp1, 0), 0.8f);
    EXPECT_FLOAT_EQ(velocity(plugin::kBlipp2, 1), 0.4f);
}

TEST_F(MidiIntakeTest, ChannelsKeyModeAndTheLastEventAtAFrame) {
    send({midi(5, 0x91, 36, 100)});  // channel 2: no voice listens there
    EXPECT_EQ(velocity(plugin::kKick1, 5), 0.0f);

    effect->setParameter(6, 1.0f);  // Kick 1 follows the keys
    send({midi(7, 0x90, 48, 100)});
    EXPECT_FLOAT_EQ(velocity(plugin::kKick1, 7), 0.8f);
    EXPECT_NEAR(pitch(plugin::kKick1, 7), 65.4f, 0.01f);

    send({midi(9, 0x90, 38, 50), midi(9, 0x90, 38, 100)});
    EXPECT_FLOAT_EQ(velocity(plugin::kSnare1, 9), 0.8f);  // the second wins

    // Events outside the block land on its ends.
    send({midi(-40, 0x90, 39, 100), midi(100000, 0x90, 51, 100)});
    EXPECT_FLOAT_EQ(velocity(plugin::kClap, 0), 0.8f);
    EXPECT_FLOAT_EQ(velocity(plugin::kClaves, 255), 0.8f);

    // Note and controller numbers above 127 are masked to seven bits.
    send({midi(11, 0x90, 36 + 128, 100 + 128)});
    EXPECT_FLOAT_EQ(velocity(plugin::kKick1, 11), 0.8f);
}

// A note placed beyond the block the host then renders plays at the block's
// last frame, never later; a block of no frames ends where the next begins.
TEST_F(MidiIntakeTest, LateEventsPlayAtTheLastFrameOfTheirBlock) {
    struct Case {
        int deltaFrames, frames, heardAt;
    };
    for (const Case c : {Case{300, 256, 255}, Case{200, 100, 99}, Case{100000, 64, 63}, Case{50, 0, 0}}) {
        DrumSynthEffect late(&recordingHost, registry, ""), reference(&recordingHost, registry, "");
        for (DrumSynthEffect* e : {&late, &reference}) {
            e->setBlockSize(256);
            e->setProgram(6);
        }
        auto sendTo = [](DrumSynthEffect& e, int frame) {
            vst::VstMidiEvent note = midi(frame, 0x90, 36, 127);
            struct {
                vst::VstInt32 numEvents = 1;
                vst::VstIntPtr reserved = 0;
                vst::VstEvent* events[2];
            } list{1, 0, {reinterpret_cast<vst::VstEvent*>(&note), nullptr}};
            e.processEvents(reinterpret_cast<vst::VstEvents*>(&list));
        };
        sendTo(late, c.deltaFrames);
        sendTo(reference, c.heardAt);
        std::vector<float> a(512), b(512), right(512);
        for (int block = 0; block < 4; ++block) {
            const int frames = block == 0 ? c.frames : 256;
            float* lateOut[2] = {a.data(), right.data()};
            float* referenceOut[2] = {b.data(), right.data()};
            late.processReplacing(nullptr, lateOut, frames);
            reference.processReplacing(nullptr, referenceOut, frames);
            ASSERT_EQ(a, b) << c.deltaFrames << " in " << c.frames << ", block " << block;
        }
        for (int frame = 0; frame < 256; ++frame) ASSERT_EQ(late.engine().pendingVelocity(plugin::kKick1, frame), 0.0f);
    }
}

TEST_F(MidiIntakeTest, VelocityCurves) {
    effect->setVelocityCurve(2);
    send({midi(0, 0x90, 36, 127), midi(1, 0x90, 36, 64)});
    EXPECT_EQ(velocity(plugin::kKick1, 0), 1.0f);
    EXPECT_NEAR(velocity(plugin::kKick1, 1), (std::exp(64 / 127.0) - 1) / (std::exp(1.0) - 1), 1e-6);
    effect->setVelocityCurve(1);
    send({midi(2, 0x90, 36, 127), midi(3, 0x90, 36, 64)});
    EXPECT_EQ(velocity(plugin::kKick1, 2), 1.0f);
    EXPECT_NEAR(velocity(plugin::kKick1, 3), std::log2(1 + 64 / 127.0), 1e-6);
    effect->setVelocityCurve(0);
    send({midi(4, 0x90, 36, 64)});
    EXPECT_FLOAT_EQ(velocity(plugin::kKick1, 4), 0.512f);
}

TEST_F(MidiIntakeTest, ControllersApplyOncePerBlockThroughMidiLearn) {
    persist::ControllerMap& map = persist::ControllerMap::shared();
    map.clear();
    effect->setParameter(plugin::param::kMidiLearnMode, 0.125f);
    EXPECT_EQ(effect->getParameter(plugin::param::kMidiLearnMode), 1.0f);
    effect->setParameter(plugin::param::kMidiLearnSelect, 12.0f);
    hostCalls.clear();
    send({midi(0, 0xB0, 7, 64)});
    EXPECT_EQ(map.bindings(7), std::vector<int>{12});
    EXPECT_NEAR(effect->getParameter(12), 64 * 0.007874015748, 1e-6);
    EXPECT_EQ(std::count(hostCalls.begin(), hostCalls.end(), vst::audioMasterAutomate), 1);

    hostCalls.clear();
    send({midi(0, 0xB0, 7, 10), midi(1, 0xB0, 7, 20), midi(2, 0xB0, 7, 127), midi(3, 0xB0, 121, 0)});
    EXPECT_EQ(effect->getParameter(12), 1.0f);
    EXPECT_EQ(std::count(hostCalls.begin(), hostCalls.end(), vst::audioMasterAutomate), 1);

    effect->setParameter(plugin::param::kMidiLearnMode, 0.25f);  // Export: the editor's own business
    EXPECT_EQ(effect->getParameter(plugin::param::kMidiLearnMode), 0.0f);
    effect->setParameter(plugin::param::kMidiLearnMode, 0.5f);  // Reset
    EXPECT_TRUE(map.bindings(7).empty());
    EXPECT_FALSE(map.learning());
}

TEST_F(MidiIntakeTest, ProgramChangesWaitForIdleWhenTheHostOffersIt) {
    send({midi(0, 0xC0, 3, 0)});
    EXPECT_EQ(effect->getProgram(), 3);
    EXPECT_NE(std::find(hostCalls.begin(), hostCalls.end(), vst::audioMasterUpdateDisplay), hostCalls.end());
    send({midi(0, 0xC5, 100, 0)});
    EXPECT_EQ(effect->getProgram(), 15);

    idleAnswer = 1;
    effect->resume();
    send({midi(0, 0xC0, 4, 0), midi(1, 0xC0, 5, 0)});
    EXPECT_EQ(effect->getProgram(), 15);
    EXPECT_EQ(effect->fxIdle(), 1);
    EXPECT_EQ(effect->getProgram(), 5);
    effect->setProgram(2);
    effect->fxIdle();
    EXPECT_EQ(effect->getProgram(), 2);  // nothing left waiting
}

TEST_F(MidiIntakeTest, OtherEventsAndEmptyListsAreSkipped) {
    vst::VstEvent sysex{};
    sysex.type = vst::kVstSysExType;
    std::vector<std::uint8_t> storage(sizeof(vst::VstEvents) + 2 * sizeof(void*));
    auto* list = reinterpret_cast<vst::VstEvents*>(storage.data());
    list->numEvents = 2;
    list->events[0] = &sysex;
    list->events[1] = nullptr;
    EXPECT_EQ(effect->processEvents(list), 1);
    EXPECT_EQ(effect->processEvents(nullptr), 1);
}

}  // namespace
