// What the plug-in remembers: settings, the mixer file, MIDI learn and the
// program and bank files, with a settings file and a module folder of the
// test's own.
#include <gtest/gtest.h>

#include "persist/ControllerMap.h"
#include "persist/FxFormats.h"
#include "platform/FileRegistry.h"
#include "plugin/DrumSynthEffect.h"
#include "support/QuietHost.h"
#include "support/TempFolder.h"

namespace {

using plugin::DrumSynthEffect;
using testing_support::quietHost;

const char kKey[] = "Software\\Vok\\Tamborik";
int refreshes = 0;

vst::VstIntPtr countingHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    if (opcode == vst::audioMasterUpdateDisplay) ++refreshes;
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

class PersistenceTest : public testing_support::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        settingsFile = std::make_unique<platform::FileRegistry>(path("config/Vok/Tamborik.reg"));
    }
    std::unique_ptr<DrumSynthEffect> make() {
        return std::make_unique<DrumSynthEffect>(&countingHost, *settingsFile, path("Tamborik.so"));
    }
    std::unique_ptr<platform::FileRegistry> settingsFile;
};

TEST_F(PersistenceTest, AFirstRunUsesOneStereoPairAndStoresIt) {
    make().reset();
    const std::string text = readText(path("config/Vok/Tamborik.reg"));
    EXPECT_NE(text.find("\"outMode\"=dword:00000002"), std::string::npos) << text;
    EXPECT_NE(text.find("\"programpath\"=\"" + path("Tamborik.so") + "\""), std::string::npos) << text;
}

TEST_F(PersistenceTest, TheMixerFileDecidesBetweenOneAndManyOutputs) {
    writeText(path("Tamborik.ini"), "MultiOut=1\n");
    {
        auto effect = make();  // first run: the file asks for many outputs, stereo layout
        EXPECT_EQ(effect->outputMode(), plugin::kTenStereo);
        EXPECT_EQ(effect->getAeffect()->numOutputs, 20);
    }
    EXPECT_EQ(settingsFile->readDword(kKey, "outmode"), 1u);
    const std::string rewritten = readText(path("Tamborik.ini"));
    EXPECT_EQ(rewritten.find("\nMultiOut=1\n"), std::string::npos);
    EXPECT_NE(rewritten.find("CrashLevel=1"), std::string::npos);

    EXPECT_EQ(make()->outputMode(), plugin::kTenStereo);  // stored 1, no MultiOut line

    settingsFile->writeDword(kKey, "outMode", 0);
    writeText(path("Tamborik.ini"), "MultiOut=0\n");
    EXPECT_EQ(make()->outputMode(), plugin::kOneStereo);
    EXPECT_EQ(settingsFile->readDword(kKey, "outmode"), 2u);

    settingsFile->writeDword(kKey, "outMode", 0);
    writeText(path("Tamborik.ini"), "\n");
    EXPECT_EQ(make()->outputMode(), plugin::kTenMono);
}

TEST_F(PersistenceTest, OldProgramsTakeTheirMixFromTheFileInOneStereoPair) {
    writeText(path("Tamborik.ini"), "Kick1Level=0.5\nKick1Pan=0.25\n");
    auto effect = make();
    ASSERT_EQ(effect->outputMode(), plugin::kOneStereo);
    persist::BankImage bank(plugin::kUniqueId, 16, 88);
    bank.program(2).setParameter(55, 1.11f);
    bank.program(3).setParameter(55, 1.12f);
    bank.program(3).setParameter(69, 0.9f);
    effect->loadBank(bank);
    effect->setProgram(2);
    EXPECT_FLOAT_EQ(effect->getParameter(68), 0.25f);
    EXPECT_NEAR(effect->getParameter(69), 0.7387f, 1e-4f);
    effect->setProgram(3);
    EXPECT_FLOAT_EQ(effect->getParameter(69), 0.9f);  // new enough: untouched
}

