// Parameter changes on their way from the threads that make them to the
// thread that renders, in the order they were made.
//
// One producer at a time (the effect's model lock serialises the threads
// that change parameters) and one consumer (the thread that renders): a
// ring of fixed size whose two ends are atomics, so taking never waits and
// never allocates. A change that finds the ring full is not queued; the
// queue remembers the overflow and the consumer then re-applies every
// current value, so a value may arrive out of order but never goes missing.
#pragma once

#include <atomic>
#include <cstdint>

namespace plugin {

class ParameterChangeQueue {
public:
    static constexpr std::uint32_t kCapacity = 4096;  // a bank load is 16 × 86 changes

    struct Change {
        int index;
        float value;
    };

    // Producer side.
    void push(int index, float value);

    // Consumer side: hands every queued change to apply, oldest first.
    template <typename Apply>
    void drain(Apply&& apply) {
        std::uint32_t tail = tail_.load(std::memory_order_relaxed);
        const std::uint32_t head = head_.load(std::memory_order_acquire);
        for (; tail != head; ++tail) {
            const Change& change = ring_[tail % kCapacity];
            apply(change.index, change.value);
        }
        tail_.store(tail, std::memory_order_release);
    }
    // True once after a change found the ring full.
    bool takeOverflow() {
        return overflowed_.load(std::memory_order_relaxed) && overflowed_.exchange(false, std::memory_order_acq_rel);
    }
    bool empty() const {
        return head_.load(std::memory_order_acquire) == tail_.load(std::memory_order_relaxed) &&
               !overflowed_.load(std::memory_order_relaxed);
    }

private:
    Change ring_[kCapacity] = {};
    std::atomic<std::uint32_t> head_{0};  // written by the producer
    std::atomic<std::uint32_t> tail_{0};  // written by the consumer
    std::atomic<bool> overflowed_{false};
};

}  // namespace plugin
