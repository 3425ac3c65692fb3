// The LV2 plug-ins' names and ports, written once for the plug-in and for
// the generator of the bundle's Turtle files: their URIs, the order of the
// ports and how a control port's value maps to a parameter's.
#pragma once

#include <algorithm>
#include <cmath>

#include "plugin/ParameterIndex.h"
#include "plugin/ParameterTable.h"
#include "plugin/ParameterText.h"
#include "plugin/PluginInfo.h"

namespace lv2port {

// Every URI of ours begins with this.
#define TAMBORIK_LV2_URI "urn:tamborik:lv2:"
constexpr char kBaseUri[] = TAMBORIK_LV2_URI;
constexpr char kStereoUri[] = TAMBORIK_LV2_URI "Tamborik";
constexpr char kMultiUri[] = TAMBORIK_LV2_URI "TamborikMulti";
constexpr char kProjectUri[] = TAMBORIK_LV2_URI "project";
// A factory preset's URI is this followed by its number, 1 to 16.
constexpr char kPresetUri[] = TAMBORIK_LV2_URI "preset:";
// State: the bank (atom type kBankType: the bytes of a bank file), the
// current program (atom:Int, 0 to 15) and the state's format (atom:Int).
constexpr char kBankKey[] = TAMBORIK_LV2_URI "state:bank";
constexpr char kBankType[] = TAMBORIK_LV2_URI "Bank";
constexpr char kProgramKey[] = TAMBORIK_LV2_URI "state:program";
constexpr char kFormatKey[] = TAMBORIK_LV2_URI "state:format";
constexpr int kStateFormat = 1;
// The editor (an X11 UI in its own shared object) and its messages. The
// editor sends objects of type kCommandType through the MIDI port: kCommandKey
// (atom:Int, a UiCommand), kValueKey (atom:Int) and kTextKey (atom:String, a
// name or a path) as the command needs. The plug-in answers through its
// notify port with objects of type kProgramsType: kProgramKey (atom:Int),
// kNamesKey (atom:Tuple of 16 atom:String) and kValuesKey (atom:Vector of
// atom:Float, every parameter's value); and with kLevelsType objects,
// kValuesKey holding the ten voices' activity.
constexpr char kUiUri[] = TAMBORIK_LV2_URI "ui";
constexpr char kCommandType[] = TAMBORIK_LV2_URI "Command";
constexpr char kCommandKey[] = TAMBORIK_LV2_URI "command";
constexpr char kValueKey[] = TAMBORIK_LV2_URI "value";
constexpr char kTextKey[] = TAMBORIK_LV2_URI "text";
constexpr char kProgramsType[] = TAMBORIK_LV2_URI "Programs";
constexpr char kLevelsType[] = TAMBORIK_LV2_URI "Levels";
constexpr char kNamesKey[] = TAMBORIK_LV2_URI "names";
constexpr char kValuesKey[] = TAMBORIK_LV2_URI "values";
#undef TAMBORIK_LV2_URI

// The shared objects inside the bundle.
constexpr char kBinaryName[] = "Tamborik.so";
constexpr char kUiBinaryName[] = "TamborikUI.so";

// What the editor asks of the plug-in. kGet asks for the programs' names,
// the current program and the values; the others answer with them too.
enum UiCommand : int {
    kGet = 0,
    kSelectProgram,   // value: the program
    kStepProgram,     // value: -1 or +1
    kRenameProgram,   // text: the current program's new name
    kCopyProgram,
    kPasteProgram,
    kLoadProgramFile,  // text: the path
    kLoadBankFile,
    kSaveProgramFile,
    kSaveBankFile,
    kCommandCount
};
// The longest text a command carries, its end included.
constexpr int kCommandTextSize = 4096;
// Room the notify port needs for one answer.
constexpr int kNotifySize = 8192;

// Port 0 takes MIDI; then one control port per parameter that reaches the
// engine, in the table's order; then the audio outputs, in pairs; last the
// notify port, an atom sequence out to the editor.
constexpr int kMidiPort = 0;
constexpr int kFirstControlPort = 1;

struct ControlParameters {
    int parameter[plugin::kParameterCount] = {};
    int count = 0;
    constexpr ControlParameters() {
        for (int i = 0; i < plugin::kParameterCount; ++i)
            if (plugin::param::hasCurrentValue(i)) parameter[count++] = i;
    }
};
inline constexpr ControlParameters kControls;
constexpr int kControlCount = kControls.count;
constexpr int kFirstAudioPort = kFirstControlPort + kControlCount;

// The two plug-ins: their URIs, output layouts and output counts.
struct Variant {
    const char* uri;
    const char* name;
    int outputMode;
    int outputCount;
};
inline constexpr Variant kVariants[2] = {
    {kStereoUri, "Tamborik", plugin::kOneStereo, plugin::outputCountFor(plugin::kOneStereo)},
    {kMultiUri, "Tamborik Multi", plugin::kTenStereo, plugin::outputCountFor(plugin::kTenStereo)},
};
// After the outputs, the notify port: the plug-in's answers to its editor.
constexpr int notifyPort(const Variant& variant) { return kFirstAudioPort + variant.outputCount; }
// The control port of a parameter, or -1 for a parameter without one.
constexpr int controlPortOf(int parameter) {
    for (int k = 0; k < kControlCount; ++k)
        if (kControls.parameter[k] == parameter) return kFirstControlPort + k;
    return -1;
}

// How a control port shows its parameter: the value itself from 0 to 1, a
// channel from 1 to 16, a note from 0 to 127, or Key Mode as a toggle.
enum class Kind { kUnit, kChannel, kNote, kToggle };

constexpr Kind kindOf(int parameter) {
    switch (plugin::kParameters[parameter].role) {
    case plugin::Role::kChannel: return Kind::kChannel;
    case plugin::Role::kNote: return Kind::kNote;
    case plugin::Role::kKeyMode: return Kind::kToggle;
    default: return Kind::kUnit;
    }
}

// A control port's range.
struct Range {
    int low, high;
};
constexpr Range rangeOf(Kind kind) {
    return kind == Kind::kChannel ? Range{1, 16} : kind == Kind::kNote ? Range{0, 127} : Range{0, 1};
}

// The port's value for a parameter's value.
inline float portValue(int parameter, float value) {
    switch (kindOf(parameter)) {
    case Kind::kChannel: return static_cast<float>(plugin::midiChannelOf(value) + 1);
    case Kind::kNote: return static_cast<float>(plugin::roundHalfDown(value * 127.0f));
    case Kind::kToggle: return value > 0.5f ? 1.0f : 0.0f;
    case Kind::kUnit: break;
    }
    return value;
}

// The parameter's value for a port's: within the port's range, whole where
// the port is; false for a value that is no number (NaN, infinity).
inline bool parameterValue(int parameter, float port, float* value) {
    if (!std::isfinite(port)) return false;
    const Kind kind = kindOf(parameter);
    const Range range = rangeOf(kind);
    const float v = std::max(static_cast<float>(range.low), std::min(port, static_cast<float>(range.high)));
    switch (kind) {
    case Kind::kChannel: *value = (std::round(v) - 1.0f) / 15.0f; return true;
    case Kind::kNote: *value = std::round(v) / 127.0f; return true;
    case Kind::kToggle: *value = v > 0.5f ? 1.0f : 0.0f; return true;
    case Kind::kUnit: *value = v; return true;
    }
    return false;
}

}  // namespace lv2port
