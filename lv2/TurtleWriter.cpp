// Writes the LV2 bundle's description into a folder: manifest.ttl, the two
// plug-ins with their ports (Tamborik.ttl) and the factory programs as
// presets (presets.ttl). Ports come from the parameter table, presets and
// defaults from an instance holding the factory bank.
//   tamborik-lv2-turtle <bundle folder>
#include <cstdio>
#include <string>

#include "lv2/Lv2Ports.h"
#include "platform/MemoryRegistry.h"
#include "plugin/DrumSynth.h"
#include "plugin/ProgramRecord.h"

namespace {

using lv2port::kControlCount;
using lv2port::kControls;

constexpr char kPrefixes[] =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n"
    "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

// A Turtle string literal.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

// A port symbol: the name in lower case, every other character an underscore.
std::string symbolOf(const std::string& name) {
    std::string symbol;
    for (char c : name) {
        if (c >= 'A' && c <= 'Z') symbol += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) symbol += c;
        else symbol += '_';
    }
    return symbol;
}

// A float written so that it reads back to the same float.
std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

struct Output {
    std::FILE* file;
    explicit Output(const std::string& path) : file(std::fopen(path.c_str(), "w")) {}
    ~Output() {
        if (file) std::fclose(file);
    }
    void put(const std::string& text) { std::fputs(text.c_str(), file); }
};

std::string controlPort(int k, float defaultValue) {
    const int parameter = kControls.parameter[k];
    const std::string name = plugin::parameterName(parameter);
    std::string ttl = "    [\n        a lv2:InputPort, lv2:ControlPort ;\n";
    ttl += "        lv2:index " + std::to_string(lv2port::kFirstControlPort + k) + " ;\n";
    ttl += "        lv2:symbol " + quoted(symbolOf(name)) + " ;\n";
    ttl += "        lv2:name " + quoted(name) + " ;\n";
    const float shown = lv2port::portValue(parameter, defaultValue);
    const lv2port::Kind kind = lv2port::kindOf(parameter);
    const lv2port::Range range = lv2port::rangeOf(kind);
    if (kind == lv2port::Kind::kUnit) {
        ttl += "        lv2:default " + number(shown) + " ;\n";
        ttl += "        lv2:minimum 0.0 ;\n        lv2:maximum 1.0 ;\n";
        return ttl + "    ]";
    }
    ttl += "        lv2:portProperty lv2:integer";
    ttl += kind == lv2port::Kind::kNote ? ", lv2:enumeration ;\n" : kind == lv2port::Kind::kToggle ? ", lv2:toggled ;\n" : " ;\n";
    ttl += "        lv2:default " + std::to_string(static_cast<int>(shown)) + " ;\n";
    ttl += "        lv2:minimum " + std::to_string(range.low) + " ;\n        lv2:maximum " +
           std::to_string(range.high) + " ;\n";
    // Notes show their names, Key Mode its two modes.
    if (kind == lv2port::Kind::kNote) {
        ttl += "        lv2:scalePoint";
        for (int note = 0; note < 128; ++note)
            ttl += std::string(note ? " ,\n            " : " ") + "[ rdfs:label " +
                   quoted(plugin::noteText(note, true)) + " ; rdf:value " + std::to_string(note) + " ]";
        ttl += " ;\n";
    } else if (kind == lv2port::Kind::kToggle) {
        ttl += "        lv2:scalePoint [ rdfs:label \"Drum\" ; rdf:value 0 ] , [ rdfs:label \"Key\" ; rdf:value 1 ] ;\n";
    }
    return ttl + "    ]";
}

std::string audioPort(int index, const std::string& symbol, const std::string& name) {
    return "    [\n        a lv2:OutputPort, lv2:AudioPort ;\n        lv2:index " + std::to_string(index) +
           " ;\n        lv2:symbol " + quoted(symbol) + " ;\n        lv2:name " + quoted(name) + " ;\n    ]";
}

