#include "host/DemoGroove.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>

namespace host {
namespace {

constexpr double kStep = 0.125;  // a sixteenth at 120 BPM
constexpr int kSteps = 32;       // two bars

struct Role {
    const char* noteName;
    const char* channelName;
    const char* keyModeName;  // empty for voices without Key Mode
    int generalMidiNote;
    // Velocity per sixteenth over two bars: '.' rest, 1 to 9 soft to loud.
    const char* pattern;
};

const Role kRoles[] = {
    {"Kick1 Note", "Kick 1 Midi Ch", "Kick 1 Key Mode", 36, "9...9...9...9...9...9...9.7.9..."},
    {"Kick2 Note", "Kick 2 Midi Ch", "Kick 2 Key Mode", 35, ".......5..............6.......5."},
    {"Snare1 Note", "Snare 1 Midi Ch", "Snare 1 Key Mode", 38, "....9.......9.......9.......9..."},
    {"Snare2 Note", "Snare 2 Midi Ch", "Snare 2 Key Mode", 40, "...............4.............579"},
    {"Blipp1 Note", "Blipp 1 Midi Ch", "Blipp 1 Key Mode", 45, "..........7.......6......6......"},
    {"Blipp2 Note", "Blipp 2 Midi Ch", "Blipp 2 Key Mode", 50, "..............8..............9.."},
    {"Clap Note", "Clap Midi Ch", "", 39, "............8...............8..."},
    {"Claves Note", "Claves Midi Ch", "Claves Key Mode", 75, "...6.......6.......6..5....6...."},
    {"Ch Note", "Hihat Midi Ch", "", 42, "8.5.8.5.8.5.8.5.8.5.8.5.8.5.8.6."},
    {"Oh Note", "Hihat Midi Ch", "", 46, "......7.......7.......7.......7."},
    {"Crash Note", "Crash Midi Ch", "", 49, "9..............................."},
};

// An arpeggio in A minor for channels whose voices follow the keys.
const int kMelody[16] = {57, 64, 69, 72, 76, 72, 69, 64, 53, 60, 65, 69, 55, 62, 67, 71};

// A parameter value as an integer in [0, top]; other plug-ins may answer anything.
int scaled(float value, float top) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return static_cast<int>(top);
    const float x = value * top;
    const float r = std::floor(x);
    return static_cast<int>(x - r > 0.5f ? r + 1.0f : r);
}

void addNote(std::vector<TimedMessage>& messages, double at, int channel, int note, int velocity, double length) {
    TimedMessage on;
    on.seconds = at;
    on.bytes[0] = static_cast<std::uint8_t>(0x90 | channel);
    on.bytes[1] = static_cast<std::uint8_t>(note);
    on.bytes[2] = static_cast<std::uint8_t>(velocity);
    on.size = 3;
    TimedMessage off = on;
    off.seconds = at + length;
    off.bytes[0] = static_cast<std::uint8_t>(0x80 | channel);
    off.bytes[2] = 64;
    messages.push_back(on);
    messages.push_back(off);
}

}  // namespace

std::vector<TimedMessage> demoGroove(PluginInstance& instance) {
    std::map<std::string, int> parameterIndex;
    for (int i = 0; i < instance.effect()->numParams; ++i) {
        char name[256] = {};
        instance.dispatch(vst::effGetParamName, i, 0, name);
        parameterIndex[name] = i;
    }
    auto value = [&](const char* name, float* out) {
        auto found = parameterIndex.find(name);
        if (found == parameterIndex.end()) return false;
        *out = instance.getParameter(found->second);
        return true;
    };

    std::vector<TimedMessage> messages;
    std::set<int> keyedChannels;
    struct Voice {
        int channel, note;
        bool keyed;
    };
    std::vector<Voice> voices;
    for (const Role& role : kRoles) {
        float note = 0, channel = 0, keyMode = 0;
        Voice voice{0, role.generalMidiNote, false};
        if (value(role.noteName, &note) && value(role.channelName, &channel)) {
            voice.note = scaled(note, 127.0f);
            if (!(channel >= 0.0f && channel <= 1.0f)) channel = 0.0f;
            voice.channel = static_cast<int>(channel * 15.0f);
            voice.keyed = role.keyModeName[0] && value(role.keyModeName, &keyMode) && keyMode == 1.0f;
        }
        if (voice.keyed) keyedChannels.insert(voice.channel);
        voices.push_back(voice);
    }
    for (int repeat = 0; repeat < 2; ++repeat) {
        const double barStart = repeat * kSteps * kStep;
        for (size_t r = 0; r < voices.size(); ++r) {
            // A drum note on a keyed channel would sound the keyed voices too.
            if (voices[r].keyed || keyedChannels.count(voices[r].channel)) continue;
            for (int step = 0; step < kSteps; ++step) {
                const char c = kRoles[r].pattern[step];
                if (c < '1' || c > '9') continue;
                if (r == voices.size() - 1 && repeat == 1 && step == 0) continue;  // one crash per demo
                addNote(messages, barStart + step * kStep, voices[r].channel, voices[r].note, 112 * (c - '0') / 9,
                        kStep * 0.8);
            }
        }
        for (int channel : keyedChannels)
            for (int i = 0; i < 16; ++i)
                addNote(messages, barStart + i * 2 * kStep, channel, kMelody[i], i % 4 == 0 ? 120 : 90, kStep * 1.6);
    }
    std::stable_sort(messages.begin(), messages.end(),
                     [](const TimedMessage& a, const TimedMessage& b) { return a.seconds < b.seconds; });
    return messages;
}

}  // namespace host
