// Standard MIDI Files (format 0 and 1) read into channel messages timed in
// seconds, tempo changes honoured.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace host {

struct TimedMessage {
    double seconds = 0.0;
    std::uint8_t bytes[3] = {0, 0, 0};
    int size = 0;  // 1 to 3
};

struct MidiSequence {
    std::vector<TimedMessage> messages;  // in time order
    double lengthSeconds = 0.0;          // time of the last event of any kind
};

// Parses the bytes of a file; nothing (with a reason in *error) when they are
// not a Standard MIDI File. Truncated tracks are read as far as they go.
std::optional<MidiSequence> parseMidiFile(const std::vector<std::uint8_t>& bytes, std::string* error = nullptr);

}  // namespace host
