#include "host/AudioFile.h"

#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace host {
namespace {

struct FormatInfo {
    AudioFormat format;
    const char* name;
    int subtype;
};

const FormatInfo kFormats[] = {
    {AudioFormat::Wav16, "wav16", SF_FORMAT_PCM_16},
    {AudioFormat::Wav24, "wav24", SF_FORMAT_PCM_24},
    {AudioFormat::Wav32f, "wav32f", SF_FORMAT_FLOAT},
    {AudioFormat::Flac, "flac", SF_FORMAT_PCM_24},
};

const FormatInfo& infoFor(AudioFormat format) {
    for (const FormatInfo& info : kFormats)
        if (info.format == format) return info;
    return kFormats[1];
}

int sndfileFormat(AudioFormat format, int channels) {
    if (format == AudioFormat::Flac) return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    // Readers take more than two channels only from the extensible header.
    return (channels > 2 ? SF_FORMAT_WAVEX : SF_FORMAT_WAV) | infoFor(format).subtype;
}

}  // namespace

std::optional<AudioFormat> parseAudioFormat(const std::string& name) {
    for (const FormatInfo& info : kFormats)
        if (name == info.name) return info.format;
    return std::nullopt;
}

const char* audioFormatName(AudioFormat format) {
    return infoFor(format).name;
}

const char* audioFileExtension(AudioFormat format) {
    return format == AudioFormat::Flac ? ".flac" : ".wav";
}

int maxChannels(AudioFormat format) {
    return format == AudioFormat::Flac ? 8 : 1024;
}

bool writeAudio(int descriptor, const std::vector<std::vector<float>>& channels, int sampleRate, AudioFormat format,
                std::string* error) {
    if (channels.empty() || static_cast<int>(channels.size()) > maxChannels(format)) {
        if (error) *error = "the format cannot hold " + std::to_string(channels.size()) + " channels";
        close(descriptor);
        return false;
    }
    const size_t frames = channels[0].size();
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = static_cast<int>(channels.size());
    info.format = sndfileFormat(format, info.channels);
    SNDFILE* file = sf_open_fd(descriptor, SFM_WRITE, &info, SF_TRUE);
    if (!file) {
        if (error) *error = sf_strerror(nullptr);
        close(descriptor);
        return false;
    }
    if (format != AudioFormat::Wav32f) sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // Written in pieces so that long multichannel renders need no second copy.
    constexpr size_t kPiece = 8192;
    std::vector<float> interleaved(kPiece * channels.size());
    bool complete = true;
    for (size_t start = 0; start < frames && complete; start += kPiece) {
        const size_t n = std::min(kPiece, frames - start);
        for (size_t i = 0; i < n; ++i)
            for (size_t c = 0; c < channels.size(); ++c)
                interleaved[i * channels.size() + c] = channels[c][start + i];
        complete = sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(n)) == static_cast<sf_count_t>(n);
    }
    if (!complete && error) *error = sf_strerror(file);
    const bool closed = sf_close(file) == 0;
    if (complete && !closed && error) *error = "the file could not be completed";
    return complete && closed;
}

bool writeWav(const std::string& path, const std::vector<std::vector<float>>& channels, int sampleRate,
              std::string* error) {
    const std::string temporary = path + ".part";
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (descriptor < 0 || !writeAudio(descriptor, channels, sampleRate, AudioFormat::Wav24) ||
        std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (error) *error = "could not write " + path;
        if (descriptor >= 0) std::remove(temporary.c_str());
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

std::optional<FileLevels> measureAudioFile(const std::string& path, float soundThreshold) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return std::nullopt;
    FileLevels levels;
    levels.channels = info.channels;
    levels.sampleRate = info.samplerate;
    constexpr sf_count_t kPiece = 8192;
    std::vector<float> samples(static_cast<size_t>(kPiece * info.channels));
    double sum = 0.0;
    std::int64_t frame = 0;
    for (;;) {
        const sf_count_t n = sf_readf_float(file, samples.data(), kPiece);
        if (n <= 0) break;
        for (sf_count_t i = 0; i < n; ++i, ++frame)
            for (int c = 0; c < info.channels; ++c) {
                const float s = std::abs(samples[static_cast<size_t>(i * info.channels + c)]);
                levels.peak = std::max(levels.peak, s);
                sum += static_cast<double>(s) * s;
                if (s >= soundThreshold && levels.firstSoundFrame < 0) levels.firstSoundFrame = frame;
            }
    }
    sf_close(file);
    levels.frames = frame;
    const double count = static_cast<double>(frame) * info.channels;
    levels.rms = count > 0 ? static_cast<float>(std::sqrt(sum / count)) : 0.0f;
    return levels;
}

}  // namespace host
