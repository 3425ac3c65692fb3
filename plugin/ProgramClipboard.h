// The process-wide clipboard of Copy and Paste Program. It refers to a
// program record of some instance (it holds no copy), so a paste delivers
// the record as it is at the time of the paste, across instances. An
// instance that goes away takes its record off the clipboard.
//
// Instances copy, paste and go away on their own threads: the clipboard's
// mutex is held while a paste reads the record (under its owner's model
// lock, passed in with the copy) and while an owner leaves, so a paste never
// reads a record that is being changed or is gone. The order is always the
// clipboard's mutex first, then an owner's lock.
#pragma once

#include <mutex>

#include "plugin/ProgramRecord.h"

namespace plugin {

class ProgramClipboard {
public:
    static ProgramClipboard& shared();

    void copy(const ProgramRecord* record, const void* owner, std::recursive_mutex* ownerLock);
    // The record as it is now; false when the clipboard refers to none.
    bool paste(ProgramRecord* into);
    void ownerGone(const void* owner);

private:
    std::mutex mutex_;
    const ProgramRecord* record_ = nullptr;
    const void* owner_ = nullptr;
    std::recursive_mutex* ownerLock_ = nullptr;
};

}  // namespace plugin
