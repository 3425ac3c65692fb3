#include "host/FilePlan.h"

#include <cstdio>
#include <filesystem>

#include "host/Renderer.h"

namespace host {
namespace {

std::string outputLabel(PluginInstance& instance, int index) {
    vst::VstPinProperties properties{};
    if (instance.dispatch(vst::effGetOutputProperties, index, 0, &properties) && properties.label[0]) {
        properties.label[sizeof(properties.label) - 1] = 0;
        return properties.label;
    }
    return "Out" + std::to_string(index + 1);
}

std::string joinPath(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

}  // namespace

std::string numberedName(int number, const std::string& name) {
    std::string safe = name;
    for (char& c : safe)
        if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 32) c = '_';
    char text[320];
    std::snprintf(text, sizeof(text), "%02d-%s", number, safe.c_str());
    return text;
}

std::vector<PlannedFile> planFiles(const RenderOptions& options, PluginInstance& instance, const std::string& target) {
    const int outputs = instance.numOutputs();
    if (options.stems == StemLayout::None) {
        PlannedFile file{target, "", {}};
        if (options.outputMode < 0) file.channels = stereoFold(outputs);
        for (int j = 0; options.outputMode >= 0 && j < outputs; ++j) file.channels.push_back({j});
        return {file};
    }
    const int width = options.stems == StemLayout::Stereo ? 2 : 1;
    const std::string extension = audioFileExtension(options.format);
    std::vector<PlannedFile> files;
    PlannedFile mix{joinPath(target, "mix" + extension), "", std::vector<std::vector<int>>(width)};
    for (int voice = 0; voice * width < outputs; ++voice) {
        PlannedFile stem;
        stem.voice = outputLabel(instance, voice * width);
        stem.path = joinPath(target, numberedName(voice + 1, stem.voice) + extension);
        for (int c = 0; c < width; ++c) {
            stem.channels.push_back({voice * width + c});
            mix.channels[c].push_back(voice * width + c);
        }
        files.push_back(stem);
    }
    files.push_back(mix);
    return files;
}

void fillBlock(const PlannedFile& file, const float* const* outputs, int frames, float gain,
               std::vector<float>* interleaved) {
    const std::size_t width = file.channels.size();
    interleaved->resize(static_cast<std::size_t>(frames) * width);
    for (std::size_t c = 0; c < width; ++c)
        for (int i = 0; i < frames; ++i) {
            float sum = 0.0f;
            for (int j : file.channels[c]) sum += outputs[j][i];
            (*interleaved)[static_cast<std::size_t>(i) * width + c] = sum * gain;
        }
}

}  // namespace host
