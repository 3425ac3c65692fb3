// DrumSynthEffect: the File menu's program and bank commands and MIDI learn's
// export and import. Paths come from the file selector; an empty path is a
// cancelled dialog.
#include <cstring>

#include "persist/ControllerMap.h"
#include "persist/FxFormats.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/ParameterIndex.h"

namespace plugin {
namespace {

// A loaded name as setProgramName receives it: at most 27 characters.
void nameFromImage(const persist::ProgramImage& image, char (&name)[28]) {
    std::memset(name, 0, sizeof(name));
    image.name().copy(name, 27);
}

}  // namespace

void DrumSynthEffect::loadProgramFile(const std::string& path) {
    if (!path.empty()) {
        persist::ProgramImage image(kUniqueId, kParameterCount, "");
        if (persist::loadProgramFile(image, path)) {
            settings_.programPath = path;
            char name[28];
            nameFromImage(image, name);
            setProgramName(name);
            for (int i = 0; i < kParameterCount; ++i) programs_[curProgram].values[i] = image.parameter(i);
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
    char name[kProgramNameSize];
    getProgramName(name);
    persist::ProgramImage image(kUniqueId, kParameterCount, name);
    for (int i = 0; i < kParameterCount; ++i) image.setParameter(i, programs_[curProgram].values[i]);
    persist::saveProgramFile(image, path);
}

void DrumSynthEffect::saveBankFile(const std::string& path) {
    if (path.empty()) return;
    settings_.programPath = path;
    persist::BankImage bank(kUniqueId, kProgramCount, kParameterCount);
    for (int p = 0; p < kProgramCount; ++p) {
        char name[kProgramNameSize];
        getProgramNameIndexed(0, p, name);
        bank.program(p).setName(name);
        for (int i = 0; i < kParameterCount; ++i) bank.program(p).setParameter(i, programs_[p].values[i]);
    }
    persist::saveBankFile(bank, path);
}

// Export and Import remember the path and end learning, even when the
// dialog was cancelled.
persist::ControllerMap& DrumSynthEffect::stopLearningFor(const std::string& path) {
    settings_.midiLearnPath = path;
    currentValues_[param::kMidiLearnMode] = 0.0f;
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
