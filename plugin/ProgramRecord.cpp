#include "plugin/ProgramRecord.h"

#include <cstring>

#include "plugin/ParameterIndex.h"
#include "plugin/ParameterText.h"

namespace plugin {

namespace {

struct DefaultNotes {
    float values[param::kNoteCount] = {};
    constexpr DefaultNotes() {
        for (int slot = 0; slot < param::kNoteCount; ++slot)
            values[slot] = kParameters[param::kFirstNote + slot].defaultValue;
    }
};
constexpr DefaultNotes kDefaultNotes;

}  // namespace

const float (&kDefaultNoteValues)[11] = kDefaultNotes.values;

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

void ProgramRecord::takeMix(const persist::MixerFile& mixer) {
    for (int index = 0; index < kParameterCount; ++index) {
        const Role role = kParameters[index].role;
        if (role == Role::kPan) values[index] = mixer.value(mixerKey(index));
        if (role == Role::kVolume) values[index] = persist::MixerFile::volumeFromLevel(mixer.value(mixerKey(index)));
    }
}

}  // namespace plugin
