// The machine-readable account of a render: the plug-in, the settings and,
// per written file, its levels as a reader of the file sees them.
#pragma once

#include <string>
#include <vector>

#include "host/RenderOptions.h"
#include "host/AudioFile.h"

namespace host {

struct PluginDescription {
    std::string path;  // as given, even when a private copy was loaded
    std::string effectName, vendor, product;
    int uniqueId = 0;
    int vendorVersion = 0;
    int numPrograms = 0;
    int numOutputs = 0;
};

struct WrittenFile {
    std::string path;
    std::string voice;  // the voice of a stem; empty otherwise
    FileLevels levels;
};

struct ProgramRender {
    int program = -1;
    std::string programName;
    float gain = 1.0f;  // applied by --normalize
    std::vector<WrittenFile> files;
};

// Levels below this count as silence (-100 dBFS).
constexpr double kSilenceBelow = 1e-5;
constexpr float kSoundThreshold = static_cast<float>(kSilenceBelow);

std::string renderReportJson(const RenderOptions& options, const PluginDescription& plugin,
                             const std::vector<ProgramRender>& renders);

}  // namespace host
