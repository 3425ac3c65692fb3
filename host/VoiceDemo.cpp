// tamborik-voice-demo: renders a few hits of each of the ten voices, with the
// "Tamborik" program's sound, straight through the engine into WAV files.
//   tamborik-voice-demo [output folder]
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "host/AudioFile.h"
#include "platform/MemoryRegistry.h"
#include "plugin/DrumSynthEffect.h"

namespace {

// The "Tamborik" program's values for parameters 0 to 54 and 68 to 87.
constexpr float kVoiceValues[55] = {
    0, 0.3458f, 0.1086f, 0.3f, 0.06f, 0.2598f, 0,       // Kick 1
    0, 0.5612f, 0.2896f, 0.285f, 0.049f, 0.365f, 0,     // Kick 2
    0, 0.2676f, 0.7002f, 0.4547f, 0.6279f, 0,           // Snare 1
    0, 0.1718f, 0.605f, 0.445f, 0.6702f, 0,             // Snare 2
    0, 1, 0.58f, 0.01f, 0, 0,                           // Blipp 1
    0, 0, 0.055f, 0.65f, 1, 0,                          // Blipp 2
    0, 0.3866f, 0.23f, 0.3284f,                         // Clap
    0, 0.6243f, 0.055f, 0,                              // Claves
    0, 0.66f, 1, 1, 1,                                  // Hihat
    0, 0.2795f, 1, 1};                                  // Crash
constexpr float kMixValues[20] = {0.5f, 0.975f, 0.5f,  0.855f,  0.455f, 1,      0.6f,
                                  1,    0.405f, 0.7941f, 0.59f, 0.8541f, 0.69f, 0.7841f,
                                  0.385f, 0.5491f, 0.455f, 0.7891f, 0.605f, 0.5691f};

vst::VstIntPtr demoHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "out/voices";
    mkdir(folder.c_str(), 0755);
    const int rate = 44100, block = 512, length = rate * 3, spacing = rate / 2;
    const char* names[plugin::kVoiceCount] = {"Kick1", "Kick2", "Snare1", "Snare2", "Blipp1",
                                              "Blipp2", "Clap", "Claves", "Hihat", "Crash"};
    std::printf("%-28s %8s %8s\n", "file", "peak", "rms");
    int failures = 0;
    for (int voice = 0; voice < plugin::kVoiceCount; ++voice) {
        platform::MemoryRegistry registry;
        plugin::DrumSynthEffect effect(&demoHost, registry, "");
        effect.setBlockSizeAndSampleRate(block, static_cast<float>(rate));
        for (int i = 0; i < 55; ++i) effect.setParameter(i, kVoiceValues[i]);
        for (int i = 0; i < 20; ++i) effect.setParameter(68 + i, kMixValues[i]);

        // Four hits: loud, softer, loud, soft; the hihat alternates closed
        // and open, the pitched voices sound a note at 110 Hz in the tables.
        const float velocities[4] = {1.0f, 0.7f, 1.0f, 0.5f};
        std::vector<std::vector<float>> channels(2, std::vector<float>(static_cast<size_t>(length)));
        for (int start = 0, hit = 0; start < length; start += block) {
            for (; hit < 4 && hit * spacing < start + block; ++hit) {
                const float pitch = voice == plugin::kHihat ? (hit % 2 == 0 ? 1.0f : 0.0f) : 110.0f;
                effect.engine().startVoice(voice, hit * spacing - start, velocities[hit], pitch);
            }
            float* outputs[2] = {channels[0].data() + start, channels[1].data() + start};
            effect.processReplacing(nullptr, outputs, std::min(block, length - start));
        }
        char fileName[64];
        std::snprintf(fileName, sizeof(fileName), "/%02d-%s.wav", voice + 1, names[voice]);
        const std::string path = folder + fileName;
        std::string error;
        if (!host::writeWav(path, channels, rate, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            ++failures;
            continue;
        }
        const host::Loudness loudness = host::measure(channels);
        std::printf("%-28s %8.3f %8.4f\n", path.c_str(), loudness.peak, loudness.rms);
    }
    return failures ? 1 : 0;
}
