#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "persist/FxFormats.h"
#include "platform/FileIo.h"

namespace {

constexpr std::int32_t kId = ('5' << 24) | ('0' << 16) | ('7' << 8) | '4';

std::string bytesAt(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t count) {
    return std::string(reinterpret_cast<const char*>(bytes.data() + at), count);
}

std::uint32_t wordAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return (std::uint32_t(bytes[at]) << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
}

persist::BankImage sampleBank() {
    persist::BankImage bank(kId, 16, 88);
    for (int p = 0; p < 16; ++p) {
        bank.program(p).setName("Program " + std::to_string(p));
        for (int i = 0; i < 88; ++i) bank.program(p).setParameter(i, static_cast<float>(p * 88 + i) / 2000.0f);
    }
    return bank;
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("tamborik-fx-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string path(const std::string& name) const { return (folder / name).string(); }
    std::filesystem::path folder;
};

TEST(FxFormats, AProgramNamedDefaultIsWrittenByteForByte) {
    persist::ProgramImage program(kId, 88, "Default");
    for (int i = 0; i < 88; ++i) program.setParameter(i, 0.25f * (i % 5));
    const auto bytes = persist::writeProgram(program);
    ASSERT_EQ(bytes.size(), 408u);
    EXPECT_EQ(bytesAt(bytes, 0, 4), "CcnK");
    EXPECT_EQ(wordAt(bytes, 4), 0u);
    EXPECT_EQ(bytesAt(bytes, 8, 4), "FxCk");
    EXPECT_EQ(wordAt(bytes, 12), 1u);
    EXPECT_EQ(bytesAt(bytes, 16, 4), "5074");
    EXPECT_EQ(wordAt(bytes, 20), 1u);
    EXPECT_EQ(wordAt(bytes, 24), 88u);
    EXPECT_EQ(bytesAt(bytes, 28, 7), "Default");
    for (std::size_t i = 35; i < 56; ++i) EXPECT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(wordAt(bytes, 56 + 4 * 3), 0x3F400000u);  // 0.75, most significant byte first
}

TEST(FxFormats, ABankHasItsHeaderAndRecordSizes) {
    const auto bytes = persist::writeBank(sampleBank());
    ASSERT_EQ(bytes.size(), 6684u);
    EXPECT_EQ(bytesAt(bytes, 0, 4), "CcnK");
    EXPECT_EQ(wordAt(bytes, 4), 6676u);
    EXPECT_EQ(bytesAt(bytes, 8, 4), "FxBk");
    EXPECT_EQ(bytesAt(bytes, 16, 4), "5074");
    EXPECT_EQ(wordAt(bytes, 24), 16u);
    for (std::size_t i = 28; i < 156; ++i) EXPECT_EQ(bytes[i], 0);
    for (int p = 0; p < 16; ++p) {
        const std::size_t record = 156 + 408 * static_cast<std::size_t>(p);
        EXPECT_EQ(bytesAt(bytes, record, 4), "CcnK");
        EXPECT_EQ(wordAt(bytes, record + 4), 400u);
        EXPECT_EQ(bytesAt(bytes, record + 8, 4), "FxCk");
    }
}

TEST(FxFormats, RoundTripsAndOddParameterCounts) {
    const auto original = sampleBank();
    const auto bytes = persist::writeBank(original);
    persist::BankImage read(kId, 16, 88);
    ASSERT_TRUE(persist::readBank(read, bytes.data(), bytes.size()));
    for (int p = 0; p < 16; ++p) {
        EXPECT_EQ(read.program(p).name(), original.program(p).name());
        for (int i = 0; i < 88; ++i) ASSERT_EQ(read.program(p).parameterWord(i), original.program(p).parameterWord(i));
    }

    persist::ProgramImage ninety(kId, 90, "Ninety");
    for (int i = 0; i < 90; ++i) ninety.setParameter(i, 0.5f);
    auto file = persist::writeProgram(ninety);
    persist::ProgramImage into(kId, 88, "");
    ASSERT_TRUE(persist::readProgram(into, file.data(), file.size()));
    EXPECT_EQ(into.parameterCount(), 90);

    persist::ProgramImage eighty(kId, 80, "Eighty");
    for (int i = 0; i < 80; ++i) eighty.setParameter(i, 0.5f);
    file = persist::writeProgram(eighty);
    persist::ProgramImage target(kId, 88, "");
    for (int i = 0; i < 88; ++i) target.setParameter(i, 0.9f);
    ASSERT_TRUE(persist::readProgram(target, file.data(), file.size()));
    EXPECT_EQ(target.parameterCount(), 88);
    EXPECT_EQ(target.parameter(79), 0.5f);
    EXPECT_EQ(target.parameter(80), 0.0f);
    EXPECT_EQ(target.parameter(87), 0.0f);

    persist::ProgramImage longName(kId, 88, "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234");
    file = persist::writeProgram(longName);
    EXPECT_EQ(bytesAt(file, 28, 28), "ABCDEFGHIJKLMNOPQRSTUVWXYZ12");
    ASSERT_TRUE(persist::readProgram(target, file.data(), file.size()));
    EXPECT_EQ(target.name(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ12");
}

TEST(FxFormats, RejectsForeignDamagedAndTruncatedData) {
    persist::ProgramImage program(kId, 88, "P");
    auto file = persist::writeProgram(program);
    persist::ProgramImage other(('A' << 24) | ('B' << 16) | ('C' << 8) | 'D', 88, "");
    EXPECT_FALSE(persist::readProgram(other, file.data(), file.size()));  // another plug-in's program

    auto wrongMagic = file;
    wrongMagic[8] = 'X';
    persist::ProgramImage image(kId, 88, "");
    EXPECT_FALSE(persist::readProgram(image, wrongMagic.data(), wrongMagic.size()));

    auto bank = persist::writeBank(sampleBank());
    EXPECT_FALSE(persist::readProgram(image, bank.data(), bank.size()));  // a bank is not a program

    for (std::uint32_t count : {15u, 17u}) {
        auto wrongCount = bank;
        wrongCount[27] = static_cast<std::uint8_t>(count);
        persist::BankImage read(kId, 16, 88);
        EXPECT_FALSE(persist::readBank(read, wrongCount.data(), wrongCount.size())) << count;
    }
    for (std::size_t length = 0; length < bank.size(); ++length) {
        persist::BankImage read(kId, 16, 88);
        ASSERT_FALSE(persist::readBank(read, bank.data(), length)) << length;
    }
    for (std::size_t length = 0; length < file.size(); ++length) {
        persist::ProgramImage read(kId, 88, "");
        ASSERT_FALSE(persist::readProgram(read, file.data(), length)) << length;
    }
    // A declared count far beyond the data is refused before anything is allocated.
    auto huge = file;
    huge[24] = 0x7F;
    EXPECT_FALSE(persist::readProgram(image, huge.data(), huge.size()));
    auto negative = file;
    negative[24] = 0xFF;
    EXPECT_FALSE(persist::readProgram(image, negative.data(), negative.size()));
}

TEST_F(TempFolder, FilesAreChosenByTheExtensionOfTheirOwnName) {
    const auto bank = sampleBank();
    EXPECT_TRUE(persist::saveBankFile(bank, path("Mine.FXB")));
    std::filesystem::create_directories(folder / "My.Banks");
    EXPECT_TRUE(persist::saveBankFile(bank, path("My.Banks/Mine.fxb")));
    EXPECT_FALSE(persist::saveBankFile(bank, path("My.Banks/Mine")));
    EXPECT_FALSE(std::filesystem::exists(path("My.Banks/Mine")));
    EXPECT_FALSE(persist::saveBankFile(bank, path("Mine.fxp")));

    persist::BankImage read(kId, 16, 88);
    ASSERT_TRUE(persist::loadBankFile(read, path("My.Banks/Mine.fxb")));
    EXPECT_EQ(read.program(3).name(), "Program 3");

    persist::ProgramImage program(kId, 88, "Solo");
    ASSERT_TRUE(persist::saveProgramFile(program, path("solo.fxp")));
    persist::ProgramImage back(kId, 88, "");
    ASSERT_TRUE(persist::loadProgramFile(back, path("solo.fxp")));
    EXPECT_EQ(back.name(), "Solo");
    // A bank saved under a program's extension is refused by the program reader.
    ASSERT_TRUE(platform::writeFileAtomically(path("bank.fxp"), persist::writeBank(bank)));
    EXPECT_FALSE(persist::loadProgramFile(back, path("bank.fxp")));
    EXPECT_FALSE(persist::loadProgramFile(back, path("missing.fxp")));
    std::filesystem::create_directories(path("folder.fxp"));
    EXPECT_FALSE(persist::loadProgramFile(back, path("folder.fxp")));
}

TEST_F(TempFolder, AFailedSaveLeavesThePreviousFileWhole) {
    const auto bank = sampleBank();
    ASSERT_TRUE(persist::saveBankFile(bank, path("keep.fxb")));
    const auto before = platform::readWholeFile(path("keep.fxb"));
    // The disk fills up halfway through the new file.
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    const auto quiet = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{100, unlimited.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    persist::BankImage changed(kId, 16, 88);
    EXPECT_FALSE(persist::saveBankFile(changed, path("keep.fxb")));
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, quiet);
    EXPECT_EQ(platform::readWholeFile(path("keep.fxb")), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
}

}  // namespace
