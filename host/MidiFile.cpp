#include "host/MidiFile.h"

#include <algorithm>
#include <map>

namespace host {
namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool atEnd() const { return position_ >= size_; }
    std::size_t remaining() const { return size_ - position_; }
    bool byte(std::uint8_t* out) {
        if (atEnd()) return false;
        *out = data_[position_++];
        return true;
    }
    bool peek(std::uint8_t* out) const {
        if (atEnd()) return false;
        *out = data_[position_];
        return true;
    }
    bool word(std::uint32_t* out, int bytes) {
        if (remaining() < static_cast<std::size_t>(bytes)) return false;
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) value = (value << 8) | data_[position_++];
        *out = value;
        return true;
    }
    // A variable-length quantity of at most four bytes.
    bool quantity(std::uint32_t* out) {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b;
            if (!byte(&b)) return false;
            value = (value << 7) | (b & 0x7F);
            if (!(b & 0x80)) {
                *out = value;
                return true;
            }
        }
        return false;
    }
    bool skip(std::size_t count) {
        if (remaining() < count) return false;
        position_ += count;
        return true;
    }
    const std::uint8_t* here() const { return data_ + position_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

struct TickedMessage {
    std::uint64_t tick;
    std::uint64_t order;  // file order (track, then place in it), so simultaneous events keep it
    TimedMessage message;
};

void readTrack(Reader track, std::uint32_t trackIndex, std::vector<TickedMessage>& messages,
               std::map<std::uint64_t, std::uint32_t>& tempos, std::uint64_t& lastTick) {
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    // A track holds fewer messages than bytes, far fewer than 2^32.
    std::uint64_t order = static_cast<std::uint64_t>(trackIndex) << 32;
    while (!track.atEnd()) {
        std::uint32_t delta;
        if (!track.quantity(&delta)) return;
        tick += delta;
        lastTick = std::max(lastTick, tick);
        std::uint8_t status;
        if (!track.peek(&status)) return;
        if (status & 0x80) {
            track.byte(&status);
        } else if (running) {
            status = running;
        } else {
            return;  // data byte without a status: the track is damaged
        }
        if (status == 0xFF) {
            std::uint8_t type;
            std::uint32_t length;
            if (!track.byte(&type) || !track.quantity(&length) || track.remaining() < length) return;
            if (type == 0x51 && length == 3) {
                const std::uint8_t* p = track.here();
                tempos[tick] = (static_cast<std::uint32_t>(p[0]) << 16) | (p[1] << 8) | p[2];
            }
            track.skip(length);
            if (type == 0x2F) return;
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            std::uint32_t length;
            if (!track.quantity(&length) || !track.skip(length)) return;
            running = 0;
            continue;
        }
        if (status >= 0xF0) return;  // system messages do not belong in a file
        running = status;
        const int dataBytes = ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) ? 1 : 2;
        TickedMessage m{tick, order++, {}};
        m.message.bytes[0] = status;
        m.message.size = 1 + dataBytes;
        for (int i = 0; i < dataBytes; ++i)
            if (!track.byte(&m.message.bytes[1 + i])) return;
        messages.push_back(m);
    }
}

}  // namespace

std::optional<MidiSequence> parseMidiFile(const std::vector<std::uint8_t>& bytes, std::string* error) {
    auto fail = [&](const char* why) -> std::optional<MidiSequence> {
        if (error) *error = why;
        return std::nullopt;
    };
    Reader file(bytes.data(), bytes.size());
    std::uint32_t magic, headerLength, format, trackCount, division;
    if (!file.word(&magic, 4) || magic != 0x4D546864 || !file.word(&headerLength, 4) || headerLength < 6 ||
        !file.word(&format, 2) || !file.word(&trackCount, 2) || !file.word(&division, 2) ||
        !file.skip(headerLength - 6))
        return fail("not a Standard MIDI File");
    if (format > 1) return fail("only MIDI file formats 0 and 1 are supported");
    if (division == 0) return fail("the file gives no time division");

    std::vector<TickedMessage> messages;
    std::map<std::uint64_t, std::uint32_t> tempos;  // tick -> microseconds per quarter
    std::uint64_t lastTick = 0;
    for (std::uint32_t t = 0; t < trackCount && !file.atEnd(); ++t) {
        std::uint32_t chunk, length;
        if (!file.word(&chunk, 4) || !file.word(&length, 4)) break;
        const std::size_t available = std::min<std::size_t>(length, file.remaining());
        if (chunk == 0x4D54726B) readTrack(Reader(file.here(), available), t, messages, tempos, lastTick);
        else --t;  // unknown chunks are skipped and do not count as tracks
        file.skip(available);
    }
    std::stable_sort(messages.begin(), messages.end(), [](const TickedMessage& a, const TickedMessage& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    // The tempo map as segments: from each change on, seconds grow at a fixed
    // rate per tick (120 BPM until the file says otherwise).
    struct Segment {
        std::uint64_t tick;
        double seconds;
        double secondsPerTick;
    };
    std::vector<Segment> segments;
    if (division & 0x8000) {
        const int framesPerSecond = -static_cast<std::int8_t>(division >> 8);
        const int ticksPerFrame = division & 0xFF;
        if (framesPerSecond <= 0 || ticksPerFrame == 0) return fail("bad SMPTE time division");
        segments.push_back({0, 0.0, 1.0 / (framesPerSecond * ticksPerFrame)});
    } else {
        segments.push_back({0, 0.0, 0.5 / division});
        for (const auto& [tick, microseconds] : tempos) {
            const Segment& last = segments.back();
            const double seconds = last.seconds + static_cast<double>(tick - last.tick) * last.secondsPerTick;
            segments.push_back({tick, seconds, microseconds / 1e6 / division});
        }
    }
    auto secondsAt = [&](std::uint64_t tick) {
        auto after = std::upper_bound(segments.begin(), segments.end(), tick,
                                      [](std::uint64_t t, const Segment& s) { return t < s.tick; });
        const Segment& s = *(after - 1);
        return s.seconds + static_cast<double>(tick - s.tick) * s.secondsPerTick;
    };
    MidiSequence sequence;
    for (TickedMessage& m : messages) {
        m.message.seconds = secondsAt(m.tick);
        sequence.messages.push_back(m.message);
    }
    sequence.lengthSeconds = secondsAt(lastTick);
    return sequence;
}

}  // namespace host
