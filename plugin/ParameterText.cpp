#include "plugin/ParameterText.h"

#include <cmath>
#include <cstdio>

#include "dsp/DspMath.h"
#include "plugin/ParameterIndex.h"

namespace plugin {
namespace {

// The voice blocks write "Kick 1" with a space; the note and mix blocks
// write "Kick1" without one. Both are part of the names.
const char* const kNames[kParameterCount] = {
    "Kick 1 Midi Ch", "Kick 1 Frequency", "Kick 1 Sweep", "Kick 1 Decay", "Kick 1 Sweep Decay",
    "Kick 1 Thump", "Kick 1 Key Mode",
    "Kick 2 Midi Ch", "Kick 2 Frequency", "Kick 2 Sweep", "Kick 2 Decay", "Kick 2 Sweep Decay",
    "Kick 2 Thump", "Kick 2 Key Mode",
    "Snare 1 Midi Ch", "Snare 1 Frequency", "Snare 1 Decay", "Snare 1 Noise Decay", "Snare 1 Thump",
    "Snare 1 Key Mode",
    "Snare 2 Midi Ch", "Snare 2 Frequency", "Snare 2 Decay", "Snare 2 Noise Decay", "Snare 2 Thump",
    "Snare 2 Key Mode",
    "Blipp 1 Midi Ch", "Blipp 1 Frequency", "Blipp 1 Sweep", "Blipp 1 Decay", "Blipp 1 Sweep Decay",
    "Blipp 1 Key Mode",
    "Blipp 2 Midi Ch", "Blipp 2 Frequency", "Blipp 2 Sweep", "Blipp 2 Decay", "Blipp 2 Sweep Decay",
    "Blipp 2 Key Mode",
    "Clap Midi Ch", "Clap Frequency", "Clap Q", "Clap Decay",
    "Claves Midi Ch", "Claves Frequency", "Claves Decay", "Claves Key Mode",
    "Hihat Midi Ch", "Hihat Frequency", "Hihat Q", "Hihat Ch Decay", "Hihat Oh Decay",
    "Crash Midi Ch", "Crash Frequency", "Crash Q", "Crash Decay",
    "Version",
    "Kick1 Note", "Kick2 Note", "Snare1 Note", "Snare2 Note", "Blipp1 Note", "Blipp2 Note",
    "Clap Note", "Claves Note", "Ch Note", "Oh Note", "Crash Note",
    "",
    "Kick1 Pan", "Kick1 Volume", "Kick2 Pan", "Kick2 Volume", "Snare1 Pan", "Snare1 Volume",
    "Snare2 Pan", "Snare2 Volume", "Blipp1 Pan", "Blipp1 Volume", "Blipp2 Pan", "Blipp2 Volume",
    "Clap Pan", "Clap Volume", "Claves Pan", "Claves Volume", "Hihat Pan", "Hihat Volume",
    "Crash Pan", "Crash Volume"};

// How a parameter is shown.
enum class Shown {
    kNone, kChannel, kHz40, kHz200x4, kHz200x16, kHz800x8, kHz1000x16, kHz500x4, kSweep7, kSweep127,
    kMs395, kMs195, kMs9, kMs49, kMs18, kMs190, kMs450, kPercent, kKeyMode, kQ3, kQ5, kQ20,
    kVersion, kNote, kMix
};

Shown shownAs(int index) {
    using namespace param;
    for (int channel : kMidiChannel)
        if (index == channel) return Shown::kChannel;
    if (isKeyMode(index)) return Shown::kKeyMode;
    if (index == kVersion) return Shown::kVersion;
    if (index >= kFirstNote && index < kFirstNote + kNoteCount) return Shown::kNote;
    if (index >= kFirstMix && index < kParameterCount) return Shown::kMix;
    switch (index) {
    case 1: case 8: case 27: case 33: return Shown::kHz40;
    case 15: case 21: return Shown::kHz200x4;
    case 39: return Shown::kHz200x16;
    case 43: return Shown::kHz800x8;
    case 47: return Shown::kHz1000x16;
    case 52: return Shown::kHz500x4;
    case 2: case 9: return Shown::kSweep7;
    case 28: case 34: return Shown::kSweep127;
    case 3: case 10: return Shown::kMs395;
    case 4: case 11: case 29: case 30: case 35: case 36: return Shown::kMs195;
    case 16: case 22: return Shown::kMs9;
    case 17: case 23: case 41: case 44: return Shown::kMs49;
    case 49: return Shown::kMs18;
    case 50: return Shown::kMs190;
    case 54: return Shown::kMs450;
    case 5: case 12: case 18: case 24: return Shown::kPercent;
    case 40: return Shown::kQ3;
    case 48: return Shown::kQ5;
    case 53: return Shown::kQ20;
    default: return Shown::kNone;
    }
}

std::string fixed(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", digits, value);
    return text;
}

std::string integer(long value) {
    return std::to_string(value);
}

std::string milliseconds(float scale, float offset, float v) {
    return fixed((scale * v + offset) * 1000.0f, 2);
}

// Removes the zeros at the end of the digits after the point, keeping the point.
std::string trimFraction(std::string digits) {
    const std::size_t point = digits.find('.');
    if (point == std::string::npos) return digits;
    std::size_t end = digits.size();
    while (end > point + 1 && digits[end - 1] == '0') --end;
    return digits.substr(0, end);
}

// floor(log10(x)) + 1, counted against exact powers of ten so that no
// runtime's logarithm can put 1000 one digit short.
int digitsBeforePoint(double x) {
    int digits = 1;
    double power = 10.0;
    while (x >= power && digits < 40) {
        power *= 10.0;
        ++digits;
    }
    power = 1.0;
    while (x < power && digits > -50) {
        power /= 10.0;
        --digits;
    }
    return digits;
}

}  // namespace

int roundHalfDown(float x) {
    if (std::isnan(x)) return 0;
    const float r = std::floor(x);
    const float rounded = x - r > 0.5f ? r + 1.0f : r;
    // Values no int can hold saturate.
    if (rounded >= 2147483520.0f) return 2147483647;
    if (rounded <= -2147483648.0f) return -2147483647 - 1;
    return static_cast<int>(rounded);
}

// Rounded, as the channel has always been shown; k / 15 gives k however the
// value was rounded on its way through a file or a host.
int midiChannelOf(float v) {
    return roundHalfDown(v * 15.0f);
}

std::string parameterName(int index) {
    return param::isHostVisible(index) ? kNames[index] : "";
}

std::string parameterLabel(int index) {
    switch (shownAs(index)) {
    case Shown::kHz40: case Shown::kHz200x4: case Shown::kHz200x16: case Shown::kHz800x8:
    case Shown::kHz1000x16: case Shown::kHz500x4:
        return "Hz";
    case Shown::kMs395: case Shown::kMs195: case Shown::kMs9: case Shown::kMs49: case Shown::kMs18:
    case Shown::kMs190: case Shown::kMs450:
        return "ms";
    case Shown::kPercent:
        return "%";
    default:
        return "";
    }
}

std::string noteText(int note, bool asName) {
    static const char* const kNoteNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    if (!asName) return integer(note);
    const int octave = (note >= 0 ? note / 12 : (note - 11) / 12);
    const int semitone = note - 12 * octave;
    return std::string(kNoteNames[semitone]) + integer(octave - 2);
}

std::string threeSignificantDigits(float value) {
    const double v = value;
    if (v == 0.0 || !std::isfinite(v)) return fixed(std::isfinite(v) ? 0.0 : v, 0) + ".";
    const int leading = digitsBeforePoint(std::fabs(v));
    if (leading >= 0) {
        std::string text = trimFraction(fixed(v, std::max(0, 3 - leading)));
        if (text.find('.') == std::string::npos) text += '.';
        return text;
    }
    // Exponent form: two digits after the point and a signed three-digit exponent.
    char text[64];
    std::snprintf(text, sizeof(text), "%.2e", v);
    std::string s = text;
    const std::size_t e = s.find('e');
    std::string mantissa = trimFraction(s.substr(0, e));
    const int exponent = std::atoi(s.c_str() + e + 1);
    char exponentText[16];
    std::snprintf(exponentText, sizeof(exponentText), "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return mantissa + exponentText;
}

std::string parameterDisplay(int index, float v, bool noteNames) {
    using dsp::powExtended;
    switch (shownAs(index)) {
    case Shown::kChannel: return integer(midiChannelOf(v) + 1);
    case Shown::kHz40: return fixed(40.0f * powExtended(2.0f, v), 2);
    case Shown::kHz200x4: return fixed(200.0f * powExtended(4.0f, v), 2);
    case Shown::kHz200x16: return fixed(200.0f * powExtended(16.0f, v), 2);
    case Shown::kHz800x8: return fixed(800.0f * powExtended(8.0f, v), 2);
    case Shown::kHz1000x16: return fixed(1000.0f * powExtended(16.0f, v), 2);
    case Shown::kHz500x4: return fixed(500.0f * powExtended(4.0f, v), 2);
    case Shown::kSweep7: return integer(static_cast<long>(v * 7.0f + 1.0f));
    case Shown::kSweep127: return integer(static_cast<long>(v * 127.0f + 1.0f));
    case Shown::kMs395: return milliseconds(0.395f, 0.005f, v);
    case Shown::kMs195: return milliseconds(0.195f, 0.005f, v);
    case Shown::kMs9: return milliseconds(0.009f, 0.001f, v);
    case Shown::kMs49: return milliseconds(0.049f, 0.001f, v);
    case Shown::kMs18: return milliseconds(0.018f, 0.002f, v);
    case Shown::kMs190: return milliseconds(0.19f, 0.01f, v);
    case Shown::kMs450: return milliseconds(0.45f, 0.05f, v);
    case Shown::kPercent: return integer(roundHalfDown(v * 100.0f));
    case Shown::kKeyMode: return v < 0.5f ? "Drum" : "Key";
    case Shown::kQ3: return fixed(3.0f * v + 1.0f, 1);
    case Shown::kQ5: return fixed(5.0f * v + 1.0f, 1);
    case Shown::kQ20: return fixed(20.0f * v + 1.0f, 1);
    case Shown::kVersion: return "1.2";
    case Shown::kNote: return noteText(roundHalfDown(v * 127.0f), noteNames);
    case Shown::kMix: return threeSignificantDigits(v);
    case Shown::kNone: return "";
    }
    return "";
}

}  // namespace plugin
