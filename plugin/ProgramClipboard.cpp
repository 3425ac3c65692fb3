#include "plugin/ProgramClipboard.h"

namespace plugin {

ProgramClipboard& ProgramClipboard::shared() {
    static ProgramClipboard clipboard;
    return clipboard;
}

void ProgramClipboard::copy(const ProgramRecord* record, const void* owner, std::recursive_mutex* ownerLock) {
    std::lock_guard<std::mutex> guard(mutex_);
    record_ = record;
    owner_ = owner;
    ownerLock_ = ownerLock;
}

bool ProgramClipboard::paste(ProgramRecord* into) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!record_) return false;
    std::lock_guard<std::recursive_mutex> ownerGuard(*ownerLock_);
    *into = *record_;
    return true;
}

void ProgramClipboard::ownerGone(const void* owner) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (owner_ == owner) record_ = nullptr, owner_ = nullptr, ownerLock_ = nullptr;
}

}  // namespace plugin