// The version of the programs, 1.2, as LV2's minor and micro versions.
std::string versionLines() {
    const std::string text = plugin::kVersionText;
    const std::size_t dot = text.find('.');
    const std::string minor = dot == std::string::npos ? "0" : text.substr(dot + 1);
    return "    lv2:minorVersion " + minor + " ;\n    lv2:microVersion 0 ;\n";
}

std::string pluginTurtle(const lv2port::Variant& variant, const plugin::DrumSynth& synth) {
    std::string ttl = "<" + std::string(variant.uri) + ">\n    a lv2:Plugin, lv2:InstrumentPlugin ;\n";
    ttl += "    doap:name " + quoted(variant.name) + " ;\n";
    ttl += "    lv2:project <" + std::string(lv2port::kProjectUri) + "> ;\n";
    ttl += versionLines();
    ttl += "    lv2:requiredFeature urid:map ;\n";
    ttl += "    lv2:optionalFeature lv2:hardRTCapable, opts:options, work:schedule ;\n";
    ttl += "    opts:supportedOption bufsz:maxBlockLength, bufsz:nominalBlockLength ;\n";
    ttl += "    lv2:extensionData state:interface, work:interface ;\n";
    ttl += "    ui:ui <" + std::string(lv2port::kUiUri) + "> ;\n";
    ttl += "    lv2:port [\n        a lv2:InputPort, atom:AtomPort ;\n"
           "        atom:bufferType atom:Sequence ;\n        atom:supports midi:MidiEvent ;\n"
           "        lv2:designation lv2:control ;\n"
           "        lv2:index " + std::to_string(lv2port::kMidiPort) + " ;\n"
           "        lv2:symbol \"midi_in\" ;\n        lv2:name \"MIDI In\" ;\n    ]";
    for (int k = 0; k < kControlCount; ++k)
        ttl += " , " + controlPort(k, synth.program(0).values[kControls.parameter[k]]).substr(4);
    for (int j = 0; j < variant.outputCount; ++j) {
        const bool left = j % 2 == 0;
        const std::string pair = variant.outputCount == 2 ? std::string("Out") : plugin::kPinLabels[j / 2];
        ttl += " , " + audioPort(lv2port::kFirstAudioPort + j, symbolOf(pair) + (left ? "_l" : "_r"),
                                 pair + (left ? " L" : " R")).substr(4);
    }
    ttl += " , [\n        a lv2:OutputPort, atom:AtomPort ;\n        atom:bufferType atom:Sequence ;\n"
           "        lv2:designation lv2:control ;\n"
           "        rsz:minimumSize " + std::to_string(lv2port::kNotifySize) + " ;\n"
           "        lv2:index " + std::to_string(lv2port::notifyPort(variant)) + " ;\n"
           "        lv2:symbol \"notify\" ;\n        lv2:name \"Notify\" ;\n    ]";
    return ttl + " .\n\n";
}

// The editor, for both plug-ins.
std::string uiTurtle() {
    std::string ttl = "<" + std::string(lv2port::kUiUri) + ">\n    a ui:X11UI ;\n";
    ttl += "    lv2:binary <" + std::string(lv2port::kUiBinaryName) + "> ;\n";
    ttl += "    lv2:requiredFeature ui:idleInterface, ui:parent, urid:map ;\n";
    ttl += "    lv2:optionalFeature ui:resize ;\n";
    ttl += "    lv2:extensionData ui:idleInterface ;\n    ui:portNotification";
    for (const lv2port::Variant& variant : lv2port::kVariants)
        ttl += std::string(&variant == lv2port::kVariants ? " " : " ,\n        ") + "[ ui:plugin <" + variant.uri +
               "> ; lv2:symbol \"notify\" ; ui:protocol atom:eventTransfer ]";
    return ttl + " .\n\n";
}

std::string presetUri(int program) { return "<" + std::string(lv2port::kPresetUri) + std::to_string(program + 1) + ">"; }

