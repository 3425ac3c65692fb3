// The editor's link in the VST 2 module: straight to the effect.
#pragma once

#include "editor/SynthLink.h"
#include "plugin/DrumSynthEffect.h"

namespace editor {

class VstSynthLink : public SynthLink {
public:
    explicit VstSynthLink(plugin::DrumSynthEffect& effect) : effect_(effect) {}

    float getParameter(int index) override { return effect_.getParameter(index); }
    void setParameter(int index, float value) override { effect_.setParameter(index, value); }
    void setParameterAutomated(int index, float value) override { effect_.setParameterAutomated(index, value); }
    void getParameterDisplay(int index, char* text) override { effect_.getParameterDisplay(index, text); }
    void getParameterLabel(int index, char* text) override { effect_.getParameterLabel(index, text); }

    int getProgram() override { return effect_.getProgram(); }
    void setProgram(int index) override { effect_.setProgram(index); }
    void getProgramName(char* name) override { effect_.getProgramName(name); }
    bool getProgramNameIndexed(int category, int index, char* text) override {
        return effect_.getProgramNameIndexed(category, index, text);
    }
    void setProgramName(char* name) override { effect_.setProgramName(name); }
    void stepProgram(int step) override { effect_.stepProgram(step); }
    void copyProgramToClipboard() override { effect_.copyProgramToClipboard(); }
    void pasteProgramFromClipboard() override { effect_.pasteProgramFromClipboard(); }
    void updateDisplay() override { effect_.updateDisplay(); }

    void loadProgramFile(const std::string& path) override { effect_.loadProgramFile(path); }
    void loadBankFile(const std::string& path) override { effect_.loadBankFile(path); }
    void saveProgramFile(const std::string& path) override { effect_.saveProgramFile(path); }
    void saveBankFile(const std::string& path) override { effect_.saveBankFile(path); }

    bool learning() const override { return effect_.learning(); }
    void chooseLearnMode(int position) override { effect_.chooseLearnMode(position); }
    void learnParameter(int index) override { effect_.learnParameter(index); }
    void forgetParameter(int index) override { effect_.forgetParameter(index); }
    void exportMidiLearn(const std::string& path) override { effect_.exportMidiLearn(path); }
    void importMidiLearn(const std::string& path) override { effect_.importMidiLearn(path); }

    const persist::SettingsStore& settings() const override { return effect_.settings(); }
    platform::Registry& registry() override { return effect_.registry(); }
    const std::string& registryKey() const override { return effect_.registryKey(); }
    void settingsDialogClosed() override { effect_.settingsDialogClosed(); }
    void setNoteNames(bool names) override { effect_.setNoteNames(names); }
    bool noteNames() const override { return effect_.noteNames(); }

    int outputMode() const override { return effect_.outputMode(); }
    float voiceLevel(int voice) override { return effect_.voiceLevel(voice); }
    void sizeWindow(int width, int height) override { effect_.sizeWindow(width, height); }
    void setEditorNotifications(plugin::EditorNotifications* editor) override {
        effect_.setEditorNotifications(editor);
    }
    vst::AudioEffect* vstEffect() override { return &effect_; }

private:
    plugin::DrumSynthEffect& effect_;
};

}  // namespace editor
