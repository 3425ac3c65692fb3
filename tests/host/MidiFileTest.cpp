#include <gtest/gtest.h>

#include "host/MidiFile.h"
#include "support/MidiFileBuilder.h"

namespace {

using testing_support::MidiFileBuilder;

TEST(MidiFile, ReadsBothFormatsWithTempoChangesAndRunningStatus) {
    MidiFileBuilder builder(480);
    builder.tempoTrack({{0, 500000}, {960, 250000}});
    builder.noteTrack(0, {{0, 51}, {480, 51}, {960, 51}, {1440, 51}}, true);
    auto sequence = host::parseMidiFile(builder.format1());
    ASSERT_TRUE(sequence);
    std::vector<double> onsets;
    for (const auto& m : sequence->messages)
        if ((m.bytes[0] & 0xF0) == 0x90 && m.bytes[2] != 0) onsets.push_back(m.seconds);
    EXPECT_EQ(onsets, (std::vector<double>{0.0, 0.5, 1.0, 1.25}));

    auto single = host::parseMidiFile(builder.format0());
    ASSERT_TRUE(single);
    onsets.clear();
    for (const auto& m : single->messages)
        if ((m.bytes[0] & 0xF0) == 0x90 && m.bytes[2] != 0) onsets.push_back(m.seconds);
    EXPECT_EQ(onsets, (std::vector<double>{0.0, 0.5, 1.0, 1.25}));
}

TEST(MidiFile, RefusesOrCutsShortWhatIsNotAWholeFile) {
    std::string error;
    EXPECT_FALSE(host::parseMidiFile({}, &error));
    EXPECT_FALSE(host::parseMidiFile({'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0}, &error));
    MidiFileBuilder builder(96);
    builder.noteTrack(0, {{0, 36}, {96, 38}, {192, 42}}, false);
    auto bytes = builder.format0();
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
        auto sequence = host::parseMidiFile(cut);  // never reads past the end
        if (sequence) {
            EXPECT_LE(sequence->messages.size(), 6u);
        }
    }
    // A track that claims more bytes than the file has is read as far as it goes.
    bytes[21] = 0x7F;
    auto sequence = host::parseMidiFile(bytes);
    ASSERT_TRUE(sequence);
    EXPECT_EQ(sequence->messages.size(), 6u);
}

}  // namespace
