// One MIDI event as a host hands it over.
#pragma once

#include "vst/VstAbi.h"

namespace testing_support {

inline vst::VstMidiEvent midiEvent(int frame, int status, int data1, int data2) {
    vst::VstMidiEvent event{};
    event.type = vst::kVstMidiType;
    event.byteSize = sizeof(event);
    event.deltaFrames = frame;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    return event;
}

}  // namespace testing_support
