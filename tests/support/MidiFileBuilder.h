// Builds small Standard MIDI Files for tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace testing_support {

class MidiFileBuilder {
public:
    explicit MidiFileBuilder(int ticksPerQuarter) : division_(ticksPerQuarter) {}

    // Tempo changes as (tick, microseconds per quarter).
    void tempoTrack(const std::vector<std::pair<int, int>>& tempos) { tempos_ = tempos; }
    // Notes as (tick, note) on a channel, each a sixteenth long; running
    // status leaves out repeated status bytes.
    void noteTrack(int channel, const std::vector<std::pair<int, int>>& notes, bool runningStatus) {
        channel_ = channel;
        notes_ = notes;
        running_ = runningStatus;
    }

    std::vector<std::uint8_t> format1() const {
        std::vector<std::uint8_t> file = header(1, 2);
        appendTrack(file, tempoEvents());
        appendTrack(file, noteEvents());
        return file;
    }
    std::vector<std::uint8_t> format0() const {
        // One track: tempo and notes merged by tick.
        std::vector<Timed> events = tempoEvents();
        const auto notes = noteEvents();
        events.insert(events.end(), notes.begin(), notes.end());
        std::stable_sort(events.begin(), events.end(), [](const Timed& a, const Timed& b) { return a.tick < b.tick; });
        std::vector<std::uint8_t> file = header(0, 1);
        appendTrack(file, events);
        return file;
    }

private:
    struct Timed {
        int tick;
        std::vector<std::uint8_t> bytes;
    };

    std::vector<std::uint8_t> header(int format, int tracks) const {
        return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<std::uint8_t>(format), 0,
                static_cast<std::uint8_t>(tracks), static_cast<std::uint8_t>(division_ >> 8),
                static_cast<std::uint8_t>(division_)};
    }
    std::vector<Timed> tempoEvents() const {
        std::vector<Timed> events;
        for (auto [tick, micros] : tempos_)
            events.push_back({tick, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(micros >> 16),
                                     static_cast<std::uint8_t>(micros >> 8), static_cast<std::uint8_t>(micros)}});
        return events;
    }
    std::vector<Timed> noteEvents() const {
        std::vector<Timed> events;
        const auto on = static_cast<std::uint8_t>(0x90 | channel_);
        for (auto [tick, note] : notes_) {
            events.push_back({tick, {on, static_cast<std::uint8_t>(note), 100}});
            events.push_back({tick + division_ / 4, {on, static_cast<std::uint8_t>(note), 0}});
        }
        std::stable_sort(events.begin(), events.end(), [](const Timed& a, const Timed& b) { return a.tick < b.tick; });
        return events;
    }
    void appendTrack(std::vector<std::uint8_t>& file, const std::vector<Timed>& events) const {
        std::vector<std::uint8_t> track;
        int last = 0;
        std::uint8_t status = 0;
        for (const Timed& e : events) {
            appendQuantity(track, e.tick - last);
            last = e.tick;
            const bool skipStatus = running_ && e.bytes[0] < 0xF0 && e.bytes[0] == status;
            track.insert(track.end(), e.bytes.begin() + (skipStatus ? 1 : 0), e.bytes.end());
            status = e.bytes[0] < 0xF0 ? e.bytes[0] : 0;
        }
        track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
        const auto size = static_cast<std::uint32_t>(track.size());
        file.insert(file.end(), {'M', 'T', 'r', 'k', static_cast<std::uint8_t>(size >> 24),
                                 static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 8),
                                 static_cast<std::uint8_t>(size)});
        file.insert(file.end(), track.begin(), track.end());
    }
    static void appendQuantity(std::vector<std::uint8_t>& out, int value) {
        std::uint8_t bytes[4];
        int count = 0;
        do {
            bytes[count++] = static_cast<std::uint8_t>(value & 0x7F);
            value >>= 7;
        } while (value && count < 4);
        for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(bytes[i] | (i ? 0x80 : 0)));
    }

    int division_;
    int channel_ = 0;
    bool running_ = false;
    std::vector<std::pair<int, int>> tempos_;
    std::vector<std::pair<int, int>> notes_;
};

}  // namespace testing_support
