// The command line of tamborik-render: its options, its usage text and its
// exit codes.
#pragma once

#include <optional>
#include <string>

#include "host/AudioFile.h"

namespace host {

// Exit codes, one for each kind of bad input.
enum RenderExit : int {
    kExitDone = 0,
    kExitFailed = 1,              // the plug-in failed, or a render could not be completed
    kExitUsage = 2,               // unknown option, missing or malformed value
    kExitUnreadableMidi = 3,      // the MIDI file cannot be read or is no Standard MIDI File
    kExitNotAnInstrument = 4,     // the module cannot be loaded or is no VST 2 instrument
    kExitNoSuchProgram = 5,       // the program number is out of range
    kExitUnwritableOutput = 6,    // an output folder or file cannot be written
    kExitBadLength = 7,           // the length is 0 or below, or longer than kMaxRenderSeconds
    kExitInterrupted = 130,       // stopped by Ctrl-C or a termination request
};

// The longest render, whether the length is given or taken from a MIDI file.
constexpr double kMaxRenderSeconds = 24 * 3600;
// The sample rates the plug-in renders at.
constexpr double kMinRenderRate = 8000;
constexpr double kMaxRenderRate = 768000;

enum class StemLayout { None, Stereo, Mono };

struct RenderOptions {
    std::string pluginPath;
    std::string midiPath;      // empty: the demo groove
    std::string outputPath;    // the file; with --each-program, the folder
    std::string stemsFolder;   // with --stems
    std::string reportPath;    // empty: no report
    int program = -1;          // -1: the program the plug-in starts on
    double sampleRate = 44100;
    int blockSize = 512;
    double lengthSeconds = -1;  // -1: the sequence plus two seconds
    AudioFormat format = AudioFormat::Wav24;
    int outputMode = -1;        // -1: as the module's own settings decide
    StemLayout stems = StemLayout::None;
    bool eachProgram = false;
    bool normalize = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

struct ParsedCommandLine {
    std::optional<RenderOptions> options;  // nothing on an error
    int exitCode = kExitDone;
    std::string message;  // what was wrong, for an error
};

ParsedCommandLine parseRenderOptions(int argc, const char* const* argv, const std::string& defaultPluginPath);

extern const char kRenderUsage[];

}  // namespace host
