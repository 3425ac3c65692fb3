// Audio files through libsndfile: WAV in 16-bit, 24-bit and 32-bit float
// samples and FLAC, multichannel where there are more than two channels,
// and the levels of a written file as a reader of it sees them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace host {

enum class AudioFormat { Wav16, Wav24, Wav32f, Flac };

// "wav16", "wav24", "wav32f" or "flac".
std::optional<AudioFormat> parseAudioFormat(const std::string& name);
const char* audioFormatName(AudioFormat format);
// ".wav" or ".flac".
const char* audioFileExtension(AudioFormat format);
// The most channels one file of the format holds.
int maxChannels(AudioFormat format);

// Writes an audio file piece by piece into an open, empty file, which it
// closes. Integer formats clip at full scale; WAV files too large for 32-bit
// sizes are written as RF64.
class AudioFileWriter {
public:
    // Null, with a reason, when the format cannot hold the channels or the
    // file cannot be started; the descriptor is closed then too. frames is
    // the length to come: a WAV that would pass 4 GiB is written as RF64.
    static std::unique_ptr<AudioFileWriter> open(int descriptor, int channels, int sampleRate, AudioFormat format,
                                                 std::int64_t frames, std::string* error = nullptr);
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // frames frames of interleaved samples.
    bool write(const float* interleaved, std::int64_t frames);
    // Completes the file and closes it; false when any write failed.
    bool finish(std::string* error = nullptr);

private:
    AudioFileWriter(int descriptor, void* file) : descriptor_(descriptor), file_(file) {}

    int descriptor_;
    void* file_;  // the library's SNDFILE
    bool failed_ = false;
};

// A 24-bit WAV file written under a temporary name and renamed once complete.
bool writeWav(const std::string& path, const std::vector<std::vector<float>>& channels, int sampleRate,
              std::string* error = nullptr);

struct Loudness {
    float peak = 0.0f;
    float rms = 0.0f;
};

Loudness measure(const std::vector<std::vector<float>>& channels);

struct FileLevels {
    int channels = 0;
    int sampleRate = 0;
    std::int64_t frames = 0;
    float peak = 0.0f;
    float rms = 0.0f;                   // over every sample of every channel
    std::int64_t firstSoundFrame = -1;  // the first frame reaching the threshold on any channel; -1 for none
};

// Reads the file back and measures it; nothing when it cannot be read.
std::optional<FileLevels> measureAudioFile(const std::string& path, float soundThreshold);

}  // namespace host
