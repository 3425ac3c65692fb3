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

    // Any number of tracks: notes at the same time keep the order of their
    // tracks, the first and the last of 65535.
    std::vector<std::uint8_t> many = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0xFF, 0xFF, 0, 96};
    for (int track = 0; track < 65535; ++track) {
        const std::uint8_t note = track == 0 ? 36 : track == 65534 ? 38 : 0;
        const std::vector<std::uint8_t> chunk =
            note ? std::vector<std::uint8_t>{'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0x90, note, 100}
                 : std::vector<std::uint8_t>{'M', 'T', 'r', 'k', 0, 0, 0, 0};
        many.insert(many.end(), chunk.begin(), chunk.end());
    }
    sequence = host::parseMidiFile(many);
    ASSERT_TRUE(sequence);
    ASSERT_EQ(sequence->messages.size(), 2u);
    EXPECT_EQ(sequence->messages[0].bytes[1], 36);
    EXPECT_EQ(sequence->messages[1].bytes[1], 38);
}

}  // namespace
