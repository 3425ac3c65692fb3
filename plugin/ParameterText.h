// The names, labels and display texts of the 88 parameters, as hosts and
// the editor show them.
#pragma once

#include <string>

namespace plugin {

std::string parameterName(int index);
std::string parameterLabel(int index);
// The key of a pan or volume in the mixer file ("Kick1Pan", "Kick1Level");
// empty for the other parameters.
std::string mixerKey(int index);
// The text of a parameter at value v; noteNames chooses "C1" over "36".
std::string parameterDisplay(int index, float v, bool noteNames);

// A note number as a name and octave ("C1", "F#1", "C-2") or as a number.
std::string noteText(int note, bool asName);
// Three significant digits in the general form hosts have long shown for
// pan and volume: 0.87, 1., 0., 5.e-002.
std::string threeSignificantDigits(float v);
// floor(x), plus one only when the fraction exceeds one half.
int roundHalfDown(float x);
// The MIDI channel (0 to 15) a "Midi Ch" value stands for: what a voice
// answers to and, plus one, what every display shows.
int midiChannelOf(float v);

}  // namespace plugin
