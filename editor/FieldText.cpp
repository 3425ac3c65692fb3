#include "editor/FieldText.h"

#include <cctype>

#include "persist/DecimalText.h"
#include "plugin/ParameterText.h"

namespace editor {
namespace {

constexpr const char* kNoteNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

float clampUnit(double v) {
    if (!(v > 0.0)) return 0.0f;
    return v > 1.0 ? 1.0f : static_cast<float>(v);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A letter A to G followed by a digit, '#' and a digit, or a minus sign and
// a digit (the octaves below zero the fields show for the lowest notes).
bool looksLikeName(const std::string& text) {
    if (text.empty()) return false;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G') return false;
    std::size_t i = 1;
    if (i < text.size() && text[i] == '#') ++i;
    if (i < text.size() && text[i] == '-') ++i;
    return i < text.size() && isDigit(text[i]);
}

int semitoneOf(std::string name) {
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int i = 0; i < 12; ++i)
        if (name == kNoteNames[i]) return i;
    return 0;
}

}  // namespace

std::string channelText(float value) {
    return std::to_string(plugin::midiChannelOf(value) + 1);
}

float channelValue(const std::string& text) {
    return clampUnit((persist::leadingDecimal(text) - 1.0) / 15.0);
}

std::string noteFieldText(float value, bool noteNames) {
    return plugin::noteText(plugin::roundHalfDown(value * 127.0f), noteNames);
}

TypedNote readNote(const std::string& text) {
    if (!looksLikeName(text)) return {clampUnit(persist::leadingDecimal(text) / 127.0), false};
    // The name is everything before the trailing digits; a minus sign at its
    // end belongs to the octave.
    std::size_t digits = text.size();
    while (digits > 0 && isDigit(text[digits - 1])) --digits;
    std::string name = text.substr(0, digits);
    double octave = persist::leadingDecimal(text.substr(digits));
    if (!name.empty() && name.back() == '-') {
        name.pop_back();
        octave = -octave;
    }
    const double n = semitoneOf(name) + 12.0 * octave + 24.0;
    return {clampUnit(n / 127.0), true};
}

}  // namespace editor
