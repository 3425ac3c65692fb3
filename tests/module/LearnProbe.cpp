// A host process for the cross-process tests:
//   tamborik_learn_probe MODULE learn     binds controller 7 to parameter 12
//   tamborik_learn_probe MODULE play      moves controller 7 and prints parameter 12
//   tamborik_learn_probe MODULE scan N    creates and closes N instances, two
//                                         alive at a time, as a host's scan does
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "host/PluginInstance.h"
#include "host/PluginModule.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    auto module = host::PluginModule::load(argv[1]);
    if (!module) return 1;
    using host::PluginInstance;
    if (std::strcmp(argv[2], "scan") == 0) {
        const int count = argc > 3 ? std::atoi(argv[3]) : 1;
        std::unique_ptr<PluginInstance> previous;
        for (int i = 0; i < count; ++i) {
            auto instance = PluginInstance::create(*module);
            if (!instance) return 1;
            instance->start();
            previous = std::move(instance);  // the one before closes now
        }
        return 0;
    }
    auto instance = PluginInstance::create(*module);
    if (!instance) return 1;
    instance->start();
    if (std::strcmp(argv[2], "learn") == 0) {
        instance->setParameter(89, 0.125f);  // learning on
        instance->setParameter(90, 12.0f);   // pick "Kick 2 Thump"
        instance->sendMidi({PluginInstance::midiEvent(0, 0xB0, 7, 64)});
        instance->setParameter(89, 0.0f);
    } else {
        instance->sendMidi({PluginInstance::midiEvent(0, 0xB0, 7, 127)});
        std::printf("%g\n", instance->getParameter(12));
    }
    return 0;
}
