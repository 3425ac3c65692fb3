// The instrument as the editor sees it: its parameters, programs, files,
// MIDI learn and settings. The VST 2 module's editor reaches its effect
// directly (VstSynthLink); an editor in another process or behind another
// host interface reaches the instrument through that interface's messages.
#pragma once

#include <string>

#include "persist/SettingsStore.h"
#include "platform/Registry.h"
#include "plugin/EditorNotifications.h"

namespace vst {
class AudioEffect;
}

namespace editor {

class SynthLink {
public:
    virtual ~SynthLink() = default;

    // Parameters: the values the controls show, and the user's changes,
    // which the host records (automated) or not (a lock holding a knob).
    virtual float getParameter(int index) = 0;
    virtual void setParameter(int index, float value) = 0;
    virtual void setParameterAutomated(int index, float value) = 0;
    virtual void getParameterDisplay(int index, char* text) = 0;
    virtual void getParameterLabel(int index, char* text) = 0;

    // Programs. Names hold at most plugin::kProgramNameSize characters.
    virtual int getProgram() = 0;
    virtual void setProgram(int index) = 0;
    virtual void getProgramName(char* name) = 0;
    virtual bool getProgramNameIndexed(int category, int index, char* text) = 0;
    virtual void setProgramName(char* name) = 0;
    virtual void stepProgram(int step) = 0;
    virtual void copyProgramToClipboard() = 0;
    virtual void pasteProgramFromClipboard() = 0;
    // The host should read the programs and values again.
    virtual void updateDisplay() {}

    // The File menu's loads and saves, with a path the user chose.
    virtual void loadProgramFile(const std::string& path) = 0;
    virtual void loadBankFile(const std::string& path) = 0;
    virtual void saveProgramFile(const std::string& path) = 0;
    virtual void saveBankFile(const std::string& path) = 0;

    // MIDI learn, as the editor's menu and knobs drive it.
    virtual bool learning() const = 0;
    virtual void chooseLearnMode(int position) = 0;
    virtual void learnParameter(int index) = 0;
    virtual void forgetParameter(int index) = 0;
    virtual void exportMidiLearn(const std::string& path) = 0;
    virtual void importMidiLearn(const std::string& path) = 0;

    // Settings: read by the editor, changed through the settings dialog.
    virtual const persist::SettingsStore& settings() const = 0;
    virtual platform::Registry& registry() = 0;
    virtual const std::string& registryKey() const = 0;
    virtual void settingsDialogClosed() = 0;
    virtual void setNoteNames(bool names) = 0;
    virtual bool noteNames() const = 0;

    virtual int outputMode() const = 0;
    virtual float voiceLevel(int voice) = 0;
    // Asks the host to give the editor's window this size.
    virtual void sizeWindow(int width, int height) = 0;
    // The editor registers here for the changes it shows; null ends it.
    virtual void setEditorNotifications(plugin::EditorNotifications* editor) = 0;
    // The VST 2 effect behind the link, if any: its host idles with the editor.
    virtual vst::AudioEffect* vstEffect() { return nullptr; }

    // What this link cannot do greys out in the editor.
    virtual bool offersMidiLearn() const { return true; }
    virtual bool offersSettings() const { return true; }
};

}  // namespace editor
