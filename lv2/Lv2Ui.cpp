// The LV2 plug-ins' editor: the VST 2 module's editor in an X11 child of the
// host's window, run by the host's idle calls. Knobs and fields write the
// control ports and follow them; programs, their names and the File menu's
// commands go to the plug-in as messages through its MIDI port, and its
// answers (names, current program, values, the voices' activity) come back
// through its notify port. MIDI learn and the settings dialog belong to
// the VST 2 module and are greyed here.
#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "editor/PluginEditor.h"
#include "editor/SynthLink.h"
#include "lv2/Lv2Messages.h"
#include "lv2/Lv2Ports.h"
#include "native/X11Window.h"
#include "plugin/ParameterIndex.h"
#include "plugin/ParameterText.h"

namespace {

using lv2port::kControls;

using UiUris = lv2port::MessageUris;

// The floats of an atom:Vector of atom:Float, or none.
const float* floatsOf(const LV2_Atom& atom, const UiUris& uris, std::uint32_t* count) {
    *count = 0;
    if (atom.type != uris.vector || atom.size < sizeof(LV2_Atom_Vector_Body)) return nullptr;
    const auto* body = reinterpret_cast<const LV2_Atom_Vector_Body*>(&atom + 1);
    if (body->child_type != uris.atomFloat || body->child_size != sizeof(float)) return nullptr;
    *count = (atom.size - sizeof(LV2_Atom_Vector_Body)) / sizeof(float);
    return reinterpret_cast<const float*>(body + 1);
}

// The editor's view of the plug-in: the values, names and current program
// it last heard of, changed by the user through port writes and messages.
class Lv2Link : public editor::SynthLink {
public:
    Lv2Link(const lv2port::Variant& variant, LV2UI_Write_Function write, LV2UI_Controller controller,
            LV2_URID_Map& map, const LV2UI_Resize* resize)
        : variant_(variant), write_(write), controller_(controller), resize_(resize), uris_(map),
          settings_(platform::processRegistry()) {
        settings_.setKeyPath(registryKey_);
        settings_.load();
        noteNames_ = settings_.noteNames;
        lv2_atom_forge_init(&forge_, &map);
    }

    // What the host tells of a port. True when the programs' names came.
    bool portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
        if (!buffer) return false;
        if (format == 0 && size == sizeof(float) && port >= lv2port::kFirstControlPort &&
            port < static_cast<std::uint32_t>(lv2port::kFirstAudioPort)) {
            const int parameter = kControls.parameter[port - lv2port::kFirstControlPort];
            float value, port_value;
            std::memcpy(&port_value, buffer, sizeof(float));
            if (lv2port::parameterValue(parameter, port_value, &value)) show(parameter, value);
            return false;
        }
        if (format != uris_.eventTransfer || port != static_cast<std::uint32_t>(lv2port::notifyPort(variant_)) ||
            size < sizeof(LV2_Atom))
            return false;
        const auto* atom = static_cast<const LV2_Atom*>(buffer);
        if (std::uint64_t{atom->size} + sizeof(LV2_Atom) > size) return false;
        return takeAnswer(*atom);
    }

    void send(int command, int value = 0, const std::string& text = {}) {
        if (text.size() >= static_cast<std::size_t>(lv2port::kCommandTextSize)) return;
        alignas(8) std::uint8_t buffer[lv2port::kCommandTextSize + 256];
        lv2_atom_forge_set_buffer(&forge_, buffer, sizeof(buffer));
        LV2_Atom_Forge_Frame frame;
        const LV2_Atom_Forge_Ref start = lv2_atom_forge_object(&forge_, &frame, 0, uris_.command);
        lv2_atom_forge_key(&forge_, uris_.commandKey);
        lv2_atom_forge_int(&forge_, command);
        lv2_atom_forge_key(&forge_, uris_.valueKey);
        lv2_atom_forge_int(&forge_, value);
        lv2_atom_forge_key(&forge_, uris_.textKey);
        const LV2_Atom_Forge_Ref last =
            lv2_atom_forge_string(&forge_, text.c_str(), static_cast<std::uint32_t>(text.size()));
        lv2_atom_forge_pop(&forge_, &frame);
        if (!start || !last) return;
        const auto* atom = reinterpret_cast<const LV2_Atom*>(buffer);
        write_(controller_, lv2port::kMidiPort, static_cast<std::uint32_t>(sizeof(LV2_Atom) + atom->size),
               uris_.eventTransfer, atom);
    }

