// Renders a timed MIDI sequence through a plug-in instance, block by block,
// the way a host's audio thread would.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "host/MidiFile.h"
#include "host/PluginInstance.h"

namespace host {

// Sends the messages at their sample frames and returns every output of the
// plug-in as it came, one vector per output. progress receives 0 to 1.
std::vector<std::vector<float>> renderOutputs(PluginInstance& instance, const std::vector<TimedMessage>& messages,
                                              std::int64_t frames, const std::function<void(double)>& progress = {});

// The outputs folded into two channels: a mono plug-in on both, several
// outputs summed, even outputs to the left and odd ones to the right.
std::vector<std::vector<float>> foldToStereo(const std::vector<std::vector<float>>& outputs);

// renderOutputs folded into two channels.
std::vector<std::vector<float>> renderSequence(PluginInstance& instance, const std::vector<TimedMessage>& messages,
                                               std::int64_t frames,
                                               const std::function<void(double)>& progress = {});

}  // namespace host
