// The built module loaded as a host loads it, answering through its entry
// point and dispatcher.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/PluginInstance.h"
#include "host/PluginModule.h"

// The Windows modules have no editor window yet.
#ifndef TAMBORIK_MODULE_HAS_EDITOR
#define TAMBORIK_MODULE_HAS_EDITOR 1
#endif

namespace {

using host::PluginInstance;
using host::PluginModule;

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        // TAMBORIK_MODULE names another copy to test, an installed one.
        const char* other = std::getenv("TAMBORIK_MODULE");
        module = PluginModule::load(other && *other ? other : TAMBORIK_MODULE_PATH, &error);
        ASSERT_TRUE(module) << error;
        instance = PluginInstance::create(*module);
        ASSERT_TRUE(instance);
    }
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f) {
        return instance->dispatch(opcode, index, value, ptr, opt);
    }
    std::string text(vst::VstInt32 opcode, vst::VstInt32 index = 0) {
        char buffer[256];
        std::memset(buffer, 'x', sizeof(buffer));
        dispatch(opcode, index, 0, buffer);
        return buffer;
    }
    std::unique_ptr<PluginModule> module;
    std::unique_ptr<PluginInstance> instance;
};

TEST_F(ModuleTest, ExportsBothEntryPoints) {
    EXPECT_NE(module->symbol("VSTPluginMain"), nullptr);
    EXPECT_NE(module->symbol("main"), nullptr);
}

TEST_F(ModuleTest, TheEditorReportsItsSizeAndNeedsAParentWindow) {
    if (!TAMBORIK_MODULE_HAS_EDITOR) GTEST_SKIP() << "no editor in this module";
    vst::ERect* rect = nullptr;
    ASSERT_EQ(dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 540);
    EXPECT_EQ(rect->right, 624);
    EXPECT_EQ(dispatch(vst::effEditGetRect), 0);
    EXPECT_EQ(dispatch(vst::effEditOpen), 0);
    dispatch(vst::effEditIdle);
    dispatch(vst::effEditClose);
    dispatch(vst::effEditClose);
}

TEST_F(ModuleTest, RefusesAHostThatAnswersNoVersion) {
    host::HostOptions options;
    options.hostVersion = 0;
    EXPECT_EQ(PluginInstance::create(*module, options), nullptr);
    EXPECT_EQ(module->entryPoint()(nullptr), nullptr);
}

TEST_F(ModuleTest, TheEffectRecordCarriesThePublishedValues) {
    const vst::AEffect* e = instance->effect();
    EXPECT_EQ(e->magic, vst::fourCharCode('V', 's', 't', 'P'));
    EXPECT_EQ(e->numPrograms, 16);
    EXPECT_EQ(e->numParams, 88);
    EXPECT_EQ(e->numInputs, 0);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, TAMBORIK_MODULE_HAS_EDITOR ? 0x111 : 0x110);  // an editor, replacing audio, an instrument
    EXPECT_EQ(e->flags & (vst::effFlagsHasVu | vst::effFlagsHasClip | vst::effFlagsCanMono |
                          vst::effFlagsProgramChunks),
              0);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->uniqueID, vst::fourCharCode('5', '0', '7', '4'));
    EXPECT_EQ(e->version, 1);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->process, nullptr);
}

