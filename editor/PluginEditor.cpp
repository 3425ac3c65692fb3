#include "editor/PluginEditor.h"

#include <cmath>
#include <cstring>
#include <algorithm>
#include <optional>

#include "editor/AboutOverlay.h"
#include "editor/CommandMenu.h"
#include "editor/EditorLayout.h"
#include "editor/EditorPictures.h"
#include "editor/EditorZoom.h"
#include "editor/FieldText.h"
#include "editor/KeyModeSwitch.h"
#include "editor/LockableKnob.h"
#include "editor/SettingsPanel.h"
#include "editor/ValueReadout.h"
#include "gui/NativeControls.h"
#include "gui/RootView.h"
#include "gui/Zoom.h"
#include "native/SettingsDialog.h"
#include "platform/Shell.h"
#include "plugin/ParameterIndex.h"
#include "plugin/ParameterText.h"
#include "product/VersionText.h"

namespace editor {
namespace {

namespace lay = layout;

constexpr int kFieldStyle = gui::ValueDisplay::k3DIn;
constexpr int kFieldFont = 6;
constexpr int kProgramMenuStyle = 0x1600;  // draws nothing, opens at its top, checks the current entry
constexpr int kCommandMenuStyle = 0x1200;  // draws nothing of its base, opens at its top
constexpr int kProgramsPerColumn = 16;
// The fields read like the displays of a drum machine: amber on near black,
// sunk into the panel.
constexpr gui::Color kFieldBack{20, 21, 24, 0};
constexpr gui::Color kFieldText{255, 184, 80, 0};
constexpr gui::Color kFieldEdge{92, 94, 100, 0};

gui::Rect toRect(const lay::Box& b) {
    return {b.left, b.top, b.right, b.bottom};
}

// The File menu's "Zoom" submenu: its entries are the zoom steps.
constexpr int kTagZoomMenu = 100;
// How long the mouse rests on a knob before its value shows, and how long a
// value turned by the wheel stays where the pointer cannot be followed.
constexpr long long kRestBeforeReadout = 500;
constexpr long long kReadoutLinger = 1500;

PluginEditor::WindowFactory& defaultWindowFactory() {
    static PluginEditor::WindowFactory factory;
    return factory;
}

}  // namespace

PluginEditor::PluginEditor(std::unique_ptr<SynthLink> link)
    : GuiEditorBase(link->vstEffect()), link_(std::move(link)), synth_(*link_), windowFactory_(defaultWindowFactory()),
      fileDialog_(&native::systemFileDialog()),
      linkOpener_([](const std::string& target) { platform::openLink(target); }) {
    readStoredZoom();
    gui::RootView::setKnobMode(gui::KnobControl::kLinearMode);
    synth_.setEditorNotifications(this);
}

// The effect is already being destroyed when it deletes its editor: nothing
// here may call it.
PluginEditor::~PluginEditor() {
    close();  // touches only the editor's own views, window and pictures
}

void PluginEditor::setDefaultWindowFactory(WindowFactory factory) {
    defaultWindowFactory() = std::move(factory);
}

int PluginEditor::sharedBackgroundReferences() {
    return editorPictureReferences();
}

void PluginEditor::takeSharedPictures() {
    shownZoom_ = zoom_;
    const EditorPictures pictures = takeEditorPictures(shownZoom_);
    background_ = pictures.background;
    aboutPicture_ = pictures.about;
    knobStrip_ = pictures.knobs;
    lightStrip_ = pictures.lights;
    switchPicture_ = pictures.keySwitch;
}

bool PluginEditor::getRect(vst::ERect** rect) {
    if (!rect) return false;
    *rect = &reported_;
    return true;
}

// The window and its views are zoom_'s size; the host is told that size
// with the extra pixel.
void PluginEditor::setZoom(int percent) {
    zoom_ = nearestZoomStep(percent);
    const double zoom = zoomFactor(zoom_);
    reported_ = {0, 0, static_cast<std::int16_t>(gui::zoomed(lay::kWindowHeight, zoom)),
                 static_cast<std::int16_t>(gui::zoomed(lay::kReportedWidth, zoom))};
    if (zoomMenu_) zoomMenu_->setCurrent(zoomStepIndex(zoom_));
}

void PluginEditor::readStoredZoom() {
    const std::optional<int> stored = storedZoom(synth_.registry(), synth_.registryKey());
    zoomChosen_ = stored.has_value();
    setZoom(stored.value_or(zoom_));
}

void PluginEditor::setScaleFactor(float factor) {
    if (zoomChosen_ || std::isnan(factor)) return;
    setZoom(nearestZoomStep(factor * 100.0));
}

void PluginEditor::chooseZoom(int percent) {
    zoomChosen_ = true;
    setZoom(percent);
    storeZoom(synth_.registry(), synth_.registryKey(), zoom_);
}

// A new zoom reaches the open window at an idle outside any drag or open
// menu: the views are built again at the new size, the window follows, and
// the host is asked to make room.
void PluginEditor::applyZoom() {
    if (!open_ || zoom_ == shownZoom_ || dragging_ >= 0) return;
    if (gui::Widget* editing = root_->editView(); dynamic_cast<gui::PopupMenuControl*>(editing)) return;
    root_->setEditView(nullptr);  // text being typed is taken as entered
    const gui::Rect window = gui::zoomed(viewArea(), zoomFactor(zoom_));
    const int width = window.width(), height = window.height();
    // A window that cannot change its size is made again.
    if (window_ && !window_->resize(width, height)) {
        window_.reset();
        window_ = windowFactory_ ? windowFactory_(parent_, width, height) : nullptr;
    }
    closeViews();
    releaseSharedPictures();
    takeSharedPictures();
    buildViews();
    if (synth_.getParameter(plugin::param::kMidiLearnMode) > 0.5f) learnMenu_->setCurrent(kLearnOn);
    synth_.sizeWindow(reported_.right, reported_.bottom);
}

gui::Rect PluginEditor::windowArea() const {
    return gui::zoomed(viewArea(), zoomFactor(shownZoom_));
}

// The window in view pixels: the background picture's size, or the
// layout's where the picture is missing.
gui::Rect PluginEditor::viewArea() const {
    const int width = background_ && background_->width() > 0 ? background_->width() : lay::kWindowWidth;
    const int height = background_ && background_->height() > 0 ? background_->height() : lay::kWindowHeight;
    return {0, 0, width, height};
}

bool PluginEditor::open(void* parentWindow) {
    if (!parentWindow) return false;
    if (open_) close();

    readStoredZoom();
    takeSharedPictures();
    const double zoom = zoomFactor(zoom_);
    if (windowFactory_) {
        const gui::Rect window = gui::zoomed(viewArea(), zoom);
        window_ = windowFactory_(parentWindow, window.width(), window.height());
        // No window system to show it in, or no such parent window.
        if (!window_) {
            releaseSharedPictures();
            return false;
        }
    }
    GuiEditorBase::open(parentWindow);
    windowThread_ = std::this_thread::get_id();
    buildViews();
    return true;
}

void PluginEditor::buildViews() {
    volumesLocked_ = synth_.settings().volumeLock;
    auto* root = new gui::RootView(viewArea(), this, window_.get(), zoomFactor(shownZoom_));
    root->setBackground(background_);
    setRootView(root);
    open_ = true;

    addAbout();
    for (int voice = 0; voice < lay::kVoiceCount; ++voice)
        buildVoiceColumn(voice, knobStrip_, lightStrip_, switchPicture_);
    buildTopBar();

    if (synth_.outputMode() == plugin::kTenMono)
        for (int voice = 0; voice < lay::kVoiceCount; ++voice) lockKnob(plugin::param::panOf(voice), true);
    lockVolumes(volumesLocked_);
    readout_ = new ValueReadout(root->size());
    root_->addChild(readout_);  // last: over every control
    root->redraw();
}

void PluginEditor::addAbout() {
    gui::Bitmap* picture = aboutPicture_;
    const int width = root_->size().width(), height = root_->size().height();
    const int left = width / 2 - picture->width() / 2, top = height / 2 - picture->height() / 2;
    const gui::Rect display{left, top, left + picture->width(), top + picture->height()};
    about_ = new AboutOverlay(toRect(lay::kAboutArea), this, lay::kTagDisplayOnly, picture, display, {0, 0}, {0, 12},
                              72, [this](const std::string& target) {
                                  if (linkOpener_) linkOpener_(target);
                              });
    about_->addLine(std::string("Version ") + product::kVersionText);
    about_->addLine("\n");
    about_->addLine("\xA9 2026 <Vokwerk;https://vokwerk.example/>");
    about_->addLine("\n");
    about_->addLine("Development: <Vokwerk;https://vokwerk.example/tamborik>");
    about_->addLine("Programming: <The Tamborik team;https://vokwerk.example/team>");
    about_->addLine("Design/Graphics: <Vokwerk Studio;https://vokwerk.example/studio>");
    about_->addLine("");
    about_->addLine("VST Plug-In Technology by Steinberg");
    root_->addChild(about_);
}

gui::TextField* PluginEditor::addField(const gui::Rect& rect, int tag, const std::string& text) {
    auto* field = new gui::TextField(rect, this, tag, text, nullptr, kFieldStyle);
    field->setFont(kFieldFont);
    field->setAlignment(gui::kAlignCenter);
    field->setBackColor(kFieldBack);
    field->setFontColor(kFieldText);
    field->setFrameColor(kFieldEdge);
    root_->addChild(field);
    return field;
}

void PluginEditor::buildVoiceColumn(int voice, gui::Bitmap* knobs, gui::Bitmap* lights, gui::Bitmap* switches) {
    const int channel = lay::kChannelParameter[voice];
    gui::TextField* channelField =
        addField(toRect(lay::channelFieldBox(voice)), channel, channelText(synth_.getParameter(channel)));
    channelField->setValue(synth_.getParameter(channel));
    channelFields_[channel] = channelField;

    auto addNoteField = [&](const lay::Box& box, int parameter) {
        const float value = synth_.getParameter(parameter);
        gui::TextField* field = addField(toRect(box), parameter, noteFieldText(value, noteNames_));
        field->setValue(value);
        noteFields_[parameter] = field;
    };
    addNoteField(lay::noteFieldBox(voice), lay::kNoteParameter[voice]);
    if (voice == plugin::kHihat) addNoteField(lay::openHihatNoteFieldBox(), lay::kOpenHihatNoteParameter);

    const int frameHeight = knobs->height() / lay::kKnobFrames;
    for (std::size_t i = 0; i < lay::kKnobCount; ++i) {
        const lay::KnobCell& cell = lay::kKnobs[i];
        if (cell.voice != voice) continue;
        const float lockValue = cell.row == 1 ? lay::kVolumeLockValue : lay::kPanLockValue;
        auto* knob = new LockableKnob(synth_, toRect(lay::knobBox(voice, cell.row, knobs->width(), frameHeight)), this,
                                      cell.parameter, lay::kKnobFrames, frameHeight, knobs, lockValue);
        knob->setDefaultValue(cell.defaultValue);
        knob->setValue(synth_.getParameter(cell.parameter));
        knob->setTransparency(true);
        root_->addChild(knob);
        parameterControls_[cell.parameter] = knob;
        lockableKnobs_[cell.parameter] = knob;
    }

    if (const int keyMode = lay::kKeyModeParameter[voice]; keyMode >= 0) {
        auto* toggle = new KeyModeSwitch(toRect(lay::switchBox(voice, switches->width(), switches->height())), this,
                                         keyMode, switches,
                                         toRect(lay::switchHitArea(switches->width(), switches->height())));
        toggle->setValue(synth_.getParameter(keyMode));
        toggle->setTransparency(true);
        root_->addChild(toggle);
        parameterControls_[keyMode] = toggle;
    }

    auto* light = new gui::StripDisplay(toRect(lay::levelLightBox(voice, lights->width(), lights->height())),
                                        lay::kLevelLightFrames, lights->height() / lay::kLevelLightFrames, lights);
    light->setTag(lay::kTagDisplayOnly);
    light->setTransparency(true);
    light->setValue(0.0f);
    root_->addChild(light);
    lights_[voice] = light;
}

void PluginEditor::buildTopBar() {
    char name[plugin::kProgramNameSize + 1] = {};
    synth_.getProgramName(name);
    programName_ = addField(toRect(lay::kProgramNameField), lay::kTagProgramName, name);
    programName_->setStyle(0);
    programName_->setFrameColor(kFieldBack);
    programName_->setValue(0.0f);

    fileMenu_ = new CommandMenu(toRect(lay::kFileMenuButton), this, lay::kTagFileMenu, false, "File", kCommandMenuStyle);
    for (const char* entry : {"Load Program", "Load Bank", "Save Program", "Save Bank", "Copy Program",
                              "Paste Program"})
        fileMenu_->addEntry(entry);
    // What the link cannot do stays in its menu, greyed.
    fileMenu_->addEntry(synth_.offersSettings() ? "Settings" : "-GSettings");
    zoomMenu_ = new gui::PopupMenuControl(toRect(lay::kFileMenuButton), this, kTagZoomMenu, nullptr, nullptr,
                                          gui::PopupMenuControl::kCheckCurrent);
    for (int step : kZoomSteps) zoomMenu_->addEntry(std::to_string(step) + " %");
    zoomMenu_->setCurrent(zoomStepIndex(zoom_));
    fileMenu_->addSubmenu(zoomMenu_, "Zoom");
    zoomMenu_->release();  // the File menu holds it
    root_->addChild(fileMenu_);

    programMenu_ = new gui::PopupMenuControl(toRect(lay::kProgramMenuButton), this, lay::kTagProgramMenu, nullptr,
                                             nullptr, kProgramMenuStyle);
    programMenu_->setFont(kFieldFont);
    programMenu_->setEntriesPerColumn(kProgramsPerColumn);
    for (int i = 0; i < plugin::kProgramCount; ++i) {
        char entry[plugin::kProgramNameSize + 1] = {};
        synth_.getProgramNameIndexed(0, i, entry);
        programMenu_->addEntry(entry, i);
    }
    programMenu_->setCurrent(synth_.getProgram());
    root_->addChild(programMenu_);

    previousProgram_ = new gui::ToggleButton(toRect(lay::kPreviousProgramButton), this, lay::kTagPreviousProgram, nullptr);
    nextProgram_ = new gui::ToggleButton(toRect(lay::kNextProgramButton), this, lay::kTagNextProgram, nullptr);
    root_->addChild(previousProgram_);
    root_->addChild(nextProgram_);

    learnMenu_ = new CommandMenu(toRect(lay::kMidiLearnMenuButton), this, lay::kTagMidiLearnMenu, true, "",
                                 kCommandMenuStyle);
    for (const char* entry : {"Off", "On", "Export", "Import", "Reset"})
        learnMenu_->addEntry(synth_.offersMidiLearn() || entry[1] == 'f' ? std::string(entry) : std::string("-G") + entry);
    learnMenu_->setCurrent(kLearnOff);
    root_->addChild(learnMenu_);
}

void PluginEditor::close() {
    if (!open_) return;
    closeViews();
    GuiEditorBase::close();
    window_.reset();
    releaseSharedPictures();
    for (auto& flag : pending_) flag.store(false);
    pendingLearn_.store(false);
    pendingProgram_.store(false);
    pendingRename_.store(false);
    anyPending_.store(false);
}

void PluginEditor::closeViews() {
    open_ = false;
    dragging_ = -1;
    if (settings_) {
        settings_->release();
        settings_ = nullptr;
    }
    parameterControls_.clear();
    channelFields_.clear();
    noteFields_.clear();
    lockableKnobs_.clear();
    lights_.fill(nullptr);
    programName_ = nullptr;
    programMenu_ = nullptr;
    previousProgram_ = nullptr;
    nextProgram_ = nullptr;
    fileMenu_ = nullptr;
    learnMenu_ = nullptr;
    zoomMenu_ = nullptr;
    about_ = nullptr;
    readout_ = nullptr;
    hoveredKnob_ = -1;
    setRootView(nullptr);
}

void PluginEditor::releaseSharedPictures() {
    if (!background_) return;
    releaseEditorPictures(shownZoom_);
    background_ = aboutPicture_ = knobStrip_ = lightStrip_ = switchPicture_ = nullptr;
}

gui::Control* PluginEditor::parameterControl(int index) const {
    const auto found = parameterControls_.find(index);
    return found == parameterControls_.end() ? nullptr : found->second;
}

gui::TextField* PluginEditor::channelField(int index) const {
    const auto found = channelFields_.find(index);
    return found == channelFields_.end() ? nullptr : found->second;
}

gui::TextField* PluginEditor::noteField(int index) const {
    const auto found = noteFields_.find(index);
    return found == noteFields_.end() ? nullptr : found->second;
}

void PluginEditor::idle() {
    if (!open_) return;
    if (window_) window_->handleEvents(*this);
    applyZoom();
    if (!open_) return;
    applyPendingChanges();
    followHover();
    for (int voice = 0; voice < plugin::kVoiceCount; ++voice)
        if (lights_[voice]) lights_[voice]->setValue(synth_.voiceLevel(voice));
    GuiEditorBase::idle();
}

bool PluginEditor::onKeyDown(vst::VstKeyCode& key) {
    if (!open_ || !root_) return false;
    // Text being edited and the settings panel take the keys first.
    if (root_->editView() || root_->modalView()) return root_->keyDown(key) != -1;
    if (key.modifier != gui::kModifierControl) return false;
    const int letter = key.character;
    if (letter == 'c' || letter == 'C') {
        synth_.copyProgramToClipboard();
        return true;
    }
    if (letter == 'v' || letter == 'V') {
        synth_.pasteProgramFromClipboard();
        return true;
    }
    return false;
}

bool PluginEditor::onKeyUp(vst::VstKeyCode& key) {
    return open_ && GuiEditorBase::onKeyUp(key);
}

// Off the window's thread a change only raises its flag for the next idle.
bool PluginEditor::deferred(std::atomic<bool>& flag) {
    if (std::this_thread::get_id() == windowThread_) return false;
    flag.store(true);
    anyPending_.store(true);
    return true;
}

void PluginEditor::parameterChanged(int index, float /*value: the controls show the effect's own*/) {
    if (!open_ || !plugin::param::isHostVisible(index) || deferred(pending_[static_cast<std::size_t>(index)])) return;
    showParameter(index);
    postUpdate();
}

void PluginEditor::learnModeChanged(bool on) {
    if (!open_) return;
    pendingLearnOn_.store(on);
    if (deferred(pendingLearn_)) return;
    showLearnMode(on);
    postUpdate();
}

void PluginEditor::programChanged() {
    if (!open_ || deferred(pendingProgram_)) return;
    refreshProgram();
    postUpdate();
}

void PluginEditor::programRenamed() {
    if (!open_ || deferred(pendingRename_)) return;
    showProgramName();
    postUpdate();
}

void PluginEditor::refreshProgramNames() {
    if (!open_ || std::this_thread::get_id() != windowThread_) return;
    for (int i = 0; i < plugin::kProgramCount; ++i) {
        char entry[plugin::kProgramNameSize + 1] = {};
        synth_.getProgramNameIndexed(0, i, entry);
        programMenu_->setEntryText(i, entry);
    }
    refreshProgram();
    postUpdate();
}

void PluginEditor::applyPendingChanges() {
    if (!anyPending_.exchange(false)) return;
    for (std::size_t index = 0; index < pending_.size(); ++index)
        if (pending_[index].exchange(false)) showParameter(static_cast<int>(index));
    if (pendingLearn_.exchange(false)) showLearnMode(pendingLearnOn_.load());
    if (pendingRename_.exchange(false)) showProgramName();
    if (pendingProgram_.exchange(false)) refreshProgram();
    postUpdate();
}

void PluginEditor::showParameter(int index) {
    if (gui::Control* control = parameterControl(index)) {
        control->setValue(synth_.getParameter(index));
        return;
    }
    if (gui::TextField* field = channelField(index)) {
        const float v = synth_.getParameter(index);
        field->setValue(v);
        field->setText(channelText(v));
        return;
    }
    if (gui::TextField* field = noteField(index)) {
        const float v = synth_.getParameter(index);
        field->setValue(v);
        field->setText(noteFieldText(v, noteNames_));
    }
}

void PluginEditor::showLearnMode(bool on) {
    learnMenu_->setCurrent(on ? kLearnOn : kLearnOff);
    learnMenu_->setDirty(true);
}

void PluginEditor::showProgramName() {
    const int kept = programMenu_->current();
    const int current = synth_.getProgram();
    char name[plugin::kProgramNameSize + 1] = {};
    synth_.getProgramName(name);
    programMenu_->removeEntry(current);
    programMenu_->addEntry(name, current);
    programMenu_->setCurrent(kept);
    programName_->setText(name);
}

void PluginEditor::refreshProgram() {
    char name[plugin::kProgramNameSize + 1] = {};
    synth_.getProgramName(name);
    programName_->setText(name);
    programMenu_->setCurrent(synth_.getProgram());
    programMenu_->setDirty(true);
}

void PluginEditor::controlChanged(gui::Surface*, gui::Control* control) {
    if (!open_ || !control) return;
    const int tag = control->tag();
    if (parameterControls_.count(tag)) {
        synth_.setParameterAutomated(tag, control->value());
        control->setDirty(true);
        // Dragged, or turned by the wheel or the keys.
        if (lockableKnobs_.count(tag)) {
            showReadout(tag);
            if (dragging_ < 0 && root_->input()) turnedAt_ = root_->input()->ticks();
        }
        return;
    }
    if (gui::TextField* field = channelField(tag); field == control) {
        const float v = channelValue(field->getText());
        field->setValue(v);
        synth_.setParameterAutomated(tag, v);
        field->setDirty(true);
        return;
    }
    if (gui::TextField* field = noteField(tag); field == control) {
        const TypedNote typed = readNote(field->getText());
        if (typed.isName != noteNames_) switchNoteNames(typed.isName);
        field->setValue(typed.value);
        synth_.setParameterAutomated(tag, typed.value);
        field->setDirty(true);
        return;
    }
    switch (tag) {
    case kTagZoomMenu:
        if (control == zoomMenu_) chooseZoom(kZoomSteps[std::clamp(zoomMenu_->current(), 0, kZoomStepCount - 1)]);
        return;
    case lay::kTagMidiLearnMenu:
        if (control == learnMenu_) {
            const int command = learnMenu_->current();
            learnMenu_->setCurrent(kLearnOff);
            runLearnCommand(command);
        }
        return;
    case lay::kTagProgramMenu:
        synth_.setProgram(programMenu_->current());
        refreshProgram();
        synth_.updateDisplay();
        return;
    case lay::kTagPreviousProgram:
    case lay::kTagNextProgram:
        synth_.stepProgram(tag == lay::kTagPreviousProgram ? -1 : 1);
        control->setDirty(true);
        return;
    case lay::kTagProgramName: {
        std::string text = programName_->getText();
        synth_.setProgramName(text.data());
        programName_->setDirty(true);
        synth_.updateDisplay();
        return;
    }
    case lay::kTagFileMenu:
        if (control == fileMenu_) {
            const int command = fileMenu_->current();
            fileMenu_->setCurrent(kLoadProgram);
            runFileCommand(command);
            if (fileMenu_) fileMenu_->setDirty(true);
        }
        return;
    default:
        return;
    }
}

std::string PluginEditor::chooseFile(bool save, const char* extension, const std::string& startPath,
                                     const std::string& proposedName) {
    if (!fileDialog_) return {};
    native::FileRequest request;
    request.save = save;
    request.extension = extension;
    request.startPath = startPath;
    request.proposedName = proposedName;
    request.owner = dialogOwner();
    return fileDialog_->choose(request);
}

// The editor's own native window where it has one, else the host's.
void* PluginEditor::dialogOwner() const {
    gui::NativeControls* native = window_ ? window_->nativeControls() : nullptr;
    return native ? native->windowHandle() : parent_;
}

void PluginEditor::runLearnCommand(int command) {
    if (!synth_.offersMidiLearn()) return;
    if (command == kLearnExport)
        synth_.exportMidiLearn(chooseFile(true, "ccm", synth_.settings().midiLearnPath));
    else if (command == kLearnImport)
        synth_.importMidiLearn(chooseFile(false, "ccm", synth_.settings().midiLearnPath));
    synth_.chooseLearnMode(command);
    if (learnMenu_) learnMenu_->setDirty(true);
}

void PluginEditor::runFileCommand(int command) {
    const std::string& programPath = synth_.settings().programPath;
    switch (command) {
    case kLoadProgram:
        if (const std::string path = chooseFile(false, "fxp", programPath); !path.empty()) synth_.loadProgramFile(path);
        break;
    case kLoadBank:
        if (const std::string path = chooseFile(false, "fxb", programPath); !path.empty()) synth_.loadBankFile(path);
        break;
    case kSaveProgram: {
        char name[plugin::kProgramNameSize + 1] = {};
        synth_.getProgramName(name);
        if (const std::string path = chooseFile(true, "fxp", programPath, name); !path.empty())
            synth_.saveProgramFile(path);
        break;
    }
    case kSaveBank:
        if (const std::string path = chooseFile(true, "fxb", programPath); !path.empty()) synth_.saveBankFile(path);
        break;
    case kCopyProgram:
        synth_.copyProgramToClipboard();
        break;
    case kPasteProgram:
        synth_.pasteProgramFromClipboard();
        break;
    case kSettings:
        openSettings();
        break;
    default:
        break;
    }
}

void PluginEditor::openSettings() {
    if (settings_ || !root_ || !synth_.offersSettings()) return;
    // The platform's own dialog where it has one, else the panel in the window.
    if (const std::optional<bool> accepted =
            native::runSettingsDialog(dialogOwner(), synth_.registry(), synth_.registryKey())) {
        settingsClosed(*accepted);
        return;
    }
    settings_ = new SettingsPanel(root_->size(), synth_.registry(), synth_.registryKey(),
                                  [this](bool accepted) { settingsClosed(accepted); });
    if (!root_->setModalView(settings_)) {
        settings_->release();
        settings_ = nullptr;
        return;
    }
    root_->redraw();
}

void PluginEditor::settingsClosed(bool accepted) {
    if (settings_) {
        settings_->release();
        settings_ = nullptr;
    }
    if (!accepted || !open_) return;
    synth_.settingsDialogClosed();
    volumesLocked_ = synth_.settings().volumeLock;
    lockVolumes(volumesLocked_);
    postUpdate();
    if (root_) root_->redraw();
}

void PluginEditor::lockKnob(int index, bool on) {
    const auto found = lockableKnobs_.find(index);
    if (found != lockableKnobs_.end()) found->second->setLocked(on);
}

void PluginEditor::lockVolumes(bool on) {
    for (int voice = 0; voice < plugin::kVoiceCount; ++voice) lockKnob(plugin::param::volumeOf(voice), on);
}

void PluginEditor::switchNoteNames(bool names) {
    noteNames_ = names;
    for (auto& [index, field] : noteFields_) field->setText(noteFieldText(synth_.getParameter(index), names));
    synth_.setNoteNames(names);
}

int PluginEditor::zoomStepIndex(int percent) {
    for (int i = 0; i < kZoomStepCount; ++i)
        if (kZoomSteps[i] == percent) return i;
    return 0;
}

void PluginEditor::beginEdit(int index) {
    dragging_ = index;
    if (open_ && lockableKnobs_.count(index)) showReadout(index);
    GuiEditorBase::beginEdit(index);
}

void PluginEditor::endEdit(int index) {
    dragging_ = -1;
    if (readout_) readout_->hide();
    hoveredKnob_ = -1;  // resting on the knob again starts the wait anew
    GuiEditorBase::endEdit(index);
}

// The parameter as the host shows it, under the knob's own name.
void PluginEditor::showReadout(int parameter) {
    if (!readout_ || parameter < 0 || parameter >= plugin::kParameterCount) return;
    const gui::Control* knob = parameterControl(parameter);
    if (!knob) return;
    std::string name;
    for (std::size_t i = 0; i < lay::kKnobCount; ++i)
        if (lay::kKnobs[i].parameter == parameter) name = lay::kKnobs[i].name;
    char display[64] = {}, label[64] = {};
    synth_.getParameterDisplay(parameter, display);
    synth_.getParameterLabel(parameter, label);
    std::string text = name + " " + display;
    if (label[0]) text += std::string(" ") + label;
    readout_->show(parameter, knob->size(), text);
}

// Between drags: the readout of the knob the mouse has rested on for half a
// second, or has turned with the wheel, until the mouse leaves it.
void PluginEditor::followHover() {
    gui::InputSource* input = root_ ? root_->input() : nullptr;
    if (!readout_ || !input || dragging_ >= 0) return;
    gui::Point where;
    const bool tracked = input->hoverLocation(&where);
    const bool typing = dynamic_cast<gui::TextField*>(root_->editView()) != nullptr;
    int knob = -1;
    if (tracked && !typing && !root_->modalView())
        for (const auto& [parameter, control] : lockableKnobs_)
            if (control->size().contains(where)) knob = parameter;
    const long long now = input->ticks();
    if (knob != hoveredKnob_) {
        hoveredKnob_ = knob;
        hoverSince_ = now;
    }
    if (readout_->shown()) {
        // Where the pointer cannot be followed, a wheel's readout goes after a while.
        const bool left = tracked ? readout_->parameter() != knob : now - turnedAt_ > kReadoutLinger;
        if (!left) {
            showReadout(readout_->parameter());  // the value may have changed
            return;
        }
        readout_->hide();
    }
    if (knob >= 0 && now - hoverSince_ >= kRestBeforeReadout) showReadout(knob);
}

}  // namespace editor
