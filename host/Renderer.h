// Renders a timed MIDI sequence through a plug-in instance, block by block,
// the way a host's audio thread would.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "host/MidiFile.h"
#include "host/PluginInstance.h"

namespace host {

// Receives every block as it is rendered: one pointer per output of the
// plug-in, each to frames samples, and the part of the render done (0 to
// 1). Answers false to stop the render there.
using BlockSink = std::function<bool(const float* const* outputs, int frames, double done)>;

// Sends the messages at their sample frames and hands each block of the
// plug-in's outputs to the sink; false when the sink stopped the render.
bool renderBlocks(PluginInstance& instance, const std::vector<TimedMessage>& messages, std::int64_t frames,
                  const BlockSink& sink);

// Two channels from any number of outputs: a mono plug-in on both, several
// outputs summed in their order, even outputs to the left and odd ones to
// the right.
std::vector<std::vector<int>> stereoFold(int outputs);

// renderOutputs folded into two channels. progress receives 0 to 1.
std::vector<std::vector<float>> renderSequence(PluginInstance& instance, const std::vector<TimedMessage>& messages,
                                               std::int64_t frames,
                                               const std::function<void(double)>& progress = {});

}  // namespace host
