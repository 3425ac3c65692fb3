// The plug-in's window: a column of knobs, fields, a Key Mode switch and an
// activity light for each of the ten voices, the program bar with the File
// and MIDI-learn menus, the about box and the settings panel. Everything the
// user changes goes to the effect as a parameter or one of its operations;
// everything the effect changes comes back through its notifications.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "gui/GuiEditorBase.h"
#include "gui/PopupMenuControl.h"
#include "gui/SimpleControls.h"
#include "gui/TextField.h"
#include "gui/WindowPort.h"
#include "native/FileDialog.h"
#include "editor/SynthLink.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/EditorNotifications.h"

namespace editor {

class AboutOverlay;
class CommandMenu;
class LockableKnob;
class SettingsPanel;
class ValueReadout;

class PluginEditor : public gui::GuiEditorBase, public gui::ControlListener, public plugin::EditorNotifications {
public:
    // Makes the native window inside the host's parent window; null leaves
    // the editor drawing into pixels no one shows.
    using WindowFactory = std::function<std::unique_ptr<gui::WindowPort>(void* parent, int width, int height)>;
    using LinkOpener = std::function<void(const std::string& target)>;

    // The VST 2 module's editor, on its effect.
    explicit PluginEditor(plugin::DrumSynthEffect& effect);
    // An editor on any link to the instrument.
    explicit PluginEditor(std::unique_ptr<SynthLink> link);
    ~PluginEditor() override;

