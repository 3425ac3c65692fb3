// One program: all 88 parameter values and a name of at most 23 characters.
#pragma once

#include "plugin/PluginInfo.h"

namespace plugin {

constexpr int kProgramNameSize = 24;
constexpr float kCurrentVersion = 1.2f;
constexpr float kUnityVolume = 20.0f / 23.0f;

struct ProgramRecord {
    ProgramRecord();
    // Every pan at the centre and every volume at unity gain.
    void setDefaultMix();

    float values[kParameterCount];
    char name[kProgramNameSize];
};

// The note assignments older programs receive, as stored values n / 127.
extern const float kDefaultNoteValues[11];

}  // namespace plugin