TEST_F(PersistenceTest, SavedBanksAndProgramsLoadBack) {
    auto effect = make();
    effect->setProgram(4);
    effect->setParameter(1, 0.111f);
    effect->saveBankFile(path("mine.fxb"));
    EXPECT_EQ(effect->settings().programPath, path("mine.fxb"));
    effect->setParameter(1, 0.9f);
    char renamed[] = "Changed";
    effect->setProgramName(renamed);
    effect->setProgram(7);
    refreshes = 0;
    effect->loadBankFile(path("mine.fxb"));
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(effect->getProgram(), 7);  // the program current before
    EXPECT_STREQ(effect->program(4).name, "Layerdrums");
    EXPECT_FLOAT_EQ(effect->program(4).values[1], 0.111f);

    effect->saveProgramFile(path("one.fxp"));
    effect->setParameter(2, 0.77f);
    effect->loadProgramFile(path("one.fxp"));
    EXPECT_NE(effect->getParameter(2), 0.77f);

    // A program of another plug-in, or of 80 parameters.
    persist::ProgramImage foreign(('A' << 24) | ('B' << 16) | ('C' << 8) | 'D', 88, "Foreign");
    persist::saveProgramFile(foreign, path("foreign.fxp"));
    refreshes = 0;
    const std::string before = effect->settings().programPath;
    effect->loadProgramFile(path("foreign.fxp"));
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(effect->settings().programPath, before);
    persist::ProgramImage short80(('5' << 24) | ('0' << 16) | ('7' << 8) | '4', 80, "ABCDEFGHIJKLMNOPQRSTUVWXYZ12");
    for (int i = 0; i < 80; ++i) short80.setParameter(i, 0.5f);
    short80.setParameter(55, 1.2f);  // new enough to keep its (missing) mix values
    persist::saveProgramFile(short80, path("short.fxp"));
    effect->loadProgramFile(path("short.fxp"));
    EXPECT_EQ(effect->program(7).values[80], 0.0f);
    EXPECT_EQ(effect->program(7).values[87], 0.0f);
    EXPECT_STREQ(effect->program(7).name, "ABCDEFGHIJKLMNOPQRSTUVW");
    effect->loadProgramFile("");
    effect->saveProgramFile("");
    EXPECT_EQ(effect->settings().programPath, path("short.fxp"));
}

TEST_F(PersistenceTest, MidiLearnFilesExportAndImport) {
    auto effect = make();
    persist::ControllerMap& map = persist::ControllerMap::shared();
    map.clear();
    map.bind(1, 5);
    map.bind(1, 6);
    map.bind(74, 20);
    effect->exportMidiLearn(path("map.ccm"));
    const std::string file = readText(path("map.ccm"));
    EXPECT_EQ(file, std::string("MCCM5074\x01\x05\x06\xFF\x4A\x14\xFF", 15));
    EXPECT_EQ(effect->settings().midiLearnPath, path("map.ccm"));

    writeText(path("other.ccm"), std::string("MCCMABCD\x02\x03\xFF", 11));
    effect->importMidiLearn(path("other.ccm"));
    EXPECT_EQ(map.bindings(74), std::vector<int>{20});  // another plug-in's file changes nothing
    writeText(path("short.ccm"), "MCCM50");
    effect->importMidiLearn(path("short.ccm"));
    EXPECT_EQ(map.bindings(74), std::vector<int>{20});
    effect->importMidiLearn(path("map.ccm"));
    EXPECT_EQ(map.bindings(1), (std::vector<int>{5, 6}));
    writeText(path("empty.ccm"), "MCCM5074");
    effect->importMidiLearn(path("empty.ccm"));
    EXPECT_TRUE(map.bindings(1).empty());

    map.setLearnMode(true);
    effect->exportMidiLearn("");  // a cancelled dialog still ends learning
    EXPECT_FALSE(map.learning());
    EXPECT_EQ(effect->settings().midiLearnPath, path("empty.ccm"));  // and keeps the last folder
}

TEST_F(PersistenceTest, TheMapIsSavedAtEveryDestruction) {
    persist::ControllerMap& map = persist::ControllerMap::shared();
    {
        auto effect = make();
        map.clear();
        map.bind(7, 12);
    }
    EXPECT_EQ(settingsFile->readBinary(kKey, "MidiAutomation"), (std::vector<std::uint8_t>{7, 12, 255}));
}

TEST_F(PersistenceTest, TheSettingsDialogAppliesCurveAndNoteNamesAtOnce) {
    auto effect = make();
    settingsFile->writeDword(kKey, "velocurve", 2);
    settingsFile->writeDword(kKey, "notename", 1);
    settingsFile->writeDword(kKey, "outMode", 0);
    effect->settingsDialogClosed();
    EXPECT_EQ(effect->settings().velocityCurve, 2);
    EXPECT_TRUE(effect->noteNames());
    EXPECT_EQ(effect->outputMode(), plugin::kOneStereo);  // the layout waits for the next instance
    char text[32];
    effect->getParameterDisplay(56, text);
    EXPECT_STREQ(text, "C1");
}

}  // namespace
