#include "persist/MidiLearnStore.h"

namespace persist {

MidiLearnStore& MidiLearnStore::shared() {
    static MidiLearnStore store;
    return store;
}

}  // namespace persist
