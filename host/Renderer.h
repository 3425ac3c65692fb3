// Renders a timed MIDI sequence through a plug-in instance, block by block,
// the way a host's audio thread would.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "host/MidiFile.h"
#include "host/PluginInstance.h"

namespace host {

// Sends the messages at their sample frames and returns the audio as two
// channels: a mono plug-in on both, several outputs summed, even outputs to
// the left and odd ones to the right. progress receives 0 to 1.
std::vector<std::vector<float>> renderSequence(PluginInstance& instance, const std::vector<TimedMessage>& messages,
                                               std::int64_t frames,
                                               const std::function<void(double)>& progress = {});

}  // namespace host
