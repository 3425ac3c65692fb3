// A voice's per-block working buffer, sized by prepare(). Allocation never
// throws: a buffer that could not be had is empty and the voice stays silent.
#pragma once

#include <cstring>
#include <memory>
#include <new>

namespace dsp {

class ScratchBuffer {
public:
    bool allocate(int frames) {
        data_.reset();
        size_ = 0;
        if (frames <= 0) return false;
        data_.reset(new (std::nothrow) float[static_cast<size_t>(frames)]);
        if (!data_) return false;
        size_ = frames;
        std::memset(data_.get(), 0, sizeof(float) * static_cast<size_t>(frames));
        return true;
    }
    float* data() { return data_.get(); }
    int size() const { return size_; }

private:
    std::unique_ptr<float[]> data_;
    int size_ = 0;
};

}  // namespace dsp
