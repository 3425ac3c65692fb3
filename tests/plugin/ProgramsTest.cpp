// Parameters and programs on the effect object: the setParameter funnel,
// program selection with its upgrades, names, copies and the clipboard.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "persist/ProgramImage.h"
#include "platform/MemoryRegistry.h"
#include "support/QuietHost.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/ParameterIndex.h"

namespace {

using plugin::DrumSynthEffect;

using testing_support::quietHost;

class ProgramsTest : public ::testing::Test {
protected:
    std::unique_ptr<DrumSynthEffect> make() { return std::make_unique<DrumSynthEffect>(&quietHost, registry, ""); }
    std::string display(DrumSynthEffect& e, int index) {
        char text[64];
        e.getParameterDisplay(index, text);
        return text;
    }
    platform::MemoryRegistry registry;
};

TEST_F(ProgramsTest, StartsOnTheFactoryProgramTamborik) {
    auto effect = make();
    EXPECT_EQ(effect->getProgram(), 0);
    char name[24];
    effect->getProgramName(name);
    EXPECT_STREQ(name, "Tamborik");
    EXPECT_FLOAT_EQ(effect->getParameter(55), 1.2f);
    EXPECT_NEAR(effect->getParameter(1), 0.3458f, 1e-6f);
    EXPECT_NEAR(effect->getParameter(69), 0.975f, 1e-6f);
    EXPECT_EQ(effect->noteNumber(0), 36);
    EXPECT_EQ(effect->noteNumber(10), 49);
    // Loading the bank applied every program, which rewrites its version.
    for (int p = 0; p < 16; ++p) EXPECT_FLOAT_EQ(effect->program(p).values[55], 1.2f);
}

TEST_F(ProgramsTest, SetParameterStoresSnapsAndClamps) {
    auto effect = make();
    effect->setParameter(6, 0.5f);
    EXPECT_EQ(effect->getParameter(6), 0.0f);
    EXPECT_EQ(display(*effect, 6), "Drum");
    effect->setParameter(6, 0.5001f);
    EXPECT_EQ(effect->getParameter(6), 1.0f);
    EXPECT_EQ(effect->program(0).values[6], 1.0f);
    EXPECT_EQ(display(*effect, 6), "Key");

    effect->setParameter(0, 1.0f / 15.0f);
    EXPECT_EQ(effect->voiceChannel(0), 1);
    EXPECT_EQ(display(*effect, 0), "2");
    // The voice answers the channel shown, for values between channels too.
    for (float v : {0.999f, 0.13f, 0.5f, 7.0f / 15.0f}) {
        effect->setParameter(0, v);
        EXPECT_EQ(display(*effect, 0), std::to_string(effect->voiceChannel(0) + 1)) << v;
    }

    effect->setParameter(11, 1.0f);
    EXPECT_EQ(display(*effect, 11), "200.00");
    effect->setParameter(56, 0.5f);
    EXPECT_EQ(effect->noteNumber(0), 63);

    effect->setParameter(1, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(effect->getParameter(1), 0.0f);
    effect->setParameter(1, 7.0f);
    EXPECT_EQ(effect->getParameter(1), 1.0f);
    effect->setParameter(69, -2.0f);
    EXPECT_EQ(effect->getParameter(69), 0.0f);

    // The Version is the program files' alone: a host writing it back
    // clamped changes nothing.
    effect->setParameter(55, 0.3f);
    EXPECT_FLOAT_EQ(effect->getParameter(55), 1.2f);
    EXPECT_FLOAT_EQ(effect->program(0).values[55], 1.2f);
    effect->setParameter(67, 0.7f);
    EXPECT_EQ(effect->getParameter(67), 0.0f);
    EXPECT_EQ(effect->program(0).values[67], 0.0f);
    EXPECT_EQ(display(*effect, 87), "0.569");
    EXPECT_EQ(display(*effect, 200), "");
}

TEST_F(ProgramsTest, OlderProgramsAreUpgradedWhenSelected) {
    struct Case {
        float version;
        int note;     // the Kick1 note the program then holds
        float pan;    // and the Kick1 pan
        float volume;
    };
    const Case cases[] = {
        {0.1f, 36, 0.5f, 20.0f / 23.0f},   // no notes, no mix yet
        {1.11f, 114, 0.5f, 20.0f / 23.0f}, // notes, but no mix
        {1.12f, 114, 0.2f, 0.9f},
    };
    auto effect = make();
    persist::BankImage bank(plugin::kUniqueId, 16, 88);
    for (int p = 0; p < 3; ++p) {
        bank.program(p).setParameter(55, cases[p].version);
        bank.program(p).setParameter(56, 0.9f);
        bank.program(p).setParameter(68, 0.2f);
        bank.program(p).setParameter(69, 0.9f);
    }
    effect->loadBank(bank);
    for (int p = 0; p < 3; ++p) {
        effect->setProgram(p);
        EXPECT_EQ(effect->noteNumber(0), cases[p].note) << p;
        EXPECT_FLOAT_EQ(effect->getParameter(68), cases[p].pan) << p;
        EXPECT_FLOAT_EQ(effect->getParameter(69), cases[p].volume) << p;
        EXPECT_FLOAT_EQ(effect->program(p).values[55], 1.2f) << p;
    }
}

TEST_F(ProgramsTest, NamesStepsAndCopies) {
    auto effect = make();
    char thirty[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";
    effect->setProgramName(thirty);
    char name[24];
    std::memset(name, 'x', sizeof(name));
    effect->getProgramName(name);
    EXPECT_STREQ(name, "ABCDEFGHIJKLMNOPQRSTUVW");
    EXPECT_FALSE(effect->getProgramNameIndexed(0, 16, name));
    EXPECT_TRUE(effect->getProgramNameIndexed(0, 15, name));
    EXPECT_STREQ(name, "Mariba");

    effect->setParameter(plugin::param::kProgramDown, 0.0f);
    EXPECT_EQ(effect->getProgram(), 0);
    effect->setParameter(plugin::param::kProgramUp, 0.0f);
    EXPECT_EQ(effect->getProgram(), 1);

    EXPECT_FALSE(effect->copyProgram(16));
    EXPECT_TRUE(effect->copyProgram(1));
    EXPECT_TRUE(effect->copyProgram(9));
    EXPECT_EQ(std::memcmp(effect->program(9).values, effect->program(1).values, sizeof(float) * 88), 0);
    EXPECT_STREQ(effect->program(9).name, "Elektro");
}

TEST_F(ProgramsTest, PasteDeliversTheCopiedProgramAsItIsNowAcrossInstances) {
    auto source = make();
    auto target = make();
    source->setProgram(3);
    source->copyProgramToClipboard();
    source->setParameter(1, 0.123f);  // changed after the copy
    target->setProgram(5);
    target->pasteProgramFromClipboard();
    EXPECT_STREQ(target->program(5).name, "Indust");
    EXPECT_FLOAT_EQ(target->getParameter(1), 0.123f);
    EXPECT_EQ(target->getProgram(), 5);

    source.reset();  // the copied record is gone with its instance
    target->setProgram(6);
    target->pasteProgramFromClipboard();
    EXPECT_STREQ(target->program(6).name, "Default");
}

}  // namespace
