#include "host/RenderOptions.h"

#include <cmath>
#include <cstdlib>

namespace host {

const char kRenderUsage[] =
    "usage: tamborik-render [options] OUTPUT\n"
    "       tamborik-render [options] --stems FOLDER\n"
    "  --plugin PATH      the VST 2 instrument (default: Tamborik.so beside this\n"
    "                     program, else ../lib/vst/Tamborik.so from it)\n"
    "  --midi FILE        a Standard MIDI File, format 0 or 1 (default: the demo groove)\n"
    "  --program N        select program N (0-based) before rendering\n"
    "  --rate HZ          sample rate, 8000 to 768000 (default 44100)\n"
    "  --block N          block size in frames (default 512)\n"
    "  --length SEC       length of the output, above 0 and at most 86400 (default: the\n"
    "                     sequence plus 2 s, within the same limit)\n"
    "  --format F         wav16, wav24 (default), wav32f or flac\n"
    "  --normalize        scale the output so that its loudest file peaks at 0 dBFS\n"
    "  --output-mode M    ask the module for 0: ten mono outputs, 1: ten stereo pairs or\n"
    "                     2: one stereo pair, and write every output as a channel (10, 20\n"
    "                     or 2); without it the module's own settings decide and its\n"
    "                     outputs are mixed to one stereo pair\n"
    "  --stems FOLDER     one file per voice, NN-Voice.wav, from ten stereo pairs, plus\n"
    "                     mix.wav, their sum\n"
    "  --mono-stems       with --stems: from ten mono outputs; mix.wav is then mono\n"
    "  --each-program     render every program: into OUTPUT, a folder, as NN-Name.wav, or\n"
    "                     with --stems into one folder NN-Name per program\n"
    "  --report FILE      write a JSON report: plug-in, program, settings, and per file\n"
    "                     its peak, RMS, length and first-sound time\n"
    "  --quiet            no progress line and no table of levels\n"
    "  --version          print the version and stop\n"
    "exit codes:\n"
    "  0 done                          4 the module is no VST 2 instrument\n"
    "  1 the render failed             5 the program number is out of range\n"
    "  2 a usage error                 6 an output folder or file cannot be written\n"
    "  3 the MIDI file is unreadable   7 the length is 0 or below, or over 24 hours\n"
    "  130 stopped by Ctrl-C; nothing is left behind\n";

namespace {

bool parseNumber(const char* text, double* out) {
    char* end = nullptr;
    *out = std::strtod(text, &end);
    return end != text && *end == 0 && std::isfinite(*out);
}

bool isWholeNumber(double value) {
    return std::floor(value) == value && std::abs(value) <= 1e9;
}

}  // namespace

ParsedCommandLine parseRenderOptions(int argc, const char* const* argv, const std::string& defaultPluginPath) {
    ParsedCommandLine result;
    RenderOptions options;
    options.pluginPath = defaultPluginPath;
    auto refuse = [&](int code, const std::string& message) {
        result.exitCode = code;
        result.message = message;
        return result;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto text = [&](std::string* out) {
            if (!value) return false;
            *out = value;
            ++i;
            return true;
        };
        double number = 0;
        auto numeric = [&]() {
            if (!value || !parseNumber(value, &number)) return false;
            ++i;
            return true;
        };
        bool ok = true;
        if (arg == "--plugin") ok = text(&options.pluginPath);
        else if (arg == "--midi") ok = text(&options.midiPath);
        else if (arg == "--stems") ok = text(&options.stemsFolder) && !options.stemsFolder.empty();
        else if (arg == "--report") ok = text(&options.reportPath) && !options.reportPath.empty();
        else if (arg == "--program") {
            ok = numeric() && isWholeNumber(number);
            if (ok && number < 0) return refuse(kExitNoSuchProgram, "no program " + std::string(value));
            options.program = static_cast<int>(number);
        } else if (arg == "--rate") {
            ok = numeric() && number >= kMinRenderRate && number <= kMaxRenderRate;
            options.sampleRate = number;
        } else if (arg == "--block") {
            ok = numeric() && isWholeNumber(number) && number >= 1 && number <= 65536;
            options.blockSize = static_cast<int>(number);
        } else if (arg == "--length") {
            ok = numeric();
            if (ok && !(number > 0 && number <= kMaxRenderSeconds))
                return refuse(kExitBadLength, "the length must be above 0 and at most 86400 seconds");
            options.lengthSeconds = number;
        } else if (arg == "--output-mode") {
            ok = numeric() && (number == 0 || number == 1 || number == 2);
            options.outputMode = static_cast<int>(number);
        } else if (arg == "--format") {
            std::string name;
            const auto format = text(&name) ? parseAudioFormat(name) : std::nullopt;
            ok = format.has_value();
            if (ok) options.format = *format;
        } else if (arg == "--mono-stems") options.stems = StemLayout::Mono;
        else if (arg == "--normalize") options.normalize = true;
        else if (arg == "--quiet") options.quiet = true;
        else if (arg == "--each-program") options.eachProgram = true;
        else if (arg == "--help" || arg == "-h") options.help = true;
        else if (arg == "--version") options.version = true;
        else if (!arg.empty() && arg[0] != '-' && options.outputPath.empty()) options.outputPath = arg;
        else return refuse(kExitUsage, "unexpected " + arg);
        if (!ok) return refuse(kExitUsage, "a missing or bad value for " + arg);
    }
    // A bare file name is a file in the current folder, not a library for
    // the loader to search for.
    if (options.pluginPath.find('/') == std::string::npos) options.pluginPath = "./" + options.pluginPath;
    if (options.help || options.version) {
        result.options = options;
        return result;
    }
    const bool stems = !options.stemsFolder.empty();
    if (options.stems == StemLayout::Mono && !stems) return refuse(kExitUsage, "--mono-stems needs --stems FOLDER");
    if (stems && options.stems == StemLayout::None) options.stems = StemLayout::Stereo;
    if (stems && !options.outputPath.empty()) return refuse(kExitUsage, "--stems writes into its folder only");
    if (stems && options.outputMode >= 0) return refuse(kExitUsage, "--stems chooses the output mode itself");
    if (!stems && options.outputPath.empty()) return refuse(kExitUsage, "no output given");
    const int channels = options.outputMode == 0 ? 10 : options.outputMode == 1 ? 20 : 2;
    if (channels > maxChannels(options.format))
        return refuse(kExitUsage, std::string(audioFormatName(options.format)) + " cannot hold the " +
                                      std::to_string(channels) + " channels of --output-mode " +
                                      std::to_string(options.outputMode));
    result.options = options;
    return result;
}

}  // namespace host
