// Which files one render becomes and what each channel of them holds: one
// file per voice and their sum, every output as a channel of one file, or
// the outputs mixed to one stereo pair.
#pragma once

#include <string>
#include <vector>

#include "host/PluginInstance.h"
#include "host/RenderOptions.h"

namespace host {

struct PlannedFile {
    std::string path;
    std::string voice;  // the voice of a stem; empty otherwise
    // Per channel, the outputs it sums, in order.
    std::vector<std::vector<int>> channels;
};

// The files of a render into target: a file, or the folder of the stems.
// Stems take their names from the plug-in's output labels.
std::vector<PlannedFile> planFiles(const RenderOptions& options, PluginInstance& instance, const std::string& target);

// One block of a file, interleaved, scaled by gain. Outputs add up in the
// order the plug-in itself adds voices into one stereo pair, so a mix of
// stems is the one-pair render to the last bit.
void fillBlock(const PlannedFile& file, const float* const* outputs, int frames, float gain,
               std::vector<float>* interleaved);

// "NN-Name" with characters that cannot stand in a file name replaced.
std::string numberedName(int number, const std::string& name);

}  // namespace host
