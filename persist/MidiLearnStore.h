// The process-wide map of learned controller assignments, shared by every
// instance in the host process. Until learning is built it only counts the
// instances, which decides who loads and who saves the map.
#pragma once

namespace persist {

class MidiLearnStore {
public:
    static MidiLearnStore& shared();

    int instanceCount() const { return instances_; }
    // Called by each new instance; the first one in the process loads the map.
    void instanceCreated() { ++instances_; }
    void instanceDestroyed() {
        if (instances_ > 0) --instances_;
    }

private:
    int instances_ = 0;
};

}  // namespace persist
