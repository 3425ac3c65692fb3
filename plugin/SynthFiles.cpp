// DrumSynth: programs and banks to and from images (the factory bank,
// the File menu's commands) and MIDI learn's export and import. Paths come
// from the file selector; an empty path is a cancelled dialog.
#include <cstring>

#include "persist/ControllerMap.h"
#include "persist/FxFormats.h"
#include "plugin/DrumSynth.h"
#include "plugin/SynthThreads.h"
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

void DrumSynth::takeValues(int index, const persist::ProgramImage& image) {
    for (int i = 0; i < kParameterCount; ++i) programs_[index].values[i] = image.parameter(i);
}

void DrumSynth::giveValues(int index, persist::ProgramImage& image) const {
    for (int i = 0; i < kParameterCount; ++i) image.setParameter(i, programs_[index].values[i]);
}

// The factory bank stored in the module; without it the programs keep
// their constructed state.
void DrumSynth::loadBuiltInBank() {
    const platform::Resource resource = platform::findResource("PRESET_RESOURCE", "PRESETS");
    if (!resource.data) return;
    persist::BankImage bank(kUniqueId, kProgramCount, kParameterCount);
    if (persist::readBank(bank, resource.data, resource.size)) loadBank(bank);
}

// Under the model lock throughout: a controller's value arriving on the
// audio thread meanwhile waits, and lands in the program current after the load.
bool DrumSynth::loadBank(const persist::BankImage& bank) {
    ModelLock lock(*this);
    const int remembered = program_;
    for (int i = 0; i < kProgramCount; ++i) {
        LoadedName name(bank.program(i));
        takeValues(i, bank.program(i));
        setProgram(i);
        setProgramName(name.text);
    }
    setProgram(remembered);
    return true;
}

void DrumSynth::loadProgramFile(const std::string& path) {
    if (!path.empty()) {
        persist::ProgramImage image(kUniqueId, kParameterCount, "");
        if (persist::loadProgramFile(image, path)) {
            settings_.programPath = path;
            LoadedName name(image);
            ModelLock lock(*this);
            setProgramName(name.text);
            takeValues(program_, image);
            setProgram(program_);
        }
    }
    refreshHost();
}

void DrumSynth::loadBankFile(const std::string& path) {
    if (!path.empty()) {
        persist::BankImage bank(kUniqueId, kProgramCount, kParameterCount);
        if (persist::loadBankFile(bank, path)) {
            settings_.programPath = path;
            loadBank(bank);
        }
    }
    refreshHost();
}

void DrumSynth::saveProgramFile(const std::string& path) {
    if (path.empty()) return;
    settings_.programPath = path;
    ModelLock lock(*this);
    char name[kProgramNameSize];
    getProgramName(name);
    persist::ProgramImage image(kUniqueId, kParameterCount, name);
    giveValues(program_, image);
    persist::saveProgramFile(image, path);
}

persist::BankImage DrumSynth::bankImage() {
    persist::BankImage bank(kUniqueId, kProgramCount, kParameterCount);
    ModelLock lock(*this);
    for (int p = 0; p < kProgramCount; ++p) {
        char name[kProgramNameSize];
        getProgramNameIndexed(0, p, name);
        bank.program(p).setName(name);
        giveValues(p, bank.program(p));
    }
    return bank;
}

void DrumSynth::saveBankFile(const std::string& path) {
    if (path.empty()) return;
    settings_.programPath = path;
    persist::saveBankFile(bankImage(), path);
}

// Export and Import remember the path and end learning, even when the
// dialog was cancelled (an empty path, which is not remembered).
persist::ControllerMap& DrumSynth::stopLearningFor(const std::string& path) {
    if (!path.empty()) settings_.midiLearnPath = path;
    currentValues_[param::kMidiLearnMode].store(0.0f, std::memory_order_relaxed);
    persist::ControllerMap& controllers = persist::ControllerMap::shared();
    controllers.setLearnMode(false);
    return controllers;
}

void DrumSynth::exportMidiLearn(const std::string& path) {
    stopLearningFor(path).exportFile(path);
}

void DrumSynth::importMidiLearn(const std::string& path) {
    stopLearningFor(path).importFile(path);
}

}  // namespace plugin
