#include "persist/MixerFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "persist/DecimalText.h"
#include "dsp/PortableMath.h"
#include "platform/FileIo.h"
#include "platform/FileLock.h"

namespace persist {
namespace {

constexpr std::size_t kLineCapacity = 1023;       // longer lines are skipped whole
constexpr std::size_t kMaxBytes = 1u << 20;       // the rest of a huge file is ignored

const char* const kVoiceNames[10] = {"Kick1",  "Kick2", "Snare1", "Snare2", "Blipp1",
                                     "Blipp2", "Clap",  "Claves", "Hihat",  "Crash"};
const char* const kComments[10] = {"\n// Kick 1", "\n//Kick 2", "\n// Snare 1", "\n// Snare 2", "\n//Blipp 1",
                                   "\n//Blipp 2", "\n//Clap",   "\n//Claves",    "\n//Hihat",     "\n//Crash"};

// The value of a line as a float; a number no float holds reads as 0.
float leadingNumber(const std::string& text) {
    const double value = leadingDecimal(text);
    return std::fabs(value) <= 3.4028234663852886e38 ? static_cast<float>(value) : 0.0f;
}

std::string general6(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof(text), value, std::chars_format::general, 6);
    return std::string(text, result.ptr);
}

}  // namespace

MixerFile::MixerFile() {
    for (int v = 0; v < 10; ++v) {
        entries_.push_back({kComments[v], 0.0f, true});
        entries_.push_back({std::string(kVoiceNames[v]) + "Pan", 0.5f, false});
        entries_.push_back({std::string(kVoiceNames[v]) + "Level", 1.0f, false});
    }
}

std::string MixerFile::filePath() const {
    const std::size_t nameStart = modulePath_.find_last_of("/\\") + 1;  // 0 when there is no folder
    if (nameStart >= modulePath_.size()) return {};
    const std::size_t dot = modulePath_.rfind('.');
    const std::string stem = dot != std::string::npos && dot > nameStart ? modulePath_.substr(0, dot) : modulePath_;
    return stem + ".ini";
}

void MixerFile::readLine(const std::string& line) {
    if (line.empty() || line.find("//") != std::string::npos) return;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return;
    const std::string key = line.substr(0, equals);
    const std::string text = line.substr(equals + 1);
    if (text.empty()) return;
    for (Entry& entry : entries_) {
        if (!entry.comment && entry.key == key) {
            entry.value = leadingNumber(text);
            return;
        }
    }
    if (key == "MultiOut") multiOut = leadingInteger(text) > 0;
}

bool MixerFile::read() {
    loaded = false;
    const std::string path = filePath();
    if (path.empty()) return false;
    std::FILE* file = platform::openRegularFile(path);
    if (!file) return false;
    const bool ok = readFrom(file);
    std::fclose(file);
    loaded = ok;
    return ok;
}

bool MixerFile::readFrom(std::FILE* file) {
    readWhole_ = false;
    std::string line;
    bool overlong = false;
    std::size_t total = 0;
    int c;
    while ((c = std::fgetc(file)) != EOF && total++ < kMaxBytes) {
        if (c != '\n') {
            if (line.size() < kLineCapacity) line += static_cast<char>(c);
            else overlong = true;
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!overlong) readLine(line);
        line.clear();
        overlong = false;
    }
    if (!overlong && total <= kMaxBytes) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        readLine(line);
    }
    readWhole_ = total <= kMaxBytes;
    return std::ferror(file) == 0;
}

std::string MixerFile::text() const {
    const std::string br = platform::kLineBreak;
    std::string out = "// Tamborik.ini" + br + br + "// MultiOut=0 -> Stereo out" + br +
                      "// MultiOut=1 -> Multi out" + br + "// Pan=0.0 -> left" + br + "// Pan=0.5 -> center" + br +
                      "// Pan=1.0 -> right" + br + "// Level=0.0 -> muted" + br +
                      "// Level=1.0 -> max output level" + br + br;
    for (const Entry& entry : entries_) {
        if (entry.comment) {
            std::string comment = entry.key;
            if (comment[0] == '\n') comment = br + comment.substr(1);
            out += comment + br;
        } else {
            out += entry.key + "=" + general6(entry.value) + br;
        }
    }
    return out;
}

bool MixerFile::write() const {
    if (!loaded || !readWhole_ || modulePath_.empty()) return false;
    const std::string path = filePath();
    if (path.empty()) return false;
    // Other processes read and rewrite the same file: under the lock, the
    // file is read again as it stands now and rewritten only when its text
    // would change. This instance changes no value, so an edit made since it
    // was read is kept, and a file being written by another program (empty,
    // or its last line unended) is left alone.
    const platform::FileLock lock(path);
    if (!lock.acquired()) return false;
    const auto bytes = platform::readWholeFile(path, kMaxBytes);
    if (!bytes || bytes->empty() || bytes->back() != '\n') return false;
    MixerFile current;
    current.setModulePath(modulePath_);
    if (!current.read() || !current.readWhole_) return false;
    const std::string content = current.text();
    if (content.size() == bytes->size() && std::equal(content.begin(), content.end(), bytes->begin())) return true;
    return platform::writeFileAtomically(path, std::vector<std::uint8_t>(content.begin(), content.end()));
}

float MixerFile::value(const std::string& key) const {
    for (const Entry& entry : entries_)
        if (entry.key == key) return entry.value;
    return 0.0f;
}

float MixerFile::volumeFromLevel(float level) {
    return level < 0.01f ? 0.0f : static_cast<float>((20.0 * dsp::portable::log10(level) + 40.0) / 46.0);
}

}  // namespace persist