    // The host's editor requests.
    bool getRect(vst::ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;
    bool onKeyDown(vst::VstKeyCode& key) override;
    bool onKeyUp(vst::VstKeyCode& key) override;

    // The host's display scale (1 = 100 %): sets the zoom, to the nearest
    // step, while the user has chosen none.
    void setScaleFactor(float factor) override;
    // The user's choice from the Zoom menu, a percentage: stored in the
    // settings for every editor opened from now on.
    void chooseZoom(int percent);
    int zoom() const { return zoom_; }
    // The window's size in pixels at the zoom shown (hosts are told one more
    // in width through getRect).
    gui::Rect windowArea() const;
    void beginEdit(int index) override;
    void endEdit(int index) override;

    void parameterChanged(int index, float value) override;
    void learnModeChanged(bool on) override;
    void programChanged() override;
    void programRenamed() override;
    // Every program's name may have changed: the program menu reads them again.
    void refreshProgramNames();
    void controlChanged(gui::Surface* surface, gui::Control* control) override;
    void lockKnob(int index, bool on);
    void setNoteNames(bool names) { noteNames_ = names; }
    bool noteNames() const { return noteNames_; }
    bool isOpen() const { return open_; }

    // The platform services the editor uses; tests hand in stand-ins.
    static void setDefaultWindowFactory(WindowFactory factory);
    void setWindowFactory(WindowFactory factory) { windowFactory_ = std::move(factory); }
    void setFileDialog(native::FileDialog* dialog) { fileDialog_ = dialog; }
    void setLinkOpener(LinkOpener opener) { linkOpener_ = std::move(opener); }

    // The controls while the window is open, for tests and the snapshot tool.
    gui::Control* parameterControl(int index) const;
    gui::TextField* channelField(int index) const;
    gui::TextField* noteField(int index) const;
    gui::StripDisplay* levelLight(int voice) const { return open_ ? lights_[voice] : nullptr; }
    gui::TextField* programNameField() const { return programName_; }
    gui::PopupMenuControl* programMenu() const { return programMenu_; }
    CommandMenu* fileMenu() const { return fileMenu_; }
    gui::PopupMenuControl* zoomMenu() const { return zoomMenu_; }
    CommandMenu* midiLearnMenu() const { return learnMenu_; }
    AboutOverlay* aboutOverlay() const { return about_; }
    SettingsPanel* settingsPanel() const { return settings_; }
    ValueReadout* valueReadout() const { return readout_; }
    // References held on the picture all open editors share; 0 when none is open.
    static int sharedBackgroundReferences();

    enum FileCommand : int {
        kLoadProgram = 0,
        kLoadBank,
        kSaveProgram,
        kSaveBank,
        kCopyProgram,
        kPasteProgram,
        kSettings,
    };
    enum LearnCommand : int { kLearnOff = 0, kLearnOn, kLearnExport, kLearnImport, kLearnReset };

private:
    void buildVoiceColumn(int voice, gui::Bitmap* knobs, gui::Bitmap* lights, gui::Bitmap* switches);
    void buildTopBar();
    void addAbout();
    gui::TextField* addField(const gui::Rect& rect, int tag, const std::string& text);
    bool deferred(std::atomic<bool>& flag);
    void applyPendingChanges();
    void showParameter(int index);
    void showLearnMode(bool on);
    void showProgramName();
    void refreshProgram();
    void switchNoteNames(bool names);
    void lockVolumes(bool on);
    void runFileCommand(int command);
    void runLearnCommand(int command);
    void openSettings();
    void settingsClosed(bool accepted);
    void* dialogOwner() const;
    std::string chooseFile(bool save, const char* extension, const std::string& startPath,
                           const std::string& proposedName = {});
    void takeSharedPictures();
    void releaseSharedPictures();
    gui::Rect viewArea() const;
    void buildViews();
    void closeViews();
    void setZoom(int percent);
    void readStoredZoom();
    void applyZoom();
    static int zoomStepIndex(int percent);
    void showReadout(int parameter);
    void followHover();

    std::unique_ptr<SynthLink> link_;
    SynthLink& synth_;
    vst::ERect reported_{};
    bool noteNames_ = true;
    bool volumesLocked_ = false;
    bool open_ = false;
    int zoom_ = 100;         // percent the next window shows
    int shownZoom_ = 100;    // percent of the pictures and views in use
    bool zoomChosen_ = false;  // the user picked one (now or before): the host's scale no longer applies
    int dragging_ = -1;      // the parameter a control is tracking the mouse for

    std::array<gui::StripDisplay*, plugin::kVoiceCount> lights_{};
    std::map<int, gui::Control*> parameterControls_;
    std::map<int, gui::TextField*> channelFields_;
    std::map<int, gui::TextField*> noteFields_;
    std::map<int, LockableKnob*> lockableKnobs_;
    gui::TextField* programName_ = nullptr;
    gui::PopupMenuControl* programMenu_ = nullptr;
    gui::ToggleButton* previousProgram_ = nullptr;
    gui::ToggleButton* nextProgram_ = nullptr;
    CommandMenu* fileMenu_ = nullptr;
    gui::PopupMenuControl* zoomMenu_ = nullptr;
    CommandMenu* learnMenu_ = nullptr;
    AboutOverlay* about_ = nullptr;
    SettingsPanel* settings_ = nullptr;
    ValueReadout* readout_ = nullptr;
    int hoveredKnob_ = -1;        // the knob under the resting mouse
    long long hoverSince_ = 0;    // since when, in the input's ticks
    long long turnedAt_ = -1000000;  // the last wheel or key turn
    // The pictures all open editors share, while this one is open.
    gui::Bitmap* background_ = nullptr;
    gui::Bitmap* aboutPicture_ = nullptr;
    gui::Bitmap* knobStrip_ = nullptr;
    gui::Bitmap* lightStrip_ = nullptr;
    gui::Bitmap* switchPicture_ = nullptr;

    // Changes announced from another thread (the host's audio thread) are
    // applied at the next idle on the window's thread.
    std::thread::id windowThread_;
    std::array<std::atomic<bool>, plugin::kParameterCount> pending_{};
    std::atomic<bool> pendingLearn_{false};
    std::atomic<bool> pendingLearnOn_{false};
    std::atomic<bool> pendingProgram_{false};
    std::atomic<bool> pendingRename_{false};
    std::atomic<bool> anyPending_{false};

    WindowFactory windowFactory_;
    std::unique_ptr<gui::WindowPort> window_;
    native::FileDialog* fileDialog_ = nullptr;
    LinkOpener linkOpener_;
};

// The editor every instance of the module gets.
vst::AEffEditor* createPluginEditor(plugin::DrumSynthEffect& effect);

}  // namespace editor
