// A host callback that answers the version query and nothing else.
#pragma once

#include "vst/VstAbi.h"

namespace testing_support {

inline vst::VstIntPtr quietHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

}  // namespace testing_support
