#include "host/RenderReport.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace host {
namespace {

using Json = nlohmann::ordered_json;

// Four printable characters, as plug-in IDs are usually made; else the number.
Json uniqueIdJson(int id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((static_cast<unsigned>(id) >> shift) & 0xFF);
        if (c < 32 || c > 126) return id;
        text += c;
    }
    return text;
}

Json decibels(float level) {
    if (!(level > 0.0f)) return nullptr;
    return 20.0 * std::log10(static_cast<double>(level));
}

Json fileJson(const WrittenFile& file) {
    const FileLevels& levels = file.levels;
    const double rate = levels.sampleRate > 0 ? levels.sampleRate : 1;
    Json json;
    json["path"] = file.path;
    if (!file.voice.empty()) json["voice"] = file.voice;
    json["channels"] = levels.channels;
    json["frames"] = levels.frames;
    json["seconds"] = static_cast<double>(levels.frames) / rate;
    json["peak"] = levels.peak;
    json["peakDb"] = decibels(levels.peak);
    json["rms"] = levels.rms;
    json["rmsDb"] = decibels(levels.rms);
    json["silent"] = levels.firstSoundFrame < 0;
    json["firstSoundFrame"] = levels.firstSoundFrame < 0 ? Json(nullptr) : Json(levels.firstSoundFrame);
    json["firstSoundSeconds"] =
        levels.firstSoundFrame < 0 ? Json(nullptr) : Json(static_cast<double>(levels.firstSoundFrame) / rate);
    return json;
}

}  // namespace

std::string renderReportJson(const RenderOptions& options, const PluginDescription& plugin,
                             const std::vector<ProgramRender>& renders) {
    Json report;
    report["plugin"] = {{"path", plugin.path},
                        {"name", plugin.effectName},
                        {"vendor", plugin.vendor},
                        {"product", plugin.product},
                        {"vendorVersion", plugin.vendorVersion},
                        {"uniqueId", uniqueIdJson(plugin.uniqueId)},
                        {"programs", plugin.numPrograms},
                        {"outputs", plugin.numOutputs}};
    Json settings;
    settings["midi"] = options.midiPath.empty() ? Json(nullptr) : Json(options.midiPath);
    settings["sampleRate"] = options.sampleRate;
    settings["blockSize"] = options.blockSize;
    settings["lengthSeconds"] = options.lengthSeconds > 0 ? Json(options.lengthSeconds) : Json(nullptr);
    settings["format"] = audioFormatName(options.format);
    settings["outputMode"] = options.outputMode >= 0 ? Json(options.outputMode) : Json(nullptr);
    settings["stems"] = options.stems == StemLayout::Stereo ? Json("stereo")
                        : options.stems == StemLayout::Mono ? Json("mono")
                                                            : Json(nullptr);
    settings["normalize"] = options.normalize;
    settings["eachProgram"] = options.eachProgram;
    settings["silenceBelow"] = kSilenceBelow;
    report["settings"] = settings;
    Json list = Json::array();
    for (const ProgramRender& render : renders) {
        Json entry;
        entry["program"] = render.program;
        entry["programName"] = render.programName;
        entry["gain"] = render.gain;
        entry["files"] = Json::array();
        for (const WrittenFile& file : render.files) entry["files"].push_back(fileJson(file));
        list.push_back(entry);
    }
    report["renders"] = list;
    // Names in the system code page are not always UTF-8: such bytes become U+FFFD.
    return report.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace host
