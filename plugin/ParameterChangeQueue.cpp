#include "plugin/ParameterChangeQueue.h"

namespace plugin {

void ParameterChangeQueue::push(int index, float value) {
    const std::uint32_t head = head_.load(std::memory_order_relaxed);
    if (head - tail_.load(std::memory_order_acquire) >= kCapacity) {
        overflowed_.store(true, std::memory_order_release);
        return;
    }
    ring_[head % kCapacity] = {index, value};
    head_.store(head + 1, std::memory_order_release);
}

}  // namespace plugin