std::string presetsTurtle(const plugin::DrumSynth& synth) {
    std::string ttl;
    for (int p = 0; p < plugin::kProgramCount; ++p) {
        ttl += presetUri(p) + "\n    a pset:Preset ;\n";
        ttl += "    lv2:appliesTo <" + std::string(lv2port::kStereoUri) + "> , <" + lv2port::kMultiUri + "> ;\n";
        ttl += "    rdfs:label " + quoted(synth.program(p).name) + " ;\n    lv2:port";
        for (int k = 0; k < kControlCount; ++k) {
            const int parameter = kControls.parameter[k];
            const float value = lv2port::portValue(parameter, synth.program(p).values[parameter]);
            ttl += std::string(k ? " ,\n        " : " ") + "[ lv2:symbol " +
                   quoted(symbolOf(plugin::parameterName(parameter))) + " ; pset:value " + number(value) + " ]";
        }
        ttl += " .\n\n";
    }
    return ttl;
}

std::string projectTurtle() {
    return "<" + std::string(lv2port::kProjectUri) + ">\n    a doap:Project ;\n    doap:name \"Tamborik\" ;\n" +
           "    doap:maintainer [ a foaf:Person ; foaf:name " + quoted(plugin::kVendorName) + " ] .\n\n";
}

// False when two parameters' names give one symbol.
bool symbolsDistinct() {
    for (int a = 0; a < kControlCount; ++a)
        for (int b = 0; b < a; ++b)
            if (symbolOf(plugin::parameterName(kControls.parameter[a])) ==
                symbolOf(plugin::parameterName(kControls.parameter[b])))
                return false;
    return true;
}

std::string manifestTurtle() {
    std::string ttl = kPrefixes;
    for (const lv2port::Variant& variant : lv2port::kVariants)
        ttl += "<" + std::string(variant.uri) + ">\n    a lv2:Plugin ;\n    lv2:binary <" + lv2port::kBinaryName +
               "> ;\n    rdfs:seeAlso <Tamborik.ttl> .\n\n";
    ttl += "<" + std::string(lv2port::kUiUri) + ">\n    a ui:X11UI ;\n    lv2:binary <" + lv2port::kUiBinaryName +
           "> ;\n    rdfs:seeAlso <Tamborik.ttl> .\n\n";
    for (int p = 0; p < plugin::kProgramCount; ++p)
        ttl += presetUri(p) + "\n    a pset:Preset ;\n    lv2:appliesTo <" + lv2port::kStereoUri + "> , <" +
               lv2port::kMultiUri + "> ;\n    rdfs:seeAlso <presets.ttl> .\n\n";
    return ttl;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <bundle folder>\n", argv[0]);
        return 2;
    }
    if (!symbolsDistinct()) {
        std::fprintf(stderr, "two parameters share a port symbol\n");
        return 1;
    }
    // Every program as it plays: older factory programs upgraded on the way.
    platform::MemoryRegistry registry;
    plugin::DrumSynth synth(registry, "", plugin::kOneStereo);
    for (int p = plugin::kProgramCount - 1; p >= 0; --p) synth.setProgram(p);

    const std::string folder = std::string(argv[1]) + "/";
    Output manifest(folder + "manifest.ttl"), plugins(folder + "Tamborik.ttl"), presets(folder + "presets.ttl");
    if (!manifest.file || !plugins.file || !presets.file) {
        std::fprintf(stderr, "cannot write into %s\n", argv[1]);
        return 1;
    }
    manifest.put(manifestTurtle());
    plugins.put(kPrefixes);
    plugins.put(projectTurtle());
    for (const lv2port::Variant& variant : lv2port::kVariants) plugins.put(pluginTurtle(variant, synth));
    plugins.put(uiTurtle());
    presets.put(kPrefixes);
    presets.put(presetsTurtle(synth));
    return 0;
}