    float getParameter(int index) override {
        return index >= 0 && index < plugin::kParameterCount ? values_[index] : 0.0f;
    }
    void setParameter(int index, float value) override { setParameterAutomated(index, value); }
    void setParameterAutomated(int index, float value) override {
        if (index < 0 || index >= plugin::kParameterCount) return;
        values_[index] = value;
        const int port = lv2port::controlPortOf(index);
        if (port < 0) return;
        const float portValue = lv2port::portValue(index, value);
        write_(controller_, static_cast<std::uint32_t>(port), sizeof(float), 0, &portValue);
    }
    void getParameterDisplay(int index, char* text) override {
        copy(text, plugin::param::isHostVisible(index) ? plugin::parameterDisplay(index, getParameter(index), noteNames_)
                                                       : std::string());
    }
    void getParameterLabel(int index, char* text) override { copy(text, plugin::parameterLabel(index)); }

    int getProgram() override { return program_; }
    void setProgram(int index) override {
        if (index < 0 || index >= plugin::kProgramCount) return;
        program_ = index;
        send(lv2port::kSelectProgram, index);
    }
    void getProgramName(char* name) override { getProgramNameIndexed(0, program_, name); }
    bool getProgramNameIndexed(int, int index, char* text) override {
        if (index < 0 || index >= plugin::kProgramCount) return false;
        std::memset(text, 0, plugin::kProgramNameSize);
        std::strncpy(text, names_[index], plugin::kProgramNameSize - 1);
        return true;
    }
    void setProgramName(char* name) override {
        std::strncpy(names_[program_], name, plugin::kProgramNameSize - 1);
        send(lv2port::kRenameProgram, 0, names_[program_]);
    }
    void stepProgram(int step) override { send(lv2port::kStepProgram, step); }
    void copyProgramToClipboard() override { send(lv2port::kCopyProgram); }
    void pasteProgramFromClipboard() override { send(lv2port::kPasteProgram); }

    void loadProgramFile(const std::string& path) override { sendPath(lv2port::kLoadProgramFile, path); }
    void loadBankFile(const std::string& path) override { sendPath(lv2port::kLoadBankFile, path); }
    void saveProgramFile(const std::string& path) override { sendPath(lv2port::kSaveProgramFile, path); }
    void saveBankFile(const std::string& path) override { sendPath(lv2port::kSaveBankFile, path); }

    // MIDI learn needs the MIDI stream, which only the plug-in sees.
    bool learning() const override { return false; }
    void chooseLearnMode(int) override {}
    void learnParameter(int) override {}
    void forgetParameter(int) override {}
    void exportMidiLearn(const std::string&) override {}
    void importMidiLearn(const std::string&) override {}
    bool offersMidiLearn() const override { return false; }

    // The settings are read, never written, here.
    const persist::SettingsStore& settings() const override { return settings_; }
    platform::Registry& registry() override { return platform::processRegistry(); }
    const std::string& registryKey() const override { return registryKey_; }
    void settingsDialogClosed() override {}
    bool offersSettings() const override { return false; }
    void setNoteNames(bool names) override { noteNames_ = names; }
    bool noteNames() const override { return noteNames_; }

    int outputMode() const override { return variant_.outputMode; }
    float voiceLevel(int voice) override { return voice >= 0 && voice < plugin::kVoiceCount ? levels_[voice] : 0.0f; }
    // The host's window takes the editor's window's size, without the
    // VST 2 host's extra pixel.
    void sizeWindow(int, int) override {
        if (resize_ && resize_->ui_resize && view_) {
            const gui::Rect area = view_->windowArea();
            resize_->ui_resize(resize_->handle, area.width(), area.height());
        }
    }
    void setEditorNotifications(plugin::EditorNotifications* editor) override { editor_ = editor; }
    void setView(const editor::PluginEditor* view) { view_ = view; }

private:
    static void copy(char* text, const std::string& from) {
        // The editor's buffers hold 64 characters.
        std::strncpy(text, from.c_str(), 63);
        text[63] = '\0';
    }

    void sendPath(int command, const std::string& path) {
        if (!path.empty()) send(command, 0, path);
    }

    void show(int parameter, float value) {
        if (values_[parameter] == value) return;
        values_[parameter] = value;
        if (editor_ && plugin::param::isHostVisible(parameter)) editor_->parameterChanged(parameter, value);
    }

