// The process-wide clipboard of Copy and Paste Program. It refers to a
// program record of some instance (it holds no copy), so a paste delivers
// the record as it is at the time of the paste, across instances. An
// instance that goes away takes its record off the clipboard.
#pragma once

#include "plugin/ProgramRecord.h"

namespace plugin {

class ProgramClipboard {
public:
    static ProgramClipboard& shared();

    void copy(const ProgramRecord* record, const void* owner) {
        record_ = record;
        owner_ = owner;
    }
    const ProgramRecord* record() const { return record_; }
    void ownerGone(const void* owner) {
        if (owner_ == owner) record_ = nullptr, owner_ = nullptr;
    }

private:
    const ProgramRecord* record_ = nullptr;
    const void* owner_ = nullptr;
};

}  // namespace plugin
