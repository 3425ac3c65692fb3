#include "host/WavWriter.h"

#include <sndfile.h>

#include <cmath>
#include <cstdio>

namespace host {

bool writeWav(const std::string& path, const std::vector<std::vector<float>>& channels, int sampleRate,
              std::string* error) {
    if (channels.empty()) return false;
    const size_t frames = channels[0].size();
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = static_cast<int>(channels.size());
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    const std::string temporary = path + ".part";
    SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
    if (!file) {
        if (error) *error = sf_strerror(nullptr);
        return false;
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    std::vector<float> interleaved(frames * channels.size());
    for (size_t i = 0; i < frames; ++i)
        for (size_t c = 0; c < channels.size(); ++c) interleaved[i * channels.size() + c] = channels[c][i];
    const sf_count_t written = sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
    const bool closed = sf_close(file) == 0;
    if (written != static_cast<sf_count_t>(frames) || !closed ||
        std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (error) *error = "could not write " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

Loudness measure(const std::vector<std::vector<float>>& channels) {
    Loudness result;
    double sum = 0.0;
    size_t count = 0;
    for (const auto& channel : channels) {
        for (float s : channel) {
            result.peak = std::max(result.peak, std::abs(s));
            sum += static_cast<double>(s) * s;
        }
        count += channel.size();
    }
    result.rms = count ? static_cast<float>(std::sqrt(sum / static_cast<double>(count))) : 0.0f;
    return result;
}

}  // namespace host
