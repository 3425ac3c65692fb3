#include "plugin/ParameterText.h"

#include <cmath>
#include <cstdio>

#include "dsp/DspMath.h"
#include "plugin/ParameterIndex.h"

namespace plugin {
namespace {

std::string fixed(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", digits, value);
    return text;
}

std::string integer(long value) {
    return std::to_string(value);
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
    if (!param::isHostVisible(index)) return "";
    const ParameterInfo& p = kParameters[index];
    switch (p.writing) {
    case Writing::kSpaced: return std::string(kVoiceNames[p.voice]) + " " + p.name;
    case Writing::kCompact: return std::string(kPinLabels[p.voice]) + " " + p.name;
    case Writing::kBare: break;
    }
    return p.name;
}

std::string mixerKey(int index) {
    if (!param::isHostVisible(index)) return "";
    const ParameterInfo& p = kParameters[index];
    if (p.role == Role::kPan) return std::string(kPinLabels[p.voice]) + "Pan";
    if (p.role == Role::kVolume) return std::string(kPinLabels[p.voice]) + "Level";
    return "";
}

std::string parameterLabel(int index) {
    if (!param::isHostVisible(index)) return "";
    switch (kParameters[index].display.kind) {
    case Shown::kHertz: return "Hz";
    case Shown::kMilliseconds: return "ms";
    case Shown::kPercent: return "%";
    default: return "";
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
    if (!param::isHostVisible(index)) return "";
    const Display& d = kParameters[index].display;
    switch (d.kind) {
    case Shown::kChannel: return integer(midiChannelOf(v) + 1);
    case Shown::kHertz: return fixed(d.scale * dsp::powExtended(d.base, v), 2);
    case Shown::kMilliseconds: return fixed((d.scale * v + d.base) * 1000.0f, 2);
    case Shown::kSweep: return integer(static_cast<long>(v * d.scale + 1.0f));
    case Shown::kPercent: return integer(roundHalfDown(v * 100.0f));
    case Shown::kKeyMode: return v < 0.5f ? "Drum" : "Key";
    case Shown::kQ: return fixed(d.scale * v + 1.0f, 1);
    case Shown::kVersion: return kVersionText;
    case Shown::kNote: return noteText(roundHalfDown(v * 127.0f), noteNames);
    case Shown::kMix: return threeSignificantDigits(v);
    case Shown::kNone: return "";
    }
    return "";
}

}  // namespace plugin
