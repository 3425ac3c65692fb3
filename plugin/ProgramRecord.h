// One program: all 88 parameter values and a name of at most 23 characters.
#pragma once

#include "persist/MixerFile.h"
#include "plugin/PluginInfo.h"

namespace plugin {

constexpr int kProgramNameSize = 24;
constexpr float kUnityVolume = 20.0f / 23.0f;

struct ProgramRecord {
    ProgramRecord();
    // Every pan at the centre and every volume at unity gain.
    void setDefaultMix();
    // The pans and levels of a mixer file, each under its parameter's key.
    void takeMix(const persist::MixerFile& mixer);

    float values[kParameterCount];
    char name[kProgramNameSize];
};

// The note assignments older programs receive, as stored values n / 127.
extern const float (&kDefaultNoteValues)[11];

}  // namespace plugin
