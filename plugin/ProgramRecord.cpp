#include "plugin/ProgramRecord.h"

#include <cstring>

#include "plugin/ParameterIndex.h"

namespace plugin {

const float kDefaultNoteValues[11] = {36 / 127.0f, 41 / 127.0f, 38 / 127.0f, 40 / 127.0f,
                                      37 / 127.0f, 43 / 127.0f, 39 / 127.0f, 51 / 127.0f,
                                      42 / 127.0f, 46 / 127.0f, 49 / 127.0f};

ProgramRecord::ProgramRecord() : values{}, name{} {
    setDefaultMix();
    std::strcpy(name, "Default");
}

void ProgramRecord::setDefaultMix() {
    for (int voice = 0; voice < kVoiceCount; ++voice) {
        values[param::panOf(voice)] = 0.5f;
        values[param::volumeOf(voice)] = kUnityVolume;
    }
}

}  // namespace plugin
