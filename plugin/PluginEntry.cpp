// The module's entry points: a host calls one of them once per instance with
// its callback and receives the instance's effect record.
#include <new>

#include "platform/ModulePath.h"
#include "platform/Registry.h"
#include "plugin/EditorWindow.h"
#include "plugin/DrumSynthEffect.h"

#if defined(_WIN32)
// exports.def names the entry points on Windows.
#define TAMBORIK_EXPORT
#else
#define TAMBORIK_EXPORT __attribute__((visibility("default")))
#endif

namespace {

vst::AEffect* createEffect(vst::AudioMasterCallback host) {
    if (!host || host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        auto* effect = new (std::nothrow) plugin::DrumSynthEffect(host, platform::processRegistry(),
                                                                  platform::modulePath(), plugin::platformEditor());
        return effect ? effect->getAeffect() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

extern "C" {

TAMBORIK_EXPORT vst::AEffect* VSTPluginMain(vst::AudioMasterCallback host) {
    return createEffect(host);
}

// The classic entry point is named "main"; C++ reserves that name, so the
// function is declared under another and given the symbol by its asm label.
// On Windows exports.def gives it the name instead.
#if !defined(_WIN32)
TAMBORIK_EXPORT vst::AEffect* legacyVstMain(vst::AudioMasterCallback host) __asm__("main");
#endif
TAMBORIK_EXPORT vst::AEffect* legacyVstMain(vst::AudioMasterCallback host) {
    return createEffect(host);
}

}  // extern "C"