TEST_F(ModuleTest, AnswersTheDispatcherTable) {
    EXPECT_EQ(text(vst::effGetEffectName), "Tamborik");
    EXPECT_EQ(text(vst::effGetVendorString), "Vokwerk");
    EXPECT_EQ(text(vst::effGetProductString), "Tamborik");
    EXPECT_EQ(dispatch(vst::effGetEffectName, 0, 0, std::vector<char>(64).data()), 1);
    EXPECT_EQ(dispatch(vst::effGetVendorVersion), 1);
    EXPECT_EQ(dispatch(vst::effGetVstVersion), 2300);
    EXPECT_EQ(dispatch(vst::effGetPlugCategory), 2);
    EXPECT_EQ(dispatch(vst::effIdentify), vst::fourCharCode('N', 'v', 'E', 'f'));
    EXPECT_EQ(dispatch(vst::effCanBeAutomated, 3), 1);
    EXPECT_EQ(dispatch(vst::effCanBeAutomated, 200), 1);
    EXPECT_EQ(dispatch(vst::effGetNumProgramCategories), 1);
    EXPECT_EQ(dispatch(vst::effConnectInput, 0, 1), 1);
    EXPECT_EQ(dispatch(vst::effConnectOutput, 0, 1), 1);
    EXPECT_EQ(dispatch(vst::effKeysRequired), 1);
    EXPECT_EQ(dispatch(vst::effGetCurrentMidiProgram), -1);
    EXPECT_EQ(dispatch(vst::effSetTotalSampleToProcess, 0, 777), 777);
    EXPECT_EQ(dispatch(vst::effIdle), 1);
    EXPECT_EQ(dispatch(vst::effGetTailSize), 0);
    EXPECT_EQ(dispatch(vst::effGetVu), 0);
    EXPECT_EQ(dispatch(vst::effString2Parameter, 0, 0, const_cast<char*>("0.5")), 0);
    EXPECT_EQ(dispatch(vst::effEditOpen), 0);
    EXPECT_EQ(dispatch(vst::effSetBypass, 0, 1), 0);
    EXPECT_EQ(dispatch(vst::effBeginSetProgram), 0);
    EXPECT_EQ(dispatch(vst::effShellGetNextPlugin), 0);
    EXPECT_EQ(dispatch(500), 0);
    EXPECT_EQ(dispatch(-1), 0);

    char canDoEvents[] = "receiveVstEvents", canDoMidi[] = "receiveVstMidiEvent",
         cannot[] = "sendVstMidiEvent", wrongCase[] = "ReceiveVstEvents";
    EXPECT_EQ(dispatch(vst::effCanDo, 0, 0, canDoEvents), 1);
    EXPECT_EQ(dispatch(vst::effCanDo, 0, 0, canDoMidi), 1);
    EXPECT_EQ(dispatch(vst::effCanDo, 0, 0, cannot), -1);
    EXPECT_EQ(dispatch(vst::effCanDo, 0, 0, wrongCase), -1);

    void* chunk = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(dispatch(vst::effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(chunk, reinterpret_cast<void*>(0x1234));

    void* arrangements[2] = {reinterpret_cast<void*>(1), reinterpret_cast<void*>(2)};
    EXPECT_EQ(dispatch(vst::effGetSpeakerArrangement, 0, reinterpret_cast<vst::VstIntPtr>(&arrangements[0]),
                       &arrangements[1]),
              0);
    EXPECT_EQ(arrangements[0], nullptr);
    EXPECT_EQ(arrangements[1], nullptr);
}

TEST_F(ModuleTest, OutputPinsFollowTheOutputMode) {
    vst::VstPinProperties pin{};
    EXPECT_EQ(dispatch(vst::effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Tamborik");
    EXPECT_EQ(pin.flags, vst::kVstPinIsActive | vst::kVstPinIsStereo);
    EXPECT_EQ(dispatch(vst::effGetOutputProperties, 1, 0, &pin), 1);
    std::memset(&pin, 0x55, sizeof(pin));
    EXPECT_EQ(dispatch(vst::effGetOutputProperties, 2, 0, &pin), 0);
    EXPECT_EQ(pin.flags, 0x55555555);  // nothing written
    EXPECT_EQ(dispatch(vst::effGetInputProperties, 0, 0, &pin), 0);
}

TEST_F(ModuleTest, ProgramCommandsKeepTheIndexInRange) {
    dispatch(vst::effSetProgram, 0, 5);
    EXPECT_EQ(dispatch(vst::effGetProgram), 5);
    dispatch(vst::effSetProgram, 0, 16);
    EXPECT_EQ(dispatch(vst::effGetProgram), 5);
    dispatch(vst::effSetProgram, 0, -1);
    EXPECT_EQ(dispatch(vst::effGetProgram), 0);

    char name[24];
    EXPECT_EQ(dispatch(vst::effGetProgramNameIndexed, 3, 0, name), 1);
    EXPECT_STREQ(name, "Indust");
    EXPECT_EQ(dispatch(vst::effGetProgramNameIndexed, 16, 0, name), 0);
    EXPECT_EQ(dispatch(vst::effCopyProgram, 16), 0);
    EXPECT_EQ(dispatch(vst::effCopyProgram, 0), 1);
}

TEST_F(ModuleTest, ResumeAsksForMidiAndIdleEveryTime) {
    instance->clearHostCalls();
    dispatch(vst::effMainsChanged, 0, 1);
    dispatch(vst::effMainsChanged, 0, 1);
    std::vector<vst::VstInt32> expected = {vst::audioMasterWantMidi, vst::audioMasterNeedIdle,
                                           vst::audioMasterWantMidi, vst::audioMasterNeedIdle};
    EXPECT_EQ(instance->hostCalls(), expected);
}

TEST_F(ModuleTest, SurvivesNullPointersWhereptrsAreExpected) {
    for (vst::VstInt32 opcode = 0; opcode <= 80; ++opcode) {
        if (opcode == vst::effClose) continue;
        dispatch(opcode, 0, 0, nullptr, 0.0f);
    }
    instance->start();
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    instance->processReplacing(outputs, 512);
    for (float s : left) EXPECT_TRUE(std::isfinite(s));
}

TEST_F(ModuleTest, RendersSilenceWithoutNotesAtAnyBlockSize) {
    instance->start();
    for (int frames : {0, 1, 64, 512, 5000}) {
        std::vector<float> left(static_cast<size_t>(frames) + 1, 9.0f), right(left);
        float* outputs[2] = {left.data(), right.data()};
        instance->processReplacing(outputs, frames);
        for (int i = 0; i < frames; ++i) ASSERT_EQ(left[i], 0.0f);
        EXPECT_EQ(left[static_cast<size_t>(frames)], 9.0f);  // nothing past the block
    }
}

}  // namespace

namespace {

TEST_F(ModuleTest, ShowsParametersAndPlaysNotesThroughTheDispatcher) {
    EXPECT_EQ(text(vst::effGetParamName, 17), "Snare 1 Noise Decay");
    EXPECT_EQ(text(vst::effGetParamLabel, 1), "Hz");
    EXPECT_EQ(text(vst::effGetParamDisplay, 87), "0.569");
    EXPECT_EQ(text(vst::effGetParamDisplay, 56), "36");  // note names start off: no settings yet
    EXPECT_EQ(text(vst::effGetParamName, 67), "");
    EXPECT_EQ(text(vst::effGetParamName, 300), "");
    EXPECT_FLOAT_EQ(instance->getParameter(55), 1.2f);
    instance->setParameter(6, 0.5001f);
    EXPECT_EQ(instance->getParameter(6), 1.0f);
    instance->setParameter(6, 0.0f);

    instance->start();
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    EXPECT_EQ(instance->sendMidi({PluginInstance::midiEvent(100, 0x90, 36, 127)}), 1);
    instance->processReplacing(outputs, 512);
    int first = -1;
    for (int i = 0; i < 512 && first < 0; ++i)
        if (std::abs(left[i]) > 1e-3f) first = i;
    EXPECT_EQ(first, 100);
}

TEST_F(ModuleTest, ProgramChangesFromMidiWaitForTheIdleCall) {
    instance->start();  // this host answers that it sends idle calls
    instance->clearHostCalls();
    instance->sendMidi({PluginInstance::midiEvent(0, 0xC0, 3, 0)});
    EXPECT_EQ(dispatch(vst::effGetProgram), 0);
    EXPECT_EQ(dispatch(vst::effIdle), 1);
    EXPECT_EQ(dispatch(vst::effGetProgram), 3);
    const auto& calls = instance->hostCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), vst::audioMasterUpdateDisplay), calls.end());
    char name[24];
    dispatch(vst::effGetProgramName, 0, 0, name);
    EXPECT_STREQ(name, "Indust");
}

}  // namespace
