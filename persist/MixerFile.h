// Per-voice pans and levels and the multi-out switch, kept in a text file of
// key=value lines next to the module (Tamborik.ini beside Tamborik.so or
// Tamborik.dll). The plug-in only reads and rewrites an existing file.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace persist {

class MixerFile {
public:
    MixerFile();

    void setModulePath(const std::string& path) { modulePath_ = path; }
    // The module's path with its extension replaced by ".ini"; empty when the
    // module path has no file name to derive it from.
    std::string filePath() const;

    // Reads the file, if there is one; true when it was read.
    bool read();
    // Reads the lines of an open file; false on a read error.
    bool readFrom(std::FILE* file);
    // Rewrites a file that was read whole, with its values and without
    // "MultiOut", when that changes its text; true when the file holds that
    // text afterwards. A file cut at the size limit is left as it is, so the
    // lines beyond the limit are never lost.
    bool write() const;
    // The text write() puts in the file.
    std::string text() const;

    // A level as a volume value: (20 log10 level + 40) / 46, or 0 below
    // level 0.01. Pans are taken as stored.
    static float volumeFromLevel(float level);

    float value(const std::string& key) const;

    bool multiOut = true;
    bool loaded = false;

private:
    struct Entry {
        std::string key;  // for a comment, its text
        float value;
        bool comment;
    };
    void readLine(const std::string& line);

    std::string modulePath_;
    std::vector<Entry> entries_;
    bool readWhole_ = false;
};

}  // namespace persist