    bool takeAnswer(const LV2_Atom& atom) {
        bool names = false, programs = false;
        std::int32_t program = -1;
        const float* values = nullptr;
        std::uint32_t count = 0;
        const LV2_URID type = lv2port::forEachProperty(atom, uris_, [&](LV2_URID key, const LV2_Atom& value) {
            if (key == uris_.valuesKey) {
                values = floatsOf(value, uris_, &count);
            } else if (key == uris_.program) {
                lv2port::intOf(value, uris_, &program);
            } else if (key == uris_.namesKey && value.type == uris_.tuple) {
                names = takeNames(reinterpret_cast<const std::uint8_t*>(&value + 1), value.size);
            }
        });
        if (type == uris_.levels) {
            for (std::uint32_t k = 0; values && k < count && k < plugin::kVoiceCount; ++k) levels_[k] = values[k];
            return false;
        }
        programs = type == uris_.programs;
        if (!programs) return false;
        if (program >= 0 && program < plugin::kProgramCount) program_ = program;
        for (std::uint32_t i = 0; values && i < count && i < plugin::kParameterCount; ++i)
            if (plugin::param::hasCurrentValue(static_cast<int>(i))) show(static_cast<int>(i), values[i]);
        if (editor_) editor_->programChanged();
        return names;
    }

    bool takeNames(const std::uint8_t* tuple, std::uint32_t size) {
        int index = 0;
        lv2port::forEachAtom(tuple, size, [&](const LV2_Atom& item) {
            if (index >= plugin::kProgramCount) return;
            if (item.type == uris_.atomString) {
                const auto* text = reinterpret_cast<const char*>(&item + 1);
                const std::size_t length = strnlen(text, item.size);
                std::memset(names_[index], 0, sizeof(names_[index]));
                std::memcpy(names_[index], text, std::min<std::size_t>(length, plugin::kProgramNameSize - 1));
            }
            ++index;
        });
        return index > 0;
    }

    const lv2port::Variant& variant_;
    LV2UI_Write_Function write_;
    LV2UI_Controller controller_;
    const LV2UI_Resize* resize_;
    UiUris uris_;
    LV2_Atom_Forge forge_{};
    std::string registryKey_ = plugin::kRegistryKey;
    persist::SettingsStore settings_;
    bool noteNames_ = true;
    plugin::EditorNotifications* editor_ = nullptr;
    const editor::PluginEditor* view_ = nullptr;
    float values_[plugin::kParameterCount] = {};
    float levels_[plugin::kVoiceCount] = {};
    char names_[plugin::kProgramCount][plugin::kProgramNameSize + 1] = {};
    int program_ = 0;
};

struct Ui {
    Lv2Link* link = nullptr;  // owned by the editor
    std::unique_ptr<editor::PluginEditor> editor;
    unsigned long window = 0;
};

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    const lv2port::Variant* variant = nullptr;
    for (const lv2port::Variant& v : lv2port::kVariants)
        if (pluginUri && std::strcmp(pluginUri, v.uri) == 0) variant = &v;
    auto* map = static_cast<LV2_URID_Map*>(const_cast<void*>(lv2port::findFeature(features, LV2_URID__map)));
    void* parent = const_cast<void*>(lv2port::findFeature(features, LV2_UI__parent));
    bool idles = false;
    lv2port::findFeature(features, LV2_UI__idleInterface, &idles);
    if (!variant || !write || !widget || !map || !map->map || !parent || !idles) return nullptr;
    const auto* resize = static_cast<const LV2UI_Resize*>(lv2port::findFeature(features, LV2_UI__resize));
    try {
        auto ui = std::make_unique<Ui>();
        auto link = std::make_unique<Lv2Link>(*variant, write, controller, *map, resize);
        ui->link = link.get();
        ui->editor = std::make_unique<editor::PluginEditor>(std::move(link));
        ui->editor->setNoteNames(ui->link->noteNames());
        ui->link->setView(ui->editor.get());
        Ui* self = ui.get();
        ui->editor->setWindowFactory([self](void* into, int width, int height) -> std::unique_ptr<gui::WindowPort> {
            auto window = native::X11Window::create(reinterpret_cast<std::uintptr_t>(into), width, height);
            if (window) self->window = window->windowId();
            return window;
        });
        if (!ui->editor->open(parent)) return nullptr;
        *widget = reinterpret_cast<LV2UI_Widget>(static_cast<std::uintptr_t>(ui->window));
        ui->link->sizeWindow(0, 0);
        ui->link->send(lv2port::kGet);
        return ui.release();
    } catch (...) {
        return nullptr;
    }
}

Ui& of(LV2UI_Handle handle) { return *static_cast<Ui*>(handle); }

void cleanup(LV2UI_Handle handle) { delete &of(handle); }

void portEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
    Ui& ui = of(handle);
    if (ui.link->portEvent(port, size, format, buffer)) ui.editor->refreshProgramNames();
}

// The host's idle call runs the window: its events, drawing and updates.
// Nonzero once the window is gone.
int idle(LV2UI_Handle handle) {
    Ui& ui = of(handle);
    if (!ui.editor->isOpen()) return 1;
    ui.editor->idle();
    return 0;
}

const void* extensionData(const char* uri) {
    static const LV2UI_Idle_Interface idleInterface = {idle};
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &idleInterface;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor = {lv2port::kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
