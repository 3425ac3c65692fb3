// The built-in demo groove: two bars at 120 BPM played twice, using every
// drum voice. For Tamborik it reads each voice's channel, note and Key Mode
// from the plug-in's parameters, plays the drums on their notes and a
// melody on channels whose voices follow the keys; other instruments get
// the General MIDI drum notes on channel 1.
#pragma once

#include <vector>

#include "host/MidiFile.h"
#include "host/PluginInstance.h"

namespace host {

std::vector<TimedMessage> demoGroove(PluginInstance& instance);
constexpr double kDemoGrooveSeconds = 8.0;

}  // namespace host
