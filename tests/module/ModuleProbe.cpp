// Records what a module computes, so that two builds of it (Linux and
// Windows) can be compared bit for bit:
//   tamborik_module_probe record MODULE FOLDER writes into FOLDER
//       bank.txt   the program names and values, bit for bit,
//       sweep.bin  every parameter over 10 000 values, each followed by a
//                  hit of every drum: one hash of the samples per value,
//       *.wav      the demo groove through every program, and every drum
//                  alone at 44.1 and 96 kHz in blocks of 1, 64 and 512
//                  frames, as 32-bit float WAV files
//   tamborik_module_probe compare A B          compares two such folders;
//       exit status 0 when every file is identical
#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host/DemoGroove.h"
#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "host/Renderer.h"

namespace {

using Channels = std::vector<std::vector<float>>;

void put32(std::FILE* file, std::uint32_t value) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    std::fwrite(bytes, 1, 4, file);
}

// Samples as IEEE floats: the comparison sees every bit the module computed.
bool writeFloatWav(const std::string& path, const Channels& channels, int rate) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const auto count = static_cast<std::uint32_t>(channels.size());
    const auto frames = static_cast<std::uint32_t>(channels[0].size());
    const std::uint32_t dataBytes = frames * count * 4;
    std::fwrite("RIFF", 1, 4, file);
    put32(file, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, file);
    put32(file, 16);
    put32(file, 3 | count << 16);  // IEEE float, channel count
    put32(file, static_cast<std::uint32_t>(rate));
    put32(file, static_cast<std::uint32_t>(rate) * count * 4);
    put32(file, (count * 4) | 32u << 16);
    std::fwrite("data", 1, 4, file);
    put32(file, dataBytes);
    for (std::uint32_t i = 0; i < frames; ++i)
        for (const auto& channel : channels) std::fwrite(&channel[i], 4, 1, file);
    return std::fclose(file) == 0;
}

std::string text(host::PluginInstance& instance, int opcode, int index) {
    char buffer[256] = {};
    instance.dispatch(opcode, index, 0, buffer);
    return buffer;
}

// The notes of the eleven drums (the hihat has two) in the current program.
std::vector<int> drumNotes(host::PluginInstance& instance) {
    std::vector<int> notes;
    for (int index = 56; index <= 66; ++index) notes.push_back(std::atoi(text(instance, vst::effGetParamDisplay, index).c_str()));
    return notes;
}

int bank(const host::PluginModule& module, const std::string& path) {
    auto instance = host::PluginInstance::create(module);
    std::FILE* file = instance ? std::fopen(path.c_str(), "wb") : nullptr;
    if (!file) return 1;
    for (int p = 0; p < instance->effect()->numPrograms; ++p) {
        instance->dispatch(vst::effSetProgram, 0, p);
        std::fprintf(file, "%d %s\n", p, text(*instance, vst::effGetProgramName, 0).c_str());
        for (int i = 0; i < instance->effect()->numParams; ++i) {
            const float value = instance->getParameter(i);
            std::uint32_t bits;
            std::memcpy(&bits, &value, 4);
            std::fprintf(file, "  %2d %08" PRIx32 " %s\n", i, bits, text(*instance, vst::effGetParamDisplay, i).c_str());
        }
    }
    return std::fclose(file) == 0 ? 0 : 1;
}

int renders(const host::PluginModule& module, const std::string& folder) {
    host::HostOptions options;
    options.sendsIdle = false;
    for (int p = 0; p < 16; ++p) {
        auto instance = host::PluginInstance::create(module, options);
        if (!instance) return 1;
        instance->start();
        instance->dispatch(vst::effSetProgram, 0, p);
        const auto frames = static_cast<std::int64_t>((host::kDemoGrooveSeconds + 1.0) * options.sampleRate);
        char name[64];
        std::snprintf(name, sizeof(name), "/groove-%02d.wav", p);
        if (!writeFloatWav(folder + name, host::renderSequence(*instance, host::demoGroove(*instance), frames), 44100))
            return 1;
    }
    for (float rate : {44100.0f, 96000.0f}) {
        for (int block : {1, 64, 512}) {
            options.sampleRate = rate;
            options.blockSize = block;
            for (int drum = 0; drum < 11; ++drum) {
                auto instance = host::PluginInstance::create(module, options);
                if (!instance) return 1;
                instance->start();
                const int note = drumNotes(*instance)[static_cast<std::size_t>(drum)];
                std::vector<host::TimedMessage> hits;
                for (int h = 0; h < 3; ++h) {
                    host::TimedMessage message{};
                    message.seconds = 0.01 + 0.4 * h;
                    message.size = 3;
                    message.bytes[0] = 0x90;
                    message.bytes[1] = static_cast<std::uint8_t>(note);
                    message.bytes[2] = static_cast<std::uint8_t>(127 - 40 * h);
                    hits.push_back(message);
                }
                const auto audio = host::renderSequence(*instance, hits, static_cast<std::int64_t>(1.5 * rate));
                char name[64];
                std::snprintf(name, sizeof(name), "/drum-%02d-%d-%d.wav", drum, static_cast<int>(rate), block);
                if (!writeFloatWav(folder + name, audio, static_cast<int>(rate))) return 1;
            }
        }
    }
    return 0;
}

