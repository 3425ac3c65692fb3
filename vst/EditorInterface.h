// The editor as the effect base sees it: the window requests a host makes
// through the dispatcher. The editor issue fills these in.
#pragma once

#include "vst/VstAbi.h"

namespace vst {

struct VstKeyCode {
    VstInt32 character;
    unsigned char virt;
    unsigned char modifier;
};

class AEffEditor {
public:
    virtual ~AEffEditor() = default;
    // Sets *rect to the editor's size; false when there is none.
    virtual bool getRect(ERect** rect) {
        *rect = nullptr;
        return false;
    }
    virtual bool open(void* /*parentWindow*/) { return false; }
    virtual void close() {}
    virtual void idle() {}
    virtual bool onKeyDown(VstKeyCode& /*key*/) { return false; }
    virtual bool onKeyUp(VstKeyCode& /*key*/) { return false; }
    virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }
    virtual bool onWheel(float /*distance*/) { return false; }
    // The host's display scale factor (1 = 100 %).
    virtual void setScaleFactor(float /*factor*/) {}
};

}  // namespace vst
