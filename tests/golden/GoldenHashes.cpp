// Prints one line per golden case: the golden renders in each output mode,
// then the single hits, each with the hash of its samples. The engine is
// linked into this program and driven through its entry point as a host
// drives the module. Built for x86-64 and, with the 32-bit modules'
// arithmetic, for i686, the two programs must print the same lines.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "host/PluginModule.h"
#include "module/GoldenRenderCases.h"
#include "module/SingleHitCases.h"
#include "platform/MemoryRegistry.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/PluginInfo.h"

namespace {

// The settings every instance reads: the output mode of the cases run.
platform::MemoryRegistry settings;

vst::AEffect* linkedEntry(vst::AudioMasterCallback host) {
    // No module path: no mixer file is read or written.
    return (new plugin::DrumSynthEffect(host, settings, ""))->getAeffect();
}

std::unique_ptr<host::PluginModule> openIn(int outputMode) {
    settings.clear();
    settings.writeDword(plugin::kRegistryKey, "outMode", static_cast<std::uint32_t>(outputMode));
    return host::PluginModule::linkedIn(&linkedEntry, "linked-in engine");
}

}  // namespace

int main() {
    for (int mode = 0; mode < golden::kOutputModes; ++mode) {
        const std::vector<std::uint64_t> hashes = golden::renderMode(*openIn(mode));
        for (std::size_t k = 0; k < hashes.size(); ++k)
            std::printf("render mode %d case %3zu %016" PRIx64 "\n", mode, k, hashes[k]);
    }
    const auto module = openIn(plugin::kOneStereo);
    const std::vector<single_hit::Case> cases = single_hit::cases();
    for (std::size_t k = 0; k < cases.size(); ++k)
        std::printf("single hit case %3zu %016" PRIx64 "\n", k, single_hit::render(*module, cases[k]));
    return std::fflush(stdout) == 0 ? 0 : 1;
}