std::uint64_t hashFloats(std::uint64_t hash, const float* values, int count) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(values);
    for (std::size_t i = 0; i < static_cast<std::size_t>(count) * 4; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

int sweep(const host::PluginModule& module, const std::string& path) {
    constexpr int kValues = 10000, kFrames = 32;
    host::HostOptions options;
    options.blockSize = kFrames;
    auto instance = host::PluginInstance::create(module, options);
    std::FILE* file = instance ? std::fopen(path.c_str(), "wb") : nullptr;
    if (!file) return 1;
    instance->start();
    const std::vector<int> notes = drumNotes(*instance);
    std::vector<vst::VstMidiEvent> hits;
    for (int note : notes) hits.push_back(host::PluginInstance::midiEvent(0, 0x90, note, 100));
    std::vector<float> left(kFrames), right(kFrames);
    float* outputs[2] = {left.data(), right.data()};
    for (int index = 0; index < instance->effect()->numParams; ++index) {
        if (index == 55 || (index >= 56 && index <= 67)) continue;  // version, notes and the reserved slot
        const float original = instance->getParameter(index);
        for (int step = 0; step < kValues; ++step) {
            instance->setParameter(index, static_cast<float>(step) / (kValues - 1));
            instance->sendMidi(hits);
            instance->processReplacing(outputs, kFrames);
            std::uint64_t hash = hashFloats(14695981039346656037ull, left.data(), kFrames);
            hash = hashFloats(hash, right.data(), kFrames);
            std::fwrite(&index, 4, 1, file);
            std::fwrite(&hash, 8, 1, file);
        }
        instance->setParameter(index, original);
    }
    return std::fclose(file) == 0 ? 0 : 1;
}

std::vector<unsigned char> readAll(const std::filesystem::path& path) {
    std::vector<unsigned char> bytes;
    if (std::FILE* file = std::fopen(path.string().c_str(), "rb")) {
        unsigned char chunk[65536];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
        std::fclose(file);
    }
    return bytes;
}

// Prints one line per file: identical, or how many samples (4-byte words)
// differ and by how much at most.
bool compareFiles(const std::filesystem::path& a, const std::filesystem::path& b) {
    const auto x = readAll(a), y = readAll(b);
    if (x == y && !x.empty()) {
        std::printf("identical  %8zu bytes  %s\n", x.size(), a.filename().string().c_str());
        return true;
    }
    std::size_t differing = 0;
    double largest = 0;
    const bool wav = a.extension() == ".wav";
    for (std::size_t i = 44; wav && i + 4 <= std::min(x.size(), y.size()); i += 4) {
        float fx, fy;
        std::memcpy(&fx, &x[i], 4);
        std::memcpy(&fy, &y[i], 4);
        if (std::memcmp(&fx, &fy, 4) != 0) {
            ++differing;
            largest = std::max(largest, std::fabs(static_cast<double>(fx) - fy));
        }
    }
    std::printf("DIFFERENT  %zu vs %zu bytes, %zu samples differ (largest by %.3g)  %s\n", x.size(), y.size(),
                differing, largest, a.filename().string().c_str());
    return false;
}

int compare(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (!std::filesystem::is_directory(a)) return compareFiles(a, b) ? 0 : 1;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(a)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    int different = 0;
    for (const auto& file : files) different += compareFiles(file, b / file.filename()) ? 0 : 1;
    std::printf("%zu files, %d different\n", files.size(), different);
    return files.empty() || different ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: tamborik_module_probe record MODULE FOLDER, or compare A B\n", stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "compare") return compare(argv[2], argv[3]);
    std::string error;
    auto module = host::PluginModule::load(argv[2], &error);
    if (!module) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (command != "record") return 2;
    const std::string folder = argv[3];
    std::filesystem::create_directories(folder);
    if (bank(*module, folder + "/bank.txt") != 0 || sweep(*module, folder + "/sweep.bin") != 0) return 1;
    return renders(*module, folder);
}
