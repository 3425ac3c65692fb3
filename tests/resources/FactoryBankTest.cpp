// The factory bank: generated from its source table, and true to the
// columns every program must keep.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "persist/FxFormats.h"
#include "platform/FileIo.h"
#include "resources/BankSource.h"

namespace {

constexpr std::int32_t kId = ('5' << 24) | ('0' << 16) | ('7' << 8) | '4';

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

persist::BankImage committedBank() {
    auto bytes = platform::readWholeFile(TAMBORIK_SOURCE_DIR "/resources/FactoryBank.fxb");
    EXPECT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 6684u);
    persist::BankImage bank(kId, 16, 88);
    EXPECT_TRUE(persist::readBank(bank, bytes->data(), bytes->size()));
    return bank;
}

TEST(FactoryBank, IsGeneratedFromItsSourceTable) {
    std::string error;
    auto generated = resources::parseBankSource(readText(TAMBORIK_SOURCE_DIR "/resources/factory-bank.txt"), &error);
    ASSERT_TRUE(generated) << error;
    auto committed = platform::readWholeFile(TAMBORIK_SOURCE_DIR "/resources/FactoryBank.fxb");
    ASSERT_TRUE(committed);
    EXPECT_EQ(persist::writeBank(*generated), *committed) << "run `make bank` after editing factory-bank.txt";
}

TEST(FactoryBank, KeepsTheNamesNotesChannelsAndKeyModes) {
    const auto bank = committedBank();
    const char* names[16] = {"Tamborik", "Elektro", "DreamMachine", "Indust", "Layerdrums", "Fotf",
                             "Default", "Hollow", "StereoDrums", "Short Drums", "Long Drums", "Operator",
                             "Synth1", "Synth2", "Synth3", "Mariba"};
    const int defaultNotes[11] = {36, 41, 38, 40, 37, 43, 39, 51, 42, 46, 49};
    const int channels[10] = {0, 7, 14, 20, 26, 32, 38, 42, 46, 51};
    const int keyModes[7] = {6, 13, 19, 25, 31, 37, 45};
    for (int p = 0; p < 16; ++p) {
        const auto& program = bank.program(p);
        EXPECT_EQ(program.name(), names[p]);
        EXPECT_FLOAT_EQ(program.parameter(55), 1.15f);
        EXPECT_EQ(program.parameter(67), 0.0f);

        std::vector<int> notes(defaultNotes, defaultNotes + 11);
        if (program.name() == "Layerdrums") notes = {36, 41, 38, 40, 38, 43, 40, 37, 42, 41, 49};
        if (program.name() == "StereoDrums") notes = {36, 36, 40, 40, 37, 37, 39, 51, 42, 46, 49};
        if (program.name() == "Operator") notes = {36, 38, 37, 40, 41, 43, 39, 51, 42, 46, 49};
        for (int n = 0; n < 11; ++n) EXPECT_EQ(std::lround(program.parameter(56 + n) * 127), notes[n]) << names[p];

        const bool synth = p >= 12;
        for (int v = 0; v < 10; ++v) {
            const bool secondChannel = synth && (v == 6 || v == 8 || v == 9);  // Clap, Hihat, Crash
            EXPECT_FLOAT_EQ(program.parameter(channels[v]), secondChannel ? 1.0f / 15.0f : 0.0f) << names[p] << v;
        }
        for (int k = 0; k < 7; ++k) {
            bool on = false;
            if (program.name() == "Synth1") on = k != 1;
            if (program.name() == "Synth2" || program.name() == "Synth3") on = true;
            if (program.name() == "Mariba") on = k != 4 && k != 5;
            EXPECT_EQ(program.parameter(keyModes[k]), on ? 1.0f : 0.0f) << names[p] << " key mode " << k;
        }
        for (int i = 0; i < 88; ++i) {
            EXPECT_GE(program.parameter(i), 0.0f) << names[p] << i;
            if (i != 55) {
                EXPECT_LE(program.parameter(i), 1.0f) << names[p] << i;
            }
        }
    }
}

TEST(FactoryBank, TamborikHoldsItsListedValues) {
    const float values[88] = {
        0, 0.3458f, 0.1086f, 0.3f, 0.06f, 0.2598f, 0, 0, 0.5612f, 0.2896f, 0.285f, 0.049f, 0.365f, 0,
        0, 0.2676f, 0.7002f, 0.4547f, 0.6279f, 0, 0, 0.1718f, 0.605f, 0.445f, 0.6702f, 0,
        0, 1, 0.58f, 0.01f, 0, 0, 0, 0, 0.055f, 0.65f, 1, 0, 0, 0.3866f, 0.23f, 0.3284f, 0, 0.6243f, 0.055f, 0,
        0, 0.66f, 1, 1, 1, 0, 0.2795f, 1, 1, 1.15f,
        36 / 127.f, 41 / 127.f, 38 / 127.f, 40 / 127.f, 37 / 127.f, 43 / 127.f, 39 / 127.f, 51 / 127.f, 42 / 127.f,
        46 / 127.f, 49 / 127.f, 0,
        0.5f, 0.975f, 0.5f, 0.855f, 0.455f, 1, 0.6f, 1, 0.405f, 0.7941f, 0.59f, 0.8541f, 0.69f, 0.7841f, 0.385f,
        0.5491f, 0.455f, 0.7891f, 0.605f, 0.5691f};
    const auto bank = committedBank();
    for (int i = 0; i < 88; ++i) EXPECT_NEAR(bank.program(0).parameter(i), values[i], 5e-5f) << i;
}

TEST(BankSource, ReportsTheLineOfAMistake) {
    std::string error;
    EXPECT_FALSE(resources::parseBankSource("[defaults]\nKick 1 Frequenzy = 0.5\n", &error));
    EXPECT_EQ(error, "line 2: unknown parameter Kick 1 Frequenzy");
    EXPECT_FALSE(resources::parseBankSource("[program A]\nKick 1 Midi Ch = 17\n", &error));
    EXPECT_EQ(error, "line 2: bad value for Kick 1 Midi Ch");
    EXPECT_FALSE(resources::parseBankSource("[program A]\n", &error));
    EXPECT_EQ(error, "the bank needs exactly 16 programs, found 1");
}

}  // namespace
