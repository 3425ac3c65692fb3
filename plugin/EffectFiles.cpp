// DrumSynthEffect: programs and banks to and from images (the factory bank,
// the File menu's commands) and MIDI learn's export and import. Paths come
// from the file selector; an empty path is a cancelled dialog.
#include <cstring>

#include "persist/ControllerMap.h"
#include "persist/FxFormats.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/EffectThreads.h"
#include "plugin/ParameterIndex.h"
#include "platform/Resources.h"

namespace plugin {
namespace {

// A loaded name as setProgramName receives it: at most 27 characters.
struct LoadedName {
    explicit LoadedName(const persist::ProgramImage& image) { image.name().copy(text, 27); }
    char text[28] = {};
};

}  // namespace

void DrumSynthEffect::takeValues(int index, const persist::ProgramImage& image) {
    for (int i = 0; i < kParameterCount; ++i) programs_[index].values[i] = image.parameter(i);
}

void DrumSynthEffect::giveValues(int index, persist::ProgramImage& image) const {
    for (int i = 0; i < kParameterCount; ++i) image.setParameter(i, programs_[index].values[i]);
}

// The factory bank stored in the module; without it the programs keep
// their constructed state.
void DrumSynthEffect::loadBuiltInBank() {
    const platform::Resource resource = platform::findResource("PRESET_RESOURCE", "PRESETS");
    if (!resource.data) return;
    persist::BankImage bank(kUniqueId, kProgramCount, kParameterCount);
    if (persist::readBank(bank, resource.data, resource.size)) loadBank(bank);
}

// Under the model lock throughout: a controller's value arriving on the
// audio thread meanwhile waits, and lands in the program current after the load.
bool DrumSynthEffect::loadBank(const persist::BankImage& bank) {
    ModelLock lock(*this);
    const int remembered = curProgram;
    for (int i = 0; i < kProgramCount; ++i) {
        LoadedName name(bank.program(i));
        takeValues(i, bank.program(i));
        setProgram(i);
        setProgramName(name.text);
    }
    setProgram(remembered);
    return true;
}

void DrumSynthEffect::loadProgramFile(const std::string& path) {
    if (!path.empty()) {
        persist::ProgramImage image(kUniqueId, kParameterCount, "");
        if (persist::loadProgramFile(image, path)) {
            settings_.programPath = path;
            LoadedName name(image);
            ModelLock lock(*this);
            setProgramName(name.text);
            takeValues(curProgram, image);
            setProgram(curProgram);
        }
    }
    updateDisplay();
}

void DrumSynthEffect::loadBankFile(const std::string& path) {
    if (!path.empty()) {
        persist::BankImage bank(kUniqueId, kProgramCount, kParameterCount);
        if (persist::loadBankFile(bank, path)) {
            settings_.programPath = path;
            loadBank(bank);
        }
    }
    updateDisplay();
}

void DrumSynthEffect::saveProgramFile(const std::string& path) {
    if (path.empty()) return;
    settings_.programPath = path;
    ModelLock lock(*this);
    char name[kProgramNameSize];
    getProgramName(name);
    persist::ProgramImage image(kUniqueId, kParameterCount, name);
    giveValues(curProgram, image);
    persist::saveProgramFile(image, path);
}

void DrumSynthEffect::saveBankFile(const std::string& path) {
    if (path.empty()) return;
    settings_.programPath = path;
    persist::BankImage bank(kUniqueId, kProgramCount, kParameterCount);
    ModelLock lock(*this);
    for (int p = 0; p < kProgramCount; ++p) {
        char name[kProgramNameSize];
        getProgramNameIndexed(0, p, name);
        bank.program(p).setName(name);
        giveValues(p, bank.program(p));
    }
    persist::saveBankFile(bank, path);
}

// Export and Import remember the path and end learning, even when the
// dialog was cancelled (an empty path, which is not remembered).
persist::ControllerMap& DrumSynthEffect::stopLearningFor(const std::string& path) {
    if (!path.empty()) settings_.midiLearnPath = path;
    currentValues_[param::kMidiLearnMode].store(0.0f, std::memory_order_relaxed);
    persist::ControllerMap& controllers = persist::ControllerMap::shared();
    controllers.setLearnMode(false);
    return controllers;
}

void DrumSynthEffect::exportMidiLearn(const std::string& path) {
    stopLearningFor(path).exportFile(path);
}

void DrumSynthEffect::importMidiLearn(const std::string& path) {
    stopLearningFor(path).importFile(path);
}

}  // namespace plugin
