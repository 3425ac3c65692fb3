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
    int bytesPerSample;
};

const FormatInfo kFormats[] = {
    {AudioFormat::Wav16, "wav16", SF_FORMAT_PCM_16, 2},
    {AudioFormat::Wav24, "wav24", SF_FORMAT_PCM_24, 3},
    {AudioFormat::Wav32f, "wav32f", SF_FORMAT_FLOAT, 4},
    {AudioFormat::Flac, "flac", SF_FORMAT_PCM_24, 3},
};

// A WAV file counts its bytes in 32 bits; with room left for its header
// and chunks, audio up to this size is written as plain WAV.
constexpr std::int64_t kLargestPlainWavData = 0xFFFFFFFFLL - (1 << 20);

const FormatInfo& infoFor(AudioFormat format) {
    for (const FormatInfo& info : kFormats)
        if (info.format == format) return info;
    return kFormats[1];
}

int sndfileFormat(AudioFormat format, int channels, std::int64_t frames) {
    if (format == AudioFormat::Flac) return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    const FormatInfo& info = infoFor(format);
    // Audio that will not fit a WAV file's 32-bit sizes goes into its 64-bit
    // successor, which every reader then sees whole.
    if (frames > kLargestPlainWavData / (static_cast<std::int64_t>(channels) * info.bytesPerSample))
        return SF_FORMAT_RF64 | info.subtype;
    // Readers take more than two channels only from the extensible header.
    return (channels > 2 ? SF_FORMAT_WAVEX : SF_FORMAT_WAV) | info.subtype;
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

std::unique_ptr<AudioFileWriter> AudioFileWriter::open(int descriptor, int channels, int sampleRate,
                                                       AudioFormat format, std::int64_t frames, std::string* error) {
    if (channels < 1 || channels > maxChannels(format)) {
        if (error) *error = std::string(audioFormatName(format)) + " cannot hold " + std::to_string(channels) + " channels";
        close(descriptor);
        return nullptr;
    }
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = sndfileFormat(format, channels, frames);
    // The descriptor stays ours, so that it is closed once on every path.
    SNDFILE* file = sf_open_fd(descriptor, SFM_WRITE, &info, SF_FALSE);
    if (!file) {
        if (error) *error = sf_strerror(nullptr);
        close(descriptor);
        return nullptr;
    }
    if (format != AudioFormat::Wav32f) sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return std::unique_ptr<AudioFileWriter>(new AudioFileWriter(descriptor, file));
}

AudioFileWriter::~AudioFileWriter() {
    if (file_) finish();
}

bool AudioFileWriter::write(const float* interleaved, std::int64_t frames) {
    if (!file_ || failed_) return false;
    failed_ = sf_writef_float(static_cast<SNDFILE*>(file_), interleaved, frames) != frames;
    return !failed_;
}

bool AudioFileWriter::finish(std::string* error) {
    if (!file_) return false;
    if (failed_ && error) *error = sf_strerror(static_cast<SNDFILE*>(file_));
    const bool finished = sf_close(static_cast<SNDFILE*>(file_)) == 0;
    const bool closed = close(descriptor_) == 0;
    file_ = nullptr;
    if (!failed_ && !(finished && closed) && error) *error = "the file could not be completed";
    return !failed_ && finished && closed;
}

namespace {

// Writes the channels (one vector per channel, all of the same length) into
// an open, empty file, which it closes.
bool writeWhole(int descriptor, const std::vector<std::vector<float>>& channels, int sampleRate, AudioFormat format,
                std::string* error) {
    auto writer = AudioFileWriter::open(descriptor, static_cast<int>(channels.size()), sampleRate, format,
                                        static_cast<std::int64_t>(channels[0].size()), error);
    if (!writer) return false;
    // Written in pieces so that long multichannel audio needs no second copy.
    constexpr size_t kPiece = 8192;
    const size_t frames = channels[0].size();
    std::vector<float> interleaved(kPiece * channels.size());
    for (size_t start = 0; start < frames; start += kPiece) {
        const size_t n = std::min(kPiece, frames - start);
        for (size_t i = 0; i < n; ++i)
            for (size_t c = 0; c < channels.size(); ++c) interleaved[i * channels.size() + c] = channels[c][start + i];
        if (!writer->write(interleaved.data(), static_cast<std::int64_t>(n))) break;
    }
    return writer->finish(error);
}

}  // namespace

bool writeWav(const std::string& path, const std::vector<std::vector<float>>& channels, int sampleRate,
              std::string* error) {
    const std::string temporary = path + ".part";
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (descriptor < 0 || !writeWhole(descriptor, channels, sampleRate, AudioFormat::Wav24, error) ||
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
